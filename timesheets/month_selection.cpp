#include "timesheets/month_selection.h"

#include <cstdlib>

namespace MonthSelection {

QStringList monthNames()
{
    return {QStringLiteral("Январь"),  QStringLiteral("Февраль"), QStringLiteral("Март"),
            QStringLiteral("Апрель"),  QStringLiteral("Май"),     QStringLiteral("Июнь"),
            QStringLiteral("Июль"),    QStringLiteral("Август"),  QStringLiteral("Сентябрь"),
            QStringLiteral("Октябрь"), QStringLiteral("Ноябрь"),  QStringLiteral("Декабрь")};
}

QString monthName(int month)
{
    return monthNames().value(month - 1);
}

QList<int> years(const QDate &today)
{
    QList<int> out;
    for (int y = FirstYear; y <= qMax(FirstYear, today.year()); ++y)
        out << y;
    return out;
}

int yearIndex(const QList<int> &years, int year)
{
    int best = -1;
    for (int i = 0; i < years.size(); ++i)
        if (best < 0 || std::abs(years.at(i) - year) < std::abs(years.at(best) - year))
            best = i;
    return best;
}

} // namespace MonthSelection
