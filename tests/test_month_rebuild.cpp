// The month rebuilds against the per-day sequence the plant's other software sends: both run on
// the same data, and the whole timesheet table they leave must be the same, row for row and
// cell for cell, over a table of cases and over the demo plant.

#include "db/data_module.h"
#include "db/unit_of_work.h"
#include "records/day_cell_rule.h"
#include "records/record_commands.h"
#include "timesheets/month_rebuild.h"
#include "timesheets/timesheet_month.h"
#include "tests/support/per_day_month_rebuild.h"
#include "tests/support/small_plant.h"
#include "tests/support/test_support.h"

#include <QtTest>

#include <functional>

namespace {

using Family = MonthRebuild::Family;

// Every column but the id, which each workstation's inserts draw from the sequence.
const QString TableColumns = QStringLiteral("w_id, smena, i_type, i_night, month, year, ") + eachDay(QStringLiteral("d%1"), QStringLiteral(", "));

void addRow(const TestDatabase &db, const QString &columns, const QString &values)
{
    db.exec(QStringLiteral("insert into accounts_dep.h_tabel(%1) values(%2)").arg(columns, values));
}

void addEntry(const TestDatabase &db, int worker, const QDate &date, int kind, int night, int hours)
{
    db.exec(QStringLiteral("insert into accounts_dep.fatigue(id_nom, id_o, id_p, d_date, i_mnth, i_year, i_smena, cnt, price, i_holiday, i_night) "
                           "values(0, %1, %2, '%3', %4, %5, 1, %6, 100, 0, %7)")
                .arg(kind).arg(worker).arg(date.toString(Qt::ISODate)).arg(date.month()).arg(date.year()).arg(hours).arg(night));
}

// Runs the per-day sequence and the set-based rebuild on the same table (put back between the
// two) and returns the differences of what they leave, each row text with the side it is only on.
QStringList differences(const TestDatabase &db, DataModule &module, Family family, const TimesheetMonth &month)
{
    db.exec(QStringLiteral("drop table if exists public.h_before, public.h_per_day"));
    db.exec(QStringLiteral("create table public.h_before as select * from accounts_dep.h_tabel"));
    PerDayMonthRebuild(module, family).run(month);
    db.exec(QStringLiteral("create table public.h_per_day as select %1 from accounts_dep.h_tabel").arg(TableColumns));
    db.exec(QStringLiteral("delete from accounts_dep.h_tabel"));
    db.exec(QStringLiteral("insert into accounts_dep.h_tabel select * from public.h_before"));
    int progressed = 0;
    MonthRebuild(module, family).run(month, [&](int day) { progressed = day == progressed + 1 ? day : -1000; });
    QStringList out;
    if (progressed != month.days())
        out << QStringLiteral("progress reached day %1 of %2").arg(progressed).arg(month.days());
    const QString side = QStringLiteral("select '%1 ' || t::text from (select %2 from %3 except all select %2 from %4) t");
    for (const auto &r : db.rows(side.arg(QStringLiteral("per day only:"), TableColumns, QStringLiteral("public.h_per_day"), QStringLiteral("accounts_dep.h_tabel"))
                                 + QStringLiteral(" union all ")
                                 + side.arg(QStringLiteral("set-based only:"), TableColumns, QStringLiteral("accounts_dep.h_tabel"), QStringLiteral("public.h_per_day"))
                                 + QStringLiteral(" limit 20")))
        out << r.at(0).toString();
    return out;
}

struct Case {
    const char *name;
    TimesheetMonth month;
    std::function<void(const TestDatabase &, const SmallPlant &, DataModule &)> fill;
};

const QList<Case> &cases()
{
    static const QList<Case> all = {
        {"December: the 31st in, 1 January out", {12, 2025}, [](const TestDatabase &db, const SmallPlant &p, DataModule &) {
             p.record(p.ivanov, QDate(2025, 12, 1), 1, 8);
             p.record(p.ivanov, QDate(2025, 12, 31), 1, 6);
             p.record(p.ivanov, QDate(2026, 1, 1), 1, 5);
             p.record(p.petrov, QDate(2025, 11, 30), 2, 7);
             p.record(p.petrov, QDate(2025, 12, 31), 3, 9);
             addEntry(db, p.ivanov, QDate(2025, 12, 31), 7777, 0, 4);
             addEntry(db, p.ivanov, QDate(2026, 1, 1), 7777, 0, 4);
         }},
        {"February of a common year", {2, 2026}, [](const TestDatabase &db, const SmallPlant &p, DataModule &) {
             p.record(p.ivanov, QDate(2026, 2, 28), 1, 8);
             p.record(p.ivanov, QDate(2026, 3, 1), 1, 8);
             p.record(p.sidorov, QDate(2026, 1, 31), 4, 2);
             addEntry(db, p.petrov, QDate(2026, 2, 28), 7778, 1, 3);
             addEntry(db, p.petrov, QDate(2026, 3, 1), 7778, 1, 3);
         }},
        {"February of a leap year", {2, 2024}, [](const TestDatabase &db, const SmallPlant &p, DataModule &) {
             p.record(p.ivanov, QDate(2024, 2, 29), 2, 8);
             p.record(p.ivanov, QDate(2024, 2, 1), 2, 8);
             addEntry(db, p.ivanov, QDate(2024, 2, 29), 7777, 1, 5);
         }},
        {"shift-0 and other months' rows left alone", {3, 2026}, [](const TestDatabase &db, const SmallPlant &p, DataModule &) {
             p.record(p.ivanov, QDate(2026, 3, 5), 1, 8);
             addEntry(db, p.ivanov, QDate(2026, 3, 5), 7777, 0, 2);
             addRow(db, QStringLiteral("w_id, smena, i_type, i_night, month, year, d5, d6"), QStringLiteral("%1, 0, 7777, 0, 3, 2026, 9, 9").arg(p.ivanov));
             addRow(db, QStringLiteral("w_id, smena, i_type, i_night, month, year, d7"), QStringLiteral("%1, 0, 7778, 1, 3, 2026, 4").arg(p.petrov));
             addRow(db, QStringLiteral("w_id, smena, month, year, d5"), QStringLiteral("%1, 1, 2, 2026, 3").arg(p.ivanov));
             addRow(db, QStringLiteral("w_id, smena, month, year, d5"), QStringLiteral("%1, 1, 3, 2025, 3").arg(p.ivanov));
             addRow(db, QStringLiteral("w_id, smena, i_type, i_night, month, year, d5"), QStringLiteral("%1, 0, 7777, 0, 4, 2026, 1").arg(p.ivanov));
         }},
        {"overtime rows and a mode above it", {4, 2026}, [](const TestDatabase &db, const SmallPlant &p, DataModule &) {
             p.record(p.ivanov, QDate(2026, 4, 3), 4, 3);
             p.record(p.ivanov, QDate(2026, 4, 3), 4, 2);
             p.record(p.ivanov, QDate(2026, 4, 3), 1, 8);
             p.record(p.petrov, QDate(2026, 4, 10), 5, 4);
             addRow(db, QStringLiteral("w_id, smena, month, year, d3, d4"), QStringLiteral("%1, 4, 4, 2026, 1, 1").arg(p.ivanov));
         }},
        {"workers without records and doubled rows", {5, 2026}, [](const TestDatabase &db, const SmallPlant &p, DataModule &) {
             p.record(p.ivanov, QDate(2026, 5, 12), 1, 8);
             addRow(db, QStringLiteral("w_id, smena, month, year, d12"), QStringLiteral("%1, 1, 5, 2026, 8").arg(p.ivanov));
             addRow(db, QStringLiteral("w_id, smena, month, year, d12"), QStringLiteral("%1, 1, 5, 2026, 8").arg(p.ivanov));
             addRow(db, QStringLiteral("w_id, smena, month, year, d1"), QStringLiteral("%1, 2, 5, 2026, 8").arg(p.petrov));
             addRow(db, QStringLiteral("w_id, smena, i_type, i_night, month, year, d1"), QStringLiteral("%1, 0, 7778, 0, 5, 2026, 8").arg(p.sidorov));
         }},
        {"several records on one day, 0 hours and none", {6, 2026}, [](const TestDatabase &db, const SmallPlant &p, DataModule &) {
             p.record(p.ivanov, QDate(2026, 6, 15), 1, 8);
             p.record(p.ivanov, QDate(2026, 6, 15), 1, 3, QStringLiteral("ok"));
             p.record(p.ivanov, QDate(2026, 6, 15), 1, 0);
             p.record(p.petrov, QDate(2026, 6, 16), 2, 0);
             const int unknown = p.record(p.sidorov, QDate(2026, 6, 17), 3, 5);
             p.record(p.sidorov, QDate(2026, 6, 18), 3, 5);
             p.record(p.sidorov, QDate(2026, 6, 18), 3, 5);
             db.exec(QStringLiteral("update accounts_dep.smena set time=null where id=%1").arg(unknown));
             db.exec(QStringLiteral("update accounts_dep.smena set time=null where id=(select max(id) from accounts_dep.smena)"));
             addEntry(db, p.ivanov, QDate(2026, 6, 15), 7777, 0, 3);
             addEntry(db, p.ivanov, QDate(2026, 6, 15), 7777, 0, 4);
             addEntry(db, p.ivanov, QDate(2026, 6, 15), 7777, 0, 0);
         }},
        {"moved and deleted records", {7, 2026}, [](const TestDatabase &db, const SmallPlant &p, DataModule &module) {
             // Saved and deleted through the program, which keeps the cells; then moved and
             // deleted by other software, which does not.
             DayCellRule rule(module);
             for (int d : {1, 2, 3, 30, 31}) {
                 p.record(p.ivanov, QDate(2026, 7, d), 1, d % 9);
                 rule.recomputeAfterSave(p.ivanov, QDate(2026, 7, d), 1);
             }
             const int gone = p.record(p.petrov, QDate(2026, 7, 4), 2, 6);
             rule.recomputeAfterSave(p.petrov, QDate(2026, 7, 4), 2);
             RecordCommands::remove(module, gone, p.petrov, QDate(2026, 7, 4), 2);
             db.exec(QStringLiteral("update accounts_dep.smena set data='2026-07-20', w_id=%1 where w_id=%2 and data='2026-07-02'").arg(p.sidorov).arg(p.ivanov));
             db.exec(QStringLiteral("update accounts_dep.smena set data='2026-08-01' where w_id=%1 and data='2026-07-31'").arg(p.ivanov));
             db.exec(QStringLiteral("update accounts_dep.smena set smena=4 where w_id=%1 and data='2026-07-30'").arg(p.ivanov));
             db.exec(QStringLiteral("delete from accounts_dep.smena where w_id=%1 and data='2026-07-03'").arg(p.ivanov));
             addEntry(db, p.petrov, QDate(2026, 7, 9), 7777, 1, 5);
             addRow(db, QStringLiteral("w_id, smena, i_type, i_night, month, year, d8"), QStringLiteral("%1, 0, 7777, 1, 7, 2026, 5").arg(p.petrov));
             db.exec(QStringLiteral("update accounts_dep.fatigue set d_date='2026-07-10'"));
         }},
        {"household entries by kind and night flag", {11, 2026}, [](const TestDatabase &db, const SmallPlant &p, DataModule &) {
             for (int kind : {7777, 7778})
                 for (int night : {0, 1}) {
                     addEntry(db, p.ivanov, QDate(2026, 11, 5), kind, night, 3 + night);
                     addEntry(db, p.ivanov, QDate(2026, 11, 5), kind, night, 4);
                     addEntry(db, p.petrov, QDate(2026, 11, 30), kind, night, kind == 7777 ? 2 : 6);
                 }
             addEntry(db, p.sidorov, QDate(2026, 12, 1), 7777, 0, 8);
             addEntry(db, p.sidorov, QDate(2026, 10, 31), 7777, 0, 8);
             addRow(db, QStringLiteral("w_id, smena, i_type, i_night, month, year, d5"), QStringLiteral("%1, 0, 7777, 0, 11, 2026, 1").arg(p.ivanov));
             addRow(db, QStringLiteral("w_id, smena, i_type, i_night, month, year, d9"), QStringLiteral("%1, 0, 7778, 1, 11, 2026, 9").arg(p.sidorov));
             p.record(p.ivanov, QDate(2026, 11, 5), 1, 8);
             addRow(db, QStringLiteral("w_id, smena, month, year, d5"), QStringLiteral("%1, 1, 11, 2026, 8").arg(p.ivanov));
         }},
        {"empty month with stale rows", {9, 2026}, [](const TestDatabase &db, const SmallPlant &p, DataModule &) {
             p.record(p.ivanov, QDate(2026, 8, 31), 1, 8);
             p.record(p.ivanov, QDate(2026, 10, 1), 1, 8);
             addRow(db, QStringLiteral("w_id, smena, month, year, d3"), QStringLiteral("%1, 1, 9, 2026, 8").arg(p.ivanov));
             addRow(db, QStringLiteral("w_id, smena, i_type, i_night, month, year, d3"), QStringLiteral("%1, 0, 7777, 0, 9, 2026, 8").arg(p.ivanov));
         }},
        {"nothing at all", {1, 2026}, [](const TestDatabase &, const SmallPlant &, DataModule &) {}},
    };
    return all;
}

} // namespace

