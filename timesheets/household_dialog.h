#pragma once

#include "reference/pick_receiver.h"
#include "timesheets/household_entry.h"

#include <QDate>
#include <QDialog>

class DataSet;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class TDataModule6;

// What the entry dialog is opened on: the household-work list as it stands.
struct HouseholdListContext {
    DataSet *list = nullptr;   // the list's entries; its current row is the entry a change acts on
    QDate date;                // the list's date: the date of a new entry
    bool holiday = false;      // "Выходной": the price of an hour is doubled
    int shift = 1;             // the list's shift value
};

// The entry dialog "Хоз. работы/среднесдельная (24)": adds a household-work or average-piecework
// entry to the list's date or changes the list's current entry. The worker and the product group
// come from their pickers, the price of an hour from the chosen kind's norm; the entry and its
// timesheet day cell are written together (HouseholdCommands::save).
class TForm24 : public QDialog, public PickReceiver<WorkerChoice>, public PickReceiver<NomenclatureChoice> {
    Q_OBJECT
public:
    explicit TForm24(TDataModule6 *module, QWidget *parent = nullptr);

    int Tag = 0;                 // 0 add, 1 change
    int WorkerId = 0;            // 0 while no worker is chosen
    qint64 GroupId = 0;          // 0 while no product group is chosen

    // The kinds 7777 and 7778 with the price of an hour; open while the dialog is shown.
    DataSet *type_work;

    // Opening from the list ("Добавить", "Изменить"); Finish closes the kinds afterwards.
    void PrepareAdd(const HouseholdListContext &context);
    void PrepareChange(const HouseholdListContext &context);
    void Finish();

    void Button3Click();         // worker picker
    void Button4Click();         // nomenclature picker
    void Button1Click();         // "Записать"
    void Button6Click();         // "Выход"

    void TakePick(const WorkerChoice &choice) override;
    void TakePick(const NomenclatureChoice &choice) override;

    // The chosen kind (0 when none) and the price of an hour its norm gives.
    int Kind() const;
    double KindPrice() const;
    void ChooseKind(int kind);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void OpenKinds();
    void ShowPrice();
    bool Save();

    TDataModule6 *m_module;
    HouseholdListContext m_context;
    HouseholdEntry m_before;     // the entry being changed, as the list showed it

public:
    QLineEdit *Edit1, *Edit2, *Edit6, *DBEdit1, *DBEdit2;
    QComboBox *cb_type_work;
    QCheckBox *CBox1;
    QPushButton *Button1, *Button3, *Button4, *Button6;
};
