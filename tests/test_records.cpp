// Timesheet day cells kept in step with the journal; deleting and accepting journal records.
#include "app/data_grid.h"
#include "app/data_module.h"
#include "app/main_window.h"
#include "app/messages.h"
#include "app/startup.h"
#include "db/dataset.h"
#include "db/db_error.h"
#include "records/day_cell_rule.h"
#include "records/shift_timesheet_cell.h"
#include "tests/support/test_support.h"

#include <QApplication>
#include <QPushButton>
#include <QRadioButton>
#include <QHeaderView>
#include <QtTest>

#include <atomic>
#include <mutex>
#include <thread>

namespace {

const QColor green(0, 0x80, 0);
const QColor red(0xFF, 0, 0);

// A worker, a second worker and one operation price to hang records on.
struct Plant {
    explicit Plant(const TestDatabase &db)
    {
        ivanov = db.addWorker(QStringLiteral("Иванов И.И."));
        petrov = db.addWorker(QStringLiteral("Петров П.П."));
        sidorov = db.addWorker(QStringLiteral("Сидоров С.С."));
        ring = db.addProduct(QStringLiteral("Кольцо 20"));
        turning = db.addKind(QStringLiteral("Токарная"));
        ringTurning = db.addPrice(turning, ring);
    }
    int record(const TestDatabase &db, int worker, const QDate &date, int mode, int hours,
               const QString &state = QStringLiteral("no")) const
    {
        return db.addRecord(worker, ring, ringTurning, date, mode, 10, 0, 5, hours, state);
    }
    int ivanov, petrov, sidorov, ring, turning, ringTurning;
};

QStringList timesheet(const TestDatabase &db, int worker)
{
    return db.timesheetLines(worker);
}

QColor okColour(TForm1 &main, int row)
{
    auto *grid = main.findChild<DataGrid *>(QStringLiteral("DBGrid2"));
    const QModelIndex idx = grid->dataModel()->index(row, grid->columnOf(QStringLiteral("ok")));
    return grid->dataModel()->data(idx, Qt::ForegroundRole).value<QColor>();
}

// Makes every statement of `event` ("delete", "update", "insert") on `table` fail with `text`.
void refuse(const TestDatabase &db, const QString &table, const QString &event, const QString &text)
{
    db.exec(QStringLiteral("create or replace function refuse_change() returns trigger language plpgsql as $$ "
                           "begin raise exception '%1'; end $$").arg(text));
    db.exec(QStringLiteral("create trigger refuse_%1 before %1 on %2 for each row execute function refuse_change()")
                .arg(event, table));
}

} // namespace

class TestRecords : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { installRussian(*qApp); }

    // The day-cell rule.
    void statementTexts();
    void cellNames_data();
    void cellNames();
    void afterSave_data();
    void afterSave();
    void afterDeletion_data();
    void afterDeletion();
    void monthRebuildWrite();
    void failedRecomputeLeavesNothing_data();
    void failedRecomputeLeavesNothing();
    void simultaneousFirstSaves();

    // The main window's delete and toggle.
    void deleteAnsweredNo();
    void deleteAnsweredYes();
    void deleteCountsTheRecordsOwnDay();
    void toggle_data();
    void toggle();
    void toggleByDoubleClickOnRow();
    void toggleByDoubleClickOnTitleRow();
    void toggleRefusedForShiftForeman();
    void emptyJournalIgnoresCommands();
    void serverRefusal_data();
    void serverRefusal();
};

void TestRecords::statementTexts()
{
    const ShiftTimesheetCell cell(12, QDate(2026, 3, 5), 4);
    QCOMPARE(cell.lookUp(), QStringLiteral("select count(w_id) as cnt from accounts_dep.h_tabel where w_id=12 and smena=4 and month=3 and year=2026"));
    QCOMPARE(cell.totalHours(), QStringLiteral("select sum(time) as tim from accounts_dep.smena where w_id=12 and smena=4 and data=to_date('05.03.2026', 'DD.MM.YYYY') group by w_id, smena, data"));
    QCOMPARE(cell.cellUpdate(11), QStringLiteral("update accounts_dep.h_tabel set d5=11 where w_id=12 and smena=4 and month=3 and year=2026"));
    QCOMPARE(cell.rowInsert(11), QStringLiteral("insert into accounts_dep.h_tabel(smena, w_id, month, year, d5) values(4, 12, 3, 2026, 11)"));
    QCOMPARE(cell.rowRemoval(), QStringLiteral("delete from accounts_dep.h_tabel where w_id=12 and smena=4 and month=3 and year=2026"));
}

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
    QFETCH(QDate, date);
    QFETCH(QString, cell);
    TestDatabase db;
    Plant p(db);
    p.record(db, p.ivanov, date, 2, 7);
    auto module = db.connectModule();
    DayCellRule(*module).recomputeAfterSave(p.ivanov, date, 2);
    QCOMPARE(timesheet(db, p.ivanov), QStringList{QStringLiteral("2 %1.%2 0 0: %3=7").arg(date.month()).arg(date.year()).arg(cell)});
}

