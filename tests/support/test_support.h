#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <memory>

class DataSet;
class DataModule;

// A database of its own for one test, created from the fixture template on the private test
// cluster (scripts/test_cluster.sh) and dropped again when the object goes. Statements run on a
// connection of the test's own, apart from the program's, to prepare rows and to check what the
// database holds afterwards.
class TestDatabase {
public:
    TestDatabase();
    // A database kept between runs under its own name (the benchmarks' demo plants take minutes to
    // load): made from the template only when it is missing, and not dropped at the end.
    struct Kept {
        QString name;
    };
    explicit TestDatabase(const Kept &kept);
    ~TestDatabase();
    // Drops a kept database (one left half-loaded, say).
    static void drop(const QString &name);
    // Kept databases whose names start with `prefix`.
    static QStringList kept(const QString &prefix);
    // Whether this object made the database (false: a kept one was there already).
    bool created() const { return m_created; }
    TestDatabase(const TestDatabase &) = delete;
    TestDatabase &operator=(const TestDatabase &) = delete;

    QString name() const { return m_name; }
    static QString server();
    // The program's own connection string for this database.
    QString connectionString() const;
    // A data module connected to this database as the program connects.
    std::unique_ptr<DataModule> connectModule() const;

    // How many advisory locks are held in this database (by any session); other tests' databases
    // on the same cluster do not count.
    int advisoryLocks() const;

    // Runs statements; fails the test (throws) on error. Returns rows affected.
    int exec(const QString &sql) const;
    QVariant scalar(const QString &sql) const;
    QVector<QVector<QVariant>> rows(const QString &sql) const;
    // Inserts and returns the new id (statement must end in "returning id").
    int insertId(const QString &sql) const { return scalar(sql).toInt(); }

    // Small builders for test rows.
    int addWorker(const QString &fio, const QString &position = QString()) const;
    int addGroup(const QString &caption) const;                       // product group (classifier item, level 2)
    int addProduct(const QString &mark, int group = 0, double massa = 1) const;
    int addKind(const QString &name) const;                           // operation kind
    int addPrice(int kind, int product, int naimen = 0) const;        // operation price
    int addNorm(int price, double unitPrice, int norma = 100) const;
    int addRecord(int worker, int product, int price, const QDate &date, int mode, int qty,
                  int brak, double unitPrice, int hours, const QString &state = QStringLiteral("no"),
                  int colour = 0) const;

    // The worker's timesheet rows, one text each: "mode month.year type night: d5=8 d6=0 ...",
    // listing only the cells that hold a value.
    QStringList timesheetLines(int worker) const;

private:
    void connect();

    QString m_name;
    QString m_conn;
    bool m_kept = false;
    bool m_created = true;
};

// Fills the database with the demo plant of database/demo_data.sql ("small" or "large", see
// scripts/load_demo.sh) through the test cluster's socket; ends the run when that fails. For the
// benchmarks.
void loadDemoPlant(const TestDatabase &db, const QString &size);

// The benchmarks' demo plant of a size (large, x4, x16), kept under tabel_bench_<size>_<date> and
// loaded on the first use of the day (its journal ends with the day it was loaded); those of
// earlier days are dropped.
std::unique_ptr<TestDatabase> benchDatabase(const QString &size);

// Makes every statement of `event` ("delete", "update", "insert") on `table` fail with `text`, as
// a server that refuses a write does (a trigger that raises); dropRefusal takes it back.
void refuseStatements(const TestDatabase &db, const QString &table, const QString &event, const QString &text);
void dropRefusal(const TestDatabase &db, const QString &table, const QString &event);

// Every row of the tables (each has an id column), with every column and the row's version, one
// line a row: two equal snapshots mean nothing was written to those tables in between, not even a
// row rewritten with its own values.
QString snapshot(const TestDatabase &db, const QStringList &tables);

// Tells whether a data module has sent anything to the server since the probe was made: the probe
// runs a statement of its own through the module, which the server keeps showing as the session's
// last one until the module sends another.
class SentStatementProbe {
public:
    SentStatementProbe(const TestDatabase &db, DataModule &module);
    // The last statement of the module's session, when it is not the probe's own; empty otherwise.
    QString sentSince() const;

private:
    const TestDatabase &m_db;
    int m_pid = 0;
    QString m_marker;
};

// Every test binary reads and writes settings files of its own (TABEL_USER_CONFIG and
// TABEL_SYSTEM_CONFIG point into a temporary folder), never the user's; a child process given
// TABEL_TEST_USER_CONFIG uses that user file instead, as the next run of the program would.

// Counts requests to end the program instead of ending the test process.
struct ProgramEndCounter {
    ProgramEndCounter();
    ~ProgramEndCounter();
    int count = 0;
};

// The trimmed texts of one field over a data set's rows, in their order.
QStringList column(const DataSet *ds, const QString &field);

// Lets the journal lists show records in every state, as after an administrator's login: their
// :ok parameter gets the state no record is ever written in.
void prepareJournals(DataModule &module);

// Runs shell commands with the functions of scripts/pg_cluster.sh at hand (pg_cluster_init,
// pg_cluster_start, pg_psql…); throws with their output when they fail.
void runClusterCommands(const QString &commands);

// A database server of the test's own, with the plant database "plant_db", that the test may stop
// and start again under a running data module. It listens on a loopback address next to the test
// cluster's (127.0.1.x for 127.0.0.x) and is removed when the object goes.
class PrivateServer {
public:
    PrivateServer();
    ~PrivateServer();
    PrivateServer(const PrivateServer &) = delete;
    PrivateServer &operator=(const PrivateServer &) = delete;

    QString address() const { return m_address; }
    QString connectionString() const;
    void stop();
    void start();

private:
    void run(const QString &commands) const;
    QString m_address;
    QString m_dir;
};
