// The printed period reports, the monthly timesheet by shifts, the print preview and printing,
// the report centre window and its product export, against the real server. Reports are
// generated from fixture rows, written as PDF and read back with their positions as poppler's
// pdftotext sees them; totals are checked against sums the test asks the database for itself.
#include "support/test_support.h"
#include "support/fake_spreadsheet.h"
#include "support/pdf_text.h"
#include "support/workbook_reader.h"

#include "db/data_module.h"
#include "app/login_window.h"
#include "journal/journal_window.h"
#include "ui/messages.h"
#include "ui/windows.h"
#include "db/dataset.h"
#include "reports/detailed_products_report.h"
#include "reports/detailed_workers_report.h"
#include "reports/products_report.h"
#include "reports/report_centre.h"
#include "reports/report_engine.h"
#include "reports/report_preview.h"
#include "reports/shared_spreadsheet_writer.h"
#include "reports/shift_timesheet_report.h"
#include "reports/spreadsheet_application.h"
#include "reports/spreadsheet_writer.h"
#include "reports/workers_report.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QDateEdit>
#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPageRanges>
#include <QPrinter>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <algorithm>
#include <cmath>
#include <functional>

namespace {

// Bottom of the printable area above the 5 mm page footer of every layout.
constexpr double PortraitBottom = 277.0 - 5.0;
constexpr double LandscapeBottom = 190.0 - 5.0;

const QDate Start(2007, 11, 1);
const QDate End(2007, 12, 1);

QString pdfDir()
{
    static QTemporaryDir dir;
    return dir.path();
}

PdfText pdfOf(const ReportDocument &doc, const QString &name = QStringLiteral("report"))
{
    const QString path = pdfDir() + QLatin1Char('/') + name + QStringLiteral(".pdf");
    if (!doc.savePdf(path))
        qFatal("the report could not be saved as PDF");
    return readPdf(path);
}

PdfText pdfOf(const PreparedReport &report, const QString &name = QStringLiteral("report"))
{
    return pdfOf(report.generate(), name);
}

// Texts of a line's words from the given left edge on.
QStringList textsFrom(const QList<PdfWord> &line, double fromX = -1e9)
{
    QStringList out;
    for (const PdfWord &w : line)
        if (w.x0 >= fromX)
            out << w.text;
    return out;
}

QVariantList row(std::initializer_list<QVariant> values)
{
    return QVariantList(values);
}

QString money(double value, int decimals)
{
    return QString::number(value, 'f', decimals).replace(QLatin1Char('.'), QLatin1Char(','));
}

// ---- The preview as the user would get it ------------------------------------------------------

struct PreviewSpy {
    int runs = 0;
    ReportDocument document;
    bool maximised = false;
    ReportPageView::ZoomMode zoom = ReportPageView::CustomZoom;
    std::function<void()> whileOpen;

    PreviewSpy()
    {
        ReportPreview::setExecHook([this](ReportPreview &preview) {
            ++runs;
            document = preview.document();
            maximised = preview.windowState() & Qt::WindowMaximized;
            zoom = preview.view()->zoomMode();
            if (whileOpen)
                whileOpen();
        });
    }
    ~PreviewSpy() { ReportPreview::setExecHook(nullptr); }
};

// ---- The fixture plant ------------------------------------------------------------------------

struct Plant {
    int w1 = 0, w2 = 0, w3 = 0, w5 = 0;
    int g1 = 0, g2 = 0, g3 = 0;
    int p1 = 0, p2 = 0, p3 = 0;
    int k1 = 0, k2 = 0;
    int o1 = 0, o2 = 0, o3 = 0, o4 = 0;
};

void addEntry(const TestDatabase &db, int worker, int kind, int nom, const QDate &date, int count,
              const QString &price, int night)
{
    db.exec(QStringLiteral("insert into accounts_dep.fatigue(id_nom, id_o, id_p, d_date, i_mnth, i_year, i_smena, cnt, price, i_holiday, i_night) "
                           "values(%1, %2, %3, '%4', %5, %6, 0, %7, %8, 0, %9)")
                .arg(nom).arg(kind).arg(worker).arg(date.toString(QStringLiteral("dd.MM.yyyy")))
                .arg(date.month()).arg(date.year()).arg(count).arg(price).arg(night));
}

// Workers, products and journal records of November 2007, with a record on each side of the
// period; household and average-piecework entries by day and by night.
Plant buildPlant(const TestDatabase &db)
{
    Plant p;
    p.w1 = db.addWorker(QStringLiteral("Антонов А.А."));
    p.w2 = db.addWorker(QStringLiteral("Борисов Б.Б."));
    p.w3 = db.addWorker(QStringLiteral("Волков В.В."));
    p.w5 = db.addWorker(QStringLiteral("Дмитриев Д.Д."));
    p.g1 = db.addGroup(QStringLiteral("Ящики"));
    p.g2 = db.addGroup(QStringLiteral("Поддоны"));
    p.g3 = db.addGroup(QStringLiteral("Прочее"));
    p.p1 = db.addProduct(QStringLiteral("Ящик 400"), p.g1, 1.5);
    p.p2 = db.addProduct(QStringLiteral("Ящик 600"), p.g1, 2.25);
    p.p3 = db.addProduct(QStringLiteral("Поддон Е"), p.g2, 10);
    p.k1 = db.addKind(QStringLiteral("Сборка"));
    p.k2 = db.addKind(QStringLiteral("Покраска"));
    p.o1 = db.addPrice(p.k1, p.p1, 0);
    p.o2 = db.addPrice(p.k2, p.p1, 0);
    p.o3 = db.addPrice(p.k1, p.p2, 1);
    p.o4 = db.addPrice(p.k1, p.p3, 0);
    // The price list's own price differs from the journal's: a report that read it instead of the
    // journal's would show it.
    db.exec(QStringLiteral("update accounts_dep.oper set cena = 999"));

    const auto d = [](int day, int month = 11) { return QDate(2007, month, day); };
    db.addRecord(p.w1, p.p1, p.o1, d(5), 1, 100, 2, 1.5, 8);
    db.addRecord(p.w1, p.p1, p.o1, d(6), 2, 50, 0, 1.5, 4);
    db.addRecord(p.w1, p.p1, p.o2, d(7), 1, 30, 1, 2.25, 3, QStringLiteral("ok"), 1);
    db.addRecord(p.w1, p.p2, p.o3, d(8), 3, 20, 0, 3.1, 2, QStringLiteral("no"), 3005);
    db.addRecord(p.w1, p.p3, p.o4, d(20), 4, 5, 0, 10, 2);
    db.addRecord(p.w1, p.p1, p.o1, d(31, 10), 1, 500, 0, 1.5, 8);      // before the period
    db.addRecord(p.w2, p.p3, p.o4, d(30), 1, 10, 1, 12.345, 7);
    db.addRecord(p.w2, p.p2, p.o3, d(1), 1, 7, 0, 3.1, 1, QStringLiteral("no"), -1);
    db.addRecord(p.w3, p.p1, p.o1, d(1, 12), 1, 999, 0, 1.5, 8);       // on the end date
    db.addRecord(p.w5, p.p1, p.o1, d(15), 1, 10, 0, 1.5, 0);
    db.exec(QStringLiteral("update accounts_dep.smena set prize = 10"));

    addEntry(db, p.w1, 7777, p.g1, d(10), 8, QStringLiteral("100.5"), 0);
    addEntry(db, p.w1, 7777, p.g1, d(11), 2, QStringLiteral("120"), 1);
    addEntry(db, p.w1, 7778, p.g3, d(12), 4, QStringLiteral("150"), 0);  // a nomenclature he made nothing of
    addEntry(db, p.w1, 7778, p.g1, d(13), 1, QStringLiteral("200"), 1);
    addEntry(db, p.w1, 7777, p.g1, d(1, 12), 100, QStringLiteral("1000"), 0);  // on the end date
    addEntry(db, p.w2, 7777, p.g2, d(14), 3, QStringLiteral("50"), 0);
    return p;
}

// What every case starts from: the plant of November 2007 and a data module connected to it.
struct Fixture {
    TestDatabase db;
    Plant p = buildPlant(db);
    std::unique_ptr<DataModule> module = db.connectModule();
};

QString kindCondition(ProductKindChoice kind, const QString &alias = QStringLiteral("o"))
{
    switch (kind) {
    case ProductKindChoice::All:
        return QString();
    case ProductKindChoice::Finished:
        return QStringLiteral(" and %1.naimen = 0").arg(alias);
    case ProductKindChoice::Blanks:
        return QStringLiteral(" and %1.naimen = 1").arg(alias);
    }
    return QString();
}

// An independent sum over the journal records of the period and kind.
double journalSum(const TestDatabase &db, const QString &expression, ProductKindChoice kind,
                  const QDate &start = Start, const QDate &end = End)
{
    return db.scalar(QStringLiteral("select coalesce(sum(%1), 0)::float8 from accounts_dep.smena s "
                                    "join accounts_dep.oper o on o.id = s.o_id "
                                    "join cmn_gds_and_srv.gds_and_srv g on g.id = s.i_id "
                                    "where s.data >= '%2' and s.data < '%3'%4")
                         .arg(expression, start.toString(Qt::ISODate), end.toString(Qt::ISODate), kindCondition(kind)))
        .toDouble();
}

QStringList journalTexts(const TestDatabase &db, const QString &expression, ProductKindChoice kind)
{
    QStringList out;
    const auto rows = db.rows(QStringLiteral("select distinct %1 from accounts_dep.smena s "
                                             "join accounts_dep.oper o on o.id = s.o_id "
                                             "join cmn_gds_and_srv.gds_and_srv g on g.id = s.i_id "
                                             "join cmn_contractor.person pe on pe.id = s.w_id "
                                             "left join cmn_classifier.item gr on gr.id = g.id_class_item "
                                             "where s.data >= '%2' and s.data < '%3'%4 order by 1")
                                  .arg(expression, Start.toString(Qt::ISODate), End.toString(Qt::ISODate), kindCondition(kind)));
    for (const auto &r : rows)
        out << r.value(0).toString();
    return out;
}

template <typename T> T *child(QObject *parent, const char *name)
{
    T *w = parent->findChild<T *>(QLatin1String(name));
    if (!w)
        qFatal("no child %s", name);
    return w;
}

} // namespace

