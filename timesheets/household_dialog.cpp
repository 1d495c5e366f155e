#include "timesheets/household_dialog.h"

#include "app/data_module.h"
#include "app/control_look.h"
#include "app/messages.h"
#include "reference/dialog_buttons.h"
#include "app/row_version.h"
#include "app/windows.h"
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

TForm24::TForm24(TDataModule6 *module, QWidget *parent)
    : QDialog(parent), type_work(new DataSet(module->connectionName(), this)), m_module(module)
{
    setObjectName(QStringLiteral("TForm24"));
    setWindowTitle(QStringLiteral("Хоз. работы/среднесдельная (24)"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                   | Qt::MSWindowsFixedSizeDialogHint);
    type_work->setSql(HouseholdStatements::workTypes());
    // The amount of the query stays the price times 0; "Сумма" shows the price times the hours
    // typed, as they are typed.
    type_work->setParam(QStringLiteral("cnt"), 0.0);

    auto *group = new QGroupBox(QStringLiteral("Закрыто мастером"), this);
    Edit1 = shownField(group, "Edit1");
    Edit2 = shownField(group, "Edit2");
    Button3 = new QPushButton(QStringLiteral("..."), group);
    Button3->setObjectName(QStringLiteral("Button3"));
    Button4 = new QPushButton(QStringLiteral("..."), group);
    Button4->setObjectName(QStringLiteral("Button4"));
    for (QPushButton *b : {Button3, Button4}) {
        b->setAutoDefault(false);
        b->setFixedWidth(28);
    }
    cb_type_work = new QComboBox(group);
    cb_type_work->setObjectName(QStringLiteral("cb_type_work"));
    Edit6 = new QLineEdit(group);
    Edit6->setObjectName(QStringLiteral("Edit6"));
    Edit6->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), Edit6));
    Edit6->setFixedWidth(60);
    DBEdit1 = new QLineEdit(group);
    DBEdit1->setObjectName(QStringLiteral("DBEdit1"));
    DBEdit2 = new QLineEdit(group);
    DBEdit2->setObjectName(QStringLiteral("DBEdit2"));
    for (QLineEdit *e : {DBEdit1, DBEdit2}) {
        e->setEnabled(false);
        e->setFixedWidth(90);
    }
    CBox1 = new QCheckBox(QStringLiteral("Ночные"), group);
    CBox1->setObjectName(QStringLiteral("CBox1"));

    auto *grid = new QGridLayout(group);
    grid->addWidget(new QLabel(QStringLiteral("ФИО"), group), 0, 0);
    grid->addWidget(Edit1, 0, 1, 1, 6);
    grid->addWidget(Button3, 0, 7);
    grid->addWidget(new QLabel(QStringLiteral("Номенклатура"), group), 1, 0);
    grid->addWidget(Edit2, 1, 1, 1, 6);
    grid->addWidget(Button4, 1, 7);
    grid->addWidget(new QLabel(QStringLiteral("Работа"), group), 2, 0);
    grid->addWidget(cb_type_work, 2, 1, 1, 3);
    grid->addWidget(CBox1, 2, 4, 1, 3);
    grid->addWidget(new QLabel(QStringLiteral("Кол-во"), group), 3, 0);
    grid->addWidget(Edit6, 3, 1);
    grid->addWidget(new QLabel(QStringLiteral("ч.    Цена"), group), 3, 2);
    grid->addWidget(DBEdit1, 3, 3);
    grid->addWidget(new QLabel(QStringLiteral("р.    Сумма"), group), 3, 4);
    grid->addWidget(DBEdit2, 3, 5);
    grid->setColumnStretch(6, 1);

    DialogButtons captions;
    captions.cancel = QStringLiteral("Выход");
    captions.cancelName = QStringLiteral("Button6");
    captions.failed = QStringLiteral("Не удалось сохранить запись.");
    std::tie(Button1, Button6) = addWriteCancelButtons(this, group, [this] { Button1Click(); }, captions);
    setFixedSize(537, 202);

    setTabOrder(Button3, Button4);
    setTabOrder(Button4, cb_type_work);
    setTabOrder(cb_type_work, CBox1);
    setTabOrder(CBox1, Edit6);
    setTabOrder(Edit6, Button1);
    setTabOrder(Button1, Button6);

    connect(Button3, &QPushButton::clicked, this, [this] { Button3Click(); });
    connect(Button4, &QPushButton::clicked, this, [this] { Button4Click(); });
    connect(cb_type_work, &QComboBox::currentIndexChanged, this, [this] { ShowPrice(); });
    connect(Edit6, &QLineEdit::textChanged, this, [this] { ShowPrice(); });
}

void TForm24::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    centreOnScreen(this);
}

