// The rules of production records without windows: the statements of a record and of its
// timesheet row, the day-cell rule that keeps the row in step, the month writes of a rebuild, and
// the record commands that write a record and its day cells as one.
#include "db/data_module.h"
#include "ui/messages.h"
#include "db/dataset.h"
#include "db/db_error.h"
#include "db/input_check.h"
#include "records/day_cell_rule.h"
#include "db/row_version.h"
#include "db/unit_of_work.h"
#include "records/record_commands.h"
#include "records/record_statements.h"
#include "records/timesheet_statements.h"
#include "tests/support/per_day_month_rebuild.h"
#include "tests/support/small_plant.h"
#include "tests/support/test_support.h"

#include <QtTest>

#include <atomic>
#include <mutex>
#include <thread>

// Records already in the journal are (worker index, day of March 2026, mode, hours); the save
// recomputes the cell of the last one.
using Records = QList<QList<int>>;

// What every case starts from.
struct Fixture {
    TestDatabase db;
    SmallPlant p{db};
    std::unique_ptr<DataModule> module = db.connectModule();
};

class TestRecords : public QObject {
    Q_OBJECT
    std::unique_ptr<Fixture> m_fixture;

private slots:
    // Every case gets its own database with the small plant, and a data module connected to it.
    void init() { m_fixture = std::make_unique<Fixture>(); }
    void cleanup() { m_fixture.reset(); }
    // Statements.
    void timesheetStatementTexts();
    void householdStatementTexts();
    void recordStatementTexts();

    // The day-cell rule.
    void cellNames_data();
    void cellNames();
    void afterSave_data();
    void afterSave();
    void afterDeletion_data();
    void afterDeletion();
    void householdRows();
    void monthRebuildWrite();
    void failedRecomputeLeavesNothing_data();
    void failedRecomputeLeavesNothing();
    void simultaneousFirstSaves();

    // The record commands.
    void saveWritesRecordAndCell();
    void refusedHalfWayLeavesNothing_data();
    void refusedHalfWayLeavesNothing();
    void duplicateTellsAfterTheTransaction();
    void simultaneousSavesOfOneRecord();
    void changeOverAnotherWorkstationsChange();
    void dayTotalNeverTruncated();
};

void TestRecords::cellNames_data()
{
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QString>("cell");
    QTest::newRow("day 5") << QDate(2026, 3, 5) << "d5";
    QTest::newRow("day 10") << QDate(2026, 10, 10) << "d10";
    QTest::newRow("day 31") << QDate(2026, 1, 31) << "d31";
    QTest::newRow("day 1") << QDate(2026, 12, 1) << "d1";
}

void TestRecords::cellNames()
{
    auto &[db, p, module] = *m_fixture;
    QFETCH(QDate, date);
    QFETCH(QString, cell);
    p.record(p.ivanov, date, 2, 7);
    DayCellRule(*module).recomputeAfterSave(p.ivanov, date, 2);
    QCOMPARE(db.timesheetLines(p.ivanov), QStringList{QStringLiteral("2 %1.%2 0 0: %3=7").arg(date.month()).arg(date.year()).arg(cell)});
}

void TestRecords::afterSave_data()
{
    QTest::addColumn<Records>("records");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("first record of the month: new row, only that day")
        << Records{{5, 1, 8}} << QStringList{"1 3.2026 0 0: d5=8"};
    QTest::newRow("8 and 3 hours on one day: 11")
        << Records{{5, 1, 8}, {5, 1, 3}} << QStringList{"1 3.2026 0 0: d5=11"};
    QTest::newRow("shift 1 and overtime: two rows")
        << Records{{5, 1, 8}, {5, 4, 3}} << QStringList{"1 3.2026 0 0: d5=8", "4 3.2026 0 0: d5=3"};
    QTest::newRow("0 hours: 0 written")
        << Records{{5, 1, 0}} << QStringList{"1 3.2026 0 0: d5=0"};
    QTest::newRow("other days keep their values")
        << Records{{5, 1, 8}, {6, 1, 4}} << QStringList{"1 3.2026 0 0: d5=8 d6=4"};
}

