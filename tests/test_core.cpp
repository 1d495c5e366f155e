// The plant rules of the application core, without windows: the connection string, the version
// gate, the shared count check and delimiter, statements built from typed values, and the unit of
// work that makes a command's writes all or nothing.
#include "db/build_stamp.h"
#include "db/connection_string.h"
#include "db/data_module.h"
#include "ui/messages.h"
#include "db/unit_of_work.h"
#include "db/version_gate.h"
#include "db/dataset.h"
#include "db/connection.h"
#include "db/db_error.h"
#include "db/sql_statement.h"
#include "reference/kind_statements.h"
#include "reference/price_statements.h"
#include "reference/product_statements.h"
#include "reference/worker_statements.h"
#include "reports/products_report.h"
#include "tests/support/test_support.h"

#include <QElapsedTimer>
#include <QSettings>
#include <QTemporaryDir>
#include <QFile>
#include <QFileInfo>
#include <QTimeZone>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QScopeGuard>
#include <QThread>
#include <QtTest>

#include <atomic>
#include <thread>

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

} // namespace

class TestCore : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia)); }

    void connectionString_data();
    void connectionString();
    void defaultServerIsBuildSetting();
    void severalHostsAskForTheWritableOne_data();
    void severalHostsAskForTheWritableOne();
    void targetFromSettingsFiles_data();
    void targetFromSettingsFiles();
    void failedConnectionSaysWhatItTried();

    void buildStampForm();

    void versionGate_data();
    void versionGate();
    void versionGateEmptyTable();
    void versionGateSecondWorkstation();

    void countCheck();
    void replaceDelimiter_data();
    void replaceDelimiter();

    void unansweringServerTimesOut();
    void serverErrorTextReachesUser();
    void errorBoxSaysWhatFailed();

    void statementValues_data();
    void statementValues();
    void statementMarksMustMatch();
    void referenceStatementTexts();
    void textsStoredAsTyped_data();
    void textsStoredAsTyped();
    void paramsWrittenIn_data();
    void paramsWrittenIn();
    void resultsReadAsTheQtDriverReadsThem();
    void localZoneNamedOnce();

    void unitOfWorkCommits();
    void unitOfWorkRollsBackWhole();
    void unitOfWorkJoinsTheOuterOne();
    void countCheckInsideWorkWaitsForItsEnd();

    void lostConnectionReopensOnNextCommand();
    void serverStoppedAndStartedAgain();
    void lockWaitGivesUp();
    void reportWaitsWithoutTheLimit();
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

// A primary and its standby: the driver tries the hosts in their order and keeps the one that
// takes writes. One host leaves the string as it always was (the cases above).
void TestCore::severalHostsAskForTheWritableOne_data()
{
    QTest::addColumn<QString>("server");
    QTest::addColumn<QString>("hosts");
    QTest::newRow("two hosts") << "db1.plant,db2.plant" << "db1.plant,db2.plant";
    QTest::newRow("blanks around the commas") << " db1.plant , db2.plant " << "db1.plant,db2.plant";
    QTest::newRow("three addresses") << "10.1.1.5,10.1.1.6,10.1.1.7" << "10.1.1.5,10.1.1.6,10.1.1.7";
}

void TestCore::severalHostsAskForTheWritableOne()
{
    QFETCH(QString, server);
    QFETCH(QString, hosts);
    QCOMPARE(composeConnectionString({QStringLiteral("plant_db"), server}),
             QStringLiteral("DRIVER={PostgreSQL UNICODE};DATABASE=plant_db;SERVER=") + hosts + kOptions
                 + QStringLiteral(";pqopt={target_session_attrs=read-write}"));
}

// Where the server and database come from: the command line over the user's file over the system
// file over the defaults, each of the two on its own.
void TestCore::targetFromSettingsFiles_data()
{
    QTest::addColumn<QString>("system");
    QTest::addColumn<QString>("user");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("expected");   // database (from) server (from)
    const QString both = QStringLiteral("[connection]\nserver=db.plant\ndatabase=plant_2026\n");
    QTest::newRow("no files") << "" << "" << QStringList{} << "plant_db (default) 10.1.1.5 (default)";
    QTest::newRow("system file") << both << "" << QStringList{} << "plant_2026 (system) db.plant (system)";
    QTest::newRow("user file over system file")
        << both << "[connection]\nserver=test.plant\n" << QStringList{} << "plant_2026 (system) test.plant (user)";
    QTest::newRow("command line over both")
        << both << "[connection]\nserver=test.plant\n" << QStringList{"other", "db3"} << "other (command line) db3 (command line)";
    QTest::newRow("database alone on the command line: ignored")
        << both << "" << QStringList{"other"} << "plant_2026 (system) db.plant (system)";
    QTest::newRow("primary and standby") << "[connection]\nserver = db1.plant, db2.plant\n" << "" << QStringList{}
                                         << "plant_db (default) db1.plant,db2.plant (system)";
    QTest::newRow("quoted") << "[connection]\nserver=\"db1,db2\"\n" << "" << QStringList{} << "plant_db (default) db1,db2 (system)";
    QTest::newRow("empty keys count as unset") << both << "[connection]\nserver=\ndatabase=\n" << QStringList{}
                                               << "plant_2026 (system) db.plant (system)";
    QTest::newRow("other groups are not read") << "[journal]\nserver=x\n" << "server=y\n" << QStringList{}
                                               << "plant_db (default) 10.1.1.5 (default)";
}

