#include "ui/data_grid.h"

#include "db/dataset.h"

#include <QHeaderView>
#include <QHelpEvent>
#include <QStyledItemDelegate>
#include <QToolTip>

#include <cmath>

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

public:
    bool helpEvent(QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option,
                   const QModelIndex &index) override
    {
        if (event->type() != QEvent::ToolTip)
            return QStyledItemDelegate::helpEvent(event, view, option, index);
        const QString whole = static_cast<const DataGrid *>(view)->cutText(index);
        if (whole.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(event->globalPos(), whole, view, option.rect);
        return true;
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
    stretchColumns();
}

void DataGrid::setStretchingColumns(const QStringList &fields)
{
    m_stretching = fields;
    applyColumnLayout();
}

bool DataGrid::stretches(int column) const
{
    const QString &field = m_model->columns().at(column).field;
    for (const QString &f : m_stretching)
        if (f.compare(field, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

void DataGrid::setSpareWidth(int spare)
{
    if (spare == m_spare)
        return;
    m_spare = spare;
    stretchColumns();
}

void DataGrid::stretchColumns()
{
    const auto &cols = m_model->columns();
    QVector<int> stretching;
    int designed = 0;
    for (int i = 0; i < cols.size(); ++i) {
        if (!isColumnHidden(i) && stretches(i)) {
            stretching << i;
            designed += cols[i].width > 0 ? cols[i].width : horizontalHeader()->defaultSectionSize();
        }
    }
    if (stretching.isEmpty() || designed <= 0)
        return;
    int given = 0;
    for (int k = 0; k < stretching.size(); ++k) {
        const int i = stretching[k];
        const int width = cols[i].width > 0 ? cols[i].width : horizontalHeader()->defaultSectionSize();
        // The last column takes what rounding left over, so that the columns give or take the
        // spare width exactly.
        const int share = k + 1 < stretching.size() ? int(std::lround(double(m_spare) * width / designed))
                                                    : m_spare - given;
        given += share;
        setColumnWidth(i, qMax((width + 1) / 2, width + share));
    }
}

QString DataGrid::cutText(const QModelIndex &index) const
{
    if (!index.isValid())
        return {};
    const QString text = index.data(Qt::DisplayRole).toString();
    if (text.isEmpty())
        return {};
    const QVariant font = index.data(Qt::FontRole);
    const QFontMetrics metrics(font.canConvert<QFont>() ? font.value<QFont>() : this->font());
    // The item delegate keeps a margin on either side of the text.
    const int margin = style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1;
    return metrics.horizontalAdvance(text) > columnWidth(index.column()) - 2 * margin ? text : QString();
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
