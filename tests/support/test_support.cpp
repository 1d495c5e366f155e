#include "tests/support/test_support.h"

#include "db/connection_string.h"
#include "db/data_module.h"
#include "ui/program_end.h"
#include "db/dataset.h"
#include "db/sql_statement.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QMutex>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>
#include <stdexcept>
#include <unistd.h>

namespace {

int counter = 0;

// The settings files the tests' windows read and write: a folder of this test binary's own, gone
// when it ends, so that no test reads or changes the settings of the user who runs it. A child
// process that plays the next run of the program is handed the parent's user file
// (TABEL_TEST_USER_CONFIG).
struct TestSettingsFiles {
    QTemporaryDir folder;
    TestSettingsFiles()
    {
        const QByteArray inherited = qgetenv("TABEL_TEST_USER_CONFIG");
        qputenv("TABEL_USER_CONFIG", inherited.isEmpty() ? folder.filePath(QStringLiteral("user.conf")).toLocal8Bit() : inherited);
        // A test that wants a system file of its own names it; none is read from the machine.
        if (qEnvironmentVariableIsEmpty("TABEL_SYSTEM_CONFIG"))
            qputenv("TABEL_SYSTEM_CONFIG", folder.filePath(QStringLiteral("system.conf")).toLocal8Bit());
    }
};
const TestSettingsFiles testSettingsFiles;

QString adminConnection()
{
    const QString name = QStringLiteral("test_admin");
    if (!QSqlDatabase::contains(name)) {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QODBC"), name);
        db.setDatabaseName(composeConnectionString({QStringLiteral("postgres"), TestDatabase::server()}));
        if (!db.open())
            throw std::runtime_error(("test cluster not reachable: " + db.lastError().text()).toStdString());
    }
    return name;
}

QSqlQuery run(const QString &connection, const QString &sql)
{
    QSqlQuery q(QSqlDatabase::database(connection));
    q.setNumericalPrecisionPolicy(QSql::HighPrecision);
    if (!q.exec(sql))
        throw std::runtime_error(("test statement failed: " + sql + "\n" + q.lastError().text()).toStdString());
    return q;
}

// With TABEL_TEST_STATEMENT_LOG naming a folder, every statement the program sends during the
// tests is written there, one file per test process, each line the test function and the
// statement: two runs of the suite compare statement by statement (a change meant to keep every
// statement text and its order shows that it did).
void logStatementsWhenAsked()
{
    static bool asked = false;
    const QString folder = qEnvironmentVariable("TABEL_TEST_STATEMENT_LOG");
    if (asked || folder.isEmpty())
        return;
    asked = true;
    static QMutex lock;
    static QFile file;
    setStatementObserver([folder](const QString &, const QString &sql) {
        QMutexLocker locked(&lock);
        if (!file.isOpen()) {
            file.setFileName(QStringLiteral("%1/%2.%3.log").arg(folder, QCoreApplication::applicationName())
                                 .arg(QCoreApplication::applicationPid()));
            file.open(QIODevice::WriteOnly | QIODevice::Append);
        }
        QString line = QString::fromLatin1(QTest::currentTestFunction()) + QLatin1Char('\t') + sql;
        line.replace(QLatin1Char('\n'), QLatin1String("\\n"));
        file.write(line.toUtf8() + '\n');
        file.flush();
    });
}

} // namespace

QString TestDatabase::server()
{
    const QString s = qEnvironmentVariable("TABEL_TEST_SERVER");
    return s.isEmpty() ? QStringLiteral("127.0.0.77") : s;
}

TestDatabase::TestDatabase()
{
    logStatementsWhenAsked();
    m_name = QStringLiteral("t_%1_%2").arg(QCoreApplication::applicationPid()).arg(++counter);
    run(adminConnection(), QStringLiteral("DROP DATABASE IF EXISTS %1").arg(m_name));
    run(adminConnection(), QStringLiteral("CREATE DATABASE %1 TEMPLATE tabel_template").arg(m_name));
    run(adminConnection(), QStringLiteral("ALTER DATABASE %1 SET datestyle TO 'ISO, DMY'").arg(m_name));
    connect();
}

