#pragma once

#include "tests/support/test_support.h"

#include <QDate>
#include <QString>

// The small plant the journal, record and day-cell tests stand on: three workers, two products,
// two operation kinds and three operation prices (rings turned, axles turned as blanks, axles
// painted). No norm rows: these tests give every record its unit price themselves.
struct SmallPlant {
    explicit SmallPlant(const TestDatabase &db) : m_db(db)
    {
        ivanov = db.addWorker(QStringLiteral("Иванов И.И."));
        petrov = db.addWorker(QStringLiteral("Петров П.П."));
        sidorov = db.addWorker(QStringLiteral("Сидоров С.С."));
        ring = db.addProduct(QStringLiteral("Кольцо 20"));
        axle = db.addProduct(QStringLiteral("Ось 40х120"));
        turning = db.addKind(QStringLiteral("Токарная"));
        painting = db.addKind(QStringLiteral("Окраска"));
        ringTurning = db.addPrice(turning, ring);
        axleTurning = db.addPrice(turning, axle, 1);
        axlePainting = db.addPrice(painting, axle);
    }
    // A record of 10 rings turned at 5 a piece.
    int record(int worker, const QDate &date, int mode, int hours, const QString &state = QStringLiteral("no")) const
    {
        return m_db.addRecord(worker, ring, ringTurning, date, mode, 10, 0, 5, hours, state);
    }

    int ivanov, petrov, sidorov, ring, axle, turning, painting, ringTurning, axleTurning, axlePainting;

private:
    const TestDatabase &m_db;
};