class TestMonthRebuild : public QObject {
    Q_OBJECT

private slots:
    void sameRowsAsPerDay_data();
    void sameRowsAsPerDay();
    void sameRowsOnDemoPlant_data();
    void sameRowsOnDemoPlant();
    void recordsOfNoShiftLeaveHouseholdRowsAlone();
};

void TestMonthRebuild::sameRowsAsPerDay_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("family");
    for (int i = 0; i < cases().size(); ++i) {
        QTest::addRow("%s, shift rows", cases().at(i).name) << i << int(Family::Shifts);
        QTest::addRow("%s, household rows", cases().at(i).name) << i << int(Family::Household);
    }
}

void TestMonthRebuild::sameRowsAsPerDay()
{
    QFETCH(int, index);
    QFETCH(int, family);
    TestDatabase db;
    SmallPlant p(db);
    auto module = db.connectModule();
    const Case &c = cases().at(index);
    c.fill(db, p, *module);
    const QStringList diff = differences(db, *module, Family(family), c.month);
    QVERIFY2(diff.isEmpty(), qPrintable(diff.join(QLatin1Char('\n'))));
    QVERIFY(!module->inTransaction());
    QCOMPARE(db.advisoryLocks(), 0);
}

void TestMonthRebuild::sameRowsOnDemoPlant_data()
{
    QTest::addColumn<QString>("size");
    QTest::newRow("large") << "large";
    QTest::newRow("x4") << "x4";
}

