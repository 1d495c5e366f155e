#include "reference/kind_list.h"

#include "ui/control_look.h"
#include "ui/data_grid.h"
#include "db/data_module.h"
#include "ui/messages.h"
#include "db/row_version.h"
#include "db/dataset.h"
#include "reference/kind_dialog.h"
#include "reference/kind_statements.h"

#include <QLineEdit>
#include <QPushButton>

KindList::KindList(DataModule *module, QWidget *parent)
    : PickerListWindow(module->kindList, QStringLiteral("TForm8"), QStringLiteral("Виды операций (8)"),
                       {QStringLiteral("vid")}, parent),
      dialog(new KindDialog(module, this)),
      m_module(module)
{
    grid->setColumns({
        {QStringLiteral("Операции"), QStringLiteral("vid"), 309},
    });
    createListButtons();
    arrange({addButton, changeButton, deleteButton, searchEdit, nullptr, exitButton});
    // The search box belongs to the picker only.
    searchEdit->hide();
    grid->setStretchingColumns({QStringLiteral("vid")});
    fitToScreen(this, QSize(440, 480));
}

void KindList::openList()
{
    m_module->kindList->clearFilter();
    m_module->kindList->open();
}

void KindList::openPicker()
{
    m_module->kindList->open();
    showEmptySearch();
}

void KindList::closePicker()
{
    changeButton->setDefault(false);
    searchEdit->hide();
    m_module->kindList->close();
}

void KindList::add()
{
    dialog->nameEdit->clear();
    dialog->setWindowTitle(QStringLiteral("Заведение нового вида операций"));
    dialog->openMode = 1;
    dialog->exec();
}

void KindList::changeOrChoose()
{
    DataSet *kinds = m_module->kindList;
    if (isPicker()) {
        if (!kinds->isEmpty())
            hand({kinds->toInt(QStringLiteral("id")), kinds->text(QStringLiteral("vid")).trimmed()});
        accept();
        return;
    }
    // With no kind listed there is nothing to change.
    if (kinds->isEmpty())
        return;
    dialog->setWindowTitle(QStringLiteral("Изменение данных вида операции"));
    dialog->openMode = 2;
    dialog->version = RowVersion::read(*m_module, QStringLiteral("accounts_dep.vid_oper"), kinds->toInt(QStringLiteral("id")));
    dialog->nameEdit->setText(kinds->text(QStringLiteral("vid")).trimmed());
    dialog->exec();
}

void KindList::remove()
{
    DataSet *kinds = m_module->kindList;
    if (kinds->isEmpty())
        return;
    if (!Messages::ask(QStringLiteral("Удалить вид операции?"), QStringLiteral("Удаление")))
        return;
    m_module->command.execute(KindStatements::deletion(kinds->toInt(QStringLiteral("id"))));
    kinds->reopen();
}
