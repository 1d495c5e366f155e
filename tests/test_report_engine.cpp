// The banded report engine: value formatting, page generation and the PDF it writes (the preview
// and printing are tested with the windows, in test_reports).
// Pages are checked from the PDF's text with positions, as poppler's pdftotext reads it.
#include "reports/report_dataset.h"
#include "reports/report_document.h"
#include "reports/report_engine.h"
#include "reports/report_format.h"
#include "reports/report_layout.h"
#include "reports/report_page_sink.h"
#include "support/pdf_text.h"

#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <cmath>

namespace {

PdfText pdfOf(const ReportDocument &doc)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("report.pdf"));
    if (!doc.savePdf(path))
        qFatal("the report could not be saved as PDF");
    return readPdf(path);
}

QVariantList row(std::initializer_list<QVariant> values)
{
    return QVariantList(values);
}

// A report in the shape of the period reports: a heading printed once with the grand total as
// its footer, workers, products within a worker, and the page number at the foot of each page.
ReportLayout workersLayout()
{
    ReportLayout layout;
    layout.title = QStringLiteral("Отчет по рабочим");

    ReportBand heading(6.0, {
        ReportItem::label(QStringLiteral("Данные"), 0.3, 0.5).named(QStringLiteral("QRLabel1")).size(10).bold(),
        ReportItem::label(QStringLiteral("Сумма"), 163.2, 0.5, 25.1).bold().centred().filled(Qt::white),
    });
    heading.filled(QColor(0xF4, 0xF4, 0xF4)).withChild(ReportBand(0.5));
    ReportBand grandTotal(7.0, {
        ReportItem::label(QStringLiteral("Итого:"), 114.8, 1.0).size(11).bold(),
        ReportItem::sum(QStringLiteral("summa"), 129.4, 1.0, 28.0).masked(QStringLiteral("#0.00")).size(11).bold().centred(),
    });
    grandTotal.ruled(ReportRules::All);
    layout.groups << ReportGroup::once(heading, grandTotal);

    ReportBand workerHeader(5.0, {ReportItem::field(QStringLiteral("fio"), 0.3, 0.2).size(10).bold()});
    workerHeader.filled(QColor(0xE0, 0xE0, 0xE0));
    ReportBand workerFooter(12.0, {
        ReportItem::sum(QStringLiteral("summa"), 137.8, 1.1, 23.8).masked(QStringLiteral("#0.00")).bold().centred(),
        // the same sum running over the whole report
        ReportItem::sum(QStringLiteral("summa"), 163.2, 1.1, 23.8).masked(QStringLiteral("#0.00")).bold().centred().overWholeReport(),
        // a per-worker column next to the worker's sum, as a footer reads it from its group
        ReportItem::computed([](const ReportContext &c) { return c.sum(QStringLiteral("summa")) + c.number(QStringLiteral("t_Report.f_sum78")); },
                             137.8, 6.3, 23.8).masked(QStringLiteral("#0.000")).centred(),
    });
    workerFooter.ruled(ReportRules::Bottom);
    layout.groups << ReportGroup::by(QStringLiteral("fio"), workerHeader, workerFooter);

    ReportBand productHeader(5.0, {ReportItem::field(QStringLiteral("nom"), 0.3, 0.2).size(10).bold()});
    ReportBand productFooter(5.3, {
        ReportItem::sum(QStringLiteral("kolvo"), 117.5, 0.5, 19.3).bold().centred(),
        ReportItem::sum([](const ReportRow &r) { return r.number(QStringLiteral("summa")) / 1.2; }, 163.2, 0.5, 23.8)
            .masked(QStringLiteral("#0.000")).bold().centred(),
    });
    productHeader.keepingSpace(productFooter.height);
    layout.groups << ReportGroup::by(QStringLiteral("nom"), productHeader, productFooter);

    layout.detail = ReportBand(4.2, {
        ReportItem::computed([](const ReportContext &c) {
            return c.number(QStringLiteral("naimen")) == 0 ? QStringLiteral("Готовая") : QStringLiteral("Заготовки");
        }, 0.3, 0, 42.6),
        ReportItem::field(QStringLiteral("vid"), 44.4, 0, 38.6).centred(),
        ReportItem::field(QStringLiteral("kolvo"), 117.5, 0, 19.3).number().centred(),
        ReportItem::field(QStringLiteral("summa"), 138.1, 0, 23.5).masked(QStringLiteral("#0.000")).centred(),
    });
    layout.pageFooter = ReportBand(5.0, {ReportItem::pageNumber(176.2, 0.5, 11.9).rightAligned()});
    return layout;
}