Q_DECLARE_METATYPE(ProductKindChoice)

class TestReports : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void statementsRunOnTheServer();
    void periodReportsMatchTheJournal_data();
    void periodReportsMatchTheJournal();
    void workersReportLayout();
    void everyNumberHasAFormat();
    void productsReportLayout();
    void detailedWorkersReportLayout();
    void detailedProductsReportLayout();
    void groupHeaderMovesWithItsFooter();
    void emptyPeriodStillGivesAPage_data();
    void emptyPeriodStillGivesAPage();
    void databaseErrorShowsNoReport();

    void timesheetRepeatsColumnHeader();
    void timesheetPreviewShowsWholePage();

    void printsPageRangeOnPrinter();
    void previewOpensMaximisedAndZoomed_data();
    void previewOpensMaximisedAndZoomed();
    void previewNavigatesAndSaves();
    void previewShowsPagesAsTheyAreMade();
    void closingThePreviewStopsTheLayout();

    void exportWritesProductOutput_data();
    void exportWritesProductOutput();
    void exportOfEmptyPeriod();
    void exportWithoutSpreadsheetApplication();

    void centreWindow();
    void presetPeriod_data();
    void presetPeriod();
    void rolesRestrictTheCentre_data();
    void rolesRestrictTheCentre();

private:
    std::unique_ptr<Fixture> m_fixture;
    QTemporaryDir m_books;

    // The report a report centre button makes for the period and kind, as the preview got it.
    PdfText runFromCentre(const char *button, ProductKindChoice kind, const QDate &start = Start,
                          const QDate &end = End, PreviewSpy *spyOut = nullptr);
};

void TestReports::initTestCase()
{
    // Workstations of the plant run Russian: dates in titles read 01.11.2007.
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
}

void TestReports::init()
{
    m_fixture = std::make_unique<Fixture>();
    SpreadsheetWriter::setFolder(m_books.filePath(QString::fromLatin1(QTest::currentTestFunction())));
}

void TestReports::cleanup()
{
    m_fixture.reset();
    SpreadsheetWriter::setFolder(QString());
}

PdfText TestReports::runFromCentre(const char *button, ProductKindChoice kind, const QDate &start,
                                   const QDate &end, PreviewSpy *spyOut)
{
    ReportCentre centre(m_fixture->module.get());
    centre.setProductKind(kind);
    child<QDateEdit>(&centre, "DTPicker1")->setDate(start);
    child<QDateEdit>(&centre, "DTPicker2")->setDate(end);
    PreviewSpy localSpy;
    PreviewSpy &spy = spyOut ? *spyOut : localSpy;
    if (spyOut)
        ReportPreview::setExecHook([&spy](ReportPreview &preview) {
            ++spy.runs;
            spy.document = preview.document();
            spy.maximised = preview.windowState() & Qt::WindowMaximized;
            spy.zoom = preview.view()->zoomMode();
        });
    Messages::MessageRecorder rec;
    child<QPushButton>(&centre, button)->click();
    if (!rec.shown.isEmpty())
        qWarning("%s", qPrintable(rec.shown.first().text));
    if (spy.runs != 1)
        qFatal("the report did not reach the preview");
    return pdfOf(spy.document, QLatin1String(button));
}

// ---- Statements ----------------------------------------------------------------------------------

void TestReports::statementsRunOnTheServer()
{
    auto &[db, _p, module] = *m_fixture;
    // The detailed report by workers joins the operation price table, whose own price column
    // makes an unqualified "cena" ambiguous; its statement names the journal's columns.
    const QString unqualified = QString(DetailedWorkersReport::Statement)
                                    .replace(QLatin1String("sum(smena.prize*(kol_vo-brak)*smena.cena/100)"),
                                             QLatin1String("sum(prize*(kol_vo-brak)*cena/100)"));
    QVERIFY(unqualified != DetailedWorkersReport::Statement);
    DataSet old(module->connectionName());
    old.setSql(unqualified);
    for (int i = 1; i <= 18; ++i)
        old.setParam(QStringLiteral("data%1").arg(i), i % 2 ? Start : End);
    try {
        old.open();
        QFAIL("the unqualified statement was accepted");
    } catch (const std::exception &e) {
        QVERIFY2(QString::fromUtf8(e.what()).contains(QLatin1String("ambiguous")), e.what());
    }

    WorkersReport f16(module.get());
    ProductsReport f17(module.get());
    DetailedWorkersReport f20(module.get());
    DetailedProductsReport f21(module.get());
    QCOMPARE(f16.periodPairs(), 4);
    QCOMPARE(f17.periodPairs(), 1);
    QCOMPARE(f20.periodPairs(), 9);
    QCOMPARE(f21.periodPairs(), 1);
    for (PeriodReport *r : std::initializer_list<PeriodReport *>{&f16, &f17, &f20, &f21}) {
        r->setPeriod(Start, End);
        r->query->open();
        QVERIFY2(r->query->recordCount() > 0, qPrintable(r->objectName()));
        r->query->close();
    }
    // Titles begin with three blanks; dates in the workstation's short format.
    QCOMPARE(f16.periodTitle(Start, End), QStringLiteral("   Отчет по рабочим за период с 01.11.2007 по 01.12.2007"));
    QCOMPARE(f17.periodTitle(Start, End), QStringLiteral("   Отчет по продукции за период с 01.11.2007 по 01.12.2007"));
    QCOMPARE(f20.periodTitle(Start, End), QStringLiteral("   Детальный отчет по рабочим за период с 01.11.2007 по 01.12.2007"));
    QCOMPARE(f21.periodTitle(Start, End), QStringLiteral("   Детальный отчет по продукции за период с 01.11.2007 по 01.12.2007"));
    QCOMPARE(f16.titleItem(), QStringLiteral("QRLabel1"));
    QCOMPARE(f20.query->param(QStringLiteral("data9")).toDate(), Start);
    QCOMPARE(f20.query->param(QStringLiteral("data18")).toDate(), End);

    // The bonus amount is the journal's own: bonus percent times good quantity times price.
    f20.setPeriod(Start, End);
    f20.query->open();
    double bonus = 0;
    for (int i = 0; i < f20.query->recordCount(); ++i)
        bonus += f20.query->valueAt(i, QStringLiteral("s_prize")).toDouble();
    QCOMPARE(bonus, journalSum(db, QStringLiteral("s.prize*(s.kol_vo-s.brak)*s.cena/100"), ProductKindChoice::All));
}

// ---- The four period reports ---------------------------------------------------------------------

void TestReports::periodReportsMatchTheJournal_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<ProductKindChoice>("kind");
    const QList<QPair<const char *, const char *>> reports = {
        {"Button4", "workers"}, {"Button2", "products"}, {"Button1", "detailed workers"}, {"Button3", "detailed products"}};
    const QList<QPair<ProductKindChoice, const char *>> kinds = {
        {ProductKindChoice::All, "all"}, {ProductKindChoice::Finished, "finished"}, {ProductKindChoice::Blanks, "blanks"}};
    for (const auto &r : reports)
        for (const auto &k : kinds)
            QTest::addRow("%s, %s", r.second, k.second) << QString::fromLatin1(r.first) << k.first;
}