void TestCore::targetFromSettingsFiles()
{
    QFETCH(QString, system);
    QFETCH(QString, user);
    QFETCH(QStringList, args);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    const auto write = [&](const QString &name, const QString &text) {
        QFile f(dir.filePath(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(text.toUtf8());
    };
    write(QStringLiteral("system.conf"), system);
    write(QStringLiteral("user.conf"), user);
    QSettings systemFile(dir.filePath(QStringLiteral("system.conf")), QSettings::IniFormat);
    QSettings userFile(dir.filePath(QStringLiteral("user.conf")), QSettings::IniFormat);
    const ConnectionTarget t = connectionTarget(args, systemFile, userFile, QStringLiteral("10.1.1.5"));
    const auto from = [&](const QString &origin) {
        if (origin == systemFile.fileName())
            return QStringLiteral("system");
        if (origin == userFile.fileName())
            return QStringLiteral("user");
        if (origin == QStringLiteral("командная строка"))
            return QStringLiteral("command line");
        return origin == QStringLiteral("по умолчанию") ? QStringLiteral("default") : origin;
    };
    QCOMPARE(QStringLiteral("%1 (%2) %3 (%4)").arg(t.database, from(t.databaseFrom), t.server, from(t.serverFrom)), expected);
    QCOMPARE(connectionStringFor(t).contains(QStringLiteral("pqopt")), t.server.contains(QLatin1Char(',')));
}

// A workstation pointed at a server that is not there: the message says what was tried, where
// that came from, where it is set, and the driver's reason.
void TestCore::failedConnectionSaysWhatItTried()
{
    QTemporaryDir dir;
    const QString systemPath = dir.filePath(QStringLiteral("tabel.conf"));
    qputenv("TABEL_SYSTEM_CONFIG", systemPath.toUtf8());
    qputenv("TABEL_USER_CONFIG", dir.filePath(QStringLiteral("user/tabel.conf")).toUtf8());
    const auto restore = qScopeGuard([] {
        qunsetenv("TABEL_SYSTEM_CONFIG");
        qunsetenv("TABEL_USER_CONFIG");
    });
    // Nothing listens there: the test cluster's neighbours in 127.0.4.x are unused.
    const QString nowhere = QStringLiteral("127.0.4.") + TestDatabase::server().section(QLatin1Char('.'), 3, 3);
    {
        QSettings file(systemPath, QSettings::IniFormat);
        file.setValue(QStringLiteral("connection/server"), nowhere);
    }
    const ConnectionTarget target = connectionTarget({});
    QString reason;
    try {
        DataModule module;
        module.open(connectionStringFor(target));
    } catch (const DbError &e) {
        reason = e.text();
    }
    QVERIFY(!reason.isEmpty());
    const QStringList lines = connectionFailureText(target, reason).split(QLatin1Char('\n'));
    QCOMPARE(lines.value(0), QStringLiteral("Подключение к БД отсутсвует!!!"));
    QCOMPARE(lines.value(1), QStringLiteral("Сервер: %1 (%2), база данных: plant_db (по умолчанию).").arg(nowhere, systemPath));
    QVERIFY2(lines.value(2).contains(systemPath) && lines.value(2).contains(dir.filePath(QStringLiteral("user/tabel.conf")))
                 && lines.value(2).contains(QStringLiteral("[connection]")),
             qPrintable(lines.value(2)));
    QVERIFY2(lines.mid(3).join(QLatin1Char(' ')).contains(QStringLiteral("Connection refused")), qPrintable(lines.join(QLatin1Char('\n'))));
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
    module->decimalDelimiter.clear();
    QFETCH(bool, outdated);
    QFETCH(int, storedDate);
    QFETCH(int, storedTime);
    QCOMPARE(versionGateOutdated(*module, {20261110, 40000}), outdated);
    QCOMPARE(module->decimalDelimiter, QStringLiteral(","));
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
    // The row is written with a point, and a point is what the statements carry meanwhile.
    QCOMPARE(module->decimalDelimiter, QStringLiteral("."));
    const auto rows = db.rows(QStringLiteral("select d, t, coalesce(delim, '') from accounts_dep.ver"));
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows[0][0].toInt(), 20261110);
    QCOMPARE(rows[0][1].toInt(), 40000);
    QCOMPARE(rows[0][2].toString(), QStringLiteral("."));
    QCOMPARE(module->replaceDelimiter(QStringLiteral("12,5")), QStringLiteral("12.5"));
    // An empty delimiter in the row counts as a point as well.
    db.exec(QStringLiteral("update accounts_dep.ver set delim=''"));
    QVERIFY(!versionGateOutdated(*module, {20261110, 40000}));
    QCOMPARE(module->replaceDelimiter(QStringLiteral("12.5")), QStringLiteral("12.5"));
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
    QVERIFY(!module->countCheck(QStringLiteral("select 0 as cnt"), QStringLiteral("Дубль")));
    QCOMPARE(rec.shown.size(), 0);
    QVERIFY(module->countCheck(QStringLiteral("select count(*) as cnt from generate_series(1,3)"), QStringLiteral("Дубль")));
    QCOMPARE(rec.shown.size(), 1);
    QCOMPARE(rec.shown[0].kind, Messages::Shown::Error);
    QCOMPARE(rec.shown[0].title, QStringLiteral("Ошибка"));
    QCOMPARE(rec.shown[0].text, QStringLiteral("Дубль"));
    QVERIFY(module->countCheck(QStringLiteral("select 1 as cnt"), QString()));
    QCOMPARE(rec.shown.size(), 2);
    QCOMPARE(rec.shown[1].text, QString());
    QVERIFY(!module->lookUpQuery->isOpen());
    QVERIFY_THROWS_EXCEPTION(DbError, module->countCheck(QStringLiteral("select nothing as cnt"), QStringLiteral("x")));
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
    DataModule module;
    QFETCH(QString, delimiter);
    module.decimalDelimiter = delimiter;
    QFETCH(QString, typed);
    QFETCH(QString, expected);
    QCOMPARE(module.replaceDelimiter(typed), expected);
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
    DataModule module;
    QElapsedTimer clock;
    clock.start();
    QVERIFY_THROWS_EXCEPTION(DbError, module.open(composeConnectionString({QStringLiteral("x"), QStringLiteral("127.0.0.79")})));
    qInfo("connection gave up after %lld ms", clock.elapsed());
}

void TestCore::serverErrorTextReachesUser()
{
    TestDatabase db;
    auto module = db.connectModule();
    Messages::MessageRecorder rec;
    const bool ok = Messages::guard([&] { module->command.execute(QStringLiteral("delete from accounts_dep.no_such_table")); });
    QVERIFY(!ok);
    QCOMPARE(rec.shown.size(), 1);
    QCOMPARE(rec.shown[0].title, QStringLiteral("Ошибка"));
    QVERIFY2(rec.shown[0].text.contains(QStringLiteral("no_such_table")), qPrintable(rec.shown[0].text));
    // The server's text ends the box: the driver's closing line in English is left out.
    QVERIFY2(rec.shown[0].text.endsWith(QStringLiteral("does not exist")), qPrintable(rec.shown[0].text));
}

void TestCore::errorBoxSaysWhatFailed()
{
    Messages::MessageRecorder rec;
    QVERIFY(!Messages::guard(QStringLiteral("Не удалось сохранить запись."), [] { throw DbError(QStringLiteral("deadlock detected")); }));
    QVERIFY(Messages::guard(QStringLiteral("Не удалось сохранить запись."), [] {}));
    QCOMPARE(rec.errors(), QStringList{QStringLiteral("Не удалось сохранить запись.\ndeadlock detected")});
    QCOMPARE(rec.shown[0].title, QStringLiteral("Ошибка"));
}

void TestCore::statementValues_data()
{
    QTest::addColumn<QString>("written");
    QTest::addColumn<QString>("expected");
    const auto row = [](const char *name, const SqlValue &value, const char *expected) {
        QTest::newRow(name) << sqlStatement(QStringLiteral("x={v}"), {{"v", value}}) << QStringLiteral("x=") + QString::fromUtf8(expected);
    };
    row("whole number", 5, "5");
    row("negative", -12, "-12");
    row("64-bit key", qint64(123456789012345), "123456789012345");
    row("date day first", QDate(2026, 3, 5), "05.03.2026");
    row("text", SqlValue::text(QStringLiteral("Иванов")), "'Иванов'");
    row("apostrophes doubled", SqlValue::text(QStringLiteral("O'Brien 5''")), "'O''Brien 5'''''");
    row("backslash as it is", SqlValue::text(QStringLiteral("a\\', b")), "'a\\'', b'");
    row("empty text", SqlValue::text(QString()), "''");
    row("decimal text", SqlValue::decimal(QStringLiteral("12.5")), "12.5");
    row("negative decimal", SqlValue::decimal(QStringLiteral("-0.25")), "-0.25");
    row("number shortest", SqlValue::number(12.5), "12.5");
    row("whole number as double", SqlValue::number(30), "30");
    row("small number without exponent", SqlValue::number(0.00001), "0.00001");
    row("large number without exponent", SqlValue::number(1e20), "100000000000000000000");
    row("null", SqlValue::null(), "null");
}

void TestCore::statementValues()
{
    QFETCH(QString, written);
    QFETCH(QString, expected);
    QCOMPARE(written, expected);
}

void TestCore::statementMarksMustMatch()
{
    // Every mark gets a value and every value a mark; a mark may occur more than once.
    QCOMPARE(sqlStatement(QStringLiteral("a={x} and b={x} and c={y}"), {{"x", 1}, {"y", 2}}), QStringLiteral("a=1 and b=1 and c=2"));
    QVERIFY_THROWS_EXCEPTION(std::logic_error, sqlStatement(QStringLiteral("a={x} and b={y}"), {{"x", 1}}));
    QVERIFY_THROWS_EXCEPTION(std::logic_error, sqlStatement(QStringLiteral("a={x}"), {{"x", 1}, {"y", 2}}));
    QVERIFY_THROWS_EXCEPTION(std::logic_error, sqlStatement(QStringLiteral("a={x"), {{"x", 1}}));
    // Only a decimal number goes where a decimal goes.
    for (const char *bad : {"1.2.3", ".", "", "1,5", "12 ", "1e5", "1; delete from accounts_dep.smena"})
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument, SqlValue::decimal(QString::fromUtf8(bad)));
    QVERIFY_THROWS_EXCEPTION(std::invalid_argument, sqlStatement(QStringLiteral("{d}"), {{"d", QDate()}}));
}

