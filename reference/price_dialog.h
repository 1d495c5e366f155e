#pragma once

#include "reference/pick_receiver.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class DataModule;

// The price dialog: adds an operation price (openMode 1) or changes the current one of the operation
// price list (openMode 2). The product and the operation kind are chosen in the product and operation
// kind lists; the product kind is picked from a fixed list.
//
// A new operation price is useless until it has a norm row: the price list shows only operation
// prices with norms and the production records take their price from them. So adding asks for the
// lowest price as well ("min Цена") and stores it as the first norm row; the norms window takes it
// from there.
class PriceDialog : public QDialog,
                public PickReceiver<ProductChoice>,
                public PickReceiver<OperationKindChoice> {
    Q_OBJECT
public:
    explicit PriceDialog(DataModule *module, QWidget *parent = nullptr);

    int openMode = 1;     // 1 add, 2 change
    QString version;      // the changed price's row version as the list read it (RowVersion)
    qint64 productId = 0; // set by the product picker or by the list's Change
    int kindId = 0;       // set by the operation kind picker or by the list's Change
    // The operation price the last save wrote (0 before the first save).
    int writtenId = 0;

    QLineEdit *productEdit;     // "Марка изделия", read-only
    QLineEdit *kindEdit;        // "Операция", read-only
    QComboBox *productKindList; // "Вид": 0 "Готовая продукция", 1 "Заготовки"
    QLineEdit *priceEdit;       // "min Цена": the first norm row's price when adding
    QLabel *priceLabel;         // its label
    QPushButton *saveButton;    // "Записать"
    QPushButton *cancelButton;  // "Отмена"
    QPushButton *productButton; // "..." product picker
    QPushButton *kindButton;    // "..." operation kind picker

    // The price field is asked for when adding only; changing leaves the norms to the norms window.
    void showPriceField(bool shown);

    void save();        // "Записать"
    void pickProduct();
    void pickKind();

    void takePick(const ProductChoice &choice) override;
    void takePick(const OperationKindChoice &choice) override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    DataModule *m_module;
};
