#pragma once

#include <QDialog>

class NormTable;
class QKeyEvent;
class QPushButton;
class QTableView;
class DataModule;

namespace NormsWindowDetail {
class NormDelegate;
}

// The norms window "Норматив": the norm rows of one operation price, edited in place. A row is
// written as soon as the user leaves the cell it was edited in; "Сохранить" writes what is still
// pending and brings the operation price list up to date (lowest price and number of norms).
// The last norm row of an operation price cannot be deleted: the price would vanish from the list.
class NormsWindow : public QDialog {
    Q_OBJECT
public:
    explicit NormsWindow(DataModule *module, QWidget *parent = nullptr);

    NormTable *table;          // the window's norm rows (the plant's norm)
    QTableView *grid;
    QPushButton *saveButton;   // "Сохранить": default and cancel button
    QPushButton *deleteButton; // "Удалить"

    // The norm rows of one operation price, the first row current. showNorms also shows the
    // window modally.
    void prepare(int priceId);
    void showNorms(int priceId);

    // The grid's current cell left a row with edits: the row is written. A row the database
    // refuses keeps its edits and becomes current again, with its error shown.
    void cellLeft();
    void save();      // "Сохранить"
    void deleteRow(); // "Удалить"
    // Ends an edit still open in the grid, keeping what was typed in the row's edits.
    void commitEdit();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void setCurrent(int row, int column);

    DataModule *m_module;
    NormsWindowDetail::NormDelegate *m_delegate;
    bool m_settingCurrent = false;
    bool m_exitQueued = false;
    int m_editColumn = 0;     // column of the last edit
};