ReportDataSet workersData()
{
    ReportDataSet data({QStringLiteral("fio"), QStringLiteral("nom"), QStringLiteral("vid"), QStringLiteral("naimen"),
                        QStringLiteral("kolvo"), QStringLiteral("summa"), QStringLiteral("f_sum78")});
    // Decimals arrive as texts; the worker's name once with blanks around it.
    data.appendRow(row({QStringLiteral(" Иванов "), QStringLiteral("Кольцо"), QStringLiteral("Токарная"), 0, QStringLiteral("10"), QStringLiteral("100.5"), QStringLiteral("20.00")}));
    data.appendRow(row({QStringLiteral("Иванов"), QStringLiteral("Кольцо"), QStringLiteral("Окраска"), 1, 5, 0.25, QStringLiteral("20.00")}));
    data.appendRow(row({QStringLiteral("Иванов"), QStringLiteral("Ось"), QStringLiteral("Токарная"), 0, QStringLiteral("2.5"), QStringLiteral("12,345"), QStringLiteral("20.00")}));
    data.appendRow(row({QStringLiteral("Петров"), QStringLiteral("Кольцо"), QStringLiteral("Токарная"), 0, 3, 30.0, QVariant()}));
    return data;
}

} // namespace

class TestReportEngine : public QObject {
    Q_OBJECT
private slots:
    void readsNumbers_data();
    void readsNumbers();
    void formatsValues_data();
    void formatsValues();
    void rejectsBadMasks();
    void readsColumnsByName();
    void rejectsColumnsTheDataLacks();

    void printsGroupsAndTotals();
    void numbersPages();
    void keepsGroupHeaderWithItsFooter_data();
    void keepsGroupHeaderWithItsFooter();
    void repeatsColumnHeaderOnEveryPage();
    void emptyDataSetStillGivesAPage();
    void bandTallerThanPageDoesNotStall();
    void alignsAndClipsItems();
    void paintsBackgroundsRulesAndFonts();
    void streamsPagesAsTheyAreMade();
};

void TestReportEngine::readsNumbers_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<bool>("isNumber");
    QTest::addColumn<double>("number");
    QTest::newRow("exact decimal text") << QVariant(QStringLiteral("12.500000")) << true << 12.5;
    QTest::newRow("negative") << QVariant(QStringLiteral("-0.25")) << true << -0.25;
    QTest::newRow("comma") << QVariant(QStringLiteral("12,345")) << true << 12.345;
    QTest::newRow("whole text") << QVariant(QStringLiteral("1078")) << true << 1078.0;
    QTest::newRow("long digits") << QVariant(QStringLiteral("1925.666666666666666666666666666666666666666666666667")) << true << 1925.6666666666667;
    QTest::newRow("spaces around") << QVariant(QStringLiteral(" 7.5 ")) << true << 7.5;
    QTest::newRow("plus sign") << QVariant(QStringLiteral("+3")) << true << 3.0;
    QTest::newRow("exponent") << QVariant(QStringLiteral("1e3")) << true << 1000.0;
    QTest::newRow("two points") << QVariant(QStringLiteral("1.2.3")) << false << 0.0;
    QTest::newRow("minus alone") << QVariant(QStringLiteral("-")) << false << 0.0;
    QTest::newRow("empty") << QVariant(QString()) << false << 0.0;
    QTest::newRow("word") << QVariant(QStringLiteral("Иванов")) << false << 0.0;
    QTest::newRow("null") << QVariant() << false << 0.0;
    QTest::newRow("double") << QVariant(0.1) << true << 0.1;
    QTest::newRow("int") << QVariant(-21) << true << -21.0;
}

// Decimal texts of a report's rows are read as numbers, exactly as typed, whatever their form.
void TestReportEngine::readsNumbers()
{
    QFETCH(QVariant, value);
    QFETCH(bool, isNumber);
    QFETCH(double, number);
    double read = -999;
    QCOMPARE(ReportFormat::toNumber(value, &read), isNumber);
    if (isNumber)
        QCOMPARE(read, number);
}

