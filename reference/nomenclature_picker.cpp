#include "reference/nomenclature_picker.h"

#include "app/control_look.h"
#include "app/data_grid.h"
#include "app/data_module.h"
#include "db/dataset.h"
#include "reference/product_statements.h"

#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

namespace {

DataSet *itemQuery(TDataModule6 *module)
{
    auto *query = new DataSet(module->connectionName());
    query->setSql(ProductStatements::groups());
    return query;
}

} // namespace

TForm26::TForm26(TDataModule6 *module, QWidget *parent)
    : PickerListWindow(itemQuery(module), QStringLiteral("TForm26"), QStringLiteral("Номенклатура (26)"),
                       {QStringLiteral("s_caption")}, parent),
      item(Query())
{
    item->setParent(this);
    Tag = 1;
    DBGrid1->setColumns({
        {QStringLiteral("Наименование"), QStringLiteral("s_caption"), 365},
    });
    Button1 = AddButton(QStringLiteral("Button1"), QStringLiteral("Выбрать"), [this] { Button1Click(); });
    Button4 = AddButton(QStringLiteral("Button4"), QStringLiteral("Выход"), [this] { Button4Click(); });
    // Neither button is the default one: Enter in the search box chooses nothing.
    Button1->setAutoDefault(false);
    Button4->setAutoDefault(false);
    Arrange({Button1, Edit1, Button4});

    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                   | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(410, 480);
}

void TForm26::Button1Click()
{
    // An empty list hands back the id 0 and an empty caption; the caption goes as stored.
    Hand({item->value(QStringLiteral("id")).toLongLong(), item->value(QStringLiteral("s_caption")).toString()});
    accept();
}

void TForm26::showEvent(QShowEvent *event)
{
    PickerListWindow::showEvent(event);
    // The picker stands in the middle of the desktop, wherever its caller is.
    centreOnScreen(this);
}