void TestReports::periodReportsMatchTheJournal()
{
    auto &[db, _p, _module] = *m_fixture;
    QFETCH(QString, button);
    QFETCH(ProductKindChoice, kind);
    PreviewSpy spy;
    const PdfText pdf = runFromCentre(button.toLatin1().constData(), kind, Start, End, &spy);
    const QStringList lines = pdf.allLines();

    // Title with the period, the preview maximised and zoomed to the page's width.
    const QHash<QString, QString> titles = {
        {QStringLiteral("Button4"), QStringLiteral("Отчет по рабочим за период с 01.11.2007 по 01.12.2007")},
        {QStringLiteral("Button2"), QStringLiteral("Отчет по продукции за период с 01.11.2007 по 01.12.2007")},
        {QStringLiteral("Button1"), QStringLiteral("Детальный отчет по рабочим за период с 01.11.2007 по 01.12.2007")},
        {QStringLiteral("Button3"), QStringLiteral("Детальный отчет по продукции за период с 01.11.2007 по 01.12.2007")},
    };
    QVERIFY2(lines.first().startsWith(titles.value(button)), qPrintable(lines.first()));
    QVERIFY(spy.maximised);
    QCOMPARE(spy.zoom, ReportPageView::FitToWidth);
    QVERIFY(std::abs(pdf.pages.first().width() - 210.0) < 0.5);

    // Only the rows of the chosen kind, and nothing from outside the period.
    const QString finished = QStringLiteral("Готовая");
    const QString blanks = QStringLiteral("Заготовки");
    QCOMPARE(pdf.contains(finished), kind != ProductKindChoice::Blanks);
    QCOMPARE(pdf.contains(blanks), kind != ProductKindChoice::Finished);
    QVERIFY(!pdf.contains(QStringLiteral("Волков")));   // his only record lies on the end date
    QVERIFY(!pdf.contains(QStringLiteral("999")));

    // Group structure: every worker or product group of the period and kind, in order.
    QStringList groups;
    QString groupColumn = (button == QLatin1String("Button4") || button == QLatin1String("Button1"))
        ? QStringLiteral("pe.s_caption") : QStringLiteral("gr.s_caption");
    groups = journalTexts(db, groupColumn, kind);
    QVERIFY(!groups.isEmpty());
    int previous = -1;
    for (const QString &g : groups) {
        int at = previous + 1;
        // The worker header of the report by workers carries a column heading as well.
        while (at < lines.size() && lines.at(at) != g && !lines.at(at).startsWith(g + QStringLiteral(" Сумма без Р/К")))
            ++at;
        QVERIFY2(at < lines.size(), qPrintable(g + QStringLiteral(" missing or out of order:\n") + lines.join(QLatin1Char('\n'))));
        previous = at;
    }

    // The grand total, the last "Итого:" of the report, against the journal's own sums.
    const QList<PdfWord> total = pdf.lineOf(QStringLiteral("Итого:"), true);
    QStringList values = textsFrom(total);
    values.removeFirst();
    const double summa = journalSum(db, QStringLiteral("(s.kol_vo-s.brak)*s.cena"), kind);
    const double good = journalSum(db, QStringLiteral("s.kol_vo-s.brak"), kind);
    const double all = journalSum(db, QStringLiteral("s.kol_vo"), kind);
    const double rejects = journalSum(db, QStringLiteral("s.brak"), kind);
    const double goodMass = journalSum(db, QStringLiteral("g.massa*(s.kol_vo-s.brak)"), kind);
    const double mass = journalSum(db, QStringLiteral("g.massa*s.kol_vo"), kind);
    QStringList expected;
    if (button == QLatin1String("Button4"))
        expected = {money(summa, 2), money(summa / 1.2, 2)};
    else if (button == QLatin1String("Button2"))
        expected = {money(goodMass, 0), QString::number(good)};
    else if (button == QLatin1String("Button1"))
        expected = {QString::number(rejects), QString::number(all), money(summa, 2)};
    else
        expected = {QString::number(rejects), money(mass, 2).remove(QRegularExpression(QStringLiteral(",?0+$"))),
                    QString::number(all), money(summa, 2)};
    QCOMPARE(values, expected);

    // One page, numbered; the query closed once the preview is closed.
    QCOMPARE(pdf.pageCount(), 1);
    const PdfWord number = pdf.find(QStringLiteral("1"), 1);
    Q_UNUSED(number);
    const QList<PdfWord> last = pdf.lineWords(1).last();
    QCOMPARE(textsFrom(last), QStringList{QStringLiteral("1")});
    QVERIFY(std::abs(last.first().x1 - (176.2 + 11.9)) < 0.5);
}

// Words of the line that holds `text` (first occurrence), as one string.
QString lineText(const PdfText &pdf, const QString &text, bool last = false)
{
    return textsFrom(pdf.lineOf(text, last)).join(QLatin1Char(' '));
}

// The item of that text lies centred in the box [left, left + width].
void verifyCentred(const PdfWord &w, double left, double width)
{
    QVERIFY2(w.page != 0, "word not found");
    QVERIFY2(std::abs(w.centre() - (left + width / 2)) < 0.6,
             qPrintable(QStringLiteral("%1 centred at %2, expected %3").arg(w.text).arg(w.centre()).arg(left + width / 2)));
}

void verifyAt(const PdfWord &w, double left)
{
    QVERIFY2(w.page != 0, "word not found");
    QVERIFY2(std::abs(w.x0 - left) < 0.6, qPrintable(QStringLiteral("%1 at %2, expected %3").arg(w.text).arg(w.x0).arg(left)));
}

// No printed number runs past its box: every sum and every value printed as a number has a mask.
void TestReports::everyNumberHasAFormat()
{
    auto &[_db, _p, module] = *m_fixture;
    WorkersReport workers(module.get());
    ProductsReport products(module.get());
    DetailedWorkersReport detailedWorkers(module.get());
    DetailedProductsReport detailedProducts(module.get());
    ShiftTimesheetReport timesheet(module.get());
    QStringList unformatted;
    std::function<void(const ReportLayout &, const ReportBand &)> walk = [&](const ReportLayout &layout, const ReportBand &band) {
        for (const ReportItem &item : band.items)
            if ((item.kind == ReportItem::Sum || item.asNumber) && item.mask.isEmpty())
                unformatted << QStringLiteral("%1: %2 at %3").arg(layout.title, item.column).arg(item.left);
        for (const ReportBand &child : band.children)
            walk(layout, child);
    };
    int numbers = 0;
    for (const ReportLayout *layout : {&workers.layout, &products.layout, &detailedWorkers.layout,
                                       &detailedProducts.layout, &timesheet.layout}) {
        walk(*layout, layout->pageHeader);
        walk(*layout, layout->columnHeader);
        for (const ReportGroup &group : layout->groups) {
            walk(*layout, group.header);
            walk(*layout, group.footer);
        }
        walk(*layout, layout->detail);
        walk(*layout, layout->pageFooter);
        for (const ReportBand *band : {&layout->detail})
            for (const ReportItem &item : band->items)
                numbers += !item.mask.isEmpty();
    }
    QVERIFY2(unformatted.isEmpty(), qPrintable(unformatted.join(QLatin1Char('\n'))));
    QVERIFY(numbers > 20);
}

void TestReports::workersReportLayout()
{
    const PdfText pdf = runFromCentre("Button4", ProductKindChoice::All);
    const QStringList lines = pdf.lines(1);

    // The worker, then his products in order, each with its footer of two lines.
    const int worker = lines.indexOf(QStringLiteral("Антонов А.А. Сумма без Р/К"));
    QVERIFY2(worker >= 0, qPrintable(lines.join(QLatin1Char('\n'))));
    QCOMPARE(lines.mid(worker + 1, 5), (QStringList{
        QStringLiteral("Поддоны"),
        QStringLiteral("Готовая продукция Сборка 5 50,000"),
        QStringLiteral("Хоз.р.: 0,00 Ср. сд.: 0,00 5 50,000 41,667"),
        QStringLiteral("Итого: 50,000 41,667"),
        QStringLiteral("Ящики"),
    }));
    // Rows within a product come in the server's order; all three are there.
    QStringList rows = lines.mid(worker + 6, 3);
    rows.sort();
    QCOMPARE(rows, (QStringList{
        QStringLiteral("Готовая продукция Покраска (грунт) 29 65,250"),
        QStringLiteral("Готовая продукция Сборка 148 222,000"),
        QStringLiteral("Заготовки Сборка (RAL: 3005) 20 62,000"),
    }));
    // Household money of the product's nomenclature, both nights; average-piecework money only
    // where its nomenclature is the product's (the 600 on another nomenclature is left out).
    QCOMPARE(lines.mid(worker + 9, 4), (QStringList{
        QStringLiteral("Хоз.р.: 1044,00 Ср. сд.: 200,00 197 349,250 291,042"),
        QStringLiteral("Итого: 1593,250 1327,708"),
        // worker footer: his money, then with all his entries of the period (1844)
        QStringLiteral("399,25 332,71"),
        QStringLiteral("2243,250 1869,375"),
    }));
    QCOMPARE(lines.at(worker + 13), QStringLiteral("Борисов Б.Б. Сумма без Р/К"));
    QVERIFY(lines.contains(QStringLiteral("Готовая продукция Сборка 10 15,000"))); // Дмитриев
    // Colour 0 and colour -1 print a blank: nothing between the operation and the quantity.
    QVERIFY(lines.contains(QStringLiteral("Заготовки Сборка 7 21,700")));

    // Positions of the items.
    const QList<PdfWord> footer = pdf.lineOf(QStringLiteral("Хоз.р.:"));
    verifyAt(footer.at(0), 38.6);
    verifyCentred(footer.at(1), 54.2, 19.3);
    verifyAt(footer.at(2), 78.8);
    verifyCentred(footer.at(4), 93.4, 19.3);
    verifyCentred(footer.at(5), 117.5, 19.3);
    verifyCentred(footer.at(6), 137.8, 23.8);
    verifyCentred(footer.at(7), 163.2, 23.8);
    const QList<PdfWord> detail = pdf.lineOf(QStringLiteral("50,000"));
    verifyAt(detail.at(0), 0.3);
    verifyCentred(detail.at(2), 44.4, 38.6);
    verifyCentred(detail.at(3), 117.5, 19.3);
    verifyCentred(detail.at(4), 138.1, 23.5);
    const PdfWord heading = pdf.find(QStringLiteral("Р/К"));
    QVERIFY(heading.x1 < 163.2 + 25.1 && pdf.find(QStringLiteral("Сумма")).x0 > 163.2);
    const PdfWord colour = pdf.find(QStringLiteral("(грунт)"));
    QVERIFY(colour.x0 > 84.7 && colour.x0 < 84.7 + 3);
    const QList<PdfWord> grand = pdf.lineOf(QStringLiteral("Итого:"), true);
    verifyAt(grand.at(0), 114.8);
    verifyCentred(grand.at(1), 129.4, 28.0);
    verifyCentred(grand.at(2), 159.0, 28.0);
    // The two footer lines lie 5.2 mm apart.
    const QList<PdfWord> second = pdf.lineOf(QStringLiteral("Итого:"));
    QVERIFY2(std::abs((second.first().y0 - footer.first().y0) - 5.2) < 0.3,
             qPrintable(QStringLiteral("%1 %2").arg(second.first().y0).arg(footer.first().y0)));
}

