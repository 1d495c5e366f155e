#include "reports/detailed_workers_report.h"

#include "db/dataset.h"
#include "db/plant.h"

// The bonus amount names the journal's own price and bonus: the operation price table, joined
// here as well, has a price column of its own, and the server refuses an unqualified one.
const QString DetailedWorkersReport::Statement = QStringLiteral(
    "select s_caption fio, izdel.marka, vid_oper.vid, oper.naimen, sum(time) as sum_time, "
    "sum(smena.kol_vo)::numeric as kolvo, sum(smena.brak) as brk, sum((kol_vo-brak)* smena.cena) as summa, color, "
    "sum(smena.prize*(kol_vo-brak)*smena.cena/100) as s_prize, "
    "(select coalesce(sum(f.cnt*f.price),0)::numeric(10,2) f_sum7 from accounts_dep.fatigue f where f.d_date<:data2 and f.d_date>=:data1 and f.id_p=smena.w_id and f.id_o=7777 and f.i_night=0), "
    "(select coalesce(sum(f.cnt*f.price),0)::numeric(10,2) f_sum7_n from accounts_dep.fatigue f where f.d_date<:data4 and f.d_date>=:data3 and f.id_p=smena.w_id and f.id_o=7777 and f.i_night=1), "
    "(select coalesce(sum(f.cnt*f.price),0)::numeric(10,2) f_sum8 from accounts_dep.fatigue f where f.d_date<:data6 and f.d_date>=:data5 and f.id_p=smena.w_id and f.id_o=7778 and f.i_night=0), "
    "(select coalesce(sum(f.cnt*f.price),0)::numeric(10,2) f_sum8_n from accounts_dep.fatigue f where f.d_date<:data8 and f.d_date>=:data7 and f.id_p=smena.w_id and f.id_o=7778 and f.i_night=1), "
    "(select coalesce(sum(f.cnt),0)::numeric(10,2) f_sum7h from accounts_dep.fatigue f where f.d_date<:data12 and f.d_date>=:data11 and f.id_p=smena.w_id and f.id_o=7777 and f.i_night=0), "
    "(select coalesce(sum(f.cnt),0)::numeric(10,2) f_sum7h_n from accounts_dep.fatigue f where f.d_date<:data14 and f.d_date>=:data13 and f.id_p=smena.w_id and f.id_o=7777 and f.i_night=1), "
    "(select coalesce(sum(f.cnt),0)::numeric(10,2) f_sum8h from accounts_dep.fatigue f where f.d_date<:data16 and f.d_date>=:data15 and f.id_p=smena.w_id and f.id_o=7778 and f.i_night=0), "
    "(select coalesce(sum(f.cnt),0)::numeric(10,2) f_sum8h_n from accounts_dep.fatigue f where f.d_date<:data18 and f.d_date>=:data17 and f.id_p=smena.w_id and f.id_o=7778 and f.i_night=1) "
    "from cmn_contractor.person person,accounts_dep.izdel,accounts_dep.oper,accounts_dep.smena,accounts_dep.vid_oper "
    "where smena.o_id=oper.id and smena.w_id=s_code::integer and smena.i_id=izdel.id and smena.o_id=oper.id "
    "and w_id=s_code::integer and oper.vid=vid_oper.id and smena.data<:data10 and smena.data>=:data9 "
    "group by fio, marka,vid_oper.vid, oper.naimen, color, w_id order by fio, marka, vid_oper.vid, oper.naimen");

