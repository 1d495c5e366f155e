// Household-work and average-piecework entries: the list and its entry dialog, the price of an
// hour, the timesheet rows kept in step with the entries, and the month's average piecework prices.
#include "ui/data_grid.h"
#include "db/data_module.h"
#include "journal/journal_window.h"
#include "ui/messages.h"
#include "db/row_version.h"
#include "app/startup.h"
#include "ui/windows.h"
#include "db/dataset.h"
#include "reference/nomenclature_picker.h"
#include "reference/worker_list.h"
#include "timesheets/household_dialog.h"
#include "timesheets/household_list.h"
#include "timesheets/household_statements.h"
#include "tests/support/test_support.h"
#include "tests/support/window_helpers.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

namespace {

const QDate thursday(2026, 3, 5);
const QDate saturday(2026, 3, 7);
const QColor red(0xFF, 0, 0);

// What every case starts from: two workers, two product groups with a product each, the norm
// price of an hour of household work 100, and the main window with the list and the dialog.
struct Fixture {
    Fixture()
    {
        ivanov = db.addWorker(QStringLiteral("Иванов И.И."));
        petrov = db.addWorker(QStringLiteral("Петров П.П."));
        hoses = db.addGroup(QStringLiteral("Рукава"));
        pumps = db.addGroup(QStringLiteral("Насосы"));
        hose = db.addProduct(QStringLiteral("Рукав 20"), hoses);
        pump = db.addProduct(QStringLiteral("Насос 3"), pumps);
        turning = db.addPrice(db.addKind(QStringLiteral("Токарная")), hose);
        db.exec(QStringLiteral("update accounts_dep.norm set price=100 where o_id=7777"));
        main.loginText = QStringLiteral("61370452");
        list = Windows::get<HouseholdListWindow>();
        dialog = Windows::get<HouseholdDialog>();
        list->prepareOpen(thursday);
    }

    // Fills the dialog for a new entry of the list's date, as the user would, and saves it.
    void fill(int worker, qint64 group, const QString &hours, int kind = 7777, bool night = false)
    {
        dialog->prepareAdd(list->listContext());
        if (worker)
            dialog->takePick(WorkerChoice{worker, worker == ivanov ? QStringLiteral("Иванов И.И.") : QStringLiteral("Петров П.П.")});
        if (group)
            dialog->takePick(NomenclatureChoice{group, group == hoses ? QStringLiteral("Рукава") : QStringLiteral("Насосы")});
        dialog->chooseKind(kind);
        dialog->nightBox->setChecked(night);
        dialog->hoursEdit->setText(hours);
    }
    int add(int worker, const QString &hours, int kind = 7777, bool night = false)
    {
        fill(worker, hoses, hours, kind, night);
        dialog->save();
        return db.scalar(QStringLiteral("select max(id) from accounts_dep.fatigue")).toInt();
    }
    // Deletes the list's entry `id`, answering the question with Yes.
    void remove(Messages::MessageRecorder &rec, int id)
    {
        QVERIFY(list->entries->locate(QStringLiteral("id"), id));
        rec.answers = {true};
        list->deleteEntry();
    }
    QStringList entries() const
    {
        QStringList out;
        for (const auto &r : db.rows(QStringLiteral("select id_p, id_o, d_date, cnt, price::float8, i_holiday, i_night from accounts_dep.fatigue order by id")))
            out << QStringLiteral("%1 %2 %3 %4h %5 %6%7")
                       .arg(r[0].toInt() == ivanov ? QStringLiteral("ivanov") : QStringLiteral("petrov"))
                       .arg(r[1].toInt())
                       .arg(r[2].toDate().toString(QStringLiteral("dd.MM")))
                       .arg(r[3].toInt())
                       .arg(r[4].toDouble())
                       .arg(r[5].toInt() ? QStringLiteral("H") : QStringLiteral("-"))
                       .arg(r[6].toInt() ? QStringLiteral("N") : QStringLiteral("-"));
        return out;
    }

    TestDatabase db;
    int ivanov, petrov, hoses, pumps, hose, pump, turning;
    std::unique_ptr<DataModule> module = db.connectModule();
    JournalWindow main{module.get()};
    HouseholdListWindow *list;
    HouseholdDialog *dialog;
};

} // namespace

class TestHousehold : public QObject {
    Q_OBJECT
    std::unique_ptr<Fixture> m_fixture;

private slots:
    void initTestCase() { installRussian(*qApp); }
    void init() { m_fixture = std::make_unique<Fixture>(); }
    void cleanup() { m_fixture.reset(); }

