#include "reports/report_engine.h"

#include "reports/report_context.h"
#include "reports/report_format.h"
#include "reports/report_page_sink.h"
#include "reports/report_pdf_sink.h"

#include <QHash>

#include <algorithm>
#include <vector>

#include <stdexcept>

namespace {

constexpr double Tolerance = 1e-6;
constexpr double UnitsPerMm = 100.0; // the unit of the text cache's measures

// A band as a report lays it out: its items' columns matched with the data set's once, the
// rows printed when it was last printed (where its sums start again) and its children alike.
struct PreparedBand {
    const ReportBand *band = nullptr;
    std::vector<int> columns; // per item: the position of its column; -1: none
    std::vector<int> fonts;   // per item: its font in the text cache
    int lastPrinted = 0;      // detail rows printed when the band was last printed
    // Only the white paper lies under the band's items: no band background, no item field of
    // another colour, no item of another band reaching into it. A white item field then shows
    // nothing and is not drawn (a PDF writes every fill as it comes, and detail rows have many).
    bool onBlankPaper = false;
    std::vector<PreparedBand> children;
};

bool isOpaqueWhite(const QColor &colour)
{
    return colour.isValid() && colour.rgba() == 0xFFFFFFFF;
}

} // namespace

// Lays the pages out one after the other and hands each finished page to the sink, a few rows at
// a time when asked to. Without a sink it only counts the pages: page breaks depend on the bands'
// heights alone, never on their texts, so a first pass that prints nothing knows the number of
// pages ("of N") before the first page is written.
class ReportLayoutRun::Generator {
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
        m_itemsInBands = itemsStayInBands(layout.pageHeader) && itemsStayInBands(layout.columnHeader)
            && itemsStayInBands(layout.detail) && itemsStayInBands(layout.pageFooter);
        for (const ReportGroup &g : layout.groups)
            m_itemsInBands = m_itemsInBands && itemsStayInBands(g.header) && itemsStayInBands(g.footer);
        m_pageHeader = prepare(layout.pageHeader);
        m_columnHeader = prepare(layout.columnHeader);
        m_detail = prepare(layout.detail);
        m_pageFooter = prepare(layout.pageFooter);
        for (const ReportGroup &g : layout.groups) {
            m_headers.push_back(prepare(g.header));
            m_footers.push_back(prepare(g.footer));
            m_keyColumns.push_back(g.keyColumn.isEmpty() ? -1 : data.columnIndex(g.keyColumn));
        }
        m_keys.resize(layout.groups.size());
        begin();
    }

    bool isFinished() const { return m_finished; }
    int rowsLaidOut() const { return m_next; }
    int pageCount() const { return m_finished ? m_pageCount : m_pageCount - 1; }

    // Lays out up to `rows` more rows; false when the report is complete.
    bool step(int rows)
    {
        if (m_finished)
            return false;
        const int end = int(std::min<qint64>(m_data.rowCount(), qint64(m_next) + std::max(rows, 1)));
        for (; m_next < end; ++m_next)
            layRow(m_next);
        if (m_next == m_data.rowCount()) {
            m_row = m_data.rowCount() - 1;
            for (int g = int(m_footers.size()) - 1; g >= 0; --g)
                print(m_footers[size_t(g)]);
            endPage();
            m_finished = true;
        }
        return !m_finished;
    }

