#include "app/data_grid.h"

#include "db/dataset.h"

#include <QHeaderView>
#include <QStyledItemDelegate>

namespace {

// A cell with a colour of its own keeps it on the selected row too, so the current journal row
// still shows whether it is accepted.
class ColouredCellDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        const QVariant colour = index.data(Qt::ForegroundRole);
        if (colour.canConvert<QColor>() && colour.value<QColor>().isValid())
            option->palette.setColor(QPalette::HighlightedText, colour.value<QColor>());
    }
};

} // namespace

DataGrid::DataGrid(QWidget *parent) : QTableView(parent), m_model(new DataSetModel(this))
{
    setModel(m_model);
    setItemDelegate(new ColouredCellDelegate(this));
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setAlternatingRowColors(false);
    setWordWrap(false);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    verticalHeader()->setVisible(false);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setDefaultSectionSize(64);
    // The selection stays visible when the grid loses the focus.
    QPalette pal = palette();
    pal.setColor(QPalette::Inactive, QPalette::Highlight, pal.color(QPalette::Active, QPalette::Highlight));
    pal.setColor(QPalette::Inactive, QPalette::HighlightedText, pal.color(QPalette::Active, QPalette::HighlightedText));
    setPalette(pal);

    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) {
                if (m_syncing || !dataSet() || !current.isValid())
                    return;
                m_syncing = true;
                dataSet()->setRecNo(current.row() + 1);
                m_syncing = false;
            });
}

void DataGrid::setColumns(const QVector<GridColumn> &columns)
{
    m_model->setColumns(columns);
    applyColumnLayout();
}

void DataGrid::applyColumnLayout()
{
    const auto &cols = m_model->columns();
    for (int i = 0; i < cols.size(); ++i) {
        setColumnHidden(i, cols[i].hidden);
        setColumnWidth(i, cols[i].width > 0 ? cols[i].width : horizontalHeader()->defaultSectionSize());
    }
}

void DataGrid::setDataSet(DataSet *dataSet)
{
    if (dataSet == m_model->dataSet())
        return;
    disconnect(m_current);
    disconnect(m_rows);
    m_model->setDataSet(dataSet);
    if (dataSet) {
        m_current = connect(dataSet, &DataSet::currentChanged, this, [this] { syncFromDataSet(); });
        // The model resets before this slot runs, so the current row is re-selected afterwards.
        m_rows = connect(dataSet, &DataSet::rowsReset, this, [this] { syncFromDataSet(); });
    }
    applyColumnLayout();
    syncFromDataSet();
}

void DataGrid::syncFromDataSet()
{
    if (m_syncing || !dataSet())
        return;
    m_syncing = true;
    const int row = dataSet()->recNo() - 1;
    if (row >= 0 && row < m_model->rowCount()) {
        const QModelIndex idx = m_model->index(row, qMax(0, currentIndex().column()));
        selectionModel()->setCurrentIndex(idx, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        scrollTo(idx);
    } else {
        selectionModel()->clearCurrentIndex();
        selectionModel()->clearSelection();
    }
    m_syncing = false;
}

int DataGrid::columnOf(const QString &field) const
{
    const auto &cols = m_model->columns();
    for (int i = 0; i < cols.size(); ++i)
        if (cols[i].field.compare(field, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}
