#include "ui/data_grid.h"

#include "db/dataset.h"

#include <QHeaderView>
#include <QHelpEvent>
#include <QScopedValueRollback>
#include <QStyledItemDelegate>
#include <QToolTip>

#include <algorithm>
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
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this](int column) {
        if (!m_laying)
            columnResizedByUser(column);
    });
}

void DataGrid::setColumns(const QVector<GridColumn> &columns)
{
    m_model->setColumns(columns);
    applyColumnLayout();
}

double DataGrid::baseWidth(int column) const
{
    const GridColumn &col = m_model->columns().at(column);
    const auto user = m_userWidths.constFind(col.field.toLower());
    if (user != m_userWidths.constEnd())
        return *user;
    const int designed = col.width > 0 ? col.width : horizontalHeader()->defaultSectionSize();
    if (m_wholeWidth > designed && m_wholeFields.contains(col.field, Qt::CaseInsensitive))
        return m_wholeWidth;
    return designed;
}

void DataGrid::keepWhole(const QStringList &fields, const QStringList &texts)
{
    m_wholeFields = fields;
    QFont bold = font();
    bold.setBold(true);
    QFont title = horizontalHeader()->font();
    title.setBold(true);
    // The item delegate and the title keep margins of their own on either side of the text.
    const int cellMargin = style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1;
    const int titleMargin = style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, horizontalHeader());
    m_wholeWidth = 0;
    for (const QString &text : texts)
        m_wholeWidth = std::max({m_wholeWidth, QFontMetrics(bold).horizontalAdvance(text) + 2 * cellMargin,
                                 QFontMetrics(title).horizontalAdvance(text) + 2 * titleMargin});
    applyColumnLayout();
}

void DataGrid::applyColumnLayout()
{
    const auto &cols = m_model->columns();
    const QScopedValueRollback<bool> laying(m_laying, true);
    for (int i = 0; i < cols.size(); ++i) {
        setColumnHidden(i, cols[i].hidden);
        setColumnWidth(i, int(std::lround(baseWidth(i))));
    }
    stretchColumns();
}

void DataGrid::setUserWidths(const QHash<QString, double> &widths)
{
    m_userWidths.clear();
    for (auto w = widths.constBegin(); w != widths.constEnd(); ++w)
        if (w.value() >= 1)
            m_userWidths.insert(w.key().toLower(), w.value());
    applyColumnLayout();
}

void DataGrid::columnResizedByUser(int column)
{
    const auto &cols = m_model->columns();
    if (column < 0 || column >= cols.size())
        return;
    if (!stretches(column)) {
        m_userWidths.insert(cols[column].field.toLower(), columnWidth(column));
        return;
    }
    // The columns that take the spare room keep the widths they show now: each stands for its
    // share of the room they have less the spare.
    double shown = 0;
    for (int i = 0; i < cols.size(); ++i)
        if (!isColumnHidden(i) && stretches(i))
            shown += columnWidth(i);
    if (shown <= 0)
        return;
    const double designed = qMax(1.0, shown - m_spare);
    for (int i = 0; i < cols.size(); ++i)
        if (!isColumnHidden(i) && stretches(i))
            m_userWidths.insert(cols[i].field.toLower(), columnWidth(i) * designed / shown);
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
    double designed = 0;
    for (int i = 0; i < cols.size(); ++i) {
        if (!isColumnHidden(i) && stretches(i)) {
            stretching << i;
            designed += baseWidth(i);
        }
    }
    if (stretching.isEmpty() || designed <= 0)
        return;
    const QScopedValueRollback<bool> laying(m_laying, true);
    // The columns give or take the spare width exactly: the last one takes what rounding left.
    const int total = int(std::lround(designed + m_spare));
    int given = 0;
    for (int k = 0; k < stretching.size(); ++k) {
        const int i = stretching[k];
        const double width = baseWidth(i);
        const int share = k + 1 < stretching.size() ? int(std::lround(width + m_spare * width / designed))
                                                    : total - given;
        given += share;
        setColumnWidth(i, qMax(int(std::ceil(width / 2)), share));
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
