#include "reports/shift_timesheet_report.h"

#include "db/data_module.h"
#include "db/dataset.h"
#include "records/timesheet_row.h"

#include <vector>


namespace {

QString dayList()
{
    return eachDay(QStringLiteral("sum(d%1) as sd%1"), QStringLiteral(","));
}

} // namespace

const QString ShiftTimesheetReport::Statement =
    QStringLiteral("select person.s_caption fio,") + dayList()
    + QStringLiteral(" from accounts_dep.h_tabel, cmn_contractor.person person "
                     "where h_tabel.w_id=person.s_code::t_integer and month=:mnth and year=:yea "
                     "group by fio order by fio");

const QList<double> ShiftTimesheetReport::DayColumns = {
    81.2,  87.8,  93.7,  100.0, 106.1, 112.4, 118.8, 125.4, 131.8, 137.6, 143.1,
    148.7, 154.3, 159.8, 165.4, 170.9, 176.5, 182.0, 187.6, 193.1, 198.7, 204.3,
    209.8, 215.4, 220.9, 226.5, 232.0, 237.6, 243.2, 248.7, 254.3,
};

ShiftTimesheetReport::ShiftTimesheetReport(DataModule *module, QObject *parent)
    : ReportHolder(module, QStringLiteral("TForm15"), QStringLiteral("H_Tabel"), QStringLiteral("QRLabel33"),
                   ReportZoom::WholePage, parent)
{
    query->setSql(Statement);
    layout.title = QStringLiteral("Табель по сменам");
    layout.orientation = QPageLayout::Landscape;
    layout.margins = QMarginsF(10, 10, 10, 10);

    ReportBand header(ColumnHeaderHeight, {
        ReportItem::label(QStringLiteral("Данные за:"), 0.0, 1.1).named(QStringLiteral("QRLabel33")).size(10).bold(),
    });
    for (int d = 1; d <= 31; ++d)
        header.items << ReportItem::label(QString::number(d), DayColumns.at(d - 1), 0, DayWidth)
                            .tall(ColumnHeaderHeight).middle().centred().size(10).bold()
                            .ruled(ReportRules::LeftRight);
    header.items << ReportItem::label(QStringLiteral("Итого"), 264.6, 1.1).size(10).bold();
    header.ruled(ReportRules::TopBottom);
    layout.columnHeader = header;

    ReportBand detail(DetailHeight, {
        ReportItem::field(QStringLiteral("fio"), 0.0, 0, 80.4).tall(DetailHeight).middle().size(9),
    });
    for (int d = 1; d <= 31; ++d) {
        ReportItem day = ReportItem::field(QStringLiteral("sd%1").arg(d), DayColumns.at(d - 1), 0, DayWidth)
                             .tall(DetailHeight).middle().centred().size(9).masked(QStringLiteral("#0"));
        if (d % 2 == 1)
            day.ruled(ReportRules::LeftRight);
        detail.items << day;
    }
    std::vector<ReportColumn> days;
    for (int d = 1; d <= 31; ++d)
        days.emplace_back(QStringLiteral("sd%1").arg(d));
    detail.items << ReportItem::computed([days](const ReportContext &c) {
        double total = 0;
        for (const ReportColumn &day : days)
            total += c.number(day);
        return total;
    }, 264.6, 0, 10.3).tall(DetailHeight).middle().centred().size(9).bold().masked(QStringLiteral("#0"));
    detail.ruled(ReportRules::TopBottom);
    // A row goes to the next page unless the page also has room for a column header's height.
    detail.keepingSpace(ColumnHeaderHeight);
    layout.detail = detail;

    layout.pageFooter = ReportBand(5.0, {ReportItem::pageNumber(252.7, 1.0, 25.7).size(9).rightAligned()});
}

QString ShiftTimesheetReport::periodLabel(const QString &monthName, const QString &yearText)
{
    return monthName + QLatin1Char(' ') + yearText + QStringLiteral(" г.");
}

void ShiftTimesheetReport::setMonth(int month, int year)
{
    query->close();
    query->setParam(QStringLiteral("mnth"), month);
    query->setParam(QStringLiteral("yea"), year);
}

PreparedReport ShiftTimesheetReport::make(int month, int year, const QString &periodLabel)
{
    QueryCloser closer(query);
    setMonth(month, year);
    openQuery();
    setTitle(periodLabel);
    return prepare();
}
