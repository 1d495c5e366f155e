// Start-up, connection, version gate, login roles and the daily shift journal.
#include "app/build_stamp.h"
#include "app/connection_string.h"
#include "app/data_grid.h"
#include "app/data_module.h"
#include "app/login_window.h"
#include "app/main_window.h"
#include "app/messages.h"
#include "app/startup.h"
#include "app/version_gate.h"
#include "db/dataset.h"
#include "db/db_error.h"
#include "tests/support/test_support.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDateEdit>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QtTest>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

const QString kOptions = QStringLiteral(
    ";PORT=5432;UID=sys;PWD=wubzelk;SSLmode=allow;ReadOnly=0;Protocol=7.4;FakeOidIndex=0;ShowOidColumn=0;"
    "RowVersioning=0;ShowSystemTables=0;Fetch=100;UnknownSizes=0;MaxVarcharSize=255;MaxLongVarcharSize=8190;"
    "Debug=0;CommLog=0;UseDeclareFetch=0;TextAsLongVarchar=1;UnknownsAsLongVarchar=0;BoolsAsChar=1;Parse=0;"
    "ExtraSysTablePrefixes=;LFConversion=1;UpdatableCursors=1;TrueIsMinus1=0;BI=0;ByteaAsLongVarBinary=1;"
    "UseServerSidePrepare=1;LowerCaseIdentifier=0;D6=-101;OptionalErrors=0;XaOpt=1");

// A small plant: two workers, products, kinds and prices, and a journal date.
struct Plant {
    explicit Plant(const TestDatabase &db)
    {
        ivanov = db.addWorker(QStringLiteral("Иванов И.И."));
        petrov = db.addWorker(QStringLiteral("Петров П.П."));
        ring = db.addProduct(QStringLiteral("Кольцо 20"));
        axle = db.addProduct(QStringLiteral("Ось 40х120"));
        turning = db.addKind(QStringLiteral("Токарная"));
        painting = db.addKind(QStringLiteral("Окраска"));
        ringTurning = db.addPrice(turning, ring);
        axleTurning = db.addPrice(turning, axle, 1);
        axlePainting = db.addPrice(painting, axle);
    }
    int ivanov, petrov, ring, axle, turning, painting, ringTurning, axleTurning, axlePainting;
};

} // namespace

class TestCore : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { installRussian(*qApp); }

    void connectionString_data();
    void connectionString();
    void defaultServerIsBuildSetting();

    void buildStampForm();

    void versionGate_data();
    void versionGate();
    void versionGateEmptyTable();
    void versionGateStopsOutdatedCopy();
    void versionGateSecondWorkstation();

    void countCheck();
    void replaceDelimiter_data();
    void replaceDelimiter();

    void startUpWithoutServer();
    void unansweringServerTimesOut();
    void serverErrorTextReachesUser();

    void loginRoles_data();
    void loginRoles();
    void loginRefused_data();
    void loginRefused();
    void loginCaptionShowsBuild();
    void loginShowsJournalAndClosingEnds();
    void loginEscapeEnds();

    void journalListsStates();
    void journalOrder();
    void journalWorkerMatchedTwice();
    void journalAmountsAndColours();
    void journalActivationAndDate();
    void journalModeSwitchSendsNothing();
    void journalReadErrorShown();
    void menuCarriesEveryItem();
};

void TestCore::connectionString_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("database");
    QTest::addColumn<QString>("server");
    QTest::newRow("no arguments") << QStringList{} << "plant_db" << "10.1.1.5";
    QTest::newRow("only database: ignored") << QStringList{"other"} << "plant_db" << "10.1.1.5";
    QTest::newRow("database and server") << QStringList{"other", "db.plant"} << "other" << "db.plant";
    QTest::newRow("server without database") << QStringList{"", "db.plant"} << "" << "db.plant";
    QTest::newRow("empty server") << QStringList{"other", ""} << "plant_db" << "10.1.1.5";
}