void TestCore::referenceStatementTexts()
{
    const QString obrien = QStringLiteral("O'Brien");
    const QString shop = QStringLiteral("Цех №1");
    const QList<QPair<QString, QString>> texts = {
        {WorkerStatements::insert(obrien, shop),
         "INSERT INTO accounts_dep.person (fio, s_staffpos_hl)VALUES('O''Brien', 'Цех №1')"},
        {WorkerStatements::update(7, obrien, shop),
         "UPDATE accounts_dep.person SET fio='O''Brien', s_staffpos_hl='Цех №1' where accounts_dep.person.id=7"},
        {WorkerStatements::deletion(7), "delete from accounts_dep.person where id =7"},
        {ProductStatements::duplicateCount(QStringLiteral("КОЛЬЦО")),
         "select count(*) as cnt from accounts_dep.izdel where upper(marka)='КОЛЬЦО'"},
        {ProductStatements::duplicateCountOnChange(QStringLiteral("КОЛЬЦО"), 5),
         "select count(*) as cnt from accounts_dep.izdel where upper(marka)='КОЛЬЦО'and id<>5"},
        {ProductStatements::insert(QStringLiteral("Кольцо"), SqlValue::decimal(QStringLiteral("1.5")), 12),
         "INSERT INTO cmn_gds_and_srv.gds_and_srv(s_caption, s_description, id_msm_bs, massa, id_class_item)VALUES('Кольцо', '', 6, 1.5,12)"},
        {ProductStatements::update(5, QStringLiteral("Кольцо"), SqlValue::decimal(QStringLiteral("1.5")), 12),
         "UPDATE cmn_gds_and_srv.gds_and_srv SET s_caption='Кольцо', s_description='', id_msm_bs=6, massa=1.5, id_class_item=12 where id=5"},
        {ProductStatements::recordsSinceCount(),
         "select count(*) as cnt from accounts_dep.smena s where s.i_id =:id_ii and s.\"data\">=:dt"},
        {ProductStatements::pricesCount(), "select count(*) as cnt from accounts_dep.oper o where o.i_id =:id_ii"},
        {ProductStatements::pricesDeletion(5), "delete from accounts_dep.oper o where o.i_id =5"},
        {ProductStatements::recordsDeletion(5), "delete from accounts_dep.smena s where s.i_id =5"},
        {ProductStatements::productDeletion(5), "delete from cmn_gds_and_srv.gds_and_srv  where id=5"},
        {KindStatements::duplicateCount(QStringLiteral("ТОКАРНАЯ")),
         "select count(*) as cnt from accounts_dep.vid_oper where upper(vid)='ТОКАРНАЯ'"},
        {KindStatements::duplicateCountOnChange(QStringLiteral("ТОКАРНАЯ"), 3),
         "select count(*) as cnt from accounts_dep.vid_oper where upper(vid)='ТОКАРНАЯ' and id<>3"},
        {PriceStatements::duplicateCount(3, 1, 5),
         "select count(ID) as cnt from accounts_dep.OPER where vid=3 and naimen=1 and i_id=5"},
        {PriceStatements::duplicateCountOnChange(3, 1, 5, 9),
         "select count(*) as cnt from accounts_dep.OPER where vid=3 and naimen=1 and i_id=5 and id<>9"},
        // The new id is read back for the first norm row.
        {PriceStatements::insert(3, 1, 5),
         "insert into accounts_dep.oper(vid, naimen, i_id, cena_new)values (3, 1, 5, 0) returning id"},
        {PriceStatements::update(9, 3, 1, 5), "update accounts_dep.oper set vid=3, naimen=1,  i_id=5 where id=9"},
        {PriceStatements::deletion(), "delete from accounts_dep.oper where id=:id"},
        {PriceStatements::productMark(5), "select marka from accounts_dep.izdel where id=5"},
    };
    for (const auto &t : texts)
        QCOMPARE(t.first, t.second);
}

