// A plant's primary database server with a synchronous standby: the program is given both hosts,
// works on the primary, and when the primary fails and the standby is promoted, the next command
// reconnects to the new primary, where every record committed before the failure is.
#include "db/connection.h"
#include "db/connection_string.h"
#include "db/data_module.h"
#include "records/record_commands.h"
#include "tests/support/test_support.h"
#include "ui/messages.h"

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QtTest>

namespace {

// Two private clusters on loopback addresses beside the test cluster's (127.0.2.x and 127.0.3.x
// for 127.0.0.x): a primary with the plant database, and a standby made from it with
// pg_basebackup that the primary waits for at every commit.
class StandbyPair {
public:
    StandbyPair()
    {
        try {
            make();
        } catch (...) {
            remove();
            throw;
        }
    }
    ~StandbyPair() { remove(); }
    StandbyPair(const StandbyPair &) = delete;
    StandbyPair &operator=(const StandbyPair &) = delete;

    // The primary fails as a machine does: no shutdown, nothing more written.
    void failPrimary() { run(QStringLiteral("pg_as_owner \"$(pg_bindir)/pg_ctl\" -D %1 -m immediate stop >/dev/null").arg(m_primaryDir)); }
    void promoteStandby() { run(QStringLiteral("pg_as_owner \"$(pg_bindir)/pg_ctl\" -D %1 -w promote >/dev/null").arg(m_standbyDir)); }

    QString primary;
    QString standby;

private:
    void make()
    {
        const QString octets = TestDatabase::server();
        primary = octets.section(QLatin1Char('.'), 0, 1) + QStringLiteral(".2.") + octets.section(QLatin1Char('.'), 3, 3);
        standby = octets.section(QLatin1Char('.'), 0, 1) + QStringLiteral(".3.") + octets.section(QLatin1Char('.'), 3, 3);
        const QString base = QStringLiteral("/tmp/tabel-standby-pg-%1").arg(QCoreApplication::applicationPid());
        m_primaryDir = base + QStringLiteral("-primary");
        m_standbyDir = base + QStringLiteral("-standby");
        run(QStringLiteral(
                "rm -rf %1 %2 && pg_cluster_init %1 && pg_cluster_start %1 %3 5432 && pg_create_plant_db %1 5432 plant_db"
                " && pg_as_owner \"$(pg_bindir)/pg_basebackup\" -h %1 -p 5432 -U postgres -D %2 -R -X stream -c fast"
                // The primary's socket lives in its folder: its lock file came along.
                " && pg_as_owner rm -f %2/.s.PGSQL.5432.lock"
                " && pg_cluster_start %2 %4 5432"
                " && pg_psql %1 5432 -d postgres -c \"ALTER SYSTEM SET synchronous_standby_names = '*'\" -c 'SELECT pg_reload_conf()'"
                " && for i in $(seq 60); do"
                "      [ \"$(pg_psql %1 5432 -d postgres -At -c \"SELECT sync_state FROM pg_stat_replication\")\" = sync ] && exit 0;"
                "      sleep 0.5; done; echo 'the standby did not become synchronous'; exit 1")
                .arg(m_primaryDir, m_standbyDir, primary, standby));
    }
    void remove() noexcept
    {
        try {
            run(QStringLiteral("pg_cluster_stop %1; pg_cluster_stop %2; rm -rf %1 %2 %1.initdb.log").arg(m_primaryDir, m_standbyDir));
        } catch (...) {
        }
    }
    static void run(const QString &commands) { runClusterCommands(commands); }
    QString m_primaryDir;
    QString m_standbyDir;
};

ProductionRecord record(int worker, int hours)
{
    ProductionRecord r;
    r.worker = worker;
    r.operationPrice = 10001;
    r.product = 3;
    r.unitPrice = 5;
    r.quantity = 10;
    r.hours = hours;
    r.date = QDate(2026, 3, 5);
    r.mode = 1;
    return r;
}

QString serverAddress(DataModule &module)
{
    return module.lookUp(QStringLiteral("select host(inet_server_addr()) as a"), QStringLiteral("a")).toString();
}

} // namespace

class TestStandby : public QObject {
    Q_OBJECT
private slots:
    void promotedStandbyTakesOver();
};

void TestStandby::promotedStandbyTakesOver()
{
    StandbyPair pair;
    const ConnectionTarget target{QStringLiteral("plant_db"), pair.primary + QLatin1Char(',') + pair.standby,
                                  QString(), QString()};
    DataModule module;
    module.open(connectionStringFor(target));
    QCOMPARE(serverAddress(module), pair.primary);
    QVERIFY(RecordCommands::save(module, record(7, 8), nullptr, QDate(2026, 3, 5)));

    pair.failPrimary();
    Messages::MessageRecorder rec;
    const QString failed = QStringLiteral("Не удалось сохранить запись.");
    const auto save = [&](int hours) { return Messages::guard(failed, [&] { RecordCommands::save(module, record(8, hours), nullptr, QDate(2026, 3, 5)); }); };
    // The command that meets the lost session says so, as after any server restart.
    QVERIFY(!save(6));
    QCOMPARE(rec.errors().value(0).section(QLatin1Char('\n'), 1, 1), Connection::lostText());
    // Until the standby is promoted there is no server that takes writes: the program does not
    // settle for the read-only standby.
    QVERIFY(!save(6));
    QVERIFY2(rec.errors().value(1).contains(QStringLiteral("Нет связи с сервером базы данных.")), qPrintable(rec.errors().value(1)));

    pair.promoteStandby();
    QVERIFY(save(6));
    QCOMPARE(rec.errors().size(), 2);
    QCOMPARE(serverAddress(module), pair.standby);

    // What the new primary holds: the record committed before the failure, and the new one.
    QSqlDatabase check = QSqlDatabase::addDatabase(QStringLiteral("QODBC"), QStringLiteral("standby check"));
    check.setDatabaseName(composeConnectionString({QStringLiteral("plant_db"), pair.standby}));
    QVERIFY(check.open());
    {
        QSqlQuery q(check);
        QVERIFY(q.exec(QStringLiteral("select string_agg(w_id || ' ' || kol_vo || ' ' || \"time\" || ' ' || to_char(data, 'DD.MM.YYYY'), ', ' order by id) from accounts_dep.smena")));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toString(), QStringLiteral("7 10 8 05.03.2026, 8 10 6 05.03.2026"));
    }
    check.close();
    check = QSqlDatabase();
    QSqlDatabase::removeDatabase(QStringLiteral("standby check"));
}

QTEST_GUILESS_MAIN(TestStandby)
#include "test_standby.moc"