namespace {

// Layout of the summary table in the worker's footer.
constexpr double TableHeadingTop = 9.3;
constexpr double FirstRowTop = 15.3;
constexpr double RowStep = 6.1;
constexpr double RowLabelLeft = 84.9;
constexpr double HoursLeft = 107.7;
constexpr double MoneyLeft = 132.0;
constexpr double NetMoneyLeft = 163.8;
constexpr double ValueWidth = 22.8;
// Labels (9 pt) and values (11 pt) of a row share one line, centred on it.
constexpr double RowHeight = 4.6;

const ReportColumn Summa("summa");
const ReportColumn SumTime("sum_time");
// Money and hours of household (7) and average-piecework (8) work, by day and by night (_n).
const ReportColumn ExtraMoney[] = {"f_sum7", "f_sum7_n", "f_sum8", "f_sum8_n"};
const ReportColumn ExtraHours[] = {"f_sum7h", "f_sum7h_n", "f_sum8h", "f_sum8h_n"};

// The worker's piecework money and hours, and the totals with household and average-piecework work.
double pieceMoney(const ReportContext &c) { return c.sum(Summa); }
double pieceHours(const ReportContext &c) { return c.sum(SumTime); }
double totalMoney(const ReportContext &c)
{
    double total = pieceMoney(c);
    for (const ReportColumn &column : ExtraMoney)
        total += c.number(column);
    return total;
}
double totalHours(const ReportContext &c)
{
    double total = pieceHours(c);
    for (const ReportColumn &column : ExtraHours)
        total += c.number(column);
    return total;
}

ReportItem rowLabel(const QString &text, int row)
{
    return ReportItem::label(text, RowLabelLeft, FirstRowTop + row * RowStep).size(9).bold().tall(RowHeight).middle();
}

// Money of the summary table prints with two decimals, hours whole, so that no value runs past
// its box (money without the coefficient has as many decimals as a division gives).
const QString Money = QStringLiteral("#0.00");
const QString Hours = QStringLiteral("#0");

ReportItem value(ReportItem::Compute compute, double left, int row, const QString &mask)
{
    return ReportItem::computed(std::move(compute), left, FirstRowTop + row * RowStep, ValueWidth)
        .size(11).bold().centred().filled(Qt::white).number().tall(RowHeight).middle().masked(mask);
}

ReportItem column(const char *name, double left, int row, const QString &mask)
{
    const ReportColumn column(name);
    return value([column](const ReportContext &c) { return c.value(column); }, left, row, mask);
}

ReportItem columnWithout(const char *name, int row)
{
    const ReportColumn column(name);
    return value([column](const ReportContext &c) { return c.number(column) / Plant::RegionalFactor; },
                 NetMoneyLeft, row, Money);
}

} // namespace

double DetailedWorkersReport::averageHourPrice(double money, double hours)
{
    return hours == 0 ? 0.0 : money / hours;
}