void TestReportEngine::formatsValues_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("mask");
    QTest::addColumn<bool>("asNumber");
    QTest::addColumn<QString>("expected");

    const QString m0 = QStringLiteral("#0");
    const QString m2 = QStringLiteral("#0.00");
    const QString m3 = QStringLiteral("#0.000");
    QTest::newRow("double, two decimals") << QVariant(1234.5) << m2 << false << "1234,50";
    QTest::newRow("decimal text with point") << QVariant(QStringLiteral("1234.5")) << m2 << false << "1234,50";
    QTest::newRow("decimal text with comma") << QVariant(QStringLiteral("12,3456")) << m3 << false << "12,346";
    QTest::newRow("integer, three decimals") << QVariant(7) << m3 << false << "7,000";
    QTest::newRow("whole mask rounds") << QVariant(2.5) << m0 << false << "3";
    QTest::newRow("negative rounds away from zero") << QVariant(-2.5) << m0 << false << "-3";
    QTest::newRow("half up on decimal digits") << QVariant(2.675) << m2 << false << "2,68";
    QTest::newRow("half up on text") << QVariant(QStringLiteral("1.0005")) << m3 << false << "1,001";
    QTest::newRow("carry into the whole part") << QVariant(999.995) << m2 << false << "1000,00";
    QTest::newRow("no negative zero") << QVariant(-0.004) << m2 << false << "0,00";
    QTest::newRow("leading zero kept") << QVariant(0.5) << m2 << false << "0,50";
    QTest::newRow("binary noise hidden") << QVariant(0.1 + 0.2) << m3 << false << "0,300";
    QTest::newRow("thousands grouped") << QVariant(1234567.891) << QStringLiteral("#,##0.00") << false << "1 234 567,89";
    QTest::newRow("null prints nothing") << QVariant() << m2 << false << "";
    QTest::newRow("empty text prints nothing") << QVariant(QString()) << m2 << false << "";
    QTest::newRow("text that is no number") << QVariant(QStringLiteral("н/д")) << m2 << false << "н/д";
    QTest::newRow("plain double") << QVariant(12.5) << QString() << false << "12,5";
    QTest::newRow("plain whole double") << QVariant(150.0) << QString() << false << "150";
    QTest::newRow("plain sum with noise") << QVariant(0.1 + 0.2) << QString() << false << "0,3";
    QTest::newRow("plain big number") << QVariant(1e15) << QString() << false << "1000000000000000";
    QTest::newRow("plain small number") << QVariant(0.000125) << QString() << false << "0,000125";
    QTest::newRow("plain integer") << QVariant(150) << QString() << false << "150";
    QTest::newRow("plain long integer") << QVariant(qlonglong(12345678901234567LL)) << QString() << false << "12345678901234567";
    QTest::newRow("decimal text as stored") << QVariant(QStringLiteral("12.50")) << QString() << false << "12.50";
    QTest::newRow("decimal text as number") << QVariant(QStringLiteral("12.50")) << QString() << true << "12,5";
    QTest::newRow("date day first") << QVariant(QDate(2007, 11, 1)) << QString() << false << "01.11.2007";
}

void TestReportEngine::formatsValues()
{
    QFETCH(QVariant, value);
    QFETCH(QString, mask);
    QFETCH(bool, asNumber);
    QFETCH(QString, expected);
    QCOMPARE(ReportFormat::format(value, mask, asNumber), expected);
}

void TestReportEngine::rejectsBadMasks()
{
    for (const char *mask : {"#0.0x", "abc", ".", "0#.00", "#0.#0"})
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument, ReportFormat::checkMask(QString::fromLatin1(mask)));

    // A bad mask shows even where no value would ever be masked: on an empty data set.
    ReportLayout layout;
    layout.groups << ReportGroup::once(ReportBand(5, {ReportItem::sum(QStringLiteral("a"), 0, 0, 10).masked(QStringLiteral("#0,0.0a"))}));
    QVERIFY_THROWS_EXCEPTION(std::invalid_argument, ReportEngine::generate(layout, ReportDataSet({QStringLiteral("a")})));
}

