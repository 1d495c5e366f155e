#include "db/settings_files.h"

#include <QSettings>
#include <QStandardPaths>

namespace {

QString fromEnvironment(const char *name, const QString &fallback)
{
    const QString value = qEnvironmentVariable(name);
    return value.isEmpty() ? fallback : value;
}

} // namespace

QString systemSettingsPath()
{
    return fromEnvironment("TABEL_SYSTEM_CONFIG", QStringLiteral("/etc/tabel/tabel.conf"));
}

QString userSettingsPath()
{
    return fromEnvironment("TABEL_USER_CONFIG",
                           QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
                               + QStringLiteral("/tabel/tabel.conf"));
}

std::unique_ptr<QSettings> openSystemSettings()
{
    return std::make_unique<QSettings>(systemSettingsPath(), QSettings::IniFormat);
}

std::unique_ptr<QSettings> openUserSettings()
{
    return std::make_unique<QSettings>(userSettingsPath(), QSettings::IniFormat);
}