void TestCore::connectionString()
{
    QFETCH(QStringList, args);
    QFETCH(QString, database);
    QFETCH(QString, server);
    QCOMPARE(composeConnectionString(args, QStringLiteral("10.1.1.5")),
             QStringLiteral("DRIVER={PostgreSQL UNICODE};DATABASE=") + database + QStringLiteral(";SERVER=") + server + kOptions);
}

void TestCore::defaultServerIsBuildSetting()
{
    QVERIFY(composeConnectionString({}).contains(QStringLiteral(";SERVER=" TABEL_DEFAULT_SERVER ";")));
    QVERIFY(!composeConnectionString({}).endsWith(QLatin1Char(';')));
}

void TestCore::buildStampForm()
{
    const BuildStamp s = currentBuildStamp();
    QVERIFY(QDate::fromString(QString::number(s.date), QStringLiteral("yyyyMMdd")).isValid());
    QVERIFY(s.time >= 0 && s.time < 86400);
}

void TestCore::versionGate_data()
{
    QTest::addColumn<int>("dbDate");
    QTest::addColumn<int>("dbTime");
    QTest::addColumn<bool>("outdated");
    QTest::addColumn<int>("storedDate");
    QTest::addColumn<int>("storedTime");
    // The build is 20261110 / 40000.
    QTest::newRow("equal: nothing written") << 20261110 << 40000 << false << 20261110 << 40000;
    QTest::newRow("older date: rewritten") << 20261001 << 80000 << false << 20261110 << 40000;
    QTest::newRow("same date, earlier time: rewritten") << 20261110 << 39999 << false << 20261110 << 40000;
    QTest::newRow("newer date: stops") << 20261111 << 0 << true << 20261111 << 0;
    QTest::newRow("same date, later time: stops") << 20261110 << 40001 << true << 20261110 << 40001;
}

void TestCore::versionGate()
{
    QFETCH(int, dbDate);
    QFETCH(int, dbTime);
    TestDatabase db;
    db.exec(QStringLiteral("update accounts_dep.ver set d=%1, t=%2, delim=','").arg(dbDate).arg(dbTime));
    auto module = db.connectModule();
    module->DecimalDelimiter.clear();
    QFETCH(bool, outdated);
    QFETCH(int, storedDate);
    QFETCH(int, storedTime);
    QCOMPARE(versionGateOutdated(*module, {20261110, 40000}), outdated);
    QCOMPARE(module->DecimalDelimiter, QStringLiteral(","));
    const auto rows = db.rows(QStringLiteral("select d, t from accounts_dep.ver"));
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows[0][0].toInt(), storedDate);
    QCOMPARE(rows[0][1].toInt(), storedTime);
}

void TestCore::versionGateEmptyTable()
{
    TestDatabase db;
    db.exec(QStringLiteral("delete from accounts_dep.ver"));
    auto module = db.connectModule();
    QVERIFY(!versionGateOutdated(*module, {20261110, 40000}));
    QCOMPARE(module->DecimalDelimiter, QString());
    const auto rows = db.rows(QStringLiteral("select d, t, coalesce(delim, '') from accounts_dep.ver"));
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows[0][0].toInt(), 20261110);
    QCOMPARE(rows[0][1].toInt(), 40000);
    QCOMPARE(rows[0][2].toString(), QString());
}

