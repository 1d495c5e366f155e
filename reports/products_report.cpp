#include "reports/products_report.h"

#include "db/dataset.h"

const QString ProductsReport::Statement = QStringLiteral(
    "select sum(smena.kol_vo-smena.brak)::numeric as kolvo, vid_oper.vid, izdel.nom, oper.naimen, color, "
    "round((izdel.massa*sum(smena.kol_vo-smena.brak))::numeric,2) as mass "
    "from accounts_dep.smena,accounts_dep.izdel,accounts_dep.vid_oper, accounts_dep.oper "
    "where izdel.id=smena.i_id and vid_oper.id=oper.vid and oper.id=smena.o_id "
    "and smena.data<:data2 and smena.data>=:data1 "
    "group by izdel.nom,color, oper.naimen, vid_oper.vid, izdel.massa order by izdel.nom");

ProductsReport::ProductsReport(DataModule *module, QObject *parent)
    : PeriodReport(module, QStringLiteral("TForm17"), QStringLiteral("t_Report"), 1,
                   QStringLiteral("   Отчет по продукции за период с "), parent)
{
    query->setSql(Statement);
    layout.title = QStringLiteral("Отчет по продукции");

    const QString whole = QStringLiteral("#0");
    // The mass has the two decimals of its statement at most.
    const QString mass = QStringLiteral("#0.##");

    const ReportBand headingBand = heading(0.0, 10, {
        columnHeading(QStringLiteral("Коробки"), 136.3),
        columnHeading(QStringLiteral("Количество"), 165.1),
    });
    const ReportBand totalBand = grandTotal({
        grandLabel(106.4),
        grandSum(QStringLiteral("mass"), 131.2, 23.5).masked(whole),
        grandSum(QStringLiteral("kolvo"), 160.9, 28.0).masked(whole),
    }, GrandTotalColour);
    layout.groups << ReportGroup::once(headingBand, totalBand);

    const ReportBand productFooter(5.3, {
        total(QStringLiteral("mass"), 133.6, 0.8, 19.3).masked(mass),
        total(QStringLiteral("kolvo"), 163.0, 0.8, 23.8).masked(whole),
    });
    ReportBand productHeader = groupHeader(QStringLiteral("nom"));
    productHeader.keepingSpace(productFooter.height);
    layout.groups << ReportGroup::by(QStringLiteral("nom"), productHeader, productFooter);

    layout.detail = ReportBand(4.2, {
        ReportItem::computed(productKindText, 13.2, 0.3, 40.0).filled(Qt::white),
        ReportItem::field(QStringLiteral("vid"), 54.8, 0.3, 36.2).centred().filled(Qt::white),
        ReportItem::computed(colourText, 92.6, 0.3, 39.4).filled(Qt::white),
        ReportItem::field(QStringLiteral("mass"), 133.6, 0.3, 19.3).masked(mass).centred().filled(Qt::white),
        ReportItem::field(QStringLiteral("kolvo"), 163.0, 0.3, 23.5).masked(whole).centred().filled(Qt::white),
    });
    layout.pageFooter = pageFooter();
}
