#include "reports/detailed_products_report.h"

#include "db/dataset.h"

const QString DetailedProductsReport::Statement = QStringLiteral(
    "select izdel.marka, vid_oper.vid vid, oper.naimen, izdel.nom, sum(smena.kol_vo)::numeric as kolvo, "
    "sum(smena.brak) as brk, sum((kol_vo-brak)*smena.cena) as summa, color, "
    "round((izdel.massa*sum(smena.kol_vo))::numeric,2) as mass "
    "from accounts_dep.izdel,accounts_dep.oper,accounts_dep.smena,accounts_dep.vid_oper "
    "where smena.o_id=oper.id and smena.i_id=izdel.id and smena.o_id=oper.id and oper.vid=vid_oper.id "
    "and smena.data<:data2 and smena.data>=:data1 "
    "group by izdel.nom, marka, vid_oper.vid, oper.naimen, color,massa "
    "order by izdel.nom,marka, vid_oper.vid, oper.naimen");

DetailedProductsReport::DetailedProductsReport(DataModule *module, QObject *parent)
    : PeriodReport(module, QStringLiteral("TForm21"), QStringLiteral("i_Report"), 1,
                   QStringLiteral("   Детальный отчет по продукции за период с "), parent)
{
    query->setSql(Statement);
    layout.title = QStringLiteral("Детальный отчет по продукции");

    const QString mask2 = QStringLiteral("#0.00");
    const QString whole = QStringLiteral("#0");
    // The mass has the two decimals of its statement at most.
    const QString mass = QStringLiteral("#0.##");

    const ReportBand headingBand = heading(0.0, 9, {
        columnHeading(QStringLiteral("Брак"), 124.4),
        columnHeading(QStringLiteral("Коробки"), 134.9),
        columnHeading(QStringLiteral("Кол-во"), 153.5),
        columnHeading(QStringLiteral("Сумма"), 173.8),
    });
    const ReportBand totalBand = grandTotal({
        grandLabel(99.7),
        grandSum(QStringLiteral("brk"), 124.4, 8.5).masked(whole),
        grandSum(QStringLiteral("mass"), 132.8, 18.8).masked(mass),
        grandSum(QStringLiteral("kolvo"), 152.1, 16.7).masked(whole),
        grandSum(QStringLiteral("summa"), 169.9, 19.1).masked(mask2),
    }, GrandTotalColour);
    layout.groups << ReportGroup::once(headingBand, totalBand);

    const ReportBand productFooter(5.3, {
        total(QStringLiteral("brk"), 124.4, 0.8, 8.7).masked(whole),
        total(QStringLiteral("mass"), 132.8, 0.8, 18.8).masked(mask2),
        total(QStringLiteral("kolvo"), 152.1, 0.8, 16.7).masked(whole),
        total(QStringLiteral("summa"), 169.9, 0.8, 20.1).masked(mask2),
    });
    ReportBand productHeader = groupHeader(QStringLiteral("nom"));
    productHeader.keepingSpace(productFooter.height);
    layout.groups << ReportGroup::by(QStringLiteral("nom"), productHeader, productFooter);

    layout.detail = ReportBand(4.2, {
        ReportItem::field(QStringLiteral("marka"), 1.1, 0.3, 52.1).filled(Qt::white),
        ReportItem::field(QStringLiteral("vid"), 52.9, 0.3, 27.8).filled(Qt::white),
        ReportItem::field(QStringLiteral("color"), 81.2, 0.3, 16.7).masked(whole).centred().filled(Qt::white),
        ReportItem::computed(productKindText, 99.5, 0.3, 27.0).filled(Qt::white),
        ReportItem::field(QStringLiteral("brk"), 125.4, 0.3, 6.6).masked(whole).centred().filled(Qt::white),
        ReportItem::field(QStringLiteral("mass"), 133.6, 0.3, 18.8).masked(mass).centred().filled(Qt::white),
        ReportItem::field(QStringLiteral("kolvo"), 152.1, 0.3, 16.7).masked(whole).centred().filled(Qt::white),
        ReportItem::field(QStringLiteral("summa"), 169.9, 0.3, 19.1).masked(QStringLiteral("#0.000")).centred().filled(Qt::white),
    });
    layout.pageFooter = pageFooter();
}
