#include "timesheets/household_dialog.h"

#include "db/data_module.h"
#include "ui/control_look.h"
#include "ui/messages.h"
#include "ui/dialog_buttons.h"
#include "db/row_version.h"
#include "ui/windows.h"
#include "db/dataset.h"
#include "db/decimal_text.h"
#include "db/input_check.h"
#include "reference/nomenclature_picker.h"
#include "reference/price_rules.h"
#include "reference/worker_list.h"
#include "timesheets/household_commands.h"
#include "timesheets/household_statements.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QVBoxLayout>

#include <tuple>

namespace {

// A field the program fills: read-only, without a frame, skipped by Tab.
QLineEdit *shownField(QWidget *parent, const char *name)
{
    auto *e = new QLineEdit(parent);
    e->setObjectName(QString::fromLatin1(name));
    e->setReadOnly(true);
    e->setFrame(false);
    e->setFocusPolicy(Qt::ClickFocus);
    return e;
}

// A money value as the dialog shows it: at most 4 decimals, the workstation's separator.
QString shownMoney(double value)
{
    return shownDecimal(SqlValue::number(PriceRules::roundTo4(value)).sql());
}

} // namespace

HouseholdDialog::HouseholdDialog(DataModule *module, QWidget *parent)
    : QDialog(parent), kinds(new DataSet(module->connectionName(), this)), m_module(module)
{
    setObjectName(QStringLiteral("TForm24"));
    setWindowTitle(QStringLiteral("Хоз. работы/среднесдельная (24)"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                   | Qt::MSWindowsFixedSizeDialogHint);
    kinds->setSql(HouseholdStatements::workTypes());
    // The amount of the query stays the price times 0; "Сумма" shows the price times the hours
    // typed, as they are typed.
    kinds->setParam(QStringLiteral("cnt"), 0.0);

    auto *group = new QGroupBox(QStringLiteral("Закрыто мастером"), this);
    workerEdit = shownField(group, "Edit1");
    groupEdit = shownField(group, "Edit2");
    workerButton = new QPushButton(QStringLiteral("..."), group);
    workerButton->setObjectName(QStringLiteral("Button3"));
    groupButton = new QPushButton(QStringLiteral("..."), group);
    groupButton->setObjectName(QStringLiteral("Button4"));
    for (QPushButton *b : {workerButton, groupButton}) {
        b->setAutoDefault(false);
        b->setFixedWidth(28);
    }
    kindList = new QComboBox(group);
    kindList->setObjectName(QStringLiteral("cb_type_work"));
    hoursEdit = new QLineEdit(group);
    hoursEdit->setObjectName(QStringLiteral("Edit6"));
    hoursEdit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), hoursEdit));
    hoursEdit->setFixedWidth(60);
    priceEdit = new QLineEdit(group);
    priceEdit->setObjectName(QStringLiteral("DBEdit1"));
    amountEdit = new QLineEdit(group);
    amountEdit->setObjectName(QStringLiteral("DBEdit2"));
    for (QLineEdit *e : {priceEdit, amountEdit}) {
        e->setEnabled(false);
        e->setFixedWidth(90);
    }
    nightBox = new QCheckBox(QStringLiteral("Ночные"), group);
    nightBox->setObjectName(QStringLiteral("CBox1"));

    auto *grid = new QGridLayout(group);
    grid->addWidget(new QLabel(QStringLiteral("ФИО"), group), 0, 0);
    grid->addWidget(workerEdit, 0, 1, 1, 6);
    grid->addWidget(workerButton, 0, 7);
    grid->addWidget(new QLabel(QStringLiteral("Номенклатура"), group), 1, 0);
    grid->addWidget(groupEdit, 1, 1, 1, 6);
    grid->addWidget(groupButton, 1, 7);
    grid->addWidget(new QLabel(QStringLiteral("Работа"), group), 2, 0);
    grid->addWidget(kindList, 2, 1, 1, 3);
    grid->addWidget(nightBox, 2, 4, 1, 3);
    grid->addWidget(new QLabel(QStringLiteral("Кол-во"), group), 3, 0);
    grid->addWidget(hoursEdit, 3, 1);
    grid->addWidget(new QLabel(QStringLiteral("ч.    Цена"), group), 3, 2);
    grid->addWidget(priceEdit, 3, 3);
    grid->addWidget(new QLabel(QStringLiteral("р.    Сумма"), group), 3, 4);
    grid->addWidget(amountEdit, 3, 5);
    grid->setColumnStretch(6, 1);

    DialogButtons captions;
    captions.cancel = QStringLiteral("Выход");
    captions.cancelName = QStringLiteral("Button6");
    captions.failed = QStringLiteral("Не удалось сохранить запись.");
    std::tie(saveButton, exitButton) = addWriteCancelButtons(this, group, [this] { save(); }, captions);
    // The designed size, or what the captions need where a larger desktop font asks for more.
    setFixedSize(QSize(537, 202).expandedTo(sizeHint()));

    setTabOrder(workerButton, groupButton);
    setTabOrder(groupButton, kindList);
    setTabOrder(kindList, nightBox);
    setTabOrder(nightBox, hoursEdit);
    setTabOrder(hoursEdit, saveButton);
    setTabOrder(saveButton, exitButton);

    connect(workerButton, &QPushButton::clicked, this, [this] { pickWorker(); });
    connect(groupButton, &QPushButton::clicked, this, [this] { pickGroup(); });
    connect(kindList, &QComboBox::currentIndexChanged, this, [this] { showPrice(); });
    connect(hoursEdit, &QLineEdit::textChanged, this, [this] { showPrice(); });
}

void HouseholdDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    centreOnScreen(this);
}

