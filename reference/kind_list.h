#pragma once

#include "reference/list_window.h"

class TDataModule6;
class TForm9;

// The operation kind list "Виды операций (8)": maintains the kinds from the menu "Операции"
// (Tag 0) and chooses a kind for the price dialog (Tag 1).
class TForm8 : public PickerListWindow<OperationKindChoice> {
    Q_OBJECT
public:
    explicit TForm8(TDataModule6 *module, QWidget *parent = nullptr);

    TForm9 *Form9;   // the operation kind dialog

    void Button1Click() override;   // "Добавить"
    void Button2Click() override;   // "Изменить" / "Выбрать"
    void Button3Click() override;   // "Удалить"

protected:
    void OpenList() override;
    void OpenPicker() override;
    void ClosePicker() override;

private:
    TDataModule6 *m_module;
};