// Records already in the journal are (worker index, day of March 2026, mode, hours); the save
// recomputes the cell of the last one.
using Records = QList<QList<int>>;

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
    QFETCH(Records, records);
    QFETCH(QStringList, expected);
    TestDatabase db;
    Plant p(db);
    auto module = db.connectModule();
    DayCellRule rule(*module);
    // Each record is saved and recomputed in turn, as the record dialog does.
    for (const auto &r : records) {
        p.record(db, p.ivanov, QDate(2026, 3, r[0]), r[1], r[2]);
        rule.recomputeAfterSave(p.ivanov, QDate(2026, 3, r[0]), r[1]);
    }
    QCOMPARE(timesheet(db, p.ivanov), expected);
    QCOMPARE(timesheet(db, p.petrov), QStringList());
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
    QFETCH(Records, records);
    QFETCH(int, deleted);
    QFETCH(QStringList, expected);
    TestDatabase db;
    Plant p(db);
    auto module = db.connectModule();
    DayCellRule rule(*module);
    QList<int> ids;
    for (const auto &r : records) {
        ids << p.record(db, p.ivanov, QDate(2026, 3, r[0]), r[1], r[2]);
        rule.recomputeAfterSave(p.ivanov, QDate(2026, 3, r[0]), r[1]);
    }
    db.exec(QStringLiteral("delete from accounts_dep.smena where id=%1").arg(ids[deleted]));
    const auto &r = records[deleted];
    rule.recomputeAfterDeletion(p.ivanov, QDate(2026, 3, r[0]), r[1]);
    QCOMPARE(timesheet(db, p.ivanov), expected);
}

void TestRecords::monthRebuildWrite()
{
    TestDatabase db;
    Plant p(db);
    auto module = db.connectModule();
    DayCellRule rule(*module);
    // Known hours go in as they are: a missing row is created, an existing one updated.
    rule.write(ShiftTimesheetCell(p.ivanov, QDate(2026, 2, 3), 3), 9);
    rule.write(ShiftTimesheetCell(p.ivanov, QDate(2026, 2, 28), 3), 4);
    QCOMPARE(timesheet(db, p.ivanov), QStringList{"3 2.2026 0 0: d3=9 d28=4"});
    // A deletion with no row for the key creates none.
    rule.recomputeAfterDeletion(p.ivanov, QDate(2026, 2, 3), 2);
    QCOMPARE(timesheet(db, p.ivanov), QStringList{"3 2.2026 0 0: d3=9 d28=4"});
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
    QFETCH(bool, deletion);
    QFETCH(QString, event);
    QFETCH(QStringList, expected);
    TestDatabase db;
    Plant p(db);
    const QDate day(2026, 3, 5);
    auto module = db.connectModule();
    DayCellRule rule(*module);
    const int id = p.record(db, p.ivanov, day, 1, 8);
    if (deletion) {
        rule.recomputeAfterSave(p.ivanov, day, 1);
        db.exec(QStringLiteral("delete from accounts_dep.smena where id=%1").arg(id));
    }
    refuse(db, QStringLiteral("accounts_dep.h_tabel"), event, QStringLiteral("Табель закрыт"));
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
    QCOMPARE(timesheet(db, p.ivanov), expected);
    // Nothing stays locked, and the connection commits each statement again.
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from pg_locks where locktype='advisory'")).toInt(), 0);
    module->SQL_exec.execute(QStringLiteral("update accounts_dep.ver set delim=','"));
    QCOMPARE(db.scalar(QStringLiteral("select delim from accounts_dep.ver")).toString(), QStringLiteral(","));
}