void TestReports::productsReportLayout()
{
    const PdfText pdf = runFromCentre("Button2", ProductKindChoice::All);
    const QStringList lines = pdf.lines(1);
    QVERIFY(lines.first().endsWith(QStringLiteral("Коробки Количество")));
    const int pallets = lines.indexOf(QStringLiteral("Поддоны"));
    QVERIFY2(pallets == 1, qPrintable(lines.join(QLatin1Char('\n'))));
    QCOMPARE(lines.mid(pallets + 1, 3), (QStringList{
        QStringLiteral("Готовая продукция Сборка 140 14"),
        QStringLiteral("140 14"),
        QStringLiteral("Ящики"),
    }));
    QStringList rows = lines.mid(pallets + 4, 4);
    rows.sort();
    QCOMPARE(rows, (QStringList{
        QStringLiteral("Готовая продукция Покраска (грунт) 43,5 29"),
        QStringLiteral("Готовая продукция Сборка 237 158"),
        QStringLiteral("Заготовки Сборка (RAL: 3005) 45 20"),
        QStringLiteral("Заготовки Сборка 15,75 7"),
    }));
    QCOMPARE(lines.mid(pallets + 8, 2), (QStringList{
        QStringLiteral("341,25 214"),
        // mass "#0": 481.25 prints 481
        QStringLiteral("Итого: 481 228"),
    }));

    const QList<PdfWord> detail = pdf.lineOf(QStringLiteral("237"));
    verifyAt(detail.at(0), 13.2);
    verifyCentred(detail.at(2), 54.8, 36.2);
    verifyCentred(detail.at(3), 133.6, 19.3);
    verifyCentred(detail.at(4), 163.0, 23.5);
    const QList<PdfWord> footer = pdf.lineOf(QStringLiteral("341,25"));
    verifyCentred(footer.at(0), 133.6, 19.3);
    verifyCentred(footer.at(1), 163.0, 23.8);
    verifyAt(pdf.find(QStringLiteral("Коробки")), 136.3);
    verifyAt(pdf.find(QStringLiteral("Количество")), 165.1);
    const QList<PdfWord> grand = pdf.lineOf(QStringLiteral("Итого:"), true);
    verifyAt(grand.at(0), 106.4);
    verifyCentred(grand.at(1), 131.2, 23.5);
    verifyCentred(grand.at(2), 160.9, 28.0);
    verifyAt(pdf.find(QStringLiteral("(RAL:")), 92.6 + ReportDocument::textWidth(ReportFont(), QStringLiteral(" ")));
}

void TestReports::detailedWorkersReportLayout()
{
    const PdfText pdf = runFromCentre("Button1", ProductKindChoice::All);
    const QStringList lines = pdf.allLines();
    QVERIFY(lines.first().endsWith(QStringLiteral("Брак Количество Сумма")));

    const int worker = lines.indexOf(QStringLiteral("Антонов А.А."));
    QVERIFY2(worker == 1, qPrintable(lines.join(QLatin1Char('\n'))));
    // Rows in the statement's order (mark, operation, kind); colours as bare numbers.
    QCOMPARE(lines.mid(worker + 1, 4), (QStringList{
        QStringLiteral("Поддон Е Сборка 0 Готовая продукция 0 5 50,00"),
        QStringLiteral("Ящик 400 Покраска 1 Готовая продукция 1 30 65,25"),
        QStringLiteral("Ящик 400 Сборка 0 Готовая продукция 2 150 222,00"),
        QStringLiteral("Ящик 600 Сборка 3005 Заготовки 0 20 62,00"),
    }));
    // His totals, then the summary: household and average-piecework work by day and night (money
    // with two decimals, hours whole), piecework, all, and the average per hour: 2243,25 over 34
    // hours.
    QCOMPARE(lines.mid(worker + 5, 6), (QStringList{
        QStringLiteral("3 205 399,25"),
        QStringLiteral("Часы Сумма с р/к (р.) Сумма без р/к (р.)"),
        QStringLiteral("Хоз. раб. (дн.) 8 804,00 670,00"),
        QStringLiteral("Хоз. раб. (нч.) 2 240,00 200,00"),
        QStringLiteral("Ср. сд. (дн.) 4 600,00 500,00"),
        QStringLiteral("Ср. сд. (нч.) 1 200,00 166,67"),
    }));
    QCOMPARE(lines.mid(worker + 11, 3), (QStringList{
        QStringLiteral("Сдел. 19 399,25 332,71"),
        QStringLiteral("Итого: 34,00 2243,25 1869,38"),
        QStringLiteral("Цена ср. сд. за 1 ч.: 65,98 54,98"),
    }));

    // The second worker's figures are his own.
    const int second = lines.indexOf(QStringLiteral("Борисов Б.Б."));
    QVERIFY(second > worker);
    QCOMPARE(lines.at(second + 9), QStringLiteral("Сдел. 8 132,81 110,67"));
    QCOMPARE(lines.at(second + 3), QStringLiteral("1 17 132,81"));

    // A worker without hours: his average per hour is 0, not a division error.
    const int noHours = lines.indexOf(QStringLiteral("Дмитриев Д.Д."));
    QVERIFY(noHours > second);
    QCOMPARE(lines.mid(noHours + 8, 3), (QStringList{
        QStringLiteral("Сдел. 0 15,00 12,50"),
        QStringLiteral("Итого: 0,00 15,00 12,50"),
        QStringLiteral("Цена ср. сд. за 1 ч.: 0,00 0,00"),
    }));
    QCOMPARE(DetailedWorkersReport::averageHourPrice(10, 0), 0.0);

    // Positions.
    const QList<PdfWord> detail = pdf.lineOf(QStringLiteral("3005"));
    verifyAt(detail.at(0), 0.3);
    verifyCentred(detail.at(2), 42.9, 29.1);
    verifyCentred(detail.at(3), 73.6, 16.1);
    verifyAt(detail.at(4), 91.3);
    verifyCentred(detail.at(5), 128.1, 9.0);
    verifyCentred(detail.at(6), 146.3, 17.5);
    verifyCentred(detail.at(7), 169.9, 19.6);
    const QList<PdfWord> totals = pdf.lineOf(QStringLiteral("205"));
    verifyCentred(totals.at(0), 128.3, 9.0);
    verifyCentred(totals.at(1), 145.5, 19.3);
    verifyCentred(totals.at(2), 169.9, 19.6);
    const QList<PdfWord> hours = pdf.lineOf(QStringLiteral("Хоз."));
    const QList<PdfWord> rate = pdf.lineOf(QStringLiteral("1869,38"));
    verifyAt(hours.at(0), 84.9);
    verifyCentred(hours.at(3), 107.7, 22.8);
    verifyCentred(hours.at(4), 132.0, 22.8);
    verifyCentred(hours.at(5), 163.8, 22.8);
    // Seven rows 6.1 mm apart; the table's headings 6 mm above the first.
    QVERIFY(std::abs((rate.first().y0 - hours.first().y0) - 5 * 6.1) < 0.4);
    const PdfWord headingHours = pdf.find(QStringLiteral("Часы"));
    verifyAt(headingHours, 115.1);
    // (the row labels are centred on their 4.6 mm line)
    ReportFont labelFont;
    labelFont.bold = true;
    const double labelOffset = (4.6 - ReportDocument::lineHeight(labelFont)) / 2;
    QVERIFY(std::abs((hours.first().y0 - headingHours.y0) - 6.0 - labelOffset) < 0.4);
    QVERIFY(std::abs((headingHours.y0 - totals.first().y0) - 8.0) < 0.6);
    const QList<PdfWord> grand = pdf.lineOf(QStringLiteral("Итого:"), true);
    verifyAt(grand.at(0), 106.1);
    verifyCentred(grand.at(1), 132.0, 11.4);
    verifyCentred(grand.at(2), 145.0, 19.3);
    verifyCentred(grand.at(3), 165.9, 23.5);
    verifyAt(pdf.find(QStringLiteral("Брак")), 124.1);
    verifyAt(pdf.find(QStringLiteral("Количество")), 133.3);
}

void TestReports::detailedProductsReportLayout()
{
    const PdfText pdf = runFromCentre("Button3", ProductKindChoice::All);
    const QStringList lines = pdf.allLines();
    QVERIFY(lines.first().endsWith(QStringLiteral("Брак Коробки Кол-во Сумма")));
    const int pallets = lines.indexOf(QStringLiteral("Поддоны"));
    QVERIFY2(pallets == 1, qPrintable(lines.join(QLatin1Char('\n'))));
    // The journal's price: 5 × 10 + 9 × 12,345, three decimals in the row, two in the footer.
    QCOMPARE(lines.mid(pallets + 1, 3), (QStringList{
        QStringLiteral("Поддон Е Сборка 0 Готовая продукция 1 150 15 161,105"),
        QStringLiteral("1 150,00 15 161,11"),
        QStringLiteral("Ящики"),
    }));
    QCOMPARE(lines.mid(pallets + 4, 5), (QStringList{
        QStringLiteral("Ящик 400 Покраска 1 Готовая продукция 1 45 30 65,250"),
        QStringLiteral("Ящик 400 Сборка 0 Готовая продукция 2 240 160 237,000"),
        QStringLiteral("Ящик 600 Сборка -1 Заготовки 0 15,75 7 21,700"),
        QStringLiteral("Ящик 600 Сборка 3005 Заготовки 0 45 20 62,000"),
        QStringLiteral("3 345,75 217 385,95"),
    }));
    QCOMPARE(lineText(pdf, QStringLiteral("Итого:"), true), QStringLiteral("Итого: 4 495,75 232 547,06"));

    const QList<PdfWord> detail = pdf.lineOf(QStringLiteral("161,105"));
    verifyAt(detail.at(0), 1.1);
    verifyAt(detail.at(2), 52.9);
    verifyCentred(detail.at(3), 81.2, 16.7);
    verifyAt(detail.at(4), 99.5);
    verifyCentred(detail.at(6), 125.4, 6.6);
    verifyCentred(detail.at(7), 133.6, 18.8);
    verifyCentred(detail.at(8), 152.1, 16.7);
    verifyCentred(detail.at(9), 169.9, 19.1);
    const QList<PdfWord> footer = pdf.lineOf(QStringLiteral("385,95"));
    verifyCentred(footer.at(0), 124.4, 8.7);
    verifyCentred(footer.at(1), 132.8, 18.8);
    verifyCentred(footer.at(2), 152.1, 16.7);
    verifyCentred(footer.at(3), 169.9, 20.1);
    const QList<PdfWord> grand = pdf.lineOf(QStringLiteral("Итого:"), true);
    verifyAt(grand.at(0), 99.7);
    verifyCentred(grand.at(1), 124.4, 8.5);
    verifyCentred(grand.at(4), 169.9, 19.1);
    verifyAt(pdf.find(QStringLiteral("Кол-во")), 153.5);
    verifyAt(pdf.find(QStringLiteral("Сумма")), 173.8);
}