void TestReportEngine::readsColumnsByName()
{
    ReportDataSet data({QStringLiteral("fio"), QStringLiteral("f_sum7"), QStringLiteral("naimen")});
    data.appendRow(row({QStringLiteral("Иванов"), QStringLiteral("12.5"), 0}));
    data.appendRow(row({QStringLiteral("Петров"), QVariant(), 1}));
    QVERIFY_THROWS_EXCEPTION(std::invalid_argument, data.appendRow(row({1, 2})));

    const ReportRow first = data.row(0);
    QCOMPARE(first.value(QStringLiteral("t_Report.f_sum7")).toString(), QStringLiteral("12.5"));
    QCOMPARE(first.value(QStringLiteral("FIO")).toString(), QStringLiteral("Иванов"));
    QCOMPARE(first.number(QStringLiteral("f_sum7")), 12.5);
    QCOMPARE(data.row(1).number(QStringLiteral("f_sum7")), 0.0); // null counts as 0
    QVERIFY_THROWS_EXCEPTION(std::invalid_argument, first.value(QStringLiteral("f_sum9")));

    const ReportDataSet blanks = data.filtered([](const ReportRow &r) { return r.number(QStringLiteral("naimen")) == 1; });
    QCOMPARE(blanks.rowCount(), 1);
    QCOMPARE(blanks.row(0).value(QStringLiteral("fio")).toString(), QStringLiteral("Петров"));

    // A column a layout names once is matched anew for data sets of other columns, whichever
    // it read last; one that lacks it still fails loudly.
    const ReportColumn summa(QStringLiteral("t_Report.summa"));
    ReportDataSet one({QStringLiteral("summa"), QStringLiteral("fio")});
    one.appendRow(row({1.5, QStringLiteral("А")}));
    ReportDataSet other({QStringLiteral("fio"), QStringLiteral("kolvo"), QStringLiteral("SUMMA")});
    other.appendRow(row({QStringLiteral("Б"), 7, 2.5}));
    for (int i = 0; i < 2; ++i) {
        QCOMPARE(one.row(0).number(summa), 1.5);
        QCOMPARE(other.row(0).number(summa), 2.5);
        QCOMPARE(other.filtered([](const ReportRow &) { return true; }).row(0).number(summa), 2.5);
    }
    QVERIFY_THROWS_EXCEPTION(std::invalid_argument, data.row(0).value(summa));
}

void TestReportEngine::rejectsColumnsTheDataLacks()
{
    const ReportDataSet empty({QStringLiteral("fio")});
    // in a field, in a sum and in a group expression, even with no rows to print
    ReportLayout a;
    a.detail = ReportBand(4, {ReportItem::field(QStringLiteral("fio_x"), 0, 0, 10)});
    ReportLayout b;
    b.groups << ReportGroup::once(ReportBand(4), ReportBand(4, {ReportItem::sum(QStringLiteral("summa"), 0, 0, 10)}));
    ReportLayout c;
    c.groups << ReportGroup::by(QStringLiteral("nom"), ReportBand(4));
    for (const ReportLayout *layout : {&a, &b, &c}) {
        try {
            ReportEngine::generate(*layout, empty);
            QFAIL("a layout naming a missing column was generated");
        } catch (const std::invalid_argument &e) {
            QVERIFY(QString::fromUtf8(e.what()).contains(QStringLiteral("нет поля")));
        }
    }
}

void TestReportEngine::printsGroupsAndTotals()
{
    ReportLayout layout = workersLayout();
    QVERIFY(layout.setText(QStringLiteral("QRLabel1"), QStringLiteral("   Отчет по рабочим за период с 01.11.2007 по 01.12.2007")));
    QVERIFY(!layout.setText(QStringLiteral("QRLabel99"), QStringLiteral("x")));
    const ReportDocument doc = ReportEngine::generate(layout, workersData());
    QCOMPARE(doc.pageCount(), 1);
    const PdfText pdf = pdfOf(doc);
    QCOMPARE(pdf.pages.size(), 1);

    const QStringList expected = {
        QStringLiteral("Отчет по рабочим за период с 01.11.2007 по 01.12.2007 Сумма"),
        QStringLiteral("Иванов"),
        QStringLiteral("Кольцо"),
        QStringLiteral("Готовая Токарная 10 100,500"),
        QStringLiteral("Заготовки Окраска 5 0,250"),
        QStringLiteral("15 83,958"),                  // product footer: 100.75 / 1.2
        QStringLiteral("Ось"),
        QStringLiteral("Готовая Токарная 2,5 12,345"),
        QStringLiteral("2,5 10,288"),
        QStringLiteral("113,10 113,10"),              // worker's sum, running sum
        QStringLiteral("133,095"),                    // worker's sum + f_sum78 of his group
        QStringLiteral("Петров"),
        QStringLiteral("Кольцо"),
        QStringLiteral("Готовая Токарная 3 30,000"),
        QStringLiteral("3 25,000"),
        QStringLiteral("30,00 143,10"),               // reset per worker / over the whole report
        QStringLiteral("30,000"),                     // Петров has no entries: null counts as 0
        QStringLiteral("Итого: 143,10"),
        QStringLiteral("1"),
    };
    QCOMPARE(pdf.lines(1), expected);

    // Positions: millimetres from the printable area's corner, as the layout gives them.
    const QList<double> tops = pdf.lineTops(1);
    const PdfWord ivanov = pdf.find(QStringLiteral("Иванов"));
    QVERIFY2(std::abs(ivanov.x0 - 0.3) < 0.3, qPrintable(QString::number(ivanov.x0)));
    QVERIFY(std::abs(ivanov.y0 - (6.0 + 0.5 + 0.2)) < 0.8); // heading, spacer child, worker header
    const PdfWord page = pdf.find(QStringLiteral("1"));
    QVERIFY(page.y0 > 277 - 5 && page.y1 < 277 + 0.5);
    QVERIFY(std::is_sorted(tops.begin(), tops.end()));
}