void TForm24::OpenKinds()
{
    type_work->reopen();
    // One line per kind, keyed by its id; a kind with several norm rows takes the first one's
    // price, as a look-up by id finds it.
    QSignalBlocker block(cb_type_work);
    cb_type_work->clear();
    for (int row = 0; row < type_work->recordCount(); ++row) {
        const int id = type_work->valueAt(row, QStringLiteral("id")).toInt();
        if (cb_type_work->findData(id) < 0)
            cb_type_work->addItem(type_work->valueAt(row, QStringLiteral("vid")).toString().trimmed(), id);
    }
    cb_type_work->setCurrentIndex(-1);
}

void TForm24::ChooseKind(int kind)
{
    cb_type_work->setCurrentIndex(cb_type_work->findData(kind));
    ShowPrice();
}

int TForm24::Kind() const
{
    return cb_type_work->currentIndex() < 0 ? 0 : cb_type_work->currentData().toInt();
}

double TForm24::KindPrice() const
{
    if (Kind() == 0 || !type_work->locate(QStringLiteral("id"), Kind()))
        return 0;
    return type_work->text(QStringLiteral("price")).toDouble();
}

void TForm24::ShowPrice()
{
    if (Kind() == 0 || !type_work->locate(QStringLiteral("id"), Kind())) {
        DBEdit1->clear();
        DBEdit2->clear();
        return;
    }
    DBEdit1->setText(shownDecimal(type_work->text(QStringLiteral("price"))));
    DBEdit2->setText(shownMoney(KindPrice() * Edit6->text().trimmed().toDouble()));
}

void TForm24::PrepareAdd(const HouseholdListContext &context)
{
    m_context = context;
    m_before = HouseholdEntry();
    Tag = 0;
    OpenKinds();
    Edit1->clear();
    Edit2->clear();
    WorkerId = 0;
    GroupId = 0;
    Edit6->setText(QStringLiteral("0"));
    CBox1->setChecked(false);
    CBox1->setEnabled(true);
    ChooseKind(Plant::HouseholdWorkKind);
    Button3->setFocus();
}

void TForm24::PrepareChange(const HouseholdListContext &context)
{
    m_context = context;
    Tag = 1;
    OpenKinds();
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
    Edit1->setText(row ? list->text(QStringLiteral("fio")).trimmed() : QString());
    Edit2->setText(row ? list->text(QStringLiteral("s_caption")).trimmed() : QString());
    Edit6->setText(row ? list->text(QStringLiteral("cnt")).trimmed() : QString());
    WorkerId = m_before.worker;
    GroupId = m_before.group;
    ChooseKind(m_before.kind);
    // The night flag of an existing entry stays: it keys the timesheet row the entry counts in.
    CBox1->setChecked(m_before.night);
    CBox1->setEnabled(false);
    Button3->setFocus();
}

void TForm24::Finish()
{
    type_work->close();
}

void TForm24::Button3Click()
{
    Messages::guard([this] { Windows::get<TForm5>()->ShowPicker(this, 24); });
}

void TForm24::TakePick(const WorkerChoice &choice)
{
    Edit1->setText(choice.fio);
    WorkerId = choice.id;
}

void TForm24::Button4Click()
{
    Messages::guard([this] { Windows::get<TForm26>()->ShowPicker(this); });
}

void TForm24::TakePick(const NomenclatureChoice &choice)
{
    Edit2->setText(choice.caption);
    GroupId = choice.id;
}

void TForm24::Button6Click()
{
    reject();
}

void TForm24::Button1Click()
{
    bool saved = false;
    Messages::guard(QStringLiteral("Не удалось сохранить запись."), [&] { saved = Save(); });
    if (saved)
        accept();
}

bool TForm24::Save()
{
    if (GroupId == 0 || WorkerId == 0 || Kind() == 0) {
        Messages::error(QStringLiteral("Все поля должны быть заполнены!"), QStringLiteral("Ошибка"));
        return false;
    }
    // The field takes digits only: what is left to refuse is nothing typed, 0, and more hours than
    // a timesheet day cell holds.
    const QString typed = Edit6->text().trimmed();
    bool number = false;
    const qint64 value = typed.toLongLong(&number);
    if (typed.isEmpty() || (number && value < 1)) {
        Messages::error(QStringLiteral("Нужно завести количество!"), QStringLiteral("Ошибка"));
        return false;
    }

    HouseholdEntry entry = Tag == 1 ? m_before : HouseholdEntry();
    entry.hours = wholeNumber(typed, QStringLiteral("Кол-во"), 1, ColumnRange::SmallMax);
    entry.group = GroupId;
    entry.worker = WorkerId;
    entry.kind = Kind();
    entry.holiday = m_context.holiday;
    entry.night = CBox1->isChecked();
    entry.price = PriceRules::hourPrice(KindPrice(), entry.holiday, entry.night);
    if (Tag != 1) {
        entry.date = m_context.date;
        entry.shift = m_context.shift;
    }
    HouseholdCommands::save(*m_module, entry, Tag == 1 ? &m_before : nullptr);

    // The list is read again after the commit, so that it shows what the database holds.
    if (DataSet *list = m_context.list)
        list->reopenKeepingRow();
    return true;
}
