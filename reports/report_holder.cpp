#include "reports/report_holder.h"

#include "db/data_module.h"
#include "db/connection.h"
#include "db/dataset.h"
#include "db/db_error.h"
#include "reports/report_dataset.h"
#include "reports/report_engine.h"

ReportHolder::ReportHolder(DataModule *module, const QString &objectName, const QString &queryName,
                           const QString &titleItem, ReportZoom zoom, QObject *parent)
    : QObject(parent),
      query(new DataSet(module->connectionName(), this)),
      m_connection(module->connectionName()),
      m_titleItem(titleItem),
      m_zoom(zoom)
{
    setObjectName(objectName);
    query->setObjectName(queryName);
}

namespace {

// Sends a session setting; a server that does not know it (no JIT before PostgreSQL 11) keeps
// working as it is.
void sendSetting(const QString &connection, const QString &statement)
{
    try {
        SqlCommand(connection).execute(statement);
    } catch (const DbError &) {
        // A lost connection is another matter: the user is told, as for any statement.
        if (Connection::isLost(connection))
            throw;
    }
}

} // namespace

void ReportHolder::openQuery()
{
    // A report reads and waits as long as it must: the bounded wait for other workstations'
    // locks is for the commands that change data.
    const auto restore = [this] {
        sendSetting(m_connection, QStringLiteral("reset jit"));
        sendSetting(m_connection, QStringLiteral("set lock_timeout = %1").arg(Connection::lockWaitLimit()));
    };
    sendSetting(m_connection, QStringLiteral("set jit = off"));
    sendSetting(m_connection, QStringLiteral("set lock_timeout = 0"));
    try {
        query->open();
    } catch (...) {
        restore();
        throw;
    }
    restore();
}

void ReportHolder::setTitle(const QString &text)
{
    layout.setText(m_titleItem, text);
}

QString ReportHolder::title() const
{
    return layout.text(m_titleItem);
}

PreparedReport ReportHolder::prepare() const
{
    return PreparedReport{layout, ReportDataSet::fromDataSet(*query), m_zoom};
}

ReportDocument ReportHolder::generate() const
{
    return ReportEngine::generate(layout, ReportDataSet::fromDataSet(*query));
}

bool ReportHolder::savePdf(const QString &path) const
{
    return ReportEngine::savePdf(layout, ReportDataSet::fromDataSet(*query), path);
}

QueryCloser::~QueryCloser()
{
    m_query->close();
}