void TestReportEngine::numbersPages()
{
    ReportLayout layout;
    layout.detail = ReportBand(4.2, {ReportItem::field(QStringLiteral("n"), 0, 0, 20)});
    layout.pageFooter = ReportBand(5.0, {ReportItem::pageNumber(150, 0.5, 37.9, QStringLiteral("Лист %1 из %2")).rightAligned()});
    ReportDataSet data({QStringLiteral("n")});
    for (int i = 1; i <= 150; ++i)
        data.appendRow(row({QStringLiteral("r%1").arg(i)}));

    const PdfText pdf = pdfOf(ReportEngine::generate(layout, data));
    // 272 mm above the footer hold 64 rows of 4.2 mm: 64 + 64 + 22.
    QCOMPARE(pdf.pages.size(), 3);
    for (int p = 1; p <= 3; ++p) {
        const QStringList lines = pdf.lines(p);
        QCOMPARE(lines.last(), QStringLiteral("Лист %1 из 3").arg(p));
        QCOMPARE(lines.first(), QStringLiteral("r%1").arg((p - 1) * 64 + 1));
        QCOMPARE(lines.size(), (p < 3 ? 64 : 22) + 1);
        for (const PdfWord &w : pdf.onPage(p))
            if (w.text.startsWith(QLatin1Char('r')))
                QVERIFY2(w.y1 <= 272 + 0.1, qPrintable(w.text)); // no row runs into the footer
        double right = 0;
        for (const PdfWord &w : pdf.onPage(p)) {
            if (w.y0 > 272)
                right = std::max(right, w.x1);
        }
        QVERIFY2(std::abs(right - 187.9) < 0.3, qPrintable(QString::number(right))); // right-aligned in 150 .. 187.9
    }
}

void TestReportEngine::keepsGroupHeaderWithItsFooter_data()
{
    QTest::addColumn<bool>("keep");
    QTest::newRow("kept with footer") << true;
    QTest::newRow("not kept") << false;
}

void TestReportEngine::keepsGroupHeaderWithItsFooter()
{
    QFETCH(bool, keep);
    // Group 1 takes 10 + 20 * 10 + 30 = 240 mm, leaving 37 mm: room for the second group's
    // header (10 mm), not for the header with its footer (40 mm).
    ReportLayout layout;
    ReportBand header(10, {ReportItem::field(QStringLiteral("g"), 0, 0)});
    const ReportBand footer(30, {ReportItem::label(QStringLiteral("Подвал"), 0, 0)});
    if (keep)
        header.keepingSpace(footer.height);
    layout.groups << ReportGroup::by(QStringLiteral("g"), header, footer);
    layout.detail = ReportBand(10, {ReportItem::field(QStringLiteral("d"), 20, 0)});
    ReportDataSet data({QStringLiteral("g"), QStringLiteral("d")});
    for (int i = 0; i < 20; ++i)
        data.appendRow(row({QStringLiteral("Первая"), QStringLiteral("x%1").arg(i)}));
    data.appendRow(row({QStringLiteral("Вторая"), QStringLiteral("y")}));

    const PdfText pdf = pdfOf(ReportEngine::generate(layout, data));
    QCOMPARE(pdf.pages.size(), 2);
    const PdfWord second = pdf.find(QStringLiteral("Вторая"));
    const PdfWord detail = pdf.find(QStringLiteral("y"));
    if (keep) {
        QCOMPARE(second.page, 2);
        QVERIFY(std::abs(second.y0) < 0.8);
        QCOMPARE(pdf.lines(2), QStringList({QStringLiteral("Вторая"), QStringLiteral("y"), QStringLiteral("Подвал")}));
    } else {
        QCOMPARE(second.page, 1);
        QVERIFY(std::abs(second.y0 - 240) < 0.8);
        QCOMPARE(detail.page, 1);
        QCOMPARE(pdf.lines(2), QStringList({QStringLiteral("Подвал")}));
    }
}

