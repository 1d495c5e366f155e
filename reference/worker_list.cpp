#include "reference/worker_list.h"

#include "app/control_look.h"
#include "app/data_grid.h"
#include "app/data_module.h"
#include "app/messages.h"
#include "app/row_version.h"
#include "db/dataset.h"
#include "reference/worker_dialog.h"
#include "reference/worker_statements.h"

#include <QLineEdit>
#include <QPushButton>

TForm5::TForm5(TDataModule6 *module, QWidget *parent)
    : PickerListWindow(module->Workers, QStringLiteral("TForm5"), QStringLiteral("Список рабочих"),
                       {QStringLiteral("fio")}, parent),
      Form2(new TForm2(module, this)),
      m_module(module)
{
    DBGrid1->setColumns({
        {QStringLiteral("ФИО"), QStringLiteral("fio"), 300},
        {QStringLiteral("Должность"), QStringLiteral("s_staffpos_hl"), 300},
    });
    CreateListButtons();
    Arrange({Button1, Button2, Button3, Edit1, Button4});
    DBGrid1->setStretchingColumns({QStringLiteral("fio"), QStringLiteral("s_staffpos_hl")});
    fitToScreen(this, QSize(660, 480));
    // In list mode the search text of the last opening and the filter it set stay in force.
}

void TForm5::Button1Click()
{
    Form2->Edit1->clear();
    Form2->setWindowTitle(QStringLiteral("Заведение данных нового работника"));
    Form2->Tag = 1;
    Form2->ReopenLookups();
    Form2->exec();
    m_module->Workers->reopen();
}

void TForm5::Button2Click()
{
    DataSet *workers = m_module->Workers;
    if (IsPicker()) {
        if (!workers->isEmpty())
            Hand({workers->toInt(QStringLiteral("id")), workers->text(QStringLiteral("fio")).trimmed()});
    } else {
        // With no worker listed there is nothing to change.
        if (workers->isEmpty())
            return;
        RememberRow();
        Form2->setWindowTitle(QStringLiteral("Изменение данных работника"));
        Form2->Tag = 2;
        Form2->ReopenLookups();
        Form2->Edit1->setText(workers->text(QStringLiteral("fio")).trimmed());
        Form2->id = workers->toInt(QStringLiteral("id"));
        Form2->version = RowVersion::read(*m_module, QStringLiteral("accounts_dep.person"), Form2->id);
        Form2->exec();
        workers->reopen();
        RestoreRow();
    }
    accept();
}

void TForm5::Button3Click()
{
    DataSet *workers = m_module->Workers;
    if (workers->isEmpty())
        return;
    if (!Messages::ask(QStringLiteral("Удалить работника?"), QStringLiteral("Удаление")))
        return;
    RememberRow();
    m_module->SQL_exec.execute(WorkerStatements::deletion(workers->toInt(QStringLiteral("id"))));
    workers->reopen();
    RestoreRow();
}
