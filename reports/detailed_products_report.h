#pragma once

#include "reports/period_report.h"

// The detailed report by products: per product nomenclature and product mark, the quantity with
// its rejects, mass ("Коробки") and money by operation, colour and product kind. Its query takes
// data1 and data2.
class DetailedProductsReport : public PeriodReport {
    Q_OBJECT
public:
    explicit DetailedProductsReport(DataModule *module, QObject *parent = nullptr);


    static const QString Statement;
};
