#include "support/bare_odbc_client.h"

#include <QByteArray>

#include <algorithm>

#include <stdexcept>

BareClient::BareClient(const QString &connectionString)
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

BareClient::~BareClient()
{
    SQLFreeHandle(SQL_HANDLE_STMT, m_stmt);
    SQLDisconnect(m_dbc);
    SQLFreeHandle(SQL_HANDLE_DBC, m_dbc);
    SQLFreeHandle(SQL_HANDLE_ENV, m_env);
}

std::vector<std::vector<qint64>> BareClient::query(const QString &sql)
{
    execute(sql);
    SQLSMALLINT columns = 0;
    SQLNumResultCols(m_stmt, &columns);
    std::vector<std::vector<qint64>> rows;
    while (SQLFetch(m_stmt) == SQL_SUCCESS) {
        std::vector<qint64> row(columns);
        for (SQLSMALLINT c = 0; c < columns; ++c) {
            SQLBIGINT v = 0;
            SQLLEN indicator = 0;
            SQLGetData(m_stmt, c + 1, SQL_C_SBIGINT, &v, 0, &indicator);
            row[c] = indicator == SQL_NULL_DATA ? 0 : v;
        }
        rows.push_back(std::move(row));
    }
    SQLFreeStmt(m_stmt, SQL_CLOSE);
    return rows;
}

std::vector<std::vector<std::string>> BareClient::queryTexts(const QString &sql)
{
    execute(sql);
    SQLSMALLINT columns = 0;
    SQLNumResultCols(m_stmt, &columns);
    std::vector<std::vector<std::string>> rows;
    char buffer[4096];
    while (SQLFetch(m_stmt) == SQL_SUCCESS) {
        std::vector<std::string> row(columns);
        for (SQLSMALLINT c = 0; c < columns; ++c) {
            SQLLEN length = 0;
            const SQLRETURN rc = SQLGetData(m_stmt, c + 1, SQL_C_CHAR, buffer, sizeof buffer, &length);
            if (SQL_SUCCEEDED(rc) && length != SQL_NULL_DATA)
                row[c].assign(buffer, size_t(std::min<SQLLEN>(length, SQLLEN(sizeof buffer) - 1)));
        }
        rows.push_back(std::move(row));
    }
    SQLFreeStmt(m_stmt, SQL_CLOSE);
    return rows;
}

void BareClient::execute(const QString &sql)
{
    const QByteArray text = sql.toUtf8();
    check(SQL_HANDLE_STMT, m_stmt,
          SQLExecDirect(m_stmt, reinterpret_cast<SQLCHAR *>(const_cast<char *>(text.constData())), SQLINTEGER(text.size())));
    ++statements;
}

void BareClient::commit()
{
    check(SQL_HANDLE_DBC, m_dbc, SQLEndTran(SQL_HANDLE_DBC, m_dbc, SQL_COMMIT));
}

void BareClient::check(SQLSMALLINT type, SQLHANDLE handle, SQLRETURN rc)
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
