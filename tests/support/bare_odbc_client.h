#pragma once

#include <QString>

#include <sql.h>

// The smallest client of the unixODBC API, for the benchmarks: what the driver and the server cost
// with nothing of the program's own in between. One connection without autocommit, one statement
// handle, every statement executed directly, every value read into one buffer.
class BareOdbcClient {
public:
    explicit BareOdbcClient(const QString &connectionString);
    ~BareOdbcClient();
    BareOdbcClient(const BareOdbcClient &) = delete;
    BareOdbcClient &operator=(const BareOdbcClient &) = delete;

    // Runs a statement and reads every value of every row it returns; returns the rows read.
    int run(const QString &sql);
    void commit();

private:
    SQLHENV m_env = SQL_NULL_HENV;
    SQLHDBC m_dbc = SQL_NULL_HDBC;
    SQLHSTMT m_stmt = SQL_NULL_HSTMT;
};
