#include "reports/report_engine.h"

#include "reports/report_context.h"
#include "reports/report_format.h"
#include "reports/report_page_sink.h"
#include "reports/report_pdf_sink.h"

#include <QHash>

#include <stdexcept>

namespace {

constexpr double Tolerance = 1e-6;
constexpr double UnitsPerMm = 100.0; // the unit of the text cache's measures

// Lays the pages out one after the other and hands each finished page to the sink. Without a
// sink it only counts the pages: page breaks depend on the bands' heights alone, never on their
// texts, so a first pass that prints nothing knows the number of pages ("of N") before the
// first page is written.
class Generator {
public:
    Generator(const ReportLayout &layout, const ReportDataSet &data, ReportTextCache *texts,
              ReportPageSink *sink, int totalPages)
        : m_layout(layout),
          m_data(data),
          m_texts(texts),
          m_sink(sink),
          m_totalPages(QString::number(totalPages)),
          m_width(layout.printableWidth()),
          m_height(layout.printableHeight()),
          m_bottom(m_height - layout.pageFooter.totalHeight())
    {
    }

    // Returns the number of pages.
    int run()
    {
        const QList<ReportGroup> &groups = m_layout.groups;
        const int n = int(groups.size());
        startPage();
        if (m_data.isEmpty()) {
            for (const ReportGroup &g : groups)
                if (!g.hasExpression())
                    print(g.header);
            for (int g = n - 1; g >= 0; --g)
                if (!groups[g].hasExpression())
                    print(groups[g].footer);
        } else {
            QVariantList keys(n);
            for (int i = 0; i < m_data.rowCount(); ++i) {
                const ReportRow row = m_data.row(i);
                int level = 0;
                if (i > 0) {
                    level = n;
                    for (int g = 0; g < n; ++g) {
                        if (groups[g].hasExpression() && keyOf(groups[g], row) != keys[g]) {
                            level = g;
                            break;
                        }
                    }
                    m_row = i - 1;
                    for (int g = n - 1; g >= level; --g)
                        print(groups[g].footer);
                }
                m_row = i;
                for (int g = level; g < n; ++g) {
                    keys[g] = keyOf(groups[g], row);
                    print(groups[g].header);
                }
                m_printedRows = i + 1;
                print(m_layout.detail);
            }
            m_row = m_data.rowCount() - 1;
            for (int g = n - 1; g >= 0; --g)
                print(groups[g].footer);
        }
        endPage();
        return m_pageCount;
    }

private:
    // Group values are compared as the user reads them: texts without surrounding blanks.
    static QVariant keyOf(const ReportGroup &group, const ReportRow &row)
    {
        QVariant key = group.keyOf(row);
        if (key.typeId() == QMetaType::QString)
            key = key.toString().trimmed();
        return key;
    }

    void startPage()
    {
        ++m_pageCount;
        m_page.clear();
        m_y = 0;
        put(m_layout.pageHeader);
        put(m_layout.columnHeader);
        m_contentTop = m_y;
    }

    void endPage()
    {
        m_y = m_bottom;
        put(m_layout.pageFooter);
        if (m_sink)
            m_sink->take(m_page);
    }

    void print(const ReportBand &band)
    {
        if (band.isEmpty())
            return;
        const double needed = band.totalHeight() + band.keepSpaceAfter;
        if (m_y + needed > m_bottom + Tolerance && m_y > m_contentTop + Tolerance) {
            endPage();
            startPage();
        }
        put(band);
    }

    // Draws a band and its children at the current position.
    void put(const ReportBand &band)
    {
        if (band.isEmpty())
            return;
        const double top = m_y;
        if (!m_sink) {
            m_y = top + band.height;
            for (const ReportBand &child : band.children)
                put(child);
            return;
        }
        if (band.background.isValid())
            fill(QRectF(0, top, m_width, band.height), band.background);
        for (const ReportItem &item : band.items)
            putItem(band, item, top);
        if (band.rules)
            rule(QRectF(0, top, m_width, band.height), band.rules, band.ruleWidth, Qt::black);
        m_lastPrinted[&band] = m_printedRows;
        m_y = top + band.height;
        for (const ReportBand &child : band.children)
            put(child);
    }

