#pragma once

#include <QDate>
#include <QString>

// Special ids and value sets of the plant database that several statements share.
namespace Plant {

// Journal modes: shifts 1 to 3 and overtime.
enum JournalModeValue { Shift1 = 1, Shift2 = 2, Shift3 = 3, Overtime = 4 };

// Operation kinds of household work and of work paid at the average piecework rate.
constexpr int HouseholdWorkKind = 7777;
constexpr int AveragePieceworkKind = 7778;

// The regional coefficient ("р/к"): every money amount of the journal and of the household-work
// entries already includes it; report columns "без р/к" divide by it.
constexpr double RegionalFactor = 1.2;

// Surcharges of a piece price: a day off doubles it, then shift 3 raises it by a fifth and
// overtime by half. Household work at night is raised by a fifth.
constexpr double DayOffFactor = 2;
constexpr double Shift3Factor = 1.2;
constexpr double OvertimeFactor = 1.5;
constexpr double NightFactor = 1.2;

// States of a production record (accounts_dep.smena.ok).
inline QString stateEntered() { return QStringLiteral("no"); }
inline QString stateAccepted() { return QStringLiteral("ok"); }
inline QString stateAcceptedOld() { return QStringLiteral("да"); }
// Never written; the journal lists leave rows in this state out.
inline QString stateHidden() { return QStringLiteral("ta"); }

inline bool isAccepted(const QString &state)
{
    const QString s = state.trimmed();
    return s == stateAccepted() || s == stateAcceptedOld();
}

// Product kind (accounts_dep.oper.naimen): 0 finished products, anything else blanks.
inline QString productKindText(int naimen)
{
    return naimen == 0 ? QStringLiteral("Готовая продукция") : QStringLiteral("Заготовки");
}

// Saturdays and Sundays are the plant's days off: a day-off box ticks itself for them.
inline bool isWeekend(const QDate &date)
{
    return date.dayOfWeek() == Qt::Saturday || date.dayOfWeek() == Qt::Sunday;
}

} // namespace Plant
