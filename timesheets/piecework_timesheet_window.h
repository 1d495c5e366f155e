#pragma once

#include "timesheets/piecework_view.h"
#include "timesheets/timesheet_month.h"

#include <QDate>
#include <QDialog>

class DataGrid;
class DataSet;
class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;
class DataModule;

// The piecework timesheet (27): a month's timesheet with one row per worker (or per worker and
// day/night), the month's hours, earnings and earnings per hour, in one of four views, and below
// it the plant's totals of the month. From here the month's household-work and
// average-piecework rows are rebuilt from the entries, and the view is exported to a workbook.
// Opened from the main menu "Табель" in the view of the command, on today's month.
class PieceworkTimesheetWindow : public QDialog {
    Q_OBJECT
public:
    explicit PieceworkTimesheetWindow(DataModule *module, QWidget *parent = nullptr);

    // Opening from the main menu: the view set, today's month selected and applied, the window
    // shown modally; its queries are closed again when it closes.
    void showMode(PieceworkView::Mode mode);
    // The steps of the opening, for callers (and tests) that show the window themselves.
    void prepareMode(PieceworkView::Mode mode, const QDate &today = QDate::currentDate());
    void finishMode();

    TimesheetMonth selectedMonth() const;
    PieceworkView view() const { return {viewMode}; }

    // Commands.
    void monthChosen();
    void yearChosen();           // a year picked from the year list
    void reread();               // "Обновить": the view read again (the totals stay)
    void rebuildHouseholdRows(); // "Перестроить": the month's household rows rebuilt from the entries
    void exportWorkbook();       // "Excel": the view to a workbook
    void leave();                // "Выход"

    // Reads the view and the totals for the selected month and lays the day columns out for it.
    void applyMonth();

    PieceworkView::Mode viewMode = PieceworkView::Piecework;
    // The query of the view the grid shows.
    DataSet *currentView = nullptr;
    // The four views' queries (the plant's H_Tabel0, H_Tabel7777, H_Tabel7778, H_Tabel_all), the
    // month's totals (price, price7, price8, all_price) and the years with timesheet rows (q_year).
    DataSet *pieceworkView, *householdView, *averageView, *generalView;
    DataSet *pieceworkSum, *householdSum, *averageSum, *monthSum;
    DataSet *yearsQuery;

    DataGrid *grid;
    QComboBox *monthList;  // month
    QComboBox *yearList;    // year
    QLabel *averageTotalText, *householdTotalText, *pieceworkTotalText, *monthTotalText;   // "Ср. сдел.:", "Хоз. работы:", "Сделка:", "Итого:"
    QPushButton *exportButton;  // "Excel"
    QPushButton *rereadButton;  // "Обновить"
    QPushButton *rebuildButton;  // "Перестроить"
    QProgressBar *progressBar;
    QPushButton *exitButton;  // "Выход"

private:
    DataSet *queryOf(PieceworkView::Mode mode) const;
    void fillYears(int year);
    void layColumns();
    void readTotals(const TimesheetMonth &month);

    DataModule *m_module;
    TimesheetMonth m_shown;
    bool m_busy = false;
};
