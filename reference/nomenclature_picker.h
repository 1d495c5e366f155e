#pragma once

#include "reference/list_window.h"

class DataModule;

// The nomenclature picker "Номенклатура (26)": chooses a product group (classifier item of
// level 2) for the household-work entry dialog. Read-only and a picker only; its search text and
// the filter it set stay in force between openings.
class NomenclaturePicker : public PickerListWindow<NomenclatureChoice> {
    Q_OBJECT
public:
    explicit NomenclaturePicker(DataModule *module, QWidget *parent = nullptr);

    // The product groups (the plant's item):
    DataSet *groups;   // "select * from cmn_classifier.item where id_level=2 order by s_caption"

    QPushButton *chooseButton = nullptr;   // "Выбрать"
    void choose();
    void rowDoubleClicked() override { choose(); }

protected:
    // Its buttons are the same in every opening.
    void setPickerLook(bool) override {}
    // The caller does not empty the search box.
    void openPicker() override { openList(); }
    void showEvent(QShowEvent *event) override;
};
