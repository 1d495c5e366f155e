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
    int openMode = 0;
    bool isPicker() const { return openMode != 0; }
    DataSet *query() const { return m_query; }

    DataGrid *grid;
    QLineEdit *searchEdit;               // search box
    QPushButton *addButton = nullptr;    // "Добавить"
    QPushButton *changeButton = nullptr; // "Изменить" / "Выбрать"
    QPushButton *deleteButton = nullptr; // "Удалить"
    QPushButton *exitButton = nullptr;   // "Выход"

    // The search text changed: the rows whose search field matches it.
    virtual void searchTextChanged();
    virtual void add() {}
    virtual void changeOrChoose() {}
    virtual void remove() {}
    // F5: the query read again, on the same row.
    void reread();
    // "Выход": closes the window without a choice.
    void leave();
    virtual void rowDoubleClicked() { changeOrChoose(); }

    // Row number remembered before a change, made current again after the query is reopened.
    int rememberedRow = 0;

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
    static bool typesNothing(const QKeyEvent *event);

    // Shows only the rows whose field (without surrounding blanks) starts with, or contains, the
    // text; letter case is ignored, Cyrillic included. An empty text switches the filter off.
    void filterBy(const QString &field, const QString &text, Match match = Match::Prefix);

    void rememberRow();
    // Makes the remembered row current again when the query has rows.
    void restoreRow();

    // addButton "Добавить" (Insert), changeButton "Изменить" (Enter on the grid, F4), deleteButton
    // "Удалить" (Delete on the grid), exitButton "Выход" (cancel button); F5 reads the list again.
    void createListButtons();
    // A button whose clicks run `command`; an error it throws becomes an error box after `failed`.
    QPushButton *makeButton(const QString &name, const QString &caption, const std::function<void()> &command,
                           const QString &failed = QString());
    // Picker look: changeButton reads "Выбрать" and is the default button, addButton and deleteButton hidden.
    // List look: changeButton reads "Изменить", addButton is the default button, addButton and deleteButton shown.
    virtual void setPickerLook(bool picker);
    // The search box shown and emptied, as every picker opens.
    void showEmptySearch();

    // Lays the window out: the grid, then `above` (when given) on a line of its own, then the
    // bottom row; a null entry in the row is a gap that takes up the room a hidden search box leaves.
    void arrange(const QList<QWidget *> &bottomRow, QWidget *above = nullptr);

    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool searchKeyPressed(QKeyEvent *event);

    DataSet *m_query;
    Search m_search;
};

// A list window that also serves as a picker handing back a Choice. The opening and closing steps
// of both modes are the same for every list; each list adds what its query and search box need
// (openList, openPicker, closeList, closePicker).
template <typename Choice>
class PickerListWindow : public ListWindow {
public:
    // From the menu: list mode, the window modal, its query closed afterwards.
    void showList()
    {
        prepareList();
        exec();
        finishList();
    }
    // As a picker for `receiver`, in the caller's mode (1 unless a list serves several callers).
    void showPicker(PickReceiver<Choice> *receiver, int mode = 1)
    {
        preparePicker(receiver, mode);
        exec();
        finishPicker();
    }

    // The steps of both, for callers (and tests) that show the window themselves.
    void prepareList()
    {
        openMode = 0;
        m_receiver = nullptr;
        openList();
        setPickerLook(false);
    }
    void preparePicker(PickReceiver<Choice> *receiver, int mode = 1)
    {
        openMode = mode;
        m_receiver = receiver;
        openPicker();
        setPickerLook(true);
    }
    void finishList() { closeList(); }
    void finishPicker()
    {
        closePicker();
        m_receiver = nullptr;
    }

protected:
    using ListWindow::ListWindow;

    // Hands a row back to the window that opened the picker.
    void hand(const Choice &choice)
    {
        if (m_receiver)
            m_receiver->takePick(choice);
    }

    virtual void openList() { query()->open(); }
    virtual void openPicker()
    {
        openList();
        showEmptySearch();
    }
    virtual void closeList() { query()->close(); }
    virtual void closePicker() { closeList(); }

private:
    PickReceiver<Choice> *m_receiver = nullptr;
};
