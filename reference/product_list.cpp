#include "reference/product_list.h"

#include "app/data_grid.h"
#include "app/data_module.h"
#include "app/main_window.h"
#include "app/messages.h"
#include "db/dataset.h"
#include "reference/lookup_list.h"
#include "reference/product_dialog.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

TForm3::TForm3(TDataModule6 *module, QWidget *parent)
    : ListWindow(module->Izdel, QStringLiteral("TForm3"), QStringLiteral("Изделия (3)"), parent),
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
    resize(600, 480);
}

TForm3 *TForm3::instance()
{
    static QPointer<TForm3> form;
    if (!form)
        form = new TForm3(DataModule6, Form1);
    return form;
}

QDate TForm3::DeletionThreshold(const QDate &today)
{
    return QDate(2000, today.month() == 1 ? 12 : today.month() - 1, 1);
}

QString TForm3::MassaText(const QString &value)
{
    QString text = value.trimmed();
    if (text.contains(QLatin1Char('.'))) {
        while (text.endsWith(QLatin1Char('0')))
            text.chop(1);
        if (text.endsWith(QLatin1Char('.')))
            text.chop(1);
    }
    return text;
}

void TForm3::PrepareList()
{
    Tag = 0;
    m_receiver = nullptr;
    m_module->Izdel->open();
    SetPickerLook(false);
    // The search box keeps whatever visibility the last opening left: shown until the first pick.
}

void TForm3::PreparePicker(PickReceiver<ProductChoice> *receiver)
{
    Tag = 1;
    m_receiver = receiver;
    m_module->Izdel->open();
    SetPickerLook(true);
    Edit1->show();
    Edit1->clear();
}

void TForm3::FinishList()
{
    m_module->Izdel->close();
}

void TForm3::FinishPicker()
{
    Button2->setDefault(false);
    // The search box is hidden from now on; its text goes too, or the list opened from the menu
    // would stay narrowed by a search the user can no longer see or change.
    Edit1->clear();
    Edit1->hide();
    m_module->Izdel->close();
    m_receiver = nullptr;
}

void TForm3::ShowList()
{
    PrepareList();
    exec();
    FinishList();
}

void TForm3::ShowPicker(PickReceiver<ProductChoice> *receiver)
{
    PreparePicker(receiver);
    exec();
    FinishPicker();
}

void TForm3::Edit1Change()
{
    FilterBy(QStringLiteral("marka"), Edit1->text());
}

bool TForm3::Edit1KeyDown(QKeyEvent *event)
{
    // Only Up and Down are taken from the box; every other key edits the search text as usual.
    return MoveByArrow(event);
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
        if (!izdel->isEmpty() && m_receiver)
            m_receiver->TakePick({izdel->value(QStringLiteral("id")).toLongLong(),
                                  izdel->text(QStringLiteral("marka")).trimmed()});
        accept();
    } else {
        // With no product listed there is nothing to change.
        if (izdel->isEmpty())
            return;
        Form7->setWindowTitle(QStringLiteral("Изменение данных изделия (7)"));
        Form7->Tag = 2;
        Form7->Edit1->setText(izdel->text(QStringLiteral("marka")).trimmed());
        Form7->Edit2->setText(MassaText(izdel->text(QStringLiteral("massa"))));
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
    const qint64 productId = izdel->value(QStringLiteral("id")).toLongLong();
    const QString id = QString::number(productId);

    DataSet *control = m_module->Control;
    control->setParam(QStringLiteral("id_ii"), productId);
    control->setParam(QStringLiteral("dt"), DeletionThreshold(QDate::currentDate()));
    const qint64 records = m_module->LookUp(
        QStringLiteral("select count(*) as cnt from accounts_dep.smena s where s.i_id =:id_ii and s.\"data\">=:dt"),
        QStringLiteral("cnt")).toLongLong();
    const qint64 prices = m_module->LookUp(
        QStringLiteral("select count(*) as cnt from accounts_dep.oper o where o.i_id =:id_ii"),
        QStringLiteral("cnt")).toLongLong();

    // "No" to the prices keeps them and goes on to the product itself.
    if (prices > 0 && Messages::ask(QStringLiteral("По изделию есть расценки они будут удалены!!!"), QStringLiteral("Удаление")))
        m_module->DelSmena.execute(QStringLiteral("delete from accounts_dep.oper o where o.i_id =%1").arg(id));

    if (records > 0) {
        if (Messages::ask(QStringLiteral("По изделию есть операции в текущем, предыдущем месяцах и ранее, они будут удалены. "
                                         "Удалить изделие? "),
                          QStringLiteral("Удаление"))) {
            m_module->DelSmena.execute(QStringLiteral("delete from accounts_dep.smena s where s.i_id =%1").arg(id));
            m_module->DelSmena.execute(QStringLiteral("delete from cmn_gds_and_srv.gds_and_srv  where id=%1").arg(id));
        }
    } else if (Messages::ask(QStringLiteral("Удалить изделие? "), QStringLiteral("Удаление"))) {
        m_module->DelSmena.execute(QStringLiteral("delete from cmn_gds_and_srv.gds_and_srv  where id=%1").arg(id));
    }
    izdel->reopen();
}
