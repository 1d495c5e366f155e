#pragma once

#include <QDialog>

class LookupList;
class QLineEdit;
class QPushButton;
class TDataModule6;

// The worker dialog "Работники": adds a worker (Tag 1) or changes the name and department of one
// (Tag 2, `id` set by the worker list). Its three look-up lists keep their last choice for the
// whole run; the department's caption is what is stored as the worker's "Должность".
class TForm2 : public QDialog {
    Q_OBJECT
public:
    explicit TForm2(TDataModule6 *module, QWidget *parent = nullptr);

    int Tag = 1;    // 1 add, 2 change
    int id = 0;     // the worker being changed
    QString version; // its row's version as the list read it (RowVersion)

    QLineEdit *Edit1;               // "ФИО"
    LookupList *LCB_department;     // "Подразделение"
    LookupList *LCB_staffpos;       // "Должность"
    LookupList *LCB_roles;          // "Роль"
    QPushButton *Button1;           // "Записать"
    QPushButton *Button2;           // "Отмена"

    // Closes and reopens the three look-up tables so that they show current data.
    void ReopenLookups();
    void Button1Click();            // "Записать"

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    TDataModule6 *m_module;
};
