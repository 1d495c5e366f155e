#pragma once

#include "reference/list_window.h"

class DataModule;
class KindDialog;

// The operation kind list "Виды операций (8)": maintains the kinds from the menu "Операции"
// (openMode 0) and chooses a kind for the price dialog (openMode 1).
class KindList : public PickerListWindow<OperationKindChoice> {
    Q_OBJECT
public:
    explicit KindList(DataModule *module, QWidget *parent = nullptr);

    KindDialog *dialog;   // the operation kind dialog

    void add() override;            // "Добавить"
    void changeOrChoose() override; // "Изменить" / "Выбрать"
    void remove() override;         // "Удалить"

protected:
    void openList() override;
    void openPicker() override;
    void closePicker() override;

private:
    DataModule *m_module;
};