void TestCore::versionGateStopsOutdatedCopy()
{
    TestDatabase db;
    auto module = db.connectModule();
    TForm1 main(module.get());
    TForm23 login(&main);
    ProgramEndCounter ends;
    Messages::MessageRecorder rec;

    main.VersionGate();   // this build is recorded
    QCOMPARE(rec.shown.size(), 0);
    QCOMPARE(ends.count, 0);
    QCOMPARE(db.scalar(QStringLiteral("select d from accounts_dep.ver")).toInt(), main.BuildDate);

    db.exec(QStringLiteral("update accounts_dep.ver set d=d+1"));   // a newer build ran elsewhere
    main.Timer1Timer();
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

void TestCore::versionGateSecondWorkstation()
{
    // Two copies share one database; the newer build records itself, the older one stops.
    TestDatabase db;
    auto older = db.connectModule();
    auto newer = db.connectModule();
    QVERIFY(!versionGateOutdated(*older, {20261110, 100}));
    QVERIFY(!versionGateOutdated(*newer, {20261110, 200}));
    QVERIFY(versionGateOutdated(*older, {20261110, 100}));
    QVERIFY(!versionGateOutdated(*newer, {20261110, 200}));
}

void TestCore::countCheck()
{
    TestDatabase db;
    auto module = db.connectModule();
    Messages::MessageRecorder rec;
    QVERIFY(!module->CountCheck(QStringLiteral("select 0 as cnt"), QStringLiteral("Дубль")));
    QCOMPARE(rec.shown.size(), 0);
    QVERIFY(module->CountCheck(QStringLiteral("select count(*) as cnt from generate_series(1,3)"), QStringLiteral("Дубль")));
    QCOMPARE(rec.shown.size(), 1);
    QCOMPARE(rec.shown[0].kind, Messages::Shown::Error);
    QCOMPARE(rec.shown[0].title, QStringLiteral("Ошибка"));
    QCOMPARE(rec.shown[0].text, QStringLiteral("Дубль"));
    QVERIFY(module->CountCheck(QStringLiteral("select 1 as cnt"), QString()));
    QCOMPARE(rec.shown.size(), 2);
    QCOMPARE(rec.shown[1].text, QString());
    QVERIFY(!module->Control->isOpen());
    QVERIFY_THROWS_EXCEPTION(DbError, module->CountCheck(QStringLiteral("select nothing as cnt"), QStringLiteral("x")));
}

void TestCore::replaceDelimiter_data()
{
    QTest::addColumn<QString>("delimiter");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("expected");
    QTest::newRow("comma to point") << "." << "12,5" << "12.5";
    QTest::newRow("point stays") << "." << "12.5" << "12.5";
    QTest::newRow("only the first comma") << "." << "1,2,3" << "1.2,3";
    QTest::newRow("whole number") << "." << "12" << "12";
    QTest::newRow("comma wins over point") << "." << "1.5,2" << "1.5.2";
    QTest::newRow("point to comma delimiter") << "," << "12.5" << "12,5";
}

void TestCore::replaceDelimiter()
{
    TDataModule6 module;
    QFETCH(QString, delimiter);
    module.DecimalDelimiter = delimiter;
    QFETCH(QString, typed);
    QFETCH(QString, expected);
    QCOMPARE(module.ReplaceDelimiter(typed), expected);
}

void TestCore::startUpWithoutServer()
{
    Messages::MessageRecorder rec;
    // Nothing listens on this loopback address.
    const int code = runProgram(*qApp, {QStringLiteral("plant_db"), QStringLiteral("127.0.0.78")});
    QCOMPARE(code, 1);
    QCOMPARE(rec.shown.size(), 1);
    QCOMPARE(rec.shown[0].title, QStringLiteral("Ошибка!"));
    QCOMPARE(rec.shown[0].text, QStringLiteral("Подключение к БД отсутсвует!!!"));
    QVERIFY(QApplication::topLevelWidgets().isEmpty()
            || std::none_of(QApplication::topLevelWidgets().begin(), QApplication::topLevelWidgets().end(),
                            [](QWidget *w) { return w->isVisible(); }));
}

void TestCore::unansweringServerTimesOut()
{
    // A server that accepts the connection and never answers must not hang the start-up.
    // The kernel completes the handshake for a listening socket that never accepts.
    const int silent = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(5432);
    inet_pton(AF_INET, "127.0.0.79", &addr.sin_addr);
    QVERIFY(::bind(silent, reinterpret_cast<sockaddr *>(&addr), sizeof addr) == 0);
    QVERIFY(::listen(silent, 4) == 0);
    auto closeSocket = qScopeGuard([silent] { ::close(silent); });
    TDataModule6 module;
    QElapsedTimer clock;
    clock.start();
    QVERIFY_THROWS_EXCEPTION(DbError, module.Connect(composeConnectionString({QStringLiteral("x"), QStringLiteral("127.0.0.79")})));
    qInfo("connection gave up after %lld ms", clock.elapsed());
}

void TestCore::serverErrorTextReachesUser()
{
    TestDatabase db;
    auto module = db.connectModule();
    Messages::MessageRecorder rec;
    const bool ok = Messages::guard([&] { module->SQL_exec.execute(QStringLiteral("delete from accounts_dep.no_such_table")); });
    QVERIFY(!ok);
    QCOMPARE(rec.shown.size(), 1);
    QCOMPARE(rec.shown[0].title, QStringLiteral("Ошибка"));
    QVERIFY2(rec.shown[0].text.contains(QStringLiteral("no_such_table")), qPrintable(rec.shown[0].text));
}

void TestCore::loginRoles_data()
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

void TestCore::loginRoles()
{
    QFETCH(QString, typed);
    QFETCH(QString, enabled);
    TestDatabase db;
    auto module = db.connectModule();
    TForm1 main(module.get());
    TForm23 login(&main);
    Messages::MessageRecorder rec;
    main.JournalMode = 3;
    login.findChild<QLineEdit *>(QStringLiteral("Edit1"))->setText(typed);
    QVERIFY(login.Login());
    QCOMPARE(rec.shown.size(), 0);
    QCOMPARE(main.JournalMode, 1);
    QCOMPARE(main.LoginText, typed.trimmed());

    auto on = [&](const char *name) { return main.findChild<QWidget *>(QString::fromLatin1(name))->isEnabled(); };
    const bool radios = on("RadioButton1") && on("RadioButton2") && on("RadioButton3") && on("RadioButton4");
    QCOMPARE(on("CBox1"), radios);
    QCOMPARE(on("DateT"), radios);
    QCOMPARE(on("Button8"), radios);
    const QString actual = QString::number(on("Button1")) + QString::number(on("Button2")) + QString::number(on("Button3"))
        + QString::number(radios) + QString::number(on("DBGrid2")) + QString::number(main.MenuReference->isEnabled())
        + QString::number(main.MenuTabel->isEnabled());
    QCOMPARE(actual, enabled);
    QVERIFY(on("Button4"));
    QVERIFY(on("Button5"));
    QVERIFY(main.MenuReports->isEnabled());
    for (int mode = 1; mode <= 4; ++mode)
        QCOMPARE(module->Smena(mode)->param(QStringLiteral("ok")).toString(), QStringLiteral("ta"));
}

void TestCore::loginRefused_data()
{
    QTest::addColumn<QString>("typed");
    QTest::newRow("empty") << "";
    QTest::newRow("other case") << "LUMENO";
    QTest::newRow("unknown") << "password";
    QTest::newRow("part of a code") << "6137";
}

void TestCore::loginRefused()
{
    TestDatabase db;
    auto module = db.connectModule();
    TForm1 main(module.get());
    TForm23 login(&main);
    Messages::MessageRecorder rec;
    auto *edit = login.findChild<QLineEdit *>(QStringLiteral("Edit1"));
    QFETCH(QString, typed);
    edit->setText(typed);
    QVERIFY(!login.Login());
    QCOMPARE(rec.errors(), QStringList{QStringLiteral("Введены неверные данные.")});
    QCOMPARE(rec.shown[0].title, QStringLiteral("Ошибка"));
    QVERIFY(!main.MenuTabel->isEnabled());
    QCOMPARE(edit->text(), typed);   // left as typed
    QCOMPARE(edit->echoMode(), QLineEdit::Password);
}

void TestCore::loginCaptionShowsBuild()
{
    TestDatabase db;
    auto module = db.connectModule();
    TForm1 main(module.get());
    TForm23 login(&main);
    Messages::MessageRecorder rec;
    login.FormActivate();
    const BuildStamp s = currentBuildStamp();
    QCOMPARE(login.windowTitle(), QStringLiteral("Авторизация (build: %1.%2)").arg(s.date).arg(s.time));
    QVERIFY(login.findChild<QPushButton *>(QStringLiteral("Button1"))->isDefault());
    QCOMPARE(login.findChild<QPushButton *>(QStringLiteral("Button2"))->text(), QStringLiteral("Отмена"));
}

void TestCore::loginShowsJournalAndClosingEnds()
{
    TestDatabase db;
    auto module = db.connectModule();
    TForm1 main(module.get());
    TForm23 login(&main);
    ProgramEndCounter ends;
    Messages::MessageRecorder rec;
    login.show();
    login.findChild<QLineEdit *>(QStringLiteral("Edit1"))->setText(QStringLiteral("gildert"));
    bool journalWasShown = false;
    QTimer::singleShot(0, &main, [&] {
        journalWasShown = main.isVisible() && main.isModal() && !login.isVisible();
        main.findChild<QPushButton *>(QStringLiteral("Button4"))->click();   // "Выход"
    });
    login.Button1Click();
    QVERIFY(journalWasShown);
    QVERIFY(!main.isVisible());
    QVERIFY(!login.isVisible());
    QVERIFY(ends.count >= 1);
    QCOMPARE(rec.shown.size(), 0);
    QVERIFY(module->Smena1->isOpen());   // the journal was read on showing
}

void TestCore::loginEscapeEnds()
{
    TestDatabase db;
    auto module = db.connectModule();
    TForm1 main(module.get());
    TForm23 login(&main);
    ProgramEndCounter ends;
    login.show();
    QTest::keyClick(&login, Qt::Key_Escape);
    QVERIFY(!login.isVisible());
    QCOMPARE(ends.count, 1);
}

void TestCore::journalListsStates()
{
    TestDatabase db;
    Plant p(db);
    const QDate day(2026, 11, 4);
    db.addRecord(p.ivanov, p.ring, p.ringTurning, day, 1, 10, 0, 5, 8, QStringLiteral("no"));
    db.addRecord(p.petrov, p.ring, p.ringTurning, day, 1, 10, 0, 5, 8, QStringLiteral("да"));
    db.addRecord(p.ivanov, p.axle, p.axleTurning, day, 1, 10, 0, 5, 8, QStringLiteral("ta"));
    db.addRecord(p.ivanov, p.axle, p.axlePainting, day, 1, 10, 0, 5, 8, QString());
    db.addRecord(p.petrov, p.axle, p.axlePainting, day.addDays(1), 1, 10, 0, 5, 8, QStringLiteral("ok"));
    auto module = db.connectModule();
    TForm1 main(module.get());
    prepareJournals(*module);
    main.setJournalDate(day);
    main.ReadJournals();
    QCOMPARE(column(module->Smena1, QStringLiteral("fio")), (QStringList{"Иванов И.И.", "Петров П.П."}));
    QCOMPARE(column(module->Smena1, QStringLiteral("ok")), (QStringList{"no", "да"}));
}

void TestCore::journalOrder()
{
    TestDatabase db;
    Plant p(db);
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
    auto module = db.connectModule();
    TForm1 main(module.get());
    prepareJournals(*module);
    main.setJournalDate(day);
    main.ReadJournals();
    QCOMPARE(column(module->Smena1, QStringLiteral("marka")), (QStringList{"Кольцо 20", "Ось 40х120", "Ось 40х120", "Ось 40х120"}));
    QCOMPARE(column(module->Smena1, QStringLiteral("vid")), (QStringList{"Токарная", "Окраска", "Окраска", "Токарная"}));
    QCOMPARE(column(module->Smena1, QStringLiteral("color")), (QStringList{"0", "3", "7", "0"}));
    QCOMPARE(column(module->Smena2, QStringLiteral("fio")), (QStringList{"Иванов И.И.", "Петров П.П."}));
    QCOMPARE(module->Smena3->recordCount(), 1);
    QCOMPARE(column(module->Smena4, QStringLiteral("fio")), QStringList{"Петров П.П."});
    QCOMPARE(column(module->Smena2, QStringLiteral("nmn")), (QStringList{"Готовая продукция", "Готовая продукция"}));
}

void TestCore::journalWorkerMatchedTwice()
{
    TestDatabase db;
    Plant p(db);
    const QDate day(2026, 11, 4);
    // Another person of the accounting software carries the worker's id as its code.
    db.exec(QStringLiteral("insert into cmn_contractor.person(s_caption, s_code) values('Сидоров С.С.', '%1')").arg(p.ivanov));
    db.addRecord(p.ivanov, p.ring, p.ringTurning, day, 1, 1, 0, 1, 1);
    db.addRecord(p.ivanov, p.ring, p.ringTurning, day, 2, 1, 0, 1, 1);
    auto module = db.connectModule();
    TForm1 main(module.get());
    prepareJournals(*module);
    main.setJournalDate(day);
    main.ReadJournals();
    QCOMPARE(column(module->Smena1, QStringLiteral("fio")), (QStringList{"Иванов И.И.", "Сидоров С.С."}));
    QCOMPARE(column(module->Smena2, QStringLiteral("fio")), (QStringList{"Иванов И.И.", "Сидоров С.С."}));
}

void TestCore::journalAmountsAndColours()
{
    TestDatabase db;
    Plant p(db);
    const QDate day(2026, 11, 4);
    db.addRecord(p.ivanov, p.ring, p.ringTurning, day, 1, 12, 2, 12.3457, 8, QStringLiteral("no"));
    db.addRecord(p.petrov, p.ring, p.ringTurning, day, 1, 3, 5, 10, 8, QStringLiteral("да"));
    auto module = db.connectModule();
    TForm1 main(module.get());
    prepareJournals(*module);
    main.setJournalDate(day);
    main.ReadJournals();
    auto *grid = main.findChild<DataGrid *>(QStringLiteral("DBGrid2"));
    DataSetModel *model = grid->dataModel();
    QCOMPARE(model->rowCount(), 2);
    // (12 - 2) x 12.3457 rounded to 2 decimals, shown with the Russian separator.
    QCOMPARE(model->displayText(0, QStringLiteral("summa")), QStringLiteral("123,46"));
    QCOMPARE(model->displayText(1, QStringLiteral("summa")), QStringLiteral("-20"));   // rejects above quantity
    QCOMPARE(module->Smena1->valueAt(0, QStringLiteral("summa")).toString(), QStringLiteral("123.46"));
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

void TestCore::journalActivationAndDate()
{
    TestDatabase db;
    Plant p(db);
    const QDate today = QDate::currentDate();
    const QDate saturday = today.addDays(Qt::Saturday - today.dayOfWeek());
    const QDate wednesday = saturday.addDays(-3);
    db.addRecord(p.ivanov, p.ring, p.ringTurning, today, 1, 1, 0, 1, 1);
    db.addRecord(p.ivanov, p.ring, p.ringTurning, saturday.addDays(-7), 1, 1, 0, 1, 1);
    db.addRecord(p.petrov, p.ring, p.ringTurning, saturday.addDays(-7), 1, 1, 0, 1, 1);
    auto module = db.connectModule();
    TForm1 main(module.get());
    prepareJournals(*module);
    auto *dayOff = main.findChild<QCheckBox *>(QStringLiteral("CBox1"));
    auto *picker = main.findChild<QDateEdit *>(QStringLiteral("DateT"));

    main.setJournalDate(saturday.addDays(-7));
    main.DateChosen();
    QCOMPARE(module->Smena1->recordCount(), 2);
    QVERIFY(dayOff->isChecked());
    QVERIFY(dayOff->font().bold());
    QCOMPARE(dayOff->palette().color(QPalette::Window), QColor(255, 0, 0));

    main.setJournalDate(wednesday);
    main.DateChosen();
    QVERIFY(!dayOff->isChecked());
    QVERIFY(!dayOff->font().bold());

    // Enter in the date picker re-reads; typing alone does not.
    main.setJournalDate(saturday.addDays(-7));
    QCOMPARE(module->Smena1->recordCount(), wednesday == today ? 1 : 0);
    QTest::keyClick(picker, Qt::Key_Return);
    QCOMPARE(module->Smena1->recordCount(), 2);

    main.Activate();
    QCOMPARE(picker->date(), today);
    QCOMPARE(module->Smena1->recordCount(), 1);
    const bool weekend = today.dayOfWeek() >= Qt::Saturday;
    if (weekend)
        QVERIFY(dayOff->isChecked());
}

void TestCore::journalModeSwitchSendsNothing()
{
    TestDatabase db;
    Plant p(db);
    const QDate day(2026, 11, 4);
    db.addRecord(p.ivanov, p.ring, p.ringTurning, day, 1, 1, 0, 1, 1);
    db.addRecord(p.ivanov, p.ring, p.ringTurning, day, 4, 1, 0, 1, 1);
    auto module = db.connectModule();
    TForm1 main(module.get());
    prepareJournals(*module);
    main.setJournalDate(day);
    main.ReadJournals();
    auto *grid = main.findChild<DataGrid *>(QStringLiteral("DBGrid2"));
    // Rows added elsewhere after the read do not show until the journal is read again.
    db.addRecord(p.petrov, p.ring, p.ringTurning, day, 4, 1, 0, 1, 1);
    main.findChild<QRadioButton *>(QStringLiteral("RadioButton4"))->setChecked(true);
    QCOMPARE(main.JournalMode, 4);
    QCOMPARE(grid->dataSet(), module->Smena4);
    QCOMPARE(grid->dataModel()->rowCount(), 1);
    auto *r4 = main.findChild<QRadioButton *>(QStringLiteral("RadioButton4"));
    auto *r1 = main.findChild<QRadioButton *>(QStringLiteral("RadioButton1"));
    QVERIFY(r4->font().bold());
    QCOMPARE(r4->palette().color(QPalette::Window), QColor(0, 128, 0));
    QVERIFY(!r1->font().bold());
    r1->setChecked(true);
    QCOMPARE(main.JournalMode, 1);
    QCOMPARE(grid->dataSet(), module->Smena1);
    main.Button8Click();
    QCOMPARE(module->Smena4->recordCount(), 2);
    QCOMPARE(main.journalDate(), day);
}

void TestCore::journalReadErrorShown()
{
    TestDatabase db;
    auto module = db.connectModule();
    TForm1 main(module.get());
    Messages::MessageRecorder rec;
    // Without the login's state parameter the statement cannot run; the error reaches the user.
    module->Smena1->setSql(module->Smena1->sql() + QStringLiteral(" limit nonsense"));
    main.Activate();
    QCOMPARE(rec.shown.size(), 1);
    QCOMPARE(rec.shown[0].kind, Messages::Shown::Error);
    QVERIFY(!module->Smena1->isOpen());
}

void TestCore::menuCarriesEveryItem()
{
    TestDatabase db;
    auto module = db.connectModule();
    TForm1 main(module.get());
    auto texts = [](QMenu *m) {
        QStringList out;
        for (QAction *a : m->actions())
            out << a->text();
        return out;
    };
    QCOMPARE(texts(main.MenuReference), (QStringList{"Рабочие", "Изделия", "Цены", "Операции", "Внеурочное"}));
    QCOMPARE(texts(main.MenuTabel), (QStringList{"Табель сделка", "Табель по сменам", "Табель хоз. работ", "Табель ср. сдельная", "Общий табель"}));
    QCOMPARE(texts(main.MenuReports), QStringList{"Сводные отчеты"});
    QVERIFY(main.findChild<QAction *>(QStringLiteral("MenuExit")));
    QCOMPARE(main.windowTitle(), QStringLiteral("Табель"));
    const char *buttons[][2] = {{"Button1", "Добавить"}, {"Button2", "Изменить"}, {"Button3", "Удалить"},
                                {"Button8", "Обновить"}, {"Button5", "Ср.сд./хоз. работы"}, {"Button4", "Выход"}};
    for (auto &b : buttons)
        QCOMPARE(main.findChild<QPushButton *>(QString::fromLatin1(b[0]))->text(), QString::fromUtf8(b[1]));
}

QTEST_MAIN(TestCore)
#include "test_core.moc"