void TestCore::textsStoredAsTyped_data()
{
    QTest::addColumn<bool>("conforming");
    QTest::addColumn<QString>("text");
    const QList<QPair<const char *, QString>> texts = {
        {"apostrophes", QStringLiteral("O'Brien 5'' ''")},
        {"backslash ending a literal", QStringLiteral("\\', chr(65)); delete from accounts_dep.smena where id=(select max(id) from accounts_dep.smena); --")},
        {"backslash at the end", QStringLiteral("C:\\")},
        {"escape sequences", QStringLiteral("\\n\\t\\\\x41 \\x27")},
        {"percent and underscore", QStringLiteral("100% _x_ %")},
        {"parameter marks", QStringLiteral("Сборка :dt :id_ii ? {fn now()}")},
        {"Cyrillic", QStringLiteral("Щёлковский Ё.Ъ. «ёлка»")},
        {"emoji", QStringLiteral("Иванов 🙂🏭")},
        {"300 characters", QString(300, QChar(0x042F))},
    };
    for (bool conforming : {false, true})
        for (const auto &t : texts)
            QTest::newRow(qPrintable(QStringLiteral("%1, %2").arg(conforming ? "standard strings on" : "standard strings off",
                                                                     QString::fromLatin1(t.first))))
                << conforming << t.second;
}