void TestRecords::afterSave()
{
    auto &[db, p, module] = *m_fixture;
    QFETCH(Records, records);
    QFETCH(QStringList, expected);
    DayCellRule rule(*module);
    // Each record is saved and recomputed in turn, as the record dialog does.
    for (const auto &r : records) {
        p.record(p.ivanov, QDate(2026, 3, r[0]), r[1], r[2]);
        rule.recomputeAfterSave(p.ivanov, QDate(2026, 3, r[0]), r[1]);
    }
    QCOMPARE(db.timesheetLines(p.ivanov), expected);
    QCOMPARE(db.timesheetLines(p.petrov), QStringList());
}

void TestRecords::afterDeletion_data()
{
    QTest::addColumn<Records>("records");     // {day, mode, hours}, all saved and recomputed
    QTest::addColumn<int>("deleted");         // index into records
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("one of 8 and 3 hours deleted: 8")
        << Records{{5, 1, 8}, {5, 1, 3}} << 1 << QStringList{"1 3.2026 0 0: d5=8"};
    QTest::newRow("only record of a day: that cell empties, the others stay")
        << Records{{4, 1, 6}, {5, 1, 8}, {31, 1, 2}} << 1 << QStringList{"1 3.2026 0 0: d4=6 d31=2"};
    QTest::newRow("only record of the month: row removed")
        << Records{{5, 1, 8}} << 0 << QStringList();
    QTest::newRow("only record of the month in overtime: the shift row stays")
        << Records{{5, 1, 8}, {5, 4, 3}} << 1 << QStringList{"1 3.2026 0 0: d5=8"};
    QTest::newRow("only 0 hours left: cell emptied")
        << Records{{5, 1, 8}, {5, 1, 0}, {6, 1, 1}} << 0 << QStringList{"1 3.2026 0 0: d6=1"};
    QTest::newRow("a 0 on another day keeps the row")
        << Records{{5, 1, 8}, {6, 1, 0}} << 0 << QStringList{"1 3.2026 0 0: d6=0"};
}

void TestRecords::afterDeletion()
{
    auto &[db, p, module] = *m_fixture;
    QFETCH(Records, records);
    QFETCH(int, deleted);
    QFETCH(QStringList, expected);
    DayCellRule rule(*module);
    QList<int> ids;
    for (const auto &r : records) {
        ids << p.record(p.ivanov, QDate(2026, 3, r[0]), r[1], r[2]);
        rule.recomputeAfterSave(p.ivanov, QDate(2026, 3, r[0]), r[1]);
    }
    db.exec(QStringLiteral("delete from accounts_dep.smena where id=%1").arg(ids[deleted]));
    const auto &r = records[deleted];
    rule.recomputeAfterDeletion(p.ivanov, QDate(2026, 3, r[0]), r[1]);
    QCOMPARE(db.timesheetLines(p.ivanov), expected);
}

void TestRecords::failedRecomputeLeavesNothing_data()
{
    QTest::addColumn<bool>("deletion");
    QTest::addColumn<QString>("event");
    QTest::addColumn<QStringList>("expected");
    // The insert of the first record's row fails: no row.
    QTest::newRow("save, insert refused") << false << "insert" << QStringList();
    // The removal of the emptied row fails: the emptied cell comes back.
    QTest::newRow("deletion, removal refused") << true << "delete" << QStringList{"1 3.2026 0 0: d5=8"};
}

void TestRecords::failedRecomputeLeavesNothing()
{
    auto &[db, p, module] = *m_fixture;
    QFETCH(bool, deletion);
    QFETCH(QString, event);
    QFETCH(QStringList, expected);
    const QDate day(2026, 3, 5);
    DayCellRule rule(*module);
    const int id = p.record(p.ivanov, day, 1, 8);
    if (deletion) {
        rule.recomputeAfterSave(p.ivanov, day, 1);
        db.exec(QStringLiteral("delete from accounts_dep.smena where id=%1").arg(id));
    }
    refuseStatements(db, QStringLiteral("accounts_dep.h_tabel"), event, QStringLiteral("Табель закрыт"));
    QString error;
    try {
        if (deletion)
            rule.recomputeAfterDeletion(p.ivanov, day, 1);
        else
            rule.recomputeAfterSave(p.ivanov, day, 1);
    } catch (const DbError &e) {
        error = e.text();
    }
    QVERIFY2(error.contains(QStringLiteral("Табель закрыт")), qPrintable(error));
    QCOMPARE(db.timesheetLines(p.ivanov), expected);
    // Nothing stays locked, and the connection commits each statement again.
    QCOMPARE(db.advisoryLocks(), 0);
    module->command.execute(QStringLiteral("update accounts_dep.ver set delim=','"));
    QCOMPARE(db.scalar(QStringLiteral("select delim from accounts_dep.ver")).toString(), QStringLiteral(","));
}