    void putItem(const ReportBand &band, const ReportItem &item, double bandTop)
    {
        const int first = item.range == ReportItem::WholeReport ? 0 : m_lastPrinted.value(&band, 0);
        const ReportContext context(m_data, m_row, first, m_printedRows, m_pageCount);
        QString text;
        switch (item.kind) {
        case ReportItem::Text:
            text = item.text;
            break;
        case ReportItem::Field:
            text = ReportFormat::format(context.value(item.column), item.mask, item.asNumber);
            if (item.trimmed)
                text = text.trimmed();
            break;
        case ReportItem::Computed:
            text = ReportFormat::format(item.compute ? item.compute(context) : QVariant(),
                                        item.mask, item.asNumber);
            break;
        case ReportItem::Sum: {
            const double total = item.summed ? context.sum(item.summed) : context.sum(item.column);
            text = item.mask.isEmpty() ? ReportFormat::plainNumber(total)
                                       : ReportFormat::applyMask(total, item.mask);
            break;
        }
        case ReportItem::PageNumber:
            text = QString(item.text).replace(QLatin1String("%1"), QString::number(m_pageCount));
            break;
        }

        const int font = m_texts->fontId(item.font);
        int textId = m_texts->textId(font, text);
        const QFontMetricsF &fm = m_texts->metrics(font);
        const double height = item.height > 0 ? item.height : (fm.ascent() + fm.descent()) / UnitsPerMm;
        const double width = item.width > 0 ? item.width : (textId < 0 ? 0.0 : m_texts->width(textId) / UnitsPerMm);
        QRectF box(item.left, bandTop + item.top, width, height);
        // Nothing is printed beyond the printable area.
        box = box.intersected(QRectF(0, 0, m_width, m_height));
        if (box.isEmpty())
            return;
        if (item.background.isValid())
            fill(box, item.background);
        // A page number is sized by its text with "%2" still in it, and then shows the number of pages.
        if (item.kind == ReportItem::PageNumber)
            textId = m_texts->textId(font, QString(item.text.isEmpty() ? QStringLiteral("%1") : item.text)
                                                .replace(QLatin1String("%1"), QString::number(m_pageCount))
                                                .replace(QLatin1String("%2"), m_totalPages));
        ReportPrimitive p;
        p.type = ReportPrimitive::Text;
        p.setRect(box);
        p.color = item.color.rgba();
        p.text = textId;
        p.alignment = quint16(item.alignment);
        m_page.append(p);
        if (item.rules)
            rule(box, item.rules, item.ruleWidth, item.color);
    }

    void fill(const QRectF &rect, const QColor &colour)
    {
        ReportPrimitive p;
        p.type = ReportPrimitive::Fill;
        p.setRect(rect);
        p.color = colour.rgba();
        m_page.append(p);
    }

    void rule(const QRectF &r, int sides, double width, const QColor &colour)
    {
        const auto line = [&](QPointF a, QPointF b) {
            ReportPrimitive p;
            p.type = ReportPrimitive::Line;
            p.setLine(QLineF(a, b));
            p.lineWidth = width;
            p.color = colour.rgba();
            m_page.append(p);
        };
        if (sides & ReportRules::Top)
            line(r.topLeft(), r.topRight());
        if (sides & ReportRules::Bottom)
            line(r.bottomLeft(), r.bottomRight());
        if (sides & ReportRules::Left)
            line(r.topLeft(), r.bottomLeft());
        if (sides & ReportRules::Right)
            line(r.topRight(), r.bottomRight());
    }

