#include "reference/product_list.h"

#include "ui/control_look.h"
#include "ui/data_grid.h"
#include "db/data_module.h"
#include "db/row_version.h"
#include "db/dataset.h"
#include "db/decimal_text.h"
#include "reference/lookup_list.h"
#include "reference/product_deletion.h"
#include "reference/product_dialog.h"

#include <QLineEdit>
#include <QPushButton>

ProductList::ProductList(DataModule *module, QWidget *parent)
    : PickerListWindow(module->productList, QStringLiteral("TForm3"), QStringLiteral("Изделия (3)"),
                       {QStringLiteral("marka"), Match::Prefix, SearchKeys::ArrowsOnly}, parent),
      dialog(new ProductDialog(module, this)),
      m_module(module)
{
    grid->setColumns({
        {QStringLiteral("Марка изделия"), QStringLiteral("marka"), 315},
        {QStringLiteral("Номенклатурная группа"), QStringLiteral("nom"), 162},
        {QStringLiteral("Коробки"), QStringLiteral("massa"), 67, Qt::AlignLeft},
    });
    createListButtons();
    // The search box spans the window above the buttons.
    arrange({addButton, changeButton, deleteButton, nullptr, exitButton}, searchEdit);
    grid->setStretchingColumns({QStringLiteral("marka"), QStringLiteral("nom")});
    fitToScreen(this, QSize(600, 480));
}

void ProductList::closePicker()
{
    changeButton->setDefault(false);
    // The search box is hidden from now on; its text goes too, or the list opened from the menu
    // would stay narrowed by a search the user can no longer see or change. List mode leaves the
    // box as the last opening left it: shown until the first pick of the run.
    searchEdit->clear();
    searchEdit->hide();
    m_module->productList->close();
}

void ProductList::add()
{
    rememberRow();
    dialog->markEdit->clear();
    dialog->rateEdit->clear();
    dialog->setWindowTitle(QStringLiteral("Заведение нового изделия (7)"));
    dialog->openMode = 1;
    // The group list keeps the group last chosen or shown in the dialog.
    dialog->groupList->open();
    dialog->exec();
    dialog->groupList->close();
    restoreRow();
}

void ProductList::changeOrChoose()
{
    DataSet *izdel = m_module->productList;
    rememberRow();
    if (isPicker()) {
        if (!izdel->isEmpty())
            hand({izdel->value(QStringLiteral("id")).toLongLong(), izdel->text(QStringLiteral("marka")).trimmed()});
        accept();
    } else {
        // With no product listed there is nothing to change.
        if (izdel->isEmpty())
            return;
        dialog->setWindowTitle(QStringLiteral("Изменение данных изделия (7)"));
        dialog->openMode = 2;
        dialog->id = izdel->value(QStringLiteral("id")).toLongLong();
        dialog->version = RowVersion::read(*m_module, QStringLiteral("cmn_gds_and_srv.gds_and_srv"), dialog->id);
        dialog->markEdit->setText(izdel->text(QStringLiteral("marka")).trimmed());
        dialog->rateEdit->setText(trimmedDecimal(izdel->text(QStringLiteral("massa"))));
        dialog->groupList->open();
        dialog->groupList->setKeyValue(izdel->value(QStringLiteral("id_class_item")).toLongLong());
        dialog->exec();
    }
    dialog->groupList->close();
    restoreRow();
}

void ProductList::remove()
{
    DataSet *izdel = m_module->productList;
    if (izdel->isEmpty())
        return;
    ProductDeletion(*m_module, izdel->value(QStringLiteral("id")).toLongLong()).run();
    izdel->reopen();
}
