#pragma once

#include <QString>
#include <QStringList>

class QSettings;

// Which database on which server the program works with, and where each of the two was decided.
// The command line decides when it names a server (argument 1 database, argument 2 server);
// otherwise the workstation's settings files do (db/settings_files.h; group [connection], keys
// server= and database=), the user's file over the system file, and what neither names is the
// default: plant_db on the server address fixed at build time. Argument 1 alone is ignored.
struct ConnectionTarget {
    QString database;
    // One host, or several separated by commas: a primary and its standbys.
    QString server;
    // Where each was read: "командная строка", the settings file's path, or "по умолчанию".
    QString databaseFrom;
    QString serverFrom;

    bool severalHosts() const { return server.contains(QLatin1Char(',')); }
};

// The keys of the settings files, in their group.
namespace ConnectionKeys {
inline QString group() { return QStringLiteral("connection"); }
inline QString server() { return QStringLiteral("server"); }
inline QString database() { return QStringLiteral("database"); }
} // namespace ConnectionKeys

// `arguments` are the command-line arguments after the program name.
ConnectionTarget connectionTarget(const QStringList &arguments, QSettings &system, QSettings &user,
                                  const QString &defaultServer = QStringLiteral(TABEL_DEFAULT_SERVER));
// The same with the workstation's own settings files.
ConnectionTarget connectionTarget(const QStringList &arguments);

// The ODBC driver connection string. With several hosts the driver (libpq underneath) tries them
// in their order and keeps the first that accepts writes, so that after a standby has been
// promoted the next connection finds the new primary; with one host the string is the plant's
// fixed one.
QString connectionStringFor(const ConnectionTarget &target);
// The string from the command line alone, without reading any settings file.
QString composeConnectionString(const QStringList &arguments,
                                const QString &defaultServer = QStringLiteral(TABEL_DEFAULT_SERVER));

// What the user reads when the connection cannot be opened: the fixed first line, which server
// and database were tried and where they came from, where to set them, and the driver's reason.
QString connectionFailureText(const ConnectionTarget &target, const QString &reason);
