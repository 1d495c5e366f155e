#pragma once

#include "reference/list_window.h"
#include "reference/price_rules.h"

class DataSet;
class QCheckBox;
class DataModule;
class PriceDialog;
class NormsWindow;

// The operation price list "Операции": maintains the operation prices from the menu "Цены"
// (openMode 0) and chooses one for the production record dialog (openMode 1), handing back its unit price
// with the day-off, shift-3 and overtime surcharges of the record's journal. Lists the operation
// prices that have norm rows, with their lowest norm price and number of norms; with "Цены" ticked
// a double-click opens the norms of the current row. "Excel" exports every operation price.
class PriceList : public PickerListWindow<OperationPriceChoice> {
    Q_OBJECT
public:
    explicit PriceList(DataModule *module, QWidget *parent = nullptr);

    PriceDialog *dialog;       // the price dialog
    NormsWindow *normsWindow;  // the norms window
    QPushButton *exportButton; // "Excel"
    QCheckBox *pricesBox;      // "Цены"
    DataSet *exportQuery;      // the export's query: every operation price, its price from cena_new

    // Where the picker starts and what the unit price it hands back carries: dialogMode 1
    // (adding a record) starts on the first row, 2 (changing one) on the operation price
    // currentPriceId. Afterwards priceList stays open, unfiltered, on the chosen row.
    void showPicker(PickReceiver<OperationPriceChoice> *receiver, int dialogMode, int currentPriceId,
                    const PriceRules::PieceSurcharges &surcharges = {});
    void preparePicker(PickReceiver<OperationPriceChoice> *receiver, int dialogMode, int currentPriceId,
                       const PriceRules::PieceSurcharges &surcharges = {});

    void searchTextChanged() override;
    void add() override;            // "Добавить"
    void changeOrChoose() override; // "Изменить" / "Выбрать"
    void remove() override;         // "Удалить"
    void exportWorkbook();          // "Excel"
    void rowDoubleClicked() override;
    // Opens the norms window on the current operation price (nothing when the list is empty).
    void openNorms();

    // What the picker hands back for the current row of priceList.
    OperationPriceChoice currentChoice();

protected:
    void openList() override;
    void openPicker() override;
    void closePicker() override;

private:
    DataModule *m_module;
    int m_dialogMode = 1;
    int m_currentPriceId = 0;
    PriceRules::PieceSurcharges m_surcharges;
};
