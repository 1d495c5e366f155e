#include "reports/report_document.h"

#include "reports/report_pdf_sink.h"

#include <QPageSize>
#include <QPageRanges>
#include <QPainter>

#include <cmath>

namespace {

// Pages are drawn in hundredths of a millimetre, and fonts are sized in that unit, so that a
// text measures the same on the screen, in a PDF and on any printer.
constexpr double UnitsPerMm = 100.0;

// Measuring outside any document (the engine's widths of items that size themselves, tests)
// shares one cache, so that it agrees with what a document paints.
ReportTextCache &sharedMeasures()
{
    static ReportTextCache cache;
    return cache;
}

} // namespace

ReportDocument::ReportDocument() : m_texts(std::make_shared<ReportTextCache>())
{
}

ReportDocument::ReportDocument(const QString &title, QPageLayout::Orientation orientation,
                               const QMarginsF &margins)
    : m_title(title), m_orientation(orientation), m_margins(margins),
      m_texts(std::make_shared<ReportTextCache>())
{
}

QPageLayout ReportDocument::pageLayout() const
{
    return QPageLayout(QPageSize(QPageSize::A4), m_orientation, QMarginsF(0, 0, 0, 0),
                       QPageLayout::Millimeter);
}

QStringList ReportDocument::texts(int index) const
{
    QStringList out;
    for (const ReportPrimitive &p : page(index))
        if (p.type == ReportPrimitive::Text)
            out << (p.text < 0 ? QString() : m_texts->text(p.text));
    return out;
}

double ReportDocument::textWidth(const ReportFont &font, const QString &text)
{
    ReportTextCache &cache = sharedMeasures();
    return cache.metrics(cache.fontId(font)).horizontalAdvance(text) / UnitsPerMm;
}

double ReportDocument::lineHeight(const ReportFont &font)
{
    ReportTextCache &cache = sharedMeasures();
    const QFontMetricsF &fm = cache.metrics(cache.fontId(font));
    return (fm.ascent() + fm.descent()) / UnitsPerMm;
}

void ReportDocument::addPage(const ReportPage &page)
{
    m_pages.append(page);
    // A page is kept as long as the report: no room left over from its making.
    m_pages.last().squeeze();
}

void ReportDocument::paint(QPainter &painter, const ReportPage &page) const
{
    const QPaintDevice *device = painter.device();
    paint(painter, page, device->logicalDpiX() / 25.4, device->logicalDpiY() / 25.4);
}

void ReportDocument::paint(QPainter &painter, const ReportPage &page, double unitsPerMmX, double unitsPerMmY) const
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.scale(unitsPerMmX / UnitsPerMm, unitsPerMmY / UnitsPerMm);
    painter.translate(m_margins.left() * UnitsPerMm, m_margins.top() * UnitsPerMm);

    const auto units = [](const QRectF &mm) {
        return QRectF(mm.x() * UnitsPerMm, mm.y() * UnitsPerMm, mm.width() * UnitsPerMm,
                      mm.height() * UnitsPerMm);
    };
    // Texts go out as the glyphs shaped once for the whole report.
    ReportTextCache &texts = *m_texts;

    for (const ReportPrimitive &p : page) {
        switch (p.type) {
        case ReportPrimitive::Fill:
            painter.fillRect(units(p.rect()), QColor::fromRgba(p.color));
            break;
        case ReportPrimitive::Line: {
            // Widths are given to a tenth of a micrometre; single precision only keeps them.
            QPen pen(QColor::fromRgba(p.color), std::round(p.lineWidth * 1e4) / 1e4 * UnitsPerMm);
            pen.setCapStyle(Qt::SquareCap);
            painter.setPen(pen);
            const QLineF line = p.line();
            painter.drawLine(QLineF(line.p1() * UnitsPerMm, line.p2() * UnitsPerMm));
            break;
        }
        case ReportPrimitive::Text: {
            if (p.text < 0)
                break;
            const int fontId = texts.fontOf(p.text);
            const QFontMetricsF &fm = texts.metrics(fontId);
            const QRectF box = units(p.rect());
            const int shown = texts.visiblePart(p.text, box.width());
            if (shown < 0)
                break;
            const double width = texts.width(shown);
            const Qt::Alignment alignment(p.alignment);
            double x = box.left();
            // A text wider than its box shows its beginning, whatever the alignment.
            if (width <= box.width()) {
                if (alignment & Qt::AlignHCenter)
                    x = box.left() + (box.width() - width) / 2;
                else if (alignment & Qt::AlignRight)
                    x = box.right() - width;
            }
            double baseline = box.top() + fm.ascent();
            if (alignment & Qt::AlignVCenter)
                baseline = box.top() + (box.height() - fm.ascent() - fm.descent()) / 2 + fm.ascent();
            else if (alignment & Qt::AlignBottom)
                baseline = box.bottom() - fm.descent();
            // Clipping costs a graphics state per text in a PDF: only texts that overflow get one.
            const bool overflows = width > box.width() || baseline - fm.ascent() < box.top() - 0.5
                || baseline + fm.descent() > box.bottom() + 0.5;
            if (overflows) {
                painter.save();
                painter.setClipRect(box, Qt::IntersectClip);
            }
            painter.setPen(QColor::fromRgba(p.color));
            for (const QGlyphRun &run : texts.glyphs(shown))
                painter.drawGlyphRun(QPointF(x, baseline), run);
            if (overflows)
                painter.restore();
            break;
        }
        }
    }
    painter.restore();
}

bool ReportDocument::render(QPagedPaintDevice *device, const QList<int> &pages) const
{
    if (pages.isEmpty())
        return false;
    QPainter painter;
    if (!painter.begin(device))
        return false;
    for (int i = 0; i < pages.size(); ++i) {
        if (i > 0)
            device->newPage();
        paintPage(painter, pages.at(i));
    }
    return painter.end();
}

bool ReportDocument::print(QPagedPaintDevice *printer, const QPageRanges &ranges) const
{
    // The page ranges chosen in the print dialog ("1-2,5"); none means every page.
    QList<int> pages;
    for (int i = 0; i < pageCount(); ++i)
        if (ranges.isEmpty() || ranges.contains(i + 1))
            pages << i;
    return render(printer, pages);
}

bool ReportDocument::savePdf(const QString &path) const
{
    ReportPdfSink file(*this, path);
    for (const ReportPage &p : m_pages)
        file.take(p);
    return file.finish();
}
