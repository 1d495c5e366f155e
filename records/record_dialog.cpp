#include "records/record_dialog.h"

#include "db/data_module.h"
#include "ui/date_field.h"
#include "ui/messages.h"
#include "db/row_version.h"
#include "ui/windows.h"
#include "db/dataset.h"
#include "db/input_check.h"
#include "db/plant.h"
#include "records/record_statements.h"
#include "records/record_commands.h"
#include "ui/dialog_buttons.h"
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

RecordDialog::RecordDialog(DataModule *module, QWidget *parent)
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

    workerEdit = readOnlyField(group, "Edit1");
    operationEdit = readOnlyField(group, "Edit2");
    unitPriceEdit = readOnlyField(group, "Edit7");
    basePriceEdit = readOnlyField(group, "Edit8");
    amountEdit = readOnlyField(group, "Edit9");
    // Quantities, hours and colour codes are whole numbers typed as digits only.
    auto *digits = new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), this);
    auto digitField = [&](const char *name) {
        auto *e = new QLineEdit(group);
        e->setObjectName(QString::fromLatin1(name));
        e->setValidator(digits);
        return e;
    };
    quantityEdit = digitField("Edit3");
    rejectsEdit = digitField("Edit4");
    colourEdit = digitField("Edit5");
    hoursEdit = digitField("Edit6");
    dateField = new DateField(group);
    dateField->setObjectName(QStringLiteral("DTimeP"));

    workerButton = new QPushButton(QStringLiteral("..."), group);
    workerButton->setObjectName(QStringLiteral("Button3"));
    priceButton = new QPushButton(QStringLiteral("..."), group);
    priceButton->setObjectName(QStringLiteral("Button4"));
    for (QPushButton *b : {workerButton, priceButton}) {
        b->setAutoDefault(false);
        b->setFixedWidth(28);
    }

    auto label = [&](const QString &text) {
        auto *l = new QLabel(text, group);
        return l;
    };
    colourLabel = label(QStringLiteral("Цвет"));
    colourLabel->setObjectName(QStringLiteral("Label6"));

    auto *grid = new QGridLayout(group);
    grid->addWidget(label(QStringLiteral("ФИО")), 0, 0);
    grid->addWidget(workerEdit, 0, 1, 1, 4);
    grid->addWidget(workerButton, 0, 5);
    grid->addWidget(label(QStringLiteral("Операция")), 1, 0);
    grid->addWidget(operationEdit, 1, 1, 1, 4);
    grid->addWidget(priceButton, 1, 5);
    grid->addWidget(label(QStringLiteral("Кол-во")), 2, 0);
    grid->addWidget(quantityEdit, 2, 1);
    grid->addWidget(label(QStringLiteral("Брак")), 2, 2);
    grid->addWidget(rejectsEdit, 2, 3);
    grid->addWidget(label(QStringLiteral("Время")), 3, 0);
    grid->addWidget(hoursEdit, 3, 1);
    grid->addWidget(colourLabel, 3, 2);
    grid->addWidget(colourEdit, 3, 3);
    grid->addWidget(label(QStringLiteral("Дата")), 4, 0);
    grid->addWidget(dateField, 4, 1);
    grid->addWidget(label(QStringLiteral("Цена база")), 5, 0);
    grid->addWidget(basePriceEdit, 5, 1);
    grid->addWidget(label(QStringLiteral("Цена итог")), 5, 2);
    grid->addWidget(unitPriceEdit, 5, 3);
    grid->addWidget(label(QStringLiteral("Сумма")), 6, 2);
    grid->addWidget(amountEdit, 6, 3);
    grid->setColumnMinimumWidth(1, 110);
    grid->setColumnMinimumWidth(3, 110);
    for (QWidget *w : group->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly))
        w->setFont(normal);

    DialogButtons captions;
    captions.write = QStringLiteral("Запись");
    captions.failed = QStringLiteral("Не удалось сохранить запись.");
    std::tie(saveButton, cancelButton) = addWriteCancelButtons(this, group, [this] { save(); }, captions);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    setTabOrder(workerButton, priceButton);
    setTabOrder(priceButton, quantityEdit);
    setTabOrder(quantityEdit, hoursEdit);
    setTabOrder(hoursEdit, colourEdit);
    setTabOrder(colourEdit, dateField);
    setTabOrder(dateField, rejectsEdit);
    setTabOrder(rejectsEdit, saveButton);
    setTabOrder(saveButton, cancelButton);

    // The colour is asked for painting operations only.
    setColourEnabled(false);

    connect(workerButton, &QPushButton::clicked, this, [this] { pickWorker(); });
    connect(priceButton, &QPushButton::clicked, this, [this] { pickPrice(); });
    for (QWidget *w : {static_cast<QWidget *>(workerEdit), static_cast<QWidget *>(operationEdit), static_cast<QWidget *>(quantityEdit),
                       static_cast<QWidget *>(hoursEdit)})
        w->installEventFilter(this);
}

