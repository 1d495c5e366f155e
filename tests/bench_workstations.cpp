// Thirty workstations on one month of the demo plant at once: each of them a data module of its
// own on a thread of its own, entering, changing and deleting production records of the month for
// a fixed number of commands, while another workstation rebuilds the month's shift rows (every
// five seconds) and a third prints the detailed report by workers to PDF. Prints each command's median and
// 99th-percentile time and how many commands were refused, then checks what the month holds: no
// record lost or doubled, every shift row's day cell equal to the hours of its records, one row
// per key. Exits with 1 when a check fails.
//
// Not a test: run it by hand on a loopback test cluster (scripts/test_cluster.sh start).
//   bench_workstations [large|x4|x16] [commands per workstation, 40] [workstations, 30]
// The demo plant is the one bench_program uses (tabel_bench_<size>_<date>, loaded on first use).
// The records entered carry colour codes of their own; they are deleted afterwards and the month
// rebuilt, so the plant is left as it was. Bounded: every workstation stops issuing commands after
// five minutes, whatever it has left.

#include "support/test_support.h"

#include "db/data_module.h"
#include "db/db_error.h"
#include "db/input_check.h"
#include "db/row_version.h"
#include "records/record_commands.h"
#include "records/timesheet_row.h"
#include "reports/detailed_workers_report.h"
#include "reports/report_document.h"
#include "timesheets/month_rebuild.h"
#include "ui/messages.h"

#include <QGuiApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <random>
#include <thread>
#include <vector>

namespace {

QTextStream out(stdout);

// Colour codes of the benchmark's own records: workstation w's n-th record is ColourBase + w * 100000 + n.
constexpr qint64 ColourBase = 900000000;
constexpr qint64 Deadline = 5 * 60 * 1000;

// What one kind of command cost, over every workstation.
struct Timings {
    std::vector<double> ms;
    int refused = 0;
    QStringList reasons;
    std::mutex lock;
    void add(double t)
    {
        std::lock_guard<std::mutex> g(lock);
        ms.push_back(t);
    }
    void refuse(const QString &why)
    {
        std::lock_guard<std::mutex> g(lock);
        ++refused;
        if (reasons.size() < 5)
            reasons << why;
    }
};

double percentile(std::vector<double> v, double p)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, size_t(p * (v.size() - 1) + 0.5))];
}

struct DemoMonth {
    QString connection;
    TimesheetMonth month;
    QVector<int> workers;     // the month's workers
    int operationPrice = 0;   // an operation price and its product the demo records use
    qint64 product = 0;
};

// Times one command; a refusal (an error the user would read) counts apart.
template <typename Command>
bool timed(Timings &t, Command &&command)
{
    QElapsedTimer clock;
    clock.start();
    try {
        const bool done = command();
        if (done)
            t.add(clock.nsecsElapsed() / 1e6);
        else
            t.refuse(QStringLiteral("not saved"));
        return done;
    } catch (const DbError &e) {
        t.refuse(e.text());
    } catch (const InputError &e) {
        t.refuse(e.text());
    }
    return false;
}

// One workstation's commands: enter two records, change one of its own, delete one of its own,
// and again, on random workers and days of the month. Returns the ids it left in the journal.
QVector<int> workstation(const DemoMonth &plant, int index, int commands, Timings &entering, Timings &changing,
                         Timings &deleting, const QElapsedTimer &since)
{
    DataModule module;
    module.open(plant.connection);
    std::mt19937 random(1000 + index);
    const QDate today = QDate::currentDate();
    QVector<ProductionRecord> mine;
    qint64 next = 0;
    for (int c = 0; c < commands && since.elapsed() < Deadline; ++c) {
        const int step = c % 4;
        if (step < 2 || mine.isEmpty()) {
            ProductionRecord r;
            r.worker = plant.workers.at(int(random() % plant.workers.size()));
            r.operationPrice = plant.operationPrice;
            r.product = plant.product;
            r.unitPrice = 1.5;
            r.quantity = 10 + random() % 20;
            r.hours = 1 + random() % 4;
            r.colour = ColourBase + index * 100000 + next++;
            r.date = plant.month.date(1 + int(random() % plant.month.days()));
            r.mode = 1 + int(random() % 4);
            if (timed(entering, [&] { return RecordCommands::save(module, r, nullptr, today); })) {
                r.id = module.lookUp(QStringLiteral("select id from accounts_dep.smena where color=%1").arg(r.colour), QStringLiteral("id")).toInt();
                mine << r;
            }
        } else if (step == 2) {
            ProductionRecord &before = mine[int(random() % mine.size())];
            before.version = RowVersion::read(module, QStringLiteral("accounts_dep.smena"), before.id);
            ProductionRecord after = before;
            after.hours = 1 + random() % 6;
            after.quantity += 1;
            if (timed(changing, [&] { return RecordCommands::save(module, after, &before, today); }))
                before = after;
        } else {
            const int at = int(random() % mine.size());
            const ProductionRecord r = mine.at(at);
            if (timed(deleting, [&] {
                    RecordCommands::remove(module, r.id, r.worker, r.date, r.mode);
                    return true;
                }))
                mine.remove(at);
        }
    }
    QVector<int> ids;
    for (const ProductionRecord &r : mine)
        ids << r.id;
    return ids;
}

