// The windows of the daily work: start-up, the login and its roles, the journal of the main window,
// deleting and accepting journal records.
#include "db/build_stamp.h"
#include "ui/control_look.h"
#include "ui/data_grid.h"
#include "db/data_module.h"
#include "app/login_window.h"
#include "journal/journal_window.h"
#include "ui/messages.h"
#include "app/startup.h"
#include "db/connection.h"
#include "db/dataset.h"
#include "db/decimal_text.h"
#include "records/day_cell_rule.h"
#include "tests/support/small_plant.h"
#include "tests/support/test_support.h"
#include "tests/support/window_helpers.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDateEdit>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QHelpEvent>
#include <QRadioButton>
#include <QScreen>
#include <QTimer>
#include <QToolTip>
#include <QtTest>

namespace {

const QColor green(0, 0x80, 0);
const QColor red(0xFF, 0, 0);

QColor okColour(JournalWindow &main, int row)
{
    auto *grid = main.findChild<DataGrid *>(QStringLiteral("DBGrid2"));
    const QModelIndex idx = grid->dataModel()->index(row, grid->columnOf(QStringLiteral("ok")));
    return grid->dataModel()->data(idx, Qt::ForegroundRole).value<QColor>();
}

} // namespace

// What every case starts from.
struct Fixture {
    TestDatabase db;
    SmallPlant p{db};
    std::unique_ptr<DataModule> module = db.connectModule();
};

class TestJournal : public QObject {
    Q_OBJECT
    std::unique_ptr<Fixture> m_fixture;

private slots:
    // Every case gets its own database with the small plant, and a data module connected to it.
    void init() { m_fixture = std::make_unique<Fixture>(); }
    void cleanup() { m_fixture.reset(); }
    void initTestCase() { installRussian(*qApp); }

    void versionGateStopsOutdatedCopy();
    void startUpWithoutServer();

    void loginRoles_data();
    void loginRoles();
    void loginRefused_data();
    void loginRefused();
    void loginCaptionShowsBuild();
    void loginShowsJournalAndClosingEnds();
    void loginEscapeEnds();

    void journalListsStates();
    void journalOrder();
    void longJournalShowsItsFirstRowsFirst_data();
    void longJournalShowsItsFirstRowsFirst();
    void journalWorkerMatchedTwice();
    void journalAmountsAndColours();
    void journalMoney_data();
    void journalMoney();
    void journalCutTextsInTooltips();
    void windowFitsScreen_data();
    void windowFitsScreen();
    void windowFitsTheScreenItOpensOn();
    void journalActivationAndDate();
    void journalModeSwitchSendsNothing();
    void journalReadErrorShown();
    void journalLostConnection_data();
    void journalLostConnection();
    void menuCarriesEveryItem();

    // Deleting and accepting records.
    void deleteAnsweredNo();
    void deleteAnsweredYes();
    void deleteCountsTheRecordsOwnDay();
    void deleteRefusedHalfWayKeepsTheRecord();
    void toggle_data();
    void toggle();
    void toggleByDoubleClickOnRow();
    void toggleByDoubleClickOnTitleRow();
    void toggleRefusedForShiftForeman();
    void emptyJournalIgnoresCommands();
    void serverRefusal_data();
    void serverRefusal();
};

void TestJournal::versionGateStopsOutdatedCopy()
{
    auto &[db, p, module] = *m_fixture;
    JournalWindow main(module.get());
    LoginWindow login(&main);
    ProgramEndCounter ends;
    Messages::MessageRecorder rec;

    main.runVersionGate();   // this build is recorded
    QCOMPARE(rec.shown.size(), 0);
    QCOMPARE(ends.count, 0);
    QCOMPARE(db.scalar(QStringLiteral("select d from accounts_dep.ver")).toInt(), main.buildDate);

    db.exec(QStringLiteral("update accounts_dep.ver set d=d+1"));   // a newer build ran elsewhere
    main.versionTimerTicked();
    QCOMPARE(rec.shown.size(), 1);
    QCOMPARE(rec.shown[0].title, QStringLiteral("Ошибка"));
    QCOMPARE(rec.shown[0].text, QStringLiteral("Версия программы не соответсвует БД! Запустите программу через 5 мин."));
    QCOMPARE(ends.count, 1);
    auto *endTimer = login.findChild<QTimer *>(QStringLiteral("Timer1"));
    QVERIFY(endTimer->isActive());
    QCOMPARE(endTimer->interval(), 5000);
    QTRY_COMPARE_WITH_TIMEOUT(ends.count, 2, 7000);   // the login timer ends it even unanswered
    QCOMPARE(main.findChild<QTimer *>(QStringLiteral("Timer1"))->interval(), 30000);
}

void TestJournal::startUpWithoutServer()
{
    Messages::MessageRecorder rec;
    // Nothing listens on this loopback address.
    const int code = runProgram(*qApp, {QStringLiteral("plant_db"), QStringLiteral("127.0.0.78")});
    QCOMPARE(code, 1);
    QCOMPARE(rec.shown.size(), 1);
    QCOMPARE(rec.shown[0].title, QStringLiteral("Ошибка!"));
    // The fixed line first, then what was tried and where it came from.
    const QStringList lines = rec.shown[0].text.split(QLatin1Char('\n'));
    QCOMPARE(lines.value(0), QStringLiteral("Подключение к БД отсутсвует!!!"));
    QCOMPARE(lines.value(1), QStringLiteral("Сервер: 127.0.0.78 (командная строка), база данных: plant_db (командная строка)."));
    QVERIFY(QApplication::topLevelWidgets().isEmpty()
            || std::none_of(QApplication::topLevelWidgets().begin(), QApplication::topLevelWidgets().end(),
                            [](QWidget *w) { return w->isVisible(); }));
}

void TestJournal::loginRoles_data()
{
    QTest::addColumn<QString>("typed");
    // Enabled: Добавить, Изменить, Удалить, radio buttons/Выходной/date/Обновить, grid, Справочники, Табель
    QTest::addColumn<QString>("enabled");
    QTest::newRow("administrator") << "61370452" << "1111111";
    QTest::newRow("administrator short code") << "6194" << "1111111";
    QTest::newRow("administrator with blanks") << "  61370452 " << "1111111";
    QTest::newRow("accountant") << "lumeno" << "0000000";
    QTest::newRow("shift foreman") << "gildert" << "1001100";
    QTest::newRow("storekeeper") << "vorny" << "0001100";
}

