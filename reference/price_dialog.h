#pragma once

#include "reference/pick_receiver.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class TDataModule6;

// The price dialog: adds an operation price (Tag 1) or changes the current one of the operation
// price list (Tag 2). The product and the operation kind are chosen in the product and operation
// kind lists; the product kind is picked from a fixed list.
//
// A new operation price is useless until it has a norm row: the price list shows only operation
// prices with norms and the production records take their price from them. So adding asks for the
// lowest price as well ("min Цена") and stores it as the first norm row; the norms window takes it
// from there.
class TForm10 : public QDialog,
                public PickReceiver<ProductChoice>,
                public PickReceiver<OperationKindChoice> {
    Q_OBJECT
public:
    explicit TForm10(TDataModule6 *module, QWidget *parent = nullptr);

    int Tag = 1;             // 1 add, 2 change
    QString Version;         // the changed price's row version as the list read it (RowVersion)
    qint64 ProductId = 0;    // set by the product picker or by the list's Change
    int KindId = 0;          // set by the operation kind picker or by the list's Change
    // The operation price the last save wrote (0 before the first save).
    int WrittenId = 0;

    QLineEdit *Edit1;        // "Марка изделия", read-only
    QLineEdit *Edit2;        // "Операция", read-only
    QComboBox *ComboBox1;    // "Вид": 0 "Готовая продукция", 1 "Заготовки"
    QLineEdit *Edit3;        // "min Цена": the first norm row's price when adding
    QLabel *Label3;          // its label
    QPushButton *Button1;    // "Записать"
    QPushButton *Button2;    // "Отмена"
    QPushButton *Button3;    // "..." product picker
    QPushButton *Button4;    // "..." operation kind picker

    // The price field is asked for when adding only; changing leaves the norms to the norms window.
    void ShowPriceField(bool shown);

    void Button1Click();     // "Записать"
    void Button3Click();     // product picker
    void Button4Click();     // operation kind picker

    void TakePick(const ProductChoice &choice) override;
    void TakePick(const OperationKindChoice &choice) override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    TDataModule6 *m_module;
};