DetailedWorkersReport::DetailedWorkersReport(DataModule *module, QObject *parent)
    : PeriodReport(module, QStringLiteral("TForm20"), QStringLiteral("w_Report"), 9,
                   QStringLiteral("   Детальный отчет по рабочим за период с "), parent)
{
    query->setSql(Statement);
    layout.title = QStringLiteral("Детальный отчет по рабочим");

    const QString mask2 = Money;
    const QString whole = QStringLiteral("#0");

    const ReportBand headingBand = heading(0.0, 10, {
        columnHeading(QStringLiteral("Брак"), 124.1),
        columnHeading(QStringLiteral("Количество"), 133.3),
        columnHeading(QStringLiteral("Сумма"), 157.4),
    });
    const ReportBand totalBand = grandTotal({
        grandLabel(106.1),
        grandSum(QStringLiteral("brk"), 132.0, 11.4).masked(whole),
        grandSum(QStringLiteral("kolvo"), 145.0, 19.3).masked(whole),
        grandSum(QStringLiteral("summa"), 165.9, 23.5).masked(mask2),
    });
    layout.groups << ReportGroup::once(headingBand, totalBand);

    ReportBand workerFooter(57.9, {
        total(QStringLiteral("brk"), 128.3, 1.3, 9.0).masked(whole),
        total(QStringLiteral("kolvo"), 145.5, 1.3, 19.3).masked(whole),
        total(QStringLiteral("summa"), 169.9, 1.3, 19.6).masked(mask2),

        ReportItem::label(QStringLiteral("Часы"), 115.1, TableHeadingTop).size(9).bold(),
        ReportItem::label(QStringLiteral("Сумма с р/к (р.)"), 131.5, TableHeadingTop).size(9).bold(),
        ReportItem::label(QStringLiteral("Сумма без р/к (р.)"), 161.7, TableHeadingTop).size(9).bold(),

        rowLabel(QStringLiteral("Хоз. раб. (дн.)"), 0),
        column("f_sum7h", HoursLeft, 0, Hours),
        column("f_sum7", MoneyLeft, 0, Money),
        columnWithout("f_sum7", 0),

        rowLabel(QStringLiteral("Хоз. раб. (нч.)"), 1),
        column("f_sum7h_n", HoursLeft, 1, Hours),
        column("f_sum7_n", MoneyLeft, 1, Money),
        columnWithout("f_sum7_n", 1),

        rowLabel(QStringLiteral("Ср. сд. (дн.)"), 2),
        column("f_sum8h", HoursLeft, 2, Hours),
        column("f_sum8", MoneyLeft, 2, Money),
        columnWithout("f_sum8", 2),

        rowLabel(QStringLiteral("Ср. сд. (нч.)"), 3),
        column("f_sum8h_n", HoursLeft, 3, Hours),
        column("f_sum8_n", MoneyLeft, 3, Money),
        columnWithout("f_sum8_n", 3),

        rowLabel(QStringLiteral("Сдел."), 4),
        value(pieceHours, HoursLeft, 4, Hours),
        value(pieceMoney, MoneyLeft, 4, mask2),
        value([](const ReportContext &c) { return pieceMoney(c) / Plant::RegionalFactor; }, NetMoneyLeft, 4, mask2),

        rowLabel(QStringLiteral("Итого:"), 5),
        value(totalHours, HoursLeft, 5, mask2),
        value(totalMoney, MoneyLeft, 5, mask2),
        value([](const ReportContext &c) { return totalMoney(c) / Plant::RegionalFactor; }, NetMoneyLeft, 5, mask2),

        rowLabel(QStringLiteral("Цена ср. сд. за 1 ч.:"), 6),
        value([](const ReportContext &c) { return averageHourPrice(totalMoney(c), totalHours(c)); },
              MoneyLeft, 6, mask2),
        value([](const ReportContext &c) { return averageHourPrice(totalMoney(c) / Plant::RegionalFactor, totalHours(c)); },
              NetMoneyLeft, 6, mask2),
    });
    ReportBand workerHeader = groupHeader(QStringLiteral("fio"));
    workerHeader.keepingSpace(workerFooter.height);
    layout.groups << ReportGroup::by(QStringLiteral("fio"), workerHeader, workerFooter);

    layout.detail = ReportBand(4.2, {
        ReportItem::field(QStringLiteral("marka"), 0.3, 0.4, 41.0).size(8).filled(Qt::white),
        ReportItem::field(QStringLiteral("vid"), 42.9, 0.4, 29.1).size(8).centred().filled(Qt::white),
        ReportItem::field(QStringLiteral("color"), 73.6, 0.4, 16.1).size(8).masked(whole).centred().filled(Qt::white),
        ReportItem::computed(productKindText, 91.3, 0.4, 29.9).size(8).filled(Qt::white),
        ReportItem::field(QStringLiteral("brk"), 128.1, 0.4, 9.0).size(8).masked(whole).centred().filled(Qt::white),
        ReportItem::field(QStringLiteral("kolvo"), 146.3, 0.4, 17.5).size(8).masked(whole).centred().filled(Qt::white),
        ReportItem::field(QStringLiteral("summa"), 169.9, 0.4, 19.6).size(8).masked(mask2).centred().filled(Qt::white),
    });
    layout.pageFooter = pageFooter();
}
