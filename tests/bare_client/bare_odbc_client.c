/* The least a statement can cost through the program's driver: a plain C client of the unixODBC
 * API in a process of its own, without Qt or anything else of the program, so that the
 * benchmarks compare the program with the driver and the server alone, in time and in memory.
 *
 * One connection with the given connection string and without autocommit, one statement handle,
 * every statement executed directly (as UTF-16, as a Unicode client sends it), every value of
 * every row read in its cheapest C type (texts as UTF-16, whole numbers, dates and times as binary
 * values, decimals as their text); a file of statements is one transaction.
 *
 *   bare_odbc_client serve <connection string>
 *       connects, prints "ready <ms to connect>", then answers lines on standard input:
 *       "run <file>"  sends the file's statements, commits, prints "ok <ms> <rows> <peak KiB>"
 *                     (the peak resident memory of the process while they ran) or "error <text>"
 *       "quit"        disconnects and ends
 *   bare_odbc_client once <connection string> <file>
 *       connects, sends the file's statements, commits, prints "<peak KiB>" and ends
 *
 * A file of statements holds each statement in UTF-8, ended by a zero byte. */

#include <sql.h>
#include <sqlext.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

static SQLHENV env = SQL_NULL_HENV;
static SQLHDBC dbc = SQL_NULL_HDBC;
static SQLHSTMT stmt = SQL_NULL_HSTMT;
static char failure[2048];

static double nowMs(void)
{
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

/* The failure's first diagnostic record into `failure`; returns 0 on failure. */
static int succeeded(SQLSMALLINT type, SQLHANDLE handle, SQLRETURN rc)
{
    SQLCHAR state[6] = {0};
    SQLCHAR message[1024] = {0};
    SQLINTEGER native = 0;
    SQLSMALLINT length = 0;
    if (SQL_SUCCEEDED(rc) || rc == SQL_NO_DATA)
        return 1;
    SQLGetDiagRec(type, handle, 1, state, &native, message, sizeof message, &length);
    snprintf(failure, sizeof failure, "%s %s", (const char *)state, (const char *)message);
    for (char *c = failure; *c; ++c)
        if (*c == '\n' || *c == '\r')
            *c = ' ';
    return 0;
}

static long peakKiB(void)
{
    char line[256];
    long kib = 0;
    FILE *f = fopen("/proc/self/status", "r");
    if (!f)
        return 0;
    while (fgets(line, sizeof line, f))
        if (strncmp(line, "VmHWM:", 6) == 0)
            kib = strtol(line + 6, NULL, 10);
    fclose(f);
    return kib;
}

/* The peak starts again from what the process holds now. */
static void resetPeak(void)
{
    FILE *f = fopen("/proc/self/clear_refs", "w");
    if (f) {
        fputs("5", f);
        fclose(f);
    }
}

/* UTF-8 to UTF-16; returns the code units written. */
static size_t toUtf16(const unsigned char *s, size_t n, SQLWCHAR *out)
{
    size_t i = 0, o = 0;
    while (i < n) {
        unsigned long c = s[i];
        int more = c < 0x80 ? 0 : c < 0xE0 ? 1 : c < 0xF0 ? 2 : 3;
        c = more == 0 ? c : more == 1 ? (c & 0x1F) : more == 2 ? (c & 0x0F) : (c & 0x07);
        ++i;
        while (more-- > 0 && i < n)
            c = (c << 6) | (s[i++] & 0x3F);
        if (c >= 0x10000) {
            c -= 0x10000;
            out[o++] = (SQLWCHAR)(0xD800 + (c >> 10));
            out[o++] = (SQLWCHAR)(0xDC00 + (c & 0x3FF));
        } else {
            out[o++] = (SQLWCHAR)c;
        }
    }
    return o;
}

static SQLSMALLINT readAs(SQLSMALLINT sqlType)
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

/* Sends one statement and reads every value it returns; returns the rows read, or -1. */
static long runStatement(const char *sql, size_t length)
{
    static SQLWCHAR *wide = NULL;
    static size_t wideSize = 0;
    SQLSMALLINT columns = 0;
    SQLSMALLINT target[256];
    long rows = 0;
    size_t units;
    if (wideSize < length + 1) {
        wideSize = length + 1;
        wide = realloc(wide, wideSize * sizeof *wide);
    }
    units = toUtf16((const unsigned char *)sql, length, wide);
    if (!succeeded(SQL_HANDLE_STMT, stmt, SQLExecDirectW(stmt, wide, (SQLINTEGER)units)))
        return -1;
    SQLNumResultCols(stmt, &columns);
    if (columns > 256)
        columns = 256;
    for (SQLSMALLINT c = 0; c < columns; ++c) {
        SQLSMALLINT type = 0, nameLength = 0, decimals = 0, nullable = 0;
        SQLULEN size = 0;
        SQLCHAR name[256];
        SQLDescribeCol(stmt, (SQLUSMALLINT)(c + 1), name, sizeof name, &nameLength, &type, &size, &decimals, &nullable);
        target[c] = readAs(type);
    }
    while (columns > 0 && SQLFetch(stmt) == SQL_SUCCESS) {
        for (SQLSMALLINT c = 0; c < columns; ++c) {
            _Alignas(8) char buffer[4096];
            SQLLEN indicator = 0;
            const int text = target[c] == SQL_C_WCHAR || target[c] == SQL_C_CHAR;
            /* Long texts come in pieces; every piece is read. */
            while (SQLGetData(stmt, (SQLUSMALLINT)(c + 1), target[c], buffer, sizeof buffer, &indicator)
                       == SQL_SUCCESS_WITH_INFO && text) {
            }
        }
        ++rows;
    }
    SQLFreeStmt(stmt, SQL_CLOSE);
    return rows;
}

static char *readFile(const char *path, size_t *size)
{
    char *data;
    long n;
    FILE *f = fopen(path, "rb");
    if (!f)
        return NULL;
    fseek(f, 0, SEEK_END);
    n = ftell(f);
    fseek(f, 0, SEEK_SET);
    data = malloc((size_t)n + 1);
    if (fread(data, 1, (size_t)n, f) != (size_t)n) {
        fclose(f);
        free(data);
        return NULL;
    }
    fclose(f);
    data[n] = 0;
    *size = (size_t)n;
    return data;
}

/* Sends a file's statements as one transaction; returns the rows read, or -1. */
static long runFile(const char *data, size_t size)
{
    long rows = 0;
    size_t at = 0;
    while (at < size) {
        const size_t length = strlen(data + at);
        const long read = runStatement(data + at, length);
        if (read < 0) {
            SQLEndTran(SQL_HANDLE_DBC, dbc, SQL_ROLLBACK);
            return -1;
        }
        rows += read;
        at += length + 1;
    }
    if (!succeeded(SQL_HANDLE_DBC, dbc, SQLEndTran(SQL_HANDLE_DBC, dbc, SQL_COMMIT)))
        return -1;
    return rows;
}

static int connectTo(const char *connectionString)
{
    SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env);
    SQLSetEnvAttr(env, SQL_ATTR_ODBC_VERSION, (SQLPOINTER)SQL_OV_ODBC3, 0);
    SQLAllocHandle(SQL_HANDLE_DBC, env, &dbc);
    if (!succeeded(SQL_HANDLE_DBC, dbc,
                   SQLDriverConnect(dbc, NULL, (SQLCHAR *)connectionString, SQL_NTS, NULL, 0, NULL, SQL_DRIVER_NOPROMPT)))
        return 0;
    if (!succeeded(SQL_HANDLE_DBC, dbc,
                   SQLSetConnectAttr(dbc, SQL_ATTR_AUTOCOMMIT, (SQLPOINTER)SQL_AUTOCOMMIT_OFF, 0)))
        return 0;
    SQLAllocHandle(SQL_HANDLE_STMT, dbc, &stmt);
    return 1;
}

