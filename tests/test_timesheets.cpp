// The monthly timesheets against the real server: the month and its lists, the timesheet by
// shifts with its grids, colours, rebuild, print and export.

#include "ui/data_grid.h"
#include "db/data_module.h"
#include "journal/journal_window.h"
#include "ui/messages.h"
#include "app/startup.h"
#include "db/unit_of_work.h"
#include "ui/windows.h"
#include "db/dataset.h"
#include "db/db_error.h"
#include "records/record_commands.h"
#include "reports/report_preview.h"
#include "reports/shift_timesheet_report.h"
#include "reports/spreadsheet_export.h"
#include "reports/spreadsheet_writer.h"
#include "timesheets/month_rebuild.h"
#include "timesheets/month_selection.h"
#include "timesheets/piecework_timesheet_statements.h"
#include "timesheets/piecework_timesheet_window.h"
#include "timesheets/shift_timesheet_statements.h"
#include "timesheets/shift_timesheet_window.h"
#include "timesheets/timesheet_look.h"
#include "timesheets/timesheet_month.h"
#include "tests/support/fake_spreadsheet.h"
#include "tests/support/per_day_month_rebuild.h"
#include "tests/support/small_plant.h"
#include "tests/support/test_support.h"
#include "tests/support/window_helpers.h"
#include "tests/support/workbook_reader.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <mutex>
#include <thread>

namespace {

// Day cells of one timesheet row, {day, hours}.
using Cells = QList<QPair<int, int>>;

void addRow(const TestDatabase &db, int worker, int shift, int month, int year, const Cells &cells, int kind = 0)
{
    QStringList columns{QStringLiteral("w_id"), QStringLiteral("smena"), QStringLiteral("i_type"), QStringLiteral("month"), QStringLiteral("year")};
    QStringList values{QString::number(worker), QString::number(shift), QString::number(kind), QString::number(month), QString::number(year)};
    for (const auto &c : cells) {
        columns << QStringLiteral("d%1").arg(c.first);
        values << QString::number(c.second);
    }
    db.exec(QStringLiteral("insert into accounts_dep.h_tabel(%1) values(%2)").arg(columns.join(QLatin1Char(',')), values.join(QLatin1Char(','))));
}

// Every production row of the month against the journal: a text per difference between a cell
// and the worker's hours of that date and mode, and per key kept in none or several rows.
QStringList dayCellRuleBroken(const TestDatabase &db, const TimesheetMonth &m)
{
    QStringList out;
    const QString month = QStringLiteral("month=%1 and year=%2").arg(m.month).arg(m.year);
    const QString period = QStringLiteral("data >= '%1' and data < '%2'").arg(m.firstDay().toString(Qt::ISODate), m.nextFirstDay().toString(Qt::ISODate));
    for (const auto &r : db.rows(QStringLiteral("select w_id, smena, count(*) from accounts_dep.h_tabel where smena>0 and %1 group by 1, 2 having count(*) > 1").arg(month)))
        out << QStringLiteral("worker %1 mode %2: %3 rows").arg(r[0].toInt()).arg(r[1].toInt()).arg(r[2].toInt());
    for (const auto &r : db.rows(QStringLiteral("select distinct w_id, smena from accounts_dep.smena where %1 and not exists (select 1 from accounts_dep.h_tabel h "
                                                "where h.w_id=smena.w_id and h.smena=smena.smena and h.%2)").arg(period, month)))
        out << QStringLiteral("worker %1 mode %2: no row").arg(r[0].toInt()).arg(r[1].toInt());
    for (int d = 1; d <= m.days(); ++d) {
        const auto wrong = db.rows(QStringLiteral(
            "select h.w_id, h.smena, h.d%1, (select sum(time) from accounts_dep.smena s where s.w_id=h.w_id and s.smena=h.smena and s.data='%2') "
            "from accounts_dep.h_tabel h where h.smena>0 and h.%3 "
            "and h.d%1 is distinct from (select sum(time) from accounts_dep.smena s where s.w_id=h.w_id and s.smena=h.smena and s.data='%2')")
                                   .arg(d).arg(m.date(d).toString(Qt::ISODate), month));
        for (const auto &r : wrong)
            out << QStringLiteral("worker %1 mode %2 day %3: %4 instead of %5").arg(r[0].toInt()).arg(r[1].toInt()).arg(d).arg(r[2].toString(), r[3].toString());
    }
    return out;
}

// Stands in for the user in front of the print preview.
struct PreviewSpy {
    int runs = 0;
    QStringList texts;
    PreviewSpy()
    {
        ReportPreview::setExecHook([this](ReportPreview &preview) {
            ++runs;
            for (int page = 0; page < preview.document().pageCount(); ++page)
                texts << preview.document().texts(page);
        });
    }
    ~PreviewSpy() { ReportPreview::setExecHook(nullptr); }
};

void addEntry(const TestDatabase &db, int worker, const QDate &date, int kind, int night, int hours, const QString &price)
{
    db.exec(QStringLiteral("insert into accounts_dep.fatigue(id_nom, id_o, id_p, d_date, i_mnth, i_year, i_smena, cnt, price, i_holiday, i_night) "
                           "values(0, %1, %2, '%3', %4, %5, 1, %6, %7, 0, %8)")
                .arg(kind).arg(worker).arg(date.toString(Qt::ISODate)).arg(date.month()).arg(date.year()).arg(hours).arg(price).arg(night));
}

void addHouseholdRow(const TestDatabase &db, int worker, int kind, int night, int month, int year, const Cells &cells)
{
    QStringList columns{QStringLiteral("w_id"), QStringLiteral("smena"), QStringLiteral("i_type"), QStringLiteral("i_night"), QStringLiteral("month"), QStringLiteral("year")};
    QStringList values{QString::number(worker), QStringLiteral("0"), QString::number(kind), QString::number(night), QString::number(month), QString::number(year)};
    for (const auto &c : cells) {
        columns << QStringLiteral("d%1").arg(c.first);
        values << QString::number(c.second);
    }
    db.exec(QStringLiteral("insert into accounts_dep.h_tabel(%1) values(%2)").arg(columns.join(QLatin1Char(',')), values.join(QLatin1Char(','))));
}

// The texts a grid shows for some fields of each row, the fields' texts joined by "|".
QStringList shownRows(const DataGrid *grid, const QStringList &fields)
{
    QStringList out;
    for (int row = 0; row < grid->dataModel()->rowCount(); ++row) {
        QStringList texts;
        for (const QString &field : fields)
            texts << grid->dataModel()->index(row, grid->columnOf(field)).data(Qt::DisplayRole).toString();
        out << texts.join(QLatin1Char('|'));
    }
    return out;
}

// The fields of a grid's visible columns.
QStringList shownColumns(const DataGrid *grid)
{
    QStringList out;
    for (int c = 0; c < grid->dataModel()->columnCount(); ++c)
        if (!grid->isColumnHidden(c))
            out << grid->dataModel()->columns().at(c).field;
    return out;
}

} // namespace

// What every window case starts from: the small plant, the program's module, the main window
// (the run's windows hang from it) and the timesheet by shifts.
struct Fixture {
    TestDatabase db;
    SmallPlant p{db};
    std::unique_ptr<DataModule> module = db.connectModule();
    JournalWindow main{module.get()};
    ShiftTimesheetWindow &w = *Windows::get<ShiftTimesheetWindow>();
    QTemporaryDir books;
};

class TestTimesheets : public QObject {
    Q_OBJECT
    std::unique_ptr<Fixture> m_fixture;

private slots:
    void initTestCase() { installRussian(*qApp); }
    void init()
    {
        m_fixture = std::make_unique<Fixture>();
        SpreadsheetWriter::setFolder(m_fixture->books.path());
    }
    void cleanup()
    {
        SpreadsheetWriter::setFolder(QString());
        m_fixture.reset();
    }

    // The month.
    void monthBounds_data();
    void monthBounds();
    void weekendTest();
    void yearList();

    // The timesheet by shifts.
    void statementTexts();
    void opensOnJournalMonth_data();
    void opensOnJournalMonth();
    void dayLooks_data();
    void dayLooks();
    void gridRowsOfTheMonth();
    void decemberBounds();
    void monthListsApplyAtOnce();
    void rebuild();
    void rebuildProgress();
    void rebuildRefused_data();
    void rebuildRefused();
    void rebuildKeepsChangesOfAnotherWorkstation();
    void versionGateWaitsForTheRebuild();
    void focusedCellPlain();
    void printSumsAllRows();
    void exportReadBack();
    void exportWithoutSpreadsheet();

    // The piecework timesheet.
    void pieceworkStatementTexts();
    void pieceworkOpensFromMenu_data();
    void pieceworkOpensFromMenu();
    void pieceworkViews_data();
    void pieceworkViews();
    void pieceworkNameWidths_data();
    void pieceworkNameWidths();
    void pieceworkFitsScreen_data();
    void pieceworkFitsScreen();
    void pieceworkDecemberBounds();
    void pieceworkTotalsWithoutEntries();
    void pieceworkYearList();
    void householdRebuild();
    void householdRebuildRefused();
    void pieceworkExport_data();
    void pieceworkExport();
};

// ---- The month -------------------------------------------------------------------------------------

void TestTimesheets::monthBounds_data()
{
    QTest::addColumn<int>("month");
    QTest::addColumn<int>("year");
    QTest::addColumn<QDate>("first");
    QTest::addColumn<QDate>("next");
    QTest::addColumn<int>("days");
    QTest::newRow("January") << 1 << 2026 << QDate(2026, 1, 1) << QDate(2026, 2, 1) << 31;
    QTest::newRow("February of a common year") << 2 << 2026 << QDate(2026, 2, 1) << QDate(2026, 3, 1) << 28;
    QTest::newRow("February of a leap year") << 2 << 2028 << QDate(2028, 2, 1) << QDate(2028, 3, 1) << 29;
    QTest::newRow("November") << 11 << 2026 << QDate(2026, 11, 1) << QDate(2026, 12, 1) << 30;
    QTest::newRow("December: 1 January of the next year") << 12 << 2026 << QDate(2026, 12, 1) << QDate(2027, 1, 1) << 31;
}

