#include "reference/product_deletion.h"

#include "db/data_module.h"
#include "ui/messages.h"
#include "db/unit_of_work.h"
#include "reference/product_statements.h"

ProductDeletion::ProductDeletion(DataModule &module, qint64 productId, const QDate &today)
    : m_module(module), m_id(productId)
{
    DataSet *control = module.lookUpQuery;
    control->setParam(QStringLiteral("id_ii"), productId);
    control->setParam(QStringLiteral("dt"), threshold(today));
    m_records = module.lookUp(ProductStatements::recordsSinceCount(), QStringLiteral("cnt")).toLongLong();
    m_prices = module.lookUp(ProductStatements::pricesCount(), QStringLiteral("cnt")).toLongLong();
}

QDate ProductDeletion::threshold(const QDate &today)
{
    return QDate(2000, today.month() == 1 ? 12 : today.month() - 1, 1);
}

void ProductDeletion::run()
{
    // "No" to the prices keeps them and goes on to the product itself.
    if (m_prices > 0 && Messages::ask(QStringLiteral("По изделию есть расценки они будут удалены!!!"), QStringLiteral("Удаление"))) {
        UnitOfWork work(m_module);
        m_module.deleteCommand.execute(ProductStatements::pricesDeletion(m_id));
        work.commit();
    }

    if (m_records > 0) {
        if (Messages::ask(QStringLiteral("По изделию есть операции в текущем, предыдущем месяцах и ранее, они будут удалены. "
                                         "Удалить изделие? "),
                          QStringLiteral("Удаление"))) {
            UnitOfWork work(m_module);
            m_module.deleteCommand.execute(ProductStatements::recordsDeletion(m_id));
            m_module.deleteCommand.execute(ProductStatements::productDeletion(m_id));
            work.commit();
        }
    } else if (Messages::ask(QStringLiteral("Удалить изделие? "), QStringLiteral("Удаление"))) {
        UnitOfWork work(m_module);
        m_module.deleteCommand.execute(ProductStatements::productDeletion(m_id));
        work.commit();
    }
}
