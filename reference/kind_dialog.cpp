#include "reference/kind_dialog.h"

#include "app/data_module.h"
#include "app/messages.h"
#include "app/row_version.h"
#include "app/unit_of_work.h"
#include "db/dataset.h"
#include "reference/kind_statements.h"
#include "reference/dialog_buttons.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>

#include <tuple>

TForm9::TForm9(TDataModule6 *module, QWidget *parent) : QDialog(parent), m_module(module)
{
    setObjectName(QStringLiteral("TForm9"));

    auto *group = new QGroupBox(QStringLiteral("Вид операции"), this);
    auto *form = new QFormLayout(group);
    Edit1 = new QLineEdit(group);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setMaxLength(128);
    form->addRow(QStringLiteral("Операция"), Edit1);

    std::tie(Button1, Button2) = addWriteCancelButtons(this, group, [this] { Button1Click(); });
    resize(400, sizeHint().height());
}

void TForm9::Button1Click()
{
    const QString kind = Edit1->text().trimmed();
    if (kind.isEmpty()) {
        Messages::error(QStringLiteral("Все поля должны быть заполнены!"));
        return;
    }
    DataSet *kinds = m_module->Vid_oper;
    const QString upperKind = kind.toUpper();
    const QString message = QStringLiteral("Такая операция уже заведена!");
    int written;
    UnitOfWork work(*m_module);
    work.lock(QStringLiteral("accounts_dep.vid_oper"), upperKind);
    if (Tag == 1) {
        if (m_module->CountCheck(KindStatements::duplicateCount(upperKind), message))
            return;
        // The new row's id comes from the database; it is read back to show the new kind as
        // the list's current row.
        written = m_module->LookUp(KindStatements::insert(kind), QStringLiteral("id")).toInt();
    } else {
        written = kinds->toInt(QStringLiteral("id"));
        RowVersion::checkUnchanged(*m_module, QStringLiteral("accounts_dep.vid_oper"), written, version);
        if (m_module->CountCheck(KindStatements::duplicateCountOnChange(upperKind, written), message))
            return;
        m_module->SQL_exec.execute(KindStatements::update(written, kind));
    }
    work.commit();
    kinds->reopen();
    kinds->locate(QStringLiteral("id"), written);
    accept();
}

void TForm9::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    Edit1->setFocus();
}