void TestReportEngine::repeatsColumnHeaderOnEveryPage()
{
    // In the shape of the monthly timesheet: landscape, a ruled column header on every page,
    // a detail printed only where the page also has room for the column header's height.
    ReportLayout layout;
    layout.orientation = QPageLayout::Landscape;
    ReportBand columns(6.6, {ReportItem::label(QStringLiteral("Данные за:"), 0, 0).named(QStringLiteral("QRLabel33")).size(10).bold().tall(6.6).middle()});
    for (int day = 1; day <= 31; ++day)
        columns.items << ReportItem::label(QString::number(day), 81.2 + (day - 1) * 5.9, 0, 5.3).size(10).bold().centred()
                             .tall(6.6).middle().ruled(ReportRules::LeftRight);
    columns.items << ReportItem::label(QStringLiteral("Итого"), 264.6, 0).size(10).bold().tall(6.6).middle();
    columns.ruled(ReportRules::TopBottom);
    layout.columnHeader = columns;
    layout.detail = ReportBand(10, {
        ReportItem::field(QStringLiteral("fio"), 0, 0.5, 80.4),
        ReportItem::computed([](const ReportContext &c) { return c.number(QStringLiteral("sd1")) + c.number(QStringLiteral("sd2")); },
                             264.6, 0.5, 10.3).bold().centred(),
    });
    layout.detail.ruled(ReportRules::TopBottom).keepingSpace(6.6);
    layout.pageFooter = ReportBand(5, {ReportItem::pageNumber(252.7, 0, 25.7).rightAligned()});
    QVERIFY(layout.setText(QStringLiteral("QRLabel33"), QStringLiteral("Ноябрь 2007 г.")));

    ReportDataSet data({QStringLiteral("fio"), QStringLiteral("sd1"), QStringLiteral("sd2")});
    for (int i = 1; i <= 40; ++i)
        data.appendRow(row({QStringLiteral("Работник%1").arg(i), 8, QVariant()}));

    const PdfText pdf = pdfOf(ReportEngine::generate(layout, data));
    // 190 - 6.6 - 5 = 178.4 mm; a row needs 10 mm plus 6.6 mm: 17 rows fit per page.
    QCOMPARE(pdf.pages.size(), 3);
    QVERIFY(std::abs(pdf.pages.first().width() - 297) < 0.5 && std::abs(pdf.pages.first().height() - 210) < 0.5);
    for (int p = 1; p <= 3; ++p) {
        const QStringList lines = pdf.lines(p);
        QVERIFY2(lines.first().startsWith(QStringLiteral("Ноябрь 2007 г. 1 2 3")), qPrintable(lines.first()));
        QVERIFY(lines.first().endsWith(QStringLiteral("30 31 Итого")));
        const PdfWord label = pdf.find(QStringLiteral("Ноябрь"), p);
        QVERIFY(label.y0 > 0 && label.y0 < 2);
        QCOMPARE(lines.at(1), QStringLiteral("Работник%1 8").arg((p - 1) * 17 + 1));
        QCOMPARE(lines.size(), (p < 3 ? 17 : 6) + 2);
    }
    const PdfWord day31 = pdf.find(QStringLiteral("31"));
    QVERIFY(std::abs((day31.x0 + day31.x1) / 2 - (81.2 + 30 * 5.9 + 2.65)) < 0.3); // centred in its box
}

