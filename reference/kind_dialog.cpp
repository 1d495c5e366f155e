#include "reference/kind_dialog.h"

#include "app/data_module.h"
#include "app/messages.h"
#include "db/dataset.h"
#include "db/sql_text.h"
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
    const QString upperKind = sqlText(kind.toUpper());
    const QString message = QStringLiteral("Такая операция уже заведена!");
    int written;
    if (Tag == 1) {
        if (m_module->CountCheck(QStringLiteral("select count(*) as cnt from accounts_dep.vid_oper where upper(vid)='%1'")
                                     .arg(upperKind),
                                 message))
            return;
        // The new row's id comes from the database; it is read back to show the new kind as
        // the list's current row.
        written = m_module->LookUp(QStringLiteral("insert into accounts_dep.vid_oper(vid) values('%1') returning id")
                                       .arg(sqlText(kind)),
                                   QStringLiteral("id")).toInt();
    } else {
        written = kinds->toInt(QStringLiteral("id"));
        if (m_module->CountCheck(QStringLiteral("select count(*) as cnt from accounts_dep.vid_oper where upper(vid)='%1' and id<>%2")
                                     .arg(upperKind, QString::number(written)),
                                 message))
            return;
        m_module->SQL_exec.execute(QStringLiteral("update accounts_dep.vid_oper set vid='%1' where id=%2")
                                       .arg(sqlText(kind), QString::number(written)));
    }
    kinds->reopen();
    kinds->locate(QStringLiteral("id"), written);
    accept();
}

void TForm9::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    Edit1->setFocus();
}
