// The printed output of the five report layouts against stored references: a plant of several
// pages per report is laid out, written as PDF by each way the program writes one (straight to a
// file, from a generated document, from the preview that laid it out while shown, on a printer
// printing to a file), and
// compared with the files in tests/data/report_output/: the text as `pdftotext -layout` reads it,
// character for character, and every page as `pdftoppm -r 100 -gray` draws it, pixel by pixel
// within the tolerance below. The references were written by the engine that painted its pages
// with Qt's PDF writer; a change of how pages are painted must keep to them.
//
// TABEL_WRITE_REPORT_OUTPUT=1 writes the references anew instead of comparing (after a deliberate
// change of what a report shows).
#include "support/test_support.h"

#include "db/data_module.h"
#include "db/dataset.h"
#include "reports/detailed_products_report.h"
#include "reports/detailed_workers_report.h"
#include "reports/products_report.h"
#include "reports/report_document.h"
#include "reports/report_preview.h"
#include "reports/shift_timesheet_report.h"
#include "reports/workers_report.h"

#include <QDir>
#include <QImage>
#include <QPageRanges>
#include <QPrinter>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <functional>

namespace {

const QDate Start(2007, 11, 1);
const QDate End(2007, 12, 1);

// A page's raster may differ from its reference by antialiasing along the edges of glyphs and
// rules: at most this share of its pixels by more than an eighth of the grey scale, and on
// average by at most this many grey levels (of 255).
constexpr double MaxDifferingShare = 0.002;
constexpr int DifferingLevel = 32;
constexpr double MaxMeanDifference = 0.5;

QString referenceDir()
{
    return qEnvironmentVariable("TABEL_SOURCE_DIR") + QStringLiteral("/tests/data/report_output");
}

bool writingReferences()
{
    return qEnvironmentVariableIntValue("TABEL_WRITE_REPORT_OUTPUT") == 1;
}

QByteArray run(const QString &program, const QStringList &arguments)
{
    QProcess p;
    p.start(program, arguments);
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        qFatal("%s failed: %s", qPrintable(program), p.readAllStandardError().constData());
    return p.readAllStandardOutput();
}

QByteArray layoutText(const QString &pdf)
{
    return run(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
}

// The pages drawn at 100 dpi in grey, in their order.
QList<QImage> rasters(const QString &pdf, const QString &prefix)
{
    run(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("100"), QStringLiteral("-gray"),
                                     QStringLiteral("-png"), pdf, prefix});
    QList<QImage> pages;
    const QFileInfo base(prefix);
    QStringList files = QDir(base.path()).entryList({base.fileName() + QStringLiteral("-*.png")}, QDir::Files, QDir::Name);
    // pdftoppm pads the page numbers to the same width, so the names sort as the pages.
    for (const QString &f : files)
        pages << QImage(base.path() + QLatin1Char('/') + f).convertToFormat(QImage::Format_Grayscale8);
    return pages;
}

struct Difference {
    double differingShare = 0;
    double meanDifference = 0;
};

Difference compare(const QImage &a, const QImage &b)
{
    Difference d;
    qint64 differing = 0, total = 0;
    for (int y = 0; y < a.height(); ++y) {
        const uchar *ra = a.constScanLine(y);
        const uchar *rb = b.constScanLine(y);
        for (int x = 0; x < a.width(); ++x) {
            const int diff = std::abs(int(ra[x]) - int(rb[x]));
            total += diff;
            if (diff > DifferingLevel)
                ++differing;
        }
    }
    const double pixels = double(a.width()) * a.height();
    d.differingShare = differing / pixels;
    d.meanDifference = total / pixels;
    return d;
}

// Workers with records on several products and kinds, household and average-piecework entries,
// and timesheet rows for enough workers to fill several pages of every report.
void buildPlant(const TestDatabase &db)
{
    QList<int> workers;
    for (int i = 1; i <= 44; ++i)
        workers << db.addWorker(QStringLiteral("Работник %1 Ж.Щ.").arg(i, 2, 10, QLatin1Char('0')));
    const int boxes = db.addGroup(QStringLiteral("Ящики"));
    const int pallets = db.addGroup(QStringLiteral("Поддоны"));
    QList<int> products;
    products << db.addProduct(QStringLiteral("Ящик 400"), boxes, 1.5) << db.addProduct(QStringLiteral("Ящик 600"), boxes, 2.25)
             << db.addProduct(QStringLiteral("Поддон Е"), pallets, 10)
             << db.addProduct(QStringLiteral("Поддон с очень длинным названием марки, которое не помещается"), pallets, 3.333);
    const int assembly = db.addKind(QStringLiteral("Сборка"));
    const int painting = db.addKind(QStringLiteral("Покраска"));
    QList<int> prices;
    for (int p = 0; p < products.size(); ++p) {
        prices << db.addPrice(assembly, products[p], p % 2);
        prices << db.addPrice(painting, products[p], 0);
    }
    const int colours[] = {0, 1, 3005, -1};
    for (int w = 0; w < 12; ++w) {
        for (int p = 0; p < products.size(); ++p) {
            if ((w + p) % 3 == 2)
                continue;
            for (int k = 0; k < 2; ++k) {
                const int price = prices[2 * p + k];
                db.addRecord(workers[w], products[p], price, QDate(2007, 11, 1 + (w + p + k) % 28), 1 + (w + k) % 4,
                             10 + 7 * w + 3 * p, (w + p) % 4, 1.25 + 0.5 * p + 0.125 * k, 1 + (w + p) % 8, QStringLiteral("no"),
                             colours[(w + k) % 4]);
            }
        }
    }
    const auto entry = [&db](int worker, int kind, int nom, int day, int count, const QString &price, int night) {
        db.exec(QStringLiteral("insert into accounts_dep.fatigue(id_nom, id_o, id_p, d_date, i_mnth, i_year, i_smena, cnt, price, i_holiday, i_night) "
                               "values(%1, %2, %3, '%4.11.2007', 11, 2007, 0, %5, %6, 0, %7)")
                    .arg(nom).arg(kind).arg(worker).arg(day).arg(count).arg(price).arg(night));
    };
    for (int w = 0; w < 12; w += 2) {
        entry(workers[w], 7777, boxes, 10, 8, QStringLiteral("100.5"), 0);
        entry(workers[w], 7777, boxes, 11, 2, QStringLiteral("120"), 1);
        entry(workers[w], 7778, pallets, 12, 4, QStringLiteral("150"), 0);
        entry(workers[w], 7778, boxes, 13, 1, QStringLiteral("200"), 1);
    }
    for (int w = 0; w < workers.size(); ++w)
        db.exec(QStringLiteral("insert into accounts_dep.h_tabel(w_id, smena, month, year, d1, d%2, d%3, d31) "
                               "values(%1, 1, 11, 2007, 8, %4, 12, %5)")
                    .arg(workers[w]).arg(2 + w % 15).arg(17 + (w * 7) % 13).arg(w % 9).arg(w % 2 ? QStringLiteral("null") : QStringLiteral("4")));
}

} // namespace

