#include "reference/norm_table.h"

#include "db/data_module.h"
#include "ui/messages.h"
#include "db/row_version.h"
#include "db/unit_of_work.h"
#include "db/input_check.h"
#include "db/dataset.h"
#include "reference/price_statements.h"

#include <QFont>
#include <QLocale>
#include <QRegularExpression>
#include <cmath>

namespace {

const char *const fieldNames[NormTable::ColumnCount] = {"norma", "price", "prize"};

bool sameValue(const QVariant &a, const QVariant &b)
{
    if (a.isNull() || b.isNull())
        return a.isNull() == b.isNull();
    if (a.metaType().id() == QMetaType::Double || b.metaType().id() == QMetaType::Double)
        return a.toDouble() == b.toDouble();
    return a.toLongLong() == b.toLongLong();
}

} // namespace

NormTable::NormTable(DataModule *module, QObject *parent)
    : QAbstractTableModel(parent), m_module(module), m_norm(new DataSet(module->connectionName(), this))
{
    // Only the rows of the opened operation price are read, in the order of their norms.
    m_norm->setSql(PriceStatements::norms());
}

void NormTable::open(int priceId)
{
    m_priceId = priceId;
    m_norm->setParam(QStringLiteral("o_id"), priceId);
    reload();
}

void NormTable::close()
{
    beginResetModel();
    m_norm->close();
    m_rows.clear();
    m_changedRow = -1;
    m_currentRow = -1;
    endResetModel();
}

bool NormTable::isOpen() const
{
    return m_norm->isOpen();
}

void NormTable::read()
{
    m_norm->reopen();
    m_rows.clear();
    for (int i = 0; i < m_norm->recordCount(); ++i) {
        Row row;
        row.id = m_norm->valueAt(i, QStringLiteral("id")).toLongLong();
        row.version = m_norm->valueAt(i, QStringLiteral("version")).toString();
        for (int c = 0; c < ColumnCount; ++c) {
            const QVariant v = m_norm->valueAt(i, QLatin1String(fieldNames[c]));
            if (v.isNull())
                continue;
            // Prices arrive as exact text; the grid works with the float the column holds.
            row.values[c] = c == PriceColumn ? QVariant(QLocale::c().toDouble(v.toString()))
                                             : QVariant(v.toLongLong());
        }
        m_rows.append(row);
    }
}

void NormTable::reload()
{
    beginResetModel();
    m_changedRow = -1;
    try {
        read();
    } catch (...) {
        m_rows.clear();
        endResetModel();
        throw;
    }
    endResetModel();
}

qint64 NormTable::idAt(int row) const
{
    return row >= 0 && row < m_rows.size() ? m_rows[row].id : 0;
}

int NormTable::rowOfId(qint64 id) const
{
    for (int i = 0; i < m_rows.size(); ++i)
        if (m_rows[i].id == id)
            return i;
    return -1;
}

QVariant NormTable::value(int row, int column) const
{
    if (column < 0 || column >= ColumnCount)
        return {};
    if (row == m_changedRow)
        return m_changed.values[column];
    if (row >= 0 && row < m_rows.size())
        return m_rows[row].values[column];
    return {};
}

bool NormTable::hasChanges() const
{
    if (m_changedRow < 0)
        return false;
    for (int c = 0; c < ColumnCount; ++c) {
        const QVariant stored = isNewRow(m_changedRow) ? QVariant() : m_rows[m_changedRow].values[c];
        if (!sameValue(stored, m_changed.values[c]))
            return true;
    }
    return false;
}

SqlValue NormTable::literal(int column, const QVariant &value) const
{
    if (value.isNull())
        return SqlValue::null();
    if (column == PriceColumn)
        return SqlValue::number(value.toDouble());
    return SqlValue(value.toLongLong());
}

qint64 NormTable::post()
{
    if (!hasChanges()) {
        const qint64 id = idAt(m_changedRow);
        cancel();
        return id;
    }
    qint64 id;
    if (isNewRow(m_changedRow)) {
        // A new norm row belongs to the operation price the table was opened for.
        id = m_module->lookUp(PriceStatements::normInsert(m_priceId, literal(NormaColumn, m_changed.values[NormaColumn]),
                                                          literal(PriceColumn, m_changed.values[PriceColumn]),
                                                          literal(PrizeColumn, m_changed.values[PrizeColumn])),
                              QStringLiteral("id")).toLongLong();
    } else {
        const Row &stored = m_rows[m_changedRow];
        id = stored.id;
        // Another workstation may have changed the row since it was read: its change is not
        // written over.
        UnitOfWork work(*m_module);
        RowVersion::checkUnchanged(*m_module, QStringLiteral("accounts_dep.norm"), id, stored.version);
        QList<QPair<QString, SqlValue>> changes;
        for (int c = 0; c < ColumnCount; ++c)
            if (!sameValue(stored.values[c], m_changed.values[c]))
                changes.append({QLatin1String(fieldNames[c]), literal(c, m_changed.values[c])});
        m_module->command.execute(PriceStatements::normUpdate(id, changes));
        work.commit();
    }
    reload();
    return id;
}

void NormTable::cancel()
{
    if (m_changedRow < 0)
        return;
    const int row = m_changedRow;
    m_changedRow = -1;
    emit dataChanged(index(row, 0), index(row, ColumnCount - 1));
    updateIndicator(row);
}

