#pragma once

#include <QDialog>

class LookupList;
class QLineEdit;
class QPushButton;
class DataModule;

// The product dialog "Изделие": adds a product (openMode 1) or changes the current product of the
// product list (openMode 2): its mark, its per-unit number ("Расценка", stored as massa) and its
// product group.
class ProductDialog : public QDialog {
    Q_OBJECT
public:
    explicit ProductDialog(DataModule *module, QWidget *parent = nullptr);

    int openMode = 1; // 1 add, 2 change
    qint64 id = 0;    // the product being changed
    QString version;  // its row's version as the list read it (RowVersion)

    QLineEdit *markEdit;       // "Марка"
    QLineEdit *rateEdit;       // "Расценка": digits and one kind of decimal point only
    LookupList *groupList;     // product group
    QPushButton *saveButton;   // "Записать"
    QPushButton *cancelButton; // "Отмена"

    void save();   // "Записать"

protected:
    void showEvent(QShowEvent *event) override;

private:
    DataModule *m_module;
};