TestDatabase::TestDatabase(const Kept &kept) : m_name(kept.name), m_kept(true)
{
    logStatementsWhenAsked();
    QSqlQuery q = run(adminConnection(), QStringLiteral("select count(*) from pg_database where datname = %1").arg(sqlLiteral(m_name)));
    m_created = q.next() && q.value(0).toInt() == 0;
    if (m_created) {
        run(adminConnection(), QStringLiteral("CREATE DATABASE %1 TEMPLATE tabel_template").arg(m_name));
        run(adminConnection(), QStringLiteral("ALTER DATABASE %1 SET datestyle TO 'ISO, DMY'").arg(m_name));
    }
    connect();
}

void TestDatabase::drop(const QString &name)
{
    run(adminConnection(), QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(name));
}

QStringList TestDatabase::kept(const QString &prefix)
{
    QStringList names;
    QSqlQuery q = run(adminConnection(), QStringLiteral("select datname from pg_database where starts_with(datname, %1)").arg(sqlLiteral(prefix)));
    while (q.next())
        names << q.value(0).toString();
    return names;
}

void TestDatabase::connect()
{
    m_conn = QStringLiteral("test_%1").arg(m_name);
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QODBC"), m_conn);
    db.setDatabaseName(connectionString());
    if (!db.open())
        throw std::runtime_error(db.lastError().text().toStdString());
}

TestDatabase::~TestDatabase()
{
    QSqlDatabase::database(m_conn, false).close();
    QSqlDatabase::removeDatabase(m_conn);
    if (m_kept)
        return;
    try {
        run(adminConnection(), QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(m_name));
    } catch (...) {
    }
}

QString TestDatabase::connectionString() const
{
    return composeConnectionString({m_name, server()});
}

std::unique_ptr<DataModule> TestDatabase::connectModule() const
{
    auto module = std::make_unique<DataModule>();
    module->open(connectionString());
    module->decimalDelimiter = QStringLiteral(".");
    return module;
}

int TestDatabase::advisoryLocks() const
{
    return scalar(QStringLiteral("select count(*) from pg_locks where locktype='advisory' "
                                 "and database=(select oid from pg_database where datname=current_database())")).toInt();
}

int TestDatabase::exec(const QString &sql) const
{
    return run(m_conn, sql).numRowsAffected();
}

QVariant TestDatabase::scalar(const QString &sql) const
{
    QSqlQuery q = run(m_conn, sql);
    return q.next() ? q.value(0) : QVariant();
}

QVector<QVector<QVariant>> TestDatabase::rows(const QString &sql) const
{
    QSqlQuery q = run(m_conn, sql);
    QVector<QVector<QVariant>> out;
    while (q.next()) {
        QVector<QVariant> row;
        for (int i = 0; i < q.record().count(); ++i)
            row << q.value(i);
        out << row;
    }
    return out;
}

int TestDatabase::addWorker(const QString &fio, const QString &position) const
{
    return insertId(QStringLiteral("insert into accounts_dep.person(fio, s_staffpos_hl) values(%1, %2) returning id")
                        .arg(sqlLiteral(fio), sqlLiteral(position)));
}

int TestDatabase::addGroup(const QString &caption) const
{
    return insertId(QStringLiteral("insert into cmn_classifier.item(id, id_classifier, id_level, s_code, s_caption) "
                                   "select coalesce(max(id), 100) + 1, 1, 2, '', %1 from cmn_classifier.item returning id::integer")
                        .arg(sqlLiteral(caption)));
}

int TestDatabase::addProduct(const QString &mark, int group, double massa) const
{
    return insertId(QStringLiteral("insert into cmn_gds_and_srv.gds_and_srv(s_caption, s_description, id_msm_bs, massa, id_class_item) "
                                   "values(%1, '', 6, %2, %3) returning id::integer")
                        .arg(sqlLiteral(mark))
                        .arg(massa)
                        .arg(group ? QString::number(group) : QStringLiteral("null")));
}

int TestDatabase::addKind(const QString &name) const
{
    return insertId(QStringLiteral("insert into accounts_dep.vid_oper(vid) values(%1) returning id").arg(sqlLiteral(name)));
}

int TestDatabase::addPrice(int kind, int product, int naimen) const
{
    return insertId(QStringLiteral("insert into accounts_dep.oper(vid, naimen, i_id, cena, cena_new) values(%1, %2, %3, 0, 0) returning id")
                        .arg(kind)
                        .arg(naimen)
                        .arg(product));
}

int TestDatabase::addNorm(int price, double unitPrice, int norma) const
{
    return insertId(QStringLiteral("insert into accounts_dep.norm(o_id, norma, prize, price) values(%1, %2, 0, %3) returning id")
                        .arg(price)
                        .arg(norma)
                        .arg(unitPrice, 0, 'g', 15));
}