void TestReports::groupHeaderMovesWithItsFooter()
{
    auto &[db, p, module] = *m_fixture;
    // January 2008: five workers with one record each, the first with two. The fourth worker's
    // header would still fit on the first page, his footer not: he starts the second page.
    const QDate start(2008, 1, 1);
    for (int i = 0; i < 5; ++i) {
        const int w = db.addWorker(QStringLiteral("Рабочий%1").arg(i + 1));
        db.addRecord(w, p.p1, p.o1, QDate(2008, 1, 10), 1, 10, 0, 1, 8);
        if (i == 0)
            db.addRecord(w, p.p2, p.o3, QDate(2008, 1, 11), 1, 10, 0, 1, 8);
    }
    DetailedWorkersReport report(module.get());
    const PdfText pdf = pdfOf(report.make(start, start.addMonths(1), ProductKindChoice::All), QStringLiteral("keep"));
    QCOMPARE(pdf.pageCount(), 2);
    const double footer = 57.9;
    for (int i = 1; i <= 5; ++i) {
        const PdfWord w = pdf.find(QStringLiteral("Рабочий%1").arg(i));
        QVERIFY(w.page != 0);
        // Header (5 mm, its value 0.5 mm down) and footer fit above the page footer.
        QVERIFY2(w.y0 - 0.5 + 5.0 + footer <= PortraitBottom + 0.5,
                 qPrintable(QStringLiteral("Рабочий%1 at %2 on page %3").arg(i).arg(w.y0).arg(w.page)));
    }
    QCOMPARE(pdf.find(QStringLiteral("Рабочий3")).page, 1);
    const PdfWord moved = pdf.find(QStringLiteral("Рабочий4"));
    QCOMPARE(moved.page, 2);
    QVERIFY(moved.y0 < 1.5);
    // Room was left on the first page: more than the header itself needed.
    double lowest = 0;
    for (const PdfWord &w : pdf.onPage(1))
        if (w.text != QLatin1String("1"))
            lowest = std::max(lowest, w.y1);
    QVERIFY2(PortraitBottom - lowest > 5.0 + 4.2, qPrintable(QString::number(lowest)));
    // Pages numbered at the foot of each page.
    QCOMPARE(textsFrom(pdf.lineWords(2).last()), QStringList{QStringLiteral("2")});
}

void TestReports::emptyPeriodStillGivesAPage_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("total");
    QTest::newRow("workers") << "Button4" << "Итого: 0,00 0,00";
    QTest::newRow("products") << "Button2" << "Итого: 0 0";
    QTest::newRow("detailed workers") << "Button1" << "Итого: 0 0 0,00";
    QTest::newRow("detailed products") << "Button3" << "Итого: 0 0 0 0,00";
}

void TestReports::emptyPeriodStillGivesAPage()
{
    QFETCH(QString, button);
    QFETCH(QString, total);
    const PdfText pdf = runFromCentre(button.toLatin1().constData(), ProductKindChoice::All, QDate(2030, 1, 1), QDate(2030, 2, 1));
    QCOMPARE(pdf.pageCount(), 1);
    const QStringList lines = pdf.lines(1);
    QVERIFY2(lines.first().contains(QStringLiteral("за период с 01.01.2030 по 01.02.2030")), qPrintable(lines.first()));
    QCOMPARE(lines.size(), 3);
    QCOMPARE(lines.at(1), total);
    QCOMPARE(lines.at(2), QStringLiteral("1"));
}

void TestReports::databaseErrorShowsNoReport()
{
    auto &[db, _p, module] = *m_fixture;
    db.exec(QStringLiteral("alter table accounts_dep.fatigue rename column cnt to cnt_gone"));
    ReportCentre centre(module.get());
    centre.startField->setDate(Start);
    PreviewSpy spy;
    FakeSpreadsheet spreadsheet;
    Messages::MessageRecorder rec;
    child<QPushButton>(&centre, "Button4")->click();
    QCOMPARE(spy.runs, 0);
    QCOMPARE(rec.shown.size(), 1);
    QCOMPARE(rec.shown[0].title, QStringLiteral("Ошибка"));
    QVERIFY2(rec.shown[0].text.contains(QLatin1String("cnt")), qPrintable(rec.shown[0].text));
    QVERIFY(!centre.workersReport->query->isOpen());

    // The export's query does not read the entries; a broken journal stops it before any workbook.
    db.exec(QStringLiteral("alter table accounts_dep.smena rename column brak to brak_gone"));
    rec.clear();
    child<QPushButton>(&centre, "Button6")->click();
    QCOMPARE(rec.shown.size(), 1);
    QVERIFY(spreadsheet.opened.isEmpty());
    QCOMPARE(child<QPushButton>(&centre, "Button6")->text(), QStringLiteral("Excel (0 из 0)"));
    QVERIFY(!centre.exportQuery->isOpen());
}

// ---- The monthly timesheet by shifts ---------------------------------------------------------------

void TestReports::timesheetRepeatsColumnHeader()
{
    auto &[db, _p, module] = *m_fixture;
    // 60 workers, each with a shift row and some with a household-work row as well; November has
    // 30 days, so day 31 stays empty.
    QList<int> workers;
    for (int i = 0; i < 60; ++i) {
        const int w = db.addWorker(QStringLiteral("Табельный%1").arg(i + 1, 2, 10, QLatin1Char('0')));
        workers << w;
        db.exec(QStringLiteral("insert into accounts_dep.h_tabel(w_id, smena, month, year, d1, d2, d15, d30) values(%1, 1, 11, 2007, 8, %2, 9, 4)")
                       .arg(w).arg(i % 12));
        if (i % 3 == 0)
            db.exec(QStringLiteral("insert into accounts_dep.h_tabel(w_id, smena, i_type, month, year, d2, d3) values(%1, 0, 7777, 11, 2007, 2, 5)").arg(w));
    }
    // Another month's row does not count.
    db.exec(QStringLiteral("insert into accounts_dep.h_tabel(w_id, smena, month, year, d1) values(%1, 1, 10, 2007, 99)").arg(workers.first()));

    ShiftTimesheetReport report(module.get());
    QCOMPARE(report.titleItem(), QStringLiteral("QRLabel33"));
    QCOMPARE(report.title(), QStringLiteral("Данные за:"));
    const PdfText pdf = pdfOf(report.make(11, 2007, ShiftTimesheetReport::periodLabel(QStringLiteral("Ноябрь"), QStringLiteral("2007"))),
                              QStringLiteral("timesheet"));
    QVERIFY(!report.query->isOpen());
    QVERIFY(pdf.pageCount() >= 2);
    QVERIFY(std::abs(pdf.pages.first().width() - 297.0) < 0.5);

    QStringList days;
    for (int d = 1; d <= 31; ++d)
        days << QString::number(d);
    const QString header = QStringLiteral("Ноябрь 2007 г. ") + days.join(QLatin1Char(' ')) + QStringLiteral(" Итого");
    QMap<QString, QString> totals;
    for (const auto &r : db.rows(QStringLiteral(
             "select p.s_caption, sum(coalesce(d1,0)+coalesce(d2,0)+coalesce(d3,0)+coalesce(d15,0)+coalesce(d30,0)) "
             "from accounts_dep.h_tabel h join cmn_contractor.person p on p.id = h.w_id where month = 11 and year = 2007 group by 1")))
        totals.insert(r[0].toString(), r[1].toString());
    QCOMPARE(totals.size(), 60);

    int rowsSeen = 0;
    for (int page = 1; page <= pdf.pageCount(); ++page) {
        const QList<QList<PdfWord>> lines = pdf.lineWords(page);
        // The column header at the top of every page, day numbers centred in their boxes.
        QCOMPARE(textsFrom(lines.first()).join(QLatin1Char(' ')), header);
        QVERIFY(lines.first().first().y0 < 2.0);
        for (int d = 1; d <= 31; ++d)
            verifyCentred(lines.first().at(2 + d), ShiftTimesheetReport::DayColumns.at(d - 1), ShiftTimesheetReport::DayWidth);
        verifyAt(lines.first().last(), 264.6);
        // The page number, right-aligned at the foot; its box (252.7, 25.7 wide) ends at the
        // edge of the printable area, 277 mm.
        QCOMPARE(textsFrom(lines.last()), QStringList{QString::number(page)});
        QVERIFY2(std::abs(lines.last().first().x1 - 277.0) < 0.5, qPrintable(QString::number(lines.last().first().x1)));
        for (int l = 1; l + 1 < lines.size(); ++l) {
            const QList<PdfWord> &row = lines.at(l);
            const QString name = row.first().text;
            QVERIFY2(totals.contains(name), qPrintable(name));
            // Only where a column header's height is left below the row.
            QVERIFY(row.first().y0 + ShiftTimesheetReport::DetailHeight + ShiftTimesheetReport::ColumnHeaderHeight <= LandscapeBottom + 1.0);
            QCOMPARE(row.last().text, totals.value(name));
            verifyCentred(row.last(), 264.6, 10.3);
            ++rowsSeen;
        }
    }
    QCOMPARE(rowsSeen, 60);
    // Day cells under their day numbers: the first worker 8 on day 1, 2 (0 + 2) on day 2, 5 on day 3.
    const QList<PdfWord> first = pdf.lineOf(QStringLiteral("Табельный01"));
    QCOMPARE(textsFrom(first), (QStringList{QStringLiteral("Табельный01"), QStringLiteral("8"), QStringLiteral("2"),
                                            QStringLiteral("5"), QStringLiteral("9"), QStringLiteral("4"), QStringLiteral("28")}));
    verifyCentred(first.at(1), ShiftTimesheetReport::DayColumns.at(0), ShiftTimesheetReport::DayWidth);
    verifyCentred(first.at(3), ShiftTimesheetReport::DayColumns.at(2), ShiftTimesheetReport::DayWidth);
    verifyCentred(first.at(4), ShiftTimesheetReport::DayColumns.at(14), ShiftTimesheetReport::DayWidth);
    verifyCentred(first.at(5), ShiftTimesheetReport::DayColumns.at(29), ShiftTimesheetReport::DayWidth);

    // An empty month still gives its page with the column header.
    const PdfText empty = pdfOf(report.make(1, 2030, ShiftTimesheetReport::periodLabel(QStringLiteral("Январь"), QStringLiteral("2030"))),
                                QStringLiteral("timesheet-empty"));
    QCOMPARE(empty.pageCount(), 1);
    QCOMPARE(empty.lines(1).size(), 2);
    QVERIFY(empty.lines(1).first().startsWith(QStringLiteral("Январь 2030 г. 1 2 3")));
}

