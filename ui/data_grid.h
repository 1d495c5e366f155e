#pragma once

#include "ui/data_set_model.h"

#include <QHash>
#include <QTableView>

// A read-only grid over a DataSet with whole-row selection, bold centred titles and the data set's
// current row kept in step with the grid's. It can be switched between data sets (the journal
// shows one of four). A text its column cuts shows whole in the cell's tooltip.
class DataGrid : public QTableView {
    Q_OBJECT
public:
    explicit DataGrid(QWidget *parent = nullptr);

    void setColumns(const QVector<GridColumn> &columns);
    void setStyler(const CellStyler &styler) { m_model->setStyler(styler); }
    void setDataSet(DataSet *dataSet);
    DataSet *dataSet() const { return m_model->dataSet(); }
    DataSetModel *dataModel() const { return m_model; }

    // Column index of a field, -1 when not shown.
    int columnOf(const QString &field) const;

    // The columns (by field) that take the room a window gives its grid beyond its designed
    // size, each in proportion to its designed width, and give it up when the window is
    // smaller, down to half their width (the grid scrolls sideways beyond that). The other
    // columns keep their widths.
    void setStretchingColumns(const QStringList &fields);
    // How much wider (or, below 0, narrower) than designed the grid's window is.
    void setSpareWidth(int spare);
    int spareWidth() const { return m_spare; }

    // The columns (by field) are never narrower than the widest of `texts` needs, bold, in the
    // cells and in the titles, whatever the font: the timesheets' 20-pixel day columns widen for
    // "31" and "24" with a large system font.
    void keepWhole(const QStringList &fields, const QStringList &texts);

    // The whole text of a cell that its column is too narrow to show; empty when it shows whole.
    QString cutText(const QModelIndex &index) const;

    // The widths the user gave the columns by dragging their titles, by field, as the designed
    // widths they stand for: a column that takes the window's spare room stands for its width at
    // the window's designed size, so that the grid comes back as left in a window of the size it
    // had. Kept from one run to the next (ui/remembered_state.h).
    QHash<QString, double> userWidths() const { return m_userWidths; }
    void setUserWidths(const QHash<QString, double> &widths);
    // Back to the designed widths.
    void resetWidths() { setUserWidths({}); }

private:
    void syncFromDataSet();
    void applyColumnLayout();
    void stretchColumns();
    bool stretches(int column) const;
    double baseWidth(int column) const;
    void columnResizedByUser(int column);

    DataSetModel *m_model;
    QMetaObject::Connection m_current;
    QMetaObject::Connection m_rows;
    bool m_syncing = false;
    QStringList m_stretching;
    int m_spare = 0;
    QHash<QString, double> m_userWidths;
    QStringList m_wholeFields;
    int m_wholeWidth = 0;
    bool m_laying = false; // the grid sets the widths itself, the user is not dragging
};
