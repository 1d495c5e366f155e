#pragma once

#include "db/dataset.h"
#include "reference/pick_receiver.h"

#include <QDialog>
#include <QList>
#include <functional>

class DataGrid;
class QKeyEvent;
class QLineEdit;
class QPushButton;

// What every reference list window shares: a grid over one query, a search box that narrows the
// query as the user types (Up and Down in the box move the grid's current row), a remembered row
// number for coming back to the same row after the query is reopened, and the two ways of use:
// list mode (maintenance) and picker mode (choose a row for another window).
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

    // The search text changed: the rows whose search field matches it.
    virtual void Edit1Change();
    virtual void Button1Click() {}
    virtual void Button2Click() {}
    virtual void Button3Click() {}
    // "Выход": closes the window without a choice.
    void Button4Click();
    virtual void DBGrid1DblClick() { Button2Click(); }

    // Row number remembered before a change, made current again after the query is reopened.
    int RememberedRow = 0;

protected:
    // Which keys the search box takes: Up and Down only, or Up and Down and then every key that
    // types nothing (Left, Right, Home, End, Delete have no effect in the box).
    enum class SearchKeys { ArrowsOnly, ArrowsAndSilentKeys };
    enum class Match { Prefix, Anywhere };
    struct Search {
        QString field;                // the column the search text is matched against
        Match match = Match::Prefix;
        SearchKeys keys = SearchKeys::ArrowsAndSilentKeys;
    };

    ListWindow(DataSet *query, const QString &objectName, const QString &caption, const Search &search,
               QWidget *parent = nullptr);

    // Keys that neither type a character nor erase one (Left, Right, Home, End, Delete, ...).
    // Enter, Esc and Tab are not among them: they still reach the dialog's buttons and focus chain,
    // and neither are the editing shortcuts with Ctrl (copy, paste, undo).
    static bool TypesNothing(const QKeyEvent *event);

    // Shows only the rows whose field (without surrounding blanks) starts with, or contains, the
    // text; letter case is ignored, Cyrillic included. An empty text switches the filter off.
    void FilterBy(const QString &field, const QString &text, Match match = Match::Prefix);

    void RememberRow();
    // Makes the remembered row current again when the query has rows.
    void RestoreRow();

    // Button1 "Добавить", Button2 "Изменить", Button3 "Удалить", Button4 "Выход" (cancel button).
    void CreateListButtons();
    // A button whose clicks run `command`; an error it throws becomes an error box after `failed`.
    QPushButton *AddButton(const QString &name, const QString &caption, const std::function<void()> &command,
                           const QString &failed = QString());
    // Picker look: Button2 reads "Выбрать" and is the default button, Button1 and Button3 hidden.
    // List look: Button2 reads "Изменить", Button1 is the default button, Button1 and Button3 shown.
    virtual void SetPickerLook(bool picker);
    // The search box shown and emptied, as every picker opens.
    void ShowEmptySearch();

    // Lays the window out: the grid, then `above` (when given) on a line of its own, then the
    // bottom row; a null entry in the row is a gap that takes up the room a hidden search box leaves.
    void Arrange(const QList<QWidget *> &bottomRow, QWidget *above = nullptr);

    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool Edit1KeyDown(QKeyEvent *event);

    DataSet *m_query;
    Search m_search;
};

// A list window that also serves as a picker handing back a Choice. The opening and closing steps
// of both modes are the same for every list; each list adds what its query and search box need
// (OpenList, OpenPicker, CloseList, ClosePicker).
template <typename Choice>
class PickerListWindow : public ListWindow {
public:
    // From the menu: list mode, the window modal, its query closed afterwards.
    void ShowList()
    {
        PrepareList();
        exec();
        FinishList();
    }
    // As a picker for `receiver`, in the caller's mode (1 unless a list serves several callers).
    void ShowPicker(PickReceiver<Choice> *receiver, int mode = 1)
    {
        PreparePicker(receiver, mode);
        exec();
        FinishPicker();
    }

    // The steps of both, for callers (and tests) that show the window themselves.
    void PrepareList()
    {
        Tag = 0;
        m_receiver = nullptr;
        OpenList();
        SetPickerLook(false);
    }
    void PreparePicker(PickReceiver<Choice> *receiver, int mode = 1)
    {
        Tag = mode;
        m_receiver = receiver;
        OpenPicker();
        SetPickerLook(true);
    }
    void FinishList() { CloseList(); }
    void FinishPicker()
    {
        ClosePicker();
        m_receiver = nullptr;
    }

protected:
    using ListWindow::ListWindow;

    // Hands a row back to the window that opened the picker.
    void Hand(const Choice &choice)
    {
        if (m_receiver)
            m_receiver->TakePick(choice);
    }

    virtual void OpenList() { Query()->open(); }
    virtual void OpenPicker()
    {
        OpenList();
        ShowEmptySearch();
    }
    virtual void CloseList() { Query()->close(); }
    virtual void ClosePicker() { CloseList(); }

private:
    PickReceiver<Choice> *m_receiver = nullptr;
};