void TestTimesheets::monthBounds()
{
    QFETCH(int, month);
    QFETCH(int, year);
    QFETCH(QDate, first);
    QFETCH(QDate, next);
    QFETCH(int, days);
    const TimesheetMonth m{month, year};
    QCOMPARE(m.firstDay(), first);
    QCOMPARE(m.nextFirstDay(), next);
    QCOMPARE(m.days(), days);
    QVERIFY(m.contains(days));
    QVERIFY(!m.contains(days + 1));
    QCOMPARE(MonthSelection::monthName(month), MonthSelection::monthNames().at(month - 1));
}

// The plant's reckoning from the weekday of the 1st gives exactly the Saturdays and Sundays.
void TestTimesheets::weekendTest()
{
    for (int year : {2007, 2026, 2028})
        for (int month = 1; month <= 12; ++month) {
            const TimesheetMonth m{month, year};
            for (int d = 1; d <= m.days(); ++d)
                QCOMPARE(m.isWeekend(d), m.date(d).dayOfWeek() >= Qt::Saturday);
        }
    QCOMPARE(MonthSelection::monthNames().size(), 12);
    QCOMPARE(MonthSelection::monthNames().first(), QStringLiteral("Январь"));
    QCOMPARE(MonthSelection::monthNames().last(), QStringLiteral("Декабрь"));
}

void TestTimesheets::yearList()
{
    const QList<int> years = MonthSelection::years(QDate(2026, 12, 10));
    QCOMPARE(years.first(), 2007);
    QCOMPARE(years.last(), 2026);
    QCOMPARE(years.size(), 20);
    // Years go on with the calendar.
    QCOMPARE(MonthSelection::years(QDate(2031, 1, 1)).last(), 2031);
    QCOMPARE(MonthSelection::yearIndex(years, 2026), 19);
    QCOMPARE(MonthSelection::yearIndex(years, 2011), 4);
    QCOMPARE(MonthSelection::yearIndex(years, 2005), 0);
    QCOMPARE(MonthSelection::yearIndex(years, 2040), 19);
    QCOMPARE(MonthSelection::yearIndex({}, 2026), -1);
}

// ---- The timesheet by shifts -----------------------------------------------------------------------

void TestTimesheets::statementTexts()
{
    QStringList sum;
    for (int d = 1; d <= 31; ++d)
        sum << QStringLiteral("coalesce(d%1,0)").arg(d);
    const QString daysum = QLatin1Char('(') + sum.join(QLatin1Char('+')) + QLatin1Char(')');
    QCOMPARE(ShiftTimesheetStatements::grid(2),
             QStringLiteral("select person.s_caption fio, %1 as summ, case when %1=0 then 0 else (sum(s.cena*(kol_vo-brak))/%1) end ::numeric(10,2) as average_price, "
                            "sum(s.cena*(kol_vo-brak))::numeric(10,2) as cena_all, h_tabel.* from accounts_dep.h_tabel, cmn_contractor.person, accounts_dep.smena s "
                            "where h_tabel.w_id=person.s_code::integer and h_tabel.smena=2 and month=:mnth and s.w_id = h_tabel.w_id and h_tabel.year=:yea "
                            "and s.data >=:date1 and s.data <:date2 group by person.s_caption,h_tabel.w_id,h_tabel.month,h_tabel.year,h_tabel.smena,h_tabel.id order by fio")
                 .arg(daysum));
    QCOMPARE(ShiftTimesheetStatements::day(),
             QStringLiteral(" select smena, w_id, sum(time) as tim from accounts_dep.smena where data=:data group by smena,w_id;"));
    auto &f = *m_fixture;
    QCOMPARE(f.module->shiftGrid1->sql(), ShiftTimesheetStatements::grid(1));
    QCOMPARE(f.module->shiftGrid3->sql(), ShiftTimesheetStatements::grid(3));
}

void TestTimesheets::opensOnJournalMonth_data()
{
    QTest::addColumn<QDate>("journalDate");
    QTest::addColumn<QString>("month");
    QTest::addColumn<QString>("year");
    QTest::newRow("a date of the list") << QDate(2026, 2, 10) << "Февраль" << "2026";
    QTest::newRow("before 2007: the first year") << QDate(2005, 7, 1) << "Июль" << "2007";
    QTest::newRow("after the list: the last year")
        << QDate(QDate::currentDate().year() + 3, 12, 31) << "Декабрь" << QString::number(QDate::currentDate().year());
}

// "Табель" → "Табель по сменам" opens on the month of the journal date and closes the grids
// when the window closes.
void TestTimesheets::opensOnJournalMonth()
{
    auto &f = *m_fixture;
    QFETCH(QDate, journalDate);
    QFETCH(QString, month);
    QFETCH(QString, year);
    Messages::MessageRecorder rec;
    f.main.setJournalDate(journalDate);
    ModalAction open;
    onModal(open, [&](QDialog *d) {
        QCOMPARE(d, static_cast<QDialog *>(&f.w));
        QCOMPARE(f.w.windowTitle(), QStringLiteral("Табель по времени"));
        QCOMPARE(f.w.monthList->currentText(), month);
        QCOMPARE(f.w.yearList->currentText(), year);
        for (DataSet *q : f.w.gridQueries())
            QVERIFY(q->isOpen());
        QCOMPARE(f.module->shiftGrid2->param(QStringLiteral("mnth")).toInt(), f.w.monthList->currentIndex() + 1);
        QCOMPARE(f.module->shiftGrid2->param(QStringLiteral("yea")).toString(), year);
        QCOMPARE(f.w.size(), QSize(958, 577));
        QCOMPARE(f.w.shiftTabs->count(), 3);
        QCOMPARE(f.w.shiftTabs->tabText(2), QStringLiteral("Смена №3"));
        QVERIFY(!f.w.progressBar->isVisible());
        f.w.exitButton->click();
    });
    f.main.findChild<QAction *>(QStringLiteral("MenuShiftTimesheet"))->trigger();
    QVERIFY(open.ran);
    QVERIFY(!open.stayedOpen);
    QCOMPARE(rec.shown.size(), 0);
    for (DataSet *q : f.w.gridQueries())
        QVERIFY(!q->isOpen());
    // The year list runs from 2007 through this year.
    QCOMPARE(f.w.yearList->itemText(0), QStringLiteral("2007"));
    QCOMPARE(f.w.yearList->itemText(f.w.yearList->count() - 1), QString::number(QDate::currentDate().year()));
}

void TestTimesheets::dayLooks_data()
{
    QTest::addColumn<QDate>("month");
    QTest::addColumn<int>("day");
    QTest::addColumn<int>("hours");     // -1: an empty cell
    QTest::addColumn<QColor>("text");   // invalid: the grid's own
    QTest::addColumn<QColor>("background");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<QColor>("title");
    const QColor none, red(255, 0, 0), silver(192, 192, 192), green(192, 220, 192), invisible(Qt::transparent);
    // November 2026 has 30 days and begins on a Sunday: the 6th is a Friday, the 7th a Saturday.
    const QDate november(2026, 11, 1);
    QTest::newRow("weekday 0: silver") << november << 2 << 0 << silver << none << false << none;
    QTest::newRow("weekday empty: silver") << november << 3 << -1 << silver << none << false << none;
    QTest::newRow("weekend 0: stays red") << november << 7 << 0 << red << none << false << red;
    QTest::newRow("weekend empty: red") << november << 8 << -1 << red << none << false << red;
    QTest::newRow("8: bold") << november << 6 << 8 << none << none << true << none;
    QTest::newRow("weekend 8: bold red") << november << 14 << 8 << red << none << true << red;
    QTest::newRow("9: bold on green") << november << 9 << 9 << none << green << true << none;
    QTest::newRow("weekend 12: red, bold on green") << november << 15 << 12 << red << green << true << red;
    QTest::newRow("5: plain") << november << 10 << 5 << none << none << false << none;
    QTest::newRow("30-day month: day 31 invisible, silver title") << november << 31 << 8 << invisible << none << false << silver;
    // February 2026: 28 days, the 28th a Saturday.
    const QDate february(2026, 2, 1);
    QTest::newRow("February of a common year: day 28 inside") << february << 28 << 5 << red << none << false << red;
    QTest::newRow("February of a common year: day 29 invisible") << february << 29 << 4 << invisible << none << false << silver;
    QTest::newRow("February of a common year: day 30 invisible") << february << 30 << 0 << invisible << none << false << silver;
    QTest::newRow("31-day month: day 31 inside") << QDate(2026, 3, 1) << 31 << 5 << none << none << false << none;
}

