#pragma once

#include <QString>

// The four roles, recognised by fixed login words compared exactly (case included) after the
// typed text is stripped of leading and trailing blanks.
enum class Role { None, Administrator, Accountant, ShiftForeman, Storekeeper };

inline Role roleOfLogin(const QString &typed)
{
    const QString word = typed.trimmed();
    if (word == QLatin1String("61370452") || word == QLatin1String("6194"))
        return Role::Administrator;
    if (word == QLatin1String("lumeno"))
        return Role::Accountant;
    if (word == QLatin1String("gildert"))
        return Role::ShiftForeman;
    if (word == QLatin1String("vorny"))
        return Role::Storekeeper;
    return Role::None;
}