void TestReportEngine::emptyDataSetStillGivesAPage()
{
    ReportLayout layout = workersLayout();
    layout.setText(QStringLiteral("QRLabel1"), QStringLiteral("Пусто"));
    const ReportDocument doc = ReportEngine::generate(layout, ReportDataSet(workersData().columns()));
    QCOMPARE(doc.pageCount(), 1);
    const PdfText pdf = pdfOf(doc);
    QCOMPARE(pdf.pages.size(), 1);
    // The heading and the grand total print; the groups with an expression have nothing to print.
    QCOMPARE(pdf.lines(1), QStringList({QStringLiteral("Пусто Сумма"), QStringLiteral("Итого: 0,00"), QStringLiteral("1")}));
}

void TestReportEngine::bandTallerThanPageDoesNotStall()
{
    ReportLayout layout;
    layout.detail = ReportBand(300, {ReportItem::field(QStringLiteral("n"), 0, 0)});
    ReportDataSet data({QStringLiteral("n")});
    for (int i = 0; i < 3; ++i)
        data.appendRow(row({i}));
    QCOMPARE(ReportEngine::generate(layout, data).pageCount(), 3);
}

void TestReportEngine::alignsAndClipsItems()
{
    ReportLayout layout;
    layout.groups << ReportGroup::once(ReportBand(10, {
        ReportItem::label(QStringLiteral("Лево"), 20, 0, 40),
        ReportItem::label(QStringLiteral("Центр"), 70, 0, 40).centred(),
        ReportItem::label(QStringLiteral("Право"), 120, 0, 40).rightAligned(),
        ReportItem::label(QStringLiteral("Двадцать"), 170, 0, 10).centred(), // wider than its box
    }));
    const PdfText pdf = pdfOf(ReportEngine::generate(layout, ReportDataSet()));
    QVERIFY(std::abs(pdf.find(QStringLiteral("Лево")).x0 - 20) < 0.3);
    const PdfWord centre = pdf.find(QStringLiteral("Центр"));
    QVERIFY(std::abs((centre.x0 + centre.x1) / 2 - 90) < 0.3);
    QVERIFY(std::abs(pdf.find(QStringLiteral("Право")).x1 - 160) < 0.3);
    // The clipped text shows its beginning and stops at its box (its last letter may be cut).
    const QStringList lines = pdf.lines(1);
    QCOMPARE(lines.size(), 1);
    const QString clipped = lines.first().section(QLatin1Char(' '), 3);
    QVERIFY2(clipped.size() < 8 && QStringLiteral("Двадцать").startsWith(clipped), qPrintable(clipped));
    const PdfWord cut = pdf.find(clipped);
    QVERIFY(std::abs(cut.x0 - 170) < 0.3);
    QVERIFY(cut.x1 < 180 + 2.5);
}

void TestReportEngine::paintsBackgroundsRulesAndFonts()
{
    ReportLayout layout;
    ReportBand band(20, {
        ReportItem::label(QStringLiteral("Обычный"), 0, 0).size(8),
        ReportItem::label(QStringLiteral("Жирный"), 40, 0).size(11).bold(),
        ReportItem::label(QString(), 100, 5, 30).tall(10).filled(Qt::white).ruled(ReportRules::Left, 0.5),
    });
    band.filled(QColor(0xE0, 0xE0, 0xE0)).ruled(ReportRules::Bottom, 0.5);
    layout.groups << ReportGroup::once(band);
    const ReportDocument doc = ReportEngine::generate(layout, ReportDataSet());

    // 100 dpi: about 3.94 pixels per millimetre; the page starts 10 mm in.
    QImage image(827, 1170, QImage::Format_RGB32);
    image.setDotsPerMeterX(3937);
    image.setDotsPerMeterY(3937);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        doc.paintPage(painter, 0);
    }
    const auto at = [&image](double xMm, double yMm) {
        return image.pixelColor(int((xMm + ReportMarginMm) * 3.937), int((yMm + ReportMarginMm) * 3.937));
    };
    QCOMPARE(at(80, 2), QColor(0xE0, 0xE0, 0xE0));   // band background
    QCOMPARE(at(115, 10), QColor(Qt::white));        // item background on it
    QVERIFY(at(100, 10).lightness() < 80);           // the item's left rule
    QVERIFY(at(150, 19.9).lightness() < 80);         // the band's bottom rule
    QCOMPARE(at(150, 25), QColor(Qt::white));        // nothing below the band

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("fonts.pdf"));
    QVERIFY(doc.savePdf(path));
    QProcess fonts;
    fonts.start(QStringLiteral("pdffonts"), {path});
    QVERIFY(fonts.waitForFinished(30000));
    const QString list = QString::fromUtf8(fonts.readAllStandardOutput());
    // "Arial" is printed with its metric twin on this system; bold is a face of its own.
    QVERIFY2(list.contains(QStringLiteral("LiberationSans-Bold")), qPrintable(list));
    QVERIFY2(QRegularExpression(QStringLiteral("LiberationSans\\s")).match(list).hasMatch()
                 || list.contains(QStringLiteral("LiberationSans-Regular")), qPrintable(list));
    const PdfText pdf = readPdf(path);
    const PdfWord small = pdf.find(QStringLiteral("Обычный"));
    const PdfWord big = pdf.find(QStringLiteral("Жирный"));
    const double ratio = (big.y1 - big.y0) / (small.y1 - small.y0);
    QVERIFY2(std::abs(ratio - 11.0 / 8.0) < 0.05, qPrintable(QString::number(ratio)));
}

