#pragma once

#include "reference/list_window.h"

class DataModule;
class ProductDialog;

// The product list "Изделия (3)": maintains the products from the menu "Изделия" (openMode 0) and
// chooses a product for the price dialog (openMode 1). Deleting a product can take its prices and its
// production records with it (ProductDeletion).
class ProductList : public PickerListWindow<ProductChoice> {
    Q_OBJECT
public:
    explicit ProductList(DataModule *module, QWidget *parent = nullptr);

    ProductDialog *dialog;   // the product dialog

    void add() override;            // "Добавить"
    void changeOrChoose() override; // "Изменить" / "Выбрать"
    void remove() override;         // "Удалить"

protected:
    void closePicker() override;

private:
    DataModule *m_module;
};