void TestJournal::loginRoles()
{
    auto &[db, _p, module] = *m_fixture;
    QFETCH(QString, typed);
    QFETCH(QString, enabled);
    JournalWindow main(module.get());
    LoginWindow login(&main);
    Messages::MessageRecorder rec;
    main.journalMode = 3;
    login.findChild<QLineEdit *>(QStringLiteral("Edit1"))->setText(typed);
    QVERIFY(login.applyLogin());
    QCOMPARE(rec.shown.size(), 0);
    QCOMPARE(main.journalMode, 1);
    QCOMPARE(main.loginText, typed.trimmed());

    auto on = [&](const char *name) { return main.findChild<QWidget *>(QString::fromLatin1(name))->isEnabled(); };
    const bool radios = on("RadioButton1") && on("RadioButton2") && on("RadioButton3") && on("RadioButton4");
    QCOMPARE(on("CBox1"), radios);
    QCOMPARE(on("DateT"), radios);
    QCOMPARE(on("Button8"), radios);
    const QString actual = QString::number(on("Button1")) + QString::number(on("Button2")) + QString::number(on("Button3"))
        + QString::number(radios) + QString::number(on("DBGrid2")) + QString::number(main.referenceMenu->isEnabled())
        + QString::number(main.timesheetMenu->isEnabled());
    QCOMPARE(actual, enabled);
    QVERIFY(on("Button4"));
    QVERIFY(on("Button5"));
    QVERIFY(main.reportsMenu->isEnabled());
    for (int mode = 1; mode <= 4; ++mode)
        QCOMPARE(module->journal(mode)->param(QStringLiteral("ok")).toString(), QStringLiteral("ta"));
}

void TestJournal::loginRefused_data()
{
    QTest::addColumn<QString>("typed");
    QTest::newRow("empty") << "";
    QTest::newRow("other case") << "LUMENO";
    QTest::newRow("unknown") << "password";
    QTest::newRow("part of a code") << "6137";
}

void TestJournal::loginRefused()
{
    auto &[db, _p, module] = *m_fixture;
    JournalWindow main(module.get());
    LoginWindow login(&main);
    Messages::MessageRecorder rec;
    auto *edit = login.findChild<QLineEdit *>(QStringLiteral("Edit1"));
    QFETCH(QString, typed);
    edit->setText(typed);
    QVERIFY(!login.applyLogin());
    QCOMPARE(rec.errors(), QStringList{QStringLiteral("Введены неверные данные.")});
    QCOMPARE(rec.shown[0].title, QStringLiteral("Ошибка"));
    QVERIFY(!main.timesheetMenu->isEnabled());
    QCOMPARE(edit->text(), typed);   // left as typed
    QCOMPARE(edit->echoMode(), QLineEdit::Password);
}

void TestJournal::loginCaptionShowsBuild()
{
    auto &[db, _p, module] = *m_fixture;
    JournalWindow main(module.get());
    LoginWindow login(&main);
    Messages::MessageRecorder rec;
    login.activate();
    const BuildStamp s = currentBuildStamp();
    QCOMPARE(login.windowTitle(), QStringLiteral("Авторизация (build: %1.%2)").arg(s.date).arg(s.time));
    QVERIFY(login.findChild<QPushButton *>(QStringLiteral("Button1"))->isDefault());
    QCOMPARE(login.findChild<QPushButton *>(QStringLiteral("Button2"))->text(), QStringLiteral("Отмена"));
}

void TestJournal::loginShowsJournalAndClosingEnds()
{
    auto &[db, _p, module] = *m_fixture;
    JournalWindow main(module.get());
    LoginWindow login(&main);
    ProgramEndCounter ends;
    Messages::MessageRecorder rec;
    login.show();
    login.findChild<QLineEdit *>(QStringLiteral("Edit1"))->setText(QStringLiteral("gildert"));
    bool journalWasShown = false;
    QTimer::singleShot(0, &main, [&] {
        journalWasShown = main.isVisible() && main.isModal() && !login.isVisible();
        main.findChild<QPushButton *>(QStringLiteral("Button4"))->click();   // "Выход"
    });
    login.logIn();
    QVERIFY(journalWasShown);
    QVERIFY(!main.isVisible());
    QVERIFY(!login.isVisible());
    QVERIFY(ends.count >= 1);
    QCOMPARE(rec.shown.size(), 0);
    QVERIFY(module->journalShift1->isOpen());   // the journal was read on showing
}

void TestJournal::loginEscapeEnds()
{
    auto &[db, _p, module] = *m_fixture;
    JournalWindow main(module.get());
    LoginWindow login(&main);
    ProgramEndCounter ends;
    login.show();
    QTest::keyClick(&login, Qt::Key_Escape);
    QVERIFY(!login.isVisible());
    QCOMPARE(ends.count, 1);
}

void TestJournal::journalListsStates()
{
    auto &[db, p, module] = *m_fixture;
    const QDate day(2026, 11, 4);
    db.addRecord(p.ivanov, p.ring, p.ringTurning, day, 1, 10, 0, 5, 8, QStringLiteral("no"));
    db.addRecord(p.petrov, p.ring, p.ringTurning, day, 1, 10, 0, 5, 8, QStringLiteral("да"));
    db.addRecord(p.ivanov, p.axle, p.axleTurning, day, 1, 10, 0, 5, 8, QStringLiteral("ta"));
    db.addRecord(p.ivanov, p.axle, p.axlePainting, day, 1, 10, 0, 5, 8, QString());
    db.addRecord(p.petrov, p.axle, p.axlePainting, day.addDays(1), 1, 10, 0, 5, 8, QStringLiteral("ok"));
    JournalWindow main(module.get());
    prepareJournals(*module);
    main.setJournalDate(day);
    main.readJournals();
    QCOMPARE(column(module->journalShift1, QStringLiteral("fio")), (QStringList{"Иванов И.И.", "Петров П.П."}));
    QCOMPARE(column(module->journalShift1, QStringLiteral("ok")), (QStringList{"no", "да"}));
}

