#include "reports/report_layout.h"

#include <QPageSize>
#include <QSizeF>

namespace {

// An item of the given kind at its place in the band (mm).
ReportItem placed(ReportItem::Kind kind, double left, double top, double width)
{
    ReportItem item;
    item.kind = kind;
    item.left = left;
    item.top = top;
    item.width = width;
    return item;
}

} // namespace

ReportItem ReportItem::label(const QString &text, double left, double top, double width)
{
    ReportItem item = placed(Text, left, top, width);
    item.text = text;
    return item;
}

ReportItem ReportItem::field(const QString &column, double left, double top, double width)
{
    ReportItem item = placed(Field, left, top, width);
    item.column = column;
    return item;
}

ReportItem ReportItem::computed(Compute compute, double left, double top, double width)
{
    ReportItem item = placed(Computed, left, top, width);
    item.compute = std::move(compute);
    return item;
}

ReportItem ReportItem::sum(const QString &column, double left, double top, double width)
{
    ReportItem item = placed(Sum, left, top, width);
    item.column = column;
    return item;
}

ReportItem ReportItem::sum(RowValue value, double left, double top, double width)
{
    ReportItem item = placed(Sum, left, top, width);
    item.summed = std::move(value);
    return item;
}

ReportItem ReportItem::pageNumber(double left, double top, double width, const QString &format)
{
    ReportItem item = placed(PageNumber, left, top, width);
    item.text = format;
    return item;
}

double ReportBand::totalHeight() const
{
    double h = height;
    for (const ReportBand &child : children)
        h += child.totalHeight();
    return h;
}

QVariant ReportGroup::keyOf(const ReportRow &row) const
{
    if (key)
        return key(row);
    if (!keyColumn.isEmpty())
        return row.value(keyColumn);
    return QVariant();
}

ReportGroup ReportGroup::once(const ReportBand &header, const ReportBand &footer)
{
    ReportGroup g;
    g.header = header;
    g.footer = footer;
    return g;
}

ReportGroup ReportGroup::by(const QString &column, const ReportBand &header, const ReportBand &footer)
{
    ReportGroup g = once(header, footer);
    g.keyColumn = column;
    return g;
}

ReportGroup ReportGroup::by(Key key, const ReportBand &header, const ReportBand &footer)
{
    ReportGroup g = once(header, footer);
    g.key = std::move(key);
    return g;
}

double ReportLayout::printableWidth() const
{
    const QSizeF paper = QPageSize(QPageSize::A4).size(QPageSize::Millimeter);
    const double w = orientation == QPageLayout::Portrait ? paper.width() : paper.height();
    return w - margins.left() - margins.right();
}

double ReportLayout::printableHeight() const
{
    const QSizeF paper = QPageSize(QPageSize::A4).size(QPageSize::Millimeter);
    const double h = orientation == QPageLayout::Portrait ? paper.height() : paper.width();
    return h - margins.top() - margins.bottom();
}

namespace {
template <typename Fn> void visit(ReportBand &band, Fn &fn)
{
    fn(band);
    for (ReportBand &child : band.children)
        visit(child, fn);
}
} // namespace

template <typename Fn> void ReportLayout::forEachBand(Fn fn)
{
    visit(pageHeader, fn);
    visit(columnHeader, fn);
    for (ReportGroup &g : groups) {
        visit(g.header, fn);
        visit(g.footer, fn);
    }
    visit(detail, fn);
    visit(pageFooter, fn);
}

ReportItem *ReportLayout::item(const QString &name)
{
    ReportItem *found = nullptr;
    forEachBand([&](ReportBand &band) {
        for (ReportItem &it : band.items)
            if (!found && it.name == name)
                found = &it;
    });
    return found;
}

const ReportItem *ReportLayout::item(const QString &name) const
{
    return const_cast<ReportLayout *>(this)->item(name);
}

bool ReportLayout::setText(const QString &name, const QString &text)
{
    ReportItem *it = item(name);
    if (!it || it->kind != ReportItem::Text)
        return false;
    it->text = text;
    return true;
}

QString ReportLayout::text(const QString &name) const
{
    const ReportItem *it = item(name);
    return it ? it->text : QString();
}
