#pragma once

#include "db/roles.h"
#include "reports/period_report.h"

#include <QDate>
#include <QDialog>

class DataSet;
class QButtonGroup;
class QDateEdit;
class QGroupBox;
class QPushButton;
class QRadioButton;
class DataModule;
class WorkersReport;
class ProductsReport;
class DetailedWorkersReport;
class DetailedProductsReport;

// The report centre "Отчеты (8)": the four period reports (by workers, by products and the
// detailed version of each) and the export of the product output to a workbook, for a period
// and a product kind. Opened from the main menu "Отчеты" → "Сводные отчеты", preset to the
// previous calendar month.
class ReportCentre : public QDialog {
    Q_OBJECT
public:
    explicit ReportCentre(DataModule *module, QWidget *parent = nullptr);

    // The holders of the four printed reports.
    WorkersReport *workersReport;                   // "Отчет по рабочим"
    ProductsReport *productsReport;                 // "Отчет по продукции"
    DetailedWorkersReport *detailedWorkersReport;   // "Детальный отчет по рабочим"
    DetailedProductsReport *detailedProductsReport; // "Детальный отчет по продукции"
    DataSet *exportQuery;                           // the product export's query, data1 and data2

    static const QString ExportStatement;

    // Opening from the main menu: the period preset, the window shown modally; returns when it
    // is closed. What the role may use was settled by the login (applyRole).
    void showCentre();
    // Presets the period to the previous calendar month of that day.
    void presetPeriod(const QDate &today = QDate::currentDate());
    // Disables what the role may not use: for the shift foreman and the storekeeper every command
    // but "Детальный отчет по продукции"; for the storekeeper the product kind is fixed to
    // "Готовая продукция" as well. Never enables anything again: a run serves one login.
    void applyRole(Role role);

    QDate periodStart() const;
    QDate periodEnd() const;
    ProductKindChoice productKind() const;
    void setProductKind(ProductKindChoice kind);

    // Commands.
    void printWorkersReport();          // "Отчет по рабочим"
    void printProductsReport();         // "Отчет по продукции"
    void printDetailedWorkersReport();  // "Детальный отчет по рабочим"
    void printDetailedProductsReport(); // "Детальный отчет по продукции"
    void exportProductOutput();         // "Excel (0 из 0)": the product output to a workbook
    void leave();                       // "Выход"

    // What the export adds to the operation for a colour: " (грунт)" for 1, " (цвет: n)" above 1,
    // nothing for 0, less or none.
    static QString colourSuffix(const QVariant &colour);

    // Controls, top to bottom.
    QGroupBox *productKindGroup;
    QGroupBox *periodGroup;
    QDateEdit *startField;
    QDateEdit *endField;
    QPushButton *workersButton;
    QPushButton *productsButton;
    QPushButton *detailedWorkersButton;
    QPushButton *detailedProductsButton;
    QPushButton *exportButton;
    QPushButton *exitButton;

private:
    void runReport(PeriodReport *report);

    DataModule *m_module;
    QButtonGroup *m_kinds;
};
