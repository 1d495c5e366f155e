#pragma once

#include "db/db_error.h"

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

class QSqlError;

// The program's connections to the server, by connection name, and what happens when one fails.
//
// Every session runs with standard conforming strings (a backslash in a text literal is an
// ordinary character, whatever the server's default) and with a bounded wait for locks held by
// other workstations. A connection that the server dropped (restarted, stopped, the backend
// terminated) is marked lost: the failing command tells the user, and the next command reopens
// it with the same connection string, once, before its first statement. A command that was cut
// off is never repeated by the program itself.
namespace Connection {

// Opens (or reopens) the connection and prepares its session. Throws DbError.
void open(QSqlDatabase &db);
// The statements that prepare every session, in their order.
QStringList sessionStatements();

// The connection, open and ready: reopened first when it was lost and no transaction of it is
// under way (a transaction cut off by the loss must end before anything else runs).
QSqlDatabase use(const QString &name);

// Why a statement failed, as the error the user reads: a lost connection and a wait for another
// workstation's lock that ran out say so in Russian before the driver's own text; anything else
// is the server's text. A lost connection is marked for reopening.
DbError failure(const QString &name, const QSqlError &error, qint64 elapsedMs);

// Transactions under way, so that a lost connection is not reopened in the middle of one.
void transactionStarted(const QString &name);
void transactionEnded(const QString &name);
bool isLost(const QString &name);

// How long a statement waits for a lock held by another workstation before it gives up, in
// milliseconds (the program's sessions use the default; tests shorten it).
int lockWaitLimit();
void setLockWaitLimit(int milliseconds);
constexpr int DefaultLockWaitLimit = 10000;

// The opening line of the error for a lost connection and for a lock wait that ran out.
QString lostText();
QString lockWaitText();

} // namespace Connection
