#include "reference/worker_dialog.h"

#include "db/data_module.h"
#include "ui/messages.h"
#include "db/row_version.h"
#include "db/unit_of_work.h"
#include "reference/worker_statements.h"
#include "ui/dialog_buttons.h"
#include "reference/lookup_list.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QWheelEvent>

#include <tuple>

WorkerDialog::WorkerDialog(DataModule *module, QWidget *parent) : QDialog(parent), m_module(module)
{
    setObjectName(QStringLiteral("TForm2"));
    setWindowTitle(QStringLiteral("Работники"));

    auto *group = new QGroupBox(QStringLiteral("Данные о работнике"), this);
    auto *form = new QFormLayout(group);
    nameEdit = new QLineEdit(group);
    nameEdit->setObjectName(QStringLiteral("Edit1"));
    nameEdit->setMaxLength(254);
    auto lookup = [&](const char *name, const QString &statement) {
        auto *list = new LookupList(module->connectionName(), statement, group);
        list->setObjectName(QString::fromLatin1(name));
        return list;
    };
    departmentList = lookup("LCB_department", WorkerStatements::departments());
    positionList = lookup("LCB_staffpos", WorkerStatements::staffPositions());
    roleList = lookup("LCB_roles", WorkerStatements::roles());
    form->addRow(QStringLiteral("ФИО"), nameEdit);
    form->addRow(QStringLiteral("Подразделение"), departmentList);
    form->addRow(QStringLiteral("Должность"), positionList);
    form->addRow(QStringLiteral("Роль"), roleList);

    std::tie(saveButton, cancelButton) = addWriteCancelButtons(this, group, [this] { save(); });
    resize(460, sizeHint().height());

    // The wheel moves the choice of whichever look-up list has the focus, wherever the mouse is.
    installEventFilter(this);
    for (QWidget *w : findChildren<QWidget *>())
        w->installEventFilter(this);
}

void WorkerDialog::reopenLookups()
{
    departmentList->reopen();
    positionList->reopen();
    roleList->reopen();
}

void WorkerDialog::save()
{
    const QString fio = nameEdit->text().trimmed();
    if (fio.isEmpty()) {
        Messages::error(QStringLiteral("ФИО нужно заполнить!"));
        return;
    }
    const QString department = departmentList->captionText();
    UnitOfWork work(*m_module);
    if (openMode == 2)
        RowVersion::checkUnchanged(*m_module, QStringLiteral("accounts_dep.person"), id, version);
    m_module->command.execute(openMode == 1 ? WorkerStatements::insert(fio, department)
                                        : WorkerStatements::update(id, fio, department));
    work.commit();
    accept();
}

void WorkerDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    nameEdit->setFocus();
}

bool WorkerDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Wheel) {
        LookupList *lists[3] = {departmentList, positionList, roleList};
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
