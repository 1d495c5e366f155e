#include "reports/report_centre.h"

#include "app/data_module.h"
#include "app/date_field.h"
#include "app/messages.h"
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

const QString TForm18::XlsStatement = QStringLiteral(
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

TForm18::TForm18(TDataModule6 *module, QWidget *parent)
    : QDialog(parent),
      Form16(new TForm16(module, this)),
      Form17(new TForm17(module, this)),
      Form20(new TForm20(module, this)),
      Form21(new TForm21(module, this)),
      XLS_Rep(new DataSet(module->connectionName(), this)),
      m_module(module)
{
    setObjectName(QStringLiteral("TForm18"));
    setWindowTitle(QStringLiteral("Отчеты (8)"));
    XLS_Rep->setObjectName(QStringLiteral("XLS_Rep"));
    XLS_Rep->setSql(XlsStatement);

    auto *layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    RadioGroup1 = new QGroupBox(QStringLiteral("Вид продукции"), this);
    RadioGroup1->setObjectName(QStringLiteral("RadioGroup1"));
    m_kinds = new QButtonGroup(this);
    auto *kinds = new QVBoxLayout(RadioGroup1);
    const QStringList kindItems = {QStringLiteral("Все"), QStringLiteral("Готовая продукция"), QStringLiteral("Заготовки")};
    for (int i = 0; i < kindItems.size(); ++i) {
        auto *radio = new QRadioButton(kindItems.at(i), RadioGroup1);
        radio->setObjectName(QStringLiteral("RadioGroup1Item%1").arg(i));
        m_kinds->addButton(radio, i);
        kinds->addWidget(radio);
    }
    m_kinds->button(0)->setChecked(true);
    boldCaption(RadioGroup1);
    layout->addWidget(RadioGroup1);

    GroupBox1 = new QGroupBox(QStringLiteral("Период отбора"), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    auto *period = new QGridLayout(GroupBox1);
    const auto picker = [this](const char *name) {
        auto *p = new DateField(GroupBox1);
        p->setObjectName(QLatin1String(name));
        return p;
    };
    DTPicker1 = picker("DTPicker1");
    DTPicker2 = picker("DTPicker2");
    period->addWidget(new QLabel(QStringLiteral("с"), GroupBox1), 0, 0);
    period->addWidget(DTPicker1, 0, 1);
    period->addWidget(new QLabel(QStringLiteral("по"), GroupBox1), 0, 2);
    period->addWidget(DTPicker2, 0, 3);
    boldCaption(GroupBox1);
    layout->addWidget(GroupBox1);

    const auto button = [this, layout](const char *name, const QString &caption, void (TForm18::*handler)()) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        // The export says so; everything else here makes a report.
        const QString failed = handler == &TForm18::Button6Click ? QStringLiteral("Не удалось выгрузить данные в Excel.")
                                                                 : QStringLiteral("Не удалось составить отчет.");
        connect(b, &QPushButton::clicked, this, [this, handler, failed] { Messages::guard(failed, [&] { (this->*handler)(); }); });
        layout->addWidget(b);
        return b;
    };
    Button4 = button("Button4", QStringLiteral("Отчет по рабочим"), &TForm18::Button4Click);
    Button2 = button("Button2", QStringLiteral("Отчет по продукции"), &TForm18::Button2Click);
    Button1 = button("Button1", QStringLiteral("Детальный отчет по рабочим"), &TForm18::Button1Click);
    Button3 = button("Button3", QStringLiteral("Детальный отчет по продукции"), &TForm18::Button3Click);
    Button6 = button("Button6", SpreadsheetExport::caption(0, 0), &TForm18::Button6Click);
    Button5 = button("Button5", QStringLiteral("Выход"), &TForm18::Button5Click);
    // Esc closes the dialog as "Выход" does (QDialog::reject).
}

void TForm18::ShowCentre()
{
    PresetPeriod();
    exec();
}

void TForm18::PresetPeriod(const QDate &today)
{
    const int m = today.month();
    const int y = today.year();
    const QDate start = m == 1 ? QDate(y - 1, 12, 1) : QDate(y, m - 1, 1);
    DTPicker1->setDate(start);
    DTPicker2->setDate(QDate(y, m, 1));
}

void TForm18::ApplyRole(Role role)
{
    if (role != Role::ShiftForeman && role != Role::Storekeeper)
        return;
    for (QPushButton *b : {Button1, Button2, Button4, Button6})
        b->setEnabled(false);
    if (role == Role::Storekeeper) {
        setProductKind(ProductKindChoice::Finished);
        RadioGroup1->setEnabled(false);
    }
}

QDate TForm18::periodStart() const
{
    return DTPicker1->date();
}

QDate TForm18::periodEnd() const
{
    return DTPicker2->date();
}

ProductKindChoice TForm18::productKind() const
{
    const int id = m_kinds->checkedId();
    return id < 0 ? ProductKindChoice::All : ProductKindChoice(id);
}

void TForm18::setProductKind(ProductKindChoice kind)
{
    m_kinds->button(int(kind))->setChecked(true);
}

void TForm18::runReport(PeriodReport *report)
{
    ReportPreview::run(report->Make(periodStart(), periodEnd(), productKind()), report->zoom(), this);
}

void TForm18::Button4Click()
{
    runReport(Form16);
}

void TForm18::Button2Click()
{
    runReport(Form17);
}

void TForm18::Button1Click()
{
    runReport(Form20);
}

void TForm18::Button3Click()
{
    runReport(Form21);
}

QString TForm18::ColourSuffix(const QVariant &colour)
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

void TForm18::Button6Click()
{
    XLS_Rep->close();
    QueryCloser closer(XLS_Rep);
    XLS_Rep->setParam(QStringLiteral("data1"), periodStart());
    XLS_Rep->setParam(QStringLiteral("data2"), periodEnd());
    PeriodReport::ApplyKindFilter(XLS_Rep, productKind());
    XLS_Rep->open();

    SpreadsheetWriter &writer = SharedSpreadsheetWriter();
    writer.setExportName(QStringLiteral("Выпуск продукции"));
    if (writer.OpenWorkbook() == -1)
        return;

    SpreadsheetExport::writePlainHeadings(writer, 1, {QStringLiteral("Наименование"), QStringLiteral("Операция"),
                                                      QStringLiteral("Вид продукции"), QStringLiteral("Коробки"),
                                                      QStringLiteral("Кол-во")});
    // The spreadsheet reads the mass as a number in the workstation's own notation.
    const QString decimalPoint = QLocale().decimalPoint();
    SpreadsheetExport::run(
        *XLS_Rep, 2,
        [&](const DataSet &rows, int i, int row) {
            const auto value = [&rows, i](const char *field) { return rows.valueAt(i, QLatin1String(field)); };
            writer.WriteCell(1, 1, row, value("nom").toString().trimmed());
            writer.WriteCell(1, 2, row, value("vid").toString().trimmed() + ColourSuffix(value("color")));
            writer.WriteCell(1, 3, row, Plant::productKindText(value("naimen").toInt()));
            double mass = 0;
            if (ReportFormat::toNumber(value("mass"), &mass))
                writer.WriteCell(1, 4, row, ReportFormat::plainNumber(mass).replace(ReportFormat::DecimalSeparator, decimalPoint));
            double kolvo = 0;
            if (ReportFormat::toNumber(value("kolvo"), &kolvo))
                writer.WriteCell(1, 5, row, QString::number(std::llround(kolvo)));
        },
        [this](int written, int total) { Button6->setText(SpreadsheetExport::caption(written, total)); });
    writer.SetVisible(true);
}

void TForm18::Button5Click()
{
    reject();
}
