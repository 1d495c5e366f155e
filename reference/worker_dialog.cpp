#include "reference/worker_dialog.h"

#include "app/data_module.h"
#include "app/messages.h"
#include "app/row_version.h"
#include "app/unit_of_work.h"
#include "reference/worker_statements.h"
#include "reference/dialog_buttons.h"
#include "reference/lookup_list.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QWheelEvent>

#include <tuple>

TForm2::TForm2(TDataModule6 *module, QWidget *parent) : QDialog(parent), m_module(module)
{
    setObjectName(QStringLiteral("TForm2"));
    setWindowTitle(QStringLiteral("Работники"));

    auto *group = new QGroupBox(QStringLiteral("Данные о работнике"), this);
    auto *form = new QFormLayout(group);
    Edit1 = new QLineEdit(group);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setMaxLength(254);
    auto lookup = [&](const char *name, const QString &statement) {
        auto *list = new LookupList(module->connectionName(), statement, group);
        list->setObjectName(QString::fromLatin1(name));
        return list;
    };
    LCB_department = lookup("LCB_department", WorkerStatements::departments());
    LCB_staffpos = lookup("LCB_staffpos", WorkerStatements::staffPositions());
    LCB_roles = lookup("LCB_roles", WorkerStatements::roles());
    form->addRow(QStringLiteral("ФИО"), Edit1);
    form->addRow(QStringLiteral("Подразделение"), LCB_department);
    form->addRow(QStringLiteral("Должность"), LCB_staffpos);
    form->addRow(QStringLiteral("Роль"), LCB_roles);

    std::tie(Button1, Button2) = addWriteCancelButtons(this, group, [this] { Button1Click(); });
    resize(460, sizeHint().height());

    // The wheel moves the choice of whichever look-up list has the focus, wherever the mouse is.
    installEventFilter(this);
    for (QWidget *w : findChildren<QWidget *>())
        w->installEventFilter(this);
}

void TForm2::ReopenLookups()
{
    LCB_department->reopen();
    LCB_staffpos->reopen();
    LCB_roles->reopen();
}

void TForm2::Button1Click()
{
    const QString fio = Edit1->text().trimmed();
    if (fio.isEmpty()) {
        Messages::error(QStringLiteral("ФИО нужно заполнить!"));
        return;
    }
    const QString department = LCB_department->captionText();
    UnitOfWork work(*m_module);
    if (Tag == 2)
        RowVersion::checkUnchanged(*m_module, QStringLiteral("accounts_dep.person"), id, version);
    m_module->SQL_exec.execute(Tag == 1 ? WorkerStatements::insert(fio, department)
                                        : WorkerStatements::update(id, fio, department));
    work.commit();
    accept();
}

void TForm2::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    Edit1->setFocus();
}

bool TForm2::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Wheel) {
        LookupList *lists[3] = {LCB_department, LCB_staffpos, LCB_roles};
        for (LookupList *list : lists) {
            if (focusWidget() == list) {
                const int delta = static_cast<QWheelEvent *>(event)->angleDelta().y();
                if (delta != 0)
                    list->step(delta < 0 ? 1 : -1);
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}
