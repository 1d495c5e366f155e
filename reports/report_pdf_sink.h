#pragma once

#include "reports/report_document.h"
#include "reports/report_page_sink.h"

#include <QPainter>
#include <QPdfWriter>

// Writes pages to a PDF file one by one as they come: a page is painted and gone.
class ReportPdfSink : public ReportPageSink {
public:
    // The document gives the title, the paper, the margins and the texts; its own pages are not
    // written unless they are handed over.
    ReportPdfSink(const ReportDocument &document, const QString &path);
    ~ReportPdfSink() override;

    void take(const ReportPage &page) override;
    // Ends the file; false when it could not be written or no page came.
    bool finish();

private:
    const ReportDocument &m_document;
    QPdfWriter m_writer;
    QPainter m_painter;
    int m_pages = 0;
    bool m_failed = false;
    bool m_finished = false;
};
