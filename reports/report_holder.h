#pragma once

#include "reports/report_document.h"
#include "reports/report_layout.h"

#include <QObject>
#include <QString>

class DataSet;
class TDataModule6;

// The invisible holder of one printed report: the report's query and its banded layout. Callers
// reach the query through it (to set its parameters and filter, to open and close it) and the
// layout's title item, then have the report generated; a window shows the generated pages in the
// print preview (reports/report_preview.h) in the holder's zoom.
class ReportHolder : public QObject {
    Q_OBJECT
public:
    ReportHolder(TDataModule6 *module, const QString &objectName, const QString &queryName,
                 const QString &titleItem, ReportZoom zoom, QObject *parent);

    // The report's query; the concrete holders also name it as the plant knows it (t_Report…).
    DataSet *Query;
    ReportLayout Layout;

    QString titleItem() const { return m_titleItem; }
    void SetTitle(const QString &text);
    QString Title() const;

    // Opens the query (throws DbError). Report statements carry a correlated sub-select per
    // household column for every row; the server's JIT compiler would spend longer compiling
    // such a plan than running it, so the query runs with JIT compilation off. It also runs
    // without the lock wait limit of the other commands.
    void OpenQuery();

    // The whole report over the visible rows of the open query (no rows: the empty report).
    // Generated in full: the preview then pages through finished pages and the query may be
    // closed at once.
    ReportDocument Generate() const;
    // The same report written straight to a PDF file page by page, without holding its pages;
    // false when the file cannot be written.
    bool SavePdf(const QString &path) const;
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
