#pragma once

#include "reports/report_layout.h"

#include <QLineF>
#include <QList>
#include <QMarginsF>
#include <QPageLayout>
#include <QRectF>
#include <QString>
#include <QStringList>

class QPageRanges;
class QPagedPaintDevice;
class QPainter;

// How the preview first shows a report's pages.
enum class ReportZoom {
    PageWidth, // zoomed to the width of the page
    WholePage, // zoomed to show the whole page
};

// One thing drawn on a page. Coordinates are millimetres from the top left corner of the
// printable area.
struct ReportPrimitive {
    enum Type { Fill, Line, Text };
    Type type = Fill;
    QRectF rect;  // Fill: the area; Text: the item's box, to which the text is clipped
    QLineF line;  // Line
    QColor color; // fill, line or text colour
    double lineWidth = 0.2;
    QString text;
    ReportFont font;
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignTop;
    QString pageFormat; // page numbers: the text is filled in once the number of pages is known
};

// A report generated in full: its pages as lists of primitives, ready to be painted on the
// preview, a printer or a PDF file as many times as needed.
class ReportDocument {
public:
    ReportDocument() = default;
    ReportDocument(const QString &title, QPageLayout::Orientation orientation, const QMarginsF &margins);

    QString title() const { return m_title; }
    QPageLayout::Orientation orientation() const { return m_orientation; }
    // A4 in the report's orientation, without margins of its own: pages are painted from the
    // paper's corner and carry the report's margins themselves.
    QPageLayout pageLayout() const;

    int pageCount() const { return int(m_pages.size()); }
    const QList<ReportPrimitive> &page(int index) const { return m_pages.at(index); }
    // The texts of a page in the order they were laid out.
    QStringList texts(int index) const;

    // Used while generating.
    void addPage() { m_pages.append(QList<ReportPrimitive>()); }
    void add(const ReportPrimitive &primitive) { m_pages.last().append(primitive); }
    void numberPages();

    // Paints one page; the painter's device has its origin at the paper's top left corner.
    void paintPage(QPainter &painter, int index) const;
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
    QList<int> allPages() const;

    QString m_title;
    QPageLayout::Orientation m_orientation = QPageLayout::Portrait;
    QMarginsF m_margins{10, 10, 10, 10};
    QList<QList<ReportPrimitive>> m_pages;
};
