#include "reference/worker_list.h"

#include "ui/control_look.h"
#include "ui/data_grid.h"
#include "db/data_module.h"
#include "ui/messages.h"
#include "db/row_version.h"
#include "db/dataset.h"
#include "reference/worker_dialog.h"
#include "reference/worker_statements.h"

#include <QLineEdit>
#include <QPushButton>

WorkerList::WorkerList(DataModule *module, QWidget *parent)
    : PickerListWindow(module->workerList, QStringLiteral("TForm5"), QStringLiteral("Список рабочих"),
                       {QStringLiteral("fio")}, parent),
      dialog(new WorkerDialog(module, this)),
      m_module(module)
{
    grid->setColumns({
        {QStringLiteral("ФИО"), QStringLiteral("fio"), 300},
        {QStringLiteral("Должность"), QStringLiteral("s_staffpos_hl"), 300},
    });
    createListButtons();
    arrange({addButton, changeButton, deleteButton, searchEdit, exitButton});
    grid->setStretchingColumns({QStringLiteral("fio"), QStringLiteral("s_staffpos_hl")});
    fitToScreen(this, QSize(660, 480));
    // In list mode the search text of the last opening and the filter it set stay in force.
}

void WorkerList::add()
{
    dialog->nameEdit->clear();
    dialog->setWindowTitle(QStringLiteral("Заведение данных нового работника"));
    dialog->openMode = 1;
    dialog->reopenLookups();
    dialog->exec();
    m_module->workerList->reopen();
}

void WorkerList::changeOrChoose()
{
    DataSet *workers = m_module->workerList;
    if (isPicker()) {
        if (!workers->isEmpty())
            hand({workers->toInt(QStringLiteral("id")), workers->text(QStringLiteral("fio")).trimmed()});
    } else {
        // With no worker listed there is nothing to change.
        if (workers->isEmpty())
            return;
        rememberRow();
        dialog->setWindowTitle(QStringLiteral("Изменение данных работника"));
        dialog->openMode = 2;
        dialog->reopenLookups();
        dialog->nameEdit->setText(workers->text(QStringLiteral("fio")).trimmed());
        dialog->id = workers->toInt(QStringLiteral("id"));
        dialog->version = RowVersion::read(*m_module, QStringLiteral("accounts_dep.person"), dialog->id);
        dialog->exec();
        workers->reopen();
        restoreRow();
    }
    accept();
}

void WorkerList::remove()
{
    DataSet *workers = m_module->workerList;
    if (workers->isEmpty())
        return;
    if (!Messages::ask(QStringLiteral("Удалить работника?"), QStringLiteral("Удаление")))
        return;
    rememberRow();
    m_module->command.execute(WorkerStatements::deletion(workers->toInt(QStringLiteral("id"))));
    workers->reopen();
    restoreRow();
}
