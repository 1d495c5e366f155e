#include "app/data_module.h"

#include "app/journal_queries.h"
#include "db/connection.h"
#include "reference/kind_statements.h"
#include "reference/price_statements.h"
#include "reference/product_statements.h"
#include "reference/worker_statements.h"
#include "app/messages.h"
#include "db/db_error.h"

#include <QSqlDatabase>
#include <QSqlError>

namespace {
int moduleCount = 0;
}

TDataModule6::TDataModule6(QObject *parent)
    : QObject(parent),
      m_connection(QStringLiteral("ADO_DB_%1").arg(moduleCount++)),
      DelSmena(m_connection),
      H_Tabel_ins(m_connection),
      SQL_exec(m_connection),
      Oper_ins(m_connection),
      Oper_ed(m_connection),
      Oper_del(m_connection)
{
    auto query = [this](const QString &sql) {
        auto *q = new DataSet(m_connection, this);
        q->setSql(sql);
        return q;
    };
    Control = query(QString());
    Smena1 = query(journalStatement(1));
    Smena2 = query(journalStatement(2));
    Smena3 = query(journalStatement(3));
    Smena4 = query(journalStatement(4));
    Workers = query(WorkerStatements::list());
    Izdel = query(ProductStatements::list());
    Vid_oper = query(KindStatements::list());
    Oper = query(PriceStatements::list());
    H_Tabel_1 = query(QString());
    H_Tabel_2 = query(QString());
    H_Tabel_3 = query(QString());
}

TDataModule6::~TDataModule6()
{
    {
        QSqlDatabase db = QSqlDatabase::database(m_connection, false);
        if (db.isValid())
            db.close();
    }
    QSqlDatabase::removeDatabase(m_connection);
}

void TDataModule6::Connect(const QString &connectionString)
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

DataSet *TDataModule6::Smena(int mode) const
{
    switch (mode) {
    case 2: return Smena2;
    case 3: return Smena3;
    case 4: return Smena4;
    default: return Smena1;
    }
}

QVariant TDataModule6::LookUp(const QString &statement, const QString &field)
{
    Control->close();
    Control->setSql(statement);
    Control->open();
    const QVariant v = Control->value(field);
    Control->close();
    return v;
}

bool TDataModule6::CountCheck(const QString &statement, const QString &message)
{
    const qint64 cnt = LookUp(statement, QStringLiteral("cnt")).toLongLong();
    if (cnt > 0) {
        if (inTransaction())
            m_deferredErrors << message;
        else
            Messages::error(message, QStringLiteral("Ошибка"));
        return true;
    }
    return false;
}

QString TDataModule6::ReplaceDelimiter(const QString &number) const
{
    QString out = number;
    int pos = out.indexOf(QLatin1Char(','));
    if (pos < 0)
        pos = out.indexOf(QLatin1Char('.'));
    if (pos >= 0)
        out.replace(pos, 1, DecimalDelimiter);
    return out;
}