// Two workstations save the first records of one worker, month and mode at the same moment. Each
// row insert is slowed down, so both look up the row before either has inserted it; without
// coordination both would insert, and the printed timesheet would count the hours twice.
void TestRecords::simultaneousFirstSaves()
{
    auto &[db, p, module] = *m_fixture;
    const QDate day(2026, 3, 5);
    p.record(p.ivanov, day, 1, 8);
    p.record(p.ivanov, day, 1, 3);
    db.exec(QStringLiteral("create function slow_insert() returns trigger language plpgsql as $$ "
                           "begin perform pg_sleep(0.5); return new; end $$"));
    db.exec(QStringLiteral("create trigger slow_insert before insert on accounts_dep.h_tabel "
                           "for each row execute function slow_insert()"));

    const QString connection = db.connectionString();
    std::mutex modules;   // creating and dropping data modules is not meant to run in parallel
    std::atomic<int> ready{0};
    QString errors[2];
    auto workstation = [&](int n) {
        std::unique_ptr<DataModule> module;
        {
            std::lock_guard<std::mutex> g(modules);
            module = std::make_unique<DataModule>();
            module->open(connection);
        }
        ++ready;
        while (ready.load() < 2)
            std::this_thread::yield();
        try {
            DayCellRule(*module).recomputeAfterSave(p.ivanov, day, 1);
        } catch (const std::exception &e) {
            errors[n] = QString::fromUtf8(e.what());
        }
        std::lock_guard<std::mutex> g(modules);
        module.reset();
    };
    std::thread a(workstation, 0);
    std::thread b(workstation, 1);
    a.join();
    b.join();
    QCOMPARE(errors[0], QString());
    QCOMPARE(errors[1], QString());
    QCOMPARE(db.timesheetLines(p.ivanov), QStringList{"1 3.2026 0 0: d5=11"});
}

void TestRecords::timesheetStatementTexts()
{
    using TimesheetStatements::Wording;
    const QDate day(2026, 3, 5);
    const auto k = TimesheetRowKey::production(12, day, 4);
    const QList<QPair<QString, QString>> texts = {
        {TimesheetStatements::rowCount(k), "select count(w_id) as cnt from accounts_dep.h_tabel where w_id=12 and smena=4 and month=3 and year=2026"},
        {TimesheetStatements::dayHours(k, day), "select sum(time) as tim from accounts_dep.smena where w_id=12 and smena=4 and data=to_date('05.03.2026', 'DD.MM.YYYY') group by w_id, smena, data"},
        {TimesheetStatements::cellUpdate(k, 5, 11), "update accounts_dep.h_tabel set d5=11 where w_id=12 and smena=4 and month=3 and year=2026"},
        {TimesheetStatements::cellUpdateAfterDeletion(k, 5, 11), "update accounts_dep.h_tabel set d5=11 where w_id=12 and smena=4 and month=3 and year=2026"},
        {TimesheetStatements::rowInsert(k, 5, 11), "insert into accounts_dep.h_tabel(smena, w_id, month, year, d5) values(4, 12, 3, 2026, 11)"},
        {TimesheetStatements::rowRemoval(k), "delete from accounts_dep.h_tabel where w_id=12 and smena=4 and month=3 and year=2026"},
        // The month rebuild's wording: the table aliased, the hours quoted.
        {TimesheetStatements::monthRemoval(true, 3, 2026), "delete from accounts_dep.h_tabel where smena>0 and month=3 and year=2026"},
        {TimesheetStatements::rowCount(k, Wording::MonthRebuild), "select count(w_id) as cnt from accounts_dep.h_tabel h_tabel where w_id=12 and smena=4 and month=3 and year=2026"},
        {TimesheetStatements::cellUpdate(k, 5, 11, Wording::MonthRebuild), "update accounts_dep.h_tabel set d5='11' where w_id=12 and smena=4 and month=3 and year=2026"},
        {TimesheetStatements::rowInsert(k, 5, 11, Wording::MonthRebuild), "insert into accounts_dep.h_tabel(smena, w_id, month, year, d5) values(4, 12, 3, 2026, 11)"},
    };
    for (const auto &t : texts)
        QCOMPARE(t.first, t.second);
}

