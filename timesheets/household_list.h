#pragma once

#include "timesheets/household_dialog.h"

#include <QDate>
#include <QDialog>

class DataGrid;
class DataSet;
class QCheckBox;
class QDateEdit;
class QPushButton;
class TDataModule6;

// The household-work list "Хоз. работы (25)": the household-work and average-piecework entries of
// one date, with add, change and delete through the entry dialog and the month's average
// piecework prices. "Выходной" follows the date the user picks and doubles the price of the
// entries saved next.
class TForm25 : public QDialog {
    Q_OBJECT
public:
    explicit TForm25(TDataModule6 *module, QWidget *parent = nullptr);

    // The entries of the list's date (parameter d_date).
    DataSet *fatigue;
    // The shift of the entries saved next; 1 after every activation.
    int Shift = 1;

    // Opening from the main window on its journal date: the holiday box stays as it is.
    void PrepareOpen(const QDate &date);
    // The window becomes active (opened, or back from the entry dialog): the list is read again.
    void Activate();
    // The user picked another date: "Выходной" follows it and the list is read for it.
    void DateChanged();

    void Button5Click();         // "Добавить"
    void Button6Click();         // "Изменить"
    void Button7Click();         // "Удалить"
    void Button1Click();         // "Расчитать ср.сд."
    void Button8Click();         // "Выход"
    void DBGrid1DblClick() { Button6Click(); }

    QDate ListDate() const;
    bool Holiday() const;
    // The list as the entry dialog is opened on it.
    HouseholdListContext Context() const;

    DataGrid *DBGrid1;
    QDateEdit *DTPcker1;
    QCheckBox *CBox1;
    QPushButton *Button1, *Button5, *Button6, *Button7, *Button8;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void ReadList();
    // Shows the entry dialog; afterwards the list is active again.
    void ShowDialog(TForm24 *dialog);

    TDataModule6 *m_module;
};
