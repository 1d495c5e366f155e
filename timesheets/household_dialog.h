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
class DataModule;

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
class HouseholdDialog : public QDialog, public PickReceiver<WorkerChoice>, public PickReceiver<NomenclatureChoice> {
    Q_OBJECT
public:
    explicit HouseholdDialog(DataModule *module, QWidget *parent = nullptr);

    int openMode = 0;   // 0 add, 1 change
    int workerId = 0;   // 0 while no worker is chosen
    qint64 groupId = 0; // 0 while no product group is chosen

    // The kinds 7777 and 7778 with the price of an hour (the plant's type_work); open while the
    // dialog is shown.
    DataSet *kinds;

    // Opening from the list ("Добавить", "Изменить"); finish closes the kinds afterwards.
    void prepareAdd(const HouseholdListContext &context);
    void prepareChange(const HouseholdListContext &context);
    void finish();

    void pickWorker();
    void pickGroup();
    void save();       // "Записать"
    void leave();      // "Выход"

    void takePick(const WorkerChoice &choice) override;
    void takePick(const NomenclatureChoice &choice) override;

    // The chosen kind (0 when none) and the price of an hour its norm gives.
    int kind() const;
    double kindPrice() const;
    void chooseKind(int kind);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void openKinds();
    void showPrice();
    bool write();

    DataModule *m_module;
    HouseholdListContext m_context;
    HouseholdEntry m_before;     // the entry being changed, as the list showed it

public:
    QLineEdit *workerEdit, *groupEdit, *hoursEdit, *priceEdit, *amountEdit;
    QComboBox *kindList;
    QCheckBox *nightBox;
    QPushButton *saveButton, *workerButton, *groupButton, *exitButton;
};