void TestRecords::householdStatementTexts()
{
    using TimesheetStatements::Wording;
    const QDate day(2026, 3, 5);
    const auto k = TimesheetRowKey::household(12, day, 7777, 1);
    QVERIFY(!k.isProduction());
    QCOMPARE(k.shift, 0);
    const QList<QPair<QString, QString>> texts = {
        {TimesheetStatements::rowCount(k), "select count(w_id) as cnt from accounts_dep.h_tabel where w_id=12 and i_type=7777 and month=3 and year=2026 and i_night=1"},
        {TimesheetStatements::dayHours(k, day), "select sum(f.cnt) as tim from accounts_dep.fatigue f where f.id_p =12  and f.id_o=7777 and i_night=1 and f.d_date =to_date('05.03.2026', 'DD.MM.YYYY') group by f.id_p, f.d_date"},
        {TimesheetStatements::cellUpdate(k, 5, 8), "update accounts_dep.h_tabel set d5=8 where w_id=12 and i_type=7777 and month=3 and year=2026 and i_night=1"},
        {TimesheetStatements::rowInsert(k, 5, 8), "insert into accounts_dep.h_tabel(i_type, w_id, month, year, d5, i_night) values(7777, 12, 3, 2026, 8, 1)"},
        {TimesheetStatements::cellUpdateAfterDeletion(k, 5, 8), "update accounts_dep.h_tabel set d5=8 where w_id=12 and i_night=1 and i_type=7777 and month=3 and year=2026"},
        {TimesheetStatements::rowRemoval(k), "delete from accounts_dep.h_tabel where w_id=12 and i_night=1 and i_type=7777 and month=3 and year=2026"},
        {TimesheetStatements::monthRemoval(false, 3, 2026), "delete from accounts_dep.h_tabel where smena=0 and month=3 and year=2026"},
        {TimesheetStatements::rowCount(k, Wording::MonthRebuild), "select count(w_id) as cnt from accounts_dep.h_tabel h_tabel where w_id=12 and i_type=7777 and i_night=1 and month=3 and year=2026"},
        {TimesheetStatements::cellUpdate(k, 5, 8, Wording::MonthRebuild), "update accounts_dep.h_tabel set d5=8 where w_id=12 and i_type=7777 and i_night=1 and month=3 and year=2026"},
        {TimesheetStatements::rowInsert(k, 5, 8, Wording::MonthRebuild), "insert into accounts_dep.h_tabel(i_type, w_id, i_night, month, year, d5) values(7777, 12, 1, 3, 2026, 8)"},
    };
    for (const auto &t : texts)
        QCOMPARE(t.first, t.second);
}