private:
    PreparedBand prepare(const ReportBand &band)
    {
        PreparedBand p;
        p.band = &band;
        for (const ReportItem &item : band.items) {
            const bool readsColumn = item.kind == ReportItem::Field || (item.kind == ReportItem::Sum && !item.summed);
            p.columns.push_back(readsColumn ? m_data.columnIndex(item.column) : -1);
            p.fonts.push_back(m_texts ? m_texts->fontId(item.font) : -1);
        }
        p.onBlankPaper = m_itemsInBands && !band.background.isValid()
            && std::all_of(band.items.begin(), band.items.end(), [](const ReportItem &item) {
                   return !item.background.isValid() || isOpaqueWhite(item.background);
               });
        for (const ReportBand &child : band.children)
            p.children.push_back(prepare(child));
        return p;
    }

    // Whether every item of the band and its children lies within its band's height.
    bool itemsStayInBands(const ReportBand &band) const
    {
        for (const ReportItem &item : band.items) {
            double height = item.height;
            if (height <= 0 && m_texts) {
                const QFontMetricsF &fm = m_texts->metrics(m_texts->fontId(item.font));
                height = (fm.ascent() + fm.descent()) / UnitsPerMm;
            }
            if (item.top < -Tolerance || item.top + height > band.height + Tolerance)
                return false;
        }
        return std::all_of(band.children.begin(), band.children.end(),
                           [this](const ReportBand &child) { return itemsStayInBands(child); });
    }

    void begin()
    {
        startPage();
        if (!m_data.isEmpty())
            return;
        // An empty report: the headers and footers around the whole report, and the page bands.
        const QList<ReportGroup> &groups = m_layout.groups;
        for (int g = 0; g < int(groups.size()); ++g)
            if (!groups[g].hasExpression())
                print(m_headers[size_t(g)]);
        for (int g = int(groups.size()) - 1; g >= 0; --g)
            if (!groups[g].hasExpression())
                print(m_footers[size_t(g)]);
        endPage();
        m_finished = true;
    }

    void layRow(int i)
    {
        const QList<ReportGroup> &groups = m_layout.groups;
        const int n = int(groups.size());
        const ReportRow row = m_data.row(i);
        int level = 0;
        if (i > 0) {
            level = n;
            for (int g = 0; g < n; ++g) {
                if (groups[g].hasExpression() && keyOf(g, row) != m_keys[size_t(g)]) {
                    level = g;
                    break;
                }
            }
            m_row = i - 1;
            for (int g = n - 1; g >= level; --g)
                print(m_footers[size_t(g)]);
        }
        m_row = i;
        for (int g = level; g < n; ++g) {
            m_keys[size_t(g)] = keyOf(g, row);
            print(m_headers[size_t(g)]);
        }
        m_printedRows = i + 1;
        print(m_detail);
    }

    // Group values are compared as the user reads them: texts without surrounding blanks.
    QVariant keyOf(int group, const ReportRow &row) const
    {
        const ReportGroup &g = m_layout.groups[group];
        QVariant key = g.key ? g.key(row) : (g.keyColumn.isEmpty() ? QVariant() : row.valueAt(m_keyColumns[size_t(group)]));
        if (key.typeId() == QMetaType::QString)
            key = key.toString().trimmed();
        return key;
    }

    void startPage()
    {
        ++m_pageCount;
        m_page.clear();
        m_y = 0;
        put(m_pageHeader);
        put(m_columnHeader);
        m_contentTop = m_y;
    }

    void endPage()
    {
        m_y = m_bottom;
        put(m_pageFooter);
        if (m_sink)
            m_sink->take(m_page);
    }

    void print(PreparedBand &band)
    {
        if (band.band->isEmpty())
            return;
        const double needed = band.band->totalHeight() + band.band->keepSpaceAfter;
        if (m_y + needed > m_bottom + Tolerance && m_y > m_contentTop + Tolerance) {
            endPage();
            startPage();
        }
        put(band);
    }

    // Draws a band and its children at the current position.
    void put(PreparedBand &prepared)
    {
        const ReportBand &band = *prepared.band;
        if (band.isEmpty())
            return;
        const double top = m_y;
        if (!m_sink) {
            m_y = top + band.height;
            for (PreparedBand &child : prepared.children)
                put(child);
            return;
        }
        if (band.background.isValid())
            fill(QRectF(0, top, m_width, band.height), band.background);
        for (int i = 0; i < int(band.items.size()); ++i)
            putItem(prepared, i, top);
        if (band.rules)
            rule(QRectF(0, top, m_width, band.height), band.rules, band.ruleWidth, Qt::black);
        prepared.lastPrinted = m_printedRows;
        m_y = top + band.height;
        for (PreparedBand &child : prepared.children)
            put(child);
    }

    void putItem(const PreparedBand &band, int index, double bandTop)
    {
        const ReportItem &item = band.band->items[index];
        const int column = band.columns[size_t(index)];
        const int first = item.range == ReportItem::WholeReport ? 0 : band.lastPrinted;
        const ReportContext context(m_data, m_row, first, m_printedRows, m_pageCount);
        QString text;
        switch (item.kind) {
        case ReportItem::Text:
            text = item.text;
            break;
        case ReportItem::Field:
            text = ReportFormat::format(m_data.row(m_row).valueAt(column), item.mask, item.asNumber);
            if (item.trimmed)
                text = text.trimmed();
            break;
        case ReportItem::Computed:
            text = ReportFormat::format(item.compute ? item.compute(context) : QVariant(),
                                        item.mask, item.asNumber);
            break;
        case ReportItem::Sum: {
            const double total = item.summed ? context.sum(item.summed) : context.sumAt(column);
            text = item.mask.isEmpty() ? ReportFormat::plainNumber(total)
                                       : ReportFormat::applyMask(total, item.mask);
            break;
        }
        case ReportItem::PageNumber:
            text = QString(item.text).replace(QLatin1String("%1"), QString::number(m_pageCount));
            break;
        }

        const int font = band.fonts[size_t(index)];
        int textId = m_texts->textId(font, text);
        const QFontMetricsF &fm = m_texts->metrics(font);
        const double height = item.height > 0 ? item.height : (fm.ascent() + fm.descent()) / UnitsPerMm;
        const double width = item.width > 0 ? item.width : (textId < 0 ? 0.0 : m_texts->width(textId) / UnitsPerMm);
        QRectF box(item.left, bandTop + item.top, width, height);
        // Nothing is printed beyond the printable area.
        box = box.intersected(QRectF(0, 0, m_width, m_height));
        if (box.isEmpty())
            return;
        if (item.background.isValid() && !(band.onBlankPaper && isOpaqueWhite(item.background)))
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
            p.lineWidth = float(width);
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
    bool m_itemsInBands = false; // no item reaches out of its band
    PreparedBand m_pageHeader, m_columnHeader, m_detail, m_pageFooter;
    std::vector<PreparedBand> m_headers, m_footers; // of the groups, outermost first
    std::vector<int> m_keyColumns;                  // of the groups: their key column; -1: none
    std::vector<QVariant> m_keys;                   // of the groups: the current value
    ReportPage m_page; // the page being laid out
    int m_pageCount = 0;
    const double m_width;
    const double m_height;
    const double m_bottom; // where the page footer starts
    double m_y = 0;
    double m_contentTop = 0;
    int m_row = -1;          // the current row
    int m_printedRows = 0;   // detail rows printed so far
    int m_next = 0;          // the next row to lay out
    bool m_finished = false;
};

