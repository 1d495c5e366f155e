#pragma once

#include "reports/period_report.h"

// The report by workers: per worker and product, the good quantity and its money with and
// without the coefficient, with the worker's household and average-piecework money by product
// and in all. Its query takes data1 … data8.
class WorkersReport : public PeriodReport {
    Q_OBJECT
public:
    explicit WorkersReport(DataModule *module, QObject *parent = nullptr);


    static const QString Statement;
};
