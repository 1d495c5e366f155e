#pragma once

#include <QDialog>

class LookupList;
class QLineEdit;
class QPushButton;
class DataModule;

// The worker dialog "Работники": adds a worker (openMode 1) or changes the name and department of one
// (openMode 2, `id` set by the worker list). Its three look-up lists keep their last choice for the
// whole run; the department's caption is what is stored as the worker's "Должность".
class WorkerDialog : public QDialog {
    Q_OBJECT
public:
    explicit WorkerDialog(DataModule *module, QWidget *parent = nullptr);

    int openMode = 1; // 1 add, 2 change
    int id = 0;       // the worker being changed
    QString version;  // its row's version as the list read it (RowVersion)

    QLineEdit *nameEdit;        // "ФИО"
    LookupList *departmentList; // "Подразделение"
    LookupList *positionList;   // "Должность"
    LookupList *roleList;       // "Роль"
    QPushButton *saveButton;    // "Записать"
    QPushButton *cancelButton;  // "Отмена"

    // Closes and reopens the three look-up tables so that they show current data.
    void reopenLookups();
    void save();            // "Записать"

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    DataModule *m_module;
};