// What colour and weight a day cell of a worker's row has, as the grid's model says.
void TestTimesheets::dayLooks()
{
    auto &f = *m_fixture;
    QFETCH(QDate, month);
    QFETCH(int, day);
    QFETCH(int, hours);
    QFETCH(QColor, text);
    QFETCH(QColor, background);
    QFETCH(bool, bold);
    QFETCH(QColor, title);
    f.p.record(f.p.ivanov, month, 1, 8);
    addRow(f.db, f.p.ivanov, 1, month.month(), month.year(), hours < 0 ? Cells{{1, 8}} : Cells{{1, 8}, {day, hours}});
    Messages::MessageRecorder rec;
    f.w.prepareMonth(month);
    QCOMPARE(rec.shown.size(), 0);
    DataGrid *grid = f.w.shift1Grid;
    QCOMPARE(grid->dataModel()->rowCount(), 1);
    const int column = grid->columnOf(QStringLiteral("d%1").arg(day));
    const QModelIndex cell = grid->dataModel()->index(0, column);
    QCOMPARE(cell.data(Qt::DisplayRole).toString(), hours < 0 ? QString() : QString::number(hours));
    QCOMPARE(cell.data(Qt::ForegroundRole).value<QColor>(), text);
    QCOMPARE(cell.data(Qt::BackgroundRole).value<QColor>(), background);
    QCOMPARE(cell.data(Qt::FontRole).value<QFont>().bold(), bold);
    QCOMPARE(cell.data(Qt::TextAlignmentRole).toInt() & Qt::AlignHCenter, int(Qt::AlignHCenter));
    QCOMPARE(grid->dataModel()->headerData(column, Qt::Horizontal, Qt::ForegroundRole).value<QColor>(), title);
    QCOMPARE(grid->columnWidth(column), 20);
    // The name is plain, the total bold on its own background; the title row is bold.
    const QModelIndex name = grid->dataModel()->index(0, grid->columnOf(QStringLiteral("fio")));
    QCOMPARE(name.data(Qt::DisplayRole).toString(), QStringLiteral("Иванов И.И."));
    QVERIFY(!name.data(Qt::ForegroundRole).isValid());
    const QModelIndex total = grid->dataModel()->index(0, grid->columnOf(QStringLiteral("summ")));
    QCOMPARE(total.data(Qt::DisplayRole).toString(), QString::number(8 + qMax(0, hours)));
    QVERIFY(total.data(Qt::FontRole).value<QFont>().bold());
    QCOMPARE(total.data(Qt::BackgroundRole).value<QColor>(), QColor(225, 228, 255));
    QCOMPARE(grid->columnWidth(grid->columnOf(QStringLiteral("summ"))), 47);
    QCOMPARE(grid->columnWidth(grid->columnOf(QStringLiteral("fio"))), 208);
    QVERIFY(grid->dataModel()->headerData(column, Qt::Horizontal, Qt::FontRole).value<QFont>().bold());
    QVERIFY(grid->editTriggers() == QAbstractItemView::NoEditTriggers);
}

// A tab lists the shift's rows of the month whose worker has a record of any shift in the month,
// by name; rows of other shifts and months stay off it.
void TestTimesheets::gridRowsOfTheMonth()
{
    auto &f = *m_fixture;
    const QDate day(2026, 3, 10);
    f.p.record(f.p.sidorov, day, 2, 8);          // a record of another shift counts
    f.p.record(f.p.ivanov, day, 1, 6);
    addRow(f.db, f.p.sidorov, 1, 3, 2026, {{10, 4}});
    addRow(f.db, f.p.ivanov, 1, 3, 2026, {{10, 6}});
    addRow(f.db, f.p.ivanov, 3, 3, 2026, {{11, 7}});
    // Petrov has shift-1 rows but no record dated in March: not on the tab.
    addRow(f.db, f.p.petrov, 1, 3, 2026, {{10, 8}});
    f.p.record(f.p.petrov, QDate(2026, 4, 1), 1, 8);
    addRow(f.db, f.p.ivanov, 1, 4, 2026, {{1, 8}});
    Messages::MessageRecorder rec;
    f.w.prepareMonth(day);
    QCOMPARE(column(f.module->shiftGrid1, QStringLiteral("fio")), (QStringList{"Иванов И.И.", "Сидоров С.С."}));
    QCOMPARE(column(f.module->shiftGrid1, QStringLiteral("summ")), (QStringList{"6", "4"}));
    QCOMPARE(column(f.module->shiftGrid2, QStringLiteral("fio")), QStringList());
    QCOMPARE(column(f.module->shiftGrid3, QStringLiteral("fio")), QStringList{"Иванов И.И."});
    QCOMPARE(column(f.module->shiftGrid3, QStringLiteral("d11")), QStringList{"7"});
    // April: Petrov's record is there, his April row is not; Ivanov's April row has no record.
    f.w.monthList->setCurrentIndex(3);
    QCOMPARE(column(f.module->shiftGrid1, QStringLiteral("fio")), QStringList());
    QCOMPARE(rec.shown.size(), 0);
}

// December runs to 1 January of the next year, exclusive, in the grids.
void TestTimesheets::decemberBounds()
{
    auto &f = *m_fixture;
    f.p.record(f.p.ivanov, QDate(2026, 12, 1), 1, 8);
    f.p.record(f.p.ivanov, QDate(2026, 12, 31), 1, 8);
    f.p.record(f.p.ivanov, QDate(2027, 1, 1), 1, 8);      // not December's
    f.p.record(f.p.petrov, QDate(2027, 1, 1), 1, 8);
    f.p.record(f.p.sidorov, QDate(2026, 11, 30), 1, 8);
    for (int worker : {f.p.ivanov, f.p.petrov, f.p.sidorov})
        addRow(f.db, worker, 1, 12, 2026, {{1, 8}, {31, 8}});
    Messages::MessageRecorder rec;
    f.w.prepareMonth(QDate(2026, 12, 15));
    QCOMPARE(f.module->shiftGrid1->param(QStringLiteral("date1")).toDate(), QDate(2026, 12, 1));
    QCOMPARE(f.module->shiftGrid1->param(QStringLiteral("date2")).toDate(), QDate(2027, 1, 1));
    QCOMPARE(column(f.module->shiftGrid1, QStringLiteral("fio")), QStringList{"Иванов И.И."});
    // The earnings of the two December records, 10 rings at 5 each.
    QCOMPARE(column(f.module->shiftGrid1, QStringLiteral("cena_all")), QStringList{"100.00"});
    QCOMPARE(column(f.module->shiftGrid1, QStringLiteral("d31")), QStringList{"8"});
    QCOMPARE(rec.shown.size(), 0);
}

void TestTimesheets::monthListsApplyAtOnce()
{
    auto &f = *m_fixture;
    f.p.record(f.p.ivanov, QDate(2025, 5, 5), 1, 8);
    addRow(f.db, f.p.ivanov, 1, 5, 2025, {{5, 8}});
    Messages::MessageRecorder rec;
    f.w.prepareMonth(QDate(2026, 5, 20));
    QCOMPARE(f.module->shiftGrid1->recordCount(), 0);
    f.w.yearList->setCurrentIndex(f.w.yearList->findText(QStringLiteral("2025")));
    QCOMPARE(f.w.selectedMonth(), (TimesheetMonth{5, 2025}));
    QCOMPARE(column(f.module->shiftGrid1, QStringLiteral("d5")), QStringList{"8"});
    // February of 2025 has 28 days: the colours follow the month.
    f.w.monthList->setCurrentIndex(1);
    QCOMPARE(f.module->shiftGrid1->recordCount(), 0);
    const int d29 = f.w.shift2Grid->columnOf(QStringLiteral("d29"));
    QCOMPARE(f.w.shift2Grid->dataModel()->headerData(d29, Qt::Horizontal, Qt::ForegroundRole).value<QColor>(), QColor(192, 192, 192));
    // "Обновить" reads what another workstation wrote meanwhile.
    f.p.record(f.p.ivanov, QDate(2025, 2, 3), 1, 8);
    addRow(f.db, f.p.ivanov, 1, 2, 2025, {{3, 8}});
    QCOMPARE(f.module->shiftGrid1->recordCount(), 0);
    f.w.rereadButton->click();
    QCOMPARE(column(f.module->shiftGrid1, QStringLiteral("d3")), QStringList{"8"});
    QCOMPARE(rec.shown.size(), 0);
}

// The rebuild writes every shift row of the month anew from the journal; household rows and
// other months stay.
void TestTimesheets::rebuild()
{
    auto &f = *m_fixture;
    const TimesheetMonth march{3, 2026};
    f.p.record(f.p.ivanov, march.date(3), 1, 4);
    f.p.record(f.p.ivanov, march.date(3), 1, 5);
    f.p.record(f.p.ivanov, march.date(31), 1, 8);
    f.p.record(f.p.ivanov, march.date(3), 4, 2);
    f.p.record(f.p.sidorov, march.date(20), 3, 0);
    // Stale rows: an overtime row with other hours, a row of a worker without records, a
    // household row, another month.
    addRow(f.db, f.p.ivanov, 4, 3, 2026, {{3, 7}, {10, 5}});
    addRow(f.db, f.p.petrov, 2, 3, 2026, {{4, 8}});
    addRow(f.db, f.p.petrov, 2, 3, 2026, {{4, 8}});
    addRow(f.db, f.p.ivanov, 0, 3, 2026, {{5, 6}}, 7777);
    addRow(f.db, f.p.petrov, 1, 2, 2026, {{4, 8}});
    Messages::MessageRecorder rec;
    f.w.prepareMonth(march.date(15));
    f.w.rebuildButton->click();
    QCOMPARE(rec.shown.size(), 0);
    QCOMPARE(f.db.timesheetLines(f.p.ivanov),
             (QStringList{"0 3.2026 7777 0: d5=6", "1 3.2026 0 0: d3=9 d31=8", "4 3.2026 0 0: d3=2"}));
    QCOMPARE(f.db.timesheetLines(f.p.petrov), QStringList{"1 2.2026 0 0: d4=8"});
    QCOMPARE(f.db.timesheetLines(f.p.sidorov), QStringList{"3 3.2026 0 0: d20=0"});
    QCOMPARE(dayCellRuleBroken(f.db, march), QStringList());
    // The grids show the month anew; the bar is gone; nothing stays locked.
    QCOMPARE(column(f.module->shiftGrid1, QStringLiteral("d3")), QStringList{"9"});
    QCOMPARE(column(f.module->shiftGrid3, QStringLiteral("d20")), QStringList{"0"});
    QVERIFY(f.w.progressBar->isHidden());
    QVERIFY(f.w.rebuildButton->isEnabled());
    QVERIFY(!f.module->inTransaction());
    QCOMPARE(f.db.advisoryLocks(), 0);
    QVERIFY(!QApplication::overrideCursor());

    // The statements of the rebuild: the lock, the removal and one write per journal mode, where
    // the per-day sequence sends a day query per day and a count and a write per worker and mode
    // of a day; both leave the same rows.
    QCOMPARE(PerDayMonthRebuild(*f.module, MonthRebuild::Family::Shifts).run(march), 1 + 1 + 31 + 2 * 4);
    const QStringList perDay = f.db.timesheetLines(f.p.ivanov);
    QCOMPARE(MonthRebuild(*f.module, MonthRebuild::Family::Shifts).run(march), 2 + 4);
    QCOMPARE(f.db.timesheetLines(f.p.ivanov), perDay);
    QCOMPARE(f.db.timesheetLines(f.p.ivanov),
             (QStringList{"0 3.2026 7777 0: d5=6", "1 3.2026 0 0: d3=9 d31=8", "4 3.2026 0 0: d3=2"}));
}