void TestReports::timesheetPreviewShowsWholePage()
{
    auto &[db, p, module] = *m_fixture;
    db.exec(QStringLiteral("insert into accounts_dep.h_tabel(w_id, smena, month, year, d5) values(%1, 2, 11, 2007, 7)").arg(p.w2));
    // The run's holder, as the timesheet window prints with it.
    JournalWindow main(module.get());
    ShiftTimesheetReport *holder = Windows::get<ShiftTimesheetReport>();
    QVERIFY(holder);
    QCOMPARE(holder, Windows::get<ShiftTimesheetReport>());
    PreviewSpy spy;
    bool openWhileShown = true;
    spy.whileOpen = [&] { openWhileShown = holder->query->isOpen(); };
    ReportPreview::run(holder->make(11, 2007, QStringLiteral("Ноябрь 2007 г.")), holder->zoom(), nullptr);
    QCOMPARE(spy.runs, 1);
    QVERIFY(spy.maximised);
    QCOMPARE(spy.zoom, ReportPageView::FitInView);
    // The rows were read before the preview opened and are the report's own: its query is
    // closed already while the user looks at the pages.
    QVERIFY(!openWhileShown);
    QVERIFY(!holder->query->isOpen());
    QCOMPARE(spy.document.orientation(), QPageLayout::Landscape);
    QVERIFY(spy.document.texts(0).contains(QStringLiteral("Ноябрь 2007 г.")));
    QVERIFY(spy.document.texts(0).contains(QStringLiteral("Борисов Б.Б.")));
}

// ---- The preview and printing -------------------------------------------------------------------

void TestReports::printsPageRangeOnPrinter()
{
    ReportLayout layout;
    layout.detail = ReportBand(100, {ReportItem::field(QStringLiteral("n"), 0, 0)});
    layout.pageFooter = ReportBand(5, {ReportItem::pageNumber(0, 0, 30, QStringLiteral("стр. %1"))});
    ReportDataSet data({QStringLiteral("n")});
    for (int i = 1; i <= 7; ++i)
        data.appendRow(row({QStringLiteral("строка%1").arg(i)}));
    const ReportDocument doc = ReportEngine::generate(layout, data);
    QCOMPARE(doc.pageCount(), 4); // two 100 mm rows per page

    // Printed as the preview prints on the printer the user chose.
    Messages::MessageRecorder rec;
    ReportPreview preview(doc, ReportZoom::PageWidth);
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    const QString path = pdfDir() + QStringLiteral("/range.pdf");
    printer.setOutputFileName(path);
    printer.setPageLayout(doc.pageLayout());
    QPageRanges ranges;
    ranges.addPage(1);
    ranges.addRange(3, 4);
    printer.setPageRanges(ranges);
    QVERIFY(preview.printOn(&printer));
    const PdfText pdf = readPdf(path);
    QCOMPARE(pdf.pages.size(), 3);
    QCOMPARE(pdf.lines(1), QStringList({QStringLiteral("строка1"), QStringLiteral("строка2"), QStringLiteral("стр. 1")}));
    QCOMPARE(pdf.lines(2), QStringList({QStringLiteral("строка5"), QStringLiteral("строка6"), QStringLiteral("стр. 3")}));
    QCOMPARE(pdf.lines(3), QStringList({QStringLiteral("строка7"), QStringLiteral("стр. 4")}));
    QVERIFY(rec.shown.isEmpty());

    // A range beyond the report prints nothing and says so.
    QPrinter beyond(QPrinter::HighResolution);
    beyond.setOutputFormat(QPrinter::PdfFormat);
    beyond.setOutputFileName(pdfDir() + QStringLiteral("/beyond.pdf"));
    beyond.setFromTo(9, 12);
    QVERIFY(!preview.printOn(&beyond));
    QCOMPARE(rec.errors().size(), 1);
}

void TestReports::previewOpensMaximisedAndZoomed_data()
{
    QTest::addColumn<int>("zoom");
    QTest::addColumn<int>("expectedMode");
    QTest::newRow("page width") << int(ReportZoom::PageWidth) << int(ReportPageView::FitToWidth);
    QTest::newRow("whole page") << int(ReportZoom::WholePage) << int(ReportPageView::FitInView);
}

void TestReports::previewOpensMaximisedAndZoomed()
{
    auto &[_db, _p, module] = *m_fixture;
    QFETCH(int, zoom);
    QFETCH(int, expectedMode);
    // The report by workers of the fixture month: one page.
    WorkersReport report(module.get());
    const PreparedReport prepared = report.make(Start, End, ProductKindChoice::All);
    bool ran = false;
    ReportPreview::setExecHook([&](ReportPreview &preview) {
        ran = true;
        QVERIFY(preview.windowState() & Qt::WindowMaximized);
        QCOMPARE(int(preview.view()->zoomMode()), expectedMode);
        QCOMPARE(preview.pageCount(), 1);
    });
    ReportPreview::run(prepared, ReportZoom(zoom));
    ReportPreview::setExecHook(nullptr);
    QVERIFY(ran);
}

void TestReports::previewNavigatesAndSaves()
{
    ReportLayout layout;
    layout.title = QStringLiteral("Проба");
    layout.detail = ReportBand(100, {ReportItem::field(QStringLiteral("n"), 0, 0)});
    ReportDataSet data({QStringLiteral("n")});
    for (int i = 1; i <= 5; ++i)
        data.appendRow(row({QStringLiteral("строка%1").arg(i)}));
    const ReportDocument doc = ReportEngine::generate(layout, data);

    Messages::MessageRecorder rec;
    ReportPreview preview(doc, ReportZoom::PageWidth);
    preview.show();
    QVERIFY(QTest::qWaitForWindowExposed(&preview));
    QCOMPARE(preview.pageCount(), 3);
    auto *pageBox = preview.findChild<QSpinBox *>(QStringLiteral("PageNumber"));
    QVERIFY(pageBox);
    QCOMPARE(preview.currentPage(), 1);
    QCOMPARE(preview.findChild<QLabel *>(QStringLiteral("PageCount"))->text().trimmed(), QStringLiteral("из 3"));

    preview.findChild<QAction *>(QStringLiteral("actionLastPage"))->trigger();
    QCOMPARE(preview.currentPage(), 3);
    QCOMPARE(pageBox->value(), 3);
    QVERIFY(!preview.findChild<QAction *>(QStringLiteral("actionNextPage"))->isEnabled());
    preview.findChild<QAction *>(QStringLiteral("actionPreviousPage"))->trigger();
    QCOMPARE(preview.currentPage(), 2);
    pageBox->setValue(1);
    QCOMPARE(preview.currentPage(), 1);
    QVERIFY(!preview.findChild<QAction *>(QStringLiteral("actionFirstPage"))->isEnabled());

    preview.findChild<QAction *>(QStringLiteral("actionZoomIn"))->trigger();
    QCOMPARE(preview.view()->zoomMode(), ReportPageView::CustomZoom);
    preview.findChild<QAction *>(QStringLiteral("actionFitPage"))->trigger();
    QCOMPARE(preview.view()->zoomMode(), ReportPageView::FitInView);

    const QString path = pdfDir() + QStringLiteral("/preview.pdf");
    QVERIFY(preview.savePdf(path));
    const PdfText pdf = readPdf(path);
    QCOMPARE(pdf.pages.size(), 3);
    QCOMPARE(pdf.lines(3), QStringList({QStringLiteral("строка5")}));
    QVERIFY(rec.shown.isEmpty());

    QVERIFY(!preview.savePdf(QStringLiteral("/nonexistent-folder/report.pdf")));
    QCOMPARE(rec.errors().size(), 1);
    QVERIFY(rec.errors().first().contains(QStringLiteral("/nonexistent-folder/report.pdf")));
}

namespace {
// A report of many pages: 20 rows a page.
PreparedReport manyPages(int rows)
{
    PreparedReport report;
    report.layout.title = QStringLiteral("Проба");
    report.layout.detail = ReportBand(13, {ReportItem::field(QStringLiteral("n"), 0, 0, 60),
                                           ReportItem::field(QStringLiteral("v"), 80, 0, 30).masked(QStringLiteral("#0.00"))});
    report.layout.pageFooter = ReportBand(5, {ReportItem::pageNumber(0, 0, 30, QStringLiteral("стр. %1"))});
    report.data = ReportDataSet({QStringLiteral("n"), QStringLiteral("v")});
    for (int i = 1; i <= rows; ++i)
        report.data.appendRow(row({QStringLiteral("строка%1").arg(i), i * 1.5}));
    return report;
}
} // namespace

