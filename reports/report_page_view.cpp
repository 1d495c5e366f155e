#include "reports/report_page_view.h"

#include "reports/report_document.h"

#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>

namespace {
// Room around the page, in pixels.
constexpr int Margin = 12;
constexpr double MinZoom = 0.1;
constexpr double MaxZoom = 10;
} // namespace

ReportPageView::ReportPageView(const ReportDocument &document, QWidget *parent)
    : QAbstractScrollArea(parent), m_document(document)
{
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    viewport()->setBackgroundRole(QPalette::Dark);
    viewport()->setAutoFillBackground(true);
    verticalScrollBar()->setSingleStep(20);
    horizontalScrollBar()->setSingleStep(20);
    pagesAdded();
}

int ReportPageView::currentPage() const
{
    return m_page;
}

int ReportPageView::pageCount() const
{
    return m_document.pageCount();
}

void ReportPageView::setCurrentPage(int page)
{
    page = std::clamp(page, pageCount() > 0 ? 1 : 0, pageCount());
    if (page == m_page)
        return;
    m_page = page;
    verticalScrollBar()->setValue(0);
    viewport()->update();
    emit currentPageChanged(m_page);
}

void ReportPageView::pagesAdded()
{
    if (m_page == 0 && pageCount() > 0)
        setCurrentPage(1);
}

void ReportPageView::setZoomMode(ZoomMode mode)
{
    m_mode = mode;
    updateZoom();
}

void ReportPageView::setZoomFactor(double factor)
{
    m_mode = CustomZoom;
    m_zoom = std::clamp(factor, MinZoom, MaxZoom);
    updateScrollBars();
    viewport()->update();
}

QSizeF ReportPageView::paperMm() const
{
    return m_document.pageLayout().fullRect(QPageLayout::Millimeter).size();
}

double ReportPageView::pixelsPerMm() const
{
    return m_zoom * logicalDpiX() / 25.4;
}

void ReportPageView::updateZoom()
{
    const QSizeF paper = paperMm();
    const double dpmm = logicalDpiX() / 25.4;
    const double width = std::max(1, viewport()->width() - 2 * Margin);
    const double height = std::max(1, viewport()->height() - 2 * Margin);
    if (m_mode == FitToWidth)
        m_zoom = width / (paper.width() * dpmm);
    else if (m_mode == FitInView)
        m_zoom = std::min(width / (paper.width() * dpmm), height / (paper.height() * dpmm));
    m_zoom = std::clamp(m_zoom, MinZoom, MaxZoom);
    updateScrollBars();
    viewport()->update();
}

void ReportPageView::updateScrollBars()
{
    const QSizeF paper = paperMm() * pixelsPerMm();
    const int width = qCeil(paper.width()) + 2 * Margin;
    const int height = qCeil(paper.height()) + 2 * Margin;
    horizontalScrollBar()->setRange(0, std::max(0, width - viewport()->width()));
    horizontalScrollBar()->setPageStep(viewport()->width());
    verticalScrollBar()->setRange(0, std::max(0, height - viewport()->height()));
    verticalScrollBar()->setPageStep(viewport()->height());
}

void ReportPageView::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateZoom();
}

void ReportPageView::scrollContentsBy(int, int)
{
    viewport()->update();
}

void ReportPageView::paintEvent(QPaintEvent *event)
{
    if (m_page < 1 || m_page > pageCount())
        return;
    const double scale = pixelsPerMm();
    const QSizeF paper = paperMm() * scale;
    // A page narrower than the view stands in its middle.
    const double left = paper.width() + 2 * Margin < viewport()->width()
        ? (viewport()->width() - paper.width()) / 2
        : Margin - horizontalScrollBar()->value();
    const double top = Margin - verticalScrollBar()->value();
    const QRectF sheet(left, top, paper.width(), paper.height());

    QPainter painter(viewport());
    painter.setClipRect(event->rect());
    painter.fillRect(sheet.translated(2, 2), palette().shadow());
    painter.fillRect(sheet, Qt::white);
    painter.setClipRect(sheet, Qt::IntersectClip);
    painter.translate(sheet.topLeft());
    m_document.paint(painter, m_document.page(m_page - 1), scale, scale);
    ++m_paintedPages;
    emit pagePainted(m_page);
}