// The bar moves by days while the window repaints, and a second rebuild cannot start meanwhile.
void TestTimesheets::rebuildProgress()
{
    auto &f = *m_fixture;
    const TimesheetMonth april{4, 2026};
    f.p.record(f.p.ivanov, april.date(2), 1, 8);
    f.p.record(f.p.petrov, april.date(30), 2, 8);
    addRow(f.db, f.p.petrov, 2, 4, 2026, {{30, 1}});
    Messages::MessageRecorder rec;
    f.w.show();
    f.w.prepareMonth(april.date(1));
    QList<int> positions;
    bool visible = true, commandsOff = true, repainted = false;
    QStringList seenByOthers;
    struct PaintSpy : QObject {
        bool *seen;
        bool eventFilter(QObject *, QEvent *e) override
        {
            if (e->type() == QEvent::Paint)
                *seen = true;
            return false;
        }
    } paints;
    paints.seen = &repainted;
    f.w.progressBar->installEventFilter(&paints);
    connect(f.w.progressBar, &QProgressBar::valueChanged, this, [&](int value) {
        positions << value;
        visible = visible && f.w.progressBar->isVisible();
        commandsOff = commandsOff && !f.w.rebuildButton->isEnabled() && !f.w.monthList->isEnabled();
        if (value == 10) {
            // A second click while the first runs starts nothing.
            f.w.rebuildMonth();
            seenByOthers = f.db.timesheetLines(f.p.petrov);
        }
    });
    f.w.rebuildMonth();
    f.w.progressBar->disconnect(this);
    QList<int> days;
    for (int d = 1; d <= 30; ++d)
        days << d;
    QCOMPARE(f.w.progressBar->minimum(), 1);
    QCOMPARE(f.w.progressBar->maximum(), 30);
    QCOMPARE(positions, days);
    QVERIFY(visible);
    QVERIFY(commandsOff);
    QVERIFY(repainted);
    // Another workstation sees the month as it was until the rebuild is over.
    QCOMPARE(seenByOthers, QStringList{"2 4.2026 0 0: d30=1"});
    QVERIFY(f.w.progressBar->isHidden());
    QVERIFY(f.w.rebuildButton->isEnabled());
    QCOMPARE(f.db.timesheetLines(f.p.ivanov), QStringList{"1 4.2026 0 0: d2=8"});
    QCOMPARE(f.db.timesheetLines(f.p.petrov), QStringList{"2 4.2026 0 0: d30=8"});
    QCOMPARE(rec.shown.size(), 0);
    f.w.hide();
}

void TestTimesheets::rebuildRefused_data()
{
    QTest::addColumn<QString>("refusal");
    QTest::addColumn<QString>("serverText");
    // The month's removal, the first statement.
    QTest::newRow("removal refused") << "delete" << "Табель закрыт";
    // The rows of shift 3, after those of shifts 1 and 2 are written.
    QTest::newRow("later write refused part-way") << "shift3" << "Табель закрыт";
    // A row with a day-31 cell, after the month's removal.
    QTest::newRow("insert refused part-way") << "insert31" << "Табель закрыт";
    // The server goes away part-way.
    QTest::newRow("connection lost part-way") << "terminate" << "";
}

// A rebuild that fails anywhere leaves the month's shift rows exactly as they were and tells why.
void TestTimesheets::rebuildRefused()
{
    auto &f = *m_fixture;
    QFETCH(QString, refusal);
    QFETCH(QString, serverText);
    const TimesheetMonth march{3, 2026};
    f.p.record(f.p.ivanov, march.date(3), 1, 4);
    f.p.record(f.p.ivanov, march.date(31), 1, 8);
    f.p.record(f.p.petrov, march.date(5), 2, 6);
    f.p.record(f.p.sidorov, march.date(31), 3, 7);
    addRow(f.db, f.p.ivanov, 1, 3, 2026, {{3, 1}});
    addRow(f.db, f.p.petrov, 4, 3, 2026, {{5, 6}});
    addRow(f.db, f.p.ivanov, 0, 3, 2026, {{5, 6}}, 7777);
    QStringList before;
    for (int worker : {f.p.ivanov, f.p.petrov, f.p.sidorov})
        before << f.db.timesheetLines(worker);

    if (refusal == QLatin1String("delete")) {
        refuseStatements(f.db, QStringLiteral("accounts_dep.h_tabel"), refusal, QStringLiteral("Табель закрыт"));
    } else {
        const QString action = refusal != QLatin1String("terminate") ? QStringLiteral("raise exception 'Табель закрыт'")
                                                                       : QStringLiteral("perform pg_terminate_backend(pg_backend_pid())");
        const QString refused = refusal == QLatin1String("shift3") ? QStringLiteral("new.smena = 3") : QStringLiteral("new.d31 is not null");
        f.db.exec(QStringLiteral("create function refuse_day31() returns trigger language plpgsql as $$ "
                                 "begin if %2 then %1; end if; return new; end $$").arg(action, refused));
        f.db.exec(QStringLiteral("create trigger refuse_day31 before insert on accounts_dep.h_tabel for each row execute function refuse_day31()"));
    }
    Messages::MessageRecorder rec;
    f.w.prepareMonth(march.date(1));
    f.w.rebuildMonth();
    QVERIFY(!rec.errors().isEmpty());
    QVERIFY2(rec.errors().first().startsWith(QStringLiteral("Не удалось перестроить табель.\n")), qPrintable(rec.errors().first()));
    QVERIFY2(rec.errors().first().contains(serverText), qPrintable(rec.errors().first()));
    QStringList after;
    for (int worker : {f.p.ivanov, f.p.petrov, f.p.sidorov})
        after << f.db.timesheetLines(worker);
    QCOMPARE(after, before);
    QVERIFY(f.w.progressBar->isHidden());
    QVERIFY(f.w.rebuildButton->isEnabled());
    QVERIFY(!f.module->inTransaction());
    // A lost connection's server process lets its locks go as it ends.
    QTRY_COMPARE_WITH_TIMEOUT(f.db.advisoryLocks(), 0, 3000);
    QVERIFY(!QApplication::overrideCursor());
    if (refusal != QLatin1String("terminate")) {
        // The grids show the month as it still is; the connection commits each statement again.
        QCOMPARE(rec.errors().size(), 1);
        QVERIFY(f.module->shiftGrid1->isOpen());
        QCOMPARE(column(f.module->shiftGrid1, QStringLiteral("d3")), QStringList{"1"});
        f.module->command.execute(QStringLiteral("update accounts_dep.ver set delim=','"));
        QCOMPARE(f.db.scalar(QStringLiteral("select delim from accounts_dep.ver")).toString(), QStringLiteral(","));
    }
}

// Another workstation deletes a record of a day the rebuild has already written, and saves one,
// while the rebuild runs. The rebuild holds the month alone: the other workstation's day cells
// wait for it, and afterwards every cell of the month is what the journal says.
void TestTimesheets::rebuildKeepsChangesOfAnotherWorkstation()
{
    auto &f = *m_fixture;
    const TimesheetMonth march{3, 2026};
    f.p.record(f.p.ivanov, march.date(3), 1, 4);
    const int deleted = f.p.record(f.p.ivanov, march.date(3), 1, 5);
    for (int d : {5, 12, 20, 27})
        f.p.record(f.p.petrov, march.date(d), 2, 8);
    // Each timesheet write of the rebuild takes a while, so the other workstation comes in
    // between.
    f.db.exec(QStringLiteral("create function slow_write() returns trigger language plpgsql as $$ "
                             "begin perform pg_sleep(0.3); return new; end $$"));
    f.db.exec(QStringLiteral("create trigger slow_write before insert or update on accounts_dep.h_tabel "
                             "for each row execute function slow_write()"));

    const QString connection = f.db.connectionString();
    std::atomic<int> reached{0};
    std::atomic<bool> done{false};
    QString error;
    std::thread rebuilding([&] {
        try {
            DataModule module;
            module.open(connection);
            MonthRebuild(module, MonthRebuild::Family::Shifts).run(march, [&](int day) { reached = day; });
            done = true;
        } catch (const std::exception &e) {
            error = QString::fromUtf8(e.what());
            done = true;
        }
    });
    while (reached.load() < 4 && !done.load())
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    QVERIFY(!done.load());
    // The second workstation: the 5-hour record of day 3 deleted, a record of day 2 saved.
    Messages::MessageRecorder rec;
    RecordCommands::remove(*f.module, deleted, f.p.ivanov, march.date(3), 1);
    const bool rebuildOverFirst = done.load();
    ProductionRecord r;
    r.worker = f.p.ivanov;
    r.operationPrice = f.p.ringTurning;
    r.product = f.p.ring;
    r.unitPrice = 5;
    r.quantity = 3;
    r.hours = 2;
    r.date = march.date(2);
    r.mode = 1;
    QVERIFY(RecordCommands::save(*f.module, r, nullptr, march.date(2)));
    rebuilding.join();
    QCOMPARE(error, QString());
    QCOMPARE(rec.shown.size(), 0);
    // The deletion's cell waited for the rebuild to commit.
    QVERIFY(rebuildOverFirst);
    QCOMPARE(dayCellRuleBroken(f.db, march), QStringList());
    QCOMPARE(f.db.timesheetLines(f.p.ivanov), QStringList{"1 3.2026 0 0: d2=2 d3=4"});
    QCOMPARE(f.db.timesheetLines(f.p.petrov), QStringList{"2 3.2026 0 0: d5=8 d12=8 d20=8 d27=8"});
}

