#pragma once

#include "reports/report_document.h"
#include "reports/report_engine.h"
#include "reports/report_layout.h"

#include <QObject>
#include <QString>

class DataSet;
class DataModule;

// The invisible holder of one printed report: the report's query and its banded layout. Callers
// reach the query through it (to set its parameters and filter, to open and close it) and the
// layout's title item, then have the report prepared; a window shows it in the print preview
// (reports/report_preview.h), which lays the pages out as it shows them, in the holder's zoom.
class ReportHolder : public QObject {
    Q_OBJECT
public:
    ReportHolder(DataModule *module, const QString &objectName, const QString &queryName,
                 const QString &titleItem, ReportZoom zoom, QObject *parent);

    // The report's query; its object name is the one the plant knows it by (t_Report, w_Report, i_Report, H_Tabel).
    DataSet *query;
    ReportLayout layout;

    QString titleItem() const { return m_titleItem; }
    void setTitle(const QString &text);
    QString title() const;

    // Opens the query (throws DbError). Report statements carry a correlated sub-select per
    // household column for every row; the server's JIT compiler would spend longer compiling
    // such a plan than running it, so the query runs with JIT compilation off. It also runs
    // without the lock wait limit of the other commands.
    void openQuery();

    // The report over the visible rows of the open query (no rows: the empty report), ready to be
    // laid out: the rows are shared with the query, which may be closed at once.
    PreparedReport prepare() const;
    // The whole report generated at once.
    ReportDocument generate() const;
    // The same report written straight to a PDF file page by page, without holding its pages;
    // false when the file cannot be written.
    bool savePdf(const QString &path) const;
    ReportZoom zoom() const { return m_zoom; }

private:
    QString m_connection;
    QString m_titleItem;
    ReportZoom m_zoom;
};

// Closes a query when the command that opened it ends, however it ends.
class QueryCloser {
public:
    explicit QueryCloser(DataSet *query) : m_query(query) {}
    ~QueryCloser();
    QueryCloser(const QueryCloser &) = delete;
    QueryCloser &operator=(const QueryCloser &) = delete;

private:
    DataSet *m_query;
};
