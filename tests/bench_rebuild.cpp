// Prints how long the rebuild of a month's shift rows takes for one month of a large demo plant
// (300 workers, about 22,000 journal records a month), beside the time a bare ODBC client needs
// for the same statements in the same order, over a connection with the program's connection
// string, in one transaction: what the driver and the server cost, with nothing of the program's
// own in between. Both run in turn in one run, so that both meet the same machine.
// Not a test: run it by hand while the test cluster runs (scripts/test_cluster.sh start).
//   bench_rebuild [runs]
// It creates a database of its own from the test template, loads the demo plant into it with
// scripts/load_demo.sh and drops it again at the end.

#include "support/bare_odbc_client.h"
#include "support/test_support.h"

#include "app/data_module.h"
#include "db/dataset.h"
#include "db/sql_statement.h"
#include "records/timesheet_row.h"
#include "records/timesheet_statements.h"
#include "timesheets/month_rebuild.h"
#include "timesheets/shift_timesheet_statements.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>

#include <algorithm>
#include <ctime>
#include <vector>

namespace {

QTextStream out(stdout);

// The rebuild's statement sequence, sent by the bare client: the month's lock, the removal, and
// per day the day query and, per worker and mode of it, the count and the update or insert.
int bareRebuild(const QString &connectionString, const TimesheetMonth &month)
{
    using TimesheetStatements::Wording;
    BareClient client(connectionString);
    client.query(sqlStatement(QStringLiteral("select pg_advisory_xact_lock(hashtext({space}), hashtext({name}))"),
                              {{"space", SqlValue::text(timesheetLockSpace())},
                               {"name", SqlValue::text(TimesheetRowKey::monthLockName(true, month.month, month.year))}}));
    client.execute(TimesheetStatements::monthRemoval(true, month.month, month.year));
    for (int day = 1; day <= month.days(); ++day) {
        const QDate date = month.date(day);
        const QString dayQuery = QString(ShiftTimesheetStatements::day())
                                     .replace(QStringLiteral(":data"), sqlLiteral(sqlDate(date)));
        for (const auto &row : client.query(dayQuery)) {
            const auto key = TimesheetRowKey::production(int(row[1]), date, int(row[0]));
            const bool exists = client.query(TimesheetStatements::rowCount(key, Wording::MonthRebuild)).at(0).at(0) != 0;
            client.execute(exists ? TimesheetStatements::cellUpdate(key, day, row[2], Wording::MonthRebuild)
                                  : TimesheetStatements::rowInsert(key, day, row[2], Wording::MonthRebuild));
        }
    }
    client.commit();
    return client.statements;
}

// CPU time this process has spent so far, in ms: the client's own share of a run.
double cpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

double median(QList<double> v)
{
    std::sort(v.begin(), v.end());
    return v.at(v.size() / 2);
}

double best(QList<double> v)
{
    return *std::min_element(v.begin(), v.end());
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 5;

    TestDatabase db;
    out << "database " << db.name() << " on " << TestDatabase::server() << "\n";
    out.flush();
    QElapsedTimer load;
    load.start();
    loadDemoPlant(db, QStringLiteral("large"));
    out << QStringLiteral("demo plant loaded in %1 s\n").arg(load.elapsed() / 1000.0, 0, 'f', 1);
    db.exec(QStringLiteral("vacuum analyze accounts_dep.h_tabel"));
    db.exec(QStringLiteral("vacuum analyze accounts_dep.smena"));

    // The last whole month of the demo data.
    const QDate today = QDate::currentDate();
    const QDate start = QDate(today.year(), today.month(), 1).addMonths(-1);
    const TimesheetMonth month{start.month(), start.year()};
    const QString period = QStringLiteral("data >= '%1' and data < '%2'")
                               .arg(month.firstDay().toString(Qt::ISODate), month.nextFirstDay().toString(Qt::ISODate));
    out << QStringLiteral("month %1.%2: %3 journal records, %4 workers, %5 shift rows\n")
               .arg(month.month).arg(month.year)
               .arg(db.scalar(QStringLiteral("select count(*) from accounts_dep.smena where %1").arg(period)).toLongLong())
               .arg(db.scalar(QStringLiteral("select count(distinct w_id) from accounts_dep.smena where %1").arg(period)).toLongLong())
               .arg(db.scalar(QStringLiteral("select count(*) from accounts_dep.h_tabel where smena>0 and month=%1 and year=%2")
                                  .arg(month.month).arg(month.year)).toLongLong());
    out.flush();

    auto module = db.connectModule();
    DataSet dt(module->connectionName());
    dt.setSql(ShiftTimesheetStatements::day());
    QList<double> program, bare, programCpu, bareCpu;
    int programStatements = 0, bareStatements = 0;
    // A first run of each warms the server's caches; then they take turns.
    programStatements = MonthRebuild(*module, dt, MonthRebuild::Family::Shifts).run(month);
    bareStatements = bareRebuild(db.connectionString(), month);
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        double cpu = cpuMs();
        t.start();
        bareStatements = bareRebuild(db.connectionString(), month);
        bare << t.nsecsElapsed() / 1e6;
        bareCpu << cpuMs() - cpu;
        cpu = cpuMs();
        t.restart();
        programStatements = MonthRebuild(*module, dt, MonthRebuild::Family::Shifts).run(month);
        program << t.nsecsElapsed() / 1e6;
        programCpu << cpuMs() - cpu;
    }
    out << QStringLiteral("rebuild of the month, one transaction, %1 runs each:\n").arg(runs);
    out << QStringLiteral("  program     %1 statements, best %2 ms, median %3 ms (client CPU median %4 ms)\n")
               .arg(programStatements).arg(best(program), 0, 'f', 0).arg(median(program), 0, 'f', 0).arg(median(programCpu), 0, 'f', 0);
    out << QStringLiteral("  bare ODBC   %1 statements, best %2 ms, median %3 ms (client CPU median %4 ms)\n")
               .arg(bareStatements).arg(best(bare), 0, 'f', 0).arg(median(bare), 0, 'f', 0).arg(median(bareCpu), 0, 'f', 0);
    out << QStringLiteral("  program / bare: best %1, median %2 (target: at most 1.2)\n")
               .arg(best(program) / best(bare), 0, 'f', 2).arg(median(program) / median(bare), 0, 'f', 2);
    out.flush();
    return 0;
}
