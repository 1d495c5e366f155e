#pragma once

#include "app/roles.h"
#include "reports/period_report.h"

#include <QDate>
#include <QDialog>

class DataSet;
class QButtonGroup;
class QDateEdit;
class QGroupBox;
class QPushButton;
class QRadioButton;
class TDataModule6;
class TForm16;
class TForm17;
class TForm20;
class TForm21;

// The report centre "Отчеты (8)": the four period reports (by workers, by products and the
// detailed version of each) and the export of the product output to a workbook, for a period
// and a product kind. Opened from the main menu "Отчеты" → "Сводные отчеты", preset to the
// previous calendar month.
class TForm18 : public QDialog {
    Q_OBJECT
public:
    explicit TForm18(TDataModule6 *module, QWidget *parent = nullptr);

    // The holders of the four printed reports.
    TForm16 *Form16; // "Отчет по рабочим"
    TForm17 *Form17; // "Отчет по продукции"
    TForm20 *Form20; // "Детальный отчет по рабочим"
    TForm21 *Form21; // "Детальный отчет по продукции"
    DataSet *XLS_Rep; // the product export's query, data1 and data2

    static const QString XlsStatement;

    // Opening from the main menu: the period preset, the window shown modally; returns when it
    // is closed. What the role may use was settled by the login (ApplyRole).
    void ShowCentre();
    // Presets the period to the previous calendar month of that day.
    void PresetPeriod(const QDate &today = QDate::currentDate());
    // Disables what the role may not use: for the shift foreman and the storekeeper every command
    // but "Детальный отчет по продукции"; for the storekeeper the product kind is fixed to
    // "Готовая продукция" as well. Never enables anything again: a run serves one login.
    void ApplyRole(Role role);

    QDate periodStart() const;
    QDate periodEnd() const;
    ProductKindChoice productKind() const;
    void setProductKind(ProductKindChoice kind);

    // Commands.
    void Button4Click(); // "Отчет по рабочим"
    void Button2Click(); // "Отчет по продукции"
    void Button1Click(); // "Детальный отчет по рабочим"
    void Button3Click(); // "Детальный отчет по продукции"
    void Button6Click(); // "Excel (0 из 0)": the product output to a workbook
    void Button5Click(); // "Выход"

    // What the export adds to the operation for a colour: " (грунт)" for 1, " (цвет: n)" above 1,
    // nothing for 0, less or none.
    static QString ColourSuffix(const QVariant &colour);

    // Controls, top to bottom.
    QGroupBox *RadioGroup1;
    QGroupBox *GroupBox1;
    QDateEdit *DTPicker1;
    QDateEdit *DTPicker2;
    QPushButton *Button4;
    QPushButton *Button2;
    QPushButton *Button1;
    QPushButton *Button3;
    QPushButton *Button6;
    QPushButton *Button5;

private:
    void runReport(PeriodReport *report);

    TDataModule6 *m_module;
    QButtonGroup *m_kinds;
};
