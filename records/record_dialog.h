#pragma once

#include "reference/pick_receiver.h"
#include "reference/price_choice.h"

#include <QDate>
#include <QDialog>

class DataSet;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class TDataModule6;
class TForm1;

// The production record dialog: adds a record to the journal of the main window or changes the
// current one. The worker and the operation price come from their pickers; the record is written
// with one statement and the worker's timesheet day cell follows it.
class TForm11 : public QDialog,
                public PickReceiver<WorkerChoice>,
                public PickReceiver<OperationPriceChoice> {
    Q_OBJECT
public:
    TForm11(TForm1 *mainWindow, TDataModule6 *module, QWidget *parent = nullptr);
    // The run's dialog, created on first use over the run's main window and data module.
    static TForm11 *instance();

    int Tag = 1;                 // 1 add, 2 change
    int WorkerId = 0;
    int PriceId = 0;             // the operation price
    qint64 ProductId = 0;
    int ProductKind = 0;
    double UnitPrice = 0;        // price per good piece, with the surcharges
    double BasePrice = 0;        // lowest norm price of the operation price ("Цена база")

    // Opening from the main window ("Добавить", "Изменить"); the second returns false (and does
    // nothing) when the journal has no rows.
    void PrepareAdd();
    bool PrepareChange();

    void Button3Click();         // worker picker
    void Button4Click();         // operation price picker
    void Button1Click();         // "Запись"
    void Button2Click();         // "Отмена"
    // Recomputes "Цена итог", "Цена база" and "Сумма" (leaving "Кол-во" or "Время", after a pick).
    void RecomputePrices();

    void TakePick(const WorkerChoice &choice) override;
    void TakePick(const OperationPriceChoice &choice) override;

    // The unit price as the statements carry it: rounded to 4 decimals (an exact half to the even
    // neighbour), shortest form, a point as separator whatever the workstation uses.
    static QString PriceLiteral(double price);
    static double RoundTo4(double value);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool Save();
    bool IsPainting() const;
    void SetColourEnabled(bool enabled);
    QString Shown(double value) const;

    TForm1 *m_main;
    TDataModule6 *m_module;
    int m_changedId = 0;         // the record being changed
    int m_changedWorker = 0;     // where it stood before the change
    QDate m_changedDate;

public:
    QLineEdit *Edit1, *Edit2, *Edit3, *Edit4, *Edit5, *Edit6, *Edit7, *Edit8, *Edit9;
    QDateEdit *DTimeP;
    QLabel *Label6;
    QPushButton *Button1, *Button2, *Button3, *Button4;
};
