#include "tests/support/bare_odbc_client.h"

#include <sqlext.h>

#include <stdexcept>
#include <vector>

namespace {

void check(SQLSMALLINT type, SQLHANDLE handle, SQLRETURN rc)
{
    if (SQL_SUCCEEDED(rc) || rc == SQL_NO_DATA)
        return;
    SQLCHAR state[6] = {0};
    SQLCHAR message[1024] = {0};
    SQLINTEGER native = 0;
    SQLSMALLINT length = 0;
    SQLGetDiagRec(type, handle, 1, state, &native, message, sizeof message, &length);
    throw std::runtime_error(reinterpret_cast<const char *>(message));
}

// The C type each column is read in: the cheapest way to its value. Texts as the Unicode driver
// gives them (UTF-16, as every Unicode client reads them), whole numbers, dates and times as
// binary values, decimals as their text.
SQLSMALLINT readAs(SQLSMALLINT sqlType)
{
    switch (sqlType) {
    case SQL_CHAR: case SQL_VARCHAR: case SQL_LONGVARCHAR:
    case SQL_WCHAR: case SQL_WVARCHAR: case SQL_WLONGVARCHAR:
        return SQL_C_WCHAR;
    case SQL_SMALLINT: case SQL_INTEGER: case SQL_TINYINT: case SQL_BIGINT: case SQL_BIT:
        return SQL_C_SBIGINT;
    case SQL_TYPE_DATE: case SQL_DATE:
        return SQL_C_TYPE_DATE;
    case SQL_TYPE_TIME: case SQL_TIME:
        return SQL_C_TYPE_TIME;
    case SQL_TYPE_TIMESTAMP: case SQL_TIMESTAMP:
        return SQL_C_TYPE_TIMESTAMP;
    default:
        return SQL_C_CHAR;
    }
}

} // namespace

BareOdbcClient::BareOdbcClient(const QString &connectionString)
{
    SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &m_env);
    SQLSetEnvAttr(m_env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    SQLAllocHandle(SQL_HANDLE_DBC, m_env, &m_dbc);
    const QByteArray text = connectionString.toUtf8();
    check(SQL_HANDLE_DBC, m_dbc,
          SQLDriverConnect(m_dbc, nullptr, reinterpret_cast<SQLCHAR *>(const_cast<char *>(text.constData())),
                           SQLSMALLINT(text.size()), nullptr, 0, nullptr, SQL_DRIVER_NOPROMPT));
    check(SQL_HANDLE_DBC, m_dbc,
          SQLSetConnectAttr(m_dbc, SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_OFF), 0));
    SQLAllocHandle(SQL_HANDLE_STMT, m_dbc, &m_stmt);
}

BareOdbcClient::~BareOdbcClient()
{
    SQLFreeHandle(SQL_HANDLE_STMT, m_stmt);
    SQLDisconnect(m_dbc);
    SQLFreeHandle(SQL_HANDLE_DBC, m_dbc);
    SQLFreeHandle(SQL_HANDLE_ENV, m_env);
}

int BareOdbcClient::run(const QString &sql)
{
    const QByteArray text = sql.toUtf8();
    check(SQL_HANDLE_STMT, m_stmt,
          SQLExecDirect(m_stmt, reinterpret_cast<SQLCHAR *>(const_cast<char *>(text.constData())), SQLINTEGER(text.size())));
    SQLSMALLINT columns = 0;
    SQLNumResultCols(m_stmt, &columns);
    std::vector<SQLSMALLINT> target(columns);
    for (SQLSMALLINT c = 0; c < columns; ++c) {
        SQLSMALLINT type = 0, nameLength = 0, decimals = 0, nullable = 0;
        SQLULEN size = 0;
        SQLCHAR name[256];
        SQLDescribeCol(m_stmt, c + 1, name, sizeof name, &nameLength, &type, &size, &decimals, &nullable);
        target[c] = readAs(type);
    }
    int rows = 0;
    alignas(8) char buffer[4096];
    while (columns > 0 && SQLFetch(m_stmt) == SQL_SUCCESS) {
        for (SQLSMALLINT c = 0; c < columns; ++c) {
            SQLLEN indicator = 0;
            const bool text = target[c] == SQL_C_WCHAR || target[c] == SQL_C_CHAR;
            // Long texts come in pieces; every piece is read.
            while (SQLGetData(m_stmt, c + 1, target[c], buffer, sizeof buffer, &indicator) == SQL_SUCCESS_WITH_INFO && text) {
            }
        }
        ++rows;
    }
    SQLFreeStmt(m_stmt, SQL_CLOSE);
    return rows;
}

void BareOdbcClient::commit()
{
    check(SQL_HANDLE_DBC, m_dbc, SQLEndTran(SQL_HANDLE_DBC, m_dbc, SQL_COMMIT));
}
