#include "timesheets/household_list.h"

#include "app/control_look.h"
#include "app/data_grid.h"
#include "app/data_module.h"
#include "app/date_field.h"
#include "app/messages.h"
#include "app/windows.h"
#include "db/dataset.h"
#include "db/plant.h"
#include "timesheets/household_commands.h"
#include "timesheets/household_statements.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace {
const QString readFailed = QStringLiteral("Не удалось прочитать список.");
} // namespace

TForm25::TForm25(TDataModule6 *module, QWidget *parent)
    : QDialog(parent), fatigue(new DataSet(module->connectionName(), this)), m_module(module)
{
    setObjectName(QStringLiteral("TForm25"));
    setWindowTitle(QStringLiteral("Хоз. работы (25)"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                   | Qt::MSWindowsFixedSizeDialogHint);
    fatigue->setSql(HouseholdStatements::list());

    DBGrid1 = new DataGrid(this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setColumns({
        {QStringLiteral("ФИО"), QStringLiteral("fio"), 300},
        {QStringLiteral("Номенклатура"), QStringLiteral("s_caption"), 267},
        {QStringLiteral("Работа"), QStringLiteral("vid"), 156},
        GridColumn{QStringLiteral("Цена"), QStringLiteral("price"), 80}.as(NumberShape::UnitPrice),
        {QStringLiteral("Кол-во"), QStringLiteral("cnt")},
        GridColumn{QStringLiteral("Итого"), QStringLiteral("summ"), 80}.as(NumberShape::Money),
        {QStringLiteral("Вых."), QStringLiteral("s_holiday"), 33, Qt::AlignCenter},
        {QStringLiteral("Ноч."), QStringLiteral("s_night"), 33, Qt::AlignCenter},
    });
    DBGrid1->setDataSet(fatigue);
    connect(DBGrid1, &QAbstractItemView::doubleClicked, this, [this] { DBGrid1DblClick(); });

    auto *bottom = new QHBoxLayout;
    auto button = [&](const char *name, const char *caption, void (TForm25::*handler)()) {
        auto *b = new QPushButton(QString::fromUtf8(caption), this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, [this, handler] { (this->*handler)(); });
        bottom->addWidget(b);
        return b;
    };
    Button5 = button("Button5", "Добавить", &TForm25::Button5Click);
    Button6 = button("Button6", "Изменить", &TForm25::Button6Click);
    Button7 = button("Button7", "Удалить", &TForm25::Button7Click);
    bottom->addSpacing(12);
    Button1 = button("Button1", "Расчитать ср.сд.", &TForm25::Button1Click);
    bottom->addSpacing(12);
    DTPcker1 = new DateField(this);
    DTPcker1->setObjectName(QStringLiteral("DTPcker1"));
    connect(DTPcker1, &QDateEdit::dateChanged, this, [this] { DateChanged(); });
    bottom->addWidget(DTPcker1);
    CBox1 = new QCheckBox(QStringLiteral("Выходной"), this);
    CBox1->setObjectName(QStringLiteral("CBox1"));
    ControlLook::followDayOff(CBox1);
    bottom->addWidget(CBox1);
    bottom->addStretch(1);
    Button8 = button("Button8", "Выход", &TForm25::Button8Click);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(DBGrid1, 1);
    layout->addLayout(bottom);
    DBGrid1->setStretchingColumns({QStringLiteral("fio"), QStringLiteral("s_caption"), QStringLiteral("vid")});
    fitToScreen(this, QSize(1054, 650));
}

void TForm25::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    centreOnScreen(this);
}

QDate TForm25::ListDate() const
{
    return DTPcker1->date();
}

bool TForm25::Holiday() const
{
    return CBox1->isChecked();
}

HouseholdListContext TForm25::Context() const
{
    return {fatigue, ListDate(), Holiday(), Shift};
}

void TForm25::ReadList()
{
    fatigue->close();
    fatigue->setParam(QStringLiteral("d_date"), ListDate());
    fatigue->open();
}

void TForm25::PrepareOpen(const QDate &date)
{
    {
        // The opener's date is not a pick of the user's: "Выходной" keeps what it holds.
        QSignalBlocker block(DTPcker1);
        DTPcker1->setDate(date);
    }
    Activate();
    DBGrid1->setFocus();
}

void TForm25::Activate()
{
    Shift = 1;
    // Coming back from the entry dialog the same entry stays current.
    const int row = fatigue->recNo();
    const QDate before = fatigue->param(QStringLiteral("d_date")).toDate();
    Messages::guard(readFailed, [this] { ReadList(); });
    if (row > 0 && before == ListDate())
        fatigue->setRecNo(row);
}

void TForm25::DateChanged()
{
    CBox1->setChecked(Plant::isWeekend(ListDate()));
    Messages::guard(readFailed, [this] { ReadList(); });
}

void TForm25::ShowDialog(TForm24 *dialog)
{
    dialog->exec();
    dialog->Finish();
    Activate();
}

void TForm25::Button5Click()
{
    TForm24 *dialog = Windows::get<TForm24>();
    if (!Messages::guard(readFailed, [&] { dialog->PrepareAdd(Context()); }))
        return;
    ShowDialog(dialog);
}

void TForm25::Button6Click()
{
    TForm24 *dialog = Windows::get<TForm24>();
    if (!Messages::guard(readFailed, [&] { dialog->PrepareChange(Context()); }))
        return;
    ShowDialog(dialog);
}

void TForm25::Button7Click()
{
    if (fatigue->isEmpty())
        return;
    if (!Messages::ask(QStringLiteral("Удалить позицию из списка?"), QStringLiteral("Удаление")))
        return;
    Messages::guard(QStringLiteral("Не удалось удалить запись."), [this] {
        HouseholdCommands::remove(*m_module, HouseholdEntry::fromList(*fatigue));
        fatigue->reopenKeepingRow();
    });
}

void TForm25::Button1Click()
{
    Messages::guard(QStringLiteral("Не удалось рассчитать среднесдельные цены."), [this] {
        HouseholdCommands::computeAveragePrices(*m_module, ListDate().month(), ListDate().year());
        fatigue->reopenKeepingRow();
    });
}

void TForm25::Button8Click()
{
    reject();
}