void TestJournal::journalOrder()
{
    auto &[db, p, module] = *m_fixture;
    const QDate day(2026, 11, 4);
    // Shift 1 orders by worker, mark, kind, product kind and colour.
    db.addRecord(p.ivanov, p.axle, p.axlePainting, day, 1, 1, 0, 1, 1, QStringLiteral("no"), 7);
    db.addRecord(p.ivanov, p.axle, p.axlePainting, day, 1, 1, 0, 1, 1, QStringLiteral("no"), 3);
    db.addRecord(p.ivanov, p.axle, p.axleTurning, day, 1, 1, 0, 1, 1);
    db.addRecord(p.ivanov, p.ring, p.ringTurning, day, 1, 1, 0, 1, 1);
    db.addRecord(p.petrov, p.ring, p.ringTurning, day, 2, 1, 0, 1, 1);
    db.addRecord(p.ivanov, p.ring, p.ringTurning, day, 2, 1, 0, 1, 1);
    db.addRecord(p.ivanov, p.ring, p.ringTurning, day, 3, 1, 0, 1, 1);
    db.addRecord(p.petrov, p.ring, p.ringTurning, day, 4, 1, 0, 1, 1);
    JournalWindow main(module.get());
    prepareJournals(*module);
    main.setJournalDate(day);
    main.readJournals();
    QCOMPARE(column(module->journalShift1, QStringLiteral("marka")), (QStringList{"Кольцо 20", "Ось 40х120", "Ось 40х120", "Ось 40х120"}));
    QCOMPARE(column(module->journalShift1, QStringLiteral("vid")), (QStringList{"Токарная", "Окраска", "Окраска", "Токарная"}));
    QCOMPARE(column(module->journalShift1, QStringLiteral("color")), (QStringList{"0", "3", "7", "0"}));
    QCOMPARE(column(module->journalShift2, QStringLiteral("fio")), (QStringList{"Иванов И.И.", "Петров П.П."}));
    QCOMPARE(module->journalShift3->recordCount(), 1);
    QCOMPARE(column(module->journalOvertime, QStringLiteral("fio")), QStringList{"Петров П.П."});
    QCOMPARE(column(module->journalShift2, QStringLiteral("nmn")), (QStringList{"Готовая продукция", "Готовая продукция"}));
}

void TestJournal::longJournalShowsItsFirstRowsFirst_data()
{
    QTest::addColumn<int>("records");
    QTest::addColumn<bool>("early");
    // A long day of a large plant: the grid on the screen gets the first rows before the rest is
    // read, with the window painting meanwhile.
    QTest::newRow("long") << JournalWindow::JournalLongResult + 17 << true;
    // A shorter one is read whole first and painted once.
    QTest::newRow("not long") << JournalWindow::JournalLongResult << false;
}

// The journal on the screen is read before the other three, and only it paints its first rows
// early; the others, however long, are read whole before anything paints again.
void TestJournal::longJournalShowsItsFirstRowsFirst()
{
    QFETCH(int, records);
    QFETCH(bool, early);
    auto &[db, p, module] = *m_fixture;
    const QDate day(2026, 11, 4);
    for (int shift : {1, 2})
        db.exec(QStringLiteral("insert into accounts_dep.smena (data, smena, w_id, o_id, i_id, kol_vo, brak, cena, \"time\", ok, color) "
                               "select '%1', %6, %2, %3, %4, n, 0, 1, 1, 'no', n from generate_series(1, %5) n")
                    .arg(day.toString(Qt::ISODate)).arg(p.ivanov).arg(p.ringTurning).arg(p.ring).arg(records).arg(shift));
    JournalWindow main(module.get());
    prepareJournals(*module);
    main.setJournalDate(day);
    main.findChild<QRadioButton *>(QStringLiteral("RadioButton2"))->setChecked(true);
    auto *grid = main.findChild<DataGrid *>(QStringLiteral("DBGrid2"));
    QCOMPARE(grid->dataSet(), module->journalShift2);

    QList<int> shownRows, otherRows;
    QList<DataSet *> order;
    connect(module->journalShift2, &DataSet::rowsReset, this, [&] {
        if (module->journalShift2->isOpen())
            shownRows << grid->dataModel()->rowCount();
    });
    connect(module->journalShift1, &DataSet::rowsReset, this, [&] {
        if (module->journalShift1->isOpen())
            otherRows << module->journalShift1->recordCount();
    });
    for (DataSet *j : {module->journalShift1, module->journalShift2, module->journalShift3, module->journalOvertime})
        connect(j, &DataSet::rowsReset, this, [&order, j] {
            if (j->isOpen() && !order.contains(j))
                order << j;
        });
    main.readJournals();
    const QList<int> expected = early ? QList<int>{JournalWindow::JournalFirstRows, records} : QList<int>{records};
    QCOMPARE(shownRows, expected);
    QCOMPARE(otherRows, QList<int>{records});
    QCOMPARE(order.value(0), module->journalShift2);
    QCOMPARE(order.size(), 4);
    // Once read, the journal is whole and starts on its first row.
    QCOMPARE(module->journalShift2->recordCount(), records);
    QCOMPARE(module->journalShift2->recNo(), 1);
    QCOMPARE(module->journalShift1->recordCount(), records);
}

void TestJournal::journalWorkerMatchedTwice()
{
    auto &[db, p, module] = *m_fixture;
    const QDate day(2026, 11, 4);
    // Another person of the accounting software carries the worker's id as its code.
    db.exec(QStringLiteral("insert into cmn_contractor.person(s_caption, s_code) values('Сидоров С.С.', '%1')").arg(p.ivanov));
    db.addRecord(p.ivanov, p.ring, p.ringTurning, day, 1, 1, 0, 1, 1);
    db.addRecord(p.ivanov, p.ring, p.ringTurning, day, 2, 1, 0, 1, 1);
    JournalWindow main(module.get());
    prepareJournals(*module);
    main.setJournalDate(day);
    main.readJournals();
    QCOMPARE(column(module->journalShift1, QStringLiteral("fio")), (QStringList{"Иванов И.И.", "Сидоров С.С."}));
    QCOMPARE(column(module->journalShift2, QStringLiteral("fio")), (QStringList{"Иванов И.И.", "Сидоров С.С."}));
}

