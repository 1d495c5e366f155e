#pragma once

#include "records/production_record.h"
#include "reference/pick_receiver.h"
#include "reference/price_rules.h"

#include <QDate>
#include <QDialog>

class DataSet;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class DataModule;

// What the record dialog is opened on: the main window's journal as it stands.
struct JournalContext {
    DataSet *journal = nullptr;  // the journal query of the current mode
    QDate date;                  // the journal date
    int mode = 1;                // the journal mode: shifts 1 to 3, overtime 4
    bool dayOff = false;         // "Выходной"
};

// The production record dialog: adds a record to the journal of the main window or changes the
// current one. The worker and the operation price come from their pickers; the record and the
// worker's timesheet day cell are written together (RecordCommands::save).
class RecordDialog : public QDialog,
                public PickReceiver<WorkerChoice>,
                public PickReceiver<OperationPriceChoice> {
    Q_OBJECT
public:
    explicit RecordDialog(DataModule *module, QWidget *parent = nullptr);

    int openMode = 1;                 // 1 add, 2 change
    int workerId = 0;
    int priceId = 0;             // the operation price
    qint64 productId = 0;
    int productKind = 0;
    double unitPrice = 0;        // price per good piece, with the surcharges
    double basePrice = 0;        // lowest norm price of the operation price ("Цена база")

    // Opening from the main window ("Добавить", "Изменить") on its journal; the second returns
    // false (and does nothing) when the journal has no rows.
    void prepareAdd(const JournalContext &context);
    bool prepareChange(const JournalContext &context);

    void pickWorker();
    void pickPrice();
    void save();       // "Запись"
    void cancel();     // "Отмена"
    // Recomputes "Цена итог", "Цена база" and "Сумма" (leaving "Кол-во" or "Время", after a pick).
    void recomputePrices();

    void takePick(const WorkerChoice &choice) override;
    void takePick(const OperationPriceChoice &choice) override;

    // The record the fields describe.
    ProductionRecord record() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool write();
    bool isPainting() const;
    void setColourEnabled(bool enabled);
    QString shown(double value) const;

    DataModule *m_module;
    JournalContext m_context;
    ProductionRecord m_before;   // the record being changed, as it was read

public:
    QLineEdit *workerEdit, *operationEdit, *quantityEdit, *rejectsEdit, *colourEdit, *hoursEdit, *unitPriceEdit, *basePriceEdit, *amountEdit;
    QDateEdit *dateField;
    QLabel *colourLabel;
    QPushButton *saveButton, *cancelButton, *workerButton, *priceButton;
};