void TestReports::previewShowsPagesAsTheyAreMade()
{
    const PreparedReport report = manyPages(20000);
    ReportPreview preview(report);
    auto *label = child<QLabel>(&preview, "PageCount");
    auto *progress = child<QProgressBar>(&preview, "PreviewProgress");
    auto *pageBox = child<QSpinBox>(&preview, "PageNumber");
    // Nothing is laid out before the window is up.
    QCOMPARE(preview.pageCount(), 0);
    QVERIFY(preview.isLayingOut());

    // What the user sees when page 1 first shows.
    bool layingOutAtFirstPaint = false;
    int rowsAtFirstPaint = -1;
    QString labelAtFirstPaint;
    int lastPageAtFirstPaint = 0;
    bool nextEnabledAtFirstPaint = true;
    connect(preview.view(), &ReportPageView::pagePainted, this, [&](int page) {
        if (rowsAtFirstPaint >= 0)
            return;
        QCOMPARE(page, 1);
        layingOutAtFirstPaint = preview.isLayingOut();
        rowsAtFirstPaint = preview.rowsLaidOut();
        labelAtFirstPaint = label->text().trimmed();
        lastPageAtFirstPaint = pageBox->maximum();
        nextEnabledAtFirstPaint = child<QAction>(&preview, "actionNextPage")->isEnabled()
            && preview.pageCount() == 1;
    });
    preview.show();
    QVERIFY(QTest::qWaitForWindowExposed(&preview));
    QTRY_VERIFY(rowsAtFirstPaint >= 0);
    QVERIFY(layingOutAtFirstPaint);
    QVERIFY2(rowsAtFirstPaint < 20000 / 4, qPrintable(QString::number(rowsAtFirstPaint)));
    QCOMPARE(labelAtFirstPaint, QStringLiteral("из …"));
    // Only pages already made can be gone to.
    QVERIFY(lastPageAtFirstPaint >= 1 && lastPageAtFirstPaint < 1000);
    QVERIFY(!nextEnabledAtFirstPaint);

    // Pages keep coming while the user pages through those made.
    QTRY_VERIFY(preview.pageCount() >= 3);
    if (preview.isLayingOut()) {
        QVERIFY(progress->isVisible());
        QVERIFY(progress->value() > 0 && progress->value() < progress->maximum());
    }
    preview.findChild<QAction *>(QStringLiteral("actionLastPage"))->trigger();
    QVERIFY(preview.currentPage() >= 3);
    QVERIFY(preview.currentPage() <= preview.pageCount());
    pageBox->setValue(2);
    QCOMPARE(preview.currentPage(), 2);

    QTRY_VERIFY_WITH_TIMEOUT(!preview.isLayingOut(), 60000);
    QCOMPARE(preview.pageCount(), 1000);
    QCOMPARE(label->text().trimmed(), QStringLiteral("из 1000"));
    QVERIFY(!progress->isVisible());
    QCOMPARE(preview.document().texts(999).first(), QStringLiteral("строка19981"));
    QCOMPARE(preview.document().texts(999).last(), QStringLiteral("стр. 1000"));
    // A page is painted from its records whenever it is shown.
    preview.findChild<QAction *>(QStringLiteral("actionLastPage"))->trigger();
    const int painted = preview.view()->paintedPages();
    QTRY_VERIFY(preview.view()->paintedPages() > painted);
}

void TestReports::closingThePreviewStopsTheLayout()
{
    ReportPreview preview(manyPages(20000));
    preview.show();
    QVERIFY(QTest::qWaitForWindowExposed(&preview));
    QTRY_VERIFY(preview.pageCount() >= 1);
    QVERIFY(preview.isLayingOut());
    preview.reject();
    QVERIFY(!preview.isLayingOut());
    const int made = preview.pageCount();
    QVERIFY(made < 1000);
    QTest::qWait(200);
    QCOMPARE(preview.pageCount(), made);

    // Saving from a preview still laying out waits for the rest, and the file holds every page.
    Messages::MessageRecorder rec;
    ReportPreview saving(manyPages(2000));
    saving.show();
    QVERIFY(QTest::qWaitForWindowExposed(&saving));
    QTRY_VERIFY(saving.pageCount() >= 1);
    const QString path = pdfDir() + QStringLiteral("/while-laying-out.pdf");
    QVERIFY(saving.savePdf(path));
    QVERIFY(!saving.isLayingOut());
    const PdfText pdf = readPdf(path);
    QCOMPARE(pdf.pageCount(), 100);
    QCOMPARE(pdf.lines(100).last(), QStringLiteral("стр. 100"));
    QVERIFY(rec.shown.isEmpty());
}

// ---- The product export ---------------------------------------------------------------------------

void TestReports::exportWritesProductOutput_data()
{
    QTest::addColumn<ProductKindChoice>("kind");
    QTest::addColumn<int>("rows");
    QTest::newRow("all") << ProductKindChoice::All << 5;
    QTest::newRow("finished") << ProductKindChoice::Finished << 3;
    QTest::newRow("blanks") << ProductKindChoice::Blanks << 2;
}

void TestReports::exportWritesProductOutput()
{
    auto &[db, _p, module] = *m_fixture;
    QFETCH(ProductKindChoice, kind);
    QFETCH(int, rows);
    FakeSpreadsheet spreadsheet;
    ReportCentre centre(module.get());
    centre.startField->setDate(Start);
    centre.endField->setDate(End);
    centre.setProductKind(kind);
    QPushButton *button = child<QPushButton>(&centre, "Button6");
    QCOMPARE(button->text(), QStringLiteral("Excel (0 из 0)"));

    // The caption counts the rows as they are written: the export lets timers and paints run
    // after every row.
    QStringList captions;
    QTimer probe;
    connect(&probe, &QTimer::timeout, this, [&] {
        if (captions.isEmpty() || captions.last() != button->text())
            captions << button->text();
    });
    probe.start(0);
    Messages::MessageRecorder rec;
    button->click();
    probe.stop();
    QCOMPARE(rec.shown.size(), 0);
    QCOMPARE(button->text(), QStringLiteral("Excel (%1 из %1)").arg(rows));
    QStringList progress;
    for (int k = 1; k <= rows; ++k)
        progress << QStringLiteral("Excel (%1 из %2)").arg(k).arg(rows);
    QCOMPARE(captions, progress);
    QVERIFY(!centre.exportQuery->isOpen());

    QCOMPARE(spreadsheet.opened.size(), 1);
    const auto cells = readWorkbook(spreadsheet.opened.first()).filled();
    const QStringList headings = {QStringLiteral("Наименование"), QStringLiteral("Операция"), QStringLiteral("Вид продукции"),
                                  QStringLiteral("Коробки"), QStringLiteral("Кол-во")};
    for (int c = 1; c <= 5; ++c)
        QCOMPARE(cells.value({1, c}).value, headings.at(c - 1));
    QVERIFY(!cells.contains({rows + 2, 1}) && !cells.contains({rows + 2, 5}));

    // Every row of the kind, in the order of the products; the sums agree with the journal.
    QStringList lines;
    double quantity = 0, mass = 0;
    for (int r = 2; r < rows + 2; ++r) {
        QVERIFY(cells.value({r, 4}).isNumber() && cells.value({r, 5}).isNumber());
        quantity += cells.value({r, 5}).value.toDouble();
        mass += cells.value({r, 4}).value.toDouble();
        lines << QStringLiteral("%1|%2|%3|%4|%5").arg(cells.value({r, 1}).value, cells.value({r, 2}).value,
                                                      cells.value({r, 3}).value, cells.value({r, 4}).value,
                                                      cells.value({r, 5}).value);
    }
    QCOMPARE(quantity, journalSum(db, QStringLiteral("s.kol_vo-s.brak"), kind));
    QVERIFY(std::abs(mass - journalSum(db, QStringLiteral("g.massa*(s.kol_vo-s.brak)"), kind)) < 1e-9);
    QStringList expected;
    if (kind != ProductKindChoice::Blanks)
        expected << QStringLiteral("Поддоны|Сборка|Готовая продукция|140|14");
    const QStringList boxes = {
        QStringLiteral("Ящики|Покраска (грунт)|Готовая продукция|43.5|29"),
        QStringLiteral("Ящики|Сборка|Готовая продукция|237|158"),
        QStringLiteral("Ящики|Сборка (цвет: 3005)|Заготовки|45|20"),
        QStringLiteral("Ящики|Сборка|Заготовки|15.75|7"),
    };
    QStringList boxRows = lines.mid(expected.size());
    boxRows.sort();
    QStringList expectedBoxes;
    for (const QString &b : boxes)
        if (kind == ProductKindChoice::All || b.contains(kind == ProductKindChoice::Finished ? QStringLiteral("Готовая") : QStringLiteral("Заготовки")))
            expectedBoxes << b;
    expectedBoxes.sort();
    QCOMPARE(lines.mid(0, expected.size()), expected);
    QCOMPARE(boxRows, expectedBoxes);
}

