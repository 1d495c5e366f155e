#include "reports/report_centre.h"

#include "db/data_module.h"
#include "ui/date_field.h"
#include "ui/messages.h"
#include "ui/remembered_state.h"
#include "db/dataset.h"
#include "db/plant.h"
#include "reports/detailed_products_report.h"
#include "reports/detailed_workers_report.h"
#include "reports/products_report.h"
#include "reports/report_format.h"
#include "reports/report_preview.h"
#include "reports/shared_spreadsheet_writer.h"
#include "reports/spreadsheet_export.h"
#include "reports/spreadsheet_writer.h"
#include "reports/workers_report.h"

#include <QButtonGroup>
#include <QCoreApplication>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <cmath>

const QString ReportCentre::ExportStatement = QStringLiteral(
    "select sum(smena.kol_vo-smena.brak)::numeric as kolvo, vid_oper.vid, izdel.nom, oper.naimen, color,"
    "izdel.massa*sum(smena.kol_vo-smena.brak) as mass "
    "from accounts_dep.smena,accounts_dep.izdel,accounts_dep.vid_oper, accounts_dep.oper "
    "where izdel.id=smena.i_id and vid_oper.id=oper.vid and oper.id=smena.o_id "
    "and smena.data<:data2 and smena.data>=:data1 "
    "group by izdel.nom,color, oper.naimen, vid_oper.vid, izdel.massa order by izdel.nom");

namespace {

// The caption of a group box bold, its contents in the dialog's normal font.
void boldCaption(QGroupBox *box)
{
    QFont normal = box->font();
    normal.setWeight(QFont::Normal);
    QFont bold = normal;
    bold.setBold(true);
    box->setFont(bold);
    for (QWidget *child : box->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly))
        child->setFont(normal);
}

} // namespace

ReportCentre::ReportCentre(DataModule *module, QWidget *parent)
    : QDialog(parent),
      workersReport(new WorkersReport(module, this)),
      productsReport(new ProductsReport(module, this)),
      detailedWorkersReport(new DetailedWorkersReport(module, this)),
      detailedProductsReport(new DetailedProductsReport(module, this)),
      exportQuery(new DataSet(module->connectionName(), this)),
      m_module(module)
{
    setObjectName(QStringLiteral("TForm18"));
    setWindowTitle(QStringLiteral("Отчеты (8)"));
    exportQuery->setObjectName(QStringLiteral("XLS_Rep"));
    exportQuery->setSql(ExportStatement);

    auto *layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    productKindGroup = new QGroupBox(QStringLiteral("Вид продукции"), this);
    productKindGroup->setObjectName(QStringLiteral("RadioGroup1"));
    m_kinds = new QButtonGroup(this);
    auto *kinds = new QVBoxLayout(productKindGroup);
    const QStringList kindItems = {QStringLiteral("Все"), QStringLiteral("Готовая продукция"), QStringLiteral("Заготовки")};
    for (int i = 0; i < kindItems.size(); ++i) {
        auto *radio = new QRadioButton(kindItems.at(i), productKindGroup);
        radio->setObjectName(QStringLiteral("RadioGroup1Item%1").arg(i));
        m_kinds->addButton(radio, i);
        kinds->addWidget(radio);
    }
    m_kinds->button(0)->setChecked(true);
    boldCaption(productKindGroup);
    layout->addWidget(productKindGroup);

    periodGroup = new QGroupBox(QStringLiteral("Период отбора"), this);
    periodGroup->setObjectName(QStringLiteral("GroupBox1"));
    auto *period = new QGridLayout(periodGroup);
    const auto picker = [this](const char *name) {
        auto *p = new DateField(periodGroup);
        p->setObjectName(QLatin1String(name));
        return p;
    };
    startField = picker("DTPicker1");
    endField = picker("DTPicker2");
    period->addWidget(new QLabel(QStringLiteral("с"), periodGroup), 0, 0);
    period->addWidget(startField, 0, 1);
    period->addWidget(new QLabel(QStringLiteral("по"), periodGroup), 0, 2);
    period->addWidget(endField, 0, 3);
    boldCaption(periodGroup);
    layout->addWidget(periodGroup);

    const auto button = [this, layout](const char *name, const QString &caption, void (ReportCentre::*handler)()) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        // The export says so; everything else here makes a report.
        const QString failed = handler == &ReportCentre::exportProductOutput ? QStringLiteral("Не удалось выгрузить данные в Excel.")
                                                                 : QStringLiteral("Не удалось составить отчет.");
        connect(b, &QPushButton::clicked, this, [this, handler, failed] { Messages::guard(failed, [&] { (this->*handler)(); }); });
        layout->addWidget(b);
        return b;
    };
    workersButton = button("Button4", QStringLiteral("Отчет по рабочим"), &ReportCentre::printWorkersReport);
    productsButton = button("Button2", QStringLiteral("Отчет по продукции"), &ReportCentre::printProductsReport);
    detailedWorkersButton = button("Button1", QStringLiteral("Детальный отчет по рабочим"), &ReportCentre::printDetailedWorkersReport);
    detailedProductsButton = button("Button3", QStringLiteral("Детальный отчет по продукции"), &ReportCentre::printDetailedProductsReport);
    exportButton = button("Button6", SpreadsheetExport::caption(0, 0), &ReportCentre::exportProductOutput);
    exitButton = button("Button5", QStringLiteral("Выход"), &ReportCentre::leave);
    // Esc closes the dialog as "Выход" does (QDialog::reject).
}

