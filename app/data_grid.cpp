#include "app/data_grid.h"

#include "db/dataset.h"

#include <QDate>
#include <QDateTime>
#include <QFont>
#include <QHeaderView>
#include <QLocale>
#include <QStyledItemDelegate>

void DataSetModel::setDataSet(DataSet *dataSet)
{
    beginResetModel();
    if (m_reset)
        disconnect(m_reset);
    m_data = dataSet;
    if (m_data)
        m_reset = connect(m_data, &DataSet::rowsReset, this, [this] {
            beginResetModel();
            endResetModel();
        });
    endResetModel();
}

void DataSetModel::setColumns(const QVector<GridColumn> &columns)
{
    beginResetModel();
    m_columns = columns;
    endResetModel();
}

int DataSetModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() || !m_data ? 0 : m_data->recordCount();
}

int DataSetModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_columns.size();
}

QString DataSetModel::displayText(int row, const QString &field) const
{
    if (!m_data)
        return {};
    const QVariant v = m_data->valueAt(row, field);
    if (v.isNull())
        return {};
    switch (v.metaType().id()) {
    case QMetaType::QDate:
        return v.toDate().toString(QStringLiteral("dd.MM.yyyy"));
    case QMetaType::QDateTime: {
        const QDateTime dt = v.toDateTime();
        return dt.time() == QTime(0, 0) ? dt.date().toString(QStringLiteral("dd.MM.yyyy"))
                                        : dt.toString(QStringLiteral("dd.MM.yyyy hh:mm:ss"));
    }
    case QMetaType::Double:
        return QLocale().toString(v.toDouble(), 'g', 15);
    default:
        break;
    }
    QString text = v.toString().trimmed();
    if (m_data->isDecimalField(field)) {
        // Decimals show their significant digits only, as the workstation writes numbers.
        if (text.contains(QLatin1Char('.'))) {
            while (text.endsWith(QLatin1Char('0')))
                text.chop(1);
            if (text.endsWith(QLatin1Char('.')))
                text.chop(1);
        }
        text.replace(QLatin1Char('.'), QLocale().decimalPoint());
    }
    return text;
}

QVariant DataSetModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || !m_data || index.column() >= m_columns.size())
        return {};
    const GridColumn &col = m_columns[index.column()];
    switch (role) {
    case Qt::DisplayRole:
        return displayText(index.row(), col.field);
    case Qt::TextAlignmentRole: {
        Qt::Alignment align = col.alignment;
        if (!align) {
            const QVariant v = m_data->valueAt(index.row(), col.field);
            const int type = v.metaType().id();
            const bool number = m_data->isDecimalField(col.field) || type == QMetaType::Int
                || type == QMetaType::LongLong || type == QMetaType::Double || type == QMetaType::Short;
            align = number ? Qt::AlignRight : Qt::AlignLeft;
        }
        return int(align | Qt::AlignVCenter);
    }
    case Qt::ForegroundRole:
    case Qt::BackgroundRole:
    case Qt::FontRole: {
        if (!m_styler)
            return {};
        const CellStyle style = m_styler(*m_data, index.row(), col.field);
        if (role == Qt::ForegroundRole)
            return style.foreground.isValid() ? QVariant(style.foreground) : QVariant();
        if (role == Qt::BackgroundRole)
            return style.background.isValid() ? QVariant(style.background) : QVariant();
        if (!style.bold)
            return {};
        QFont f;
        f.setBold(true);
        return f;
    }
    default:
        return {};
    }
}

QVariant DataSetModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= m_columns.size())
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole)
        return m_columns[section].title;
    if (role == Qt::TextAlignmentRole)
        return int(Qt::AlignCenter);
    if (role == Qt::FontRole) {
        QFont f;
        f.setBold(true);
        return f;
    }
    return {};
}

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