// A server whose default still treats a backslash as an escape (older servers, some shared ones):
// every text goes in and comes back as typed, is found by its own duplicate check, and no other
// row changes.
void TestCore::textsStoredAsTyped()
{
    QFETCH(bool, conforming);
    QFETCH(QString, text);
    TestDatabase db;
    db.exec(QStringLiteral("alter database %1 set standard_conforming_strings = %2").arg(db.name(), conforming ? "on" : "off"));
    const int worker = db.addWorker(QStringLiteral("Иванов И.И."));
    const int group = db.addGroup(QStringLiteral("Ящики"));
    const int product = db.addProduct(QStringLiteral("Ящик 400"), group);
    const int kind = db.addKind(QStringLiteral("Сборка"));
    db.addRecord(worker, product, db.addPrice(kind, product), QDate(2026, 3, 5), 1, 10, 0, 5, 8);
    auto module = db.connectModule();
    // A product search and deletion set parameters on the shared look-up query beforehand.
    module->lookUpQuery->setParam(QStringLiteral("dt"), QDate(2000, 1, 1));
    module->lookUpQuery->setParam(QStringLiteral("id_ii"), 1);

    module->command.execute(ProductStatements::insert(text, SqlValue::decimal(QStringLiteral("1.5")), group));
    QCOMPARE(db.scalar(QStringLiteral("select s_caption from cmn_gds_and_srv.gds_and_srv order by id desc limit 1")).toString(), text);
    QCOMPARE(module->lookUp(ProductStatements::duplicateCount(text.toUpper()), QStringLiteral("cnt")).toInt(), text.size() > 254 ? 0 : 1);
    const int newKind = module->lookUp(KindStatements::insert(text.left(128)), QStringLiteral("id")).toInt();
    QCOMPARE(db.scalar(QStringLiteral("select rtrim(vid) from accounts_dep.vid_oper where id=%1").arg(newKind)).toString(), text.left(128));
    QCOMPARE(module->lookUp(KindStatements::duplicateCount(text.left(128).toUpper()), QStringLiteral("cnt")).toInt(), 1);
    module->command.execute(WorkerStatements::insert(text.left(254), text.left(254)));
    const auto stored = db.rows(QStringLiteral("select fio, s_staffpos_hl from accounts_dep.person order by id desc limit 1"));
    QCOMPARE(stored.value(0).value(0).toString(), text.left(254));
    QCOMPARE(stored.value(0).value(1).toString(), text.left(254));
    // Nothing else was touched.
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from accounts_dep.smena")).toInt(), 1);
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from accounts_dep.person")).toInt(), 2);
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from cmn_gds_and_srv.gds_and_srv")).toInt(), 2);
}

void TestCore::paramsWrittenIn_data()
{
    QTest::addColumn<QString>("statement");
    QTest::addColumn<QVariantHash>("params");
    QTest::addColumn<QString>("expected");
    const auto row = [](const char *name, const char *statement, const QVariantHash &params, const char *expected) {
        QTest::newRow(name) << QString::fromUtf8(statement) << params << QString::fromUtf8(expected);
    };
    row("date day first", "data=:data", {{"data", QDate(2026, 3, 5)}}, "data='05.03.2026'");
    row("whole number", "id=:id", {{"id", 42}}, "id=42");
    row("64-bit number", "id=:id", {{"id", qlonglong(123456789012345)}}, "id=123456789012345");
    row("text with apostrophes", "ok!=:ok", {{"ok", QStringLiteral("O'Brien''")}}, "ok!='O''Brien'''''");
    row("backslash as it is", "ok=:ok", {{"ok", QStringLiteral("a\\', b")}}, "ok='a\\'', b'");
    row("floating-point number", "cnt>:cnt", {{"cnt", 12.5}}, "cnt>12.5");
    row("zero as double", "cnt>:cnt", {{"cnt", 0.0}}, "cnt>0");
    row("no value", "x=:x", {{"x", QVariant()}}, "x=null");
    row("mark without a parameter", "x=:x and y=:y", {{"x", 1}}, "x=1 and y=null");
    row("cast after a mark", "d=:d::date", {{"d", QDate(2026, 1, 31)}}, "d='31.01.2026'::date");
    row("cast is no mark", "s_code::t_id=w_id and a=:a", {{"a", 1}}, "s_code::t_id=w_id and a=1");
    row("mark inside a text stays", "x=':a' and y=:a", {{"a", 2}}, "x=':a' and y=2");
    row("mark inside a quoted name stays", "\"x:a\"=:a", {{"a", 2}}, "\"x:a\"=2");
    row("doubled quote inside a text", "x='it''s :a' and y=:a", {{"a", 2}}, "x='it''s :a' and y=2");
    row("longer name sharing a start", "a>=:data1 and a<:data12 and b=:data",
        {{"data", 1}, {"data1", 2}, {"data12", 3}}, "a>=2 and a<3 and b=1");
    row("names whatever their case", "m=:Mnth and y=:yea", {{"mnth", 3}, {"YEA", 2026}}, "m=3 and y=2026");
    row("time in a text", "t='10:30' and x=:x", {{"x", 1}}, "t='10:30' and x=1");
    row("array slice digits", "a[1:2]=:x", {{"x", 1}}, "a[1:2]=1");
    row("Cyrillic text", "fio=:fio", {{"fio", QStringLiteral("Щёлковский")}}, "fio='Щёлковский'");
}

