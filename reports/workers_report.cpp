#include "reports/workers_report.h"

#include "db/dataset.h"
#include "db/plant.h"

const QString WorkersReport::Statement = QStringLiteral(
    "select person.s_caption fio, sum(smena.kol_vo-smena.brak)::numeric(10,2) as kolvo,vid_oper.vid, "
    "sum((kol_vo-brak)*smena.cena)::numeric(10,2) as summa,izdel.nom, oper.naimen, color, "
    "(select coalesce(sum(f.cnt*f.price),0)::numeric(10,2) f_sum7 from accounts_dep.fatigue f where f.d_date<:data4 and f.d_date>=:data3 and f.id_p=smena.w_id and f.id_nom=izdel.id_nom and f.id_o=7777), "
    "(select coalesce(sum(f.cnt*f.price),0)::numeric(10,2) f_sum8 from accounts_dep.fatigue f where f.d_date<:data6 and f.d_date>=:data5 and f.id_p=smena.w_id and f.id_nom=izdel.id_nom and f.id_o=7778), "
    "(select coalesce(sum(f.cnt*f.price),0)::numeric(10,2) f_sum78 from accounts_dep.fatigue f where f.d_date<:data8 and f.d_date>=:data7 and f.id_p=smena.w_id) "
    "from cmn_contractor.person person,accounts_dep.smena,accounts_dep.izdel,accounts_dep.vid_oper, accounts_dep.oper "
    "where w_id=s_code::integer and izdel.id=smena.i_id and vid_oper.id=oper.vid and oper.id=smena.o_id "
    "and smena.data<:data2 and smena.data>=:data1 "
    "group by fio, izdel.nom, vid_oper.vid, smena.w_id, izdel.id_nom, oper.naimen, color order by fio, izdel.nom");

namespace {

const ReportColumn Summa(QStringLiteral("summa"));
const ReportColumn HouseholdMoney(QStringLiteral("f_sum7"));
const ReportColumn AverageMoney(QStringLiteral("f_sum8"));
const ReportColumn AllEntriesMoney(QStringLiteral("f_sum78"));

double summa(const ReportRow &r)
{
    return r.number(Summa);
}

double summaWithout(const ReportRow &r)
{
    return r.number(Summa) / Plant::RegionalFactor;
}

} // namespace

WorkersReport::WorkersReport(DataModule *module, QObject *parent)
    : PeriodReport(module, QStringLiteral("TForm16"), QStringLiteral("t_Report"), 4,
                   QStringLiteral("   Отчет по рабочим за период с "), parent)
{
    query->setSql(Statement);
    layout.title = QStringLiteral("Отчет по рабочим");

    const QString mask3 = QStringLiteral("#0.000");
    const QString mask2 = QStringLiteral("#0.00");
    const QString whole = QStringLiteral("#0");

    // heading and grand total.
    const ReportBand headingBand = heading(0.3, 10, {});
    const ReportBand totalBand = grandTotal({
        grandLabel(114.8),
        grandSum(QStringLiteral("summa"), 129.4, 28.0).masked(mask2),
        grandSum(summaWithout, 159.0, 28.0).masked(mask2),
    }, GrandTotalColour);
    layout.groups << ReportGroup::once(headingBand, totalBand);

    // Worker: the column heading of the money without the coefficient rides on its header.
    ReportBand workerHeader = groupHeader(QStringLiteral("fio"));
    ReportItem moneyHeading = columnHeading(QStringLiteral("Сумма без Р/К"), 163.2).centred();
    moneyHeading.width = 25.1;
    moneyHeading.top = 0.6;
    workerHeader.items << moneyHeading;
    ReportBand workerFooter(12.7, {
        total(QStringLiteral("summa"), 137.8, 1.1, 23.8).masked(mask2),
        total(summaWithout, 163.2, 1.1, 23.8).masked(mask2),
        ReportItem::computed([](const ReportContext &c) {
            return c.sum(Summa) + c.number(AllEntriesMoney);
        }, 137.8, 6.3, 23.8).masked(mask3).bold().centred().filled(TotalFieldColour),
        ReportItem::computed([](const ReportContext &c) {
            return (c.sum(Summa) + c.number(AllEntriesMoney)) / Plant::RegionalFactor;
        }, 163.2, 6.3, 23.8).masked(mask3).bold().centred().filled(TotalFieldColour),
    });
    workerFooter.ruled(ReportRules::Bottom);
    layout.groups << ReportGroup::by(QStringLiteral("fio"), workerHeader, workerFooter);

    // Product within the worker: white, with the household and average-piecework money of the
    // product's nomenclature in its footer.
    ReportBand productFooter(11.6, {
        ReportItem::label(QStringLiteral("Хоз.р.:"), 38.6, 1.1).bold(),
        ReportItem::field(QStringLiteral("f_sum7"), 54.2, 1.1, 19.3).masked(mask2).bold().centred().filled(Qt::white),
        ReportItem::label(QStringLiteral("Ср. сд.:"), 78.8, 1.1).bold(),
        ReportItem::field(QStringLiteral("f_sum8"), 93.4, 1.1, 19.3).masked(mask2).bold().centred().filled(Qt::white),
        total(QStringLiteral("kolvo"), 117.5, 1.1, 19.3).masked(whole).filled(Qt::white),
        total(summa, 137.8, 1.1, 23.8).masked(mask3).filled(Qt::white),
        total(summaWithout, 163.2, 1.1, 23.8).masked(mask3).filled(Qt::white),
        ReportItem::label(QStringLiteral("Итого:"), 123.3, 6.3).bold(),
        ReportItem::computed([](const ReportContext &c) {
            return c.sum(Summa) + c.number(HouseholdMoney) + c.number(AverageMoney);
        }, 137.8, 6.3, 23.8).masked(mask3).bold().centred().filled(Qt::white),
        ReportItem::computed([](const ReportContext &c) {
            return (c.sum(Summa) + c.number(HouseholdMoney) + c.number(AverageMoney)) / Plant::RegionalFactor;
        }, 163.2, 6.3, 23.8).masked(mask3).bold().centred().filled(Qt::white),
    });
    ReportBand productHeader = groupHeader(QStringLiteral("nom"), Qt::white);
    productHeader.keepingSpace(productFooter.height);
    layout.groups << ReportGroup::by(QStringLiteral("nom"), productHeader, productFooter);

    layout.detail = ReportBand(4.2, {
        ReportItem::computed(productKindText, 0.3, 0.3, 42.6).filled(Qt::white),
        ReportItem::field(QStringLiteral("vid"), 44.4, 0.3, 38.6).centred().filled(Qt::white),
        ReportItem::computed(colourText, 84.7, 0.3, 28.0).filled(Qt::white),
        ReportItem::field(QStringLiteral("kolvo"), 117.5, 0.3, 19.3).masked(whole).centred().filled(Qt::white),
        ReportItem::field(QStringLiteral("summa"), 138.1, 0.3, 23.5).masked(mask3).centred().filled(Qt::white),
    });
    layout.pageFooter = pageFooter();
}