    void statementTexts();
    void hourPrice_data();
    void hourPrice();
    void hoursRefused_data();
    void hoursRefused();
    void requiredFields_data();
    void requiredFields();
    void changeOnEmptyList();
    void dayCellFollowsEntries_data();
    void dayCellFollowsEntries();
    void dayAndNightRows();
    void changeMovesCell_data();
    void changeMovesCell();
    void refusedTimesheetLeavesNoEntry_data();
    void refusedTimesheetLeavesNoEntry();
    void changeOverAnotherWorkstationsChange();
    void averagePricesInDecember();
    void dialogOpening();
    void listFitsScreen_data();
    void listFitsScreen();
    void listLookAndHolidayBox();
    void roadOfOneEntry();
};

void TestHousehold::statementTexts()
{
    HouseholdEntry e;
    e.id = 41;
    e.group = 105;
    e.kind = 7778;
    e.worker = 12;
    e.date = thursday;
    e.hours = 8;
    e.price = 100 * 2 * 1.2;
    e.holiday = true;
    e.night = true;
    QCOMPARE(HouseholdStatements::insert(e), QStringLiteral("INSERT INTO accounts_dep.fatigue(id_nom, id_o, id_p, d_date, i_mnth, i_year, i_smena, cnt, price, i_holiday, i_night)VALUES(105, 7778 ,12, '05.03.2026', 3, 2026, 1, 8, 240, 1, 1)"));
    e.price = 12.5;
    e.night = false;
    QCOMPARE(HouseholdStatements::update(e), QStringLiteral("UPDATE accounts_dep.fatigue SET id_nom=105, id_o=7778, id_p=12, cnt=8, price=12.5, i_holiday=1, i_night=0 where id=41"));
    QCOMPARE(HouseholdStatements::deletion(41), QStringLiteral("delete from accounts_dep.fatigue where id=41"));
    // The month's bounds carry no leading zero; December ends on the first of January.
    const QString december = HouseholdStatements::averagePrices(12, 2025);
    QVERIFY2(december.contains(QStringLiteral("s.data<'01.1.2026' and s.data>='01.12.2025'")), qPrintable(december));
    QVERIFY(december.endsWith(QStringLiteral("where i_mnth = 12 and i_year = 2025 and id_o =7778")));
    const QString march = HouseholdStatements::averagePrices(3, 2026);
    QVERIFY2(march.contains(QStringLiteral("s.data<'01.4.2026' and s.data>='01.3.2026'")), qPrintable(march));
    QVERIFY(march.endsWith(QStringLiteral("where i_mnth = 3 and i_year = 2026 and id_o =7778")));
}

void TestHousehold::hourPrice_data()
{
    QTest::addColumn<double>("norm");
    QTest::addColumn<bool>("holiday");
    QTest::addColumn<bool>("night");
    QTest::addColumn<double>("price");
    QTest::addColumn<QString>("amount");   // the list's "Итого" of 8 hours
    QTest::newRow("weekday") << 100.0 << false << false << 100.0 << "800,00";
    QTest::newRow("day off") << 100.0 << true << false << 200.0 << "1600,00";
    QTest::newRow("night") << 100.0 << false << true << 120.0 << "960,00";
    QTest::newRow("day off and night") << 100.0 << true << true << 240.0 << "1920,00";
    QTest::newRow("fraction") << 12.35 << false << true << 14.82 << "118,56";
}

void TestHousehold::hourPrice()
{
    auto &f = *m_fixture;
    QFETCH(double, norm);
    QFETCH(bool, holiday);
    QFETCH(bool, night);
    QFETCH(double, price);
    QFETCH(QString, amount);
    Messages::MessageRecorder rec;
    f.db.exec(QStringLiteral("update accounts_dep.norm set price=%1 where o_id=7777").arg(norm));
    f.list->holidayBox->setChecked(holiday);
    f.add(f.ivanov, QStringLiteral("8"), 7777, night);
    QCOMPARE(rec.shown.size(), 0);
    QCOMPARE(f.db.scalar(QStringLiteral("select price::float8 from accounts_dep.fatigue")).toDouble(), price);
    QCOMPARE(f.db.scalar(QStringLiteral("select i_holiday*10+i_night from accounts_dep.fatigue")).toInt(), int(holiday) * 10 + int(night));
    auto *grid = f.list->grid;
    QCOMPARE(f.list->entries->recordCount(), 1);
    QCOMPARE(grid->dataModel()->displayText(0, QStringLiteral("summ")), amount);
    QCOMPARE(grid->dataModel()->displayText(0, QStringLiteral("s_holiday")), holiday ? QStringLiteral("+") : QString());
    QCOMPARE(grid->dataModel()->displayText(0, QStringLiteral("s_night")), night ? QStringLiteral("+") : QString());
}

void TestHousehold::hoursRefused_data()
{
    QTest::addColumn<QString>("hours");
    QTest::addColumn<QString>("message");
    QTest::newRow("zero") << "0" << "Нужно завести количество!";
    QTest::newRow("nothing typed") << "" << "Нужно завести количество!";
    QTest::newRow("zeros") << "000" << "Нужно завести количество!";
    // More than a timesheet day cell holds.
    QTest::newRow("too many") << "40000" << "Не удалось сохранить запись.\nПоле «Кол-во»: нужно целое число от 1 до 32767.";
}