class TestReportOutput : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void layoutsPrintAsBefore_data();
    void layoutsPrintAsBefore();

private:
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<DataModule> m_module;
    QTemporaryDir m_dir;
};

void TestReportOutput::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    m_db = std::make_unique<TestDatabase>();
    buildPlant(*m_db);
    m_module = m_db->connectModule();
    // TABEL_KEEP_REPORT_OUTPUT=1 keeps the files written, to look at a difference.
    m_dir.setAutoRemove(qEnvironmentVariableIntValue("TABEL_KEEP_REPORT_OUTPUT") != 1);
    if (!m_dir.autoRemove())
        qInfo("written into %s", qPrintable(m_dir.path()));
}

void TestReportOutput::layoutsPrintAsBefore_data()
{
    QTest::addColumn<QString>("layout");
    QTest::addColumn<int>("pages");
    QTest::newRow("workers") << QStringLiteral("workers") << 4;
    QTest::newRow("products") << QStringLiteral("products") << 1;
    QTest::newRow("detailed_workers") << QStringLiteral("detailed_workers") << 4;
    QTest::newRow("detailed_products") << QStringLiteral("detailed_products") << 1;
    QTest::newRow("shift_timesheet") << QStringLiteral("shift_timesheet") << 2;
}

void TestReportOutput::layoutsPrintAsBefore()
{
    QFETCH(QString, layout);
    QFETCH(int, pages);
    std::unique_ptr<ReportHolder> holder;
    std::function<PreparedReport()> make;
    std::function<void()> open;
    if (layout == QLatin1String("shift_timesheet")) {
        auto *timesheet = new ShiftTimesheetReport(m_module.get());
        holder.reset(timesheet);
        make = [timesheet] { return timesheet->make(11, 2007, ShiftTimesheetReport::periodLabel(QStringLiteral("Ноябрь"), QStringLiteral("2007"))); };
        open = [timesheet] {
            timesheet->setMonth(11, 2007);
            timesheet->openQuery();
            timesheet->setTitle(ShiftTimesheetReport::periodLabel(QStringLiteral("Ноябрь"), QStringLiteral("2007")));
        };
    } else {
        PeriodReport *report = nullptr;
        if (layout == QLatin1String("workers"))
            report = new WorkersReport(m_module.get());
        else if (layout == QLatin1String("products"))
            report = new ProductsReport(m_module.get());
        else if (layout == QLatin1String("detailed_workers"))
            report = new DetailedWorkersReport(m_module.get());
        else
            report = new DetailedProductsReport(m_module.get());
        holder.reset(report);
        make = [report] { return report->make(Start, End, ProductKindChoice::All); };
        open = [report] {
            report->query->close();
            report->setPeriod(Start, End);
            PeriodReport::applyKindFilter(report->query, ProductKindChoice::All);
            report->openQuery();
            report->setTitle(report->periodTitle(Start, End));
        };
    }

    // The same report by every way the program writes it.
    QStringList files;
    const QString direct = m_dir.filePath(layout + QStringLiteral("-direct.pdf"));
    open();
    QVERIFY(holder->savePdf(direct));
    holder->query->close();
    files << direct;
    const ReportDocument doc = make().generate();
    QCOMPARE(doc.pageCount(), pages);
    if (!writingReferences()) {
        // As the preview saves it, laid out while shown.
        ReportPreview preview(make());
        preview.finishLayout();
        QCOMPARE(preview.pageCount(), pages);
        const QString previewed = m_dir.filePath(layout + QStringLiteral("-preview.pdf"));
        QVERIFY(preview.savePdf(previewed));
        files << previewed;
        const QString saved = m_dir.filePath(layout + QStringLiteral("-saved.pdf"));
        QVERIFY(doc.savePdf(saved));
        files << saved;
        const QString printed = m_dir.filePath(layout + QStringLiteral("-printed.pdf"));
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(printed);
        printer.setPageLayout(doc.pageLayout());
        printer.setFullPage(true);
        QVERIFY(doc.print(&printer, QPageRanges()));
        files << printed;
    }

    const QString refText = referenceDir() + QLatin1Char('/') + layout + QStringLiteral(".txt");
    if (writingReferences()) {
        QDir().mkpath(referenceDir());
        QFile out(refText);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(layoutText(direct));
        const QList<QImage> images = rasters(direct, m_dir.filePath(layout + QStringLiteral("-ref")));
        QCOMPARE(images.size(), pages);
        for (int i = 0; i < images.size(); ++i)
            QVERIFY(images[i].save(referenceDir() + QStringLiteral("/%1-%2.png").arg(layout).arg(i + 1)));
        QSKIP("references written");
    }

    QFile in(refText);
    QVERIFY2(in.open(QIODevice::ReadOnly), qPrintable(refText));
    const QByteArray expectedText = in.readAll();
    QList<QImage> expectedPages;
    for (int i = 1; i <= pages; ++i) {
        QImage page(referenceDir() + QStringLiteral("/%1-%2.png").arg(layout).arg(i));
        QVERIFY(!page.isNull());
        expectedPages << page.convertToFormat(QImage::Format_Grayscale8);
    }
    for (const QString &file : files) {
        const QString way = QFileInfo(file).completeBaseName();
        QCOMPARE(QString::fromUtf8(layoutText(file)), QString::fromUtf8(expectedText));
        const QList<QImage> images = rasters(file, m_dir.filePath(way));
        QCOMPARE(images.size(), pages);
        for (int i = 0; i < pages; ++i) {
            QCOMPARE(images[i].size(), expectedPages[i].size());
            const Difference d = compare(images[i], expectedPages[i]);
            const QByteArray what = QStringLiteral("%1, page %2: %3 % of the pixels differ, by %4 levels on average")
                                        .arg(way).arg(i + 1).arg(d.differingShare * 100, 0, 'f', 3)
                                        .arg(d.meanDifference, 0, 'f', 3).toUtf8();
            QVERIFY2(d.differingShare <= MaxDifferingShare && d.meanDifference <= MaxMeanDifference, what.constData());
        }
    }
}

QTEST_MAIN(TestReportOutput)
#include "test_report_output.moc"
