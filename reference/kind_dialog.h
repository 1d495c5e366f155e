#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;
class DataModule;

// The operation kind dialog: adds a kind (openMode 1) or renames the current kind of the operation
// kind list (openMode 2). Its caption is set by the list at each opening.
class KindDialog : public QDialog {
    Q_OBJECT
public:
    explicit KindDialog(DataModule *module, QWidget *parent = nullptr);

    int openMode = 1; // 1 add, 2 change
    QString version;  // the changed kind's row version as the list read it (RowVersion)

    QLineEdit *nameEdit;       // "Операция"
    QPushButton *saveButton;   // "Записать"
    QPushButton *cancelButton; // "Отмена"

    void save();   // "Записать"

protected:
    void showEvent(QShowEvent *event) override;

private:
    DataModule *m_module;
};
