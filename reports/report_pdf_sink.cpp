#include "reports/report_pdf_sink.h"

ReportPdfSink::ReportPdfSink(const ReportDocument &document, const QString &path)
    : m_document(document), m_writer(path)
{
    m_writer.setTitle(document.title());
    m_writer.setResolution(1200);
    m_writer.setPageLayout(document.pageLayout());
}

ReportPdfSink::~ReportPdfSink()
{
    finish();
}

void ReportPdfSink::take(const ReportPage &page)
{
    if (m_failed || m_finished)
        return;
    if (m_pages == 0) {
        if (!m_painter.begin(&m_writer)) {
            m_failed = true;
            return;
        }
    } else {
        m_writer.newPage();
    }
    m_document.paint(m_painter, page);
    ++m_pages;
}

bool ReportPdfSink::finish()
{
    if (!m_finished) {
        m_finished = true;
        if (m_painter.isActive() && !m_painter.end())
            m_failed = true;
    }
    return !m_failed && m_pages > 0;
}
