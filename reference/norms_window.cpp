#include "reference/norms_window.h"

#include "app/data_module.h"
#include "app/messages.h"
#include "db/dataset.h"
#include "db/db_error.h"
#include "reference/norm_table.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QVBoxLayout>

namespace NormsWindowDetail {

// Cell editors that let only numbers in: whole numbers for the norm and the bonus, a decimal
// (point or comma) for the price. It remembers the editor it opened last, so that the window can
// end an edit still open when a button is pressed.
class NormDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &, const QModelIndex &index) const override
    {
        static const QRegularExpression whole(QStringLiteral("[+-]?\\d{0,18}"));
        static const QRegularExpression decimal(QStringLiteral("[+-]?\\d{0,12}([.,]\\d{0,6})?"));
        auto *edit = new QLineEdit(parent);
        edit->setObjectName(QStringLiteral("CellEditor"));
        edit->setFrame(false);
        edit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        edit->setValidator(new QRegularExpressionValidator(index.column() == NormTable::PriceColumn ? decimal : whole, edit));
        m_editor = edit;
        return edit;
    }

    bool isEditing() const { return m_editor && !m_editor->isHidden(); }

    void commitOpen()
    {
        if (!isEditing())
            return;
        QWidget *editor = m_editor;
        emit commitData(editor);
        emit closeEditor(editor, QAbstractItemDelegate::NoHint);
    }

private:
    mutable QPointer<QWidget> m_editor;
};

} // namespace NormsWindowDetail

using NormsWindowDetail::NormDelegate;

TForm22::TForm22(TDataModule6 *module, QWidget *parent)
    : QDialog(parent), norm(new NormTable(module, this)), m_module(module)
{
    setObjectName(QStringLiteral("TForm22"));
    setWindowTitle(QStringLiteral("Норматив"));

    DBGrid1 = new QTableView(this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setModel(norm);
    m_delegate = new NormDelegate(DBGrid1);
    DBGrid1->setItemDelegate(m_delegate);
    DBGrid1->setSelectionBehavior(QAbstractItemView::SelectItems);
    DBGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    DBGrid1->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                             | QAbstractItemView::AnyKeyPressed | QAbstractItemView::SelectedClicked);
    DBGrid1->setWordWrap(false);
    DBGrid1->horizontalHeader()->setHighlightSections(false);
    DBGrid1->verticalHeader()->setDefaultSectionSize(DBGrid1->fontMetrics().height() + 6);
    DBGrid1->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    DBGrid1->verticalHeader()->setFixedWidth(20);
    DBGrid1->verticalHeader()->setHighlightSections(false);
    DBGrid1->setColumnWidth(NormTable::NormaColumn, 133);
    DBGrid1->setColumnWidth(NormTable::PriceColumn, 105);
    DBGrid1->setColumnWidth(NormTable::PrizeColumn, 82);

    connect(norm, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex &topLeft, const QModelIndex &bottomRight) {
                if (topLeft.column() == bottomRight.column())
                    m_editColumn = topLeft.column();
            });
    // Leaving a cell of an edited row writes the row; it happens once the grid has finished
    // moving, so that a refused row can take the current cell back.
    connect(DBGrid1->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &current, const QModelIndex &previous) {
                norm->setCurrentRow(current.isValid() ? current.row() : -1);
                if (m_settingCurrent || m_exitQueued || !previous.isValid() || !norm->hasChanges())
                    return;
                m_exitQueued = true;
                QMetaObject::invokeMethod(this, [this] {
                    m_exitQueued = false;
                    ColExit();
                }, Qt::QueuedConnection);
            });

    Button1 = new QPushButton(QStringLiteral("Сохранить"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, [this] { Messages::guard(QStringLiteral("Не удалось сохранить нормы."), [this] { Button1Click(); }); });
    Button2 = new QPushButton(QStringLiteral("Удалить"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setAutoDefault(false);
    connect(Button2, &QPushButton::clicked, this, [this] { Messages::guard(QStringLiteral("Не удалось удалить норму."), [this] { Button2Click(); }); });

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    buttons->addStretch(1);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(DBGrid1, 1);
    layout->addLayout(buttons);
    resize(410, 300);
}

void TForm22::Prepare(int priceId)
{
    norm->close();
    norm->open(priceId);
    m_editColumn = 0;
    SetCurrent(0, 0);
}

void TForm22::ShowNorms(int priceId)
{
    Prepare(priceId);
    exec();
}

void TForm22::SetCurrent(int row, int column)
{
    m_settingCurrent = true;
    DBGrid1->setCurrentIndex(norm->index(qMax(0, row), column));
    m_settingCurrent = false;
    norm->setCurrentRow(DBGrid1->currentIndex().isValid() ? DBGrid1->currentIndex().row() : -1);
}

void TForm22::CommitEdit()
{
    m_delegate->commitOpen();
}

void TForm22::ColExit()
{
    if (!norm->hasChanges())
        return;
    const int changedRow = norm->changedRow();
    const QModelIndex current = DBGrid1->currentIndex();
    const int column = current.isValid() ? current.column() : m_editColumn;
    const bool editing = m_delegate->isEditing();
    // Where the user was going, found again after the rows are read anew.
    const bool sameRow = !current.isValid() || current.row() == changedRow;
    const bool toNewRow = !sameRow && norm->isNewRow(current.row());
    const qint64 targetId = sameRow || toNewRow ? 0 : norm->idAt(current.row());

    qint64 id;
    try {
        id = norm->post();
    } catch (const DbError &e) {
        Messages::error(Messages::errorText(QStringLiteral("Не удалось записать норму."), e.text()));
        SetCurrent(changedRow, m_editColumn);
        DBGrid1->edit(DBGrid1->currentIndex());
        return;
    }
    int row = sameRow ? norm->rowOfId(id) : toNewRow ? norm->storedCount() : norm->rowOfId(targetId);
    if (row < 0)
        row = qMin(current.row(), norm->storedCount());
    SetCurrent(row, column);
    if (editing)
        DBGrid1->edit(DBGrid1->currentIndex());
}

void TForm22::Button1Click()
{
    CommitEdit();
    // A refused row stops the save here: its error is shown and the window stays open.
    if (norm->hasChanges())
        norm->post();
    DataSet *oper = m_module->Oper;
    const int remembered = oper->recNo();
    oper->reopen();
    if (!oper->locate(QStringLiteral("id"), norm->priceId()))
        oper->setRecNo(remembered);
    accept();
}

void TForm22::Button2Click()
{
    CommitEdit();
    const QModelIndex current = DBGrid1->currentIndex();
    const int row = current.isValid() ? current.row() : -1;
    const int column = current.isValid() ? current.column() : 0;
    if (row < 0 || norm->isNewRow(row)) {
        // A row not stored yet is simply dropped.
        norm->reload();
        SetCurrent(norm->storedCount() - 1, column);
        return;
    }
    if (norm->deleteUnlessLast(row)) {
        norm->reload();
        SetCurrent(qMin(row, norm->storedCount() - 1), column);
        return;
    }
    // The last norm row stays; the table is read again all the same, with the row's edits written.
    const qint64 id = norm->idAt(row);
    if (norm->hasChanges())
        norm->post();
    else
        norm->reload();
    const int again = norm->rowOfId(id);
    SetCurrent(again >= 0 ? again : row, column);
}

void TForm22::keyPressEvent(QKeyEvent *event)
{
    // Esc acts on "Сохранить" like Enter does; only the close box leaves without saving.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        Button1->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TForm22::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    DBGrid1->setFocus();
}
