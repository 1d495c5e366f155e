#pragma once

#include <QDialog>
#include <QList>
#include <functional>

class DataGrid;
class DataSet;
class QKeyEvent;
class QLineEdit;
class QPushButton;

// What every reference list window shares: a grid over one query, a search box that narrows the
// query as the user types (Up and Down in the box move the grid's current row), a remembered row
// number for coming back to the same row after the query is reopened, and the two ways of use:
// list mode (maintenance) and picker mode (choose a row for another window).
//
// Each window decides for itself which keys the search box consumes, how the search text is
// turned into a filter, and what happens to the search box between openings.
class ListWindow : public QDialog {
    Q_OBJECT
public:
    // The mode the opener set: 0 list mode, any other value picker for one caller.
    int Tag = 0;
    bool IsPicker() const { return Tag != 0; }
    DataSet *Query() const { return m_query; }

    DataGrid *DBGrid1;
    QLineEdit *Edit1;                 // search box
    QPushButton *Button1 = nullptr;   // "Добавить"
    QPushButton *Button2 = nullptr;   // "Изменить" / "Выбрать"
    QPushButton *Button3 = nullptr;   // "Удалить"
    QPushButton *Button4 = nullptr;   // "Выход"

    // The search text changed.
    virtual void Edit1Change() = 0;
    virtual void Button1Click() {}
    virtual void Button2Click() {}
    virtual void Button3Click() {}
    // "Выход": closes the window without a choice.
    void Button4Click();
    virtual void DBGrid1DblClick() { Button2Click(); }

    // Row number remembered before a change, made current again after the query is reopened.
    int RememberedRow = 0;

protected:
    ListWindow(DataSet *query, const QString &objectName, const QString &caption,
               QWidget *parent = nullptr);

    // A key pressed in the search box; true when it is consumed there.
    virtual bool Edit1KeyDown(QKeyEvent *event) = 0;
    // Up moves the current row to the previous row, Down to the next; true for those two keys.
    bool MoveByArrow(const QKeyEvent *event);
    // Keys that neither type a character nor erase one (Left, Right, Home, End, Delete, ...).
    // Enter, Esc and Tab are not among them: they still reach the dialog's buttons and focus chain,
    // and neither are the editing shortcuts with Ctrl (copy, paste, undo).
    static bool TypesNothing(const QKeyEvent *event);

    enum class Match { Prefix, Anywhere };
    // Shows only the rows whose field (without surrounding blanks) starts with, or contains, the
    // text; letter case is ignored, Cyrillic included. An empty text switches the filter off.
    void FilterBy(const QString &field, const QString &text, Match match = Match::Prefix);

    void RememberRow();
    // Makes the remembered row current again when the query has rows.
    void RestoreRow();

    // Button1 "Добавить", Button2 "Изменить", Button3 "Удалить", Button4 "Выход" (cancel button).
    void CreateListButtons();
    // A button whose clicks run `command`; an error it throws becomes an error box.
    QPushButton *AddButton(const QString &name, const QString &caption,
                           const std::function<void()> &command);
    // Picker look: Button2 reads "Выбрать" and is the default button, Button1 and Button3 hidden.
    // List look: Button2 reads "Изменить", Button1 is the default button, Button1 and Button3 shown.
    void SetPickerLook(bool picker);

    // Lays the window out: the grid, then `above` (when given) on a line of its own, then the
    // bottom row; a null entry in the row is a gap that takes up the room a hidden search box leaves.
    void Arrange(const QList<QWidget *> &bottomRow, QWidget *above = nullptr);

    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    DataSet *m_query;
};
