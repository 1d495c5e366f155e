#pragma once

#include "timesheets/household_dialog.h"

#include <QDate>
#include <QDialog>

class DataGrid;
class DataSet;
class QCheckBox;
class QDateEdit;
class QPushButton;
class DataModule;

// The household-work list "Хоз. работы (25)": the household-work and average-piecework entries of
// one date, with add, change and delete through the entry dialog and the month's average
// piecework prices. "Выходной" follows the date the user picks and doubles the price of the
// entries saved next.
class HouseholdListWindow : public QDialog {
    Q_OBJECT
public:
    explicit HouseholdListWindow(DataModule *module, QWidget *parent = nullptr);

    // The entries of the list's date (the plant's fatigue, parameter d_date).
    DataSet *entries;
    // The shift of the entries saved next; 1 after every activation.
    int shift = 1;

    // Opening from the main window on its journal date: the holiday box stays as it is.
    void prepareOpen(const QDate &date);
    // The window becomes active (opened, or back from the entry dialog): the list is read again.
    void activate();
    // The user picked another date: "Выходной" follows it and the list is read for it.
    void dateChanged();

    void addEntry();             // "Добавить"
    void changeEntry();          // "Изменить"
    void deleteEntry();          // "Удалить"
    void computeAveragePrices(); // "Расчитать ср.сд."
    void leave();                // "Выход"
    void rowDoubleClicked() { changeEntry(); }

    QDate listDate() const;
    bool holiday() const;
    // The list as the entry dialog is opened on it.
    HouseholdListContext listContext() const;

    DataGrid *grid;
    QDateEdit *dateField;
    QCheckBox *holidayBox;
    QPushButton *averagePricesButton, *addButton, *changeButton, *deleteButton, *exitButton;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void readList();
    // Shows the entry dialog; afterwards the list is active again.
    void showDialog(HouseholdDialog *dialog);

    DataModule *m_module;
};
