// Prints, for each thing a user does, how long the program takes beside the least the same work
// can cost through the same driver: a plain C client of the unixODBC API in a process of its own
// (tests/bare_client/bare_odbc_client.c, no Qt linked) that sends the very statements the program
// sent, by direct execution, over a connection with the program's connection string, and reads
// every value in its cheapest C type. Both take turns in one run, so that both meet the same
// machine, the same server and the same caches; the figures are medians over the runs. Beside
// them: the peak resident memory of this process during the program's action, and of the bare
// client's own process during its run (the driver holds a whole result in memory until it is
// read).
//
// Not a test: run it by hand while the test cluster runs (scripts/test_cluster.sh start).
//   bench_program [large|x4|x16] [runs] [parts of actions' names, comma-separated: only those]
// The demo plant of that size (scripts/load_demo.sh) is loaded on first use into a database of
// its own on the test cluster, kept for later runs of the same day (x16 takes minutes to load):
// tabel_bench_<size>_<date>. Commands that write (saving a record, the rebuilds) put back what
// they changed before the next run.

#include "support/bare_process.h"
#include "support/fake_spreadsheet.h"
#include "support/test_support.h"

#include "db/data_module.h"
#include "app/login_window.h"
#include "journal/journal_window.h"
#include "ui/message_boxes.h"
#include "ui/messages.h"
#include "app/startup.h"
#include "ui/windows.h"
#include "db/connection.h"
#include "db/dataset.h"
#include "records/record_commands.h"
#include "reference/price_list.h"
#include "reports/detailed_products_report.h"
#include "reports/detailed_workers_report.h"
#include "reports/products_report.h"
#include "reports/report_centre.h"
#include "reports/report_preview.h"
#include "reports/shift_timesheet_report.h"
#include "reports/workers_report.h"
#include "timesheets/month_rebuild.h"
#include "timesheets/piecework_timesheet_statements.h"
#include "timesheets/piecework_timesheet_window.h"
#include "timesheets/shift_timesheet_statements.h"
#include "timesheets/shift_timesheet_window.h"

#include <QApplication>
#include <QDataStream>
#include <QDateEdit>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>

#include <malloc.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

namespace {

QTextStream out(stdout);

// Peak resident memory of this process since the last reset, in MiB.
double peakMiB()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    return 0;
}

// Makes the peak resident memory start again from what the process holds now, memory freed by
// the action before given back first.
void resetPeak()
{
    malloc_trim(0);
    QFile f(QStringLiteral("/proc/self/clear_refs"));
    if (f.open(QIODevice::WriteOnly))
        f.write("5");
}

// Lets the windows paint what the action changed (the user waits for that too).
void settle()
{
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

// Keeps every statement the program sends while it lives.
class StatementRecorder {
public:
    StatementRecorder()
    {
        setStatementObserver([this](const QString &, const QString &sql) { sent.push_back(sql); });
    }
    ~StatementRecorder() { setStatementObserver({}); }
    std::vector<QString> sent;
};

void save(const QString &path, const std::vector<QString> &statements)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    QDataStream s(&f);
    s << qint32(statements.size());
    for (const QString &st : statements)
        s << st;
}

std::vector<QString> load(const QString &path)
{
    QFile f(path);
    std::vector<QString> statements;
    if (!f.open(QIODevice::ReadOnly))
        return statements;
    QDataStream s(&f);
    qint32 n = 0;
    s >> n;
    for (int i = 0; i < n; ++i) {
        QString st;
        s >> st;
        statements.push_back(st);
    }
    return statements;
}

struct Action {
    QString name;
    std::function<void()> program;
    std::function<void()> undo;     // puts back what the program's command changed; may be empty
    double target = 0;              // the ratio the program must stay within; 0: none set
    QString note;                   // rows read, pages, statements: filled in after the first run
    double limitMs = 0;             // the time the program's action must stay within; 0: none set
    QWidget *window = nullptr;      // the window on the screen while it runs (the others hidden); none: no window
    const double *measured = nullptr; // where what the user waits for ends before the action does: its time in ms
};