void TestHousehold::hoursRefused()
{
    auto &f = *m_fixture;
    QFETCH(QString, hours);
    QFETCH(QString, message);
    Messages::MessageRecorder rec;
    f.fill(f.ivanov, f.hoses, hours);
    f.dialog->save();
    QCOMPARE(rec.errors().size(), 1);
    QCOMPARE(rec.errors()[0], message);
    QCOMPARE(rec.shown[0].title, QStringLiteral("Ошибка"));
    QCOMPARE(f.dialog->result(), int(QDialog::Rejected));
    QCOMPARE(f.dialog->hoursEdit->text(), hours);
    QCOMPARE(f.db.scalar(QStringLiteral("select count(*) from accounts_dep.fatigue")).toInt(), 0);
    QCOMPARE(f.db.scalar(QStringLiteral("select count(*) from accounts_dep.h_tabel")).toInt(), 0);
}

void TestHousehold::requiredFields_data()
{
    QTest::addColumn<bool>("worker");
    QTest::addColumn<bool>("group");
    QTest::newRow("no worker") << false << true;
    QTest::newRow("no product group") << true << false;
    QTest::newRow("neither") << false << false;
}

void TestHousehold::requiredFields()
{
    auto &f = *m_fixture;
    QFETCH(bool, worker);
    QFETCH(bool, group);
    Messages::MessageRecorder rec;
    f.fill(worker ? f.ivanov : 0, group ? f.hoses : 0, QStringLiteral("0"));
    f.dialog->save();
    // The fields are checked before the hours.
    QCOMPARE(rec.errors(), QStringList{QStringLiteral("Все поля должны быть заполнены!")});
    QCOMPARE(rec.shown[0].title, QStringLiteral("Ошибка"));
    QCOMPARE(f.dialog->result(), int(QDialog::Rejected));
    QCOMPARE(f.db.scalar(QStringLiteral("select count(*) from accounts_dep.fatigue")).toInt(), 0);
}

void TestHousehold::changeOnEmptyList()
{
    auto &f = *m_fixture;
    Messages::MessageRecorder rec;
    QVERIFY(f.list->entries->isEmpty());
    f.dialog->prepareChange(f.list->listContext());
    QCOMPARE(f.dialog->openMode, 1);
    QVERIFY(f.dialog->workerEdit->text().isEmpty());
    QVERIFY(f.dialog->groupEdit->text().isEmpty());
    QCOMPARE(f.dialog->workerId, 0);
    QCOMPARE(f.dialog->groupId, qint64(0));
    f.dialog->hoursEdit->setText(QStringLiteral("8"));
    f.dialog->save();
    QCOMPARE(rec.errors(), QStringList{QStringLiteral("Все поля должны быть заполнены!")});
    QCOMPARE(f.db.scalar(QStringLiteral("select count(*) from accounts_dep.fatigue")).toInt(), 0);
    QCOMPARE(f.db.scalar(QStringLiteral("select count(*) from accounts_dep.h_tabel")).toInt(), 0);
}

void TestHousehold::dayCellFollowsEntries_data()
{
    QTest::addColumn<bool>("otherDay");
    QTest::newRow("the month's last entries") << false;
    QTest::newRow("other days hold hours") << true;
}

void TestHousehold::dayCellFollowsEntries()
{
    auto &f = *m_fixture;
    QFETCH(bool, otherDay);
    Messages::MessageRecorder rec;
    if (otherDay) {
        f.list->dateField->setDate(thursday.addDays(1));
        f.add(f.ivanov, QStringLiteral("4"));
        f.list->dateField->setDate(thursday);
    }
    const QString rest = otherDay ? QStringLiteral(" d6=4") : QString();
    const int three = f.add(f.ivanov, QStringLiteral("3"));
    const int five = f.add(f.ivanov, QStringLiteral("5"));
    QCOMPARE(f.db.timesheetLines(f.ivanov), QStringList{"0 3.2026 7777 0: d5=8" + rest});
    QCOMPARE(f.list->entries->recordCount(), 2);

    // Answered No, nothing goes.
    QVERIFY(f.list->entries->locate(QStringLiteral("id"), three));
    rec.answers = {false};
    f.list->deleteEntry();
    QCOMPARE(rec.shown.size(), 1);
    QCOMPARE(rec.shown[0].kind, Messages::Shown::Question);
    QCOMPARE(rec.shown[0].title, QStringLiteral("Удаление"));
    QCOMPARE(rec.shown[0].text, QStringLiteral("Удалить позицию из списка?"));
    QCOMPARE(f.db.scalar(QStringLiteral("select count(*) from accounts_dep.fatigue")).toInt(), otherDay ? 3 : 2);

    f.remove(rec, three);
    QCOMPARE(f.db.timesheetLines(f.ivanov), QStringList{"0 3.2026 7777 0: d5=5" + rest});
    QCOMPARE(f.list->entries->recordCount(), 1);
    f.remove(rec, five);
    QCOMPARE(f.db.timesheetLines(f.ivanov), otherDay ? QStringList{QStringLiteral("0 3.2026 7777 0: d6=4")} : QStringList());
    QVERIFY(f.list->entries->isEmpty());
    QCOMPARE(rec.errors(), QStringList());

    // With an empty list "Удалить" asks nothing.
    rec.clear();
    f.list->deleteEntry();
    QCOMPARE(rec.shown.size(), 0);
}

