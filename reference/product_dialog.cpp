#include "reference/product_dialog.h"

#include "app/data_module.h"
#include "app/messages.h"
#include "app/row_version.h"
#include "app/unit_of_work.h"
#include "db/input_check.h"
#include "db/dataset.h"
#include "reference/product_statements.h"
#include "reference/dialog_buttons.h"
#include "reference/lookup_list.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QValidator>

#include <tuple>

namespace {

// "Расценка" takes digits and a decimal point; a comma is entered as a point. Everything else is
// refused, typed or pasted, so the number can go into a statement as it stands.
class MassaValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString &input, int &) const override
    {
        input.replace(QLatin1Char(','), QLatin1Char('.'));
        for (const QChar c : input)
            if (!(c >= QLatin1Char('0') && c <= QLatin1Char('9')) && c != QLatin1Char('.'))
                return Invalid;
        return Acceptable;
    }
};

} // namespace

TForm7::TForm7(TDataModule6 *module, QWidget *parent) : QDialog(parent), m_module(module)
{
    setObjectName(QStringLiteral("TForm7"));
    setWindowTitle(QStringLiteral("Изделие"));

    auto *group = new QGroupBox(QStringLiteral("Данные об изделии"), this);
    auto *form = new QFormLayout(group);
    Edit1 = new QLineEdit(group);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setMaxLength(254);
    Edit2 = new QLineEdit(group);
    Edit2->setObjectName(QStringLiteral("Edit2"));
    Edit2->setValidator(new MassaValidator(Edit2));
    Edit2->setFixedWidth(90);
    cb_item = new LookupList(module->connectionName(),
                             ProductStatements::groups(),
                             group);
    cb_item->setObjectName(QStringLiteral("cb_item"));
    form->addRow(QStringLiteral("Марка"), Edit1);
    form->addRow(QStringLiteral("Расценка"), Edit2);
    form->addRow(cb_item);

    std::tie(Button1, Button2) = addWriteCancelButtons(this, group, [this] { Button1Click(); });
    resize(440, sizeHint().height());
}

void TForm7::Button1Click()
{
    const QString mark = Edit1->text().trimmed();
    const qint64 group = cb_item->keyValue();
    if (mark.isEmpty() || Edit2->text().trimmed().isEmpty() || group == 0) {
        Messages::error(QStringLiteral("Все поля должны быть заполнены!"));
        return;
    }
    // massa is a numeric(28, 6): the number must fit before anything is sent.
    const QString massa = decimalNumber(Tag == 1 ? Edit2->text() : m_module->ReplaceDelimiter(Edit2->text()),
                                        QStringLiteral("Расценка"), 22, 6);
    const QString message = QStringLiteral("Такая марка изделия уже заведена!");
    // The duplicate check and the write are one unit under the mark's lock, so that two
    // workstations cannot both add the same mark.
    UnitOfWork work(*m_module);
    work.lock(QStringLiteral("accounts_dep.izdel"), mark.toUpper());
    if (Tag == 1) {
        if (m_module->CountCheck(ProductStatements::duplicateCount(mark.toUpper()), message))
            return;
        m_module->SQL_exec.execute(ProductStatements::insert(mark, SqlValue::decimal(massa), group));
    } else {
        RowVersion::checkUnchanged(*m_module, QStringLiteral("cmn_gds_and_srv.gds_and_srv"), id, version);
        if (m_module->CountCheck(ProductStatements::duplicateCountOnChange(mark.toUpper(), id), message))
            return;
        m_module->SQL_exec.execute(ProductStatements::update(id, mark, SqlValue::decimal(massa), group));
    }
    work.commit();
    m_module->Izdel->reopen();
    accept();
}

void TForm7::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    Edit1->setFocus();
}