void TestJournal::journalAmountsAndColours()
{
    auto &[db, p, module] = *m_fixture;
    const QDate day(2026, 11, 4);
    db.addRecord(p.ivanov, p.ring, p.ringTurning, day, 1, 12, 2, 12.3457, 8, QStringLiteral("no"));
    db.addRecord(p.petrov, p.ring, p.ringTurning, day, 1, 3, 5, 10, 8, QStringLiteral("да"));
    JournalWindow main(module.get());
    prepareJournals(*module);
    main.setJournalDate(day);
    main.readJournals();
    auto *grid = main.findChild<DataGrid *>(QStringLiteral("DBGrid2"));
    DataSetModel *model = grid->dataModel();
    QCOMPARE(model->rowCount(), 2);
    // (12 - 2) x 12.3457 rounded to 2 decimals, shown with the Russian separator.
    QCOMPARE(model->displayText(0, QStringLiteral("summa")), QStringLiteral("123,46"));
    QCOMPARE(model->displayText(1, QStringLiteral("summa")), QStringLiteral("-20,00"));   // rejects above quantity
    QCOMPARE(module->journalShift1->valueAt(0, QStringLiteral("summa")).toString(), QStringLiteral("123.46"));
    const int ok = grid->columnOf(QStringLiteral("ok"));
    QCOMPARE(model->data(model->index(0, ok), Qt::ForegroundRole).value<QColor>(), QColor(255, 0, 0));
    QCOMPARE(model->data(model->index(1, ok), Qt::ForegroundRole).value<QColor>(), QColor(0, 128, 0));
    QVERIFY(model->data(model->index(1, ok), Qt::FontRole).value<QFont>().bold());
    QVERIFY(!model->data(model->index(1, 0), Qt::ForegroundRole).isValid());
    QCOMPARE(model->headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("Фамилия И.О."));
    QVERIFY(grid->isColumnHidden(grid->columnOf(QStringLiteral("prize"))));
    QCOMPARE(grid->columnWidth(0), 250);
    QCOMPARE(grid->columnWidth(ok), 37);
}

// Money as an accountant reads it: two decimals, the Russian separator, to the right.
void TestJournal::journalMoney_data()
{
    QTest::addColumn<QString>("exact");    // as the server could hand it over
    QTest::addColumn<int>("qty");          // a record whose amount is that value
    QTest::addColumn<int>("rejects");
    QTest::addColumn<double>("price");
    QTest::addColumn<QString>("shown");
    QTest::newRow("zero") << "0" << 0 << 0 << 5.0 << "0,00";
    QTest::newRow("half") << "0.5" << 1 << 0 << 0.5 << "0,50";
    QTest::newRow("whole") << "1078" << 7 << 0 << 154.0 << "1078,00";
    QTest::newRow("one decimal") << "445.5" << 9 << 0 << 49.5 << "445,50";
    QTest::newRow("three decimals") << "282.754" << 1 << 0 << 282.754 << "282,75";
    QTest::newRow("negative") << "-21.6" << 0 << 2 << 10.8 << "-21,60";
}