// Parameters go to the server written into the statement, safe whatever they hold.
void TestCore::paramsWrittenIn()
{
    QFETCH(QString, statement);
    QFETCH(QVariantHash, params);
    QFETCH(QString, expected);
    QCOMPARE(sqlWithParams(statement, params), expected);
}

// The program reads results straight from the driver: every value must be what the Qt driver
// itself gives, of the same type, nulls and long texts included.
void TestCore::resultsReadAsTheQtDriverReadsThem()
{
    TestDatabase db;
    const QString longText = QString(3000, QChar(0x0416)) + QStringLiteral("🙂") + QString(2000, QLatin1Char('x'));
    db.exec(QStringLiteral("create table accounts_dep.kinds (id serial, t text, v varchar(40), c char(6), n numeric(28,6), "
                           "r numeric, f float8, s smallint, i integer, b bigint, d date, tm time, ts timestamp, "
                           "flag boolean)"));
    db.exec(QStringLiteral("insert into accounts_dep.kinds (t, v, c, n, r, f, s, i, b, d, tm, ts, flag) values "
                           "(%1, 'Иванов 🙂', 'ab', 12.5, 1.0000000001, 0.1, -3, 2147483647, 9007199254740993, "
                           "'2026-03-05', '14:30:15', '2026-12-10 14:30:00.125', true), "
                           "(null, null, null, null, null, null, null, null, null, null, null, null, null), "
                           "('', '', '', 0, -0.5, -1e10, 0, -2147483648, -1, '1900-01-01', '00:00', '2026-03-29 02:30:00', false), "
                           // Values held in a compact form and those that are kept as their text:
                           // long and tiny decimals, exponents, a float's signed zero and
                           // infinity, texts equal to the row above's.
                           "('', 'Иванов 🙂', 'ab', -0.000001, 12345678901234567890.1234567890123, 'NaN', 32767, 0, "
                           "9223372036854775807, '0001-01-01', '23:59:59', '1970-01-01 00:00:00', null), "
                           "('', 'Иванов 🙂', 'ab', 9999999999999999999999.999999, -0.00000000000000000001, '-0', -32768, "
                           "1, -9223372036854775808, '2026-03-05', '00:00:01', '2026-03-05 23:59:59.999', true), "
                           "('x', 'Иванов 🙂', null, 100, 0.50, 'Infinity', 1, 1, 1, '2026-03-05', null, null, null), "
                           "('x', 'Иванов', 'ab', 100, 1e-5, '1e+20', 1, 1, 1, null, '12:00', '2026-03-05 12:00', null)")
                .arg(sqlLiteral(longText)));
    auto module = db.connectModule();
    const QString sql = QStringLiteral("select t, v, c, n, r, f, s, i, b, d, tm, ts, flag, n * 2 as computed, "
                                       "count(*) over () as cnt, null as nothing, "
                                       "case id when 1 then 1.5 when 2 then null when 3 then 2 else 123456789012.25 + id end "
                                       "as widened from accounts_dep.kinds order by id");
    DataSet ds(module->connectionName());
    ds.setSql(sql);
    ds.open();
    QCOMPARE(ds.recordCount(), 7);

    QSqlQuery q(QSqlDatabase::database(module->connectionName()));
    q.setForwardOnly(true);
    q.setNumericalPrecisionPolicy(QSql::HighPrecision);
    QVERIFY(q.exec(sql));
    int row = 0;
    while (q.next()) {
        for (int c = 0; c < q.record().count(); ++c) {
            const QVariant expected = q.value(c);
            const QVariant read = ds.valueAt(row, c);
            const QByteArray where = QStringLiteral("row %1, column %2").arg(row).arg(q.record().fieldName(c)).toUtf8();
            QVERIFY2(read.metaType() == expected.metaType(), where + " type " + read.typeName() + " against " + expected.typeName());
            QVERIFY2(read.isNull() == expected.isNull(), where);
            QVERIFY2(read == expected, where + ": " + read.toString().left(40).toUtf8() + " against " + expected.toString().left(40).toUtf8());
        }
        ++row;
    }
    QCOMPARE(row, 7);
    QCOMPARE(ds.valueAt(0, ds.column(QStringLiteral("t"))).toString(), longText);
    QCOMPARE(ds.valueAt(0, QStringLiteral("n")).toString(), QStringLiteral("12.500000"));
    QVERIFY(ds.isDecimalField(QStringLiteral("n")));
    QCOMPARE(ds.valueAt(0, QStringLiteral("ts")).toDateTime(), QDateTime(QDate(2026, 12, 10), QTime(14, 30, 0, 125)));
    QCOMPARE(ds.column(QStringLiteral("no such field")), -1);
    QVERIFY(!ds.valueAt(0, 99).isValid());
}

// Local date-times are made for every row of a result: the process names the workstation's zone
// once, as /etc/localtime links to it, so that the C library need not look at that file again for
// each of them, and the times stay those of the same zone.
void TestCore::localZoneNamedOnce()
{
    const QString link = QFileInfo(QStringLiteral("/etc/localtime")).symLinkTarget();
    const int at = int(link.indexOf(QLatin1String("/zoneinfo/")));
    if (at < 0)
        QSKIP("/etc/localtime does not link into a zone folder here");
    const QByteArray zone = link.mid(at + 10).toLocal8Bit();
    QCOMPARE(qgetenv("TZ"), zone);
    const QDateTime summer(QDate(2026, 7, 1), QTime(12, 0));
    QCOMPARE(summer.offsetFromUtc(), QTimeZone(zone).offsetFromUtc(summer));
}

