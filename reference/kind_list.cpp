#include "reference/kind_list.h"

#include "app/data_grid.h"
#include "app/data_module.h"
#include "app/main_window.h"
#include "app/messages.h"
#include "db/dataset.h"
#include "reference/kind_dialog.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

TForm8::TForm8(TDataModule6 *module, QWidget *parent)
    : ListWindow(module->Vid_oper, QStringLiteral("TForm8"), QStringLiteral("Виды операций (8)"), parent),
      Form9(new TForm9(module, this)),
      m_module(module)
{
    DBGrid1->setColumns({
        {QStringLiteral("Операции"), QStringLiteral("vid"), 309},
    });
    CreateListButtons();
    Arrange({Button1, Button2, Button3, Edit1, nullptr, Button4});
    // The search box belongs to the picker only.
    Edit1->hide();
    resize(440, 480);
}

TForm8 *TForm8::instance()
{
    static QPointer<TForm8> form;
    if (!form)
        form = new TForm8(DataModule6, Form1);
    return form;
}

void TForm8::PrepareList()
{
    Tag = 0;
    m_receiver = nullptr;
    m_module->Vid_oper->clearFilter();
    m_module->Vid_oper->open();
    SetPickerLook(false);
}

void TForm8::PreparePicker(PickReceiver<OperationKindChoice> *receiver)
{
    Tag = 1;
    m_receiver = receiver;
    m_module->Vid_oper->open();
    SetPickerLook(true);
    Edit1->show();
    Edit1->clear();
}

void TForm8::FinishList()
{
    m_module->Vid_oper->close();
}

void TForm8::FinishPicker()
{
    Button2->setDefault(false);
    Edit1->hide();
    m_module->Vid_oper->close();
    m_receiver = nullptr;
}

void TForm8::ShowList()
{
    PrepareList();
    exec();
    FinishList();
}

void TForm8::ShowPicker(PickReceiver<OperationKindChoice> *receiver)
{
    PreparePicker(receiver);
    exec();
    FinishPicker();
}

void TForm8::Edit1Change()
{
    FilterBy(QStringLiteral("vid"), Edit1->text());
}

bool TForm8::Edit1KeyDown(QKeyEvent *event)
{
    // Up and Down move the list; after them every key that types nothing is swallowed.
    MoveByArrow(event);
    return event->key() == Qt::Key_Up || event->key() == Qt::Key_Down || TypesNothing(event);
}

void TForm8::Button1Click()
{
    Form9->Edit1->clear();
    Form9->setWindowTitle(QStringLiteral("Заведение нового вида операций"));
    Form9->Tag = 1;
    Form9->exec();
}

void TForm8::Button2Click()
{
    DataSet *kinds = m_module->Vid_oper;
    if (IsPicker()) {
        if (!kinds->isEmpty() && m_receiver)
            m_receiver->TakePick({kinds->toInt(QStringLiteral("id")), kinds->text(QStringLiteral("vid")).trimmed()});
        accept();
        return;
    }
    // With no kind listed there is nothing to change.
    if (kinds->isEmpty())
        return;
    Form9->setWindowTitle(QStringLiteral("Изменение данных вида операции"));
    Form9->Tag = 2;
    Form9->Edit1->setText(kinds->text(QStringLiteral("vid")).trimmed());
    Form9->exec();
}

void TForm8::Button3Click()
{
    DataSet *kinds = m_module->Vid_oper;
    if (kinds->isEmpty())
        return;
    if (!Messages::ask(QStringLiteral("Удалить вид операции?"), QStringLiteral("Удаление")))
        return;
    m_module->SQL_exec.execute(QStringLiteral("delete from accounts_dep.vid_oper where id=%1")
                                   .arg(kinds->toInt(QStringLiteral("id"))));
    kinds->reopen();
}