void TestHousehold::dayAndNightRows()
{
    auto &f = *m_fixture;
    Messages::MessageRecorder rec;
    f.add(f.ivanov, QStringLiteral("4"));
    f.add(f.ivanov, QStringLiteral("6"), 7777, true);
    f.add(f.ivanov, QStringLiteral("2"), 7778, true);
    QCOMPARE(rec.shown.size(), 0);
    QCOMPARE(f.db.timesheetLines(f.ivanov),
             (QStringList{"0 3.2026 7777 0: d5=4", "0 3.2026 7777 1: d5=6", "0 3.2026 7778 1: d5=2"}));
    QCOMPARE(f.entries(), (QStringList{"ivanov 7777 05.03 4h 100 --", "ivanov 7777 05.03 6h 120 -N", "ivanov 7778 05.03 2h 0 -N"}));
}

void TestHousehold::changeMovesCell_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<QStringList>("ivanov");
    QTest::addColumn<QStringList>("petrov");
    QTest::addColumn<QString>("entry");
    // Ivanov has 3 hours of household work on the 5th and 2 on the 6th; the 5th's entry changes.
    QTest::newRow("hours") << "hours" << QStringList{"0 3.2026 7777 0: d5=7 d6=2"} << QStringList()
                           << "ivanov 7777 05.03 7h 100 --";
    QTest::newRow("to another worker") << "worker" << QStringList{"0 3.2026 7777 0: d6=2"}
                                       << QStringList{"0 3.2026 7777 0: d5=3"} << "petrov 7777 05.03 3h 100 --";
    QTest::newRow("to another kind") << "kind" << QStringList{"0 3.2026 7777 0: d6=2", "0 3.2026 7778 0: d5=3"}
                                     << QStringList() << "ivanov 7778 05.03 3h 0 --";
    // The holiday box of the list decides the price again.
    QTest::newRow("on a day off") << "holiday" << QStringList{"0 3.2026 7777 0: d5=3 d6=2"} << QStringList()
                                  << "ivanov 7777 05.03 3h 200 H-";
}

void TestHousehold::changeMovesCell()
{
    auto &f = *m_fixture;
    QFETCH(QString, change);
    QFETCH(QStringList, ivanov);
    QFETCH(QStringList, petrov);
    QFETCH(QString, entry);
    Messages::MessageRecorder rec;
    f.list->dateField->setDate(thursday.addDays(1));
    f.add(f.ivanov, QStringLiteral("2"));
    f.list->dateField->setDate(thursday);
    const int id = f.add(f.ivanov, QStringLiteral("3"));

    if (change == QLatin1String("holiday"))
        f.list->holidayBox->setChecked(true);
    QVERIFY(f.list->entries->locate(QStringLiteral("id"), id));
    f.dialog->prepareChange(f.list->listContext());
    if (change == QLatin1String("hours"))
        f.dialog->hoursEdit->setText(QStringLiteral("7"));
    else if (change == QLatin1String("worker"))
        f.dialog->takePick(WorkerChoice{f.petrov, QStringLiteral("Петров П.П.")});
    else if (change == QLatin1String("kind"))
        f.dialog->chooseKind(7778);
    f.dialog->save();
    QCOMPARE(rec.shown.size(), 0);
    QCOMPARE(f.dialog->result(), int(QDialog::Accepted));
    QCOMPARE(f.db.timesheetLines(f.ivanov), ivanov);
    QCOMPARE(f.db.timesheetLines(f.petrov), petrov);
    QCOMPARE(f.entries(), (QStringList{"ivanov 7777 06.03 2h 100 --", entry}));
    QCOMPARE(f.db.scalar(QStringLiteral("select id from accounts_dep.fatigue where d_date='05.03.2026'")).toInt(), id);
    // The list shows the change, the same entry current.
    QCOMPARE(f.list->entries->toInt(QStringLiteral("id")), id);
}

