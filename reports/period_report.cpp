#include "reports/period_report.h"

#include "db/dataset.h"
#include "db/plant.h"
#include "reports/report_format.h"

#include <QLocale>

const QColor PeriodReport::HeadingColour(0xF4, 0xF4, 0xF4);
const QColor PeriodReport::GroupColour(0xE0, 0xE0, 0xE0);
const QColor PeriodReport::TotalFieldColour(0xEF, 0xEF, 0xEF);
const QColor PeriodReport::GrandTotalColour(0xDC, 0xDC, 0xDC);

namespace {
// Heights the plant's layouts leave open, chosen to fit their fonts with a little air.
constexpr double HeadingHeight = 6.0;
constexpr double SpacerHeight = 0.5;
constexpr double GroupHeaderHeight = 5.0;
constexpr double GrandTotalHeight = 7.0;
constexpr double GrandTotalTop = 1.2;
constexpr double PageFooterHeight = 5.0;
} // namespace

PeriodReport::PeriodReport(DataModule *module, const QString &objectName, const QString &queryName,
                           int periodPairs, const QString &titlePrefix, QObject *parent)
    : ReportHolder(module, objectName, queryName, QStringLiteral("QRLabel1"), ReportZoom::PageWidth, parent),
      m_pairs(periodPairs),
      m_titlePrefix(titlePrefix)
{
    layout.margins = QMarginsF(10, 10, 10, 10);
    layout.orientation = QPageLayout::Portrait;
}

void PeriodReport::setPeriod(const QDate &start, const QDate &end)
{
    for (int pair = 0; pair < m_pairs; ++pair) {
        query->setParam(QStringLiteral("data%1").arg(2 * pair + 1), start);
        query->setParam(QStringLiteral("data%1").arg(2 * pair + 2), end);
    }
}

QString PeriodReport::periodTitle(const QDate &start, const QDate &end) const
{
    const QLocale locale;
    return m_titlePrefix + locale.toString(start, QLocale::ShortFormat) + QStringLiteral(" по ")
        + locale.toString(end, QLocale::ShortFormat);
}

void PeriodReport::applyKindFilter(DataSet *query, ProductKindChoice kind)
{
    if (kind == ProductKindChoice::All) {
        query->clearFilter();
        return;
    }
    const int naimen = kind == ProductKindChoice::Finished ? 0 : 1;
    query->setFilter([naimen](const DataSet &data, int rawRow) {
        const QVariant v = data.rawValue(rawRow, QStringLiteral("naimen"));
        return !v.isNull() && v.toInt() == naimen;
    });
}

void PeriodReport::openForPeriod(const QDate &start, const QDate &end, ProductKindChoice kind)
{
    query->close();
    setPeriod(start, end);
    applyKindFilter(query, kind);
    openQuery();
    setTitle(periodTitle(start, end));
}

PreparedReport PeriodReport::make(const QDate &start, const QDate &end, ProductKindChoice kind)
{
    QueryCloser closer(query);
    openForPeriod(start, end, kind);
    return prepare();
}

ReportBand PeriodReport::heading(double titleLeft, double titleSize, const QList<ReportItem> &headings)
{
    ReportBand band(HeadingHeight, {
        ReportItem::label(QString(), titleLeft, 0.9).named(QStringLiteral("QRLabel1")).size(titleSize).bold()
            .filled(HeadingColour),
    });
    band.items << headings;
    band.filled(HeadingColour);
    band.withChild(ReportBand(SpacerHeight));
    return band;
}

ReportItem PeriodReport::columnHeading(const QString &text, double left, double size)
{
    return ReportItem::label(text, left, 1.2).size(size).bold().filled(Qt::white);
}

ReportBand PeriodReport::groupHeader(const QString &column, const QColor &background)
{
    ReportBand band(GroupHeaderHeight, {ReportItem::field(column, 0.3, 0.5).size(10).bold()});
    band.filled(background);
    return band;
}

ReportItem PeriodReport::total(const QString &column, double left, double top, double width)
{
    return ReportItem::sum(column, left, top, width).bold().centred().filled(TotalFieldColour);
}

ReportItem PeriodReport::total(ReportItem::RowValue value, double left, double top, double width)
{
    return ReportItem::sum(std::move(value), left, top, width).bold().centred().filled(TotalFieldColour);
}

ReportBand PeriodReport::grandTotal(const QList<ReportItem> &items, const QColor &background)
{
    ReportBand band(GrandTotalHeight, items);
    band.ruled(ReportRules::All);
    if (background.isValid())
        band.filled(background);
    return band;
}

ReportItem PeriodReport::grandLabel(double left)
{
    return ReportItem::label(QStringLiteral("Итого:"), left, GrandTotalTop).size(11).bold();
}

ReportItem PeriodReport::grandSum(const QString &column, double left, double width)
{
    return ReportItem::sum(column, left, GrandTotalTop, width).size(11).bold().centred();
}

ReportItem PeriodReport::grandSum(ReportItem::RowValue value, double left, double width)
{
    return ReportItem::sum(std::move(value), left, GrandTotalTop, width).size(11).bold().centred();
}

ReportBand PeriodReport::pageFooter()
{
    return ReportBand(PageFooterHeight, {ReportItem::pageNumber(176.2, 1.0, 11.9).size(9).rightAligned()});
}

namespace {
const ReportColumn ProductKind("naimen");
const ReportColumn Colour("color");
} // namespace

QVariant PeriodReport::productKindText(const ReportContext &context)
{
    return Plant::productKindText(int(context.number(ProductKind)));
}

QVariant PeriodReport::colourText(const ReportContext &context)
{
    const double colour = context.number(Colour);
    if (colour > 0) {
        if (colour == 1)
            return QStringLiteral(" (грунт)");
        return QStringLiteral(" (RAL: ") + ReportFormat::plainNumber(colour) + QLatin1Char(')');
    }
    return QStringLiteral(" ");
}
