#include "reference/product_dialog.h"

#include "db/data_module.h"
#include "ui/messages.h"
#include "db/row_version.h"
#include "db/unit_of_work.h"
#include "db/input_check.h"
#include "db/dataset.h"
#include "reference/product_statements.h"
#include "ui/dialog_buttons.h"
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

ProductDialog::ProductDialog(DataModule *module, QWidget *parent) : QDialog(parent), m_module(module)
{
    setObjectName(QStringLiteral("TForm7"));
    setWindowTitle(QStringLiteral("Изделие"));

    auto *group = new QGroupBox(QStringLiteral("Данные об изделии"), this);
    auto *form = new QFormLayout(group);
    markEdit = new QLineEdit(group);
    markEdit->setObjectName(QStringLiteral("Edit1"));
    markEdit->setMaxLength(254);
    rateEdit = new QLineEdit(group);
    rateEdit->setObjectName(QStringLiteral("Edit2"));
    rateEdit->setValidator(new MassaValidator(rateEdit));
    rateEdit->setFixedWidth(90);
    groupList = new LookupList(module->connectionName(),
                             ProductStatements::groups(),
                             group);
    groupList->setObjectName(QStringLiteral("cb_item"));
    form->addRow(QStringLiteral("Марка"), markEdit);
    form->addRow(QStringLiteral("Расценка"), rateEdit);
    form->addRow(groupList);

    std::tie(saveButton, cancelButton) = addWriteCancelButtons(this, group, [this] { save(); });
    resize(440, sizeHint().height());
}

void ProductDialog::save()
{
    const QString mark = markEdit->text().trimmed();
    const qint64 group = groupList->keyValue();
    if (mark.isEmpty() || rateEdit->text().trimmed().isEmpty() || group == 0) {
        Messages::error(QStringLiteral("Все поля должны быть заполнены!"));
        return;
    }
    // massa is a numeric(28, 6): the number must fit before anything is sent.
    const QString massa = decimalNumber(openMode == 1 ? rateEdit->text() : m_module->replaceDelimiter(rateEdit->text()),
                                        QStringLiteral("Расценка"), 22, 6);
    const QString message = QStringLiteral("Такая марка изделия уже заведена!");
    // The duplicate check and the write are one unit under the mark's lock, so that two
    // workstations cannot both add the same mark.
    UnitOfWork work(*m_module);
    work.lock(QStringLiteral("accounts_dep.izdel"), mark.toUpper());
    if (openMode == 1) {
        if (m_module->countCheck(ProductStatements::duplicateCount(mark.toUpper()), message))
            return;
        m_module->command.execute(ProductStatements::insert(mark, SqlValue::decimal(massa), group));
    } else {
        RowVersion::checkUnchanged(*m_module, QStringLiteral("cmn_gds_and_srv.gds_and_srv"), id, version);
        if (m_module->countCheck(ProductStatements::duplicateCountOnChange(mark.toUpper(), id), message))
            return;
        m_module->command.execute(ProductStatements::update(id, mark, SqlValue::decimal(massa), group));
    }
    work.commit();
    m_module->productList->reopen();
    accept();
}

void ProductDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    markEdit->setFocus();
}
