#pragma once

#include "reports/period_report.h"

// The detailed report by products: per product nomenclature and product mark, the quantity with
// its rejects, mass ("Коробки") and money by operation, colour and product kind. Its query takes
// data1 and data2.
class TForm21 : public PeriodReport {
    Q_OBJECT
public:
    explicit TForm21(TDataModule6 *module, QObject *parent = nullptr);

    DataSet *i_Report;

    static const QString Statement;
};