// The demo plant's three months, its timesheets as the day-cell rule keeps them, and a few cells
// put out of step (as a stopped workstation leaves them): each month rebuilt both ways.
void TestMonthRebuild::sameRowsOnDemoPlant()
{
    QFETCH(QString, size);
    TestDatabase db;
    loadDemoPlant(db, size);
    db.exec(QStringLiteral("update accounts_dep.h_tabel set d3=coalesce(d3, 0)+1 where id % 17 = 0"));
    db.exec(QStringLiteral("delete from accounts_dep.h_tabel where id % 23 = 0"));
    auto module = db.connectModule();
    const auto months = db.rows(QStringLiteral("select distinct extract(month from data)::int, extract(year from data)::int "
                                               "from accounts_dep.smena order by 2, 1"));
    QVERIFY(months.size() >= 2);
    for (const auto &m : months) {
        const TimesheetMonth month{m.at(0).toInt(), m.at(1).toInt()};
        for (Family family : {Family::Shifts, Family::Household}) {
            const QStringList diff = differences(db, *module, family, month);
            QVERIFY2(diff.isEmpty(), qPrintable(QStringLiteral("%1.%2 %3:\n").arg(month.month).arg(month.year)
                                                    .arg(family == Family::Shifts ? QStringLiteral("shift rows") : QStringLiteral("household rows"))
                                                + diff.join(QLatin1Char('\n'))));
        }
    }
}

