#include "reference/list_window.h"

#include "app/data_grid.h"
#include "app/messages.h"
#include "db/dataset.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

ListWindow::ListWindow(DataSet *query, const QString &objectName, const QString &caption,
                       const Search &search, QWidget *parent)
    : QDialog(parent), m_query(query), m_search(search)
{
    setObjectName(objectName);
    setWindowTitle(caption);

    DBGrid1 = new DataGrid(this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setDataSet(query);
    connect(DBGrid1, &QAbstractItemView::doubleClicked, this,
            [this] { Messages::guard(QStringLiteral("Не удалось открыть запись."), [this] { DBGrid1DblClick(); }); });

    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->installEventFilter(this);
    connect(Edit1, &QLineEdit::textChanged, this, [this] { Messages::guard([this] { Edit1Change(); }); });
}

void ListWindow::Button4Click()
{
    reject();
}

void ListWindow::Edit1Change()
{
    FilterBy(m_search.field, Edit1->text(), m_search.match);
}

bool ListWindow::Edit1KeyDown(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Up) {
        m_query->prior();
        return true;
    }
    if (event->key() == Qt::Key_Down) {
        m_query->next();
        return true;
    }
    return m_search.keys == SearchKeys::ArrowsAndSilentKeys && TypesNothing(event);
}

void ListWindow::ShowEmptySearch()
{
    Edit1->show();
    Edit1->clear();
}

bool ListWindow::TypesNothing(const QKeyEvent *event)
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

void ListWindow::FilterBy(const QString &field, const QString &text, Match match)
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

void ListWindow::RememberRow()
{
    RememberedRow = m_query->recNo();
}

void ListWindow::RestoreRow()
{
    if (!m_query->isEmpty())
        m_query->setRecNo(RememberedRow);
}

QPushButton *ListWindow::AddButton(const QString &name, const QString &caption,
                                   const std::function<void()> &command, const QString &failed)
{
    auto *button = new QPushButton(caption, this);
    button->setObjectName(name);
    connect(button, &QPushButton::clicked, this, [command, failed] { Messages::guard(failed, command); });
    return button;
}

void ListWindow::CreateListButtons()
{
    Button1 = AddButton(QStringLiteral("Button1"), QStringLiteral("Добавить"), [this] { Button1Click(); },
                        QStringLiteral("Не удалось открыть окно."));
    Button2 = AddButton(QStringLiteral("Button2"), QStringLiteral("Изменить"), [this] { Button2Click(); },
                        QStringLiteral("Не удалось открыть запись."));
    Button3 = AddButton(QStringLiteral("Button3"), QStringLiteral("Удалить"), [this] { Button3Click(); },
                        QStringLiteral("Не удалось удалить."));
    Button4 = AddButton(QStringLiteral("Button4"), QStringLiteral("Выход"), [this] { Button4Click(); });
    Button1->setDefault(true);
}

void ListWindow::SetPickerLook(bool picker)
{
    Button2->setText(picker ? QStringLiteral("Выбрать") : QStringLiteral("Изменить"));
    Button2->setDefault(picker);
    Button1->setDefault(!picker);
    Button1->setVisible(!picker);
    Button3->setVisible(!picker);
}

void ListWindow::Arrange(const QList<QWidget *> &bottomRow, QWidget *above)
{
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(DBGrid1, 1);
    if (above)
        layout->addWidget(above);
    auto *row = new QHBoxLayout;
    for (QWidget *w : bottomRow) {
        if (w)
            row->addWidget(w, w == Edit1 ? 1 : 0);
        else
            row->addStretch(0);   // takes the room only while no search box is shown
    }
    layout->addLayout(row);
}

void ListWindow::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (Edit1->isVisibleTo(this))
        Edit1->setFocus();
    else
        DBGrid1->setFocus();
}

bool ListWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Edit1 && event->type() == QEvent::KeyPress)
        return Edit1KeyDown(static_cast<QKeyEvent *>(event));
    return QDialog::eventFilter(watched, event);
}
