#pragma once

#include "app/data_set_model.h"

#include <QTableView>

// A read-only grid over a DataSet with whole-row selection, bold centred titles and the data set's
// current row kept in step with the grid's. It can be switched between data sets (the journal
// shows one of four).
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

private:
    void syncFromDataSet();
    void applyColumnLayout();

    DataSetModel *m_model;
    QMetaObject::Connection m_current;
    QMetaObject::Connection m_rows;
    bool m_syncing = false;
};
