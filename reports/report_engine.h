#pragma once

#include "reports/report_dataset.h"
#include "reports/report_document.h"
#include "reports/report_layout.h"

#include <memory>

class ReportPageSink;

// One report being laid out, a few rows at a time: the preview shows the first pages while the
// rest are still being made. The layout and the data must outlive the run; finished pages go to
// the sink as they are made, their texts in `texts`.
class ReportLayoutRun {
public:
    // Throws std::invalid_argument as ReportEngine::generate does. A layout that shows the number
    // of pages ("%2") is first paginated without printing, so that the number is right from page one.
    ReportLayoutRun(const ReportLayout &layout, const ReportDataSet &data, ReportTextCache &texts,
                    ReportPageSink &sink);
    ~ReportLayoutRun();
    ReportLayoutRun(const ReportLayoutRun &) = delete;
    ReportLayoutRun &operator=(const ReportLayoutRun &) = delete;

    // Lays out up to `rows` more rows with the bands around them; false when the report is complete.
    bool step(int rows);
    // Lays out the rest.
    void finish();
    bool isFinished() const;
    int rowsLaidOut() const;
    int rowCount() const { return m_rowCount; }
    // Pages handed to the sink so far.
    int pageCount() const;
    // The number of pages the report will have; 0 while it is not known yet.
    int totalPages() const;

private:
    class Generator;
    std::unique_ptr<Generator> m_generator;
    int m_rowCount = 0;
    int m_totalPages = 0;
};

// Lays a banded report out on pages.
//
// Order of bands: on every page the page header and the column header come first and the page
// footer last, at the bottom of the printable area. The groups nest in the order of
// ReportLayout::groups: for each row, the footers of the groups that end (innermost first),
// the headers of the groups that start (outermost first), then the detail band. A band that
// does not fit on the rest of the page, together with its children and its keepSpaceAfter,
// starts a new page; on an empty page it is printed anyway.
//
// An empty data set still gives a page: the headers and footers of the groups without an
// expression (a report's heading and grand total), with sums of 0, and the page bands.
class ReportEngine {
public:
    // Throws std::invalid_argument when the layout names a column the data set does not have
    // or carries a mask the engine does not know. Needs a QGuiApplication for its fonts.
    static ReportDocument generate(const ReportLayout &layout, const ReportDataSet &data);
    // Lays the report out page by page and hands each page to the sink as soon as it is finished,
    // its texts in `texts`; returns the number of pages. A layout that shows the number of pages
    // ("%2") is first paginated without printing, so that the number is right from page one.
    static int generate(const ReportLayout &layout, const ReportDataSet &data, ReportTextCache &texts,
                        ReportPageSink &sink);
    // Writes the report to a PDF file while laying it out, without holding its pages; false when
    // the file cannot be written.
    static bool savePdf(const ReportLayout &layout, const ReportDataSet &data, const QString &path);
};

// A report ready to be laid out: its layout as the caller set it up (the title in) and its rows,
// shared with the query that read them, so that the query may be closed while the report is
// laid out, shown or written.
struct PreparedReport {
    ReportLayout layout;
    ReportDataSet data;
    ReportZoom zoom = ReportZoom::PageWidth;

    // The report generated in full.
    ReportDocument generate() const { return ReportEngine::generate(layout, data); }
    // Written straight to a PDF file page by page; false when the file cannot be written.
    bool savePdf(const QString &path) const { return ReportEngine::savePdf(layout, data, path); }
};
