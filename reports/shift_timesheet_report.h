#pragma once

#include "reports/report_holder.h"

#include <QList>

// The monthly timesheet by shifts, printed in landscape: one row per worker name with his hours
// on each day of the month summed over all his timesheet rows (every shift, overtime, household
// and average-piecework rows alike) and the month's total. The column header with the period
// label and the day numbers repeats at the top of every page.
//
// The timesheet window prints it like this:
//
//   ShiftTimesheetReport *layout = Windows::get<ShiftTimesheetReport>();
//   ReportPreview::run(layout->make(month, year, ShiftTimesheetReport::periodLabel(monthName, yearText)),
//                      layout->zoom(), this);
//
// which runs the query for the month, sets the period label, prepares the report, closes the
// query and shows the pages in the preview zoomed to the whole page, as they are laid out, until
// the user closes it.
class ShiftTimesheetReport : public ReportHolder {
    Q_OBJECT
public:
    explicit ShiftTimesheetReport(DataModule *module, QObject *parent = nullptr);

    // Its query ("H_Tabel") takes the parameters mnth (1 to 12) and yea (four digits).

    static const QString Statement;
    // Left edges of the day columns 1 to 31, in millimetres.
    static const QList<double> DayColumns;
    static constexpr double DayWidth = 5.3;
    static constexpr double ColumnHeaderHeight = 6.6;
    static constexpr double DetailHeight = 4.5;

    // "Ноябрь" and "2007" give "Ноябрь 2007 г.".
    static QString periodLabel(const QString &monthName, const QString &yearText);

    // Closes the query and sets its month.
    void setMonth(int month, int year);
    // Runs the query for the month, sets the period label and prepares the report with the rows
    // read; the query is closed afterwards, whatever happened.
    PreparedReport make(int month, int year, const QString &periodLabel);
};
