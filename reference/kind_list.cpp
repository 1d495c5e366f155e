#include "reference/kind_list.h"

#include "app/control_look.h"
#include "app/data_grid.h"
#include "app/data_module.h"
#include "app/messages.h"
#include "app/row_version.h"
#include "db/dataset.h"
#include "reference/kind_dialog.h"
#include "reference/kind_statements.h"

#include <QLineEdit>
#include <QPushButton>

TForm8::TForm8(TDataModule6 *module, QWidget *parent)
    : PickerListWindow(module->Vid_oper, QStringLiteral("TForm8"), QStringLiteral("Виды операций (8)"),
                       {QStringLiteral("vid")}, parent),
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
    DBGrid1->setStretchingColumns({QStringLiteral("vid")});
    fitToScreen(this, QSize(440, 480));
}

void TForm8::OpenList()
{
    m_module->Vid_oper->clearFilter();
    m_module->Vid_oper->open();
}

void TForm8::OpenPicker()
{
    m_module->Vid_oper->open();
    ShowEmptySearch();
}

void TForm8::ClosePicker()
{
    Button2->setDefault(false);
    Edit1->hide();
    m_module->Vid_oper->close();
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
        if (!kinds->isEmpty())
            Hand({kinds->toInt(QStringLiteral("id")), kinds->text(QStringLiteral("vid")).trimmed()});
        accept();
        return;
    }
    // With no kind listed there is nothing to change.
    if (kinds->isEmpty())
        return;
    Form9->setWindowTitle(QStringLiteral("Изменение данных вида операции"));
    Form9->Tag = 2;
    Form9->version = RowVersion::read(*m_module, QStringLiteral("accounts_dep.vid_oper"), kinds->toInt(QStringLiteral("id")));
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
    m_module->SQL_exec.execute(KindStatements::deletion(kinds->toInt(QStringLiteral("id"))));
    kinds->reopen();
}
