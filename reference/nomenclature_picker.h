#pragma once

#include "reference/list_window.h"
#include "reference/pick_receiver.h"

class TDataModule6;

// The nomenclature picker "Номенклатура (26)": chooses a product group (classifier item of
// level 2) for the household-work entry dialog. Read-only; its search text and the filter it set
// stay in force between openings.
class TForm26 : public ListWindow {
    Q_OBJECT
public:
    explicit TForm26(TDataModule6 *module, QWidget *parent = nullptr);
    static TForm26 *instance();

    DataSet *item;   // "select * from cmn_classifier.item where id_level=2 order by s_caption"

    // Opens item, shows the picker modally for `receiver`, closes item.
    void ShowPicker(PickReceiver<NomenclatureChoice> *receiver);
    void PreparePicker(PickReceiver<NomenclatureChoice> *receiver);
    void FinishPicker();

    void Edit1Change() override;
    void Button1Click() override;   // "Выбрать"
    void DBGrid1DblClick() override { Button1Click(); }

protected:
    bool Edit1KeyDown(QKeyEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    PickReceiver<NomenclatureChoice> *m_receiver = nullptr;
};