void TestHousehold::refusedTimesheetLeavesNoEntry_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("event");   // the timesheet statement the server refuses
    // A first entry of Petrov in the month: his row cannot be inserted.
    QTest::newRow("add, row insert refused") << "add" << "insert";
    // Ivanov's entry moved to Petrov, who has no row yet.
    QTest::newRow("change to another worker, row insert refused") << "move" << "insert";
    // Ivanov's entry moved away from his only day: his row cannot be removed.
    QTest::newRow("change to another worker, row removal refused") << "move" << "delete";
    // Ivanov's only entry of the month deleted: his row cannot be removed.
    QTest::newRow("delete, row removal refused") << "delete" << "delete";
}

void TestHousehold::refusedTimesheetLeavesNoEntry()
{
    auto &f = *m_fixture;
    QFETCH(QString, command);
    QFETCH(QString, event);
    Messages::MessageRecorder rec;
    const int id = f.add(f.ivanov, QStringLiteral("8"));
    const QStringList entries = f.entries();
    const QStringList rows = f.db.timesheetLines(f.ivanov);
    refuseStatements(f.db, QStringLiteral("accounts_dep.h_tabel"), event, QStringLiteral("Табель закрыт"));

    QVERIFY(f.list->entries->locate(QStringLiteral("id"), id));
    f.dialog->setResult(QDialog::Rejected);   // as every showing of the dialog starts
    if (command == QLatin1String("add")) {
        f.add(f.petrov, QStringLiteral("4"));
    } else if (command == QLatin1String("move")) {
        f.dialog->prepareChange(f.list->listContext());
        f.dialog->takePick(WorkerChoice{f.petrov, QStringLiteral("Петров П.П.")});
        f.dialog->save();
    } else {
        rec.answers = {true};
        f.list->deleteEntry();
    }
    QCOMPARE(rec.errors().size(), 1);
    const QString failed = command == QLatin1String("delete") ? QStringLiteral("Не удалось удалить запись.")
                                                              : QStringLiteral("Не удалось сохранить запись.");
    QVERIFY2(rec.errors()[0].startsWith(failed), qPrintable(rec.errors()[0]));
    QVERIFY2(rec.errors()[0].contains(QStringLiteral("Табель закрыт")), qPrintable(rec.errors()[0]));
    if (command != QLatin1String("delete")) {
        QCOMPARE(f.dialog->result(), int(QDialog::Rejected));   // the dialog stays open, as typed
        QVERIFY(!f.dialog->workerEdit->text().isEmpty());
    }
    // The entry statement that went through before the refusal is taken back with it.
    QCOMPARE(f.entries(), entries);
    QCOMPARE(f.db.timesheetLines(f.ivanov), rows);
    QCOMPARE(f.db.timesheetLines(f.petrov), QStringList());
    QCOMPARE(f.db.advisoryLocks(), 0);
    QVERIFY(!f.module->inTransaction());
}

// The dialog was opened on an entry; another workstation then changes its hours: saving the
// dialog's change is refused and the other workstation's hours stay.
void TestHousehold::changeOverAnotherWorkstationsChange()
{
    auto &f = *m_fixture;
    Messages::MessageRecorder rec;
    f.list->dateField->setDate(thursday);
    const int id = f.add(f.ivanov, QStringLiteral("3"));
    QVERIFY(f.list->entries->locate(QStringLiteral("id"), id));
    f.dialog->prepareChange(f.list->listContext());
    auto other = f.db.connectModule();
    other->command.execute(QStringLiteral("update accounts_dep.fatigue set cnt=5 where id=%1").arg(id));
    f.dialog->hoursEdit->setText(QStringLiteral("7"));
    f.dialog->setResult(QDialog::Rejected);
    f.dialog->save();
    QCOMPARE(rec.errors().size(), 1);
    QVERIFY2(rec.errors()[0].endsWith(RowVersion::changedText()), qPrintable(rec.errors()[0]));
    QCOMPARE(f.dialog->result(), int(QDialog::Rejected));
    QCOMPARE(f.db.scalar(QStringLiteral("select cnt from accounts_dep.fatigue where id=%1").arg(id)).toInt(), 5);
    QCOMPARE(f.db.timesheetLines(f.ivanov), QStringList{"0 3.2026 7777 0: d5=3"});
}

