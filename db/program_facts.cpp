#include "db/program_facts.h"

#include "db/connection.h"
#include "db/data_module.h"
#include "db/settings_files.h"

#include <QSqlDriver>
#include <QStringList>

#include <sql.h>
#include <sqlext.h>

namespace {

const QString Unknown = QStringLiteral("неизвестно");

// A key's value in the connection string ("SERVER=host;..."), keys compared in any case.
QString connectionValue(const QString &connectionString, const QString &key)
{
    for (const QString &part : connectionString.split(QLatin1Char(';'))) {
        const int eq = part.indexOf(QLatin1Char('='));
        if (eq > 0 && part.left(eq).trimmed().compare(key, Qt::CaseInsensitive) == 0)
            return part.mid(eq + 1).trimmed();
    }
    return {};
}

QString driverInfo(SQLHDBC connection, SQLUSMALLINT what)
{
    SQLWCHAR text[256] = {0};
    SQLSMALLINT length = 0;
    const SQLRETURN rc = SQLGetInfoW(connection, what, text, sizeof text, &length);
    if (!SQL_SUCCEEDED(rc))
        return {};
    return QString::fromUtf16(reinterpret_cast<const char16_t *>(text), length / SQLSMALLINT(sizeof(SQLWCHAR))).trimmed();
}

QString driverVersion(const QSqlDatabase &db)
{
    // The Qt driver hands the connection handle over as a pointer.
    const QVariant h = db.driver() ? db.driver()->handle() : QVariant();
    if (!h.isValid() || h.metaType() != QMetaType::fromType<SQLHANDLE>())
        return {};
    const auto connection = static_cast<SQLHDBC>(*static_cast<const SQLHANDLE *>(h.constData()));
    if (!connection)
        return {};
    const QString name = driverInfo(connection, SQL_DRIVER_NAME);
    const QString version = driverInfo(connection, SQL_DRIVER_VER);
    return (name + QLatin1Char(' ') + version).trimmed();
}

QString orUnknown(const QString &text)
{
    return text.isEmpty() ? Unknown : text;
}

} // namespace

QString roleName(Role role)
{
    switch (role) {
    case Role::Administrator: return QStringLiteral("администратор");
    case Role::Accountant: return QStringLiteral("бухгалтер");
    case Role::ShiftForeman: return QStringLiteral("мастер смены");
    case Role::Storekeeper: return QStringLiteral("кладовщик");
    case Role::None: break;
    }
    return QStringLiteral("не выполнен вход");
}

ProgramFacts gatherProgramFacts(DataModule &module, Role role)
{
    ProgramFacts facts;
    facts.stamp = currentBuildStamp();
    facts.version = QStringLiteral(TABEL_VERSION "+%1.%2").arg(facts.stamp.date).arg(facts.stamp.time);
    facts.role = roleName(role);
    facts.qtVersion = QString::fromLatin1(qVersion());
    facts.systemSettings = systemSettingsPath();
    facts.userSettings = userSettingsPath();

    QSqlDatabase db = QSqlDatabase::database(module.connectionName(), false);
    facts.server = orUnknown(connectionValue(db.databaseName(), QStringLiteral("SERVER")));
    facts.database = orUnknown(connectionValue(db.databaseName(), QStringLiteral("DATABASE")));
    try {
        facts.serverVersion = module.lookUp(QStringLiteral("select version()"), QStringLiteral("version")).toString().trimmed();
        facts.driver = driverVersion(Connection::use(module.connectionName()));
    } catch (const std::exception &) {
        // A lost connection: the window still tells what the program knows of itself.
    }
    facts.driver = orUnknown(facts.driver);
    facts.serverVersion = orUnknown(facts.serverVersion);
    return facts;
}
