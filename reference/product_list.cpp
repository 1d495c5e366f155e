#include "reference/product_list.h"

#include "app/control_look.h"
#include "app/data_grid.h"
#include "app/data_module.h"
#include "app/row_version.h"
#include "db/dataset.h"
#include "db/decimal_text.h"
#include "reference/lookup_list.h"
#include "reference/product_deletion.h"
#include "reference/product_dialog.h"

#include <QLineEdit>
#include <QPushButton>

TForm3::TForm3(TDataModule6 *module, QWidget *parent)
    : PickerListWindow(module->Izdel, QStringLiteral("TForm3"), QStringLiteral("Изделия (3)"),
                       {QStringLiteral("marka"), Match::Prefix, SearchKeys::ArrowsOnly}, parent),
      Form7(new TForm7(module, this)),
      m_module(module)
{
    DBGrid1->setColumns({
        {QStringLiteral("Марка изделия"), QStringLiteral("marka"), 315},
        {QStringLiteral("Номенклатурная группа"), QStringLiteral("nom"), 162},
        {QStringLiteral("Коробки"), QStringLiteral("massa"), 67, Qt::AlignLeft},
    });
    CreateListButtons();
    // The search box spans the window above the buttons.
    Arrange({Button1, Button2, Button3, nullptr, Button4}, Edit1);
    DBGrid1->setStretchingColumns({QStringLiteral("marka"), QStringLiteral("nom")});
    fitToScreen(this, QSize(600, 480));
}

void TForm3::ClosePicker()
{
    Button2->setDefault(false);
    // The search box is hidden from now on; its text goes too, or the list opened from the menu
    // would stay narrowed by a search the user can no longer see or change. List mode leaves the
    // box as the last opening left it: shown until the first pick of the run.
    Edit1->clear();
    Edit1->hide();
    m_module->Izdel->close();
}

void TForm3::Button1Click()
{
    RememberRow();
    Form7->Edit1->clear();
    Form7->Edit2->clear();
    Form7->setWindowTitle(QStringLiteral("Заведение нового изделия (7)"));
    Form7->Tag = 1;
    // The group list keeps the group last chosen or shown in the dialog.
    Form7->cb_item->open();
    Form7->exec();
    Form7->cb_item->close();
    RestoreRow();
}

void TForm3::Button2Click()
{
    DataSet *izdel = m_module->Izdel;
    RememberRow();
    if (IsPicker()) {
        if (!izdel->isEmpty())
            Hand({izdel->value(QStringLiteral("id")).toLongLong(), izdel->text(QStringLiteral("marka")).trimmed()});
        accept();
    } else {
        // With no product listed there is nothing to change.
        if (izdel->isEmpty())
            return;
        Form7->setWindowTitle(QStringLiteral("Изменение данных изделия (7)"));
        Form7->Tag = 2;
        Form7->id = izdel->value(QStringLiteral("id")).toLongLong();
        Form7->version = RowVersion::read(*m_module, QStringLiteral("cmn_gds_and_srv.gds_and_srv"), Form7->id);
        Form7->Edit1->setText(izdel->text(QStringLiteral("marka")).trimmed());
        Form7->Edit2->setText(trimmedDecimal(izdel->text(QStringLiteral("massa"))));
        Form7->cb_item->open();
        Form7->cb_item->setKeyValue(izdel->value(QStringLiteral("id_class_item")).toLongLong());
        Form7->exec();
    }
    Form7->cb_item->close();
    RestoreRow();
}

void TForm3::Button3Click()
{
    DataSet *izdel = m_module->Izdel;
    if (izdel->isEmpty())
        return;
    ProductDeletion(*m_module, izdel->value(QStringLiteral("id")).toLongLong()).run();
    izdel->reopen();
}
