#pragma once

#include <QDialog>

class LookupList;
class QLineEdit;
class QPushButton;
class TDataModule6;

// The product dialog "Изделие": adds a product (Tag 1) or changes the current product of the
// product list (Tag 2): its mark, its per-unit number ("Расценка", stored as massa) and its
// product group.
class TForm7 : public QDialog {
    Q_OBJECT
public:
    explicit TForm7(TDataModule6 *module, QWidget *parent = nullptr);

    int Tag = 1;   // 1 add, 2 change
    qint64 id = 0;    // the product being changed
    QString version;  // its row's version as the list read it (RowVersion)

    QLineEdit *Edit1;      // "Марка"
    QLineEdit *Edit2;      // "Расценка": digits and one kind of decimal point only
    LookupList *cb_item;   // product group
    QPushButton *Button1;  // "Записать"
    QPushButton *Button2;  // "Отмена"

    void Button1Click();   // "Записать"

protected:
    void showEvent(QShowEvent *event) override;

private:
    TDataModule6 *m_module;
};