bool RecordDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonRelease) {
        if (watched == workerEdit) {
            pickWorker();
            return true;
        }
        if (watched == operationEdit) {
            pickPrice();
            return true;
        }
    }
    if (event->type() == QEvent::FocusOut && (watched == quantityEdit || watched == hoursEdit))
        recomputePrices();
    return QDialog::eventFilter(watched, event);
}

QString RecordDialog::shown(double value) const
{
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale.toString(PriceRules::roundTo4(value), 'g', 15);
}

bool RecordDialog::isPainting() const
{
    return operationEdit->text().toUpper().contains(paintingMark);
}

void RecordDialog::setColourEnabled(bool enabled)
{
    colourEdit->setEnabled(enabled);
    colourLabel->setEnabled(enabled);
    if (!enabled)
        colourEdit->clear();
}

void RecordDialog::prepareAdd(const JournalContext &context)
{
    m_context = context;
    dateField->setDate(context.date);
    workerEdit->clear();
    operationEdit->clear();
    quantityEdit->clear();
    colourEdit->clear();
    rejectsEdit->setText(QStringLiteral("0"));
    hoursEdit->setText(QStringLiteral("0"));
    setWindowTitle(QStringLiteral("Заведение новой позиции (11)"));
    openMode = 1;
    workerButton->setFocus();
}

bool RecordDialog::prepareChange(const JournalContext &context)
{
    DataSet *journal = context.journal;
    if (!journal || journal->isEmpty())
        return false;
    m_context = context;
    setWindowTitle(QStringLiteral("Изменение данных о позиции (11)"));
    openMode = 2;
    unitPrice = journal->value(QStringLiteral("cena")).toDouble();
    const double qty = journal->value(QStringLiteral("kol_vo")).toDouble();
    unitPriceEdit->setText(shown(unitPrice));
    amountEdit->setText(shown(qty * unitPrice));
    dateField->setDate(journal->value(QStringLiteral("data")).toDate());
    workerEdit->setText(journal->text(QStringLiteral("fio")).trimmed());
    const QString kind = journal->text(QStringLiteral("vid")).trimmed();
    operationEdit->setText(journal->text(QStringLiteral("marka")).trimmed() + QStringLiteral("; ") + kind + QStringLiteral("; ")
                   + Plant::productKindText(journal->toInt(QStringLiteral("naimen"))));
    quantityEdit->setText(journal->text(QStringLiteral("kol_vo")).trimmed());
    rejectsEdit->setText(journal->text(QStringLiteral("brak")).trimmed());
    workerId = journal->toInt(QStringLiteral("w_id"));
    productId = journal->value(QStringLiteral("i_id")).toLongLong();
    priceId = journal->toInt(QStringLiteral("o_id"));
    productKind = journal->toInt(QStringLiteral("naimen"));
    hoursEdit->setText(journal->text(QStringLiteral("time")).trimmed());
    const bool painting = kind.toUpper().contains(paintingMark);
    setColourEnabled(painting);
    if (painting)
        colourEdit->setText(journal->text(QStringLiteral("color")).trimmed());
    // "Цена база" shows the record's operation price as it stands now.
    basePrice = m_module->lookUp(PriceStatements::basePrice(priceId), QStringLiteral("cena")).toDouble();
    basePriceEdit->setText(shown(basePrice));
    m_before = record();
    m_before.id = journal->toInt(QStringLiteral("id"));
    m_before.unitPrice = unitPrice;
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
    workerButton->setFocus();
    return true;
}

