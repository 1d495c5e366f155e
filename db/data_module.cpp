#include "db/data_module.h"

#include "journal/journal_statements.h"
#include "db/connection.h"
#include "reference/kind_statements.h"
#include "reference/price_statements.h"
#include "reference/product_statements.h"
#include "reference/worker_statements.h"
#include "ui/messages.h"
#include "db/db_error.h"

#include <QSqlDatabase>
#include <QSqlError>

namespace {
int moduleCount = 0;
}

DataModule::DataModule(QObject *parent)
    : QObject(parent),
      m_connection(QStringLiteral("ADO_DB_%1").arg(moduleCount++)),
      deleteCommand(m_connection),
      timesheetCommand(m_connection),
      command(m_connection),
      priceInsert(m_connection),
      priceUpdate(m_connection),
      priceDelete(m_connection)
{
    auto query = [this](const QString &sql) {
        auto *q = new DataSet(m_connection, this);
        q->setSql(sql);
        return q;
    };
    lookUpQuery = query(QString());
    journalShift1 = query(journalStatement(1));
    journalShift2 = query(journalStatement(2));
    journalShift3 = query(journalStatement(3));
    journalOvertime = query(journalStatement(4));
    workerList = query(WorkerStatements::list());
    productList = query(ProductStatements::list());
    kindList = query(KindStatements::list());
    priceList = query(PriceStatements::list());
    shiftGrid1 = query(QString());
    shiftGrid2 = query(QString());
    shiftGrid3 = query(QString());
}

DataModule::~DataModule()
{
    {
        QSqlDatabase db = QSqlDatabase::database(m_connection, false);
        if (db.isValid())
            db.close();
    }
    QSqlDatabase::removeDatabase(m_connection);
}

void DataModule::open(const QString &connectionString)
{
    {
        QSqlDatabase old = QSqlDatabase::database(m_connection, false);
        if (old.isValid())
            old.close();
    }
    QSqlDatabase db = QSqlDatabase::contains(m_connection)
        ? QSqlDatabase::database(m_connection, false)
        : QSqlDatabase::addDatabase(QStringLiteral("QODBC"), m_connection);
    db.setDatabaseName(connectionString);
    // An unanswering server must give the connection error within seconds, not hang the start.
    db.setConnectOptions(QStringLiteral("SQL_ATTR_LOGIN_TIMEOUT=5;SQL_ATTR_CONNECTION_TIMEOUT=0"));
    db.setNumericalPrecisionPolicy(QSql::HighPrecision);
    Connection::open(db);
}

DataSet *DataModule::journal(int mode) const
{
    switch (mode) {
    case 2: return journalShift2;
    case 3: return journalShift3;
    case 4: return journalOvertime;
    default: return journalShift1;
    }
}

QVariant DataModule::lookUp(const QString &statement, const QString &field)
{
    lookUpQuery->close();
    lookUpQuery->setSql(statement);
    lookUpQuery->open();
    const QVariant v = lookUpQuery->value(field);
    lookUpQuery->close();
    return v;
}

bool DataModule::countCheck(const QString &statement, const QString &message)
{
    const qint64 cnt = lookUp(statement, QStringLiteral("cnt")).toLongLong();
    if (cnt > 0) {
        if (inTransaction())
            m_deferredErrors << message;
        else
            Messages::error(message, QStringLiteral("Ошибка"));
        return true;
    }
    return false;
}

QString DataModule::replaceDelimiter(const QString &number) const
{
    QString out = number;
    int pos = out.indexOf(QLatin1Char(','));
    if (pos < 0)
        pos = out.indexOf(QLatin1Char('.'));
    if (pos >= 0)
        out.replace(pos, 1, decimalDelimiter);
    return out;
}
