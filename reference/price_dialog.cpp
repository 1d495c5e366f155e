#include "reference/price_dialog.h"

#include "db/data_module.h"
#include "ui/messages.h"
#include "db/row_version.h"
#include "db/unit_of_work.h"
#include "db/input_check.h"
#include "ui/windows.h"
#include "db/dataset.h"
#include "db/sql_statement.h"
#include "ui/dialog_buttons.h"
#include "reference/kind_list.h"
#include "reference/price_statements.h"
#include "reference/product_list.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QValidator>

#include <tuple>

namespace {

// A price: digits with at most one decimal point; a comma is entered as a point. Everything else
// is refused, typed or pasted, so the number can go into a statement as it stands.
class PriceValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString &input, int &) const override
    {
        input.replace(QLatin1Char(','), QLatin1Char('.'));
        int points = 0;
        int digits = 0;
        for (const QChar c : input) {
            if (c == QLatin1Char('.'))
                ++points;
            else if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
                ++digits;
            else
                return Invalid;
        }
        if (points > 1)
            return Invalid;
        return digits > 0 || input.isEmpty() ? Acceptable : Intermediate;
    }
};

// The typed price as a number for a statement; false when there is no number.
bool priceLiteral(const QString &typed, QString *literal)
{
    QString text = typed.trimmed();
    text.replace(QLatin1Char(','), QLatin1Char('.'));
    if (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    if (text.startsWith(QLatin1Char('.')))
        text.prepend(QLatin1Char('0'));
    bool ok = false;
    const double value = QLocale::c().toDouble(text, &ok);
    if (!ok || value < 0)
        return false;
    // The price column holds a double; the number is taken as typed, up to its precision.
    *literal = decimalNumber(text, QStringLiteral("min Цена"), 15, 6);
    return true;
}

} // namespace

PriceDialog::PriceDialog(DataModule *module, QWidget *parent) : QDialog(parent), m_module(module)
{
    setObjectName(QStringLiteral("TForm10"));
    setWindowTitle(QStringLiteral("Цена операции"));

    auto *group = new QGroupBox(QStringLiteral("Цена операции"), this);
    auto *grid = new QGridLayout(group);
    auto readOnly = [group](const QString &name) {
        auto *edit = new QLineEdit(group);
        edit->setObjectName(name);
        edit->setReadOnly(true);
        edit->setFocusPolicy(Qt::NoFocus);
        return edit;
    };
    auto picker = [this, group](const QString &name, const std::function<void()> &command) {
        auto *button = new QPushButton(QStringLiteral("..."), group);
        button->setObjectName(name);
        button->setAutoDefault(false);
        button->setFixedWidth(32);
        connect(button, &QPushButton::clicked, this, [command] { Messages::guard(QStringLiteral("Не удалось открыть список."), command); });
        return button;
    };
    productEdit = readOnly(QStringLiteral("Edit1"));
    productButton = picker(QStringLiteral("Button3"), [this] { pickProduct(); });
    kindEdit = readOnly(QStringLiteral("Edit2"));
    kindButton = picker(QStringLiteral("Button4"), [this] { pickKind(); });
    productKindList = new QComboBox(group);
    productKindList->setObjectName(QStringLiteral("ComboBox1"));
    productKindList->addItems({QStringLiteral("Готовая продукция"), QStringLiteral("Заготовки")});
    priceEdit = new QLineEdit(group);
    priceEdit->setObjectName(QStringLiteral("Edit3"));
    priceEdit->setValidator(new PriceValidator(priceEdit));
    priceEdit->setMaxLength(20);
    priceEdit->setFixedWidth(90);
    priceLabel = new QLabel(QStringLiteral("min Цена"), group);
    priceLabel->setObjectName(QStringLiteral("Label3"));

    grid->addWidget(new QLabel(QStringLiteral("Марка изделия"), group), 0, 0);
    grid->addWidget(productEdit, 0, 1);
    grid->addWidget(productButton, 0, 2);
    grid->addWidget(new QLabel(QStringLiteral("Операция"), group), 1, 0);
    grid->addWidget(kindEdit, 1, 1);
    grid->addWidget(kindButton, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Вид"), group), 2, 0);
    grid->addWidget(productKindList, 2, 1, Qt::AlignLeft);
    grid->addWidget(priceLabel, 3, 0);
    grid->addWidget(priceEdit, 3, 1, Qt::AlignLeft);
    grid->setColumnStretch(1, 1);

    std::tie(saveButton, cancelButton) = addWriteCancelButtons(this, group, [this] { save(); });
    cancelButton->setAutoDefault(false);
    showPriceField(false);
    resize(460, sizeHint().height());
}

void PriceDialog::showPriceField(bool shown)
{
    priceEdit->setVisible(shown);
    priceLabel->setVisible(shown);
}

void PriceDialog::pickProduct()
{
    Windows::get<ProductList>()->showPicker(this);
}

void PriceDialog::pickKind()
{
    Windows::get<KindList>()->showPicker(this);
}

void PriceDialog::takePick(const ProductChoice &choice)
{
    productEdit->setText(choice.marka);
    productId = choice.id;
}

void PriceDialog::takePick(const OperationKindChoice &choice)
{
    kindEdit->setText(choice.vid);
    kindId = choice.id;
}

void PriceDialog::save()
{
    const QString fill = QStringLiteral("Все поля должны быть заполнены!");
    if (productEdit->text().trimmed().isEmpty() || kindEdit->text().trimmed().isEmpty()) {
        Messages::error(fill);
        return;
    }
    QString price;
    if (openMode == 1 && !priceLiteral(priceEdit->text(), &price)) {
        Messages::error(fill);
        return;
    }
    const int naimen = qMax(0, productKindList->currentIndex());
    const QString message = QStringLiteral("Операция с такими параметрами уже заведена!");
    DataSet *oper = m_module->priceList;
    int written;
    // The duplicate check and the write are one unit under the key's lock; a new operation price
    // and its first norm row are one unit as well: without its norm row the price would be listed
    // nowhere, yet it would block adding it again as a duplicate.
    UnitOfWork work(*m_module);
    work.lock(QStringLiteral("accounts_dep.oper"), QStringLiteral("vid=%1 naimen=%2 i_id=%3").arg(kindId).arg(naimen).arg(productId));
    if (openMode == 1) {
        if (m_module->countCheck(PriceStatements::duplicateCount(kindId, naimen, productId), message))
            return;
        // The new id is read back for the first norm row and to show the new price as the
        // list's current row.
        written = m_module->lookUp(PriceStatements::insert(kindId, naimen, productId), QStringLiteral("id")).toInt();
        m_module->priceInsert.execute(PriceStatements::firstNorm(written, SqlValue::decimal(price)));
    } else {
        written = oper->toInt(QStringLiteral("id"));
        RowVersion::checkUnchanged(*m_module, QStringLiteral("accounts_dep.oper"), written, version);
        if (m_module->countCheck(PriceStatements::duplicateCountOnChange(kindId, naimen, productId, written), message))
            return;
        m_module->priceUpdate.execute(PriceStatements::update(written, kindId, naimen, productId));
    }
    work.commit();
    writtenId = written;
    oper->reopen();
    // The written price stays in sight, wherever its new mark, kind or product kind sorts it.
    oper->locate(QStringLiteral("id"), written);
    accept();
}

void PriceDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    productButton->setFocus();
}
