#include "records/record_dialog.h"

#include "app/data_module.h"
#include "app/date_field.h"
#include "app/messages.h"
#include "app/row_version.h"
#include "app/windows.h"
#include "db/dataset.h"
#include "db/input_check.h"
#include "db/plant.h"
#include "records/record_statements.h"
#include "records/record_commands.h"
#include "reference/dialog_buttons.h"
#include "reference/price_list.h"
#include "reference/price_statements.h"
#include "reference/worker_list.h"

#include <QDateEdit>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include <tuple>

namespace {

const QString paintingMark = QStringLiteral("КРАСКА");

QLineEdit *readOnlyField(QWidget *parent, const char *name)
{
    auto *e = new QLineEdit(parent);
    e->setObjectName(QString::fromLatin1(name));
    e->setReadOnly(true);
    e->setFocusPolicy(Qt::ClickFocus);   // no tab stop
    return e;
}

} // namespace

TForm11::TForm11(TDataModule6 *module, QWidget *parent)
    : QDialog(parent), m_module(module)
{
    setObjectName(QStringLiteral("TForm11"));
    setWindowTitle(QStringLiteral("Заведение новой позиции (11)"));

    auto *group = new QGroupBox(QStringLiteral("Закрыто мастером"), this);
    QFont bold = group->font();
    bold.setBold(true);
    group->setFont(bold);
    // Only the group's title is bold; its fields and labels keep the dialog's font.
    QFont normal = font();
    normal.setBold(false);

    Edit1 = readOnlyField(group, "Edit1");
    Edit2 = readOnlyField(group, "Edit2");
    Edit7 = readOnlyField(group, "Edit7");
    Edit8 = readOnlyField(group, "Edit8");
    Edit9 = readOnlyField(group, "Edit9");
    // Quantities, hours and colour codes are whole numbers typed as digits only.
    auto *digits = new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), this);
    auto digitField = [&](const char *name) {
        auto *e = new QLineEdit(group);
        e->setObjectName(QString::fromLatin1(name));
        e->setValidator(digits);
        return e;
    };
    Edit3 = digitField("Edit3");
    Edit4 = digitField("Edit4");
    Edit5 = digitField("Edit5");
    Edit6 = digitField("Edit6");
    DTimeP = new DateField(group);
    DTimeP->setObjectName(QStringLiteral("DTimeP"));

    Button3 = new QPushButton(QStringLiteral("..."), group);
    Button3->setObjectName(QStringLiteral("Button3"));
    Button4 = new QPushButton(QStringLiteral("..."), group);
    Button4->setObjectName(QStringLiteral("Button4"));
    for (QPushButton *b : {Button3, Button4}) {
        b->setAutoDefault(false);
        b->setFixedWidth(28);
    }

    auto label = [&](const QString &text) {
        auto *l = new QLabel(text, group);
        return l;
    };
    Label6 = label(QStringLiteral("Цвет"));
    Label6->setObjectName(QStringLiteral("Label6"));

    auto *grid = new QGridLayout(group);
    grid->addWidget(label(QStringLiteral("ФИО")), 0, 0);
    grid->addWidget(Edit1, 0, 1, 1, 4);
    grid->addWidget(Button3, 0, 5);
    grid->addWidget(label(QStringLiteral("Операция")), 1, 0);
    grid->addWidget(Edit2, 1, 1, 1, 4);
    grid->addWidget(Button4, 1, 5);
    grid->addWidget(label(QStringLiteral("Кол-во")), 2, 0);
    grid->addWidget(Edit3, 2, 1);
    grid->addWidget(label(QStringLiteral("Брак")), 2, 2);
    grid->addWidget(Edit4, 2, 3);
    grid->addWidget(label(QStringLiteral("Время")), 3, 0);
    grid->addWidget(Edit6, 3, 1);
    grid->addWidget(Label6, 3, 2);
    grid->addWidget(Edit5, 3, 3);
    grid->addWidget(label(QStringLiteral("Дата")), 4, 0);
    grid->addWidget(DTimeP, 4, 1);
    grid->addWidget(label(QStringLiteral("Цена база")), 5, 0);
    grid->addWidget(Edit8, 5, 1);
    grid->addWidget(label(QStringLiteral("Цена итог")), 5, 2);
    grid->addWidget(Edit7, 5, 3);
    grid->addWidget(label(QStringLiteral("Сумма")), 6, 2);
    grid->addWidget(Edit9, 6, 3);
    grid->setColumnMinimumWidth(1, 110);
    grid->setColumnMinimumWidth(3, 110);
    for (QWidget *w : group->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly))
        w->setFont(normal);

    DialogButtons captions;
    captions.write = QStringLiteral("Запись");
    captions.failed = QStringLiteral("Не удалось сохранить запись.");
    std::tie(Button1, Button2) = addWriteCancelButtons(this, group, [this] { Button1Click(); }, captions);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    setTabOrder(Button3, Button4);
    setTabOrder(Button4, Edit3);
    setTabOrder(Edit3, Edit6);
    setTabOrder(Edit6, Edit5);
    setTabOrder(Edit5, DTimeP);
    setTabOrder(DTimeP, Edit4);
    setTabOrder(Edit4, Button1);
    setTabOrder(Button1, Button2);

    // The colour is asked for painting operations only.
    SetColourEnabled(false);

    connect(Button3, &QPushButton::clicked, this, [this] { Button3Click(); });
    connect(Button4, &QPushButton::clicked, this, [this] { Button4Click(); });
    for (QWidget *w : {static_cast<QWidget *>(Edit1), static_cast<QWidget *>(Edit2), static_cast<QWidget *>(Edit3),
                       static_cast<QWidget *>(Edit6)})
        w->installEventFilter(this);
}