void TestHousehold::averagePricesInDecember()
{
    auto &f = *m_fixture;
    Messages::MessageRecorder rec;
    const QDate dec10(2025, 12, 10);
    // Ivanov's piecework on hoses in December: 10 good pieces at 5 in 2 hours, 5 at 4 in 3 hours.
    f.db.addRecord(f.ivanov, f.hose, f.turning, QDate(2025, 12, 1), 1, 10, 0, 5, 2);
    f.db.addRecord(f.ivanov, f.hose, f.turning, QDate(2025, 12, 31), 3, 6, 1, 4, 3);
    // Outside the month, or on another group.
    f.db.addRecord(f.ivanov, f.hose, f.turning, QDate(2025, 11, 30), 1, 100, 0, 100, 1);
    f.db.addRecord(f.ivanov, f.hose, f.turning, QDate(2026, 1, 1), 1, 100, 0, 100, 1);
    f.db.addRecord(f.ivanov, f.pump, f.turning, QDate(2025, 12, 15), 1, 50, 0, 10, 1);

    f.list->dateField->setDate(QDate(2026, 1, 12));
    f.add(f.ivanov, QStringLiteral("1"), 7778);      // January: not this month
    f.list->dateField->setDate(QDate(2025, 12, 13)); // a Saturday
    QVERIFY(f.list->holiday());
    f.add(f.ivanov, QStringLiteral("4"), 7778);                  // day off: the prices doubled
    f.list->dateField->setDate(dec10);
    f.add(f.ivanov, QStringLiteral("8"), 7778, true);            // night: no factor 1.2
    f.add(f.petrov, QStringLiteral("8"), 7778);                  // no piecework at all
    f.add(f.ivanov, QStringLiteral("8"), 7777);                  // household work keeps its price
    f.fill(f.ivanov, f.pumps, QStringLiteral("2"), 7778);
    f.dialog->save();
    f.db.exec(QStringLiteral("update accounts_dep.fatigue set price=99 where id_o=7778"));
    QStringList lines;
    for (int w : {f.ivanov, f.petrov})
        lines << f.db.timesheetLines(w);
    f.list->entries->setRecNo(2);

    f.list->computeAveragePrices();
    QCOMPARE(rec.shown.size(), 0);
    QCOMPARE(f.entries(), (QStringList{
                              "ivanov 7778 12.01 1h 99 --",
                              "ivanov 7778 13.12 4h 28 H-",   // (10 x 10 + 5 x 8) / 5
                              "ivanov 7778 10.12 8h 14 -N",   // (10 x 5 + 5 x 4) / 5
                              "petrov 7778 10.12 8h 0 --",
                              "ivanov 7777 10.12 8h 100 --",
                              "ivanov 7778 10.12 2h 500 --",  // pumps: 50 x 10 / 1
                          }));
    QStringList after;
    for (int w : {f.ivanov, f.petrov})
        after << f.db.timesheetLines(w);
    QCOMPARE(after, lines);
    // The list shows the new prices with the same row current.
    QCOMPARE(f.list->entries->recNo(), 2);
    QCOMPARE(f.list->grid->dataModel()->displayText(0, QStringLiteral("price")), QStringLiteral("14,00"));
}

void TestHousehold::dialogOpening()
{
    auto &f = *m_fixture;
    Messages::MessageRecorder rec;
    HouseholdDialog *d = f.dialog;
    d->prepareAdd(f.list->listContext());
    QCOMPARE(d->windowTitle(), QStringLiteral("Хоз. работы/среднесдельная (24)"));
    QCOMPARE(d->openMode, 0);
    QCOMPARE(d->kindList->count(), 2);
    QCOMPARE(d->kindList->currentText(), QStringLiteral("Хоз. работы"));
    QCOMPARE(d->kind(), 7777);
    QCOMPARE(d->hoursEdit->text(), QStringLiteral("0"));
    QCOMPARE(d->priceEdit->text(), QStringLiteral("100"));
    QCOMPARE(d->amountEdit->text(), QStringLiteral("0"));
    QVERIFY(!d->priceEdit->isEnabled());
    QVERIFY(d->nightBox->isEnabled());
    QVERIFY(!d->nightBox->isChecked());
    QVERIFY(d->workerEdit->isReadOnly());
    QCOMPARE(d->workerEdit->focusPolicy() & Qt::TabFocus, 0);
    // "Сумма" follows the hours as they are typed, and the kind.
    d->hoursEdit->clear();
    QTest::keyClicks(d->hoursEdit, QStringLiteral("1a2"));
    QCOMPARE(d->hoursEdit->text(), QStringLiteral("12"));
    QCOMPARE(d->amountEdit->text(), QStringLiteral("1200"));
    f.db.exec(QStringLiteral("update accounts_dep.norm set price=87.5 where o_id=7778"));
    d->prepareAdd(f.list->listContext());
    d->kindList->setCurrentIndex(d->kindList->findText(QStringLiteral("среднесдельная")));
    d->hoursEdit->setText(QStringLiteral("3"));
    QCOMPARE(d->priceEdit->text(), QStringLiteral("87,5"));
    QCOMPARE(d->amountEdit->text(), QStringLiteral("262,5"));

    // A change is filled from the list's current row; its night flag cannot change.
    d->takePick(WorkerChoice{f.petrov, QStringLiteral("Петров П.П.")});
    d->takePick(NomenclatureChoice{f.pumps, QStringLiteral("Насосы")});
    d->nightBox->setChecked(true);
    d->save();
    f.add(f.ivanov, QStringLiteral("5"));
    QCOMPARE(f.list->entries->recordCount(), 2);
    QVERIFY(f.list->entries->locate(QStringLiteral("fio"), QStringLiteral("Петров П.П.")));
    d->prepareChange(f.list->listContext());
    QCOMPARE(d->openMode, 1);
    QCOMPARE(d->workerEdit->text(), QStringLiteral("Петров П.П."));
    QCOMPARE(d->groupEdit->text(), QStringLiteral("Насосы"));
    QCOMPARE(d->hoursEdit->text(), QStringLiteral("3"));
    QCOMPARE(d->workerId, f.petrov);
    QCOMPARE(d->groupId, qint64(f.pumps));
    QCOMPARE(d->kind(), 7778);
    QVERIFY(d->nightBox->isChecked());
    QVERIFY(!d->nightBox->isEnabled());
    // Adding again clears and enables it.
    d->prepareAdd(f.list->listContext());
    QVERIFY(!d->nightBox->isChecked());
    QVERIFY(d->nightBox->isEnabled());
    QVERIFY(d->workerEdit->text().isEmpty());
    QCOMPARE(d->workerId, 0);
    QCOMPARE(rec.shown.size(), 0);
}

