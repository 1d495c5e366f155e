#include "timesheets/household_entry.h"

#include "db/dataset.h"

HouseholdEntry HouseholdEntry::fromList(const DataSet &list)
{
    HouseholdEntry e;
    if (list.isEmpty()) {
        e.kind = 0;   // nothing chosen
        return e;
    }
    // The key columns of accounts_dep.fatigue are decimals without a fraction.
    const auto whole = [&](const char *field) { return list.text(QString::fromLatin1(field)).trimmed().toLongLong(); };
    e.id = int(whole("id"));
    e.group = whole("id_nom");
    e.kind = int(whole("id_o"));
    e.worker = int(whole("id_p"));
    e.date = list.value(QStringLiteral("d_date")).toDate();
    e.shift = int(whole("i_smena"));
    e.hours = whole("cnt");
    e.price = list.text(QStringLiteral("price")).toDouble();
    e.holiday = whole("i_holiday") != 0;
    e.night = whole("i_night") != 0;
    return e;
}