void TestRecords::recordStatementTexts()
{
    ProductionRecord r;
    r.id = 44;
    r.worker = 3;
    r.operationPrice = 7;
    r.product = 5;
    r.unitPrice = 12.34567;
    r.quantity = 10;
    r.rejects = 1;
    r.hours = 8;
    r.date = QDate(2026, 3, 5);
    r.mode = 2;
    const QDate today(2026, 3, 6);
    QCOMPARE(RecordStatements::duplicateCount(r), QStringLiteral("select count(id) as cnt from accounts_dep.SMENA where w_id=3 and o_id=7 and i_id=5 and data=to_date('05.03.2026', 'DD.MM.YYYY') and smena=2 and color=0"));
    QCOMPARE(RecordStatements::duplicateCountOnChange(r), QStringLiteral("select count(id) as cnt from accounts_dep.SMENA where w_id=3 and o_id=7 and i_id=5 and data=to_date('05.03.2026', 'DD.MM.YYYY') and smena=2 and id<>44 and color=0"));
    QCOMPARE(RecordStatements::insert(r, today), QStringLiteral("insert into accounts_dep.SMENA(w_id, i_id, o_id, cena, kol_vo, brak, data, smena, color, time, vvod,ok, prize, id_doc, id_doc_item, f_gds_qty_use, id_gds_use, id_cons_use) values(3, 5, 7, 12.3457,10, 1, to_date('05.03.2026', 'DD.MM.YYYY HH24:MI:SS'), 2, 0, 8, '06.03.2026', 'no', 0, 0, 0, 0, 0, 0)"));
    QCOMPARE(RecordStatements::update(r, today), QStringLiteral("update accounts_dep.SMENA set w_id=3, i_id=5, o_id=7, cena=12.3457, kol_vo=10, brak=1, data=to_date('05.03.2026', 'DD.MM.YYYY'), smena=2, color=0, time=8, vvod='06.03.2026', prize=0, id_doc=0, id_doc_item=0, f_gds_qty_use=0, id_gds_use=0, id_cons_use=0 where id=44"));
    QCOMPARE(RecordStatements::deletion(44), QStringLiteral("delete from accounts_dep.smena where id=44"));
    QCOMPARE(RecordStatements::stateChange(), QStringLiteral("update accounts_dep.smena set ok=:ok where id=:id"));
}

namespace {

void addEntry(const TestDatabase &db, int worker, const QDate &date, int kind, int night, int hours)
{
    db.exec(QStringLiteral("insert into accounts_dep.fatigue(id_nom, id_o, id_p, d_date, i_mnth, i_year, i_smena, cnt, price, i_holiday, i_night) "
                           "values(0, %1, %2, '%3', %4, %5, 1, %6, 100, 0, %7)")
                .arg(kind).arg(worker).arg(date.toString(QStringLiteral("dd.MM.yyyy"))).arg(date.month()).arg(date.year())
                .arg(hours).arg(night));
}

} // namespace

// Household-work rows follow the same rule, keyed by kind and day/night flag.
void TestRecords::householdRows()
{
    auto &[db, p, module] = *m_fixture;
    const QDate day(2026, 3, 5);
    DayCellRule rule(*module);
    const auto dayRow = TimesheetRowKey::household(p.ivanov, day, 7777, 0);
    const auto nightRow = TimesheetRowKey::household(p.ivanov, day, 7777, 1);
    addEntry(db, p.ivanov, day, 7777, 0, 3);
    rule.recomputeAfterSave(dayRow, day);
    addEntry(db, p.ivanov, day, 7777, 0, 5);
    rule.recomputeAfterSave(dayRow, day);
    addEntry(db, p.ivanov, day, 7777, 1, 4);
    rule.recomputeAfterSave(nightRow, day);
    QCOMPARE(db.timesheetLines(p.ivanov), (QStringList{"0 3.2026 7777 0: d5=8", "0 3.2026 7777 1: d5=4"}));
    db.exec(QStringLiteral("delete from accounts_dep.fatigue where cnt=3"));
    rule.recomputeAfterDeletion(dayRow, day);
    QCOMPARE(db.timesheetLines(p.ivanov), (QStringList{"0 3.2026 7777 0: d5=5", "0 3.2026 7777 1: d5=4"}));
    // The last entry of the month goes: the row goes with it; the night row stays.
    db.exec(QStringLiteral("delete from accounts_dep.fatigue where cnt=5"));
    rule.recomputeAfterDeletion(dayRow, day);
    QCOMPARE(db.timesheetLines(p.ivanov), QStringList{"0 3.2026 7777 1: d5=4"});
    // Production rows of the same worker and month are another key.
    p.record(p.ivanov, day, 1, 8);
    rule.recomputeAfterSave(p.ivanov, day, 1);
    QCOMPARE(db.timesheetLines(p.ivanov), (QStringList{"0 3.2026 7777 1: d5=4", "1 3.2026 0 0: d5=8"}));
}

