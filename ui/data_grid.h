#pragma once

#include "ui/data_set_model.h"

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

    // The whole text of a cell that its column is too narrow to show; empty when it shows whole.
    QString cutText(const QModelIndex &index) const;

private:
    void syncFromDataSet();
    void applyColumnLayout();
    void stretchColumns();
    bool stretches(int column) const;

    DataSetModel *m_model;
    QMetaObject::Connection m_current;
    QMetaObject::Connection m_rows;
    bool m_syncing = false;
    QStringList m_stretching;
    int m_spare = 0;
};
