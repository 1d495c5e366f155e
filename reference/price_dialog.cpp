#include "reference/price_dialog.h"

#include "app/data_module.h"
#include "app/messages.h"
#include "app/row_version.h"
#include "app/unit_of_work.h"
#include "db/input_check.h"
#include "app/windows.h"
#include "db/dataset.h"
#include "db/sql_statement.h"
#include "reference/dialog_buttons.h"
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

TForm10::TForm10(TDataModule6 *module, QWidget *parent) : QDialog(parent), m_module(module)
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
    Edit1 = readOnly(QStringLiteral("Edit1"));
    Button3 = picker(QStringLiteral("Button3"), [this] { Button3Click(); });
    Edit2 = readOnly(QStringLiteral("Edit2"));
    Button4 = picker(QStringLiteral("Button4"), [this] { Button4Click(); });
    ComboBox1 = new QComboBox(group);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->addItems({QStringLiteral("Готовая продукция"), QStringLiteral("Заготовки")});
    Edit3 = new QLineEdit(group);
    Edit3->setObjectName(QStringLiteral("Edit3"));
    Edit3->setValidator(new PriceValidator(Edit3));
    Edit3->setMaxLength(20);
    Edit3->setFixedWidth(90);
    Label3 = new QLabel(QStringLiteral("min Цена"), group);
    Label3->setObjectName(QStringLiteral("Label3"));

    grid->addWidget(new QLabel(QStringLiteral("Марка изделия"), group), 0, 0);
    grid->addWidget(Edit1, 0, 1);
    grid->addWidget(Button3, 0, 2);
    grid->addWidget(new QLabel(QStringLiteral("Операция"), group), 1, 0);
    grid->addWidget(Edit2, 1, 1);
    grid->addWidget(Button4, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Вид"), group), 2, 0);
    grid->addWidget(ComboBox1, 2, 1, Qt::AlignLeft);
    grid->addWidget(Label3, 3, 0);
    grid->addWidget(Edit3, 3, 1, Qt::AlignLeft);
    grid->setColumnStretch(1, 1);

    std::tie(Button1, Button2) = addWriteCancelButtons(this, group, [this] { Button1Click(); });
    Button2->setAutoDefault(false);
    ShowPriceField(false);
    resize(460, sizeHint().height());
}

void TForm10::ShowPriceField(bool shown)
{
    Edit3->setVisible(shown);
    Label3->setVisible(shown);
}

void TForm10::Button3Click()
{
    Windows::get<TForm3>()->ShowPicker(this);
}

void TForm10::Button4Click()
{
    Windows::get<TForm8>()->ShowPicker(this);
}

void TForm10::TakePick(const ProductChoice &choice)
{
    Edit1->setText(choice.marka);
    ProductId = choice.id;
}

void TForm10::TakePick(const OperationKindChoice &choice)
{
    Edit2->setText(choice.vid);
    KindId = choice.id;
}

void TForm10::Button1Click()
{
    const QString fill = QStringLiteral("Все поля должны быть заполнены!");
    if (Edit1->text().trimmed().isEmpty() || Edit2->text().trimmed().isEmpty()) {
        Messages::error(fill);
        return;
    }
    QString price;
    if (Tag == 1 && !priceLiteral(Edit3->text(), &price)) {
        Messages::error(fill);
        return;
    }
    const int naimen = qMax(0, ComboBox1->currentIndex());
    const QString message = QStringLiteral("Операция с такими параметрами уже заведена!");
    DataSet *oper = m_module->Oper;
    int written;
    // The duplicate check and the write are one unit under the key's lock; a new operation price
    // and its first norm row are one unit as well: without its norm row the price would be listed
    // nowhere, yet it would block adding it again as a duplicate.
    UnitOfWork work(*m_module);
    work.lock(QStringLiteral("accounts_dep.oper"), QStringLiteral("vid=%1 naimen=%2 i_id=%3").arg(KindId).arg(naimen).arg(ProductId));
    if (Tag == 1) {
        if (m_module->CountCheck(PriceStatements::duplicateCount(KindId, naimen, ProductId), message))
            return;
        // The new id is read back for the first norm row and to show the new price as the
        // list's current row.
        written = m_module->LookUp(PriceStatements::insert(KindId, naimen, ProductId), QStringLiteral("id")).toInt();
        m_module->Oper_ins.execute(PriceStatements::firstNorm(written, SqlValue::decimal(price)));
    } else {
        written = oper->toInt(QStringLiteral("id"));
        RowVersion::checkUnchanged(*m_module, QStringLiteral("accounts_dep.oper"), written, Version);
        if (m_module->CountCheck(PriceStatements::duplicateCountOnChange(KindId, naimen, ProductId, written), message))
            return;
        m_module->Oper_ed.execute(PriceStatements::update(written, KindId, naimen, ProductId));
    }
    work.commit();
    WrittenId = written;
    oper->reopen();
    // The written price stays in sight, wherever its new mark, kind or product kind sorts it.
    oper->locate(QStringLiteral("id"), written);
    accept();
}

void TForm10::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    Button3->setFocus();
}
