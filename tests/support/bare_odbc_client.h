#pragma once

#include <QString>
#include <QtGlobal>

#include <sql.h>
#include <sqlext.h>

#include <string>
#include <vector>

// The smallest client of the unixODBC API: one connection without autocommit, one statement
// handle, every statement executed directly. The benchmarks run it beside the program's own code
// on the same connection string: what the driver and the server cost, with nothing of ours in
// between. Throws std::runtime_error with the driver's message when a call fails.
class BareClient {
public:
    explicit BareClient(const QString &connectionString);
    ~BareClient();
    BareClient(const BareClient &) = delete;
    BareClient &operator=(const BareClient &) = delete;

    // Runs a statement and reads its rows, each column as a whole number.
    std::vector<std::vector<qint64>> query(const QString &sql);
    // Runs a statement and reads its rows, each column as the driver's text (UTF-8); null as "".
    std::vector<std::vector<std::string>> queryTexts(const QString &sql);
    void execute(const QString &sql);
    void commit();

    int statements = 0;

private:
    static void check(SQLSMALLINT type, SQLHANDLE handle, SQLRETURN rc);

    SQLHENV m_env = SQL_NULL_HENV;
    SQLHDBC m_dbc = SQL_NULL_HDBC;
    SQLHSTMT m_stmt = SQL_NULL_HSTMT;
};
