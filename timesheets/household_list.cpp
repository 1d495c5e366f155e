#include "timesheets/household_list.h"

#include "ui/command_keys.h"
#include "ui/control_look.h"
#include "ui/data_grid.h"
#include "db/data_module.h"
#include "ui/date_field.h"
#include "ui/messages.h"
#include "ui/windows.h"
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

HouseholdListWindow::HouseholdListWindow(DataModule *module, QWidget *parent)
    : QDialog(parent), entries(new DataSet(module->connectionName(), this)), m_module(module)
{
    setObjectName(QStringLiteral("TForm25"));
    setWindowTitle(QStringLiteral("Хоз. работы (25)"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                   | Qt::MSWindowsFixedSizeDialogHint);
    entries->setSql(HouseholdStatements::list());

    grid = new DataGrid(this);
    grid->setObjectName(QStringLiteral("DBGrid1"));
    grid->setColumns({
        {QStringLiteral("ФИО"), QStringLiteral("fio"), 300},
        {QStringLiteral("Номенклатура"), QStringLiteral("s_caption"), 267},
        {QStringLiteral("Работа"), QStringLiteral("vid"), 156},
        GridColumn{QStringLiteral("Цена"), QStringLiteral("price"), 80}.as(NumberShape::UnitPrice),
        {QStringLiteral("Кол-во"), QStringLiteral("cnt")},
        GridColumn{QStringLiteral("Итого"), QStringLiteral("summ"), 80}.as(NumberShape::Money),
        {QStringLiteral("Вых."), QStringLiteral("s_holiday"), 33, Qt::AlignCenter},
        {QStringLiteral("Ноч."), QStringLiteral("s_night"), 33, Qt::AlignCenter},
    });
    grid->setDataSet(entries);
    connect(grid, &QAbstractItemView::doubleClicked, this, [this] { rowDoubleClicked(); });

    auto *bottom = new QHBoxLayout;
    auto button = [&](const char *name, const char *caption, void (HouseholdListWindow::*handler)()) {
        auto *b = new QPushButton(QString::fromUtf8(caption), this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, [this, handler] { (this->*handler)(); });
        bottom->addWidget(b);
        return b;
    };
    addButton = button("Button5", "Добавить", &HouseholdListWindow::addEntry);
    changeButton = button("Button6", "Изменить", &HouseholdListWindow::changeEntry);
    deleteButton = button("Button7", "Удалить", &HouseholdListWindow::deleteEntry);
    bottom->addSpacing(12);
    averagePricesButton = button("Button1", "Расчитать ср.сд.", &HouseholdListWindow::computeAveragePrices);
    bottom->addSpacing(12);
    dateField = new DateField(this);
    dateField->setObjectName(QStringLiteral("DTPcker1"));
    connect(dateField, &QDateEdit::dateChanged, this, [this] { dateChanged(); });
    bottom->addWidget(dateField);
    holidayBox = new QCheckBox(QStringLiteral("Выходной"), this);
    holidayBox->setObjectName(QStringLiteral("CBox1"));
    ControlLook::followDayOff(holidayBox);
    bottom->addWidget(holidayBox);
    bottom->addStretch(1);
    exitButton = button("Button8", "Выход", &HouseholdListWindow::leave);
    CommandKeys::bind(addButton, {CommandKeys::Add});
    CommandKeys::bind(changeButton, {CommandKeys::Change}, grid, CommandKeys::enter());
    CommandKeys::bind(deleteButton, {}, grid, CommandKeys::remove());

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(grid, 1);
    layout->addLayout(bottom);
    grid->setStretchingColumns({QStringLiteral("fio"), QStringLiteral("s_caption"), QStringLiteral("vid")});
    fitToScreen(this, QSize(1054, 650));
}

void HouseholdListWindow::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    centreOnScreen(this);
}

QDate HouseholdListWindow::listDate() const
{
    return dateField->date();
}

bool HouseholdListWindow::holiday() const
{
    return holidayBox->isChecked();
}

HouseholdListContext HouseholdListWindow::listContext() const
{
    return {entries, listDate(), holiday(), shift};
}

void HouseholdListWindow::readList()
{
    entries->close();
    entries->setParam(QStringLiteral("d_date"), listDate());
    entries->open();
}

void HouseholdListWindow::prepareOpen(const QDate &date)
{
    {
        // The opener's date is not a pick of the user's: "Выходной" keeps what it holds.
        QSignalBlocker block(dateField);
        dateField->setDate(date);
    }
    activate();
    grid->setFocus();
}

void HouseholdListWindow::activate()
{
    shift = 1;
    // Coming back from the entry dialog the same entry stays current.
    const int row = entries->recNo();
    const QDate before = entries->param(QStringLiteral("d_date")).toDate();
    Messages::guard(readFailed, [this] { readList(); });
    if (row > 0 && before == listDate())
        entries->setRecNo(row);
}

void HouseholdListWindow::dateChanged()
{
    holidayBox->setChecked(Plant::isWeekend(listDate()));
    Messages::guard(readFailed, [this] { readList(); });
}

void HouseholdListWindow::showDialog(HouseholdDialog *dialog)
{
    dialog->exec();
    dialog->finish();
    activate();
}

void HouseholdListWindow::addEntry()
{
    HouseholdDialog *dialog = Windows::get<HouseholdDialog>();
    if (!Messages::guard(readFailed, [&] { dialog->prepareAdd(listContext()); }))
        return;
    showDialog(dialog);
}

void HouseholdListWindow::changeEntry()
{
    HouseholdDialog *dialog = Windows::get<HouseholdDialog>();
    if (!Messages::guard(readFailed, [&] { dialog->prepareChange(listContext()); }))
        return;
    showDialog(dialog);
}

void HouseholdListWindow::deleteEntry()
{
    if (entries->isEmpty())
        return;
    if (!Messages::ask(QStringLiteral("Удалить позицию из списка?"), QStringLiteral("Удаление")))
        return;
    Messages::guard(QStringLiteral("Не удалось удалить запись."), [this] {
        HouseholdCommands::remove(*m_module, HouseholdEntry::fromList(*entries));
        entries->reopenKeepingRow();
    });
}

void HouseholdListWindow::computeAveragePrices()
{
    Messages::guard(QStringLiteral("Не удалось рассчитать среднесдельные цены."), [this] {
        HouseholdCommands::computeAveragePrices(*m_module, listDate().month(), listDate().year());
        entries->reopenKeepingRow();
    });
}

void HouseholdListWindow::leave()
{
    reject();
}