void TestRecords::monthRebuildWrite()
{
    auto &[db, p, module] = *m_fixture;
    db.exec(QStringLiteral("insert into accounts_dep.h_tabel(smena, w_id, month, year, d1) values(1, %1, 2, 2026, 5)").arg(p.petrov));
    db.exec(QStringLiteral("insert into accounts_dep.h_tabel(i_type, w_id, i_night, month, year, d1) values(7777, %1, 0, 2, 2026, 6)").arg(p.petrov));
    {
        UnitOfWork work(*module);
        MonthCellWriter writer(*module, work, true, 2, 2026);
        writer.removeMonth();
        // Known hours go in as they are: a missing row is created, an existing one updated.
        writer.write(TimesheetRowKey::production(p.ivanov, QDate(2026, 2, 3), 3), 3, 9);
        writer.write(TimesheetRowKey::production(p.ivanov, QDate(2026, 2, 28), 3), 28, 4);
        QCOMPARE(writer.statementCount(), 5);
        work.commit();
    }
    QCOMPARE(db.timesheetLines(p.ivanov), QStringList{"3 2.2026 0 0: d3=9 d28=4"});
    // The shift rows of the month went; the household row stays.
    QCOMPARE(db.timesheetLines(p.petrov), QStringList{"0 2.2026 7777 0: d1=6"});
    // A deletion with no row for the key creates none.
    DayCellRule(*module).recomputeAfterDeletion(p.ivanov, QDate(2026, 2, 3), 2);
    QCOMPARE(db.timesheetLines(p.ivanov), QStringList{"3 2.2026 0 0: d3=9 d28=4"});
}

namespace {

// What the journal and the timesheet hold, to compare before and after a command.
QString plantState(const TestDatabase &db, const SmallPlant &p)
{
    const auto records = db.rows(QStringLiteral("select id, w_id, kol_vo, time, data, smena, trim(ok) from accounts_dep.smena order by id"));
    QStringList out;
    for (const auto &r : records) {
        QStringList fields;
        for (const QVariant &v : r)
            fields << v.toString();
        out << fields.join(QLatin1Char(' '));
    }
    for (int worker : {p.ivanov, p.petrov, p.sidorov})
        out << QString::number(worker) + QStringLiteral(": ") + db.timesheetLines(worker).join(QStringLiteral(" | "));
    return out.join(QLatin1Char('\n'));
}

ProductionRecord ringRecord(const SmallPlant &p, int worker, const QDate &date, int hours)
{
    ProductionRecord r;
    r.worker = worker;
    r.operationPrice = p.ringTurning;
    r.product = p.ring;
    r.unitPrice = 5;
    r.quantity = 10;
    r.hours = hours;
    r.date = date;
    r.mode = 1;
    return r;
}

} // namespace

void TestRecords::saveWritesRecordAndCell()
{
    auto &[db, p, module] = *m_fixture;
    const QDate day(2026, 3, 5);
    Messages::MessageRecorder rec;
    module->shiftGrid1->setSql(QStringLiteral("select 1"));
    module->shiftGrid1->open();
    QVERIFY(RecordCommands::save(*module, ringRecord(p, p.ivanov, day, 8), nullptr, day));
    QCOMPARE(db.scalar(QStringLiteral("select trim(ok) from accounts_dep.smena")).toString(), QStringLiteral("no"));
    QCOMPARE(db.timesheetLines(p.ivanov), QStringList{"1 3.2026 0 0: d5=8"});
    // The timesheet-by-shifts grids read their rows again when next shown.
    QVERIFY(!module->shiftGrid1->isOpen());

    // A change that moves the record to another worker and day takes its hours along.
    ProductionRecord before = ringRecord(p, p.ivanov, day, 8);
    before.id = db.scalar(QStringLiteral("select id from accounts_dep.smena")).toInt();
    before.version = RowVersion::read(*module, QStringLiteral("accounts_dep.smena"), before.id);
    ProductionRecord after = ringRecord(p, p.petrov, day.addDays(1), 6);
    after.id = before.id;
    QVERIFY(RecordCommands::save(*module, after, &before, day));
    QCOMPARE(db.timesheetLines(p.ivanov), QStringList());
    QCOMPARE(db.timesheetLines(p.petrov), QStringList{"1 3.2026 0 0: d6=6"});
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from accounts_dep.smena")).toInt(), 1);

    RecordCommands::remove(*module, after.id, p.petrov, after.date, 1);
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from accounts_dep.smena")).toInt(), 0);
    QCOMPARE(db.timesheetLines(p.petrov), QStringList());
    QCOMPARE(rec.shown.size(), 0);
    QCOMPARE(db.advisoryLocks(), 0);
}