bool TForm11::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonRelease) {
        if (watched == Edit1) {
            Button3Click();
            return true;
        }
        if (watched == Edit2) {
            Button4Click();
            return true;
        }
    }
    if (event->type() == QEvent::FocusOut && (watched == Edit3 || watched == Edit6))
        RecomputePrices();
    return QDialog::eventFilter(watched, event);
}

QString TForm11::Shown(double value) const
{
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale.toString(PriceRules::roundTo4(value), 'g', 15);
}

bool TForm11::IsPainting() const
{
    return Edit2->text().toUpper().contains(paintingMark);
}

void TForm11::SetColourEnabled(bool enabled)
{
    Edit5->setEnabled(enabled);
    Label6->setEnabled(enabled);
    if (!enabled)
        Edit5->clear();
}

void TForm11::PrepareAdd(const JournalContext &context)
{
    m_context = context;
    DTimeP->setDate(context.date);
    Edit1->clear();
    Edit2->clear();
    Edit3->clear();
    Edit5->clear();
    Edit4->setText(QStringLiteral("0"));
    Edit6->setText(QStringLiteral("0"));
    setWindowTitle(QStringLiteral("Заведение новой позиции (11)"));
    Tag = 1;
    Button3->setFocus();
}

bool TForm11::PrepareChange(const JournalContext &context)
{
    DataSet *journal = context.journal;
    if (!journal || journal->isEmpty())
        return false;
    m_context = context;
    setWindowTitle(QStringLiteral("Изменение данных о позиции (11)"));
    Tag = 2;
    UnitPrice = journal->value(QStringLiteral("cena")).toDouble();
    const double qty = journal->value(QStringLiteral("kol_vo")).toDouble();
    Edit7->setText(Shown(UnitPrice));
    Edit9->setText(Shown(qty * UnitPrice));
    DTimeP->setDate(journal->value(QStringLiteral("data")).toDate());
    Edit1->setText(journal->text(QStringLiteral("fio")).trimmed());
    const QString kind = journal->text(QStringLiteral("vid")).trimmed();
    Edit2->setText(journal->text(QStringLiteral("marka")).trimmed() + QStringLiteral("; ") + kind + QStringLiteral("; ")
                   + Plant::productKindText(journal->toInt(QStringLiteral("naimen"))));
    Edit3->setText(journal->text(QStringLiteral("kol_vo")).trimmed());
    Edit4->setText(journal->text(QStringLiteral("brak")).trimmed());
    WorkerId = journal->toInt(QStringLiteral("w_id"));
    ProductId = journal->value(QStringLiteral("i_id")).toLongLong();
    PriceId = journal->toInt(QStringLiteral("o_id"));
    ProductKind = journal->toInt(QStringLiteral("naimen"));
    Edit6->setText(journal->text(QStringLiteral("time")).trimmed());
    const bool painting = kind.toUpper().contains(paintingMark);
    SetColourEnabled(painting);
    if (painting)
        Edit5->setText(journal->text(QStringLiteral("color")).trimmed());
    // "Цена база" shows the record's operation price as it stands now.
    BasePrice = m_module->LookUp(PriceStatements::basePrice(PriceId), QStringLiteral("cena")).toDouble();
    Edit8->setText(Shown(BasePrice));
    m_before = Record();
    m_before.id = journal->toInt(QStringLiteral("id"));
    m_before.unitPrice = UnitPrice;
    m_before.colour = journal->value(QStringLiteral("color")).toLongLong();
    // The journal may be older than the record: another workstation may have changed or deleted
    // it since. The dialog opens only on the record as it stands, and remembers its version.
    m_before.version = RowVersion::read(*m_module, QStringLiteral("accounts_dep.smena"), m_before.id,
                                        RecordStatements::sameValues(m_before));
    if (m_before.version.isEmpty()) {
        journal->reopen();
        Messages::error(QStringLiteral("Эта запись изменена или удалена на другом рабочем месте после того, как журнал был прочитан. "
                                       "Журнал прочитан заново."));
        return false;
    }
    Button3->setFocus();
    return true;
}