static void disconnect(void)
{
    SQLFreeHandle(SQL_HANDLE_STMT, stmt);
    SQLDisconnect(dbc);
    SQLFreeHandle(SQL_HANDLE_DBC, dbc);
    SQLFreeHandle(SQL_HANDLE_ENV, env);
}

static int serve(const char *connectionString)
{
    char line[4096];
    const double started = nowMs();
    if (!connectTo(connectionString)) {
        printf("error %s\n", failure);
        return 1;
    }
    printf("ready %.3f\n", nowMs() - started);
    fflush(stdout);
    while (fgets(line, sizeof line, stdin)) {
        line[strcspn(line, "\n")] = 0;
        if (strcmp(line, "quit") == 0)
            break;
        if (strncmp(line, "run ", 4) == 0) {
            size_t size = 0;
            char *data = readFile(line + 4, &size);
            if (!data) {
                printf("error cannot read %s\n", line + 4);
            } else {
                resetPeak();
                const double start = nowMs();
                const long rows = runFile(data, size);
                const double ms = nowMs() - start;
                if (rows < 0)
                    printf("error %s\n", failure);
                else
                    printf("ok %.3f %ld %ld\n", ms, rows, peakKiB());
                free(data);
            }
        } else {
            printf("error unknown command\n");
        }
        fflush(stdout);
    }
    disconnect();
    return 0;
}

static int once(const char *connectionString, const char *path)
{
    size_t size = 0;
    char *data = readFile(path, &size);
    if (!data || !connectTo(connectionString) || runFile(data, size) < 0) {
        fprintf(stderr, "%s\n", data ? failure : "cannot read the statements");
        return 1;
    }
    printf("%ld\n", peakKiB());
    free(data);
    disconnect();
    return 0;
}

int main(int argc, char **argv)
{
    if (argc == 3 && strcmp(argv[1], "serve") == 0)
        return serve(argv[2]);
    if (argc == 4 && strcmp(argv[1], "once") == 0)
        return once(argv[2], argv[3]);
    fprintf(stderr, "usage: bare_odbc_client serve <connection string> | once <connection string> <file>\n");
    return 2;
}