void TestRecords::refusedHalfWayLeavesNothing_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("event");   // the timesheet statement the server refuses
    // A new record whose row cannot be inserted.
    QTest::newRow("save, row insert refused") << "save" << "insert";
    // A record moved to Petrov, who has no row yet: his row cannot be inserted.
    QTest::newRow("change to another worker, row insert refused") << "move" << "insert";
    // A record moved away from Ivanov's only day of the month: his row cannot be removed.
    QTest::newRow("change to another worker, row removal refused") << "move" << "delete";
    // The only record of the month deleted: its row cannot be removed.
    QTest::newRow("delete, row removal refused") << "delete" << "delete";
}

void TestRecords::refusedHalfWayLeavesNothing()
{
    auto &[db, p, module] = *m_fixture;
    QFETCH(QString, command);
    QFETCH(QString, event);
    const QDate day(2026, 3, 5);
    const int id = p.record(p.ivanov, day, 1, 8);
    DayCellRule(*module).recomputeAfterSave(p.ivanov, day, 1);
    const QString before = plantState(db, p);
    refuseStatements(db, QStringLiteral("accounts_dep.h_tabel"), event, QStringLiteral("Табель закрыт"));

    ProductionRecord stored = ringRecord(p, p.ivanov, day, 8);
    stored.id = id;
    stored.version = RowVersion::read(*module, QStringLiteral("accounts_dep.smena"), id);
    ProductionRecord moved = ringRecord(p, p.petrov, day, 8);
    moved.id = id;
    QString error;
    try {
        if (command == QLatin1String("save"))
            RecordCommands::save(*module, ringRecord(p, p.sidorov, day, 4), nullptr, day);
        else if (command == QLatin1String("move"))
            RecordCommands::save(*module, moved, &stored, day);
        else
            RecordCommands::remove(*module, id, p.ivanov, day, 1);
    } catch (const DbError &e) {
        error = e.text();
    }
    QVERIFY2(error.contains(QStringLiteral("Табель закрыт")), qPrintable(error));
    // The record statement that went through before the refusal is taken back with it.
    QCOMPARE(plantState(db, p), before);
    QCOMPARE(db.advisoryLocks(), 0);
    QVERIFY(!module->inTransaction());
}

void TestRecords::duplicateTellsAfterTheTransaction()
{
    auto &[db, p, module] = *m_fixture;
    const QDate day(2026, 3, 5);
    Messages::MessageRecorder rec;
    QVERIFY(RecordCommands::save(*module, ringRecord(p, p.ivanov, day, 8), nullptr, day));
    const QString before = plantState(db, p);
    // The same key with other hours: refused, nothing written.
    QVERIFY(!RecordCommands::save(*module, ringRecord(p, p.ivanov, day, 3), nullptr, day));
    QCOMPARE(rec.errors(), QStringList{QStringLiteral("Позиция с такими параметрами уже заведена!")});
    QCOMPARE(plantState(db, p), before);
    QCOMPARE(db.advisoryLocks(), 0);
}