// Records of no shift (other software's, the program writes none) and household entries of no
// kind belong to neither family: the per-day sequence would write them among the other family's
// rows (a shift-0 record over the household row of its worker, a kind-0 entry as a production
// row). The rebuilds leave them out, and the other family's rows stay as they were.
void TestMonthRebuild::recordsOfNoShiftLeaveHouseholdRowsAlone()
{
    TestDatabase db;
    SmallPlant p(db);
    auto module = db.connectModule();
    p.record(p.ivanov, QDate(2026, 3, 5), 1, 8);
    p.record(p.ivanov, QDate(2026, 3, 6), 0, 5);
    const int noShift = p.record(p.petrov, QDate(2026, 3, 7), 1, 6);
    db.exec(QStringLiteral("update accounts_dep.smena set smena=null where id=%1").arg(noShift));
    addEntry(db, p.ivanov, QDate(2026, 3, 6), 7777, 0, 2);
    addEntry(db, p.sidorov, QDate(2026, 3, 8), 0, 0, 3);
    addRow(db, QStringLiteral("w_id, smena, i_type, i_night, month, year, d6"), QStringLiteral("%1, 0, 7777, 0, 3, 2026, 2").arg(p.ivanov));
    const QString all = QStringLiteral("select %1 from accounts_dep.h_tabel order by 1, 2, 3, 4").arg(TableColumns);
    const QString household = QStringLiteral("select %1 from accounts_dep.h_tabel where smena=0 order by 1, 2, 3, 4").arg(TableColumns);
    const auto householdBefore = db.rows(household);

    MonthRebuild(*module, Family::Shifts).run({3, 2026});
    QCOMPARE(db.rows(household), householdBefore);
    QCOMPARE(db.rows(QStringLiteral("select w_id, smena, d5, d6, d7 from accounts_dep.h_tabel where smena<>0")),
             (QVector<QVector<QVariant>>{{p.ivanov, 1, 8, 0, 0}}));

    const auto afterShifts = db.rows(all);
    MonthRebuild(*module, Family::Household).run({3, 2026});
    QCOMPARE(db.rows(all), afterShifts);   // the kind-0 entry writes no row
}

QTEST_GUILESS_MAIN(TestMonthRebuild)
#include "test_month_rebuild.moc"
