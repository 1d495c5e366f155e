#pragma once

#include <QString>
#include <QStringList>

// The ODBC driver connection string of the program. `arguments` are the command-line arguments
// after the program name: 1 database name, 2 database server. Without a server the plant's own
// database on the built-in server address is used and the database name given is ignored.
QString composeConnectionString(const QStringList &arguments,
                                const QString &defaultServer = QStringLiteral(TABEL_DEFAULT_SERVER));