// Two workstations press "Запись" on the same new record at the same moment. The record's insert
// is slowed down, so both would find no duplicate before either has written; the key's lock lets
// only one of them save it, and the other is told.
void TestRecords::simultaneousSavesOfOneRecord()
{
    auto &[db, p, _m] = *m_fixture;
    const QDate day(2026, 3, 5);
    db.exec(QStringLiteral("create function slow_record() returns trigger language plpgsql as $$ "
                           "begin perform pg_sleep(0.5); return new; end $$"));
    db.exec(QStringLiteral("create trigger slow_record before insert on accounts_dep.smena "
                           "for each row execute function slow_record()"));
    const QString connection = db.connectionString();
    std::mutex modules;
    std::atomic<int> ready{0};
    bool saved[2] = {false, false};
    QString errors[2];
    Messages::MessageRecorder rec;
    auto workstation = [&](int n) {
        std::unique_ptr<DataModule> module;
        {
            std::lock_guard<std::mutex> g(modules);
            module = std::make_unique<DataModule>();
            module->open(connection);
        }
        ++ready;
        while (ready.load() < 2)
            std::this_thread::yield();
        try {
            saved[n] = RecordCommands::save(*module, ringRecord(p, p.ivanov, day, 8), nullptr, day);
        } catch (const std::exception &e) {
            errors[n] = QString::fromUtf8(e.what());
        }
        std::lock_guard<std::mutex> g(modules);
        module.reset();
    };
    std::thread a(workstation, 0);
    std::thread b(workstation, 1);
    a.join();
    b.join();
    QCOMPARE(errors[0], QString());
    QCOMPARE(errors[1], QString());
    QCOMPARE(int(saved[0]) + int(saved[1]), 1);
    QCOMPARE(rec.errors(), QStringList{QStringLiteral("Позиция с такими параметрами уже заведена!")});
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from accounts_dep.smena")).toInt(), 1);
    QCOMPARE(db.timesheetLines(p.ivanov), QStringList{"1 3.2026 0 0: d5=8"});
}

// Workstation A changes a record's quantity; workstation B, which read the record before, then
// saves its own change of the hours: B is refused, A's change stays.
void TestRecords::changeOverAnotherWorkstationsChange()
{
    auto &[db, p, module] = *m_fixture;
    const QDate day(2026, 3, 5);
    const int id = p.record(p.ivanov, day, 1, 8);
    DayCellRule(*module).recomputeAfterSave(p.ivanov, day, 1);
    auto other = db.connectModule();
    ProductionRecord read = ringRecord(p, p.ivanov, day, 8);
    read.id = id;
    read.version = RowVersion::read(*module, QStringLiteral("accounts_dep.smena"), id);
    ProductionRecord readByOther = read;
    readByOther.version = RowVersion::read(*other, QStringLiteral("accounts_dep.smena"), id);

    ProductionRecord byA = read;
    byA.quantity = 12;
    QVERIFY(RecordCommands::save(*other, byA, &readByOther, day));
    ProductionRecord byB = read;
    byB.hours = 6;
    QString error;
    try {
        RecordCommands::save(*module, byB, &read, day);
    } catch (const DbError &e) {
        error = e.text();
    }
    QCOMPARE(error, RowVersion::changedText());
    QCOMPARE(db.scalar(QStringLiteral("select kol_vo || ' ' || time from accounts_dep.smena where id=%1").arg(id)).toString(), QStringLiteral("12 8"));
    QCOMPARE(db.timesheetLines(p.ivanov), QStringList{"1 3.2026 0 0: d5=8"});
    // Deleted meanwhile: told as well, nothing written.
    RecordCommands::remove(*other, id, p.ivanov, day, 1);
    try {
        RecordCommands::save(*module, byB, &read, day);
    } catch (const DbError &e) {
        error = e.text();
    }
    QCOMPARE(error, RowVersion::deletedText());
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from accounts_dep.smena")).toInt(), 0);
    QCOMPARE(db.timesheetLines(p.ivanov), QStringList());
}

// Day totals are read whole: two records of the most hours an int holds do not wrap around, and
// a total no day cell can hold stops the save before anything of it is written.
void TestRecords::dayTotalNeverTruncated()
{
    auto &[db, p, module] = *m_fixture;
    const QDate day(2026, 3, 5);
    p.record(p.ivanov, day, 1, 2147483647);
    ProductionRecord second = ringRecord(p, p.ivanov, day, 2147483647);
    second.operationPrice = p.axleTurning;
    second.product = p.axle;
    QString error;
    try {
        RecordCommands::save(*module, second, nullptr, day);
    } catch (const InputError &e) {
        error = e.text();
    }
    QVERIFY2(error.contains(QStringLiteral("4294967294")) && error.contains(QStringLiteral("32767")), qPrintable(error));
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from accounts_dep.smena")).toInt(), 1);
    QCOMPARE(db.timesheetLines(p.ivanov), QStringList());
}

QTEST_MAIN(TestRecords)
#include "test_records.moc"