    const ReportLayout &m_layout;
    const ReportDataSet &m_data;
    ReportTextCache *m_texts;
    ReportPageSink *m_sink;
    const QString m_totalPages;
    ReportPage m_page; // the page being laid out
    int m_pageCount = 0;
    const double m_width;
    const double m_height;
    const double m_bottom; // where the page footer starts
    double m_y = 0;
    double m_contentTop = 0;
    int m_row = -1;          // the current row
    int m_printedRows = 0;   // detail rows printed so far
    QHash<const ReportBand *, int> m_lastPrinted; // rows printed when the band was last printed
};

// Finds layout faults before anything is laid out, so that they show even on an empty data set.
void check(const ReportBand &band, const ReportDataSet &data)
{
    const auto needColumn = [&data](const QString &column) {
        if (data.columnIndex(column) < 0)
            throw std::invalid_argument(
                QStringLiteral("В данных отчета нет поля \"%1\"").arg(column).toStdString());
    };
    for (const ReportItem &item : band.items) {
        if (!item.mask.isEmpty())
            ReportFormat::checkMask(item.mask);
        if (item.kind == ReportItem::Field || (item.kind == ReportItem::Sum && !item.summed))
            needColumn(item.column);
    }
    for (const ReportBand &child : band.children)
        check(child, data);
}

} // namespace

namespace {

void checkLayout(const ReportLayout &layout, const ReportDataSet &data)
{
    check(layout.pageHeader, data);
    check(layout.columnHeader, data);
    check(layout.detail, data);
    check(layout.pageFooter, data);
    for (const ReportGroup &g : layout.groups) {
        if (!g.keyColumn.isEmpty() && data.columnIndex(g.keyColumn) < 0)
            throw std::invalid_argument(
                QStringLiteral("В данных отчета нет поля \"%1\"").arg(g.keyColumn).toStdString());
        check(g.header, data);
        check(g.footer, data);
    }
}

bool showsPageTotal(const ReportBand &band)
{
    for (const ReportItem &item : band.items)
        if (item.kind == ReportItem::PageNumber && item.text.contains(QLatin1String("%2")))
            return true;
    for (const ReportBand &child : band.children)
        if (showsPageTotal(child))
            return true;
    return false;
}

bool showsPageTotal(const ReportLayout &layout)
{
    if (showsPageTotal(layout.pageHeader) || showsPageTotal(layout.columnHeader)
        || showsPageTotal(layout.detail) || showsPageTotal(layout.pageFooter))
        return true;
    for (const ReportGroup &g : layout.groups)
        if (showsPageTotal(g.header) || showsPageTotal(g.footer))
            return true;
    return false;
}

class DocumentPages : public ReportPageSink {
public:
    explicit DocumentPages(ReportDocument &document) : m_document(document) {}
    void take(const ReportPage &page) override { m_document.addPage(page); }

private:
    ReportDocument &m_document;
};

} // namespace

int ReportEngine::generate(const ReportLayout &layout, const ReportDataSet &data, ReportTextCache &texts,
                           ReportPageSink &sink)
{
    checkLayout(layout, data);
    const int total = showsPageTotal(layout) ? Generator(layout, data, &texts, nullptr, 0).run() : 0;
    return Generator(layout, data, &texts, &sink, total).run();
}

ReportDocument ReportEngine::generate(const ReportLayout &layout, const ReportDataSet &data)
{
    ReportDocument document(layout.title, layout.orientation, layout.margins);
    DocumentPages pages(document);
    generate(layout, data, document.textCache(), pages);
    return document;
}

bool ReportEngine::savePdf(const ReportLayout &layout, const ReportDataSet &data, const QString &path)
{
    // The document holds the texts and the page setup, never the pages.
    const ReportDocument shell(layout.title, layout.orientation, layout.margins);
    ReportPdfSink file(shell, path);
    generate(layout, data, shell.textCache(), file);
    return file.finish();
}
