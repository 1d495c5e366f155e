#include "reference/lookup_list.h"

#include "db/dataset.h"

LookupList::LookupList(const QString &connectionName, const QString &sql, QWidget *parent)
    : QComboBox(parent), m_table(new DataSet(connectionName, this))
{
    m_table->setSql(sql);
    setMaxVisibleItems(10);
    setInsertPolicy(QComboBox::NoInsert);
    connect(this, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (!m_filling)
            m_key = index < 0 ? 0 : itemData(index).toLongLong();
    });
}

void LookupList::open()
{
    if (m_table->isOpen())
        return;
    m_table->open();
    m_filling = true;
    clear();
    for (int row = 0; row < m_table->recordCount(); ++row)
        addItem(m_table->valueAt(row, QStringLiteral("s_caption")).toString().trimmed(),
                m_table->valueAt(row, QStringLiteral("id")).toLongLong());
    m_filling = false;
    showKey();
}

void LookupList::close()
{
    m_table->close();
    m_filling = true;
    clear();
    m_filling = false;
}

bool LookupList::isOpen() const
{
    return m_table->isOpen();
}

void LookupList::setKeyValue(qint64 key)
{
    m_key = key;
    showKey();
}

void LookupList::showKey()
{
    m_filling = true;
    setCurrentIndex(m_key == 0 ? -1 : findData(m_key));
    m_filling = false;
}

QString LookupList::captionText() const
{
    return currentIndex() < 0 ? QString() : currentText().trimmed();
}

void LookupList::step(int delta)
{
    if (count() == 0)
        return;
    const int index = currentIndex() < 0 ? 0 : qBound(0, currentIndex() + delta, count() - 1);
    setCurrentIndex(index);
}
