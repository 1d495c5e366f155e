#include "db/unit_of_work.h"

#include "db/data_module.h"
#include "ui/messages.h"
#include "db/connection.h"
#include "db/db_error.h"
#include "db/sql_statement.h"

#include <QSqlDatabase>
#include <QSqlError>

#include <utility>

UnitOfWork::UnitOfWork(DataModule &module) : m_module(module), m_joined(module.m_workDepth > 0)
{
    if (!m_joined) {
        QSqlDatabase db = Connection::use(module.connectionName());
        if (!db.transaction())
            throw Connection::failure(module.connectionName(), db.lastError(), 0);
        Connection::transactionStarted(module.connectionName());
    }
    ++module.m_workDepth;
}

UnitOfWork::~UnitOfWork()
{
    --m_module.m_workDepth;
    if (m_joined)
        return;
    if (!m_done) {
        QSqlDatabase db = QSqlDatabase::database(m_module.connectionName(), false);
        if (db.isOpen())
            db.rollback();
        Connection::transactionEnded(m_module.connectionName());
    }
    // Refusals found inside the transaction are told once it has ended.
    const QStringList deferred = std::exchange(m_module.m_deferredErrors, {});
    for (const QString &text : deferred)
        Messages::error(text, QStringLiteral("Ошибка"));
}

void UnitOfWork::commit()
{
    if (m_done)
        return;
    m_done = true;
    if (m_joined)
        return;
    QSqlDatabase db = QSqlDatabase::database(m_module.connectionName(), false);
    const bool committed = db.commit();
    Connection::transactionEnded(m_module.connectionName());
    if (!committed) {
        const DbError error = Connection::failure(m_module.connectionName(), db.lastError(), 0);
        db.rollback();
        throw error;
    }
}

void UnitOfWork::lock(const QString &space, const QString &name, bool shared)
{
    const QString text = shared ? QStringLiteral("select pg_advisory_xact_lock_shared(hashtext({space}), hashtext({name}))")
                                : QStringLiteral("select pg_advisory_xact_lock(hashtext({space}), hashtext({name}))");
    m_module.command.execute(sqlStatement(text, {{"space", SqlValue::text(space)}, {"name", SqlValue::text(name)}}));
}
