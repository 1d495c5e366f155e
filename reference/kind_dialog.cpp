#include "reference/kind_dialog.h"

#include "db/data_module.h"
#include "ui/messages.h"
#include "db/row_version.h"
#include "db/unit_of_work.h"
#include "db/dataset.h"
#include "reference/kind_statements.h"
#include "ui/dialog_buttons.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>

#include <tuple>

KindDialog::KindDialog(DataModule *module, QWidget *parent) : QDialog(parent), m_module(module)
{
    setObjectName(QStringLiteral("TForm9"));

    auto *group = new QGroupBox(QStringLiteral("Вид операции"), this);
    auto *form = new QFormLayout(group);
    nameEdit = new QLineEdit(group);
    nameEdit->setObjectName(QStringLiteral("Edit1"));
    nameEdit->setMaxLength(128);
    form->addRow(QStringLiteral("Операция"), nameEdit);

    std::tie(saveButton, cancelButton) = addWriteCancelButtons(this, group, [this] { save(); });
    resize(400, sizeHint().height());
}

void KindDialog::save()
{
    const QString kind = nameEdit->text().trimmed();
    if (kind.isEmpty()) {
        Messages::error(QStringLiteral("Все поля должны быть заполнены!"));
        return;
    }
    DataSet *kinds = m_module->kindList;
    const QString upperKind = kind.toUpper();
    const QString message = QStringLiteral("Такая операция уже заведена!");
    int written;
    UnitOfWork work(*m_module);
    work.lock(QStringLiteral("accounts_dep.vid_oper"), upperKind);
    if (openMode == 1) {
        if (m_module->countCheck(KindStatements::duplicateCount(upperKind), message))
            return;
        // The new row's id comes from the database; it is read back to show the new kind as
        // the list's current row.
        written = m_module->lookUp(KindStatements::insert(kind), QStringLiteral("id")).toInt();
    } else {
        written = kinds->toInt(QStringLiteral("id"));
        RowVersion::checkUnchanged(*m_module, QStringLiteral("accounts_dep.vid_oper"), written, version);
        if (m_module->countCheck(KindStatements::duplicateCountOnChange(upperKind, written), message))
            return;
        m_module->command.execute(KindStatements::update(written, kind));
    }
    work.commit();
    kinds->reopen();
    kinds->locate(QStringLiteral("id"), written);
    accept();
}

void KindDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    nameEdit->setFocus();
}
