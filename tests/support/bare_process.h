#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <vector>

// The benchmarks' bare side: tests/bare_client/bare_odbc_client, a plain C client of the unixODBC
// API in a process of its own (no Qt in it), holding one connection with the program's
// connection string while the benchmark runs. It sends the statements the program sent, as one
// transaction, reads every value, and measures itself: the time of the statements and the peak
// resident memory of its own process while they ran.
class BareProcess {
public:
    explicit BareProcess(const QString &connectionString);
    ~BareProcess();
    BareProcess(const BareProcess &) = delete;
    BareProcess &operator=(const BareProcess &) = delete;

    struct Run {
        double ms = 0;        // sending and reading, commit included, timed in the client
        qint64 rows = 0;      // rows read
        double peakMiB = 0;   // the client process's peak resident memory during the run
    };
    Run run(const std::vector<QString> &statements);

    double connectMs() const { return m_connectMs; }

    // The client's executable, beside the benchmark's.
    static QString executable();
    // Writes statements in the client's file format (UTF-8, each ended by a zero byte).
    static void writeStatements(const QString &path, const std::vector<QString> &statements);

private:
    QString answer();

    QProcess m_process;
    QTemporaryDir m_dir;
    double m_connectMs = 0;
};
