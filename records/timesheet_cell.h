#pragma once

#include <QDate>
#include <QString>

// One day cell of one timesheet row (accounts_dep.h_tabel) and the statements that find the row,
// total the day's hours, write the cell and remove the row. The kinds of timesheet row (rows kept
// from production records, rows kept from household-work entries, the month rebuilds) differ only
// in these texts; DayCellRule runs them the same way for all of them.
class TimesheetCell {
public:
    explicit TimesheetCell(const QDate &date) : m_date(date) {}
    virtual ~TimesheetCell() = default;

    QDate date() const { return m_date; }
    int day() const { return m_date.day(); }
    int month() const { return m_date.month(); }
    int year() const { return m_date.year(); }
    // Name of the cell's column: d1 ... d31, never with a leading zero.
    QString cellName() const { return QStringLiteral("d") + QString::number(day()); }

    // One row with the integer column cnt: how many rows of this key exist.
    virtual QString lookUp() const = 0;
    // One row with the whole-number column tim: the hours recorded on the date; no row when nothing is.
    virtual QString totalHours() const = 0;
    virtual QString cellUpdate(int hours) const = 0;
    // The update sent after a deletion; the same statement unless a kind words it otherwise.
    virtual QString cellUpdateAfterDeletion(int hours) const { return cellUpdate(hours); }
    virtual QString rowInsert(int hours) const = 0;
    virtual QString rowRemoval() const = 0;
    // The condition that picks this row's key out of accounts_dep.h_tabel.
    virtual QString rowCondition() const = 0;
    // Names the row's key alike on every workstation: copies of the program that write the same
    // row wait for each other on it.
    virtual QString lockName() const = 0;

    // Empties the day cell, so that the day counts no hours.
    QString cellEmptying() const;
    // One row with cnt: how many rows of this key still hold a value in any day cell.
    QString rowsWithHours() const;

private:
    QDate m_date;
};