void RecordDialog::pickWorker()
{
    Messages::guard(QStringLiteral("Не удалось открыть список рабочих."), [this] { Windows::get<WorkerList>()->showPicker(this, 1); });
}

void RecordDialog::takePick(const WorkerChoice &choice)
{
    workerEdit->setText(choice.fio);
    workerId = choice.id;
}

void RecordDialog::pickPrice()
{
    Messages::guard(QStringLiteral("Не удалось открыть список цен."), [this] {
        const int current = m_context.journal ? m_context.journal->toInt(QStringLiteral("o_id")) : 0;
        Windows::get<PriceList>()->showPicker(this, openMode, current, {m_context.dayOff, m_context.mode});
        setColourEnabled(isPainting());
        recomputePrices();
    });
}

void RecordDialog::takePick(const OperationPriceChoice &choice)
{
    productId = choice.productId;
    priceId = choice.id;
    productKind = choice.naimen;
    unitPrice = choice.unitPrice;
    basePrice = choice.basePrice;
    operationEdit->setText(choice.description);
}

void RecordDialog::recomputePrices()
{
    if (hoursEdit->text().isEmpty())
        hoursEdit->setText(QStringLiteral("0"));
    if (quantityEdit->text().isEmpty())
        quantityEdit->setText(QStringLiteral("0"));
    unitPriceEdit->setText(shown(unitPrice));
    basePriceEdit->setText(shown(basePrice));
    amountEdit->setText(shown(quantityEdit->text().toDouble() * unitPrice));
}

void RecordDialog::cancel()
{
    reject();
}

void RecordDialog::save()
{
    bool saved = false;
    Messages::guard(QStringLiteral("Не удалось сохранить запись."), [&] { saved = write(); });
    if (saved)
        accept();
}

ProductionRecord RecordDialog::record() const
{
    // The fields hold digits only.
    ProductionRecord r;
    r.id = openMode == 2 ? m_before.id : 0;
    r.worker = workerId;
    r.operationPrice = priceId;
    r.product = productId;
    r.unitPrice = unitPrice;
    r.quantity = quantityEdit->text().trimmed().toLongLong();
    r.rejects = rejectsEdit->text().trimmed().toLongLong();
    r.hours = hoursEdit->text().trimmed().toLongLong();
    r.colour = colourEdit->text().trimmed().toLongLong();
    r.date = dateField->date();
    r.mode = m_context.mode;
    return r;
}

bool RecordDialog::write()
{
    const bool filled = !workerEdit->text().trimmed().isEmpty() && !operationEdit->text().trimmed().isEmpty()
        && !quantityEdit->text().trimmed().isEmpty() && !rejectsEdit->text().trimmed().isEmpty()
        && !(isPainting() && colourEdit->text().trimmed().isEmpty()) && !hoursEdit->text().trimmed().isEmpty();
    if (!filled) {
        Messages::error(QStringLiteral("Все поля должны быть заполнены!"), QStringLiteral("Ошибка"));
        return false;
    }

    // Every number goes into an int column, and the hours into the worker's day cell as well,
    // which holds a smallint; nothing is sent before all of them fit.
    wholeNumber(quantityEdit->text(), QStringLiteral("Кол-во"));
    wholeNumber(rejectsEdit->text(), QStringLiteral("Брак"));
    wholeNumber(hoursEdit->text(), QStringLiteral("Время"), 0, ColumnRange::SmallMax);
    if (!colourEdit->text().trimmed().isEmpty())
        wholeNumber(colourEdit->text(), QStringLiteral("Цвет"));

    if (!RecordCommands::save(*m_module, record(), openMode == 2 ? &m_before : nullptr))
        return false;

    // The journal is read again after the commit, so that it shows what the database holds.
    if (DataSet *journal = m_context.journal)
        journal->reopenKeepingRow();

    for (QLineEdit *e : {workerEdit, operationEdit, quantityEdit, rejectsEdit, colourEdit, hoursEdit, unitPriceEdit, basePriceEdit, amountEdit})
        e->clear();
    return true;
}