int TestDatabase::addRecord(int worker, int product, int price, const QDate &date, int mode, int qty,
                            int brak, double unitPrice, int hours, const QString &state, int colour) const
{
    const QString ok = state.isNull() ? QStringLiteral("null") : sqlLiteral(state);
    return insertId(QStringLiteral("insert into accounts_dep.smena(w_id, i_id, o_id, cena, kol_vo, brak, data, smena, color, time, vvod, ok, "
                                   "prize, id_doc, id_doc_item, f_gds_qty_use, id_gds_use, id_cons_use) values(%1, %2, %3, %4, %5, %6, '%7', %8, %9, %10, '%7', %11, 0, 0, 0, 0, 0, 0) returning id")
                        .arg(worker)
                        .arg(product)
                        .arg(price)
                        .arg(unitPrice, 0, 'g', 15)
                        .arg(qty)
                        .arg(brak)
                        .arg(sqlDate(date))
                        .arg(mode)
                        .arg(colour)
                        .arg(hours)
                        .arg(ok));
}

QStringList TestDatabase::timesheetLines(int worker) const
{
    QStringList days;
    for (int d = 1; d <= 31; ++d)
        days << QStringLiteral("d%1").arg(d);
    const auto found = rows(QStringLiteral("select smena, month, year, i_type, i_night, %1 from accounts_dep.h_tabel "
                                           "where w_id=%2 order by smena, year, month, id")
                                .arg(days.join(QStringLiteral(", ")))
                                .arg(worker));
    QStringList out;
    for (const auto &r : found) {
        QString line = QStringLiteral("%1 %2.%3 %4 %5:").arg(r[0].toInt()).arg(r[1].toInt()).arg(r[2].toInt())
                           .arg(r[3].toInt()).arg(r[4].toInt());
        for (int d = 1; d <= 31; ++d)
            if (!r[4 + d].isNull())
                line += QStringLiteral(" d%1=%2").arg(d).arg(r[4 + d].toInt());
        out << line;
    }
    return out;
}

void loadDemoPlant(const TestDatabase &db, const QString &size)
{
    const QString dataDir = qEnvironmentVariable("TABEL_TEST_PGDATA", QStringLiteral("/tmp/tabel-test-pg-%1").arg(getuid()));
    const QString source = qEnvironmentVariable("TABEL_SOURCE_DIR", QStringLiteral(TABEL_SOURCE_DIR));
    QProcess loader;
    loader.setProcessChannelMode(QProcess::ForwardedChannels);
    loader.start(source + QStringLiteral("/scripts/load_demo.sh"), {dataDir, QStringLiteral("5432"), db.name(), size});
    if (!loader.waitForFinished(30 * 60 * 1000) || loader.exitCode() != 0)
        qFatal("the demo plant could not be loaded");
}

std::unique_ptr<TestDatabase> benchDatabase(const QString &size)
{
    const QString prefix = QStringLiteral("tabel_bench_%1_").arg(size);
    const QString dbName = prefix + QDate::currentDate().toString(QStringLiteral("yyyyMMdd"));
    for (const QString &old : TestDatabase::kept(prefix))
        if (old != dbName)
            TestDatabase::drop(old);
    auto db = std::make_unique<TestDatabase>(TestDatabase::Kept{dbName});
    const auto loaded = [&db] {
        return db->scalar(QStringLiteral("select coalesce(shobj_description(oid, 'pg_database'), '') "
                                         "from pg_database where datname = current_database()")).toString()
            == QLatin1String("demo plant loaded");
    };
    if (!db->created() && !loaded()) {
        db.reset();
        TestDatabase::drop(dbName);
        db = std::make_unique<TestDatabase>(TestDatabase::Kept{dbName});
    }
    if (db->created()) {
        QElapsedTimer load;
        load.start();
        loadDemoPlant(*db, size);
        db->exec(QStringLiteral("vacuum analyze"));
        db->exec(QStringLiteral("comment on database %1 is 'demo plant loaded'").arg(dbName));
        QTextStream(stdout) << QStringLiteral("demo plant %1 loaded in %2 s\n").arg(size).arg(load.elapsed() / 1000.0, 0, 'f', 1);
    }
    return db;
}

namespace {
QString refusalName(const QString &table, const QString &event)
{
    return QStringLiteral("refuse_%1_%2").arg(QString(table).replace(QLatin1Char('.'), QLatin1Char('_')), event);
}
} // namespace