void TestReportEngine::streamsPagesAsTheyAreMade()
{
    // Many pages, groups with totals and "page of pages" in the footer: written to a PDF while it
    // is laid out, the report reads exactly as the document generated in full.
    ReportLayout layout;
    ReportBand header(6, {ReportItem::field(QStringLiteral("g"), 0, 0).bold()});
    header.filled(QColor(0xE0, 0xE0, 0xE0));
    const ReportBand footer(8, {ReportItem::sum(QStringLiteral("n"), 100, 1, 30).masked(QStringLiteral("#0.00")).centred()});
    layout.groups << ReportGroup::by(QStringLiteral("g"), header, footer);
    layout.detail = ReportBand(4.2, {
        ReportItem::field(QStringLiteral("t"), 0.3, 0.4, 20).size(8).filled(Qt::white),
        ReportItem::field(QStringLiteral("n"), 100, 0.4, 30).size(8).masked(QStringLiteral("#0.000")).centred().ruled(ReportRules::Bottom),
    });
    layout.pageFooter = ReportBand(5, {ReportItem::pageNumber(120, 1, 60, QStringLiteral("стр. %1 из %2")).rightAligned()});
    ReportDataSet data({QStringLiteral("g"), QStringLiteral("t"), QStringLiteral("n")});
    for (int i = 0; i < 1500; ++i)
        data.appendRow(row({QStringLiteral("Группа %1").arg(i / 70), QStringLiteral("Строка, которая длиннее своего поля %1").arg(i % 13), i * 0.25}));

    const ReportDocument held = ReportEngine::generate(layout, data);
    QVERIFY(held.pageCount() > 20);
    const PdfText expected = pdfOf(held);

    // A sink sees every page, numbered against the final count from the first page on.
    struct Pages : ReportPageSink {
        ReportTextCache texts;
        QStringList footers;
        void take(const ReportPage &page) override
        {
            for (const ReportPrimitive &p : page)
                if (p.type == ReportPrimitive::Text && p.text >= 0 && texts.text(p.text).startsWith(QStringLiteral("стр.")))
                    footers << texts.text(p.text);
        }
    } pages;
    QCOMPARE(ReportEngine::generate(layout, data, pages.texts, pages), held.pageCount());
    QCOMPARE(pages.footers.size(), held.pageCount());
    QCOMPARE(pages.footers.first(), QStringLiteral("стр. 1 из %1").arg(held.pageCount()));
    QCOMPARE(pages.footers.last(), QStringLiteral("стр. %1 из %1").arg(held.pageCount()));

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("streamed.pdf"));
    QVERIFY(ReportEngine::savePdf(layout, data, path));
    const PdfText streamed = readPdf(path);
    QCOMPARE(streamed.pageCount(), held.pageCount());
    for (int page = 1; page <= held.pageCount(); ++page) {
        QCOMPARE(streamed.lines(page), expected.lines(page));
        QCOMPARE(streamed.lineTops(page), expected.lineTops(page));
    }
    QCOMPARE(streamed.lines(held.pageCount()).last(), QStringLiteral("стр. %1 из %1").arg(held.pageCount()));
    QVERIFY(!ReportEngine::savePdf(layout, data, QStringLiteral("/nonexistent-folder/report.pdf")));
}

QTEST_MAIN(TestReportEngine)
#include "test_report_engine.moc"
