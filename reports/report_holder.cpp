#include "reports/report_holder.h"

#include "app/data_module.h"
#include "db/dataset.h"
#include "db/db_error.h"
#include "reports/report_dataset.h"
#include "reports/report_engine.h"

ReportHolder::ReportHolder(TDataModule6 *module, const QString &objectName, const QString &queryName,
                           const QString &titleItem, ReportZoom zoom, QObject *parent)
    : QObject(parent),
      Query(new DataSet(module->connectionName(), this)),
      m_connection(module->connectionName()),
      m_titleItem(titleItem),
      m_zoom(zoom)
{
    setObjectName(objectName);
    Query->setObjectName(queryName);
}

namespace {

// Sends a session setting; a server that does not know it (no JIT before PostgreSQL 11) keeps
// working as it is.
void sendSetting(const QString &connection, const QString &statement)
{
    try {
        SqlCommand(connection).execute(statement);
    } catch (const DbError &) {
    }
}

} // namespace

void ReportHolder::OpenQuery()
{
    sendSetting(m_connection, QStringLiteral("set jit = off"));
    try {
        Query->open();
    } catch (...) {
        sendSetting(m_connection, QStringLiteral("reset jit"));
        throw;
    }
    sendSetting(m_connection, QStringLiteral("reset jit"));
}

void ReportHolder::SetTitle(const QString &text)
{
    Layout.setText(m_titleItem, text);
}

QString ReportHolder::Title() const
{
    return Layout.text(m_titleItem);
}

ReportDocument ReportHolder::Generate() const
{
    return ReportEngine::generate(Layout, ReportDataSet::fromDataSet(*Query));
}

QueryCloser::~QueryCloser()
{
    m_query->close();
}