void TestReports::exportOfEmptyPeriod()
{
    auto &[db, p, module] = *m_fixture;
    FakeSpreadsheet spreadsheet;
    ReportCentre centre(module.get());
    centre.startField->setDate(Start);
    centre.endField->setDate(End);
    QPushButton *button = child<QPushButton>(&centre, "Button6");
    button->click();
    QCOMPARE(button->text(), QStringLiteral("Excel (5 из 5)"));

    // A product without a group leaves the name empty.
    const int loose = db.addProduct(QStringLiteral("Без группы"), 0, 2);
    const int price = db.addPrice(p.k1, loose, 0);
    db.addRecord(p.w1, loose, price, QDate(2030, 2, 3), 1, 3, 0, 1, 1);
    centre.startField->setDate(QDate(2030, 2, 1));
    centre.endField->setDate(QDate(2030, 3, 1));
    button->click();
    QCOMPARE(button->text(), QStringLiteral("Excel (1 из 1)"));
    auto cells = readWorkbook(spreadsheet.opened.last()).filled();
    QVERIFY(!cells.contains({2, 1}));
    QCOMPARE(cells.value({2, 2}).value, QStringLiteral("Сборка"));
    QCOMPARE(cells.value({2, 4}).value, QStringLiteral("6"));

    // A record on the end date belongs to the next period.
    centre.startField->setDate(QDate(2030, 1, 1));
    centre.endField->setDate(QDate(2030, 2, 3));
    button->click();
    QCOMPARE(button->text(), QStringLiteral("Excel (0 из 0)"));
    QCOMPARE(spreadsheet.opened.size(), 3);
    cells = readWorkbook(spreadsheet.opened.last()).filled();
    QCOMPARE(cells.size(), 5);
    QCOMPARE(cells.value({1, 5}).value, QStringLiteral("Кол-во"));
}

void TestReports::exportWithoutSpreadsheetApplication()
{
    auto &[_db, _p, module] = *m_fixture;
    FakeSpreadsheet spreadsheet;
    ReportCentre centre(module.get());
    centre.startField->setDate(Start);
    centre.endField->setDate(End);
    centre.setProductKind(ProductKindChoice::Blanks);
    QPushButton *button = child<QPushButton>(&centre, "Button6");
    button->click();
    QCOMPARE(button->text(), QStringLiteral("Excel (2 из 2)"));

    spreadsheet.available = false;
    centre.setProductKind(ProductKindChoice::All);
    Messages::MessageRecorder rec;
    button->click();
    // The workbook is written all the same; the message says where it is and offers its folder.
    const QString path = SharedSpreadsheetWriter().savedFile();
    QVERIFY(path != spreadsheet.opened[0]);
    QCOMPARE(readWorkbook(path).rowTexts().size(), 6);
    QCOMPARE(rec.shown.size(), 1);
    QCOMPARE(rec.shown[0].text, QStringLiteral("Невозможно открыть Microsoft Excel.\nКнига сохранена в файле %1")
                                    .arg(QDir::toNativeSeparators(path)));
    QCOMPARE(rec.shown[0].folder, QFileInfo(path).absolutePath());
    QCOMPARE(button->text(), QStringLiteral("Excel (5 из 5)"));
    QCOMPARE(spreadsheet.opened.size(), 1);
    QVERIFY(!centre.exportQuery->isOpen());
}

// ---- The window ------------------------------------------------------------------------------------

void TestReports::centreWindow()
{
    auto &[_db, _p, module] = *m_fixture;
    ReportCentre centre(module.get());
    QCOMPARE(centre.windowTitle(), QStringLiteral("Отчеты (8)"));
    QCOMPARE(centre.layout()->sizeConstraint(), QLayout::SetFixedSize);

    auto *kinds = child<QGroupBox>(&centre, "RadioGroup1");
    auto *period = child<QGroupBox>(&centre, "GroupBox1");
    QCOMPARE(kinds->title(), QStringLiteral("Вид продукции"));
    QCOMPARE(period->title(), QStringLiteral("Период отбора"));
    QVERIFY(kinds->font().bold() && period->font().bold());
    const QList<QRadioButton *> items = kinds->findChildren<QRadioButton *>();
    QCOMPARE(items.size(), 3);
    QCOMPARE(items[0]->text(), QStringLiteral("Все"));
    QCOMPARE(items[1]->text(), QStringLiteral("Готовая продукция"));
    QCOMPARE(items[2]->text(), QStringLiteral("Заготовки"));
    QVERIFY(items[0]->isChecked());
    QVERIFY(!items[1]->font().bold());
    QCOMPARE(centre.productKind(), ProductKindChoice::All);
    items[2]->click();
    QCOMPARE(centre.productKind(), ProductKindChoice::Blanks);

    QStringList labels;
    for (QLabel *l : period->findChildren<QLabel *>())
        labels << l->text();
    QCOMPARE(labels, (QStringList{QStringLiteral("с"), QStringLiteral("по")}));
    QVERIFY(child<QDateEdit>(period, "DTPicker1")->calendarPopup());
    QVERIFY(child<QDateEdit>(period, "DTPicker2"));

    // Top to bottom: the kinds, the period, then the commands in this order.
    centre.show();
    QList<QWidget *> order = {kinds, period};
    const QList<QPair<const char *, QString>> buttons = {
        {"Button4", QStringLiteral("Отчет по рабочим")},
        {"Button2", QStringLiteral("Отчет по продукции")},
        {"Button1", QStringLiteral("Детальный отчет по рабочим")},
        {"Button3", QStringLiteral("Детальный отчет по продукции")},
        {"Button6", QStringLiteral("Excel (0 из 0)")},
        {"Button5", QStringLiteral("Выход")},
    };
    for (const auto &b : buttons) {
        auto *button = child<QPushButton>(&centre, b.first);
        QCOMPARE(button->text(), b.second);
        QVERIFY(button->isEnabled());
        order << button;
    }
    for (int i = 1; i < order.size(); ++i)
        QVERIFY(order[i]->mapTo(&centre, QPoint()).y() > order[i - 1]->mapTo(&centre, QPoint()).y());

    // "Выход" and Esc close the window.
    child<QPushButton>(&centre, "Button5")->click();
    QVERIFY(!centre.isVisible());
    centre.show();
    QVERIFY(QTest::qWaitForWindowExposed(&centre));
    QTest::keyClick(&centre, Qt::Key_Escape);
    QVERIFY(!centre.isVisible());
}

void TestReports::presetPeriod_data()
{
    QTest::addColumn<QDate>("today");
    QTest::addColumn<QDate>("start");
    QTest::addColumn<QDate>("end");
    QTest::newRow("march") << QDate(2024, 3, 15) << QDate(2024, 2, 1) << QDate(2024, 3, 1);
    QTest::newRow("january") << QDate(2025, 1, 10) << QDate(2024, 12, 1) << QDate(2025, 1, 1);
    QTest::newRow("december, last day") << QDate(2024, 12, 31) << QDate(2024, 11, 1) << QDate(2024, 12, 1);
    QTest::newRow("first day") << QDate(2008, 2, 1) << QDate(2008, 1, 1) << QDate(2008, 2, 1);
}

void TestReports::presetPeriod()
{
    auto &[_db, _p, module] = *m_fixture;
    QFETCH(QDate, today);
    QFETCH(QDate, start);
    QFETCH(QDate, end);
    ReportCentre centre(module.get());
    centre.setProductKind(ProductKindChoice::Blanks);
    centre.presetPeriod(today);
    QCOMPARE(child<QDateEdit>(&centre, "DTPicker1")->date(), start);
    QCOMPARE(child<QDateEdit>(&centre, "DTPicker2")->date(), end);
    QCOMPARE(centre.productKind(), ProductKindChoice::Blanks);   // the kind keeps its choice
}

void TestReports::rolesRestrictTheCentre_data()
{
    QTest::addColumn<QString>("login");
    QTest::addColumn<bool>("allReports");
    QTest::addColumn<bool>("kindFixed");
    QTest::newRow("administrator") << "61370452" << true << false;
    QTest::newRow("accountant") << "lumeno" << true << false;
    QTest::newRow("shift foreman") << "gildert" << false << false;
    QTest::newRow("storekeeper") << "vorny" << false << true;
}

void TestReports::rolesRestrictTheCentre()
{
    auto &[_db, _p, module] = *m_fixture;
    QFETCH(QString, login);
    QFETCH(bool, allReports);
    QFETCH(bool, kindFixed);

    JournalWindow main(module.get());
    LoginWindow login23(&main);
    child<QLineEdit>(&login23, "Edit1")->setText(login);
    QVERIFY(login23.applyLogin());

    PreviewSpy spy;
    bool checked = false;
    // The centre opens modally from the menu; look at it while it is open, run the one report
    // every role may use, then close it.
    QTimer::singleShot(0, this, [&] {
        auto *centre = qobject_cast<ReportCentre *>(QApplication::activeModalWidget());
        QVERIFY(centre);
        QCOMPARE(centre->parentWidget(), &main);
        QCOMPARE(centre->windowTitle(), QStringLiteral("Отчеты (8)"));
        const QDate today = QDate::currentDate();
        QCOMPARE(centre->periodStart(), QDate(today.year(), today.month(), 1).addMonths(-1));
        QCOMPARE(centre->periodEnd(), QDate(today.year(), today.month(), 1));
        for (const char *name : {"Button1", "Button2", "Button4", "Button6"})
            QCOMPARE(child<QPushButton>(centre, name)->isEnabled(), allReports);
        QVERIFY(child<QPushButton>(centre, "Button3")->isEnabled());
        QVERIFY(child<QPushButton>(centre, "Button5")->isEnabled());
        QCOMPARE(child<QGroupBox>(centre, "RadioGroup1")->isEnabled(), !kindFixed);
        QCOMPARE(centre->productKind(), kindFixed ? ProductKindChoice::Finished : ProductKindChoice::All);

        centre->startField->setDate(Start);
        centre->endField->setDate(End);
        child<QPushButton>(centre, "Button3")->click();
        QCOMPARE(spy.runs, 1);
        const QStringList texts = spy.document.texts(0);
        QVERIFY(texts.contains(QStringLiteral("Готовая продукция")));
        QCOMPARE(texts.contains(QStringLiteral("Заготовки")), !kindFixed);
        checked = true;
        child<QPushButton>(centre, "Button5")->click();
    });
    main.findChild<QAction *>(QStringLiteral("MenuReportCentre"))->trigger();
    QVERIFY(checked);
    QVERIFY(!Windows::get<ReportCentre>()->isVisible());
}

QTEST_MAIN(TestReports)
#include "test_reports.moc"
