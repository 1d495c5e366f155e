#pragma once

#include "reference/list_window.h"

class TDataModule6;

// The nomenclature picker "Номенклатура (26)": chooses a product group (classifier item of
// level 2) for the household-work entry dialog. Read-only and a picker only; its search text and
// the filter it set stay in force between openings.
class TForm26 : public PickerListWindow<NomenclatureChoice> {
    Q_OBJECT
public:
    explicit TForm26(TDataModule6 *module, QWidget *parent = nullptr);

    DataSet *item;   // "select * from cmn_classifier.item where id_level=2 order by s_caption"

    void Button1Click() override;   // "Выбрать"
    void DBGrid1DblClick() override { Button1Click(); }

protected:
    // Its buttons are the same in every opening.
    void SetPickerLook(bool) override {}
    // The caller does not empty the search box.
    void OpenPicker() override { OpenList(); }
    void showEvent(QShowEvent *event) override;
};