// The checks afterwards: texts of what is wrong.
QStringList checkMonth(const TestDatabase &db, const TimesheetMonth &m, QVector<int> expected)
{
    QStringList wrong;
    const QString month = QStringLiteral("month=%1 and year=%2").arg(m.month).arg(m.year);
    const QString period = QStringLiteral("data >= '%1' and data < '%2'").arg(m.firstDay().toString(Qt::ISODate), m.nextFirstDay().toString(Qt::ISODate));
    QVector<int> found;
    for (const auto &r : db.rows(QStringLiteral("select id from accounts_dep.smena where color >= %1 order by id").arg(ColourBase)))
        found << r.at(0).toInt();
    std::sort(expected.begin(), expected.end());
    if (found != expected)
        wrong << QStringLiteral("records: %1 in the journal, %2 expected").arg(found.size()).arg(expected.size());
    const qint64 doubled = db.scalar(QStringLiteral("select count(*) from (select color from accounts_dep.smena where color >= %1 "
                                                    "group by color having count(*) > 1) t").arg(ColourBase)).toLongLong();
    if (doubled)
        wrong << QStringLiteral("%1 records doubled").arg(doubled);
    const qint64 rows = db.scalar(QStringLiteral("select count(*) from (select w_id, smena from accounts_dep.h_tabel where smena>0 and %1 "
                                                 "group by 1, 2 having count(*) > 1) t").arg(month)).toLongLong();
    if (rows)
        wrong << QStringLiteral("%1 timesheet keys with several rows").arg(rows);
    // Every cell of the month's shift rows beside the hours of its records, both ways.
    const qint64 cells = db.scalar(QStringLiteral(
        "with recorded as (select w_id, smena, data, coalesce(sum(time), 0) as tim from accounts_dep.smena where %1 and smena>0 group by 1, 2, 3), "
        "cells as (select h.w_id, h.smena, date '%2' + d.n - 1 as data, (array[%3])[d.n] as v "
        "from accounts_dep.h_tabel h cross join generate_series(1, %4) d(n) where h.smena>0 and h.%5) "
        "select count(*) from recorded r full join cells c on c.w_id=r.w_id and c.smena=r.smena and c.data=r.data "
        "where r.tim is distinct from c.v")
        .arg(period, m.firstDay().toString(Qt::ISODate), eachDay(QStringLiteral("h.d%1"), QStringLiteral(", ")))
        .arg(m.days()).arg(month)).toLongLong();
    if (cells)
        wrong << QStringLiteral("%1 day cells differ from the hours of their records").arg(cells);
    return wrong;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QString size = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("large");
    if (!QStringList{QStringLiteral("large"), QStringLiteral("x4"), QStringLiteral("x16")}.contains(size))
        qFatal("usage: bench_workstations [large|x4|x16] [commands per workstation] [workstations]");
    const int commands = argc > 2 ? std::clamp(atoi(argv[2]), 4, 1000) : 40;
    const int stations = argc > 3 ? std::clamp(atoi(argv[3]), 1, 60) : 30;
    const QString server = TestDatabase::server();
    if (!server.startsWith(QLatin1String("127.")))
        qFatal("the benchmark runs on a loopback server only");

    std::unique_ptr<TestDatabase> dbHolder = benchDatabase(size);
    TestDatabase &db = *dbHolder;
    DemoMonth plant;
    plant.connection = db.connectionString();
    const QDate end(QDate::currentDate().year(), QDate::currentDate().month(), 1);
    const QDate start = end.addMonths(-1);
    plant.month = {start.month(), start.year()};
    const QString period = QStringLiteral("data >= '%1' and data < '%2'").arg(start.toString(Qt::ISODate), end.toString(Qt::ISODate));
    for (const auto &r : db.rows(QStringLiteral("select distinct w_id from accounts_dep.smena where %1 order by 1").arg(period)))
        plant.workers << r.at(0).toInt();
    const auto sample = db.rows(QStringLiteral("select o_id, i_id from accounts_dep.smena where %1 order by id limit 1").arg(period));
    plant.operationPrice = sample.at(0).at(0).toInt();
    plant.product = sample.at(0).at(1).toLongLong();
    // What an earlier run left, if it was stopped.
    db.exec(QStringLiteral("delete from accounts_dep.smena where color >= %1").arg(ColourBase));
    {
        auto module = db.connectModule();
        MonthRebuild(*module, MonthRebuild::Family::Shifts).run(plant.month);
    }
    out << QStringLiteral("database %1 on %2: month %3.%4, %5 journal records, %6 workers; %7 workstations x %8 commands, "
                          "one rebuilding the month, one printing the detailed report by workers\n")
               .arg(db.name(), server).arg(plant.month.month).arg(plant.month.year)
               .arg(db.scalar(QStringLiteral("select count(*) from accounts_dep.smena where %1").arg(period)).toLongLong())
               .arg(plant.workers.size()).arg(stations).arg(commands);
    out.flush();

    Messages::MessageRecorder messages;   // nothing waits for an answer
    Timings entering, changing, deleting, rebuilding, printing;
    std::vector<QVector<int>> left(stations);
    std::atomic<int> running{stations};
    QElapsedTimer since;
    since.start();
    std::vector<std::thread> threads;
    for (int i = 0; i < stations; ++i)
        threads.emplace_back([&, i] {
            try {
                left[i] = workstation(plant, i, commands, entering, changing, deleting, since);
            } catch (const std::exception &e) {
                qFatal("workstation %d: %s", i, e.what());
            }
            --running;
        });
    // The accountant rebuilds the month while the others work: two seconds in, and again every
    // five seconds after each rebuild.
    threads.emplace_back([&] {
        DataModule module;
        module.open(plant.connection);
        QElapsedTimer pause;
        pause.start();
        qint64 wait = 2000;
        while (running.load() > 0 && since.elapsed() < Deadline) {
            if (pause.elapsed() < wait) {
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
                continue;
            }
            timed(rebuilding, [&] {
                MonthRebuild(module, MonthRebuild::Family::Shifts).run(plant.month);
                return true;
            });
            pause.restart();
            wait = 5000;
        }
    });
    // The report is printed here, on the program's own thread, where the report engine runs.
    QTemporaryDir dir;
    {
        auto module = db.connectModule();
        DetailedWorkersReport report(module.get());
        while (running.load() > 0 && since.elapsed() < Deadline)
            timed(printing, [&] {
                return report.make(start, end, ProductKindChoice::All).savePdf(dir.filePath(QStringLiteral("report.pdf")));
            });
    }
    for (std::thread &t : threads)
        t.join();
    const double wall = since.elapsed() / 1000.0;

    out << QStringLiteral("\n%1 s in all\n\n").arg(wall, 0, 'f', 1);
    out << QStringLiteral("%1 %2 %3 %4 %5\n").arg(QStringLiteral("command"), -32).arg(QStringLiteral("count"), 6)
               .arg(QStringLiteral("median ms"), 10).arg(QStringLiteral("p99 ms"), 9).arg(QStringLiteral("refused"), 8);
    const auto line = [](const QString &name, Timings &t) {
        out << QStringLiteral("%1 %2 %3 %4 %5\n").arg(name, -32).arg(int(t.ms.size()), 6)
                   .arg(percentile(t.ms, 0.5), 10, 'f', 1).arg(percentile(t.ms, 0.99), 9, 'f', 1).arg(t.refused, 8);
        for (const QString &why : t.reasons)
            out << QStringLiteral("    refused: %1\n").arg(why);
    };
    line(QStringLiteral("entering a record"), entering);
    line(QStringLiteral("changing a record"), changing);
    line(QStringLiteral("deleting a record"), deleting);
    line(QStringLiteral("month rebuild, shift rows"), rebuilding);
    line(QStringLiteral("detailed report by workers to PDF"), printing);

    QVector<int> expected;
    for (const QVector<int> &ids : left)
        expected += ids;
    const QStringList wrong = checkMonth(db, plant.month, expected);
    out << (wrong.isEmpty() ? QStringLiteral("\nchecks: no record lost or doubled, every day cell equal to its records' hours, one row per key\n")
                            : QStringLiteral("\nchecks FAILED:\n  ") + wrong.join(QStringLiteral("\n  ")) + QLatin1Char('\n'));
    out.flush();

    // The plant as it was.
    db.exec(QStringLiteral("delete from accounts_dep.smena where color >= %1").arg(ColourBase));
    {
        auto module = db.connectModule();
        MonthRebuild(*module, MonthRebuild::Family::Shifts).run(plant.month);
    }
    return wrong.isEmpty() ? 0 : 1;
}
