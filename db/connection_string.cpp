#include "db/connection_string.h"

#include "db/settings_files.h"

#include <QSettings>

namespace {

const QString FromCommandLine = QStringLiteral("командная строка");
const QString FromDefault = QStringLiteral("по умолчанию");

// Several hosts are written "db1,db2" whatever blanks the user put around the commas; one host is
// kept exactly as given.
QString hostList(const QString &server)
{
    if (!server.contains(QLatin1Char(',')))
        return server;
    QStringList hosts;
    for (const QString &host : server.split(QLatin1Char(',')))
        if (!host.trimmed().isEmpty())
            hosts << host.trimmed();
    return hosts.join(QLatin1Char(','));
}

// A settings file reads an unquoted value with commas as a list.
QString settingText(QSettings &file, const QString &key)
{
    const QVariant value = file.value(ConnectionKeys::group() + QLatin1Char('/') + key);
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(QLatin1Char(',')).trimmed();
    return value.toString().trimmed();
}

ConnectionTarget resolve(const QStringList &arguments, const QList<QSettings *> &files, const QString &defaultServer)
{
    const QString server = arguments.value(1);
    if (!server.isEmpty())
        return {arguments.value(0), hostList(server), FromCommandLine, FromCommandLine};
    ConnectionTarget target{QStringLiteral("plant_db"), defaultServer, FromDefault, FromDefault};
    // Later files override earlier ones.
    for (QSettings *file : files) {
        const QString database = settingText(*file, ConnectionKeys::database());
        if (!database.isEmpty()) {
            target.database = database;
            target.databaseFrom = file->fileName();
        }
        const QString host = hostList(settingText(*file, ConnectionKeys::server()));
        if (!host.isEmpty()) {
            target.server = host;
            target.serverFrom = file->fileName();
        }
    }
    return target;
}

} // namespace

ConnectionTarget connectionTarget(const QStringList &arguments, QSettings &system, QSettings &user,
                                  const QString &defaultServer)
{
    return resolve(arguments, {&system, &user}, defaultServer);
}

ConnectionTarget connectionTarget(const QStringList &arguments)
{
    const auto system = openSystemSettings();
    const auto user = openUserSettings();
    return connectionTarget(arguments, *system, *user);
}

QString connectionStringFor(const ConnectionTarget &target)
{
    QString text = QStringLiteral("DRIVER={PostgreSQL UNICODE};DATABASE=") + target.database
        + QStringLiteral(";SERVER=") + target.server
        + QStringLiteral(";PORT=5432;UID=sys;PWD=") + QStringLiteral("wubzelk")
        + QStringLiteral(";SSLmode=allow;")
        + QStringLiteral("ReadOnly=0;Protocol=7.4;FakeOidIndex=0;ShowOidColumn=0;RowVersioning=0;"
                         "ShowSystemTables=0;Fetch=100;UnknownSizes=0;MaxVarcharSize=255;"
                         "MaxLongVarcharSize=8190;")
        + QStringLiteral("Debug=0;CommLog=0;UseDeclareFetch=0;TextAsLongVarchar=1;"
                         "UnknownsAsLongVarchar=0;BoolsAsChar=1;Parse=0;ExtraSysTablePrefixes=;"
                         "LFConversion=1;UpdatableCursors=1;")
        + QStringLiteral("TrueIsMinus1=0;BI=0;ByteaAsLongVarBinary=1;UseServerSidePrepare=1;"
                         "LowerCaseIdentifier=0;D6=-101;OptionalErrors=0;XaOpt=1");
    // psqlODBC hands the options in braces to libpq as they are.
    if (target.severalHosts())
        text += QStringLiteral(";pqopt={target_session_attrs=read-write}");
    return text;
}

QString composeConnectionString(const QStringList &arguments, const QString &defaultServer)
{
    return connectionStringFor(resolve(arguments, {}, defaultServer));
}

QString connectionFailureText(const ConnectionTarget &target, const QString &reason)
{
    QString text = QStringLiteral("Подключение к БД отсутсвует!!!\n")
        + QStringLiteral("Сервер: %1 (%2), база данных: %3 (%4).\n")
              .arg(target.server, target.serverFrom, target.database, target.databaseFrom)
        + QStringLiteral("Сервер и базу данных задают в файле %1 для всех пользователей или в %2 "
                         "для себя (раздел [connection], ключи server и database) либо в командной "
                         "строке: tabel <база данных> <сервер>.")
              .arg(systemSettingsPath(), userSettingsPath());
    // libpq continues a line of its message on the next, indented by a tab.
    const QString said = reason.trimmed().replace(QStringLiteral("\n\t"), QStringLiteral(". "));
    if (!said.isEmpty())
        text += QLatin1Char('\n') + said;
    return text;
}