void TestHousehold::listFitsScreen_data()
{
    addWorkstationScreens();
}

// Wider than a 1024 x 768 screen as designed, the list opens narrower with every column in sight.
void TestHousehold::listFitsScreen()
{
    QFETCH(QRect, available);
    auto &f = *m_fixture;
    Messages::MessageRecorder rec;
    QVERIFY(f.list->windowFlags() & Qt::WindowMaximizeButtonHint);
    const QStringList hidden = outOfSightWhenOpened(f.list, QSize(1054, 650), available, QMargins(4, 28, 4, 4));
    QVERIFY2(hidden.isEmpty(), qPrintable(hidden.join(QLatin1Char('\n'))));
    QCOMPARE(f.list->size(), QSize(1054, 650));
    QCOMPARE(f.list->grid->columnWidth(f.list->grid->columnOf(QStringLiteral("fio"))), 300);
}

void TestHousehold::listLookAndHolidayBox()
{
    auto &f = *m_fixture;
    Messages::MessageRecorder rec;
    HouseholdListWindow *list = f.list;
    QCOMPARE(list->windowTitle(), QStringLiteral("Хоз. работы (25)"));
    QCOMPARE(list->size(), QSize(1054, 650));
    auto *grid = list->grid;
    const QStringList titles{"ФИО", "Номенклатура", "Работа", "Цена", "Кол-во", "Итого", "Вых.", "Ноч."};
    for (int c = 0; c < titles.size(); ++c)
        QCOMPARE(grid->dataModel()->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString(), titles[c]);
    QCOMPARE(grid->columnWidth(grid->columnOf(QStringLiteral("fio"))), 300);
    QCOMPARE(grid->columnWidth(grid->columnOf(QStringLiteral("s_caption"))), 267);
    QCOMPARE(grid->columnWidth(grid->columnOf(QStringLiteral("s_night"))), 33);

    // Picking a Saturday ticks "Выходной", red and bold; a weekday clears it.
    QVERIFY(!list->holidayBox->isChecked());
    list->dateField->setDate(saturday);
    QVERIFY(list->holidayBox->isChecked());
    QVERIFY(list->holidayBox->font().bold());
    QCOMPARE(list->holidayBox->palette().color(QPalette::Window), red);
    list->dateField->setDate(saturday.addDays(1));
    QVERIFY(list->holidayBox->isChecked());
    list->dateField->setDate(thursday);
    QVERIFY(!list->holidayBox->isChecked());
    QVERIFY(!list->holidayBox->font().bold());
    // The user may tick it on a weekday, and clear it again.
    list->holidayBox->setChecked(true);
    QVERIFY(list->holidayBox->font().bold());
    list->holidayBox->setChecked(false);

    // Entries of the list's date only, by worker name, then by entry.
    f.add(f.petrov, QStringLiteral("2"));
    f.add(f.ivanov, QStringLiteral("3"), 7778, true);
    f.add(f.ivanov, QStringLiteral("1"));
    list->dateField->setDate(thursday.addDays(-1));
    f.add(f.ivanov, QStringLiteral("6"));
    list->dateField->setDate(thursday);
    QCOMPARE(column(list->entries, QStringLiteral("fio")), (QStringList{"Иванов И.И.", "Иванов И.И.", "Петров П.П."}));
    QCOMPARE(column(list->entries, QStringLiteral("vid")), (QStringList{"среднесдельная", "Хоз. работы", "Хоз. работы"}));
    auto *model = grid->dataModel();
    QCOMPARE(model->displayText(2, QStringLiteral("s_caption")), QStringLiteral("Рукава"));
    QCOMPARE(model->displayText(2, QStringLiteral("price")), QStringLiteral("100,00"));
    QCOMPARE(model->displayText(2, QStringLiteral("cnt")), QStringLiteral("2"));
    QCOMPARE(model->displayText(2, QStringLiteral("summ")), QStringLiteral("200,00"));
    QCOMPARE(model->displayText(0, QStringLiteral("s_night")), QStringLiteral("+"));
    QCOMPARE(model->displayText(1, QStringLiteral("s_night")), QString());
    QCOMPARE(model->data(model->index(0, grid->columnOf(QStringLiteral("s_night"))), Qt::TextAlignmentRole).toInt(),
             int(Qt::AlignCenter));

    // Opening from the main window sets the journal date and leaves "Выходной" as it was.
    list->holidayBox->setChecked(false);
    f.main.setJournalDate(saturday);
    ModalAction opened;
    onModal(opened, [&](QDialog *d) {
        QCOMPARE(d, static_cast<QDialog *>(list));
        QCOMPARE(list->listDate(), saturday);
        QVERIFY(!list->holidayBox->isChecked());
        QVERIFY(list->entries->isEmpty());
        QCOMPARE(list->shift, 1);
        list->exitButton->click();
    });
    f.main.findChild<QPushButton *>(QStringLiteral("Button5"))->click();
    QVERIFY(opened.ran);
    QVERIFY(!opened.stayedOpen);
    QCOMPARE(rec.shown.size(), 0);
}