// Two workstations save the first records of one worker, month and mode at the same moment. Each
// row insert is slowed down, so both look up the row before either has inserted it; without
// coordination both would insert, and the printed timesheet would count the hours twice.
void TestRecords::simultaneousFirstSaves()
{
    TestDatabase db;
    Plant p(db);
    const QDate day(2026, 3, 5);
    p.record(db, p.ivanov, day, 1, 8);
    p.record(db, p.ivanov, day, 1, 3);
    db.exec(QStringLiteral("create function slow_insert() returns trigger language plpgsql as $$ "
                           "begin perform pg_sleep(0.5); return new; end $$"));
    db.exec(QStringLiteral("create trigger slow_insert before insert on accounts_dep.h_tabel "
                           "for each row execute function slow_insert()"));

    const QString connection = db.connectionString();
    std::mutex modules;   // creating and dropping data modules is not meant to run in parallel
    std::atomic<int> ready{0};
    QString errors[2];
    auto workstation = [&](int n) {
        std::unique_ptr<TDataModule6> module;
        {
            std::lock_guard<std::mutex> g(modules);
            module = std::make_unique<TDataModule6>();
            module->Connect(connection);
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
    QCOMPARE(timesheet(db, p.ivanov), QStringList{"1 3.2026 0 0: d5=11"});
}

void TestRecords::deleteAnsweredNo()
{
    TestDatabase db;
    Plant p(db);
    const QDate day(2026, 3, 5);
    p.record(db, p.ivanov, day, 1, 8);
    p.record(db, p.petrov, day, 1, 3);
    p.record(db, p.sidorov, day, 1, 5);
    auto module = db.connectModule();
    DayCellRule(*module).recomputeAfterSave(p.petrov, day, 1);
    TForm1 main(module.get());
    prepareJournals(*module);
    main.setJournalDate(day);
    main.ReadJournals();
    module->Smena1->setRecNo(2);

    Messages::MessageRecorder rec;
    rec.answers << false;
    main.findChild<QPushButton *>(QStringLiteral("Button3"))->click();
    QCOMPARE(rec.shown.size(), 1);
    QCOMPARE(rec.shown[0].kind, Messages::Shown::Question);
    QCOMPARE(rec.shown[0].title, QStringLiteral("Удаление"));
    QCOMPARE(rec.shown[0].text, QStringLiteral("Удалить позицию из списка?"));
    QCOMPARE(main.CurrentJournal, module->Smena1);
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from accounts_dep.smena")).toInt(), 3);
    QCOMPARE(module->Smena1->recordCount(), 3);
    QCOMPARE(module->Smena1->recNo(), 1);
    QCOMPARE(timesheet(db, p.petrov), QStringList{"1 3.2026 0 0: d5=3"});
}

void TestRecords::deleteAnsweredYes()
{
    TestDatabase db;
    Plant p(db);
    const QDate day(2026, 3, 5);
    auto module = db.connectModule();
    DayCellRule rule(*module);
    // Ivanov: 6 hours on the 4th in shift 2, and 8 on the 5th (an accepted record).
    p.record(db, p.ivanov, day.addDays(-1), 2, 6);
    rule.recomputeAfterSave(p.ivanov, day.addDays(-1), 2);
    const int accepted = p.record(db, p.ivanov, day, 2, 8, QStringLiteral("ok"));
    rule.recomputeAfterSave(p.ivanov, day, 2);
    p.record(db, p.petrov, day, 2, 3);
    rule.recomputeAfterSave(p.petrov, day, 2);
    TForm1 main(module.get());
    prepareJournals(*module);
    main.findChild<QRadioButton *>(QStringLiteral("RadioButton2"))->setChecked(true);
    main.setJournalDate(day);
    main.ReadJournals();
    QVERIFY(module->Smena2->locate(QStringLiteral("id"), accepted));

    Messages::MessageRecorder rec;
    rec.answers << true;
    main.Button3Click();
    QCOMPARE(rec.texts(), QStringList{"Удалить позицию из списка?"});
    QCOMPARE(main.CurrentJournal, module->Smena2);
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from accounts_dep.smena where id=%1").arg(accepted)).toInt(), 0);
    QCOMPARE(column(module->Smena2, QStringLiteral("fio")), QStringList{"Петров П.П."});
    QCOMPARE(module->Smena2->recNo(), 1);
    QCOMPARE(timesheet(db, p.ivanov), QStringList{"2 3.2026 0 0: d4=6"});
    QCOMPARE(timesheet(db, p.petrov), QStringList{"2 3.2026 0 0: d5=3"});
}

// The date picker holds a typed date that was never read into the journal: the deleted record
// still leaves the cell of its own day.
void TestRecords::deleteCountsTheRecordsOwnDay()
{
    TestDatabase db;
    Plant p(db);
    const QDate day(2026, 3, 5);
    auto module = db.connectModule();
    p.record(db, p.ivanov, day, 1, 8);
    DayCellRule(*module).recomputeAfterSave(p.ivanov, day, 1);
    TForm1 main(module.get());
    prepareJournals(*module);
    main.setJournalDate(day);
    main.ReadJournals();
    main.setJournalDate(day.addDays(1));

    Messages::MessageRecorder rec;
    rec.answers << true;
    main.Button3Click();
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from accounts_dep.smena")).toInt(), 0);
    QCOMPARE(timesheet(db, p.ivanov), QStringList());
}

void TestRecords::toggle_data()
{
    QTest::addColumn<QString>("state");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::newRow("no -> ok -> no") << "no" << "ok" << "no";
    QTest::newRow("да -> no -> ok") << "да" << "no" << "ok";
    QTest::newRow("ok -> no -> ok") << "ok" << "no" << "ok";
    QTest::newRow("other value -> ok -> no") << "x" << "ok" << "no";
}

void TestRecords::toggle()
{
    QFETCH(QString, state);
    QFETCH(QString, first);
    QFETCH(QString, second);
    TestDatabase db;
    Plant p(db);
    const QDate day(2026, 3, 5);
    p.record(db, p.ivanov, day, 4, 8, QStringLiteral("no"));
    const int id = p.record(db, p.petrov, day, 4, 8, state);
    p.record(db, p.sidorov, day, 4, 8, QStringLiteral("ok"));
    auto module = db.connectModule();
    DayCellRule(*module).recomputeAfterSave(p.petrov, day, 4);
    TForm1 main(module.get());
    main.LoginText = QStringLiteral("6194");
    prepareJournals(*module);
    main.ModeChosen(4);
    main.setJournalDate(day);
    main.ReadJournals();
    module->Smena4->setRecNo(2);

    Messages::MessageRecorder rec;
    const auto stateOf = [&] {
        return db.scalar(QStringLiteral("select trim(ok) from accounts_dep.smena where id=%1").arg(id)).toString();
    };
    const auto colourOf = [](const QString &s) { return s == QLatin1String("ok") ? green : red; };
    for (const QString &expected : {first, second}) {
        main.DBGrid2DblClick();
        QCOMPARE(stateOf(), expected);
        QCOMPARE(main.CurrentJournal, module->Smena4);
        QCOMPARE(module->Smena4->recNo(), 2);
        QCOMPARE(module->Smena4->text(QStringLiteral("ok")).trimmed(), expected);
        QCOMPARE(okColour(main, 1), colourOf(expected));
    }
    QCOMPARE(column(module->Smena4, QStringLiteral("ok")), (QStringList{"no", second, "ok"}));
    QCOMPARE(okColour(main, 0), red);
    QCOMPARE(okColour(main, 2), green);
    QCOMPARE(rec.shown.size(), 0);
    // The timesheet does not depend on the state.
    QCOMPARE(timesheet(db, p.petrov), QStringList{"4 3.2026 0 0: d5=8"});
}

void TestRecords::toggleByDoubleClickOnRow()
{
    TestDatabase db;
    Plant p(db);
    const QDate day(2026, 3, 5);
    p.record(db, p.ivanov, day, 1, 8);
    const int id = p.record(db, p.petrov, day, 1, 8);
    auto module = db.connectModule();
    TForm1 main(module.get());
    prepareJournals(*module);
    main.setJournalDate(day);
    main.ReadJournals();
    main.show();
    QVERIFY(QTest::qWaitForWindowExposed(&main));
    auto *grid = main.findChild<DataGrid *>(QStringLiteral("DBGrid2"));
    const QRect cell = grid->visualRect(grid->dataModel()->index(1, 0));
    // A double-click arrives as a press and a release, then the double-click itself.
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
    QCOMPARE(db.scalar(QStringLiteral("select trim(ok) from accounts_dep.smena where id=%1").arg(id)).toString(), QStringLiteral("ok"));
    QCOMPARE(module->Smena1->recNo(), 2);
    QCOMPARE(okColour(main, 1), green);
}

void TestRecords::toggleByDoubleClickOnTitleRow()
{
    TestDatabase db;
    Plant p(db);
    const QDate day(2026, 3, 5);
    p.record(db, p.ivanov, day, 1, 8);
    const int id = p.record(db, p.petrov, day, 1, 8);
    auto module = db.connectModule();
    TForm1 main(module.get());
    prepareJournals(*module);
    main.setJournalDate(day);
    main.ReadJournals();
    main.show();
    QVERIFY(QTest::qWaitForWindowExposed(&main));
    module->Smena1->setRecNo(2);
    auto *grid = main.findChild<DataGrid *>(QStringLiteral("DBGrid2"));
    QHeaderView *titles = grid->horizontalHeader();
    const QPoint title(titles->sectionViewportPosition(0) + 10, titles->height() / 2);
    QTest::mouseDClick(titles->viewport(), Qt::LeftButton, {}, title);
    QCOMPARE(db.scalar(QStringLiteral("select trim(ok) from accounts_dep.smena where id=%1").arg(id)).toString(), QStringLiteral("ok"));
    QCOMPARE(module->Smena1->recNo(), 2);
}

void TestRecords::toggleRefusedForShiftForeman()
{
    TestDatabase db;
    Plant p(db);
    const QDate day(2026, 3, 5);
    p.record(db, p.ivanov, day, 1, 8, QStringLiteral("no"));
    p.record(db, p.petrov, day, 1, 8, QStringLiteral("ok"));
    auto module = db.connectModule();
    TForm1 main(module.get());
    main.LoginText = QStringLiteral("gildert");
    prepareJournals(*module);
    main.setJournalDate(day);
    main.ReadJournals();
    Messages::MessageRecorder rec;
    for (int row = 1; row <= 2; ++row) {
        module->Smena1->setRecNo(row);
        main.DBGrid2DblClick();
        QCOMPARE(module->Smena1->recNo(), row);
    }
    QCOMPARE(column(module->Smena1, QStringLiteral("ok")), (QStringList{"no", "ok"}));
    QCOMPARE(db.scalar(QStringLiteral("select string_agg(trim(ok), ',' order by id) from accounts_dep.smena")).toString(),
             QStringLiteral("no,ok"));
    QCOMPARE(rec.shown.size(), 0);
}

void TestRecords::emptyJournalIgnoresCommands()
{
    TestDatabase db;
    Plant p(db);
    const QDate day(2026, 3, 5);
    p.record(db, p.ivanov, day.addDays(1), 1, 8);   // another day's record
    auto module = db.connectModule();
    TForm1 main(module.get());
    main.LoginText = QStringLiteral("61370452");
    prepareJournals(*module);
    main.setJournalDate(day);
    main.ReadJournals();
    QVERIFY(module->Smena1->isEmpty());
    Messages::MessageRecorder rec;
    rec.answers << true;
    main.findChild<QPushButton *>(QStringLiteral("Button3"))->click();
    main.DBGrid2DblClick();
    QCOMPARE(rec.shown.size(), 0);
    QCOMPARE(db.scalar(QStringLiteral("select string_agg(trim(ok), ',') from accounts_dep.smena")).toString(), QStringLiteral("no"));
}

void TestRecords::serverRefusal_data()
{
    QTest::addColumn<bool>("deleting");
    QTest::newRow("delete refused") << true;
    QTest::newRow("state update refused") << false;
}

void TestRecords::serverRefusal()
{
    QFETCH(bool, deleting);
    TestDatabase db;
    Plant p(db);
    const QDate day(2026, 3, 5);
    p.record(db, p.ivanov, day, 1, 8);
    const int id = p.record(db, p.petrov, day, 1, 3);
    const int other = p.record(db, p.sidorov, day, 1, 5);
    auto module = db.connectModule();
    DayCellRule(*module).recomputeAfterSave(p.petrov, day, 1);
    TForm1 main(module.get());
    prepareJournals(*module);
    main.setJournalDate(day);
    main.ReadJournals();
    module->Smena1->setRecNo(2);
    // Another workstation changes a record; a re-read of the journal would show it.
    db.exec(QStringLiteral("update accounts_dep.smena set ok='ok' where id=%1").arg(other));
    refuse(db, QStringLiteral("accounts_dep.smena"), deleting ? QStringLiteral("delete") : QStringLiteral("update"),
           QStringLiteral("Запись закрыта бухгалтерией"));

    Messages::MessageRecorder rec;
    rec.answers << true;
    if (deleting)
        main.findChild<QPushButton *>(QStringLiteral("Button3"))->click();
    else
        main.DBGrid2DblClick();
    QCOMPARE(rec.errors().size(), 1);
    QVERIFY2(rec.errors()[0].contains(QStringLiteral("Запись закрыта бухгалтерией")), qPrintable(rec.errors()[0]));
    QCOMPARE(rec.shown.last().title, QStringLiteral("Ошибка"));
    // The journal was not re-read.
    QCOMPARE(module->Smena1->recordCount(), 3);
    QCOMPARE(module->Smena1->recNo(), 2);
    QCOMPARE(column(module->Smena1, QStringLiteral("ok")), (QStringList{"no", "no", "no"}));
    // Nothing changed.
    QCOMPARE(db.scalar(QStringLiteral("select trim(ok) from accounts_dep.smena where id=%1").arg(id)).toString(), QStringLiteral("no"));
    QCOMPARE(timesheet(db, p.petrov), QStringList{"1 3.2026 0 0: d5=3"});
}

QTEST_MAIN(TestRecords)
#include "test_records.moc"
