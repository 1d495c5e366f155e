#pragma once

#include "reports/report_layout.h"
#include "reports/report_page.h"
#include "reports/report_page_sink.h"
#include "reports/report_text_cache.h"

#include <QLineF>
#include <QList>
#include <QMarginsF>
#include <QPageLayout>
#include <QRectF>
#include <QString>
#include <QStringList>

#include <memory>

class QPageRanges;
class QPagedPaintDevice;
class QPainter;

// How the preview first shows a report's pages.
enum class ReportZoom {
    PageWidth, // zoomed to the width of the page
    WholePage, // zoomed to show the whole page
};

// A report's pages, ready to be painted on the preview, a printer or a PDF file as many times as
// needed; while the preview lays a report out, its pages are added as they are made. Copies share
// the texts; the pages they hold are shared until one of them gets another.
class ReportDocument {
public:
    ReportDocument();
    ReportDocument(const QString &title, QPageLayout::Orientation orientation, const QMarginsF &margins);

    QString title() const { return m_title; }
    QPageLayout::Orientation orientation() const { return m_orientation; }
    // A4 in the report's orientation, without margins of its own: pages are painted from the
    // paper's corner and carry the report's margins themselves.
    QPageLayout pageLayout() const;

    int pageCount() const { return int(m_pages.size()); }
    const ReportPage &page(int index) const { return m_pages.at(index); }
    // The texts of a page in the order they were laid out.
    QStringList texts(int index) const;
    // The texts the pages refer to, with their fonts.
    ReportTextCache &textCache() const { return *m_texts; }

    // Used while generating.
    void addPage(const ReportPage &page);
    // The sink that adds each page the engine hands it to a document.
    class Pages;

    // Paints one page; the painter's device has its origin at the paper's top left corner.
    void paintPage(QPainter &painter, int index) const { paint(painter, page(index)); }
    // Paints a page whose texts are in this document's text cache, held or not.
    void paint(QPainter &painter, const ReportPage &page) const;
    // The same at a scale of the painter's own: `unitsPerMm` device units to the millimetre (the
    // preview's zoom), the paper's corner at the painter's origin.
    void paint(QPainter &painter, const ReportPage &page, double unitsPerMmX, double unitsPerMmY) const;
    // Paints the pages of the page ranges chosen for printing (all when there are none) on a
    // printer set to full-page painting. False when the device cannot be painted on or the
    // ranges hold none of the report's pages.
    bool print(QPagedPaintDevice *printer, const QPageRanges &ranges) const;
    // Writes the document as a PDF file; false when the file cannot be written.
    bool savePdf(const QString &path) const;

    // Text measuring shared by generation and painting, so that both agree. Millimetres.
    static double textWidth(const ReportFont &font, const QString &text);
    static double lineHeight(const ReportFont &font);

private:
    bool render(QPagedPaintDevice *device, const QList<int> &pages) const;

    QString m_title;
    QPageLayout::Orientation m_orientation = QPageLayout::Portrait;
    QMarginsF m_margins{10, 10, 10, 10};
    QList<ReportPage> m_pages;
    std::shared_ptr<ReportTextCache> m_texts;
};

class ReportDocument::Pages : public ReportPageSink {
public:
    explicit Pages(ReportDocument &document) : m_document(document) {}
    void take(const ReportPage &page) override { m_document.addPage(page); }

private:
    ReportDocument &m_document;
};