void TestHousehold::roadOfOneEntry()
{
    // The foreman opens "Ср.сд./хоз. работы", presses "Добавить", picks the worker and the product
    // group in their pickers, types the hours and saves; the list shows the entry, and a
    // double-click opens it for a change.
    auto &f = *m_fixture;
    Messages::MessageRecorder rec;
    f.main.setJournalDate(thursday);
    ModalAction listShown, dialogShown, workerPicked, groupPicked, changeShown;
    onModal(listShown, [&](QDialog *) {
        onModal(dialogShown, [&](QDialog *d) {
            QCOMPARE(d, static_cast<QDialog *>(f.dialog));
            onModal(workerPicked, [&](QDialog *picker) {
                auto *workers = Windows::get<WorkerList>();
                QCOMPARE(picker, static_cast<QDialog *>(workers));
                QCOMPARE(workers->openMode, 24);
                QCOMPARE(workers->changeButton->text(), QStringLiteral("Выбрать"));
                QVERIFY(workers->query()->locate(QStringLiteral("id"), f.petrov));
                workers->changeButton->click();
            });
            f.dialog->workerButton->click();
            QCOMPARE(f.dialog->workerEdit->text(), QStringLiteral("Петров П.П."));
            onModal(groupPicked, [&](QDialog *picker) {
                auto *groups = Windows::get<NomenclaturePicker>();
                QCOMPARE(picker, static_cast<QDialog *>(groups));
                QVERIFY(groups->groups->locate(QStringLiteral("id"), f.pumps));
                groups->chooseButton->click();
            });
            f.dialog->groupButton->click();
            QCOMPARE(f.dialog->groupEdit->text(), QStringLiteral("Насосы"));
            f.dialog->hoursEdit->selectAll();
            QTest::keyClicks(f.dialog->hoursEdit, QStringLiteral("7"));
            QCOMPARE(f.dialog->amountEdit->text(), QStringLiteral("700"));
            f.dialog->saveButton->click();
        });
        f.list->addButton->click();
        QCOMPARE(f.list->entries->recordCount(), 1);
        QVERIFY(!f.dialog->kinds->isOpen());
        onModal(changeShown, [&](QDialog *) {
            QCOMPARE(f.dialog->openMode, 1);
            QCOMPARE(f.dialog->workerEdit->text(), QStringLiteral("Петров П.П."));
            QCOMPARE(f.dialog->hoursEdit->text(), QStringLiteral("7"));
            f.dialog->exitButton->click();
        });
        auto *grid = f.list->grid;
        emit grid->doubleClicked(grid->dataModel()->index(0, 0));
        f.list->exitButton->click();
    });
    f.main.findChild<QPushButton *>(QStringLiteral("Button5"))->click();
    for (const ModalAction *a : {&listShown, &dialogShown, &workerPicked, &groupPicked, &changeShown}) {
        QVERIFY(a->ran);
        QVERIFY2(!a->stayedOpen, qPrintable(a->window));
    }
    QCOMPARE(rec.shown.size(), 0);
    QCOMPARE(f.entries(), QStringList{"petrov 7777 05.03 7h 100 --"});
    QCOMPARE(f.db.scalar(QStringLiteral("select id_nom from accounts_dep.fatigue")).toInt(), f.pumps);
    QCOMPARE(f.db.timesheetLines(f.petrov), QStringList{"0 3.2026 7777 0: d5=7"});
}

QTEST_MAIN(TestHousehold)
#include "test_household.moc"
