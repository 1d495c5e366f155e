#include "ui/data_set_model.h"

#include "db/dataset.h"
#include "db/decimal_text.h"

#include <QDate>
#include <QDateTime>
#include <QFont>
#include <QLocale>

void DataSetModel::setDataSet(DataSet *dataSet)
{
    beginResetModel();
    if (m_reset)
        disconnect(m_reset);
    m_data = dataSet;
    if (m_data)
        m_reset = connect(m_data, &DataSet::rowsReset, this, [this] {
            beginResetModel();
            resolveColumns();
            endResetModel();
        });
    resolveColumns();
    endResetModel();
}

void DataSetModel::setColumns(const QVector<GridColumn> &columns)
{
    beginResetModel();
    m_columns = columns;
    resolveColumns();
    endResetModel();
}

void DataSetModel::resolveColumns()
{
    m_fieldColumn.clear();
    m_decimalColumn.clear();
    for (const GridColumn &col : m_columns) {
        m_fieldColumn << (m_data ? m_data->column(col.field) : -1);
        m_decimalColumn << (m_data && m_data->isDecimalField(col.field));
    }
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
    NumberShape shape = NumberShape::AsRead;
    for (const GridColumn &col : m_columns)
        if (col.field == field && col.shape != NumberShape::AsRead) {
            shape = col.shape;
            break;
        }
    return displayText(row, m_data->column(field), m_data->isDecimalField(field), shape);
}

QString DataSetModel::displayText(int row, int column, bool decimal, NumberShape shape) const
{
    const QVariant v = m_data->valueAt(row, column);
    if (v.isNull())
        return {};
    if (shape != NumberShape::AsRead) {
        const QString digits = DecimalText::exact(v);
        return shape == NumberShape::Money ? moneyText(digits) : priceText(digits);
    }
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
    // Decimals show their significant digits only, as the workstation writes numbers.
    if (decimal)
        return shownDecimal(text);
    return text;
}

QVariant DataSetModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || !m_data || index.column() >= m_columns.size())
        return {};
    const GridColumn &col = m_columns[index.column()];
    const int field = m_fieldColumn.value(index.column(), -1);
    const bool decimal = m_decimalColumn.value(index.column(), false);
    switch (role) {
    case Qt::DisplayRole:
        return displayText(index.row(), field, decimal, col.shape);
    case Qt::TextAlignmentRole: {
        Qt::Alignment align = col.alignment;
        if (!align) {
            const QVariant v = m_data->valueAt(index.row(), field);
            const int type = v.metaType().id();
            const bool number = decimal || type == QMetaType::Int
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
    if (role == Qt::ForegroundRole)
        return m_columns[section].titleColour.isValid() ? QVariant(m_columns[section].titleColour) : QVariant();
    if (role == Qt::FontRole) {
        QFont f;
        f.setBold(true);
        return f;
    }
    return {};
}

