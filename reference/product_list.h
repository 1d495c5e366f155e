#pragma once

#include "reference/list_window.h"

class TDataModule6;
class TForm7;

// The product list "Изделия (3)": maintains the products from the menu "Изделия" (Tag 0) and
// chooses a product for the price dialog (Tag 1). Deleting a product can take its prices and its
// production records with it (ProductDeletion).
class TForm3 : public PickerListWindow<ProductChoice> {
    Q_OBJECT
public:
    explicit TForm3(TDataModule6 *module, QWidget *parent = nullptr);

    TForm7 *Form7;   // the product dialog

    void Button1Click() override;   // "Добавить"
    void Button2Click() override;   // "Изменить" / "Выбрать"
    void Button3Click() override;   // "Удалить"

protected:
    void ClosePicker() override;

private:
    TDataModule6 *m_module;
};
