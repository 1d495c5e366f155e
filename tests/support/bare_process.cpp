#include "tests/support/bare_process.h"

#include <QCoreApplication>
#include <QFile>

BareProcess::BareProcess(const QString &connectionString)
{
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start(executable(), {QStringLiteral("serve"), connectionString});
    if (!m_process.waitForStarted(10000))
        qFatal("the bare client %s could not start", qPrintable(executable()));
    const QString ready = answer();
    if (!ready.startsWith(QLatin1String("ready ")))
        qFatal("the bare client could not connect: %s", qPrintable(ready));
    m_connectMs = ready.mid(6).toDouble();
}

BareProcess::~BareProcess()
{
    m_process.write("quit\n");
    if (!m_process.waitForFinished(10000))
        m_process.kill();
}

QString BareProcess::executable()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/bare_odbc_client");
}

void BareProcess::writeStatements(const QString &path, const std::vector<QString> &statements)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    for (const QString &s : statements) {
        f.write(s.toUtf8());
        f.write("", 1);
    }
}

BareProcess::Run BareProcess::run(const std::vector<QString> &statements)
{
    const QString path = m_dir.filePath(QStringLiteral("statements"));
    writeStatements(path, statements);
    m_process.write("run " + QFile::encodeName(path) + '\n');
    const QString reply = answer();
    const QStringList parts = reply.split(QLatin1Char(' '));
    if (parts.size() != 4 || parts.first() != QLatin1String("ok"))
        qFatal("the bare client could not send the statements: %s", qPrintable(reply));
    return {parts.at(1).toDouble(), parts.at(2).toLongLong(), parts.at(3).toDouble() / 1024.0};
}

QString BareProcess::answer()
{
    while (!m_process.canReadLine())
        if (!m_process.waitForReadyRead(600000))
            qFatal("the bare client gave no answer");
    return QString::fromUtf8(m_process.readLine()).trimmed();
}