// Puts the action's window on the screen, alone, as a modal window is, and lets it paint (and the
// journal window re-read on its activation) before the action is timed.
void showAlone(QWidget *window, const QList<QWidget *> &windows)
{
    bool changed = false;
    for (QWidget *w : windows)
        if (w != window && w->isVisible()) {
            w->hide();
            changed = true;
        }
    if (window && !window->isVisible()) {
        window->show();
        changed = true;
    }
    for (int i = 0; changed && i < 5; ++i) {
        settle();
        QThread::msleep(20);
    }
    settle();
}

struct Result {
    double peak = 0;       // the program's
    double barePeak = 0;   // the bare client's, in its own process
};

// Ends the event loop when a widget of the given object name first paints.
struct FirstPaint : QObject {
    explicit FirstPaint(const QString &name) : name(name) {}
    bool eventFilter(QObject *o, QEvent *e) override
    {
        if (e->type() == QEvent::Paint && o->objectName() == name)
            QCoreApplication::exit(0);
        return false;
    }
    QString name;
};

// Start to the login window, in a process of its own: the program's start (Qt, the Russian
// locale, the connection, the main window) until the login window has painted; or, for the least
// such a start can cost, an empty Qt window until it has painted (the bare client's connection
// and the statements the program sent before the login window are a process of their own).
int startChild(const QString &mode, const QString &connectionString, const QString &capture)
{
    int argc = 1;
    char name[] = "tabel";
    char *argv[] = {name, nullptr};
    QApplication app(argc, argv);
    if (mode == QLatin1String("--start-empty-window")) {
        QWidget empty;
        empty.setObjectName(QStringLiteral("empty"));
        FirstPaint firstPaint(empty.objectName());
        app.installEventFilter(&firstPaint);
        empty.show();
        app.exec();
        QTextStream(stdout) << peakMiB() << "\n";
        return 0;
    }
    installRussian(app);
    installMessageBoxes();
    StatementRecorder recorder;
    auto *module = new DataModule(&app);
    module->open(connectionString);
    auto *main = new JournalWindow(module);
    auto *login = new LoginWindow(main);
    FirstPaint firstPaint(QStringLiteral("TForm23"));
    app.installEventFilter(&firstPaint);
    login->show();
    app.exec();
    save(capture, recorder.sent);
    QTextStream(stdout) << peakMiB() << "\n";
    delete main;
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc == 4 && QByteArray(argv[1]).startsWith("--start-"))
        return startChild(QString::fromLocal8Bit(argv[1]), QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));

    QApplication app(argc, argv);
    installRussian(app);
    const QString size = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("large");
    if (!QStringList{QStringLiteral("large"), QStringLiteral("x4"), QStringLiteral("x16")}.contains(size))
        qFatal("usage: bench_program [large|x4|x16] [runs]");
    const int runs = argc > 2 ? std::max(1, atoi(argv[2])) : 5;
    const QStringList only = argc > 3 ? QString::fromLocal8Bit(argv[3]).split(QLatin1Char(','), Qt::SkipEmptyParts) : QStringList();
    const auto chosen = [&only](const QString &name) {
        return only.isEmpty() || std::any_of(only.begin(), only.end(), [&name](const QString &part) { return name.contains(part); });
    };

    // The demo plant, loaded once a day: its journal ends with the day it was loaded.
    std::unique_ptr<TestDatabase> dbHolder = benchDatabase(size);
    TestDatabase &db = *dbHolder;
    const QString dbName = db.name();

    // The last whole month of the demo data, and its busiest day.
    const QDate today = QDate::currentDate();
    const QDate end(today.year(), today.month(), 1);
    const QDate start = end.addMonths(-1);
    const TimesheetMonth month{start.month(), start.year()};
    const QString period = QStringLiteral("data >= '%1' and data < '%2'").arg(start.toString(Qt::ISODate), end.toString(Qt::ISODate));
    const QDate busyDay = db.scalar(QStringLiteral("select data from accounts_dep.smena where %1 group by data "
                                                   "order by count(*) desc, data limit 1").arg(period)).toDate();
    out << QStringLiteral("database %1 on %2: month %3.%4, %5 journal records, %6 workers; busiest day %7\n")
               .arg(dbName, TestDatabase::server()).arg(month.month).arg(month.year)
               .arg(db.scalar(QStringLiteral("select count(*) from accounts_dep.smena where %1").arg(period)).toLongLong())
               .arg(db.scalar(QStringLiteral("select count(distinct w_id) from accounts_dep.smena where %1").arg(period)).toLongLong())
               .arg(busyDay.toString(QStringLiteral("dd.MM.yyyy")));
    out.flush();

    installMessageBoxes();
    Messages::MessageRecorder messages;   // no box waits for an answer; every question answered yes
    for (int i = 0; i < 1000; ++i)
        messages.answers << true;
    FakeSpreadsheet spreadsheet;
    auto module = db.connectModule();
    prepareJournals(*module);   // as after an administrator's login: every record shows
    auto *main = new JournalWindow(module.get());
    auto *date = main->findChild<QDateEdit *>(QStringLiteral("DateT"));
    // An action's window is on the screen while it runs, as the user has it: its time includes
    // painting what it changed.
    BareProcess bare(db.connectionString());
    QTemporaryDir dir;

    std::vector<Action> actions;

    actions.push_back({QStringLiteral("journal re-read"), [&] {
                           date->setDate(busyDay);
                           main->readJournals();
                       }, {}, 1.15, {}, 0, main});

    const auto list = [&](const QString &name, DataSet *ds) {
        actions.push_back({name, [ds] { ds->reopen(); }, {}, 1.2});
    };
    list(QStringLiteral("list of workers"), module->workerList);
    list(QStringLiteral("list of products"), module->productList);
    list(QStringLiteral("list of operation kinds"), module->kindList);
    list(QStringLiteral("list of operation prices"), module->priceList);
    auto *shifts = Windows::get<ShiftTimesheetWindow>();
    shifts->prepareMonth(start);
    actions.push_back({QStringLiteral("timesheet by shifts, 3 grids"), [&] { shifts->reread(); }, {}, 1.2, {}, 0, shifts});
    auto *piecework = Windows::get<PieceworkTimesheetWindow>();
    piecework->prepareMode(PieceworkView::Piecework, start);
    actions.push_back({QStringLiteral("piecework timesheet"), [&] { piecework->reread(); }, {}, 1.2, {}, 0, piecework});

    // Saving a new record for the busiest day's first worker, taken back by deleting it.
    const auto sample = db.rows(QStringLiteral("select w_id, o_id, i_id, cena from accounts_dep.smena where data = '%1' "
                                               "and smena = 1 order by id limit 1").arg(busyDay.toString(Qt::ISODate)));
    ProductionRecord record;
    record.worker = sample.at(0).at(0).toInt();
    record.operationPrice = sample.at(0).at(1).toInt();
    record.product = sample.at(0).at(2).toLongLong();
    record.unitPrice = 1.25;
    record.quantity = 17;
    record.hours = 1;
    record.colour = 4711;   // a colour no demo record has: the key is new
    record.date = busyDay;
    record.mode = 1;
    const auto removeRecord = [&] {
        const int id = db.scalar(QStringLiteral("select max(id) from accounts_dep.smena where color = 4711")).toInt();
        RecordCommands::remove(*module, id, record.worker, record.date, record.mode);
    };
    actions.push_back({QStringLiteral("saving a record"), [&] {
                           if (!RecordCommands::save(*module, record, nullptr, today))
                               qFatal("the record was not saved");
                       }, removeRecord, 1.2, {}, 0, main});

    // The rebuilds hold the month alone while they run: every other workstation's save of the
    // month waits for them.
    actions.push_back({QStringLiteral("month rebuild, shift rows"),
                       [&] { MonthRebuild(*module, MonthRebuild::Family::Shifts).run(month); }, {}, 1.2, {}, 1000, shifts});
    actions.push_back({QStringLiteral("month rebuild, household rows"),
                       [&] { MonthRebuild(*module, MonthRebuild::Family::Household).run(month); }, {}, 1.2, {}, 300, piecework});

    DetailedWorkersReport detailedWorkers(module.get());
    WorkersReport workers(module.get());
    ProductsReport products(module.get());
    DetailedProductsReport detailedProducts(module.get());
    int pages = 0;
    for (PeriodReport *r : std::initializer_list<PeriodReport *>{&detailedWorkers, &workers, &products, &detailedProducts}) {
        actions.push_back({r->layout.title + QStringLiteral(" to PDF"), [&, r] {
                               r->query->close();
                               r->setPeriod(start, end);
                               r->openQuery();
                               r->setTitle(r->periodTitle(start, end));
                               const ReportDocument doc = r->generate();
                               pages = doc.pageCount();
                               if (!doc.savePdf(dir.filePath(r->objectName() + QStringLiteral(".pdf"))))
                                   qFatal("cannot write the PDF");
                               r->query->close();
                           }, {}, r == &detailedWorkers ? 1.5 : 0});
    }
    ShiftTimesheetReport timesheet(module.get());
    actions.push_back({timesheet.layout.title + QStringLiteral(" to PDF"), [&] {
                           timesheet.query->close();
                           timesheet.setMonth(month.month, month.year);
                           timesheet.openQuery();
                           const ReportDocument doc = timesheet.generate();
                           pages = doc.pageCount();
                           if (!doc.savePdf(dir.filePath(QStringLiteral("timesheet.pdf"))))
                               qFatal("cannot write the PDF");
                           timesheet.query->close();
                       }, {}, 0});

    // What the user waits for with a printed report: from the command to its first page painted
    // in the preview (the real window, shown and painted offscreen, left open until the last page
    // is made, so that the peak memory is the whole preview's), and from the command to the whole
    // report saved as PDF.
    auto *reportCentre = Windows::get<ReportCentre>();
    reportCentre->startField->setDate(start);
    reportCentre->endField->setDate(end);
    double firstPageMs = 0;
    const auto untilFirstPage = [&](const std::function<void()> &command) {
        QElapsedTimer clock;
        struct ClosesAtFirstPage : QObject {
            QElapsedTimer *clock;
            double *ms;
            int *pages;
            bool eventFilter(QObject *o, QEvent *e) override
            {
                if (e->type() == QEvent::Show && o->objectName() == QLatin1String("ReportPreview")) {
                    auto *preview = static_cast<ReportPreview *>(o);
                    connect(preview->view(), &ReportPageView::pagePainted, preview, [this] {
                        if (*ms < 0)
                            *ms = clock->nsecsElapsed() / 1e6;
                    });
                    connect(preview, &ReportPreview::pagesMade, preview, [this, preview](int count, bool finished) {
                        *pages = count;
                        if (finished)
                            QMetaObject::invokeMethod(preview, "reject", Qt::QueuedConnection);
                    });
                }
                return false;
            }
        } closer;
        closer.clock = &clock;
        closer.ms = &firstPageMs;
        closer.pages = &pages;
        firstPageMs = -1;
        qApp->installEventFilter(&closer);
        clock.start();
        command();
        qApp->removeEventFilter(&closer);
    };
    const std::vector<std::pair<QString, void (ReportCentre::*)()>> centreReports = {
        {detailedWorkers.layout.title, &ReportCentre::printDetailedWorkersReport},
        {workers.layout.title, &ReportCentre::printWorkersReport},
        {products.layout.title, &ReportCentre::printProductsReport},
        {detailedProducts.layout.title, &ReportCentre::printDetailedProductsReport},
    };
    for (const auto &[title, command] : centreReports)
        actions.push_back({title + QStringLiteral(": first page shown"),
                           [&, command = command] { untilFirstPage([&] { (reportCentre->*command)(); }); }, {}, 1.3, {}, 0,
                           nullptr, &firstPageMs});
    actions.push_back({timesheet.layout.title + QStringLiteral(": first page shown"),
                       [&] { untilFirstPage([&] { shifts->print(); }); }, {}, 1.3, {}, 0, nullptr, &firstPageMs});
    for (PeriodReport *r : std::initializer_list<PeriodReport *>{&detailedWorkers, &workers, &products, &detailedProducts})
        actions.push_back({r->layout.title + QStringLiteral(": whole PDF saved"), [&, r] {
                               if (!r->make(start, end, ProductKindChoice::All).savePdf(dir.filePath(r->objectName() + QStringLiteral(".pdf"))))
                                   qFatal("cannot write the PDF");
                           }, {}, 2.0});
    actions.push_back({timesheet.layout.title + QStringLiteral(": whole PDF saved"), [&] {
                           if (!timesheet.make(month.month, month.year, ShiftTimesheetReport::periodLabel(QLocale().standaloneMonthName(month.month), QString::number(month.year))).savePdf(dir.filePath(QStringLiteral("timesheet.pdf"))))
                               qFatal("cannot write the PDF");
                       }, {}, 2.0});

    auto *prices = Windows::get<PriceList>();
    actions.push_back({QStringLiteral("export: prices"), [&] { prices->exportWorkbook(); }, {}, 0});
    auto *centre = Windows::get<ReportCentre>();
    centre->presetPeriod(today);
    actions.push_back({QStringLiteral("export: product output"), [&] { centre->exportProductOutput(); }, {}, 0});
    actions.push_back({QStringLiteral("export: timesheet by shifts"), [&] { shifts->exportWorkbook(); }, {}, 0});
    actions.push_back({QStringLiteral("export: piecework timesheet"), [&] { piecework->exportWorkbook(); }, {}, 0});

    const QList<QWidget *> screens{main, shifts, piecework};
    if (!only.isEmpty())
        actions.erase(std::remove_if(actions.begin(), actions.end(), [&](const Action &a) { return !chosen(a.name); }),
                      actions.end());
    std::vector<Result> results(actions.size());
    std::vector<std::vector<double>> programMs(actions.size()), bareMs(actions.size());
    std::vector<std::vector<QString>> sent(actions.size());
    for (size_t a = 0; a < actions.size(); ++a) {
        // A first run of each warms the caches and records what the program sends.
        Action &act = actions[a];
        showAlone(act.window, screens);
        {
            StatementRecorder recorder;
            act.program();
            settle();
            sent[a] = recorder.sent;
        }
        if (act.undo)
            act.undo();
        const qint64 rows = bare.run(sent[a]).rows;
        if (act.undo)
            act.undo();
        act.note = QStringLiteral("%1 statements, %2 rows").arg(sent[a].size()).arg(rows);
        if (act.name.endsWith(QLatin1String(" to PDF")) || act.name.endsWith(QLatin1String(": first page shown")))
            act.note += QStringLiteral(", %1 pages").arg(pages);
    }
    if (!messages.errors().isEmpty())
        qFatal("the program showed errors: %s", qPrintable(messages.errors().join(QLatin1String("; "))));

    for (int run = 0; run < runs; ++run) {
        for (size_t a = 0; a < actions.size(); ++a) {
            Action &act = actions[a];
            const BareProcess::Run bareRun = bare.run(sent[a]);
            bareMs[a].push_back(bareRun.ms);
            results[a].barePeak = std::max(results[a].barePeak, bareRun.peakMiB);
            if (act.undo)
                act.undo();
            showAlone(act.window, screens);
            QElapsedTimer t;
            resetPeak();
            t.start();
            act.program();
            settle();
            programMs[a].push_back(act.measured ? *act.measured : t.nsecsElapsed() / 1e6);
            results[a].peak = std::max(results[a].peak, peakMiB());
            if (act.undo)
                act.undo();
        }
    }

    // Start to the login window, each in a process of its own: the program's, beside an empty Qt
    // window's plus the bare client's connection and the statements the program sent before the
    // login window (Qt's own start and the driver's are the least a start can cost).
    const bool measureStart = chosen(QStringLiteral("start to the login window"));
    QString startNote;
    std::vector<double> startProgram, startEmpty, startBare;
    double startPeak = 0, startBarePeak = 0;
    const QString capture = dir.filePath(QStringLiteral("start.statements"));
    const QString bareStart = dir.filePath(QStringLiteral("start.bare"));
    const auto startOnce = [](const QString &program, const QStringList &arguments, double *peakMiB) {
        QProcess child;
        QElapsedTimer t;
        t.start();
        child.start(program, arguments);
        if (!child.waitForFinished(60000) || child.exitCode() != 0)
            qFatal("the start could not be measured: %s", qPrintable(program));
        const double ms = t.nsecsElapsed() / 1e6;
        *peakMiB = child.readAllStandardOutput().trimmed().toDouble();
        return ms;
    };
    for (int run = 0; measureStart && run <= runs; ++run) {
        double peak = 0;
        const double program = startOnce(QCoreApplication::applicationFilePath(),
                                          {QStringLiteral("--start-program"), db.connectionString(), capture}, &peak);
        std::vector<QString> statements;
        for (const QString &st : Connection::sessionStatements())
            statements.push_back(st);
        for (const QString &st : load(capture))
            statements.push_back(st);
        BareProcess::writeStatements(bareStart, statements);
        double emptyPeak = 0, barePeakKiB = 0;
        const double empty = startOnce(QCoreApplication::applicationFilePath(),
                                        {QStringLiteral("--start-empty-window"), db.connectionString(), capture}, &emptyPeak);
        const double bareMsStart = startOnce(BareProcess::executable(),
                                             {QStringLiteral("once"), db.connectionString(), bareStart}, &barePeakKiB);
        if (run == 0)
            continue;   // the first start of each warms the file caches
        startProgram.push_back(program);
        startEmpty.push_back(empty);
        startBare.push_back(bareMsStart);
        startPeak = std::max(startPeak, peak);
        startBarePeak = std::max(startBarePeak, barePeakKiB / 1024.0);
    }
    if (measureStart)
        startNote = QStringLiteral("%1 statements; bare: empty Qt window %2 ms + bare client %3 ms; program %4 ms above")
                        .arg(load(capture).size())
                        .arg(median(startEmpty), 0, 'f', 1)
                        .arg(median(startBare), 0, 'f', 1)
                        .arg(median(startProgram) - median(startEmpty) - median(startBare), 0, 'f', 1);

    out << QStringLiteral("\n%1 runs each, medians; bare: the same statements through a plain C unixODBC client in its own process\n\n").arg(runs);
    const auto line = [](const QString &name, double program, double bareTime, double peak, double barePeak, double target,
                         const QString &note) {
        const bool bareSent = !note.startsWith(QLatin1String("0 statements"));
        const double ratio = bareSent && bareTime > 0 ? program / bareTime : 0;
        QString verdict;
        if (target > 0)
            verdict = ratio <= target ? QStringLiteral("(≤ %1: met)").arg(target) : QStringLiteral("(≤ %1: NOT met)").arg(target);
        out << QStringLiteral("%1 %2 %3 %4 %5 %6  %7  %8\n")
                   .arg(name, -46)
                   .arg(program, 10, 'f', 1)
                   .arg(bareTime, 9, 'f', 1)
                   .arg(bareSent ? QString::number(ratio, 'f', 2) : QStringLiteral("-"), 6)
                   .arg(peak, 8, 'f', 0)
                   .arg(barePeak, 8, 'f', 0)
                   .arg(verdict, -15)
                   .arg(note);
    };
    out << QStringLiteral("%1 %2 %3 %4 %5 %6\n").arg(QStringLiteral("action"), -46).arg(QStringLiteral("program ms"), 10)
               .arg(QStringLiteral("bare ms"), 9).arg(QStringLiteral("ratio"), 6).arg(QStringLiteral("peak MiB"), 8)
               .arg(QStringLiteral("bare MiB"), 8);
    for (size_t a = 0; a < actions.size(); ++a) {
        QString note = actions[a].note;
        if (actions[a].limitMs > 0)
            note += QStringLiteral("; ≤ %1 ms: %2").arg(actions[a].limitMs).arg(median(programMs[a]) <= actions[a].limitMs ? QStringLiteral("met") : QStringLiteral("NOT met"));
        line(actions[a].name, median(programMs[a]), median(bareMs[a]), results[a].peak, results[a].barePeak, actions[a].target, note);
    }
    if (measureStart)
        line(QStringLiteral("start to the login window"), median(startProgram), median(startEmpty) + median(startBare), startPeak, startBarePeak, 0,
             startNote);
    out.flush();
    delete main;
    return 0;
}
