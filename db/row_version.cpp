#include "db/row_version.h"

#include "db/data_module.h"
#include "db/db_error.h"
#include "db/sql_statement.h"

namespace RowVersion {

namespace {

// The table is one of the program's own names, never a typed text.
QString versionOf(const QString &table, qint64 id, const QString &condition, bool lock)
{
    QString text = QStringLiteral("select xmin::text as version from %1 where id={id}").arg(table);
    if (!condition.isEmpty())
        text += QStringLiteral(" and ") + condition;
    if (lock)
        text += QStringLiteral(" for update");
    return sqlStatement(text, {{"id", id}});
}

} // namespace

QString changedText()
{
    return QStringLiteral("Эти данные изменены на другом рабочем месте, пока окно было открыто. "
                          "Изменения не записаны: закройте окно и откройте запись заново.");
}

QString deletedText()
{
    return QStringLiteral("Эта запись удалена на другом рабочем месте, пока окно было открыто. Изменения не записаны.");
}

QString read(DataModule &module, const QString &table, qint64 id, const QString &condition)
{
    return module.lookUp(versionOf(table, id, condition, false), QStringLiteral("version")).toString();
}

void checkUnchanged(DataModule &module, const QString &table, qint64 id, const QString &version)
{
    const QString now = module.lookUp(versionOf(table, id, QString(), true), QStringLiteral("version")).toString();
    if (now.isEmpty())
        throw DbError(deletedText());
    if (now != version)
        throw DbError(changedText());
}

} // namespace RowVersion
