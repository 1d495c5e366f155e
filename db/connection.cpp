#include "db/connection.h"

#include "db/dataset.h"

#include <QMutex>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>

namespace Connection {

namespace {

// The program runs its commands on one thread; tests play several workstations on several.
QMutex &stateLock()
{
    static QMutex mutex;
    return mutex;
}

bool contains(QSet<QString> &set, const QString &name)
{
    QMutexLocker locker(&stateLock());
    return set.contains(name);
}

void mark(QSet<QString> &set, const QString &name, bool on)
{
    QMutexLocker locker(&stateLock());
    if (on)
        set.insert(name);
    else
        set.remove(name);
}

QSet<QString> &lost()
{
    static QSet<QString> names;
    return names;
}

// Connections this program opened: one found closed by the driver was lost as well.
QSet<QString> &opened()
{
    static QSet<QString> names;
    return names;
}

QSet<QString> &inTransaction()
{
    static QSet<QString> names;
    return names;
}

int &limit()
{
    static int milliseconds = DefaultLockWaitLimit;
    return milliseconds;
}


// psqlODBC reports a connection the server has dropped with its own error number 35 ("the
// connection has been lost", "unable due to the connection lost").
bool connectionLost(const QSqlError &error)
{
    const QString text = sqlErrorText(error);
    return error.nativeErrorCode() == QLatin1String("35")
        || text.contains(QLatin1String("connection lost"), Qt::CaseInsensitive)
        || text.contains(QLatin1String("connection has been lost"), Qt::CaseInsensitive)
        || text.contains(QLatin1String("server closed the connection"), Qt::CaseInsensitive)
        || text.contains(QLatin1String("no connection to the server"), Qt::CaseInsensitive);
}

// The driver passes the server's message but not its error code, and the server may speak the
// plant's language; a statement that ran for the whole lock wait limit and failed waited for a
// lock.
bool lockWaitRanOut(const QSqlError &error, qint64 elapsedMs)
{
    const QString text = sqlErrorText(error);
    return text.contains(QLatin1String("lock timeout"), Qt::CaseInsensitive)
        || text.contains(QStringLiteral("тайм-аута блокировки"), Qt::CaseInsensitive)
        || (limit() > 0 && elapsedMs >= limit() * 95 / 100);
}

} // namespace

QString lostText()
{
    return QStringLiteral("Связь с сервером базы данных потеряна. Следующая команда подключится к нему заново.");
}

QString lockWaitText()
{
    return QStringLiteral("Эти данные сейчас изменяются на другом рабочем месте. Повторите команду немного позже.");
}

void open(QSqlDatabase &db)
{
    if (db.isOpen())
        db.close();
    if (!db.open())
        throw DbError(sqlErrorText(db.lastError()));
    mark(lost(), db.connectionName(), false);
    mark(inTransaction(), db.connectionName(), false);
    mark(opened(), db.connectionName(), true);
    // Texts go into statements as standard literals, where a backslash is an ordinary character.
    // Older servers (and some shared ones still) treat it as an escape by default, which would
    // let a text end its literal early: the session is made certain of it before any statement.
    QSqlQuery q(db);
    for (const QString &statement : sessionStatements())
        if (!q.exec(statement))
            throw DbError(sqlErrorText(q.lastError()));
}

QStringList sessionStatements()
{
    return {QStringLiteral("set standard_conforming_strings to on"), QStringLiteral("set lock_timeout = %1").arg(limit())};
}

QSqlDatabase use(const QString &name)
{
    QSqlDatabase db = QSqlDatabase::database(name, false);
    if (db.isValid() && !db.isOpen() && contains(opened(), name))
        mark(lost(), name, true);
    if (!db.isValid() || (!db.isOpen() && !contains(lost(), name)))
        throw DbError(QStringLiteral("Подключение к БД отсутсвует!!!"));
    if (contains(lost(), name)) {
        if (contains(inTransaction(), name))
            throw DbError(lostText());
        try {
            open(db);
        } catch (const DbError &e) {
            // Still no server: the next command tries again.
            mark(lost(), name, true);
            throw DbError(QStringLiteral("Нет связи с сервером базы данных.\n") + e.text());
        }
    }
    return db;
}

DbError failure(const QString &name, const QSqlError &error, qint64 elapsedMs)
{
    if (connectionLost(error)) {
        mark(lost(), name, true);
        return DbError(lostText() + QLatin1Char('\n') + sqlErrorText(error));
    }
    if (lockWaitRanOut(error, elapsedMs))
        return DbError(lockWaitText() + QLatin1Char('\n') + sqlErrorText(error));
    return DbError(sqlErrorText(error));
}

void transactionStarted(const QString &name)
{
    mark(inTransaction(), name, true);
}

void transactionEnded(const QString &name)
{
    mark(inTransaction(), name, false);
}

bool isLost(const QString &name)
{
    return contains(lost(), name);
}

int lockWaitLimit()
{
    return limit();
}

void setLockWaitLimit(int milliseconds)
{
    limit() = milliseconds;
}

} // namespace Connection
