#include "reference/norms_window.h"

#include "db/data_module.h"
#include "ui/messages.h"
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

NormsWindow::NormsWindow(DataModule *module, QWidget *parent)
    : QDialog(parent), table(new NormTable(module, this)), m_module(module)
{
    setObjectName(QStringLiteral("TForm22"));
    setWindowTitle(QStringLiteral("Норматив"));

    grid = new QTableView(this);
    grid->setObjectName(QStringLiteral("DBGrid1"));
    grid->setModel(table);
    m_delegate = new NormDelegate(grid);
    grid->setItemDelegate(m_delegate);
    grid->setSelectionBehavior(QAbstractItemView::SelectItems);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                             | QAbstractItemView::AnyKeyPressed | QAbstractItemView::SelectedClicked);
    grid->setWordWrap(false);
    grid->horizontalHeader()->setHighlightSections(false);
    grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 6);
    grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid->verticalHeader()->setFixedWidth(20);
    grid->verticalHeader()->setHighlightSections(false);
    grid->setColumnWidth(NormTable::NormaColumn, 133);
    grid->setColumnWidth(NormTable::PriceColumn, 105);
    grid->setColumnWidth(NormTable::PrizeColumn, 82);

    connect(table, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex &topLeft, const QModelIndex &bottomRight) {
                if (topLeft.column() == bottomRight.column())
                    m_editColumn = topLeft.column();
            });
    // Leaving a cell of an edited row writes the row; it happens once the grid has finished
    // moving, so that a refused row can take the current cell back.
    connect(grid->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &current, const QModelIndex &previous) {
                table->setCurrentRow(current.isValid() ? current.row() : -1);
                if (m_settingCurrent || m_exitQueued || !previous.isValid() || !table->hasChanges())
                    return;
                m_exitQueued = true;
                QMetaObject::invokeMethod(this, [this] {
                    m_exitQueued = false;
                    cellLeft();
                }, Qt::QueuedConnection);
            });

    saveButton = new QPushButton(QStringLiteral("Сохранить"), this);
    saveButton->setObjectName(QStringLiteral("Button1"));
    saveButton->setDefault(true);
    connect(saveButton, &QPushButton::clicked, this, [this] { Messages::guard(QStringLiteral("Не удалось сохранить нормы."), [this] { save(); }); });
    deleteButton = new QPushButton(QStringLiteral("Удалить"), this);
    deleteButton->setObjectName(QStringLiteral("Button2"));
    deleteButton->setAutoDefault(false);
    connect(deleteButton, &QPushButton::clicked, this, [this] { Messages::guard(QStringLiteral("Не удалось удалить норму."), [this] { deleteRow(); }); });

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(saveButton);
    buttons->addWidget(deleteButton);
    buttons->addStretch(1);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(grid, 1);
    layout->addLayout(buttons);
    resize(410, 300);
}

void NormsWindow::prepare(int priceId)
{
    table->close();
    table->open(priceId);
    m_editColumn = 0;
    setCurrent(0, 0);
}

void NormsWindow::showNorms(int priceId)
{
    prepare(priceId);
    exec();
}

void NormsWindow::setCurrent(int row, int column)
{
    m_settingCurrent = true;
    grid->setCurrentIndex(table->index(qMax(0, row), column));
    m_settingCurrent = false;
    table->setCurrentRow(grid->currentIndex().isValid() ? grid->currentIndex().row() : -1);
}

void NormsWindow::commitEdit()
{
    m_delegate->commitOpen();
}

void NormsWindow::cellLeft()
{
    if (!table->hasChanges())
        return;
    const int changedRow = table->changedRow();
    const QModelIndex current = grid->currentIndex();
    const int column = current.isValid() ? current.column() : m_editColumn;
    const bool editing = m_delegate->isEditing();
    // Where the user was going, found again after the rows are read anew.
    const bool sameRow = !current.isValid() || current.row() == changedRow;
    const bool toNewRow = !sameRow && table->isNewRow(current.row());
    const qint64 targetId = sameRow || toNewRow ? 0 : table->idAt(current.row());

    qint64 id;
    try {
        id = table->post();
    } catch (const DbError &e) {
        Messages::error(Messages::errorText(QStringLiteral("Не удалось записать норму."), e.text()));
        setCurrent(changedRow, m_editColumn);
        grid->edit(grid->currentIndex());
        return;
    }
    int row = sameRow ? table->rowOfId(id) : toNewRow ? table->storedCount() : table->rowOfId(targetId);
    if (row < 0)
        row = qMin(current.row(), table->storedCount());
    setCurrent(row, column);
    if (editing)
        grid->edit(grid->currentIndex());
}

void NormsWindow::save()
{
    commitEdit();
    // A refused row stops the save here: its error is shown and the window stays open.
    if (table->hasChanges())
        table->post();
    DataSet *oper = m_module->priceList;
    const int remembered = oper->recNo();
    oper->reopen();
    if (!oper->locate(QStringLiteral("id"), table->priceId()))
        oper->setRecNo(remembered);
    accept();
}

void NormsWindow::deleteRow()
{
    commitEdit();
    const QModelIndex current = grid->currentIndex();
    const int row = current.isValid() ? current.row() : -1;
    const int column = current.isValid() ? current.column() : 0;
    if (row < 0 || table->isNewRow(row)) {
        // A row not stored yet is simply dropped.
        table->reload();
        setCurrent(table->storedCount() - 1, column);
        return;
    }
    if (table->deleteUnlessLast(row)) {
        table->reload();
        setCurrent(qMin(row, table->storedCount() - 1), column);
        return;
    }
    // The last norm row stays; the table is read again all the same, with the row's edits written.
    const qint64 id = table->idAt(row);
    if (table->hasChanges())
        table->post();
    else
        table->reload();
    const int again = table->rowOfId(id);
    setCurrent(again >= 0 ? again : row, column);
}

void NormsWindow::keyPressEvent(QKeyEvent *event)
{
    // Esc acts on "Сохранить" like Enter does; only the close box leaves without saving.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        saveButton->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

void NormsWindow::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    grid->setFocus();
}