void TForm11::Button3Click()
{
    Messages::guard(QStringLiteral("Не удалось открыть список рабочих."), [this] { Windows::get<TForm5>()->ShowPicker(this, 1); });
}

void TForm11::TakePick(const WorkerChoice &choice)
{
    Edit1->setText(choice.fio);
    WorkerId = choice.id;
}

void TForm11::Button4Click()
{
    Messages::guard(QStringLiteral("Не удалось открыть список цен."), [this] {
        const int current = m_context.journal ? m_context.journal->toInt(QStringLiteral("o_id")) : 0;
        Windows::get<TForm4>()->ShowPicker(this, Tag, current, {m_context.dayOff, m_context.mode});
        SetColourEnabled(IsPainting());
        RecomputePrices();
    });
}

void TForm11::TakePick(const OperationPriceChoice &choice)
{
    ProductId = choice.productId;
    PriceId = choice.id;
    ProductKind = choice.naimen;
    UnitPrice = choice.unitPrice;
    BasePrice = choice.basePrice;
    Edit2->setText(choice.description);
}

void TForm11::RecomputePrices()
{
    if (Edit6->text().isEmpty())
        Edit6->setText(QStringLiteral("0"));
    if (Edit3->text().isEmpty())
        Edit3->setText(QStringLiteral("0"));
    Edit7->setText(Shown(UnitPrice));
    Edit8->setText(Shown(BasePrice));
    Edit9->setText(Shown(Edit3->text().toDouble() * UnitPrice));
}

void TForm11::Button2Click()
{
    reject();
}

void TForm11::Button1Click()
{
    bool saved = false;
    Messages::guard(QStringLiteral("Не удалось сохранить запись."), [&] { saved = Save(); });
    if (saved)
        accept();
}

ProductionRecord TForm11::Record() const
{
    // The fields hold digits only.
    ProductionRecord r;
    r.id = Tag == 2 ? m_before.id : 0;
    r.worker = WorkerId;
    r.operationPrice = PriceId;
    r.product = ProductId;
    r.unitPrice = UnitPrice;
    r.quantity = Edit3->text().trimmed().toLongLong();
    r.rejects = Edit4->text().trimmed().toLongLong();
    r.hours = Edit6->text().trimmed().toLongLong();
    r.colour = Edit5->text().trimmed().toLongLong();
    r.date = DTimeP->date();
    r.mode = m_context.mode;
    return r;
}

bool TForm11::Save()
{
    const bool filled = !Edit1->text().trimmed().isEmpty() && !Edit2->text().trimmed().isEmpty()
        && !Edit3->text().trimmed().isEmpty() && !Edit4->text().trimmed().isEmpty()
        && !(IsPainting() && Edit5->text().trimmed().isEmpty()) && !Edit6->text().trimmed().isEmpty();
    if (!filled) {
        Messages::error(QStringLiteral("Все поля должны быть заполнены!"), QStringLiteral("Ошибка"));
        return false;
    }

    // Every number goes into an int column; nothing is sent before all of them fit.
    wholeNumber(Edit3->text(), QStringLiteral("Кол-во"));
    wholeNumber(Edit4->text(), QStringLiteral("Брак"));
    wholeNumber(Edit6->text(), QStringLiteral("Время"));
    if (!Edit5->text().trimmed().isEmpty())
        wholeNumber(Edit5->text(), QStringLiteral("Цвет"));

    if (!RecordCommands::save(*m_module, Record(), Tag == 2 ? &m_before : nullptr))
        return false;

    // The journal is read again after the commit, so that it shows what the database holds.
    if (DataSet *journal = m_context.journal)
        journal->reopenKeepingRow();

    for (QLineEdit *e : {Edit1, Edit2, Edit3, Edit4, Edit5, Edit6, Edit7, Edit8, Edit9})
        e->clear();
    return true;
}