void ReportCentre::showCentre()
{
    presetPeriod();
    // The period the user chose last, in this run or an earlier one.
    const QString group = QStringLiteral("reports");
    const QDate start = QDate::fromString(RememberedState::value(group, QStringLiteral("start")).toString(), Qt::ISODate);
    const QDate end = QDate::fromString(RememberedState::value(group, QStringLiteral("end")).toString(), Qt::ISODate);
    if (start.isValid() && end.isValid()) {
        startField->setDate(start);
        endField->setDate(end);
    }
    exec();
    RememberedState::setValue(group, QStringLiteral("start"), periodStart().toString(Qt::ISODate));
    RememberedState::setValue(group, QStringLiteral("end"), periodEnd().toString(Qt::ISODate));
}

void ReportCentre::presetPeriod(const QDate &today)
{
    const int m = today.month();
    const int y = today.year();
    const QDate start = m == 1 ? QDate(y - 1, 12, 1) : QDate(y, m - 1, 1);
    startField->setDate(start);
    endField->setDate(QDate(y, m, 1));
}

void ReportCentre::applyRole(Role role)
{
    if (role != Role::ShiftForeman && role != Role::Storekeeper)
        return;
    for (QPushButton *b : {detailedWorkersButton, productsButton, workersButton, exportButton})
        b->setEnabled(false);
    if (role == Role::Storekeeper) {
        setProductKind(ProductKindChoice::Finished);
        productKindGroup->setEnabled(false);
    }
}

QDate ReportCentre::periodStart() const
{
    return startField->date();
}

QDate ReportCentre::periodEnd() const
{
    return endField->date();
}

ProductKindChoice ReportCentre::productKind() const
{
    const int id = m_kinds->checkedId();
    return id < 0 ? ProductKindChoice::All : ProductKindChoice(id);
}

void ReportCentre::setProductKind(ProductKindChoice kind)
{
    m_kinds->button(int(kind))->setChecked(true);
}

void ReportCentre::runReport(PeriodReport *report)
{
    ReportPreview::run(report->make(periodStart(), periodEnd(), productKind()), report->zoom(), this);
}

void ReportCentre::printWorkersReport()
{
    runReport(workersReport);
}

void ReportCentre::printProductsReport()
{
    runReport(productsReport);
}

void ReportCentre::printDetailedWorkersReport()
{
    runReport(detailedWorkersReport);
}

void ReportCentre::printDetailedProductsReport()
{
    runReport(detailedProductsReport);
}

QString ReportCentre::colourSuffix(const QVariant &colour)
{
    if (colour.isNull() || colour.toString().trimmed().isEmpty())
        return QString();
    const int c = colour.toInt();
    if (c == 1)
        return QStringLiteral(" (грунт)");
    if (c > 1)
        return QStringLiteral(" (цвет: %1)").arg(c);
    return QString();
}

void ReportCentre::exportProductOutput()
{
    exportQuery->close();
    QueryCloser closer(exportQuery);
    exportQuery->setParam(QStringLiteral("data1"), periodStart());
    exportQuery->setParam(QStringLiteral("data2"), periodEnd());
    PeriodReport::applyKindFilter(exportQuery, productKind());
    exportQuery->open();

    SpreadsheetWriter &writer = SharedSpreadsheetWriter();
    writer.setExportName(QStringLiteral("Выпуск продукции"));
    if (writer.openWorkbook() == -1)
        return;

    SpreadsheetExport::writePlainHeadings(writer, 1, {QStringLiteral("Наименование"), QStringLiteral("Операция"),
                                                      QStringLiteral("Вид продукции"), QStringLiteral("Коробки"),
                                                      QStringLiteral("Кол-во")});
    // The spreadsheet reads the mass as a number in the workstation's own notation.
    const QString decimalPoint = QLocale().decimalPoint();
    SpreadsheetExport::run(
        *exportQuery, 2,
        [&](const DataSet &rows, int i, int row) {
            const auto value = [&rows, i](const char *field) { return rows.valueAt(i, QLatin1String(field)); };
            writer.writeCell(1, 1, row, value("nom").toString().trimmed());
            writer.writeCell(1, 2, row, value("vid").toString().trimmed() + colourSuffix(value("color")));
            writer.writeCell(1, 3, row, Plant::productKindText(value("naimen").toInt()));
            double mass = 0;
            if (ReportFormat::toNumber(value("mass"), &mass))
                writer.writeCell(1, 4, row, ReportFormat::plainNumber(mass).replace(ReportFormat::DecimalSeparator, decimalPoint));
            double kolvo = 0;
            if (ReportFormat::toNumber(value("kolvo"), &kolvo))
                writer.writeCell(1, 5, row, QString::number(std::llround(kolvo)));
        },
        [this](int written, int total) { exportButton->setText(SpreadsheetExport::caption(written, total)); });
    writer.setVisible(true);
}

void ReportCentre::leave()
{
    reject();
}
