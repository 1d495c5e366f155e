#include "reports/products_report.h"

#include "db/dataset.h"

const QString TForm17::Statement = QStringLiteral(
    "select sum(smena.kol_vo-smena.brak)::numeric as kolvo, vid_oper.vid, izdel.nom, oper.naimen, color, "
    "round((izdel.massa*sum(smena.kol_vo-smena.brak))::numeric,2) as mass "
    "from accounts_dep.smena,accounts_dep.izdel,accounts_dep.vid_oper, accounts_dep.oper "
    "where izdel.id=smena.i_id and vid_oper.id=oper.vid and oper.id=smena.o_id "
    "and smena.data<:data2 and smena.data>=:data1 "
    "group by izdel.nom,color, oper.naimen, vid_oper.vid, izdel.massa order by izdel.nom");

TForm17::TForm17(TDataModule6 *module, QObject *parent)
    : PeriodReport(module, QStringLiteral("TForm17"), QStringLiteral("t_Report"), 1,
                   QStringLiteral("   Отчет по продукции за период с "), parent),
      t_Report(Query)
{
    t_Report->setSql(Statement);
    Layout.title = QStringLiteral("Отчет по продукции");

    const QString whole = QStringLiteral("#0");
    // The mass has the two decimals of its statement at most.
    const QString mass = QStringLiteral("#0.##");

    const ReportBand heading = Heading(0.0, 10, {
        ColumnHeading(QStringLiteral("Коробки"), 136.3),
        ColumnHeading(QStringLiteral("Количество"), 165.1),
    });
    const ReportBand grandTotal = GrandTotal({
        GrandLabel(106.4),
        GrandSum(QStringLiteral("mass"), 131.2, 23.5).masked(whole),
        GrandSum(QStringLiteral("kolvo"), 160.9, 28.0).masked(whole),
    }, GrandTotalColour);
    Layout.groups << ReportGroup::once(heading, grandTotal);

    const ReportBand productFooter(5.3, {
        Total(QStringLiteral("mass"), 133.6, 0.8, 19.3).masked(mass),
        Total(QStringLiteral("kolvo"), 163.0, 0.8, 23.8).masked(whole),
    });
    ReportBand productHeader = GroupHeader(QStringLiteral("nom"));
    productHeader.keepingSpace(productFooter.height);
    Layout.groups << ReportGroup::by(QStringLiteral("nom"), productHeader, productFooter);

    Layout.detail = ReportBand(4.2, {
        ReportItem::computed(ProductKindText, 13.2, 0.3, 40.0).filled(Qt::white),
        ReportItem::field(QStringLiteral("vid"), 54.8, 0.3, 36.2).centred().filled(Qt::white),
        ReportItem::computed(ColourText, 92.6, 0.3, 39.4).filled(Qt::white),
        ReportItem::field(QStringLiteral("mass"), 133.6, 0.3, 19.3).masked(mass).centred().filled(Qt::white),
        ReportItem::field(QStringLiteral("kolvo"), 163.0, 0.3, 23.5).masked(whole).centred().filled(Qt::white),
    });
    Layout.pageFooter = PageFooter();
}
