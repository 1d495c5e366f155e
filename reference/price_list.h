#pragma once

#include "reference/list_window.h"
#include "reference/price_rules.h"

class DataSet;
class QCheckBox;
class TDataModule6;
class TForm10;
class TForm22;

// The operation price list "Операции": maintains the operation prices from the menu "Цены"
// (Tag 0) and chooses one for the production record dialog (Tag 1), handing back its unit price
// with the day-off, shift-3 and overtime surcharges of the record's journal. Lists the operation
// prices that have norm rows, with their lowest norm price and number of norms; with "Цены" ticked
// a double-click opens the norms of the current row. "Excel" exports every operation price.
class TForm4 : public PickerListWindow<OperationPriceChoice> {
    Q_OBJECT
public:
    explicit TForm4(TDataModule6 *module, QWidget *parent = nullptr);

    TForm10 *Form10;         // the price dialog
    TForm22 *Form22;         // the norms window
    QPushButton *Button5;    // "Excel"
    QCheckBox *CheckBox1;    // "Цены"
    DataSet *XLS_Rep;        // the export's query: every operation price, its price from cena_new

    // Where the picker starts and what the unit price it hands back carries: dialogMode 1
    // (adding a record) starts on the first row, 2 (changing one) on the operation price
    // currentPriceId. Afterwards Oper stays open, unfiltered, on the chosen row.
    void ShowPicker(PickReceiver<OperationPriceChoice> *receiver, int dialogMode, int currentPriceId,
                    const PriceRules::PieceSurcharges &surcharges = {});
    void PreparePicker(PickReceiver<OperationPriceChoice> *receiver, int dialogMode, int currentPriceId,
                       const PriceRules::PieceSurcharges &surcharges = {});

    void Edit1Change() override;
    void Button1Click() override;   // "Добавить"
    void Button2Click() override;   // "Изменить" / "Выбрать"
    void Button3Click() override;   // "Удалить"
    void Button5Click();            // "Excel"
    void DBGrid1DblClick() override;
    // Opens the norms window on the current operation price (nothing when the list is empty).
    void OpenNorms();

    // What the picker hands back for the current row of Oper.
    OperationPriceChoice CurrentChoice();

protected:
    void OpenList() override;
    void OpenPicker() override;
    void ClosePicker() override;

private:
    TDataModule6 *m_module;
    int m_dialogMode = 1;
    int m_currentPriceId = 0;
    PriceRules::PieceSurcharges m_surcharges;
};
