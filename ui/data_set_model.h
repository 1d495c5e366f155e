#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <QVector>
#include <functional>

class DataSet;

// How a number column writes its values.
enum class NumberShape {
    AsRead,    // the significant digits of the value
    Money,     // exactly two decimals
    UnitPrice, // every decimal the price carries, at least two
};

struct GridColumn {
    QString title;
    QString field;
    int width = -1;                           // -1: the grid's default column width
    Qt::Alignment alignment = {};             // none given: numbers to the right, texts to the left
    bool hidden = false;
    QColor titleColour;                       // invalid: the header's own
    NumberShape shape = NumberShape::AsRead;

    GridColumn &as(NumberShape numberShape) { shape = numberShape; return *this; }
};

struct CellStyle {
    QColor foreground;                        // invalid: the grid's own
    QColor background;                        // invalid: the grid's own
    bool bold = false;
};

// Decides how one cell is drawn; row is the visible row (0-based).
using CellStyler = std::function<CellStyle(const DataSet &, int row, const QString &field)>;

// Shows the rows of a DataSet: texts trimmed, dates day first, decimals with the workstation's
// separator, money and prices in their column's shape. Colours and boldness come from an optional styler: they are a decision of the model,
// so a test can ask what a cell looks like without painting it.
class DataSetModel : public QAbstractTableModel {
    Q_OBJECT
public:
    DataSetModel(QObject *parent = nullptr) : QAbstractTableModel(parent) {}

    void setDataSet(DataSet *dataSet);
    DataSet *dataSet() const { return m_data; }
    void setColumns(const QVector<GridColumn> &columns);
    const QVector<GridColumn> &columns() const { return m_columns; }
    void setStyler(const CellStyler &styler) { m_styler = styler; }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // The text a cell shows.
    QString displayText(int row, const QString &field) const;

private:
    // Where each grid column's field is in the rows, resolved once whenever the rows or the
    // columns change rather than looked up by name for every cell painted.
    void resolveColumns();
    QString displayText(int row, int column, bool decimal, NumberShape shape) const;
    QVector<int> m_fieldColumn;
    QVector<bool> m_decimalColumn;

    DataSet *m_data = nullptr;
    QVector<GridColumn> m_columns;
    CellStyler m_styler;
    QMetaObject::Connection m_reset;
};

