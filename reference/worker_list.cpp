#include "reference/worker_list.h"

#include "app/data_grid.h"
#include "app/data_module.h"
#include "app/main_window.h"
#include "app/messages.h"
#include "db/dataset.h"
#include "reference/worker_dialog.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

TForm5::TForm5(TDataModule6 *module, QWidget *parent)
    : ListWindow(module->Workers, QStringLiteral("TForm5"), QStringLiteral("Список рабочих"), parent),
      Form2(new TForm2(module, this)),
      m_module(module)
{
    DBGrid1->setColumns({
        {QStringLiteral("ФИО"), QStringLiteral("fio"), 300},
        {QStringLiteral("Должность"), QStringLiteral("s_staffpos_hl"), 300},
    });
    CreateListButtons();
    Arrange({Button1, Button2, Button3, Edit1, Button4});
    resize(660, 480);
}

TForm5 *TForm5::instance()
{
    static QPointer<TForm5> form;
    if (!form)
        form = new TForm5(DataModule6, Form1);
    return form;
}

void TForm5::PrepareList()
{
    Tag = 0;
    m_receiver = nullptr;
    m_module->Workers->open();
    SetPickerLook(false);
    // The search text of the last opening and the filter it set stay in force.
}

void TForm5::PreparePicker(int mode, PickReceiver<WorkerChoice> *receiver)
{
    Tag = mode;
    m_receiver = receiver;
    m_module->Workers->open();
    SetPickerLook(true);
    Edit1->show();
    Edit1->clear();
}

void TForm5::Finish()
{
    m_module->Workers->close();
    m_receiver = nullptr;
}

void TForm5::ShowList()
{
    PrepareList();
    exec();
    Finish();
}

void TForm5::ShowPicker(int mode, PickReceiver<WorkerChoice> *receiver)
{
    PreparePicker(mode, receiver);
    exec();
    Finish();
}

void TForm5::Edit1Change()
{
    FilterBy(QStringLiteral("fio"), Edit1->text());
}

bool TForm5::Edit1KeyDown(QKeyEvent *event)
{
    // Up and Down move the list; after them every key that types nothing is swallowed, so the
    // cursor keys, Home, End and Delete do nothing in the box.
    MoveByArrow(event);
    return event->key() == Qt::Key_Up || event->key() == Qt::Key_Down || TypesNothing(event);
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
        if (!workers->isEmpty() && m_receiver)
            m_receiver->TakePick({workers->toInt(QStringLiteral("id")), workers->text(QStringLiteral("fio")).trimmed()});
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
    m_module->SQL_exec.execute(QStringLiteral("delete from accounts_dep.person where id =%1")
                                   .arg(workers->toInt(QStringLiteral("id"))));
    workers->reopen();
    RestoreRow();
}
