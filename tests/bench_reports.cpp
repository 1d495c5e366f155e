// Prints how long the detailed report by workers takes from its query to a PDF file for one month
// of a large demo plant (300 workers, about 22,000 journal records a month), beside the time a
// bare ODBC client needs to run and fetch the same query, and the memory the report needs; the
// other period reports and the monthly timesheet follow for comparison.
// Not a test: run it by hand while the test cluster runs (scripts/test_cluster.sh start).
//   bench_reports [runs] [large|x4|x16]
// It creates a database of its own from the test template, loads the demo plant into it with
// scripts/load_demo.sh and drops it again at the end.

#include "support/bare_odbc_client.h"
#include "support/test_support.h"

#include "app/data_module.h"
#include "db/dataset.h"
#include "db/sql_statement.h"
#include "reports/detailed_products_report.h"
#include "reports/detailed_workers_report.h"
#include "reports/products_report.h"
#include "reports/report_dataset.h"
#include "reports/report_engine.h"
#include "reports/shift_timesheet_report.h"
#include "reports/workers_report.h"

#include <QGuiApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>

namespace {

QTextStream out(stdout);

// Resident and peak resident memory of this process, in MiB.
double memoryMiB(const char *key)
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(int(qstrlen(key))).trimmed().split(' ').first().toDouble() / 1024.0;
    return 0;
}

// Starts the peak resident memory afresh, so that a run's peak is its own.
void resetPeakMemory()
{
    QFile f(QStringLiteral("/proc/self/clear_refs"));
    if (f.open(QIODevice::WriteOnly))
        f.write("5");
}

// The detailed report's query with the period written in, as a bare client sends it.
QString detailedWorkersStatement(const QDate &start, const QDate &end)
{
    QString sql = TForm20::Statement;
    // Highest first: ":data1" is the beginning of ":data10".
    for (int n = 18; n >= 1; --n)
        sql.replace(QStringLiteral(":data%1").arg(n), sqlLiteral(sqlDate(n % 2 ? start : end)));
    return sql;
}

struct Run {
    double queryMs = 0;
    double generateMs = 0;
    double pdfMs = 0;
    double totalMs() const { return queryMs + generateMs + pdfMs; }
    int rows = 0;
    int pages = 0;
    qint64 bytes = 0;
};

Run runOnce(ReportHolder &holder, const std::function<void()> &open, const QString &pdf)
{
    Run r;
    QElapsedTimer t;
    t.start();
    holder.Query->close();
    open();
    r.queryMs = t.nsecsElapsed() / 1e6;
    r.rows = holder.Query->recordCount();
    t.restart();
    const ReportDocument doc = holder.Generate();
    r.generateMs = t.nsecsElapsed() / 1e6;
    r.pages = doc.pageCount();
    t.restart();
    if (!doc.savePdf(pdf))
        qFatal("cannot write %s", qPrintable(pdf));
    r.pdfMs = t.nsecsElapsed() / 1e6;
    r.bytes = QFileInfo(pdf).size();
    holder.Query->close();
    return r;
}

// The same report written to the PDF file while it is laid out, its pages never held together.
Run runStreamed(ReportHolder &holder, const std::function<void()> &open, const QString &pdf)
{
    Run r;
    QElapsedTimer t;
    t.start();
    holder.Query->close();
    open();
    r.queryMs = t.nsecsElapsed() / 1e6;
    r.rows = holder.Query->recordCount();
    t.restart();
    if (!holder.SavePdf(pdf))
        qFatal("cannot write %s", qPrintable(pdf));
    r.pdfMs = t.nsecsElapsed() / 1e6;
    r.bytes = QFileInfo(pdf).size();
    holder.Query->close();
    return r;
}