// The version gate's timer fires while a rebuild lets paint events through: the version row is
// not written inside the rebuild's transaction (a rollback would take it back, and the row would
// stay locked for every other workstation meanwhile); the next tick writes it.
void TestTimesheets::versionGateWaitsForTheRebuild()
{
    auto &f = *m_fixture;
    Messages::MessageRecorder rec;
    {
        UnitOfWork work(*f.module);
        f.main.runVersionGate();
        QCOMPARE(f.db.scalar(QStringLiteral("select d from accounts_dep.ver")).toInt(), 0);
    }
    f.main.runVersionGate();
    QCOMPARE(f.db.scalar(QStringLiteral("select d from accounts_dep.ver")).toInt(), f.main.buildDate);
    QVERIFY(f.main.buildDate > 0);
    QCOMPARE(rec.shown.size(), 0);
}

// The cell the user is on is drawn plainly highlighted, without the green of a long day; the
// other cells keep their looks, those of the current row too.
void TestTimesheets::focusedCellPlain()
{
    auto &f = *m_fixture;
    f.p.record(f.p.ivanov, QDate(2026, 3, 2), 1, 8);
    f.p.record(f.p.petrov, QDate(2026, 3, 2), 1, 8);
    addRow(f.db, f.p.ivanov, 1, 3, 2026, {{2, 10}, {3, 11}});
    addRow(f.db, f.p.petrov, 1, 3, 2026, {{2, 10}});
    Messages::MessageRecorder rec;
    f.w.show();
    f.w.prepareMonth(QDate(2026, 3, 1));
    DataGrid *grid = f.w.shift1Grid;
    const int d2 = grid->columnOf(QStringLiteral("d2")), d3 = grid->columnOf(QStringLiteral("d3"));
    grid->setCurrentIndex(grid->dataModel()->index(0, d2));
    QCoreApplication::processEvents();
    const QImage image = grid->viewport()->grab().toImage();
    const auto background = [&](int row, int column) {
        const QRect cell = grid->visualRect(grid->dataModel()->index(row, column));
        return image.pixelColor(cell.left() + 2, cell.top() + 2);
    };
    const QColor green(192, 220, 192);
    QVERIFY(background(0, d2) != green);
    QCOMPARE(background(0, d2), grid->palette().color(QPalette::Active, QPalette::Highlight));
    QCOMPARE(background(0, d3), green);
    QCOMPARE(background(1, d2), green);
    // A cell of the current row without a look of its own is drawn as on any other row.
    QCOMPARE(background(0, d3 + 1), background(1, d3 + 1));
    QCOMPARE(background(0, grid->columnOf(QStringLiteral("fio"))), background(1, grid->columnOf(QStringLiteral("fio"))));
    f.w.hide();
}

// "Печать" prints the month's timesheet of all the worker's rows: every shift, overtime and
// household work, so a day can hold more than any single tab shows.
void TestTimesheets::printSumsAllRows()
{
    auto &f = *m_fixture;
    f.p.record(f.p.ivanov, QDate(2026, 11, 5), 1, 8);
    addRow(f.db, f.p.ivanov, 1, 11, 2026, {{5, 8}});
    addRow(f.db, f.p.ivanov, 2, 11, 2026, {{5, 3}, {6, 1}});
    addRow(f.db, f.p.ivanov, 4, 11, 2026, {{5, 2}});
    addRow(f.db, f.p.ivanov, 0, 11, 2026, {{5, 1}}, 7777);
    addRow(f.db, f.p.petrov, 3, 11, 2026, {{6, 7}});
    addRow(f.db, f.p.ivanov, 1, 10, 2026, {{5, 99}});
    Messages::MessageRecorder rec;
    PreviewSpy spy;
    f.w.prepareMonth(QDate(2026, 11, 20));
    QCOMPARE(column(f.module->shiftGrid1, QStringLiteral("d5")), QStringList{"8"});
    f.w.printButton->click();
    QCOMPARE(spy.runs, 1);
    QCOMPARE(rec.shown.size(), 0);
    QVERIFY(spy.texts.contains(QStringLiteral("Ноябрь 2026 г.")));
    // Each worker's line: the name, the days that hold hours, the month's total.
    const auto line = [&](const QString &name, int size) {
        QStringList out;
        for (int at = spy.texts.indexOf(name); at >= 0 && at < spy.texts.size() && out.size() < size; ++at)
            if (!spy.texts.at(at).isEmpty())
                out << spy.texts.at(at);
        return out;
    };
    QCOMPARE(line(QStringLiteral("Иванов И.И."), 4), (QStringList{"Иванов И.И.", "14", "1", "15"}));
    QCOMPARE(line(QStringLiteral("Петров П.П."), 3), (QStringList{"Петров П.П.", "7", "7"}));
}

// "Excel": the month's timesheet of all rows on sheet 1, read back from the saved workbook.
void TestTimesheets::exportReadBack()
{
    auto &f = *m_fixture;
    FakeSpreadsheet app;
    QStringList names;
    for (int i = 1; i <= 12; ++i) {
        const QString name = QStringLiteral("Рабочий %1").arg(i, 2, 10, QLatin1Char('0'));
        names << name;
        const int worker = f.db.addWorker(name);
        addRow(f.db, worker, 1, 11, 2026, {{1, i}, {30, 8}});
        if (i == 3)
            addRow(f.db, worker, 0, 11, 2026, {{1, 2}, {2, 5}}, 7777);
    }
    Messages::MessageRecorder rec;
    f.w.prepareMonth(QDate(2026, 11, 2));
    QCOMPARE(f.w.exportButton->text(), QStringLiteral("Excel"));
    f.w.exportButton->click();
    QCOMPARE(rec.shown.size(), 0);
    QCOMPARE(f.w.exportButton->text(), QStringLiteral("Excel (12 из 12)"));
    QCOMPARE(app.opened.size(), 1);
    // The window's own writer, kept for the run.
    QCOMPARE(f.w.writer.savedFile(), app.opened.first());
    QVERIFY(!f.module->inTransaction());
    QVERIFY(!QApplication::overrideCursor());

    const Workbook book = readWorkbook(app.opened.first());
    QVERIFY(book.ok);
    const QList<QStringList> rows = book.rowTexts();
    QCOMPARE(rows.size(), 14);
    QCOMPARE(rows[0], QStringList{"Ноябрь 2026"});
    QVERIFY(book.at(1, 1).bold && book.at(1, 1).textFormat);
    QStringList headings{QStringLiteral("Фамилия И.О.")};
    for (int d = 1; d <= 31; ++d)
        headings << QStringLiteral("#%1").arg(d);
    headings << QStringLiteral("Итого");
    QCOMPARE(rows[1], headings);
    QVERIFY(book.at(2, 1).bold && book.at(2, 1).textFormat);
    QVERIFY(book.at(2, 2).bold && !book.at(2, 2).textFormat);
    QVERIFY(book.at(2, 33).bold && book.at(2, 33).textFormat);
    for (int i = 1; i <= 12; ++i) {
        const int hours1 = i == 3 ? i + 2 : i;
        QStringList expected{names.at(i - 1), QStringLiteral("#%1").arg(hours1)};
        expected << (i == 3 ? QStringLiteral("#5") : QString());
        for (int d = 3; d <= 29; ++d)
            expected << QString();
        expected << QStringLiteral("#8") << QString() << QStringLiteral("#%1").arg(hours1 + 8 + (i == 3 ? 5 : 0));
        QCOMPARE(rows[i + 1], expected);
        QVERIFY(!book.at(i + 2, 1).bold && book.at(i + 2, 1).textFormat);
        QVERIFY(!book.at(i + 2, 33).bold);
    }
    // The columns fit their contents.
    QVERIFY(book.widths.contains(1) && book.widths.contains(33));

    // The caption is "Excel" again when the window is next opened.
    f.w.finishMonth();
    f.w.prepareMonth(QDate(2026, 11, 2));
    QCOMPARE(f.w.exportButton->text(), QStringLiteral("Excel"));
}

void TestTimesheets::exportWithoutSpreadsheet()
{
    auto &f = *m_fixture;
    FakeSpreadsheet app;
    app.available = false;
    addRow(f.db, f.p.ivanov, 1, 11, 2026, {{1, 8}});
    Messages::MessageRecorder rec;
    f.w.prepareMonth(QDate(2026, 11, 2));
    f.w.exportWorkbook();
    // The workbook is written all the same, and the message says where it is.
    QVERIFY(app.opened.isEmpty());
    const QString path = f.w.writer.savedFile();
    QVERIFY(QFileInfo::exists(path));
    QCOMPARE(QFileInfo(path).absolutePath(), f.books.path());
    QCOMPARE(readWorkbook(path).at(3, 1).value, QStringLiteral("Иванов И.И."));
    QCOMPARE(rec.errors(), QStringList{QStringLiteral("Невозможно открыть Microsoft Excel.\nКнига сохранена в файле %1")
                                           .arg(QDir::toNativeSeparators(path))});
    QCOMPARE(rec.shown[0].folder, f.books.path());
    QCOMPARE(f.w.exportButton->text(), QStringLiteral("Excel (1 из 1)"));
    QVERIFY(!QApplication::overrideCursor());
    QVERIFY(!Windows::get<ShiftTimesheetReport>()->query->isOpen());
}

// ---- The piecework timesheet -----------------------------------------------------------------------

