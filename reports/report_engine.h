#pragma once

#include "reports/report_dataset.h"
#include "reports/report_document.h"
#include "reports/report_layout.h"

class ReportPageSink;

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
