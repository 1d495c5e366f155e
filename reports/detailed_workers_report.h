#pragma once

#include "reports/period_report.h"

// The detailed report by workers: per worker, his journal rows by product mark, operation,
// product kind and colour, then a summary of his hours and money: piecework, household work and
// average-piecework work by day and by night, in all, and his average earnings per hour. Its
// query takes data1 … data18 (data9 and data10 bound the journal records, the other pairs the
// household-work entries).
class DetailedWorkersReport : public PeriodReport {
    Q_OBJECT
public:
    explicit DetailedWorkersReport(DataModule *module, QObject *parent = nullptr);


    static const QString Statement;

    // The worker's average earnings per hour shown in "Цена ср. сд. за 1 ч.:": his money over his
    // hours; a worker without hours in the period has no such rate, and 0 is shown, as the
    // plant's timesheet shows the average price of a month without hours.
    static double averageHourPrice(double money, double hours);
};
