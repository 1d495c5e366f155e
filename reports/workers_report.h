#pragma once

#include "reports/period_report.h"

// The report by workers: per worker and product, the good quantity and its money with and
// without the coefficient, with the worker's household and average-piecework money by product
// and in all. Its query takes data1 … data8.
class TForm16 : public PeriodReport {
    Q_OBJECT
public:
    explicit TForm16(TDataModule6 *module, QObject *parent = nullptr);

    DataSet *t_Report;

    static const QString Statement;
};
