#pragma once

#include <QDate>

class DataModule;

// Deleting a product can take its operation prices and its production records with it. The user
// is asked first about the prices, then about the product (with its records, when it has records
// since the threshold date). Each answered question's statements are one unit of work, sent after
// the answer: no transaction waits for the user, and a step the server refuses leaves nothing of
// itself behind (the steps answered before it stay done).
class ProductDeletion {
public:
    // Counts the product's records since the threshold date and its prices.
    ProductDeletion(DataModule &module, qint64 productId, const QDate &today = QDate::currentDate());

    // Production records from this date on make the deletion ask about records: the first day of
    // the month before `today`'s month, in the year 2000.
    static QDate threshold(const QDate &today);

    qint64 recordsSince() const { return m_records; }
    qint64 prices() const { return m_prices; }

    // Asks and deletes.
    void run();

private:
    DataModule &m_module;
    qint64 m_id;
    qint64 m_records = 0;
    qint64 m_prices = 0;
};
