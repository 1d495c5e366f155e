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
class TDataModule6;

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
class TForm11 : public QDialog,
                public PickReceiver<WorkerChoice>,
                public PickReceiver<OperationPriceChoice> {
    Q_OBJECT
public:
    explicit TForm11(TDataModule6 *module, QWidget *parent = nullptr);

    int Tag = 1;                 // 1 add, 2 change
    int WorkerId = 0;
    int PriceId = 0;             // the operation price
    qint64 ProductId = 0;
    int ProductKind = 0;
    double UnitPrice = 0;        // price per good piece, with the surcharges
    double BasePrice = 0;        // lowest norm price of the operation price ("Цена база")

    // Opening from the main window ("Добавить", "Изменить") on its journal; the second returns
    // false (and does nothing) when the journal has no rows.
    void PrepareAdd(const JournalContext &context);
    bool PrepareChange(const JournalContext &context);

    void Button3Click();         // worker picker
    void Button4Click();         // operation price picker
    void Button1Click();         // "Запись"
    void Button2Click();         // "Отмена"
    // Recomputes "Цена итог", "Цена база" and "Сумма" (leaving "Кол-во" or "Время", after a pick).
    void RecomputePrices();

    void TakePick(const WorkerChoice &choice) override;
    void TakePick(const OperationPriceChoice &choice) override;

    // The record the fields describe.
    ProductionRecord Record() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool Save();
    bool IsPainting() const;
    void SetColourEnabled(bool enabled);
    QString Shown(double value) const;

    TDataModule6 *m_module;
    JournalContext m_context;
    ProductionRecord m_before;   // the record being changed, as it was read

public:
    QLineEdit *Edit1, *Edit2, *Edit3, *Edit4, *Edit5, *Edit6, *Edit7, *Edit8, *Edit9;
    QDateEdit *DTimeP;
    QLabel *Label6;
    QPushButton *Button1, *Button2, *Button3, *Button4;
};
