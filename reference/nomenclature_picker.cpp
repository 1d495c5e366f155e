#include "reference/nomenclature_picker.h"

#include "ui/control_look.h"
#include "ui/data_grid.h"
#include "db/data_module.h"
#include "db/dataset.h"
#include "reference/product_statements.h"

#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

namespace {

DataSet *itemQuery(DataModule *module)
{
    auto *query = new DataSet(module->connectionName());
    query->setSql(ProductStatements::groups());
    return query;
}

} // namespace

NomenclaturePicker::NomenclaturePicker(DataModule *module, QWidget *parent)
    : PickerListWindow(itemQuery(module), QStringLiteral("TForm26"), QStringLiteral("Номенклатура (26)"),
                       {QStringLiteral("s_caption")}, parent),
      groups(query())
{
    groups->setParent(this);
    openMode = 1;
    grid->setColumns({
        {QStringLiteral("Наименование"), QStringLiteral("s_caption"), 365},
    });
    chooseButton = makeButton(QStringLiteral("Button1"), QStringLiteral("Выбрать"), [this] { choose(); });
    exitButton = makeButton(QStringLiteral("Button4"), QStringLiteral("Выход"), [this] { leave(); });
    // Neither button is the default one: Enter in the search box chooses nothing.
    chooseButton->setAutoDefault(false);
    exitButton->setAutoDefault(false);
    arrange({chooseButton, searchEdit, exitButton});

    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                   | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(410, 480);
}

void NomenclaturePicker::choose()
{
    // An empty list hands back the id 0 and an empty caption; the caption goes as stored.
    hand({groups->value(QStringLiteral("id")).toLongLong(), groups->value(QStringLiteral("s_caption")).toString()});
    accept();
}

void NomenclaturePicker::showEvent(QShowEvent *event)
{
    PickerListWindow::showEvent(event);
    // The picker stands in the middle of the desktop, wherever its caller is.
    centreOnScreen(this);
}
