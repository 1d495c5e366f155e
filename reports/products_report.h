#pragma once

#include "reports/period_report.h"

// The report by products: per product nomenclature, the good quantity and its mass ("Коробки")
// by product kind, operation and colour. Its query takes data1 and data2.
class TForm17 : public PeriodReport {
    Q_OBJECT
public:
    explicit TForm17(TDataModule6 *module, QObject *parent = nullptr);

    DataSet *t_Report;

    static const QString Statement;
};
