#include "reports/report_document.h"

#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QPageSize>
#include <QPageRanges>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>

namespace {

// Pages are drawn in hundredths of a millimetre, and fonts are sized in that unit, so that a
// text measures the same on the screen, in a PDF and on any printer.
constexpr double UnitsPerMm = 100.0;
constexpr double MmPerPoint = 25.4 / 72.0;

QFont unitFont(const ReportFont &font)
{
    QFont f(font.family);
    f.setPixelSize(std::max(1, qRound(font.size * MmPerPoint * UnitsPerMm)));
    f.setBold(font.bold);
    // Hinting would bend advances towards a screen's pixel grid; pages must measure alike everywhere.
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

// Fonts and their metrics by family, size and weight: building them anew for every printed value
// would dominate the time a long report takes.
struct FontEntry {
    QFont font;
    QFontMetricsF metrics;
};

const FontEntry &fontEntry(const ReportFont &font)
{
    static QHash<QString, FontEntry *> cache;
    const QString key = font.family + QLatin1Char('|') + QString::number(font.size) + QLatin1Char('|')
        + QLatin1Char(font.bold ? '1' : '0');
    FontEntry *&entry = cache[key];
    if (!entry) {
        const QFont f = unitFont(font);
        entry = new FontEntry{f, QFontMetricsF(f)};
    }
    return *entry;
}

// The part of a text that starts inside the box: characters clipped off entirely are dropped,
// so that they are neither drawn nor found in the PDF's text.
QString visiblePart(const QFontMetricsF &fm, const QString &text, double widthUnits)
{
    if (fm.horizontalAdvance(text) <= widthUnits)
        return text;
    int n = 0;
    while (n < text.size() && fm.horizontalAdvance(text.left(n)) < widthUnits)
        ++n;
    return text.left(n);
}

} // namespace

ReportDocument::ReportDocument(const QString &title, QPageLayout::Orientation orientation,
                               const QMarginsF &margins)
    : m_title(title), m_orientation(orientation), m_margins(margins)
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
            out << p.text;
    return out;
}

void ReportDocument::numberPages()
{
    const QString total = QString::number(pageCount());
    for (int i = 0; i < pageCount(); ++i)
        for (ReportPrimitive &p : m_pages[i])
            if (!p.pageFormat.isEmpty())
                p.text = QString(p.pageFormat)
                             .replace(QLatin1String("%1"), QString::number(i + 1))
                             .replace(QLatin1String("%2"), total);
}

double ReportDocument::textWidth(const ReportFont &font, const QString &text)
{
    return fontEntry(font).metrics.horizontalAdvance(text) / UnitsPerMm;
}

double ReportDocument::lineHeight(const ReportFont &font)
{
    const QFontMetricsF &fm = fontEntry(font).metrics;
    return (fm.ascent() + fm.descent()) / UnitsPerMm;
}

void ReportDocument::paintPage(QPainter &painter, int index) const
{
    const QPaintDevice *device = painter.device();
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.scale(device->logicalDpiX() / 25.4 / UnitsPerMm, device->logicalDpiY() / 25.4 / UnitsPerMm);
    painter.translate(m_margins.left() * UnitsPerMm, m_margins.top() * UnitsPerMm);

    const auto units = [](const QRectF &mm) {
        return QRectF(mm.x() * UnitsPerMm, mm.y() * UnitsPerMm, mm.width() * UnitsPerMm,
                      mm.height() * UnitsPerMm);
    };

    for (const ReportPrimitive &p : page(index)) {
        switch (p.type) {
        case ReportPrimitive::Fill:
            painter.fillRect(units(p.rect), p.color);
            break;
        case ReportPrimitive::Line: {
            QPen pen(p.color, p.lineWidth * UnitsPerMm);
            pen.setCapStyle(Qt::SquareCap);
            painter.setPen(pen);
            painter.drawLine(QLineF(p.line.p1() * UnitsPerMm, p.line.p2() * UnitsPerMm));
            break;
        }
        case ReportPrimitive::Text: {
            if (p.text.isEmpty())
                break;
            const FontEntry &entry = fontEntry(p.font);
            const QFont &font = entry.font;
            const QFontMetricsF &fm = entry.metrics;
            const QRectF box = units(p.rect);
            const QString shown = visiblePart(fm, p.text, box.width());
            const double width = fm.horizontalAdvance(shown);
            double x = box.left();
            // A text wider than its box shows its beginning, whatever the alignment.
            if (width <= box.width()) {
                if (p.alignment & Qt::AlignHCenter)
                    x = box.left() + (box.width() - width) / 2;
                else if (p.alignment & Qt::AlignRight)
                    x = box.right() - width;
            }
            double baseline = box.top() + fm.ascent();
            if (p.alignment & Qt::AlignVCenter)
                baseline = box.top() + (box.height() - fm.ascent() - fm.descent()) / 2 + fm.ascent();
            else if (p.alignment & Qt::AlignBottom)
                baseline = box.bottom() - fm.descent();
            // Clipping costs a graphics state per text in a PDF: only texts that overflow get one.
            const bool overflows = width > box.width() || baseline - fm.ascent() < box.top() - 0.5
                || baseline + fm.descent() > box.bottom() + 0.5;
            if (overflows) {
                painter.save();
                painter.setClipRect(box, Qt::IntersectClip);
            }
            painter.setFont(font);
            painter.setPen(p.color);
            painter.drawText(QPointF(x, baseline), shown);
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

QList<int> ReportDocument::allPages() const
{
    QList<int> pages;
    for (int i = 0; i < pageCount(); ++i)
        pages << i;
    return pages;
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
    QPdfWriter writer(path);
    writer.setTitle(m_title);
    writer.setResolution(1200);
    writer.setPageLayout(pageLayout());
    return render(&writer, allPages());
}
