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
//   TForm15::instance()->Print(month, year, TForm15::PeriodLabel(monthName, yearText), this);
//
// which runs the query for the month, sets the period label, generates the report, shows it in
// the preview zoomed to the whole page, waits until the preview is closed and closes the query.
class TForm15 : public ReportHolder {
    Q_OBJECT
public:
    explicit TForm15(TDataModule6 *module, QObject *parent = nullptr);
    // The run's holder, on the run's data module.
    static TForm15 *instance();

    DataSet *H_Tabel; // parameters mnth (1 to 12) and yea (four digits)

    static const QString Statement;
    // Left edges of the day columns 1 to 31, in millimetres.
    static const QList<double> DayColumns;
    static constexpr double DayWidth = 5.3;
    static constexpr double ColumnHeaderHeight = 6.6;
    static constexpr double DetailHeight = 4.5;

    // "Ноябрь" and "2007" give "Ноябрь 2007 г.".
    static QString PeriodLabel(const QString &monthName, const QString &yearText);

    // Closes the query and sets its month.
    void SetMonth(int month, int year);
    // Runs the query for the month, sets the period label and shows the report in the preview;
    // returns when the preview is closed. The query is closed afterwards, whatever happened.
    void Print(int month, int year, const QString &periodLabel, QWidget *parent = nullptr);
    // The same up to the generated report, without the preview (tools and tests).
    ReportDocument Make(int month, int year, const QString &periodLabel);
};
