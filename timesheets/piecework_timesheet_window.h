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
class TDataModule6;

// The piecework timesheet (27): a month's timesheet with one row per worker (or per worker and
// day/night), the month's hours, earnings and earnings per hour, in one of four views, and below
// it the plant's totals of the month. From here the month's household-work and
// average-piecework rows are rebuilt from the entries, and the view is exported to a workbook.
// Opened from the main menu "Табель" in the view of the command, on today's month.
class TForm27 : public QDialog {
    Q_OBJECT
public:
    explicit TForm27(TDataModule6 *module, QWidget *parent = nullptr);

    // Opening from the main menu: the view set, today's month selected and applied, the window
    // shown modally; its queries are closed again when it closes.
    void ShowMode(PieceworkView::Mode mode);
    // The steps of the opening, for callers (and tests) that show the window themselves.
    void PrepareMode(PieceworkView::Mode mode, const QDate &today = QDate::currentDate());
    void FinishMode();

    TimesheetMonth SelectedMonth() const;
    PieceworkView View() const { return {Mode}; }

    // Commands.
    void ComboBox1Change();  // month list
    void cb_yearCloseUp();   // a year picked from the year list
    void Button5Click();     // "Обновить": the view read again (the totals stay)
    void Button3Click();     // "Перестроить": the month's household rows rebuilt from the entries
    void Button2Click();     // "Excel": the view to a workbook
    void Button1Click();     // "Выход"

    // Reads the view and the totals for the selected month and lays the day columns out for it.
    void ApplyMonth();

    PieceworkView::Mode Mode = PieceworkView::Piecework;
    // The query of the view the grid shows.
    DataSet *CurrentQuery = nullptr;
    DataSet *H_Tabel0, *H_Tabel7777, *H_Tabel7778, *H_Tabel_all;
    DataSet *price, *price7, *price8, *all_price;   // the month's totals
    DataSet *q_year;
    DataSet *dt;                                     // the rebuild's day query

    DataGrid *DBGrid;
    QComboBox *ComboBox1;  // month
    QComboBox *cb_year;    // year
    QLabel *Price8Text, *Price7Text, *PriceText, *AllPriceText;   // "Ср. сдел.:", "Хоз. работы:", "Сделка:", "Итого:"
    QPushButton *Button2;  // "Excel"
    QPushButton *Button5;  // "Обновить"
    QPushButton *Button3;  // "Перестроить"
    QProgressBar *PB;
    QPushButton *Button1;  // "Выход"

private:
    DataSet *queryOf(PieceworkView::Mode mode) const;
    void fillYears(int year);
    void layColumns();
    void readTotals(const TimesheetMonth &month);

    TDataModule6 *m_module;
    TimesheetMonth m_shown;
    bool m_busy = false;
};