void TestCore::unitOfWorkCommits()
{
    TestDatabase db;
    auto module = db.connectModule();
    {
        UnitOfWork work(*module);
        QVERIFY(!work.joined());
        QVERIFY(module->inTransaction());
        module->command.execute(KindStatements::insert(QStringLiteral("Сверловка")));
        module->command.execute(KindStatements::insert(QStringLiteral("Фрезеровка")));
        // Not yet seen by another workstation.
        QCOMPARE(db.scalar(QStringLiteral("select count(*) from accounts_dep.vid_oper where vid like 'Св%' or vid like 'Фр%'")).toInt(), 0);
        work.commit();
    }
    QVERIFY(!module->inTransaction());
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from accounts_dep.vid_oper where vid like 'Св%' or vid like 'Фр%'")).toInt(), 2);
}

void TestCore::unitOfWorkRollsBackWhole()
{
    TestDatabase db;
    auto module = db.connectModule();
    refuseStatements(db, QStringLiteral("accounts_dep.vid_oper"), QStringLiteral("update"), QStringLiteral("Справочник закрыт"));
    QString error;
    try {
        UnitOfWork work(*module);
        work.lock(QStringLiteral("test"), QStringLiteral("kinds"));
        module->command.execute(KindStatements::insert(QStringLiteral("Сверловка")));
        module->command.execute(QStringLiteral("update accounts_dep.vid_oper set vid='Сверловка 2' where vid='Сверловка'"));
        work.commit();
    } catch (const DbError &e) {
        error = e.text();
    }
    QVERIFY2(error.contains(QStringLiteral("Справочник закрыт")), qPrintable(error));
    // The insert that went through before the refusal is gone too, and so is the lock.
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from accounts_dep.vid_oper where vid like 'Св%'")).toInt(), 0);
    QCOMPARE(db.advisoryLocks(), 0);
    // The connection commits each statement on its own again.
    module->command.execute(KindStatements::insert(QStringLiteral("Сверловка")));
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from accounts_dep.vid_oper where vid like 'Св%'")).toInt(), 1);
}

void TestCore::unitOfWorkJoinsTheOuterOne()
{
    TestDatabase db;
    auto module = db.connectModule();
    {
        UnitOfWork outer(*module);
        {
            UnitOfWork inner(*module);
            QVERIFY(inner.joined());
            module->command.execute(KindStatements::insert(QStringLiteral("Сверловка")));
            inner.commit();
        }
        // The inner commit commits nothing: the outer one decides.
        QVERIFY(module->inTransaction());
        QCOMPARE(db.scalar(QStringLiteral("select count(*) from accounts_dep.vid_oper where vid like 'Св%'")).toInt(), 0);
        // The outer one ends without a commit: the inner part goes as well.
    }
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from accounts_dep.vid_oper where vid like 'Св%'")).toInt(), 0);
    {
        UnitOfWork outer(*module);
        {
            UnitOfWork inner(*module);
            module->command.execute(KindStatements::insert(QStringLiteral("Сверловка")));
            inner.commit();
        }
        outer.commit();
    }
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from accounts_dep.vid_oper where vid like 'Св%'")).toInt(), 1);
}

void TestCore::countCheckInsideWorkWaitsForItsEnd()
{
    // A duplicate found inside a command's transaction is told after the transaction has ended,
    // so that no lock waits for the user to read the box.
    TestDatabase db;
    auto module = db.connectModule();
    Messages::MessageRecorder rec;
    {
        UnitOfWork work(*module);
        work.lock(QStringLiteral("test"), QStringLiteral("duplicate"));
        QVERIFY(module->countCheck(QStringLiteral("select 1 as cnt"), QStringLiteral("Такая операция уже заведена!")));
        QCOMPARE(rec.shown.size(), 0);
    }
    QCOMPARE(rec.errors(), QStringList{QStringLiteral("Такая операция уже заведена!")});
    QCOMPARE(rec.shown[0].title, QStringLiteral("Ошибка"));
    QCOMPARE(db.advisoryLocks(), 0);
}

namespace {

int backendOf(DataModule &module)
{
    return module.lookUp(QStringLiteral("select pg_backend_pid() as pid"), QStringLiteral("pid")).toInt();
}

} // namespace

