#include "reference/list_window.h"

#include "ui/command_keys.h"
#include "ui/data_grid.h"
#include "ui/messages.h"
#include "db/dataset.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

ListWindow::ListWindow(DataSet *query, const QString &objectName, const QString &caption,
                       const Search &search, QWidget *parent)
    : QDialog(parent), m_query(query), m_search(search)
{
    setObjectName(objectName);
    setWindowTitle(caption);

    grid = new DataGrid(this);
    grid->setObjectName(QStringLiteral("DBGrid1"));
    grid->setDataSet(query);
    connect(grid, &QAbstractItemView::doubleClicked, this,
            [this] { Messages::guard(QStringLiteral("Не удалось открыть запись."), [this] { rowDoubleClicked(); }); });

    searchEdit = new QLineEdit(this);
    searchEdit->setObjectName(QStringLiteral("Edit1"));
    searchEdit->installEventFilter(this);
    connect(searchEdit, &QLineEdit::textChanged, this, [this] { Messages::guard([this] { searchTextChanged(); }); });
}

void ListWindow::leave()
{
    reject();
}

void ListWindow::searchTextChanged()
{
    filterBy(m_search.field, searchEdit->text(), m_search.match);
}

bool ListWindow::searchKeyPressed(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Up) {
        m_query->prior();
        return true;
    }
    if (event->key() == Qt::Key_Down) {
        m_query->next();
        return true;
    }
    return m_search.keys == SearchKeys::ArrowsAndSilentKeys && typesNothing(event);
}

void ListWindow::showEmptySearch()
{
    searchEdit->show();
    searchEdit->clear();
}

bool ListWindow::typesNothing(const QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Backspace:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return false;
    case Qt::Key_Delete:
        return true;
    default:
        break;
    }
    if ((event->modifiers() & Qt::ControlModifier) && event->key() >= Qt::Key_A && event->key() <= Qt::Key_Z)
        return false;
    const QString text = event->text();
    return text.isEmpty() || !text.at(0).isPrint();
}

void ListWindow::filterBy(const QString &field, const QString &text, Match match)
{
    if (text.isEmpty()) {
        m_query->clearFilter();
        return;
    }
    const QString needle = text.toCaseFolded();
    m_query->setFilter([field, needle, match](const DataSet &ds, int rawRow) {
        const QString value = ds.rawValue(rawRow, field).toString().trimmed().toCaseFolded();
        return match == Match::Prefix ? value.startsWith(needle) : value.contains(needle);
    });
}

void ListWindow::rememberRow()
{
    rememberedRow = m_query->recNo();
}

void ListWindow::restoreRow()
{
    if (!m_query->isEmpty())
        m_query->setRecNo(rememberedRow);
}

QPushButton *ListWindow::makeButton(const QString &name, const QString &caption,
                                   const std::function<void()> &command, const QString &failed)
{
    auto *button = new QPushButton(caption, this);
    button->setObjectName(name);
    connect(button, &QPushButton::clicked, this, [command, failed] { Messages::guard(failed, command); });
    return button;
}

void ListWindow::createListButtons()
{
    addButton = makeButton(QStringLiteral("Button1"), QStringLiteral("Добавить"), [this] { add(); },
                        QStringLiteral("Не удалось открыть окно."));
    changeButton = makeButton(QStringLiteral("Button2"), QStringLiteral("Изменить"), [this] { changeOrChoose(); },
                        QStringLiteral("Не удалось открыть запись."));
    deleteButton = makeButton(QStringLiteral("Button3"), QStringLiteral("Удалить"), [this] { remove(); },
                        QStringLiteral("Не удалось удалить."));
    exitButton = makeButton(QStringLiteral("Button4"), QStringLiteral("Выход"), [this] { leave(); });
    addButton->setDefault(true);
    CommandKeys::bind(addButton, {CommandKeys::Add});
    CommandKeys::bind(changeButton, {CommandKeys::Change}, grid, CommandKeys::enter());
    CommandKeys::bind(deleteButton, {}, grid, CommandKeys::remove());
    auto *rereadKey = new QShortcut(CommandKeys::Reread, this);
    connect(rereadKey, &QShortcut::activated, this, [this] { Messages::guard(QStringLiteral("Не удалось прочитать список."), [this] { reread(); }); });
}

void ListWindow::reread()
{
    m_query->reopenKeepingRow();
}

void ListWindow::setPickerLook(bool picker)
{
    changeButton->setText(picker ? QStringLiteral("Выбрать") : QStringLiteral("Изменить"));
    changeButton->setDefault(picker);
    addButton->setDefault(!picker);
    addButton->setVisible(!picker);
    deleteButton->setVisible(!picker);
}

void ListWindow::arrange(const QList<QWidget *> &bottomRow, QWidget *above)
{
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(grid, 1);
    if (above)
        layout->addWidget(above);
    auto *row = new QHBoxLayout;
    for (QWidget *w : bottomRow) {
        if (w)
            row->addWidget(w, w == searchEdit ? 1 : 0);
        else
            row->addStretch(0);   // takes the room only while no search box is shown
    }
    layout->addLayout(row);
}

void ListWindow::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (searchEdit->isVisibleTo(this))
        searchEdit->setFocus();
    else
        grid->setFocus();
}

bool ListWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == searchEdit && event->type() == QEvent::KeyPress)
        return searchKeyPressed(static_cast<QKeyEvent *>(event));
    return QDialog::eventFilter(watched, event);
}