void HouseholdDialog::openKinds()
{
    kinds->reopen();
    // One line per kind, keyed by its id; a kind with several norm rows takes the first one's
    // price, as a look-up by id finds it.
    QSignalBlocker block(kindList);
    kindList->clear();
    for (int row = 0; row < kinds->recordCount(); ++row) {
        const int id = kinds->valueAt(row, QStringLiteral("id")).toInt();
        if (kindList->findData(id) < 0)
            kindList->addItem(kinds->valueAt(row, QStringLiteral("vid")).toString().trimmed(), id);
    }
    kindList->setCurrentIndex(-1);
}

void HouseholdDialog::chooseKind(int kind)
{
    kindList->setCurrentIndex(kindList->findData(kind));
    showPrice();
}

int HouseholdDialog::kind() const
{
    return kindList->currentIndex() < 0 ? 0 : kindList->currentData().toInt();
}

double HouseholdDialog::kindPrice() const
{
    if (kind() == 0 || !kinds->locate(QStringLiteral("id"), kind()))
        return 0;
    return kinds->text(QStringLiteral("price")).toDouble();
}

void HouseholdDialog::showPrice()
{
    if (kind() == 0 || !kinds->locate(QStringLiteral("id"), kind())) {
        priceEdit->clear();
        amountEdit->clear();
        return;
    }
    priceEdit->setText(shownDecimal(kinds->text(QStringLiteral("price"))));
    amountEdit->setText(shownMoney(kindPrice() * hoursEdit->text().trimmed().toDouble()));
}

void HouseholdDialog::prepareAdd(const HouseholdListContext &context)
{
    m_context = context;
    m_before = HouseholdEntry();
    openMode = 0;
    openKinds();
    workerEdit->clear();
    groupEdit->clear();
    workerId = 0;
    groupId = 0;
    hoursEdit->setText(QStringLiteral("0"));
    nightBox->setChecked(false);
    nightBox->setEnabled(true);
    chooseKind(Plant::HouseholdWorkKind);
    workerButton->setFocus();
}

void HouseholdDialog::prepareChange(const HouseholdListContext &context)
{
    m_context = context;
    openMode = 1;
    openKinds();
    // With an empty list the fields stay empty, and saving asks for them.
    m_before = HouseholdEntry();
    m_before.kind = 0;
    if (context.list)
        m_before = HouseholdEntry::fromList(*context.list);
    // Another workstation may change the entry while the dialog is open: its change is not
    // written over.
    if (m_before.id != 0)
        m_before.version = RowVersion::read(*m_module, QStringLiteral("accounts_dep.fatigue"), m_before.id);
    const DataSet *list = context.list;
    const bool row = list && !list->isEmpty();
    workerEdit->setText(row ? list->text(QStringLiteral("fio")).trimmed() : QString());
    groupEdit->setText(row ? list->text(QStringLiteral("s_caption")).trimmed() : QString());
    hoursEdit->setText(row ? list->text(QStringLiteral("cnt")).trimmed() : QString());
    workerId = m_before.worker;
    groupId = m_before.group;
    chooseKind(m_before.kind);
    // The night flag of an existing entry stays: it keys the timesheet row the entry counts in.
    nightBox->setChecked(m_before.night);
    nightBox->setEnabled(false);
    workerButton->setFocus();
}

void HouseholdDialog::finish()
{
    kinds->close();
}

void HouseholdDialog::pickWorker()
{
    Messages::guard([this] { Windows::get<WorkerList>()->showPicker(this, 24); });
}

void HouseholdDialog::takePick(const WorkerChoice &choice)
{
    workerEdit->setText(choice.fio);
    workerId = choice.id;
}

void HouseholdDialog::pickGroup()
{
    Messages::guard([this] { Windows::get<NomenclaturePicker>()->showPicker(this); });
}

void HouseholdDialog::takePick(const NomenclatureChoice &choice)
{
    groupEdit->setText(choice.caption);
    groupId = choice.id;
}

void HouseholdDialog::leave()
{
    reject();
}

void HouseholdDialog::save()
{
    bool saved = false;
    Messages::guard(QStringLiteral("Не удалось сохранить запись."), [&] { saved = write(); });
    if (saved)
        accept();
}

bool HouseholdDialog::write()
{
    if (groupId == 0 || workerId == 0 || kind() == 0) {
        Messages::error(QStringLiteral("Все поля должны быть заполнены!"), QStringLiteral("Ошибка"));
        return false;
    }
    // The field takes digits only: what is left to refuse is nothing typed, 0, and more hours than
    // a timesheet day cell holds.
    const QString typed = hoursEdit->text().trimmed();
    bool number = false;
    const qint64 value = typed.toLongLong(&number);
    if (typed.isEmpty() || (number && value < 1)) {
        Messages::error(QStringLiteral("Нужно завести количество!"), QStringLiteral("Ошибка"));
        return false;
    }

    HouseholdEntry entry = openMode == 1 ? m_before : HouseholdEntry();
    entry.hours = wholeNumber(typed, QStringLiteral("Кол-во"), 1, ColumnRange::SmallMax);
    entry.group = groupId;
    entry.worker = workerId;
    entry.kind = kind();
    entry.holiday = m_context.holiday;
    entry.night = nightBox->isChecked();
    entry.price = PriceRules::hourPrice(kindPrice(), entry.holiday, entry.night);
    if (openMode != 1) {
        entry.date = m_context.date;
        entry.shift = m_context.shift;
    }
    HouseholdCommands::save(*m_module, entry, openMode == 1 ? &m_before : nullptr);

    // The list is read again after the commit, so that it shows what the database holds.
    if (DataSet *list = m_context.list)
        list->reopenKeepingRow();
    return true;
}