void refuseStatements(const TestDatabase &db, const QString &table, const QString &event, const QString &text)
{
    const QString name = refusalName(table, event);
    db.exec(QStringLiteral("create or replace function %1() returns trigger language plpgsql as $$ "
                           "begin raise exception %2; end $$").arg(name, sqlLiteral(text)));
    db.exec(QStringLiteral("create trigger %1 before %2 on %3 for each row execute function %1()").arg(name, event, table));
}

void dropRefusal(const TestDatabase &db, const QString &table, const QString &event)
{
    db.exec(QStringLiteral("drop trigger %1 on %2").arg(refusalName(table, event), table));
}

QString snapshot(const TestDatabase &db, const QStringList &tables)
{
    QStringList out;
    for (const QString &table : tables)
        out << table + QStringLiteral(":\n")
                   + db.scalar(QStringLiteral("select coalesce(string_agg(t.xmin::text || ' ' || t::text, E'\\n' order by t.id), '') from %1 t")
                                   .arg(table)).toString().remove(QLatin1Char('\r'));   // the driver's own line ends
    return out.join(QLatin1Char('\n'));
}

namespace {
int probeCounter = 0;
} // namespace

SentStatementProbe::SentStatementProbe(const TestDatabase &db, DataModule &module)
    : m_db(db), m_marker(QStringLiteral("select pg_backend_pid() as pid, 'probe %1' as probe").arg(++probeCounter))
{
    m_pid = module.lookUp(m_marker, QStringLiteral("pid")).toInt();
}

QString SentStatementProbe::sentSince() const
{
    const QString last = m_db.scalar(QStringLiteral("select query from pg_stat_activity where pid=%1").arg(m_pid)).toString();
    return last.trimmed() == m_marker ? QString() : last;
}

ProgramEndCounter::ProgramEndCounter()
{
    Program::setEndHandler([this] { ++count; });
}

ProgramEndCounter::~ProgramEndCounter()
{
    Program::setEndHandler(nullptr);
}

QStringList column(const DataSet *ds, const QString &field)
{
    QStringList out;
    for (int row = 0; row < ds->recordCount(); ++row)
        out << ds->valueAt(row, field).toString().trimmed();
    return out;
}

void prepareJournals(DataModule &module)
{
    for (int mode = 1; mode <= 4; ++mode)
        module.journal(mode)->setParam(QStringLiteral("ok"), QStringLiteral("ta"));
}

PrivateServer::PrivateServer()
{
    QString octets = TestDatabase::server();
    m_address = octets.section(QLatin1Char('.'), 0, 1) + QStringLiteral(".1.") + octets.section(QLatin1Char('.'), 3, 3);
    m_dir = QStringLiteral("/tmp/tabel-private-pg-%1").arg(QCoreApplication::applicationPid());
    run(QStringLiteral("rm -rf %1 && pg_cluster_init %1 && pg_cluster_start %1 %2 5432 && pg_create_plant_db %1 5432 plant_db")
            .arg(m_dir, m_address));
}

PrivateServer::~PrivateServer()
{
    try {
        run(QStringLiteral("pg_cluster_stop %1; rm -rf %1 %1.initdb.log").arg(m_dir));
    } catch (...) {
    }
}

QString PrivateServer::connectionString() const
{
    return composeConnectionString({QStringLiteral("plant_db"), m_address});
}

void PrivateServer::stop()
{
    run(QStringLiteral("pg_cluster_stop %1").arg(m_dir));
}

void PrivateServer::start()
{
    run(QStringLiteral("pg_cluster_start %1 %2 5432").arg(m_dir, m_address));
}

void PrivateServer::run(const QString &commands) const
{
    runClusterCommands(commands);
}

void runClusterCommands(const QString &commands)
{
    const QString source = qEnvironmentVariable("TABEL_SOURCE_DIR");
    QProcess shell;
    shell.setProcessChannelMode(QProcess::MergedChannels);
    shell.start(QStringLiteral("bash"), {QStringLiteral("-c"), QStringLiteral(". '%1/scripts/pg_cluster.sh' && %2").arg(source, commands)});
    if (!shell.waitForFinished(180000) || shell.exitCode() != 0)
        throw std::runtime_error(("cluster commands: " + commands + "\n" + QString::fromLocal8Bit(shell.readAll())).toStdString());
}