namespace {

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

} // namespace

ReportLayoutRun::ReportLayoutRun(const ReportLayout &layout, const ReportDataSet &data, ReportTextCache &texts,
                                 ReportPageSink &sink)
    : m_rowCount(data.rowCount())
{
    checkLayout(layout, data);
    int total = 0;
    if (showsPageTotal(layout)) {
        Generator count(layout, data, &texts, nullptr, 0);
        count.step(data.rowCount());
        total = count.pageCount();
        m_totalPages = total;
    }
    m_generator = std::make_unique<Generator>(layout, data, &texts, &sink, total);
}

ReportLayoutRun::~ReportLayoutRun() = default;

bool ReportLayoutRun::step(int rows)
{
    return m_generator->step(rows);
}

void ReportLayoutRun::finish()
{
    m_generator->step(m_rowCount);
}

bool ReportLayoutRun::isFinished() const
{
    return m_generator->isFinished();
}

int ReportLayoutRun::rowsLaidOut() const
{
    return m_generator->rowsLaidOut();
}

int ReportLayoutRun::pageCount() const
{
    return m_generator->pageCount();
}

int ReportLayoutRun::totalPages() const
{
    return isFinished() ? pageCount() : m_totalPages;
}

int ReportEngine::generate(const ReportLayout &layout, const ReportDataSet &data, ReportTextCache &texts,
                           ReportPageSink &sink)
{
    ReportLayoutRun run(layout, data, texts, sink);
    run.finish();
    return run.pageCount();
}

ReportDocument ReportEngine::generate(const ReportLayout &layout, const ReportDataSet &data)
{
    ReportDocument document(layout.title, layout.orientation, layout.margins);
    ReportDocument::Pages pages(document);
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
