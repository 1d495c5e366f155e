#include "reports/report_engine.h"

#include "reports/report_context.h"
#include "reports/report_format.h"

#include <QHash>

#include <stdexcept>

namespace {

constexpr double Tolerance = 1e-6;

class Generator {
public:
    Generator(const ReportLayout &layout, const ReportDataSet &data)
        : m_layout(layout),
          m_data(data),
          m_doc(layout.title, layout.orientation, layout.margins),
          m_width(layout.printableWidth()),
          m_height(layout.printableHeight()),
          m_bottom(m_height - layout.pageFooter.totalHeight())
    {
    }

    ReportDocument run()
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
        m_doc.numberPages();
        return m_doc;
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
        m_doc.addPage();
        m_y = 0;
        put(m_layout.pageHeader);
        put(m_layout.columnHeader);
        m_contentTop = m_y;
    }

    void endPage()
    {
        m_y = m_bottom;
        put(m_layout.pageFooter);
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
        const ReportContext context(m_data, m_row, first, m_printedRows, m_doc.pageCount());
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
            text = QString(item.text).replace(QLatin1String("%1"), QString::number(m_doc.pageCount()));
            break;
        }

        const double height = item.height > 0 ? item.height : ReportDocument::lineHeight(item.font);
        const double width = item.width > 0 ? item.width : ReportDocument::textWidth(item.font, text);
        QRectF box(item.left, bandTop + item.top, width, height);
        // Nothing is printed beyond the printable area.
        box = box.intersected(QRectF(0, 0, m_width, m_height));
        if (box.isEmpty())
            return;
        if (item.background.isValid())
            fill(box, item.background);
        ReportPrimitive p;
        p.type = ReportPrimitive::Text;
        p.rect = box;
        p.color = item.color;
        p.text = text;
        p.font = item.font;
        p.alignment = item.alignment;
        if (item.kind == ReportItem::PageNumber)
            p.pageFormat = item.text.isEmpty() ? QStringLiteral("%1") : item.text;
        m_doc.add(p);
        if (item.rules)
            rule(box, item.rules, item.ruleWidth, item.color);
    }

    void fill(const QRectF &rect, const QColor &colour)
    {
        ReportPrimitive p;
        p.type = ReportPrimitive::Fill;
        p.rect = rect;
        p.color = colour;
        m_doc.add(p);
    }

    void rule(const QRectF &r, int sides, double width, const QColor &colour)
    {
        const auto line = [&](QPointF a, QPointF b) {
            ReportPrimitive p;
            p.type = ReportPrimitive::Line;
            p.line = QLineF(a, b);
            p.lineWidth = width;
            p.color = colour;
            m_doc.add(p);
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
    ReportDocument m_doc;
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

ReportDocument ReportEngine::generate(const ReportLayout &layout, const ReportDataSet &data)
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
    return Generator(layout, data).run();
}
