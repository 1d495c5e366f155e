#include "db/version_gate.h"

#include "db/data_module.h"
#include "db/sql_statement.h"

bool versionGateOutdated(DataModule &module, const BuildStamp &build)
{
    SqlCommand &exec = module.command;
    DataSet *ver = module.lookUpQuery;
    ver->close();
    // The table has no key: the first row is addressed by its physical position.
    ver->setSql(QStringLiteral("select ctid::text as row_ctid, d, t, delim from accounts_dep.ver limit 1"));
    ver->open();
    const bool empty = ver->isEmpty();
    const QString ctid = ver->text(QStringLiteral("row_ctid"));
    // A missing or empty delimiter would glue the digits of a decimal together (12.5 stored as
    // 125): it counts as a point, the only separator the server reads in a statement.
    module.decimalDelimiter = ver->text(QStringLiteral("delim"));
    if (module.decimalDelimiter.trimmed().isEmpty())
        module.decimalDelimiter = QStringLiteral(".");
    qint64 d = ver->value(QStringLiteral("d")).toLongLong();
    qint64 t = ver->value(QStringLiteral("t")).toLongLong();
    ver->close();

    if (d < build.date || (d == build.date && t < build.time)) {
        if (empty) {
            exec.execute(sqlStatement(QStringLiteral("insert into accounts_dep.ver(d, t, delim) values({d}, {t}, '.')"),
                                      {{"d", build.date}, {"t", build.time}}));
        } else {
            exec.execute(sqlStatement(QStringLiteral("update accounts_dep.ver set d={d}, t={t} where ctid={ctid}::tid"),
                                      {{"d", build.date}, {"t", build.time}, {"ctid", SqlValue::text(ctid)}}));
        }
        d = build.date;
        t = build.time;
        // Read again: another workstation may have written a newer stamp meanwhile.
        ver->setSql(QStringLiteral("select d, t from accounts_dep.ver limit 1"));
        ver->open();
        if (!ver->isEmpty()) {
            d = ver->value(QStringLiteral("d")).toLongLong();
            t = ver->value(QStringLiteral("t")).toLongLong();
        }
        ver->close();
    }
    return d > build.date || (d == build.date && t > build.time);
}