void TestJournal::journalMoney()
{
    QFETCH(QString, exact);
    QFETCH(int, qty);
    QFETCH(int, rejects);
    QFETCH(double, price);
    QFETCH(QString, shown);
    QCOMPARE(moneyText(exact), shown);

    auto &[db, p, module] = *m_fixture;
    const QDate day(2026, 11, 4);
    db.addRecord(p.ivanov, p.ring, p.ringTurning, day, 1, qty, rejects, price, 8);
    JournalWindow main(module.get());
    prepareJournals(*module);
    main.setJournalDate(day);
    main.readJournals();
    auto *grid = main.findChild<DataGrid *>(QStringLiteral("DBGrid2"));
    const QModelIndex summa = grid->dataModel()->index(0, grid->columnOf(QStringLiteral("summa")));
    QCOMPARE(summa.data(Qt::DisplayRole).toString(), shown);
    QCOMPARE(Qt::Alignment(summa.data(Qt::TextAlignmentRole).toInt()) & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    // Pieces stay whole numbers.
    QCOMPARE(grid->dataModel()->displayText(0, QStringLiteral("kol_vo")), QString::number(qty));
}

void TestJournal::journalCutTextsInTooltips()
{
    auto &[db, p, module] = *m_fixture;
    const QDate day(2026, 11, 4);
    const QString mark = QStringLiteral("Кольцо уплотнительное двухстороннее 120x80 с фаской");
    const int product = db.addProduct(mark);
    const int price = db.addPrice(p.turning, product);
    const int id = db.addRecord(p.ivanov, product, price, day, 1, 1, 0, 1, 8);
    db.exec(QStringLiteral("update accounts_dep.smena set vvod='2026-12-10 14:30:00' where id=%1").arg(id));
    JournalWindow main(module.get());
    prepareJournals(*module);
    main.setJournalDate(day);
    main.readJournals();
    auto *grid = main.findChild<DataGrid *>(QStringLiteral("DBGrid2"));
    const auto at = [&](const char *field) { return grid->dataModel()->index(0, grid->columnOf(QLatin1String(field))); };
    QCOMPARE(grid->cutText(at("marka")), mark);
    QCOMPARE(grid->cutText(at("vvod")), QStringLiteral("10.12.2026 14:30:00"));
    QCOMPARE(grid->cutText(at("fio")), QString());
    QCOMPARE(grid->cutText(at("ok")), QString());

    // Hovering shows the whole text; over a text shown whole no tooltip comes up.
    main.show();
    const auto hover = [&](const QModelIndex &index) {
        const QRect cell = grid->visualRect(index);
        QHelpEvent help(QEvent::ToolTip, cell.center(), grid->viewport()->mapToGlobal(cell.center()));
        QStyleOptionViewItem option;
        option.rect = cell;
        grid->itemDelegate()->helpEvent(&help, grid, option, index);
    };
    hover(at("marka"));
    QVERIFY(QToolTip::isVisible());
    QCOMPARE(QToolTip::text(), mark);
    hover(at("fio"));
    QTRY_VERIFY(!QToolTip::isVisible());
    main.hide();
}

// The journal where it opens on a common workstation screen, its window manager's frame around it.
void TestJournal::windowFitsScreen_data()
{
    QTest::addColumn<QRect>("available");
    QTest::addColumn<QSize>("size");   // of the window itself, without the frame of 4, 28, 4, 4
    QTest::newRow("1024 x 768") << QRect(0, 0, 1024, 768) << QSize(1016, 650);
    QTest::newRow("1024 x 768, panel below") << QRect(0, 0, 1024, 740) << QSize(1016, 650);
    QTest::newRow("1280 x 800") << QRect(0, 0, 1280, 800) << QSize(1272, 650);
    QTest::newRow("1920 x 1080") << QRect(0, 0, 1920, 1080) << QSize(1300, 650);
    QTest::newRow("1024 x 600 netbook") << QRect(0, 0, 1024, 600) << QSize(1016, 568);
}

void TestJournal::windowFitsScreen()
{
    QFETCH(QRect, available);
    QFETCH(QSize, size);
    const QMargins frame(4, 28, 4, 4);
    const QRect opens = fittedGeometry(QSize(1300, 650), available, frame);
    QCOMPARE(opens.size(), size);
    QVERIFY(available.contains(opens.marginsAdded(frame)));

    auto &[db, p, module] = *m_fixture;
    db.addRecord(p.ivanov, p.ring, p.ringTurning, QDate::currentDate(), 1, 1, 0, 1, 8);
    JournalWindow main(module.get());
    prepareJournals(*module);
    main.readJournals();
    main.setGeometry(opens);
    main.show();
    QApplication::processEvents();
    // Every column, "Брак" to "Заведен", and the "Выход" button in sight.
    const QStringList hidden = outOfSight(&main, available, frame);
    QVERIFY2(hidden.isEmpty(), qPrintable(hidden.join(QLatin1Char('\n'))));
    // A larger window gives its room to the text columns; the number columns keep their widths.
    auto *grid = main.findChild<DataGrid *>(QStringLiteral("DBGrid2"));
    QCOMPARE(grid->columnWidth(grid->columnOf(QStringLiteral("summa"))), 78);
    QCOMPARE(grid->columnWidth(grid->columnOf(QStringLiteral("ok"))), 37);
    const int fio = grid->columnWidth(grid->columnOf(QStringLiteral("fio")));
    QVERIFY2(size.width() < 1300 ? fio < 250 : fio == 250, qPrintable(QString::number(fio)));
    main.hide();
}

// The real call: the journal moved onto the tests' small 1024 x 768 screen shrinks to it at once.
void TestJournal::windowFitsTheScreenItOpensOn()
{
    QScreen *small = nullptr;
    for (QScreen *s : QGuiApplication::screens())
        if (s->geometry().width() == 1024)
            small = s;
    QVERIFY2(small, "the tests' screens are set up in tests/support/offscreen_screens.json");
    auto &[db, p, module] = *m_fixture;
    JournalWindow main(module.get());
    QCOMPARE(main.size(), QSize(1300, 650));
    QVERIFY(main.windowFlags() & Qt::WindowMaximizeButtonHint);
    main.move(small->geometry().topLeft() + QPoint(40, 40));
    main.show();
    QCOMPARE(main.screen(), small);
    const QRect available = small->availableGeometry();
    QTRY_VERIFY2(available.contains(main.frameGeometry()),
                 qPrintable(QStringLiteral("%1x%2").arg(main.frameGeometry().width()).arg(main.frameGeometry().height())));
    QCOMPARE(main.height(), 650);
    const QStringList hidden = outOfSight(&main, available);
    QVERIFY2(hidden.isEmpty(), qPrintable(hidden.join(QLatin1Char('\n'))));
    // Maximised, it takes the screen, and its grid the room.
    main.showMaximized();
    QTRY_COMPARE(main.frameGeometry().width(), available.width());
    main.hide();
}

void TestJournal::journalActivationAndDate()
{
    auto &[db, p, module] = *m_fixture;
    const QDate today = QDate::currentDate();
    const QDate saturday = today.addDays(Qt::Saturday - today.dayOfWeek());
    const QDate wednesday = saturday.addDays(-3);
    db.addRecord(p.ivanov, p.ring, p.ringTurning, today, 1, 1, 0, 1, 1);
    db.addRecord(p.ivanov, p.ring, p.ringTurning, saturday.addDays(-7), 1, 1, 0, 1, 1);
    db.addRecord(p.petrov, p.ring, p.ringTurning, saturday.addDays(-7), 1, 1, 0, 1, 1);
    JournalWindow main(module.get());
    prepareJournals(*module);
    auto *dayOff = main.findChild<QCheckBox *>(QStringLiteral("CBox1"));
    auto *picker = main.findChild<QDateEdit *>(QStringLiteral("DateT"));

    main.setJournalDate(saturday.addDays(-7));
    main.dateChosen();
    QCOMPARE(module->journalShift1->recordCount(), 2);
    QVERIFY(dayOff->isChecked());
    QVERIFY(dayOff->font().bold());
    QCOMPARE(dayOff->palette().color(QPalette::Window), QColor(255, 0, 0));

    main.setJournalDate(wednesday);
    main.dateChosen();
    QVERIFY(!dayOff->isChecked());
    QVERIFY(!dayOff->font().bold());

    // Enter in the date picker re-reads; typing alone does not.
    main.setJournalDate(saturday.addDays(-7));
    QCOMPARE(module->journalShift1->recordCount(), wednesday == today ? 1 : 0);
    QTest::keyClick(picker, Qt::Key_Return);
    QCOMPARE(module->journalShift1->recordCount(), 2);

    main.activate();
    QCOMPARE(picker->date(), today);
    QCOMPARE(module->journalShift1->recordCount(), 1);
    const bool weekend = today.dayOfWeek() >= Qt::Saturday;
    if (weekend)
        QVERIFY(dayOff->isChecked());
}

void TestJournal::journalModeSwitchSendsNothing()
{
    auto &[db, p, module] = *m_fixture;
    const QDate day(2026, 11, 4);
    db.addRecord(p.ivanov, p.ring, p.ringTurning, day, 1, 1, 0, 1, 1);
    db.addRecord(p.ivanov, p.ring, p.ringTurning, day, 4, 1, 0, 1, 1);
    JournalWindow main(module.get());
    prepareJournals(*module);
    main.setJournalDate(day);
    main.readJournals();
    auto *grid = main.findChild<DataGrid *>(QStringLiteral("DBGrid2"));
    // Rows added elsewhere after the read do not show until the journal is read again.
    db.addRecord(p.petrov, p.ring, p.ringTurning, day, 4, 1, 0, 1, 1);
    main.findChild<QRadioButton *>(QStringLiteral("RadioButton4"))->setChecked(true);
    QCOMPARE(main.journalMode, 4);
    QCOMPARE(grid->dataSet(), module->journalOvertime);
    QCOMPARE(grid->dataModel()->rowCount(), 1);
    auto *r4 = main.findChild<QRadioButton *>(QStringLiteral("RadioButton4"));
    auto *r1 = main.findChild<QRadioButton *>(QStringLiteral("RadioButton1"));
    QVERIFY(r4->font().bold());
    QCOMPARE(r4->palette().color(QPalette::Window), QColor(0, 128, 0));
    QVERIFY(!r1->font().bold());
    r1->setChecked(true);
    QCOMPARE(main.journalMode, 1);
    QCOMPARE(grid->dataSet(), module->journalShift1);
    main.reread();
    QCOMPARE(module->journalOvertime->recordCount(), 2);
    QCOMPARE(main.journalDate(), day);
}

void TestJournal::journalReadErrorShown()
{
    auto &[db, _p, module] = *m_fixture;
    JournalWindow main(module.get());
    Messages::MessageRecorder rec;
    // Without the login's state parameter the statement cannot run; the error reaches the user.
    module->journalShift1->setSql(module->journalShift1->sql() + QStringLiteral(" limit nonsense"));
    main.activate();
    QCOMPARE(rec.shown.size(), 1);
    QCOMPARE(rec.shown[0].kind, Messages::Shown::Error);
    QVERIFY(!module->journalShift1->isOpen());
}

void TestJournal::journalLostConnection_data()
{
    QTest::addColumn<bool>("button");   // "Обновить" instead of the window's activation
    QTest::newRow("activation") << false;
    QTest::newRow("Обновить") << true;
}

// The server ends the program's session: the next re-read of the journal says once that the
// connection was lost and shows an empty grid; the one after reconnects without asking and shows
// the journal's rows again.
void TestJournal::journalLostConnection()
{
    auto &[db, p, module] = *m_fixture;
    QFETCH(bool, button);
    const QDate today = QDate::currentDate();
    p.record(p.ivanov, today, 1, 8);
    p.record(p.petrov, today, 1, 4);
    JournalWindow main(module.get());
    prepareJournals(*module);
    Messages::MessageRecorder rec;
    main.activate();
    auto *grid = main.findChild<DataGrid *>(QStringLiteral("DBGrid2"));
    QCOMPARE(grid->dataModel()->rowCount(), 2);
    const auto reread = [&] {
        if (button)
            main.findChild<QPushButton *>(QStringLiteral("Button8"))->click();
        else
            main.activate();
    };

    const int pid = module->lookUp(QStringLiteral("select pg_backend_pid() as pid"), QStringLiteral("pid")).toInt();
    db.exec(QStringLiteral("select pg_terminate_backend(%1)").arg(pid));
    reread();
    QCOMPARE(rec.shown.size(), 1);
    QCOMPARE(rec.shown[0].kind, Messages::Shown::Error);
    const QStringList lines = rec.shown[0].text.split(QLatin1Char('\n'));
    QCOMPARE(lines.value(0), QStringLiteral("Не удалось прочитать журнал."));
    QCOMPARE(lines.value(1), Connection::lostText());
    QCOMPARE(grid->dataModel()->rowCount(), 0);

    rec.clear();
    reread();
    QVERIFY2(rec.shown.isEmpty(), qPrintable(rec.texts().join(u'|')));
    QCOMPARE(column(module->journalShift1, QStringLiteral("fio")), (QStringList{"Иванов И.И.", "Петров П.П."}));
    QCOMPARE(grid->dataModel()->rowCount(), 2);
    QVERIFY(module->lookUp(QStringLiteral("select pg_backend_pid() as pid"), QStringLiteral("pid")).toInt() != pid);
}

void TestJournal::menuCarriesEveryItem()
{
    auto &[db, _p, module] = *m_fixture;
    JournalWindow main(module.get());
    auto texts = [](QMenu *m) {
        QStringList out;
        // The captions as read; the letters of their keys are checked with the keys themselves.
        for (QAction *a : m->actions())
            out << QString(a->text()).remove(QLatin1Char('&'));
        return out;
    };
    QCOMPARE(texts(main.referenceMenu), (QStringList{"Рабочие", "Изделия", "Цены", "Операции", "Внеурочное"}));
    QCOMPARE(texts(main.timesheetMenu), (QStringList{"Табель сделка", "Табель по сменам", "Табель хоз. работ", "Табель ср. сдельная", "Общий табель"}));
    QCOMPARE(texts(main.reportsMenu), QStringList{"Сводные отчеты"});
    QVERIFY(main.findChild<QAction *>(QStringLiteral("MenuExit")));
    QCOMPARE(main.windowTitle(), QStringLiteral("Табель"));
    const char *buttons[][2] = {{"Button1", "Добавить"}, {"Button2", "Изменить"}, {"Button3", "Удалить"},
                                {"Button8", "Обновить"}, {"Button5", "Ср.сд./хоз. работы"}, {"Button4", "Выход"}};
    for (auto &b : buttons)
        QCOMPARE(main.findChild<QPushButton *>(QString::fromLatin1(b[0]))->text(), QString::fromUtf8(b[1]));
}

void TestJournal::deleteAnsweredNo()
{
    auto &[db, p, module] = *m_fixture;
    const QDate day(2026, 3, 5);
    p.record(p.ivanov, day, 1, 8);
    p.record(p.petrov, day, 1, 3);
    p.record(p.sidorov, day, 1, 5);
    DayCellRule(*module).recomputeAfterSave(p.petrov, day, 1);
    JournalWindow main(module.get());
    prepareJournals(*module);
    main.setJournalDate(day);
    main.readJournals();
    module->journalShift1->setRecNo(2);

    Messages::MessageRecorder rec;
    rec.answers << false;
    main.findChild<QPushButton *>(QStringLiteral("Button3"))->click();
    QCOMPARE(rec.shown.size(), 1);
    QCOMPARE(rec.shown[0].kind, Messages::Shown::Question);
    QCOMPARE(rec.shown[0].title, QStringLiteral("Удаление"));
    QCOMPARE(rec.shown[0].text, QStringLiteral("Удалить позицию из списка?"));
    QCOMPARE(main.currentJournal, module->journalShift1);
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from accounts_dep.smena")).toInt(), 3);
    QCOMPARE(module->journalShift1->recordCount(), 3);
    QCOMPARE(module->journalShift1->recNo(), 1);
    QCOMPARE(db.timesheetLines(p.petrov), QStringList{"1 3.2026 0 0: d5=3"});
}

void TestJournal::deleteAnsweredYes()
{
    auto &[db, p, module] = *m_fixture;
    const QDate day(2026, 3, 5);
    DayCellRule rule(*module);
    // Ivanov: 6 hours on the 4th in shift 2, and 8 on the 5th (an accepted record).
    p.record(p.ivanov, day.addDays(-1), 2, 6);
    rule.recomputeAfterSave(p.ivanov, day.addDays(-1), 2);
    const int accepted = p.record(p.ivanov, day, 2, 8, QStringLiteral("ok"));
    rule.recomputeAfterSave(p.ivanov, day, 2);
    p.record(p.petrov, day, 2, 3);
    rule.recomputeAfterSave(p.petrov, day, 2);
    JournalWindow main(module.get());
    prepareJournals(*module);
    main.findChild<QRadioButton *>(QStringLiteral("RadioButton2"))->setChecked(true);
    main.setJournalDate(day);
    main.readJournals();
    QVERIFY(module->journalShift2->locate(QStringLiteral("id"), accepted));

    Messages::MessageRecorder rec;
    rec.answers << true;
    main.deleteRecord();
    QCOMPARE(rec.texts(), QStringList{"Удалить позицию из списка?"});
    QCOMPARE(main.currentJournal, module->journalShift2);
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from accounts_dep.smena where id=%1").arg(accepted)).toInt(), 0);
    QCOMPARE(column(module->journalShift2, QStringLiteral("fio")), QStringList{"Петров П.П."});
    QCOMPARE(module->journalShift2->recNo(), 1);
    QCOMPARE(db.timesheetLines(p.ivanov), QStringList{"2 3.2026 0 0: d4=6"});
    QCOMPARE(db.timesheetLines(p.petrov), QStringList{"2 3.2026 0 0: d5=3"});
}

// The date picker holds a typed date that was never read into the journal: the deleted record
// still leaves the cell of its own day.
void TestJournal::deleteCountsTheRecordsOwnDay()
{
    auto &[db, p, module] = *m_fixture;
    const QDate day(2026, 3, 5);
    p.record(p.ivanov, day, 1, 8);
    DayCellRule(*module).recomputeAfterSave(p.ivanov, day, 1);
    JournalWindow main(module.get());
    prepareJournals(*module);
    main.setJournalDate(day);
    main.readJournals();
    main.setJournalDate(day.addDays(1));

    Messages::MessageRecorder rec;
    rec.answers << true;
    main.deleteRecord();
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from accounts_dep.smena")).toInt(), 0);
    QCOMPARE(db.timesheetLines(p.ivanov), QStringList());
}

// The record goes, but its day cell cannot be written: the deletion is taken back whole, the user
// reads the server's text after what failed, and the journal still lists the record.
void TestJournal::deleteRefusedHalfWayKeepsTheRecord()
{
    auto &[db, p, module] = *m_fixture;
    const QDate day(2026, 3, 5);
    const int id = p.record(p.ivanov, day, 1, 8);
    p.record(p.ivanov, day.addDays(1), 1, 4);
    DayCellRule rule(*module);
    rule.recomputeAfterSave(p.ivanov, day, 1);
    rule.recomputeAfterSave(p.ivanov, day.addDays(1), 1);
    JournalWindow main(module.get());
    prepareJournals(*module);
    main.setJournalDate(day);
    main.readJournals();
    refuseStatements(db, QStringLiteral("accounts_dep.h_tabel"), QStringLiteral("update"), QStringLiteral("Табель закрыт"));

    Messages::MessageRecorder rec;
    rec.answers << true;
    main.findChild<QPushButton *>(QStringLiteral("Button3"))->click();
    QCOMPARE(rec.errors().size(), 1);
    QVERIFY2(rec.errors()[0].startsWith(QStringLiteral("Не удалось удалить запись.\n")), qPrintable(rec.errors()[0]));
    QVERIFY2(rec.errors()[0].contains(QStringLiteral("Табель закрыт")), qPrintable(rec.errors()[0]));
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from accounts_dep.smena where id=%1").arg(id)).toInt(), 1);
    QCOMPARE(db.timesheetLines(p.ivanov), QStringList{"1 3.2026 0 0: d5=8 d6=4"});
    QCOMPARE(column(module->journalShift1, QStringLiteral("fio")), QStringList{"Иванов И.И."});
    // The program goes on: the next command works.
    dropRefusal(db, QStringLiteral("accounts_dep.h_tabel"), QStringLiteral("update"));
    rec.answers << true;
    main.deleteRecord();
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from accounts_dep.smena where id=%1").arg(id)).toInt(), 0);
    QCOMPARE(db.timesheetLines(p.ivanov), QStringList{"1 3.2026 0 0: d6=4"});
}

void TestJournal::toggle_data()
{
    QTest::addColumn<QString>("state");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::newRow("no -> ok -> no") << "no" << "ok" << "no";
    QTest::newRow("да -> no -> ok") << "да" << "no" << "ok";
    QTest::newRow("ok -> no -> ok") << "ok" << "no" << "ok";
    QTest::newRow("other value -> ok -> no") << "x" << "ok" << "no";
}

void TestJournal::toggle()
{
    auto &[db, p, module] = *m_fixture;
    QFETCH(QString, state);
    QFETCH(QString, first);
    QFETCH(QString, second);
    const QDate day(2026, 3, 5);
    p.record(p.ivanov, day, 4, 8, QStringLiteral("no"));
    const int id = p.record(p.petrov, day, 4, 8, state);
    p.record(p.sidorov, day, 4, 8, QStringLiteral("ok"));
    DayCellRule(*module).recomputeAfterSave(p.petrov, day, 4);
    JournalWindow main(module.get());
    main.loginText = QStringLiteral("6194");
    prepareJournals(*module);
    main.modeChosen(4);
    main.setJournalDate(day);
    main.readJournals();
    module->journalOvertime->setRecNo(2);

    Messages::MessageRecorder rec;
    const auto stateOf = [&] {
        return db.scalar(QStringLiteral("select trim(ok) from accounts_dep.smena where id=%1").arg(id)).toString();
    };
    const auto colourOf = [](const QString &s) { return s == QLatin1String("ok") ? green : red; };
    for (const QString &expected : {first, second}) {
        main.toggleState();
        QCOMPARE(stateOf(), expected);
        QCOMPARE(main.currentJournal, module->journalOvertime);
        QCOMPARE(module->journalOvertime->recNo(), 2);
        QCOMPARE(module->journalOvertime->text(QStringLiteral("ok")).trimmed(), expected);
        QCOMPARE(okColour(main, 1), colourOf(expected));
    }
    QCOMPARE(column(module->journalOvertime, QStringLiteral("ok")), (QStringList{"no", second, "ok"}));
    QCOMPARE(okColour(main, 0), red);
    QCOMPARE(okColour(main, 2), green);
    QCOMPARE(rec.shown.size(), 0);
    // The timesheet does not depend on the state.
    QCOMPARE(db.timesheetLines(p.petrov), QStringList{"4 3.2026 0 0: d5=8"});
}

void TestJournal::toggleByDoubleClickOnRow()
{
    auto &[db, p, module] = *m_fixture;
    const QDate day(2026, 3, 5);
    p.record(p.ivanov, day, 1, 8);
    const int id = p.record(p.petrov, day, 1, 8);
    JournalWindow main(module.get());
    prepareJournals(*module);
    main.setJournalDate(day);
    main.readJournals();
    main.show();
    QVERIFY(QTest::qWaitForWindowExposed(&main));
    auto *grid = main.findChild<DataGrid *>(QStringLiteral("DBGrid2"));
    const QRect cell = grid->visualRect(grid->dataModel()->index(1, 0));
    // A double-click arrives as a press and a release, then the double-click itself.
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
    QCOMPARE(db.scalar(QStringLiteral("select trim(ok) from accounts_dep.smena where id=%1").arg(id)).toString(), QStringLiteral("ok"));
    QCOMPARE(module->journalShift1->recNo(), 2);
    QCOMPARE(okColour(main, 1), green);
}

void TestJournal::toggleByDoubleClickOnTitleRow()
{
    auto &[db, p, module] = *m_fixture;
    const QDate day(2026, 3, 5);
    p.record(p.ivanov, day, 1, 8);
    const int id = p.record(p.petrov, day, 1, 8);
    JournalWindow main(module.get());
    prepareJournals(*module);
    main.setJournalDate(day);
    main.readJournals();
    main.show();
    QVERIFY(QTest::qWaitForWindowExposed(&main));
    module->journalShift1->setRecNo(2);
    auto *grid = main.findChild<DataGrid *>(QStringLiteral("DBGrid2"));
    QHeaderView *titles = grid->horizontalHeader();
    const QPoint title(titles->sectionViewportPosition(0) + 10, titles->height() / 2);
    QTest::mouseDClick(titles->viewport(), Qt::LeftButton, {}, title);
    QCOMPARE(db.scalar(QStringLiteral("select trim(ok) from accounts_dep.smena where id=%1").arg(id)).toString(), QStringLiteral("ok"));
    QCOMPARE(module->journalShift1->recNo(), 2);
}

void TestJournal::toggleRefusedForShiftForeman()
{
    auto &[db, p, module] = *m_fixture;
    const QDate day(2026, 3, 5);
    p.record(p.ivanov, day, 1, 8, QStringLiteral("no"));
    p.record(p.petrov, day, 1, 8, QStringLiteral("ok"));
    JournalWindow main(module.get());
    main.loginText = QStringLiteral("gildert");
    prepareJournals(*module);
    main.setJournalDate(day);
    main.readJournals();
    Messages::MessageRecorder rec;
    for (int row = 1; row <= 2; ++row) {
        module->journalShift1->setRecNo(row);
        main.toggleState();
        QCOMPARE(module->journalShift1->recNo(), row);
    }
    QCOMPARE(column(module->journalShift1, QStringLiteral("ok")), (QStringList{"no", "ok"}));
    QCOMPARE(db.scalar(QStringLiteral("select string_agg(trim(ok), ',' order by id) from accounts_dep.smena")).toString(),
             QStringLiteral("no,ok"));
    QCOMPARE(rec.shown.size(), 0);
}

void TestJournal::emptyJournalIgnoresCommands()
{
    auto &[db, p, module] = *m_fixture;
    const QDate day(2026, 3, 5);
    p.record(p.ivanov, day.addDays(1), 1, 8);   // another day's record
    JournalWindow main(module.get());
    main.loginText = QStringLiteral("61370452");
    prepareJournals(*module);
    main.setJournalDate(day);
    main.readJournals();
    QVERIFY(module->journalShift1->isEmpty());
    Messages::MessageRecorder rec;
    rec.answers << true;
    main.findChild<QPushButton *>(QStringLiteral("Button3"))->click();
    main.toggleState();
    QCOMPARE(rec.shown.size(), 0);
    QCOMPARE(db.scalar(QStringLiteral("select string_agg(trim(ok), ',') from accounts_dep.smena")).toString(), QStringLiteral("no"));
}

void TestJournal::serverRefusal_data()
{
    QTest::addColumn<bool>("deleting");
    QTest::newRow("delete refused") << true;
    QTest::newRow("state update refused") << false;
}

void TestJournal::serverRefusal()
{
    auto &[db, p, module] = *m_fixture;
    QFETCH(bool, deleting);
    const QDate day(2026, 3, 5);
    p.record(p.ivanov, day, 1, 8);
    const int id = p.record(p.petrov, day, 1, 3);
    const int other = p.record(p.sidorov, day, 1, 5);
    DayCellRule(*module).recomputeAfterSave(p.petrov, day, 1);
    JournalWindow main(module.get());
    prepareJournals(*module);
    main.setJournalDate(day);
    main.readJournals();
    module->journalShift1->setRecNo(2);
    // Another workstation changes a record; a re-read of the journal would show it.
    db.exec(QStringLiteral("update accounts_dep.smena set ok='ok' where id=%1").arg(other));
    refuseStatements(db, QStringLiteral("accounts_dep.smena"), deleting ? QStringLiteral("delete") : QStringLiteral("update"),
           QStringLiteral("Запись закрыта бухгалтерией"));

    Messages::MessageRecorder rec;
    rec.answers << true;
    if (deleting)
        main.findChild<QPushButton *>(QStringLiteral("Button3"))->click();
    else
        main.toggleState();
    QCOMPARE(rec.errors().size(), 1);
    QVERIFY2(rec.errors()[0].contains(QStringLiteral("Запись закрыта бухгалтерией")), qPrintable(rec.errors()[0]));
    QCOMPARE(rec.shown.last().title, QStringLiteral("Ошибка"));
    // The journal was not re-read.
    QCOMPARE(module->journalShift1->recordCount(), 3);
    QCOMPARE(module->journalShift1->recNo(), 2);
    QCOMPARE(column(module->journalShift1, QStringLiteral("ok")), (QStringList{"no", "no", "no"}));
    // Nothing changed.
    QCOMPARE(db.scalar(QStringLiteral("select trim(ok) from accounts_dep.smena where id=%1").arg(id)).toString(), QStringLiteral("no"));
    QCOMPARE(db.timesheetLines(p.petrov), QStringList{"1 3.2026 0 0: d5=3"});
}

QTEST_MAIN(TestJournal)
#include "test_journal.moc"
