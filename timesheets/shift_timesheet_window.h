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
class TDataModule6;

// The timesheet by shifts "Табель по времени": for one month, the hours of each worker on each
// day, one tab per shift, from the shift rows of the timesheet. From here the month's shift rows
// are rebuilt from the journal, and the month's timesheet of all rows is printed and exported.
// Opened from the main menu "Табель" → "Табель по сменам" on the month of the journal date.
class TForm19 : public QDialog {
    Q_OBJECT
public:
    explicit TForm19(TDataModule6 *module, QWidget *parent = nullptr);

    // Opening from the main menu: the month of `journalDate` selected and applied, the window
    // shown modally; its grids are closed again when it closes.
    void ShowMonth(const QDate &journalDate);
    // The steps of the opening, for callers (and tests) that show the window themselves.
    void PrepareMonth(const QDate &journalDate);
    void FinishMonth();

    // The month and year the lists select.
    TimesheetMonth SelectedMonth() const;

    // Commands.
    void ComboBox1Change(); // month list
    void ComboBox2Change(); // year list
    void Button5Click();    // "Обновить": the three grids read again
    void Button1Click();    // "Перестроить": the month's shift rows rebuilt from the journal
    void Button6Click();    // "Печать": the print preview of the month's timesheet
    void Button2Click();    // "Excel": the month's timesheet to a workbook
    void Button4Click();    // "Выход"
    // The window became active: the export button reads "Excel" again.
    void FormActivate();

    // Reads the three grids for the selected month and colours their day columns.
    void ApplyMonth();

    // The grids' queries live in the data module; the rebuild's day query is the window's own.
    DataSet *dt;

    QTabWidget *PageControl1;
    QWidget *TabSheet1, *TabSheet2, *TabSheet3;
    DataGrid *DBGrid1, *DBGrid2, *DBGrid3;
    QPushButton *Button1; // "Перестроить"
    QProgressBar *PB;
    QPushButton *Button2; // "Excel"
    QComboBox *ComboBox1; // month
    QComboBox *ComboBox2; // year
    QPushButton *Button5; // "Обновить"
    QPushButton *Button6; // "Печать"
    QPushButton *Button4; // "Выход"

    // The writer of this window's exports, kept for the whole run.
    SpreadsheetWriter XLS;

    QList<DataGrid *> grids() const { return {DBGrid1, DBGrid2, DBGrid3}; }
    QList<DataSet *> gridQueries() const;

protected:
    bool event(QEvent *event) override;

private:
    void colourDays();
    void closeGrids();
    void openGrids();

    TDataModule6 *m_module;
    // The month whose colours the grids show.
    TimesheetMonth m_shown;
    // A rebuild or an export under way: its own commands and the lists wait for it.
    bool m_busy = false;
};