void report(const QString &name, QList<Run> runs)
{
    std::sort(runs.begin(), runs.end(), [](const Run &a, const Run &b) { return a.totalMs() < b.totalMs(); });
    const Run &best = runs.first();
    const Run &median = runs.at(runs.size() / 2);
    out << QStringLiteral("%1: %2 rows, %3 pages, %4 KiB PDF\n")
               .arg(name).arg(best.rows).arg(best.pages).arg(best.bytes / 1024);
    out << QStringLiteral("  best   %1 ms (query %2, layout %3, PDF %4)\n")
               .arg(best.totalMs(), 0, 'f', 0).arg(best.queryMs, 0, 'f', 0).arg(best.generateMs, 0, 'f', 0).arg(best.pdfMs, 0, 'f', 0);
    out << QStringLiteral("  median %1 ms over %2 runs\n").arg(median.totalMs(), 0, 'f', 0).arg(runs.size());
    out.flush();
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 3;
    const QString size = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QStringLiteral("large");

    TestDatabase db;
    out << "database " << db.name() << " on " << TestDatabase::server() << "\n";
    out.flush();
    QElapsedTimer load;
    load.start();
    loadDemoPlant(db, size);
    out << QStringLiteral("demo plant %1 loaded in %2 s\n").arg(size).arg(load.elapsed() / 1000.0, 0, 'f', 1);

    // The last whole month of the demo data, as the report centre presets it.
    const QDate today = QDate::currentDate();
    const QDate end(today.year(), today.month(), 1);
    const QDate start = end.addMonths(-1);
    out << QStringLiteral("month %1 to %2: %3 journal records, %4 workers, %5 household entries\n")
               .arg(start.toString(QStringLiteral("dd.MM.yyyy")), end.toString(QStringLiteral("dd.MM.yyyy")))
               .arg(db.scalar(QStringLiteral("select count(*) from accounts_dep.smena where data >= '%1' and data < '%2'")
                                  .arg(start.toString(Qt::ISODate), end.toString(Qt::ISODate))).toLongLong())
               .arg(db.scalar(QStringLiteral("select count(distinct w_id) from accounts_dep.smena where data >= '%1' and data < '%2'")
                                  .arg(start.toString(Qt::ISODate), end.toString(Qt::ISODate))).toLongLong())
               .arg(db.scalar(QStringLiteral("select count(*) from accounts_dep.fatigue where d_date >= '%1' and d_date < '%2'")
                                  .arg(start.toString(Qt::ISODate), end.toString(Qt::ISODate))).toLongLong());
    out.flush();

    auto module = db.connectModule();
    QTemporaryDir dir;
    const double rssBefore = memoryMiB("VmRSS:");

    TForm20 detailedWorkers(module.get());
    BareClient bare(db.connectionString());
    bare.execute(QStringLiteral("set jit = off"));
    const QString bareStatement = detailedWorkersStatement(start, end);
    QList<Run> times, streamed;
    QList<double> bareMs;
    double peak = 0, streamedPeak = 0;
    // The program and the bare client take turns, so that both meet the same machine.
    for (int i = 0; i < runs; ++i) {
        resetPeakMemory();
        times << runOnce(detailedWorkers, [&] {
            detailedWorkers.SetPeriod(start, end);
            detailedWorkers.OpenQuery();
            detailedWorkers.SetTitle(detailedWorkers.PeriodTitle(start, end));
        }, dir.filePath(QStringLiteral("detailed_workers.pdf")));
        peak = std::max(peak, memoryMiB("VmHWM:"));
        resetPeakMemory();
        streamed << runStreamed(detailedWorkers, [&] {
            detailedWorkers.SetPeriod(start, end);
            detailedWorkers.OpenQuery();
            detailedWorkers.SetTitle(detailedWorkers.PeriodTitle(start, end));
        }, dir.filePath(QStringLiteral("detailed_workers_streamed.pdf")));
        streamedPeak = std::max(streamedPeak, memoryMiB("VmHWM:"));
        QElapsedTimer t;
        t.start();
        const size_t fetched = bare.queryTexts(bareStatement).size();
        bareMs << t.nsecsElapsed() / 1e6;
        if (int(fetched) != times.last().rows)
            qFatal("the bare client fetched %d rows, the program %d", int(fetched), times.last().rows);
    }
    bare.commit();
    report(QStringLiteral("Детальный отчет по рабочим"), times);
    const double bestBare = *std::min_element(bareMs.begin(), bareMs.end());
    const double bestProgram = std::min_element(times.begin(), times.end(), [](const Run &a, const Run &b) {
                                   return a.totalMs() < b.totalMs();
                               })->totalMs();
    out << QStringLiteral("  bare client's query and fetch: best %1 ms; program / bare %2 (target: 1.5)\n")
               .arg(bestBare, 0, 'f', 0).arg(bestProgram / bestBare, 0, 'f', 2);
    out << QStringLiteral("  memory: resident %1 MiB before, peak %2 MiB during a run\n")
               .arg(rssBefore, 0, 'f', 0).arg(peak, 0, 'f', 0);
    std::sort(streamed.begin(), streamed.end(), [](const Run &a, const Run &b) { return a.totalMs() < b.totalMs(); });
    out << QStringLiteral("  written while laid out: best %1 ms (query %2, layout and PDF %3), %4 KiB PDF; "
                          "program / bare %5; peak %6 MiB (target at x16: under 300)\n")
               .arg(streamed.first().totalMs(), 0, 'f', 0).arg(streamed.first().queryMs, 0, 'f', 0)
               .arg(streamed.first().pdfMs, 0, 'f', 0).arg(streamed.first().bytes / 1024)
               .arg(streamed.first().totalMs() / bestBare, 0, 'f', 2).arg(streamedPeak, 0, 'f', 0);
    out.flush();

    TForm16 workers(module.get());
    TForm17 products(module.get());
    TForm21 detailedProducts(module.get());
    for (PeriodReport *r : std::initializer_list<PeriodReport *>{&workers, &products, &detailedProducts}) {
        QList<Run> t;
        for (int i = 0; i < runs; ++i)
            t << runOnce(*r, [&] {
                r->SetPeriod(start, end);
                r->OpenQuery();
                r->SetTitle(r->PeriodTitle(start, end));
            }, dir.filePath(r->objectName() + QStringLiteral(".pdf")));
        report(r->Layout.title, t);
    }
    TForm15 timesheet(module.get());
    QList<Run> t;
    for (int i = 0; i < runs; ++i)
        t << runOnce(timesheet, [&] {
            timesheet.SetMonth(start.month(), start.year());
            timesheet.OpenQuery();
        }, dir.filePath(QStringLiteral("timesheet.pdf")));
    report(timesheet.Layout.title, t);
    out << QStringLiteral("peak resident memory of the whole run: %1 MiB\n").arg(memoryMiB("VmHWM:"), 0, 'f', 0);
    out.flush();
    return 0;
}
