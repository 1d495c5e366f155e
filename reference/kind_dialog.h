#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;
class TDataModule6;

// The operation kind dialog: adds a kind (Tag 1) or renames the current kind of the operation
// kind list (Tag 2). Its caption is set by the list at each opening.
class TForm9 : public QDialog {
    Q_OBJECT
public:
    explicit TForm9(TDataModule6 *module, QWidget *parent = nullptr);

    int Tag = 1;   // 1 add, 2 change
    QString version;  // the changed kind's row version as the list read it (RowVersion)

    QLineEdit *Edit1;      // "Операция"
    QPushButton *Button1;  // "Записать"
    QPushButton *Button2;  // "Отмена"

    void Button1Click();   // "Записать"

protected:
    void showEvent(QShowEvent *event) override;

private:
    TDataModule6 *m_module;
};
