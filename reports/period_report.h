#pragma once

#include "reports/report_holder.h"

#include <QColor>
#include <QDate>

// The product-kind choice of the period reports and of the product export, in the order of the
// report centre's radio group.
enum class ProductKindChoice { All = 0, Finished = 1, Blanks = 2 };

// One of the four period reports of the report centre. Its query takes the period as pairs of
// parameters data1, data2, …: the odd one of each pair is the start (inclusive), the even one
// the end (exclusive).
class PeriodReport : public ReportHolder {
    Q_OBJECT
public:
    PeriodReport(DataModule *module, const QString &objectName, const QString &queryName,
                 int periodPairs, const QString &titlePrefix, QObject *parent);

    int periodPairs() const { return m_pairs; }
    // The title's beginning, to which the period is added ("   Отчет по рабочим за период с ").
    QString titlePrefix() const { return m_titlePrefix; }

    // Fills every pair of period parameters: data1, data3, … the start, data2, data4, … the end.
    void setPeriod(const QDate &start, const QDate &end);
    // The title for a period: the prefix, the start, " по ", the end, dates in the short format
    // of the workstation's locale (01.11.2007 по 01.12.2007 on a Russian workstation).
    QString periodTitle(const QDate &start, const QDate &end) const;

    // The report as the report centre makes it: the query closed, its period set, the product
    // kind filter applied, opened; the title set; the report prepared with the rows read; the
    // query closed again, also when anything on the way fails.
    PreparedReport make(const QDate &start, const QDate &end, ProductKindChoice kind);

    // Filters the fetched rows by the column naimen: all rows, naimen=0 or naimen=1.
    static void applyKindFilter(DataSet *query, ProductKindChoice kind);

    // Look shared by the period reports.
    static const QColor HeadingColour;      // heading band
    static const QColor GroupColour;        // group header bands
    static const QColor TotalFieldColour;   // total items of the group footers
    static const QColor GrandTotalColour;   // grand total of three of the reports

protected:
    void openForPeriod(const QDate &start, const QDate &end, ProductKindChoice kind);

    // The heading band printed once at the start: the title item QRLabel1, bold on the heading's
    // grey, and the column headings, bold on white; with the 0.5 mm spacer after it.
    static ReportBand heading(double titleLeft, double titleSize, const QList<ReportItem> &headings);
    static ReportItem columnHeading(const QString &text, double left, double size = 9);
    // A group header showing the group's value in bold 10 pt at the left.
    static ReportBand groupHeader(const QString &column, const QColor &background = GroupColour);
    // A total of a group footer: bold 9 pt, centred, on the light grey field.
    static ReportItem total(const QString &column, double left, double top, double width);
    static ReportItem total(ReportItem::RowValue value, double left, double top, double width);
    // The grand total: a box ruled on all four sides, bold 11 pt.
    static ReportBand grandTotal(const QList<ReportItem> &items, const QColor &background = QColor());
    static ReportItem grandLabel(double left);
    static ReportItem grandSum(const QString &column, double left, double width);
    static ReportItem grandSum(ReportItem::RowValue value, double left, double width);
    static ReportBand pageFooter();

    // "Готовая продукция" for kind 0, "Заготовки" for any other.
    static QVariant productKindText(const ReportContext &context);
    // " (грунт)" for colour 1, " (RAL: n)" above 1, a blank for 0 or less.
    static QVariant colourText(const ReportContext &context);

private:
    int m_pairs;
    QString m_titlePrefix;
};
