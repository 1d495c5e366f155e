#pragma once

#include "reports/period_report.h"

// The report by products: per product nomenclature, the good quantity and its mass ("Коробки")
// by product kind, operation and colour. Its query takes data1 and data2.
class ProductsReport : public PeriodReport {
    Q_OBJECT
public:
    explicit ProductsReport(DataModule *module, QObject *parent = nullptr);


    static const QString Statement;
};