namespace {

// November 2026 (30 days): Ivanov with production records in shift 1 and overtime and household
// work by day and by night; Petrov with average-piecework work; Sidorov with a production row
// but no production record.
struct PieceworkMonth {
    explicit PieceworkMonth(const SmallPlant &p, const TestDatabase &db)
    {
        p.record(p.ivanov, QDate(2026, 11, 2), 1, 8);      // 10 rings at 5: 50
        p.record(p.ivanov, QDate(2026, 11, 3), 4, 2);
        addRow(db, p.ivanov, 1, 11, 2026, {{2, 8}});
        addRow(db, p.ivanov, 4, 11, 2026, {{3, 2}});
        addEntry(db, p.ivanov, QDate(2026, 11, 5), 7777, 0, 3, QStringLiteral("100"));
        addEntry(db, p.ivanov, QDate(2026, 11, 5), 7777, 1, 4, QStringLiteral("120"));
        addHouseholdRow(db, p.ivanov, 7777, 0, 11, 2026, {{5, 3}});
        addHouseholdRow(db, p.ivanov, 7777, 1, 11, 2026, {{5, 4}});
        addEntry(db, p.petrov, QDate(2026, 11, 6), 7778, 0, 5, QStringLiteral("200.5"));
        addHouseholdRow(db, p.petrov, 7778, 0, 11, 2026, {{6, 5}});
        addRow(db, p.sidorov, 1, 11, 2026, {{7, 8}});
    }
};

const QStringList Totals{QStringLiteral("i_time"), QStringLiteral("f_price"), QStringLiteral("average_price")};

} // namespace

void TestTimesheets::pieceworkStatementTexts()
{
    using namespace PieceworkTimesheetStatements;
    QStringList hsum;
    for (int d = 1; d <= 31; ++d)
        hsum << QStringLiteral("sum(h. d%1) as d%1").arg(d);
    QCOMPARE(household(7778),
             QStringLiteral("select p.s_caption fio, p.id,h.i_type, case when h.i_night=0 then 'дн.' else 'ноч.' end as s_night, h.i_night, "
                            "(select sum(f.cnt) from accounts_dep.fatigue f where f.d_date<:d_date1 and f.d_date>=:d_date2 and f.id_p=p.id and f.id_o=7778 and f.i_night=h.i_night) i_time, "
                            "(select sum(f.cnt*f.price)::numeric(10,2) from accounts_dep.fatigue f where f.d_date<:d_date3 and f.d_date>=:d_date4 and f.id_p=p.id and f.id_o=7778 and f.i_night=h.i_night) f_price, "
                            "(select case when coalesce(sum(f.cnt),0)::numeric(10,2)=0 then 0 else coalesce(sum((f.cnt*f.price))/sum(f.cnt),0)::numeric(10,2) end "
                            "from accounts_dep.fatigue f where f.d_date<:d_date5 and f.d_date>=:d_date6 and f.id_p=p.id and f.id_o=7778 and f.i_night=h.i_night) average_price, "
                            "%1 from  cmn_contractor.person p, accounts_dep.h_tabel h where h.year=:i_year and h.month=:i_month and h.w_id=p.id and i_type=7778 "
                            "group by p.id, p.s_caption, h.i_type, h.i_night order by fio").arg(hsum.join(QStringLiteral(", "))));
    QVERIFY(piecework().contains(QStringLiteral(" and i_type=0 group by p.id, p.s_caption, h.i_type order by fio")));
    QVERIFY(general().contains(QStringLiteral("f.d_date<:d_date7 and f.d_date>=:d_date8")));
    QCOMPARE(years(), QStringLiteral("select distinct ht.year from accounts_dep.h_tabel ht order by year"));
    QCOMPARE(pieceworkTotal(), QStringLiteral("select sum((s.kol_vo-s.brak)*s.cena)::numeric(100,2) as price from accounts_dep.smena s where s.data<:d_date1 and s.data>=:d_date2 and s.cena>0 and s.kol_vo>0"));
    QCOMPARE(householdTotal(7778), QStringLiteral("select sum(f.cnt*f.price)::numeric(100,2) as price from accounts_dep.fatigue f where f.d_date<:d_date1 and f.d_date>=:d_date2 and f.cnt>0 and f.price>0 and f.id_o=7778"));
    QCOMPARE(day(), QStringLiteral(" select f.id_p, f.id_o, f.i_night, sum(f.cnt) as tim from accounts_dep.fatigue f where f.d_date =:data group by f.id_p, f.id_o, f.i_night order by id_p;"));
}

void TestTimesheets::pieceworkOpensFromMenu_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("caption");
    QTest::newRow("piecework") << "MenuPieceworkTimesheet" << 9 << "Табель сделка (27)";
    QTest::newRow("household work") << "MenuHouseholdTimesheet" << 14 << "Табель хоз. работы (27)";
    QTest::newRow("average piecework") << "MenuAverageTimesheet" << 15 << "Табель ср. сдельная (27)";
    QTest::newRow("general") << "MenuGeneralTimesheet" << 17 << "Общий табель (27)";
}

// Each command opens the window in its view on today's month, and its queries close with it.
void TestTimesheets::pieceworkOpensFromMenu()
{
    auto &f = *m_fixture;
    QFETCH(QString, action);
    QFETCH(int, mode);
    QFETCH(QString, caption);
    Messages::MessageRecorder rec;
    PieceworkTimesheetWindow &w = *Windows::get<PieceworkTimesheetWindow>();
    // The journal date plays no part: today's month is shown.
    f.main.setJournalDate(QDate(2020, 3, 3));
    ModalAction open;
    onModal(open, [&](QDialog *d) {
        QCOMPARE(d, static_cast<QDialog *>(&w));
        QCOMPARE(w.windowTitle(), caption);
        QCOMPARE(int(w.viewMode), mode);
        QCOMPARE(w.size(), QSize(1127, 617));
        QCOMPARE(w.selectedMonth(), (TimesheetMonth{QDate::currentDate().month(), QDate::currentDate().year()}));
        QVERIFY(w.currentView->isOpen());
        QCOMPARE(w.grid->dataSet(), w.currentView);
        QVERIFY(w.progressBar->isHidden());
        w.exitButton->click();
    });
    f.main.findChild<QAction *>(action)->trigger();
    QVERIFY(open.ran);
    QVERIFY(!open.stayedOpen);
    QCOMPARE(rec.shown.size(), 0);
    QVERIFY(!w.currentView->isOpen());
    QVERIFY(!w.pieceworkSum->isOpen());
    QVERIFY(!w.yearsQuery->isOpen());
}

void TestTimesheets::pieceworkViews_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QStringList>("rows");      // fio|s_night|i_time|f_price|average_price, sorted
    QTest::addColumn<QStringList>("columns");   // the fields shown besides the days
    QTest::addColumn<QString>("days");          // d2|d3|d5|d6|d7 of the first row
    QTest::newRow("piecework: production rows, earnings and hours of the records")
        << 9 << QStringList{"Иванов И.И.||10|100,00|10,00", "Сидоров С.С.||||0,00"}
        << QStringList{"fio", "f_price", "i_time", "average_price"} << "8|2|||";
    QTest::newRow("household work: day and night apart")
        << 14 << QStringList{"Иванов И.И.|дн.|3|300,00|100,00", "Иванов И.И.|ноч.|4|480,00|120,00"}
        << QStringList{"fio", "s_night", "f_price", "i_time", "average_price"} << "||3||";
    QTest::newRow("average piecework")
        << 15 << QStringList{"Петров П.П.|дн.|5|1002,50|200,50"}
        << QStringList{"fio", "s_night", "f_price", "i_time", "average_price"} << "|||5|";
    QTest::newRow("general: every row of the worker, production and entries together")
        << 17 << QStringList{"Иванов И.И.||17|880,00|", "Петров П.П.||5|1002,50|", "Сидоров С.С.||0|0,00|"}
        << QStringList{"fio", "f_price", "i_time"} << "8|2|7||";
}

