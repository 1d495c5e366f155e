#pragma once

#include "reports/spreadsheet_writer.h"
#include "timesheets/timesheet_month.h"

#include <QDialog>
#include <QList>

class DataGrid;
class DataSet;
class QComboBox;
class QProgressBar;
class QPushButton;
class QTabWidget;
class QWidget;
class DataModule;

// The timesheet by shifts "Табель по времени": for one month, the hours of each worker on each
// day, one tab per shift, from the shift rows of the timesheet. From here the month's shift rows
// are rebuilt from the journal, and the month's timesheet of all rows is printed and exported.
// Opened from the main menu "Табель" → "Табель по сменам" on the month of the journal date.
class ShiftTimesheetWindow : public QDialog {
    Q_OBJECT
public:
    explicit ShiftTimesheetWindow(DataModule *module, QWidget *parent = nullptr);

    // Opening from the main menu: the month of `journalDate` selected and applied, the window
    // shown modally; its grids are closed again when it closes.
    void showMonth(const QDate &journalDate);
    // The steps of the opening, for callers (and tests) that show the window themselves.
    void prepareMonth(const QDate &journalDate);
    void finishMonth();

    // The month and year the lists select.
    TimesheetMonth selectedMonth() const;

    // Commands.
    void monthChosen();
    void yearChosen();
    void reread();         // "Обновить": the three grids read again
    void rebuildMonth();   // "Перестроить": the month's shift rows rebuilt from the journal
    void print();          // "Печать": the print preview of the month's timesheet
    void exportWorkbook(); // "Excel": the month's timesheet to a workbook
    void leave();          // "Выход"
    // The window became active: the export button reads "Excel" again.
    void activate();

    // Reads the three grids for the selected month and colours their day columns.
    void applyMonth();

    QTabWidget *shiftTabs;
    QWidget *shift1Tab, *shift2Tab, *shift3Tab;
    DataGrid *shift1Grid, *shift2Grid, *shift3Grid;
    QPushButton *rebuildButton; // "Перестроить"
    QProgressBar *progressBar;
    QPushButton *exportButton; // "Excel"
    QComboBox *monthList;      // month
    QComboBox *yearList;       // year
    QPushButton *rereadButton; // "Обновить"
    QPushButton *printButton;  // "Печать"
    QPushButton *exitButton;   // "Выход"

    // The writer of this window's exports, kept for the whole run.
    SpreadsheetWriter writer;

    QList<DataGrid *> grids() const { return {shift1Grid, shift2Grid, shift3Grid}; }
    QList<DataSet *> gridQueries() const;

protected:
    bool event(QEvent *event) override;

private:
    void colourDays();
    void closeGrids();
    void openGrids();

    DataModule *m_module;
    // The month whose colours the grids show.
    TimesheetMonth m_shown;
    // A rebuild or an export under way: its own commands and the lists wait for it.
    bool m_busy = false;
};
