#pragma once

#include "db/sql_statement.h"

#include <QAbstractTableModel>
#include <QVariant>
#include <QVector>

class DataSet;
class DataModule;

// The norm rows of one operation price (accounts_dep.norm), sorted by norm, as an editable table:
// "Норматив" (norma), "Цена" (price), "Премия, %" (prize). Below the stored rows there is always
// one empty row ("*") where a new norm row is typed.
//
// Edits are held for one row at a time and written only by post(), so that the window decides
// when a row is written (when the user leaves a cell, or saves). A row the database refuses keeps
// its edits, still shown, until it is written or dropped.
class NormTable : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { NormaColumn, PriceColumn, PrizeColumn, ColumnCount };

    explicit NormTable(DataModule *module, QObject *parent = nullptr);

    // Reads the norm rows of the operation price; edits not written are dropped.
    void open(int priceId);
    void close();
    bool isOpen() const;
    int priceId() const { return m_priceId; }

    int storedCount() const { return m_rows.size(); }
    // The empty row below the stored ones, where a new norm row is typed.
    bool isNewRow(int row) const { return row == m_rows.size(); }
    qint64 idAt(int row) const;        // 0 for the new row
    int rowOfId(qint64 id) const;      // -1 when not listed
    // The value a cell shows, edits included: an integer, a double or null.
    QVariant value(int row, int column) const;

    bool hasChanges() const;
    int changedRow() const { return m_changedRow; }
    // Writes the edited row: a new row is inserted for this operation price, a stored row updated
    // in the columns that changed. The rows are read again afterwards. Returns the row's id (0 when
    // nothing was to be written). Throws DbError, keeping the edits, when the database refuses.
    qint64 post();
    // Drops the edits.
    void cancel();
    // Drops the edits and reads the rows again.
    void reload();
    // Deletes a stored row from the database unless it is the operation price's last norm row
    // (the rows are not read again); edits not written are dropped. False when the row stays.
    bool deleteUnlessLast(int row);

    // The row the grid shows as current, for the row indicator.
    void setCurrentRow(int row);

    // A price as the grid shows it: at least one integer digit, two decimals, a third when the
    // price has one ("#0.00#"), with the workstation's decimal separator.
    static QString PriceText(double price);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // The typed text of a cell as a value: an integer (norm, bonus) or a double (price, with a
    // point or a comma); empty text is null. False when the text is no such number.
    static bool parse(int column, const QString &text, QVariant *value);

private:
    struct Row {
        qint64 id = 0;
        QString version;   // as read (RowVersion)
        QVariant values[ColumnCount];
    };

    void read();
    SqlValue literal(int column, const QVariant &value) const;
    void updateIndicator(int row);

    DataModule *m_module;
    DataSet *m_norm;
    int m_priceId = 0;
    QVector<Row> m_rows;
    int m_changedRow = -1;
    Row m_changed;
    int m_currentRow = -1;
};