void TestTimesheets::pieceworkViews()
{
    auto &f = *m_fixture;
    QFETCH(int, mode);
    QFETCH(QStringList, rows);
    QFETCH(QStringList, columns);
    QFETCH(QString, days);
    PieceworkMonth month(f.p, f.db);
    Messages::MessageRecorder rec;
    PieceworkTimesheetWindow &w = *Windows::get<PieceworkTimesheetWindow>();
    w.prepareMode(PieceworkView::Mode(mode), QDate(2026, 11, 20));
    QCOMPARE(rec.shown.size(), 0);
    QStringList shown = shownRows(w.grid, QStringList{"fio", "s_night"} + Totals);
    std::sort(shown.begin(), shown.end());
    QCOMPARE(shown, rows);
    QStringList dayFields;
    for (int d = 1; d <= 30; ++d)
        dayFields << QStringLiteral("d%1").arg(d);
    QCOMPARE(shownColumns(w.grid), QStringList{columns.first()} + (columns.contains("s_night") ? QStringList{"s_night"} : QStringList())
                                          + dayFields + columns.mid(columns.contains("s_night") ? 2 : 1));
    QCOMPARE(shownRows(w.grid, {"d2", "d3", "d5", "d6", "d7"}).first(), days);
    // Titles and looks: the name column takes the hidden columns' width; weekends red; the
    // totals bold on their own background.
    const DataSetModel *model = w.grid->dataModel();
    QCOMPARE(model->headerData(w.grid->columnOf("f_price"), Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("Итого (р.)"));
    QCOMPARE(model->headerData(w.grid->columnOf("i_time"), Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("Итого (ч.)"));
    QCOMPARE(model->headerData(w.grid->columnOf("average_price"), Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("Час (р.)"));
    QCOMPARE(model->headerData(w.grid->columnOf("s_night"), Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral(" "));
    const int sunday = w.grid->columnOf("d1"), monday = w.grid->columnOf("d2");
    QCOMPARE(model->headerData(sunday, Qt::Horizontal, Qt::ForegroundRole).value<QColor>(), QColor(255, 0, 0));
    QCOMPARE(model->index(0, sunday).data(Qt::ForegroundRole).value<QColor>(), QColor(255, 0, 0));
    QVERIFY(!model->headerData(monday, Qt::Horizontal, Qt::ForegroundRole).isValid());
    QVERIFY(!model->index(0, monday).data(Qt::ForegroundRole).isValid());
    for (const QString &field : Totals) {
        if (!columns.contains(field))
            continue;
        const QModelIndex cell = model->index(0, w.grid->columnOf(field));
        QVERIFY(cell.data(Qt::FontRole).value<QFont>().bold());
        QCOMPARE(cell.data(Qt::BackgroundRole).value<QColor>(), QColor(225, 228, 255));
        QCOMPARE(w.grid->columnWidth(w.grid->columnOf(field)), 66);
    }
    QCOMPARE(w.grid->columnWidth(monday), 20);
    // The plant's totals of November.
    QCOMPARE(w.pieceworkTotalText->text(), QStringLiteral("100,00"));
    QCOMPARE(w.householdTotalText->text(), QStringLiteral("780,00"));
    QCOMPARE(w.averageTotalText->text(), QStringLiteral("1002,50"));
    QCOMPARE(w.monthTotalText->text(), QStringLiteral("1882,50"));
}

void TestTimesheets::pieceworkNameWidths_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("width");   // in a month of 31 days
    QTest::newRow("piecework") << 9 << 238;
    QTest::newRow("household work") << 14 << 208;
    QTest::newRow("average piecework") << 15 << 208;
    QTest::newRow("general") << 17 << 304;
}

void TestTimesheets::pieceworkFitsScreen_data()
{
    addWorkstationScreens();
}

// Wider than a 1024 x 768 screen as designed, it opens narrower with every day in sight.
void TestTimesheets::pieceworkFitsScreen()
{
    QFETCH(QRect, available);
    Messages::MessageRecorder rec;
    PieceworkTimesheetWindow &w = *Windows::get<PieceworkTimesheetWindow>();
    w.prepareMode(PieceworkView::Piecework, QDate(2026, 3, 10));
    QCOMPARE(w.size(), QSize(1127, 617));
    QVERIFY(w.windowFlags() & Qt::WindowMaximizeButtonHint);
    const QStringList hidden = outOfSightWhenOpened(&w, QSize(1127, 617), available, QMargins(4, 28, 4, 4));
    QVERIFY2(hidden.isEmpty(), qPrintable(hidden.join(QLatin1Char('\n'))));
    QCOMPARE(w.grid->columnWidth(w.grid->columnOf("fio")), 238);
    w.finishMode();
    QCOMPARE(rec.shown.size(), 0);
}

// The name column takes the width of the day columns hidden past the month's end.
void TestTimesheets::pieceworkNameWidths()
{
    QFETCH(int, mode);
    QFETCH(int, width);
    auto &f = *m_fixture;
    Messages::MessageRecorder rec;
    PieceworkTimesheetWindow &w = *Windows::get<PieceworkTimesheetWindow>();
    w.prepareMode(PieceworkView::Mode(mode), QDate(2026, 3, 10));
    const int name = w.grid->columnOf("fio");
    const auto hiddenDays = [&] {
        QList<int> out;
        for (int d = 1; d <= 31; ++d)
            if (w.grid->isColumnHidden(w.grid->columnOf(QStringLiteral("d%1").arg(d))))
                out << d;
        return out;
    };
    QCOMPARE(w.grid->columnWidth(name), width);
    QCOMPARE(hiddenDays(), QList<int>());
    w.monthList->setCurrentIndex(10);   // November, 30 days
    QCOMPARE(w.grid->columnWidth(name), width + 20);
    QCOMPARE(hiddenDays(), QList<int>{31});
    w.monthList->setCurrentIndex(1);    // February of a common year
    QCOMPARE(w.grid->columnWidth(name), width + 60);
    QCOMPARE(hiddenDays(), (QList<int>{29, 30, 31}));
    w.monthList->setCurrentIndex(0);    // back to 31 days
    QCOMPARE(w.grid->columnWidth(name), width);
    QCOMPARE(hiddenDays(), QList<int>());
    // The grid keeps its width whatever the view hides.
    int total = 0;
    for (int c = 0; c < w.grid->dataModel()->columnCount(); ++c)
        if (!w.grid->isColumnHidden(c))
            total += w.grid->columnWidth(c);
    QCOMPARE(total, 1056);
    QCOMPARE(rec.shown.size(), 0);
    Q_UNUSED(f);
}

// December runs to 1 January of the next year, exclusive, in the grid and in the totals.
void TestTimesheets::pieceworkDecemberBounds()
{
    auto &f = *m_fixture;
    f.p.record(f.p.ivanov, QDate(2026, 12, 1), 1, 8);
    f.p.record(f.p.ivanov, QDate(2026, 12, 31), 1, 4);
    f.p.record(f.p.ivanov, QDate(2027, 1, 1), 1, 2);
    f.p.record(f.p.ivanov, QDate(2026, 11, 30), 1, 1);
    addRow(f.db, f.p.ivanov, 1, 12, 2026, {{1, 8}, {31, 4}});
    addEntry(f.db, f.p.petrov, QDate(2026, 12, 31), 7777, 0, 2, QStringLiteral("10"));
    addEntry(f.db, f.p.petrov, QDate(2027, 1, 1), 7777, 0, 3, QStringLiteral("10"));
    addEntry(f.db, f.p.petrov, QDate(2026, 11, 30), 7777, 0, 5, QStringLiteral("10"));
    addHouseholdRow(f.db, f.p.petrov, 7777, 0, 12, 2026, {{31, 2}});
    Messages::MessageRecorder rec;
    PieceworkTimesheetWindow &w = *Windows::get<PieceworkTimesheetWindow>();
    w.prepareMode(PieceworkView::Piecework, QDate(2026, 12, 10));
    QCOMPARE(w.currentView->param("d_date1").toDate(), QDate(2027, 1, 1));
    QCOMPARE(w.currentView->param("d_date2").toDate(), QDate(2026, 12, 1));
    QCOMPARE(w.currentView->param("d_date5").toDate(), QDate(2027, 1, 1));
    QCOMPARE(w.currentView->param("d_date6").toDate(), QDate(2026, 12, 1));
    QCOMPARE(shownRows(w.grid, Totals), QStringList{"12|100,00|8,33"});
    QCOMPARE(w.pieceworkTotalText->text(), QStringLiteral("100,00"));
    QCOMPARE(w.householdTotalText->text(), QStringLiteral("20,00"));
    QCOMPARE(w.monthTotalText->text(), QStringLiteral("120,00"));
    w.prepareMode(PieceworkView::General, QDate(2026, 12, 10));
    QCOMPARE(w.currentView->param("d_date7").toDate(), QDate(2027, 1, 1));
    QCOMPARE(w.currentView->param("d_date8").toDate(), QDate(2026, 12, 1));
    QCOMPARE(shownRows(w.grid, {"fio", "i_time", "f_price"}), (QStringList{"Иванов И.И.|12|100,00", "Петров П.П.|2|20,00"}));
    QCOMPARE(rec.shown.size(), 0);
}

// A month with production records but no entries: empty partial totals, "Итого:" = "Сделка:".
void TestTimesheets::pieceworkTotalsWithoutEntries()
{
    auto &f = *m_fixture;
    f.p.record(f.p.ivanov, QDate(2026, 10, 5), 1, 8);
    f.db.addRecord(f.p.petrov, f.p.ring, f.p.ringTurning, QDate(2026, 10, 6), 1, 7, 2, 3.5, 4);   // 5 good at 3.5
    // Records without price or quantity do not count; entries of another month neither.
    f.db.addRecord(f.p.petrov, f.p.ring, f.p.ringTurning, QDate(2026, 10, 7), 1, 7, 0, 0, 4);
    addEntry(f.db, f.p.ivanov, QDate(2026, 9, 30), 7777, 0, 3, QStringLiteral("100"));
    addRow(f.db, f.p.ivanov, 1, 10, 2026, {{5, 8}});
    Messages::MessageRecorder rec;
    PieceworkTimesheetWindow &w = *Windows::get<PieceworkTimesheetWindow>();
    w.prepareMode(PieceworkView::Household, QDate(2026, 10, 1));
    QCOMPARE(w.pieceworkTotalText->text(), QStringLiteral("67,50"));
    QCOMPARE(w.householdTotalText->text(), QString());
    QCOMPARE(w.averageTotalText->text(), QString());
    QCOMPARE(w.monthTotalText->text(), w.pieceworkTotalText->text());
    QCOMPARE(w.grid->dataModel()->rowCount(), 0);
    // "Обновить" reads the view again, not the totals.
    addEntry(f.db, f.p.ivanov, QDate(2026, 10, 2), 7777, 0, 3, QStringLiteral("100"));
    addHouseholdRow(f.db, f.p.ivanov, 7777, 0, 10, 2026, {{2, 3}});
    w.rereadButton->click();
    QCOMPARE(shownRows(w.grid, {"fio", "s_night", "i_time"}), QStringList{"Иванов И.И.|дн.|3"});
    QCOMPARE(w.householdTotalText->text(), QString());
    QCOMPARE(rec.shown.size(), 0);
}

// The year list offers the years that have timesheet rows, and this year even before it has any.
void TestTimesheets::pieceworkYearList()
{
    auto &f = *m_fixture;
    addRow(f.db, f.p.ivanov, 1, 5, 2024, {{5, 8}});
    addRow(f.db, f.p.ivanov, 1, 5, 2019, {{5, 8}});
    addRow(f.db, f.p.petrov, 1, 6, 2024, {{5, 8}});
    Messages::MessageRecorder rec;
    PieceworkTimesheetWindow &w = *Windows::get<PieceworkTimesheetWindow>();
    w.prepareMode(PieceworkView::Piecework, QDate(2026, 12, 10));
    QStringList years;
    for (int i = 0; i < w.yearList->count(); ++i)
        years << w.yearList->itemText(i);
    QCOMPARE(years, (QStringList{"2019", "2024", "2026"}));
    QCOMPARE(w.yearList->currentText(), QStringLiteral("2026"));
    QCOMPARE(w.monthList->currentText(), QStringLiteral("Декабрь"));
    QCOMPARE(w.currentView->param("i_year").toInt(), 2026);
    // A year picked from the list applies at once.
    w.yearList->setCurrentIndex(1);
    QCOMPARE(w.currentView->param("i_year").toInt(), 2026);
    emit w.yearList->activated(1);
    QCOMPARE(w.currentView->param("i_year").toInt(), 2024);
    w.monthList->setCurrentIndex(4);
    QCOMPARE(column(w.currentView, "fio"), QStringList{"Иванов И.И."});
    QCOMPARE(rec.shown.size(), 0);
}

// The rebuild writes the month's household and average-piecework rows anew from the entries;
// production rows and other months stay.
void TestTimesheets::householdRebuild()
{
    auto &f = *m_fixture;
    const TimesheetMonth november{11, 2026};
    addEntry(f.db, f.p.ivanov, november.date(5), 7777, 0, 3, QStringLiteral("100"));
    addEntry(f.db, f.p.ivanov, november.date(5), 7777, 0, 4, QStringLiteral("100"));
    addEntry(f.db, f.p.ivanov, november.date(5), 7777, 1, 2, QStringLiteral("120"));
    addEntry(f.db, f.p.ivanov, november.date(30), 7778, 0, 6, QStringLiteral("200"));
    addEntry(f.db, f.p.petrov, november.date(1), 7777, 1, 1, QStringLiteral("100"));
    // Stale rows: a household row with other hours, one without entries; a production row and
    // another month's household row that stay.
    addHouseholdRow(f.db, f.p.ivanov, 7777, 0, 11, 2026, {{5, 1}, {6, 8}});
    addHouseholdRow(f.db, f.p.sidorov, 7778, 0, 11, 2026, {{3, 8}});
    addRow(f.db, f.p.ivanov, 1, 11, 2026, {{5, 8}});
    addHouseholdRow(f.db, f.p.petrov, 7777, 0, 10, 2026, {{3, 8}});
    Messages::MessageRecorder rec;
    PieceworkTimesheetWindow &w = *Windows::get<PieceworkTimesheetWindow>();
    w.prepareMode(PieceworkView::Household, november.date(10));
    w.rebuildButton->click();
    QCOMPARE(rec.shown.size(), 0);
    QCOMPARE(f.db.timesheetLines(f.p.ivanov),
             (QStringList{"0 11.2026 7777 0: d5=7", "0 11.2026 7777 1: d5=2", "0 11.2026 7778 0: d30=6", "1 11.2026 0 0: d5=8"}));
    QCOMPARE(f.db.timesheetLines(f.p.petrov), (QStringList{"0 10.2026 7777 0: d3=8", "0 11.2026 7777 1: d1=1"}));
    QCOMPARE(f.db.timesheetLines(f.p.sidorov), QStringList());
    // The view shows the month anew; the bar is gone; nothing stays locked.
    QStringList shown = shownRows(w.grid, {"fio", "s_night", "d5"});
    std::sort(shown.begin(), shown.end());
    QCOMPARE(shown, (QStringList{"Иванов И.И.|дн.|7", "Иванов И.И.|ноч.|2", "Петров П.П.|ноч.|"}));
    QVERIFY(w.progressBar->isHidden());
    QVERIFY(w.rebuildButton->isEnabled());
    QVERIFY(!f.module->inTransaction());
    QCOMPARE(f.db.advisoryLocks(), 0);
    QVERIFY(!QApplication::overrideCursor());
}

// A rebuild refused part-way leaves the month's household rows as they were.
void TestTimesheets::householdRebuildRefused()
{
    auto &f = *m_fixture;
    const TimesheetMonth november{11, 2026};
    addEntry(f.db, f.p.ivanov, november.date(5), 7777, 0, 3, QStringLiteral("100"));
    addEntry(f.db, f.p.petrov, november.date(20), 7778, 1, 4, QStringLiteral("100"));
    addHouseholdRow(f.db, f.p.ivanov, 7777, 0, 11, 2026, {{5, 1}});
    addHouseholdRow(f.db, f.p.sidorov, 7777, 0, 11, 2026, {{9, 9}});
    f.db.exec(QStringLiteral("create function refuse_night() returns trigger language plpgsql as $$ "
                             "begin if new.i_night = 1 then raise exception 'Табель закрыт'; end if; return new; end $$"));
    f.db.exec(QStringLiteral("create trigger refuse_night before insert on accounts_dep.h_tabel for each row execute function refuse_night()"));
    QStringList before;
    for (int worker : {f.p.ivanov, f.p.petrov, f.p.sidorov})
        before << f.db.timesheetLines(worker);
    Messages::MessageRecorder rec;
    PieceworkTimesheetWindow &w = *Windows::get<PieceworkTimesheetWindow>();
    w.prepareMode(PieceworkView::General, november.date(10));
    w.rebuildHouseholdRows();
    QCOMPARE(rec.errors().size(), 1);
    QVERIFY2(rec.errors().first().startsWith(QStringLiteral("Не удалось перестроить табель.\n")), qPrintable(rec.errors().first()));
    QVERIFY(rec.errors().first().contains(QStringLiteral("Табель закрыт")));
    QStringList after;
    for (int worker : {f.p.ivanov, f.p.petrov, f.p.sidorov})
        after << f.db.timesheetLines(worker);
    QCOMPARE(after, before);
    QVERIFY(w.progressBar->isHidden());
    QVERIFY(w.currentView->isOpen());
    QVERIFY(!f.module->inTransaction());
    QCOMPARE(f.db.advisoryLocks(), 0);
}

void TestTimesheets::pieceworkExport_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QList<QStringList>>("rows");
    // Columns 1 and 2, days 2, 3, 5, 6 and 7 (columns 4, 5, 7, 8, 9), then columns 34 to 36.
    QTest::newRow("piecework: nothing in column 2")
        << 9 << QList<QStringList>{{"Иванов И.И.", "", "#8", "#2", "", "", "", "#10", "#100", "#10"},
                                  {"Сидоров С.С.", "", "", "", "", "", "#8", "", "", "#0"}};
    QTest::newRow("household work: the day/night mark in column 2")
        << 14 << QList<QStringList>{{"Иванов И.И.", "дн.", "", "", "#3", "", "", "#3", "#300", "#100"},
                                   {"Иванов И.И.", "ноч.", "", "", "#4", "", "", "#4", "#480", "#120"}};
    QTest::newRow("average piecework: money in its shortest form")
        << 15 << QList<QStringList>{{"Петров П.П.", "дн.", "", "", "", "#5", "", "#5", "#1002.5", "#200.5"}};
    QTest::newRow("general: no column 36")
        << 17 << QList<QStringList>{{"Иванов И.И.", "", "#8", "#2", "#7", "", "", "#17", "#880"},
                                   {"Петров П.П.", "", "", "", "", "#5", "", "#5", "#1002.5"},
                                   {"Сидоров С.С.", "", "", "", "", "", "#8", "#0", "#0"}};
}

// "Excel": the view on sheet 1 with hours before earnings, read back from the saved workbook.
void TestTimesheets::pieceworkExport()
{
    auto &f = *m_fixture;
    QFETCH(int, mode);
    QFETCH(QList<QStringList>, rows);
    PieceworkMonth month(f.p, f.db);
    FakeSpreadsheet app;
    Messages::MessageRecorder rec;
    PieceworkTimesheetWindow &w = *Windows::get<PieceworkTimesheetWindow>();
    w.prepareMode(PieceworkView::Mode(mode), QDate(2026, 11, 20));
    // The grid's current row stays where the user left it.
    w.currentView->setRecNo(w.currentView->recordCount());
    const int current = w.currentView->recNo();
    w.exportButton->click();
    QCOMPARE(rec.shown.size(), 0);
    QCOMPARE(app.opened.size(), 1);
    QCOMPARE(w.exportButton->text(), SpreadsheetExport::caption(rows.size(), rows.size()));
    QCOMPARE(w.currentView->recNo(), current);
    QVERIFY(!QApplication::overrideCursor());

    const Workbook book = readWorkbook(app.opened.first());
    QVERIFY(book.ok);
    const QList<QStringList> sheet = book.rowTexts();
    QCOMPARE(sheet.size(), 2 + rows.size());
    QCOMPARE(sheet[0], QStringList{"Ноябрь 2026"});
    QStringList headings{QStringLiteral("Фамилия И.О."), QString()};
    for (int d = 1; d <= 31; ++d)
        headings << QStringLiteral("#%1").arg(d);
    headings << QStringLiteral("Итого (ч.)") << QStringLiteral("Итого (р.)");
    if (mode != PieceworkView::General)
        headings << QStringLiteral("Час (р.)");
    QCOMPARE(sheet[1], headings);
    QVERIFY(book.at(2, 34).bold && book.at(2, 34).textFormat);
    QVERIFY(book.at(2, 3).bold && !book.at(2, 3).textFormat);
    QList<int> columns{1, 2, 4, 5, 7, 8, 9, 34, 35};
    if (mode != PieceworkView::General)
        columns << 36;
    QStringList got;
    for (int r = 0; r < rows.size(); ++r) {
        const QStringList &line = sheet[2 + r];
        QVERIFY(line.size() <= columns.last());
        QStringList picked;
        for (int c : columns)
            picked << line.value(c - 1);
        got << picked.join(QLatin1Char('|'));
    }
    QStringList expected;
    for (const QStringList &r : rows)
        expected << r.join(QLatin1Char('|'));
    std::sort(got.begin(), got.end());
    std::sort(expected.begin(), expected.end());
    QCOMPARE(got, expected);

    // The caption is "Excel" again when the window closes.
    w.finishMode();
    QCOMPARE(w.exportButton->text(), QStringLiteral("Excel"));
}

QTEST_MAIN(TestTimesheets)
#include "test_timesheets.moc"
