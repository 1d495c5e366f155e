#include "app/unit_of_work.h"

#include "app/data_module.h"
#include "app/messages.h"
#include "db/db_error.h"
#include "db/sql_statement.h"

#include <QSqlDatabase>
#include <QSqlError>

#include <utility>

UnitOfWork::UnitOfWork(TDataModule6 &module) : m_module(module), m_joined(module.m_workDepth > 0)
{
    if (!m_joined) {
        QSqlDatabase db = QSqlDatabase::database(module.connectionName(), false);
        if (!db.isOpen())
            throw DbError(QStringLiteral("Подключение к БД отсутсвует!!!"));
        if (!db.transaction())
            throw DbError(sqlErrorText(db.lastError()));
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
    if (!db.commit()) {
        const QString text = sqlErrorText(db.lastError());
        db.rollback();
        throw DbError(text);
    }
}

void UnitOfWork::lock(const QString &space, const QString &name, bool shared)
{
    const QString text = shared ? QStringLiteral("select pg_advisory_xact_lock_shared(hashtext({space}), hashtext({name}))")
                                : QStringLiteral("select pg_advisory_xact_lock(hashtext({space}), hashtext({name}))");
    m_module.SQL_exec.execute(sqlStatement(text, {{"space", SqlValue::text(space)}, {"name", SqlValue::text(name)}}));
}
