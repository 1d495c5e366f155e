#include "reference/nomenclature_picker.h"

#include "app/data_grid.h"
#include "app/data_module.h"
#include "app/main_window.h"
#include "db/dataset.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>

namespace {

DataSet *itemQuery(TDataModule6 *module)
{
    auto *query = new DataSet(module->connectionName());
    query->setSql(QStringLiteral("select * from cmn_classifier.item where id_level=2 order by s_caption"));
    return query;
}

} // namespace

TForm26::TForm26(TDataModule6 *module, QWidget *parent)
    : ListWindow(itemQuery(module), QStringLiteral("TForm26"), QStringLiteral("Номенклатура (26)"), parent),
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

TForm26 *TForm26::instance()
{
    static QPointer<TForm26> form;
    if (!form)
        form = new TForm26(DataModule6, Form1);
    return form;
}

void TForm26::PreparePicker(PickReceiver<NomenclatureChoice> *receiver)
{
    m_receiver = receiver;
    // The search text of the last opening and its filter stay in force.
    item->open();
}

void TForm26::FinishPicker()
{
    item->close();
    m_receiver = nullptr;
}

void TForm26::ShowPicker(PickReceiver<NomenclatureChoice> *receiver)
{
    PreparePicker(receiver);
    exec();
    FinishPicker();
}

void TForm26::Edit1Change()
{
    FilterBy(QStringLiteral("s_caption"), Edit1->text());
}

bool TForm26::Edit1KeyDown(QKeyEvent *event)
{
    // Up and Down move the list; after them every key that types nothing is swallowed.
    MoveByArrow(event);
    return event->key() == Qt::Key_Up || event->key() == Qt::Key_Down || TypesNothing(event);
}

void TForm26::Button1Click()
{
    // An empty list hands back the id 0 and an empty caption; the caption goes as stored.
    if (m_receiver)
        m_receiver->TakePick({item->value(QStringLiteral("id")).toLongLong(),
                              item->value(QStringLiteral("s_caption")).toString()});
    accept();
}

void TForm26::showEvent(QShowEvent *event)
{
    ListWindow::showEvent(event);
    // The picker stands in the middle of the desktop, wherever its caller is.
    if (QScreen *s = screen())
        move(s->availableGeometry().center() - rect().center());
}