// The server ends the program's session (a restart, an administrator): the command that meets it
// says so, the next one reconnects by itself, with the same session settings.
void TestCore::lostConnectionReopensOnNextCommand()
{
    TestDatabase db;
    auto module = db.connectModule();
    const int before = backendOf(*module);
    db.exec(QStringLiteral("select pg_terminate_backend(%1)").arg(before));
    Messages::MessageRecorder rec;
    QVERIFY(!Messages::guard(QStringLiteral("Не удалось прочитать журнал."), [&] { backendOf(*module); }));
    QCOMPARE(rec.errors().size(), 1);
    const QStringList lines = rec.errors()[0].split(QLatin1Char('\n'));
    QCOMPARE(lines.value(0), QStringLiteral("Не удалось прочитать журнал."));
    QCOMPARE(lines.value(1), Connection::lostText());
    QVERIFY2(lines.size() > 2 && !lines[2].isEmpty(), qPrintable(rec.errors()[0]));   // the driver's own text
    // The command that was cut off is not repeated; the next one works on a new session.
    const int after = backendOf(*module);
    QVERIFY(after != before);
    QCOMPARE(module->lookUp(QStringLiteral("select current_setting('standard_conforming_strings') as s"), QStringLiteral("s")).toString(),
             QStringLiteral("on"));
    // A transaction cut off by the loss rolls back, and the next unit of work starts afresh.
    QString error;
    try {
        UnitOfWork work(*module);
        module->command.execute(KindStatements::insert(QStringLiteral("Сверловка")));
        db.exec(QStringLiteral("select pg_terminate_backend(%1)").arg(after));
        module->command.execute(KindStatements::insert(QStringLiteral("Фрезеровка")));
        work.commit();
    } catch (const DbError &e) {
        error = e.text();
    }
    QVERIFY2(error.startsWith(Connection::lostText()), qPrintable(error));
    QVERIFY(!module->inTransaction());
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from accounts_dep.vid_oper where vid like 'Св%' or vid like 'Фр%'")).toInt(), 0);
    {
        UnitOfWork work(*module);
        module->command.execute(KindStatements::insert(QStringLiteral("Сверловка")));
        work.commit();
    }
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from accounts_dep.vid_oper where vid like 'Св%'")).toInt(), 1);
}

void TestCore::serverStoppedAndStartedAgain()
{
    PrivateServer server;
    DataModule module;
    module.open(server.connectionString());
    QCOMPARE(module.lookUp(QStringLiteral("select count(*) as cnt from accounts_dep.ver"), QStringLiteral("cnt")).toInt(), 1);
    server.stop();
    Messages::MessageRecorder rec;
    // While the server is down every command says so and nothing hangs.
    QVERIFY(!Messages::guard([&] { module.lookUp(QStringLiteral("select 1 as one"), QStringLiteral("one")); }));
    QVERIFY2(rec.errors().value(0).startsWith(Connection::lostText()), qPrintable(rec.errors().value(0)));
    QVERIFY(!Messages::guard([&] { module.lookUp(QStringLiteral("select 1 as one"), QStringLiteral("one")); }));
    QVERIFY2(rec.errors().value(1).startsWith(QStringLiteral("Нет связи с сервером базы данных.")), qPrintable(rec.errors().value(1)));
    server.start();
    // Back again: the next command reconnects without asking.
    QCOMPARE(module.lookUp(QStringLiteral("select 1 as one"), QStringLiteral("one")).toInt(), 1);
    QCOMPARE(rec.errors().size(), 2);
}

// Another workstation holds a row in a transaction of its own: a command that would change it
// gives up after the bounded wait and says why.
void TestCore::lockWaitGivesUp()
{
    TestDatabase db;
    const int worker = db.addWorker(QStringLiteral("Иванов И.И."));
    Connection::setLockWaitLimit(700);
    const auto restoreLimit = qScopeGuard([] { Connection::setLockWaitLimit(Connection::DefaultLockWaitLimit); });
    auto module = db.connectModule();
    auto other = db.connectModule();
    UnitOfWork holding(*other);
    other->command.execute(WorkerStatements::update(worker, QStringLiteral("Иванов И.И."), QStringLiteral("Цех №2")));
    QElapsedTimer clock;
    clock.start();
    QString error;
    try {
        module->command.execute(WorkerStatements::update(worker, QStringLiteral("Иванов И.И."), QStringLiteral("Цех №1")));
    } catch (const DbError &e) {
        error = e.text();
    }
    QVERIFY2(error.startsWith(Connection::lockWaitText()), qPrintable(error));
    QVERIFY(clock.elapsed() < 5000);
    // The module is not lost: once the other workstation is done, the same command goes through.
    holding.commit();
    module->command.execute(WorkerStatements::update(worker, QStringLiteral("Иванов И.И."), QStringLiteral("Цех №1")));
    QCOMPARE(db.scalar(QStringLiteral("select s_staffpos_hl from accounts_dep.person where id=%1").arg(worker)).toString(),
             QStringLiteral("Цех №1"));
}

// A report waits for a table another workstation has locked for longer than the limit, and
// then runs to its end.
void TestCore::reportWaitsWithoutTheLimit()
{
    TestDatabase db;
    Connection::setLockWaitLimit(300);
    const auto restoreLimit = qScopeGuard([] { Connection::setLockWaitLimit(Connection::DefaultLockWaitLimit); });
    auto module = db.connectModule();
    ProductsReport report(module.get());
    const QString connection = db.connectionString();
    std::atomic<bool> locked{false};
    std::thread other([&] {
        DataModule holder;
        holder.open(connection);
        UnitOfWork work(holder);
        holder.command.execute(QStringLiteral("lock table accounts_dep.smena in access exclusive mode"));
        locked = true;
        QThread::msleep(1200);
        work.commit();
    });
    while (!locked)
        QThread::msleep(10);
    QString error;
    try {
        report.make(QDate(2026, 3, 1), QDate(2026, 4, 1), ProductKindChoice::All);
    } catch (const std::exception &e) {
        error = QString::fromUtf8(e.what());
    }
    other.join();
    QCOMPARE(error, QString());
    // Afterwards the commands wait no longer than the limit again.
    QCOMPARE(module->lookUp(QStringLiteral("select current_setting('lock_timeout') as t"), QStringLiteral("t")).toString(),
             QStringLiteral("300ms"));
}

QTEST_MAIN(TestCore)
#include "test_core.moc"