bool NormTable::deleteUnlessLast(int row)
{
    if (row < 0 || row >= m_rows.size())
        return false;
    // The count and the deletion are one unit under the operation price's lock: two workstations
    // deleting its last two rows at once cannot leave it without a norm.
    UnitOfWork work(*m_module);
    work.lock(QStringLiteral("accounts_dep.norm"), QString::number(m_priceId));
    if (m_module->lookUp(PriceStatements::normCount(m_priceId), QStringLiteral("cnt")).toLongLong() <= 1)
        return false;
    cancel();
    m_module->command.execute(PriceStatements::normDeletion(m_rows[row].id));
    work.commit();
    return true;
}

void NormTable::setCurrentRow(int row)
{
    if (row == m_currentRow)
        return;
    m_currentRow = row;
    updateIndicator(row);
}

void NormTable::updateIndicator(int)
{
    if (rowCount() > 0)
        emit headerDataChanged(Qt::Vertical, 0, rowCount() - 1);
}

QString NormTable::PriceText(double price)
{
    QString text = QString::number(price, 'f', 3);
    if (text.endsWith(QLatin1Char('0')))
        text.chop(1);
    return text.replace(QLatin1Char('.'), QLocale().decimalPoint());
}

bool NormTable::parse(int column, const QString &typed, QVariant *value)
{
    QString text = typed.trimmed();
    if (text.isEmpty()) {
        *value = QVariant();
        return true;
    }
    if (column == PriceColumn) {
        text.replace(QLocale().decimalPoint(), QStringLiteral("."));
        text.replace(QLatin1Char(','), QLatin1Char('.'));
        static const QRegularExpression number(QStringLiteral("^[+-]?(\\d+\\.?\\d*|\\.\\d+)$"));
        if (!number.match(text).hasMatch())
            return false;
        if (text.endsWith(QLatin1Char('.')))
            text.chop(1);
        text.replace(QStringLiteral("-."), QStringLiteral("-0.")).replace(QStringLiteral("+."), QStringLiteral("0."));
        if (text.startsWith(QLatin1Char('.')))
            text.prepend(QLatin1Char('0'));
        bool ok = false;
        const double d = QLocale::c().toDouble(text, &ok);
        if (!ok || !std::isfinite(d))
            return false;
        *value = d;
        return true;
    }
    static const QRegularExpression whole(QStringLiteral("^[+-]?\\d{1,18}$"));
    if (!whole.match(text).hasMatch())
        return false;
    bool ok = false;
    const qlonglong n = text.toLongLong(&ok);
    // The norm and the bonus are int columns.
    if (!ok || n > ColumnRange::IntMax || n < -ColumnRange::IntMax - 1)
        return false;
    *value = n;
    return true;
}

int NormTable::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid() || !m_norm->isOpen())
        return 0;
    return m_rows.size() + 1;
}

int NormTable::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant NormTable::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    const QVariant v = value(index.row(), index.column());
    switch (role) {
    case Qt::DisplayRole:
        if (v.isNull())
            return QString();
        return index.column() == PriceColumn ? PriceText(v.toDouble()) : QString::number(v.toLongLong());
    case Qt::EditRole:
        if (v.isNull())
            return QString();
        return index.column() == PriceColumn
            ? QString::number(v.toDouble(), 'g', 15).replace(QLatin1Char('.'), QLocale().decimalPoint())
            : QString::number(v.toLongLong());
    case Qt::TextAlignmentRole:
        return int(Qt::AlignRight | Qt::AlignVCenter);
    default:
        return {};
    }
}

bool NormTable::setData(const QModelIndex &index, const QVariant &typed, int role)
{
    if (!index.isValid() || role != Qt::EditRole)
        return false;
    const int row = index.row();
    // Edits go to one row at a time: another row's edits must be written first.
    if (m_changedRow >= 0 && m_changedRow != row && hasChanges())
        return false;
    QVariant v;
    if (!parse(index.column(), typed.toString(), &v)) {
        const char *captions[ColumnCount] = {"Норматив", "Цена", "Премия, %"};
        Messages::error(QStringLiteral("Поле «%1»: число не помещается в столбец, оно не записано.")
                            .arg(QString::fromUtf8(captions[index.column()])));
        return false;
    }
    if (m_changedRow != row) {
        m_changed = isNewRow(row) ? Row() : m_rows[row];
        m_changedRow = row;
    }
    m_changed.values[index.column()] = v;
    emit dataChanged(index, index);
    updateIndicator(row);
    return true;
}

Qt::ItemFlags NormTable::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
}

QVariant NormTable::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal) {
        static const char *const titles[ColumnCount] = {"Норматив", "Цена", "Премия, %"};
        if (section < 0 || section >= ColumnCount)
            return {};
        if (role == Qt::DisplayRole)
            return QString::fromUtf8(titles[section]);
        if (role == Qt::TextAlignmentRole)
            return int(Qt::AlignCenter);
        if (role == Qt::FontRole) {
            QFont f;
            f.setBold(true);
            return f;
        }
        return {};
    }
    // The row indicator: the current row, the current row with edits not yet written, the new row.
    if (role == Qt::DisplayRole) {
        if (section == m_currentRow)
            return section == m_changedRow && hasChanges() ? QStringLiteral("I") : QStringLiteral("▶");
        return isNewRow(section) ? QStringLiteral("*") : QString();
    }
    if (role == Qt::TextAlignmentRole)
        return int(Qt::AlignCenter);
    return {};
}
