#include "reference/price_list.h"

#include "app/data_grid.h"
#include "app/data_module.h"
#include "app/main_window.h"
#include "app/messages.h"
#include "db/dataset.h"
#include "db/plant.h"
#include "reference/norms_window.h"
#include "reference/price_dialog.h"
#include "reports/shared_spreadsheet_writer.h"
#include "reports/spreadsheet_writer.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QPointer>
#include <QPushButton>
#include <QScopeGuard>

const QString TForm4::XlsStatement = QStringLiteral(
    "select izdel.MARKA, vid_oper.VID, oper.NAIMEN,(SELECT (CASE naimen WHEN 0 THEN 'Готовая продукция' ELSE 'Заготовки' END)) as nmn, oper.CENA_new as cena, oper.id, oper.i_id,\n"
    " oper.VID as oper_vid from accounts_dep.OPER,accounts_dep.IZDEL,accounts_dep.VID_OPER where OPER.i_id=IZDEL.id \n"
    "and oper.vid=vid_oper.id order by izdel.marka, vid_oper.vid, oper.naimen");

TForm4::TForm4(TDataModule6 *module, QWidget *parent)
    : ListWindow(module->Oper, QStringLiteral("TForm4"), QStringLiteral("Операции"), parent),
      Form10(new TForm10(module, this)),
      Form22(new TForm22(module, this)),
      XLS_Rep(new DataSet(module->connectionName(), this)),
      m_module(module)
{
    XLS_Rep->setSql(XlsStatement);
    DBGrid1->setColumns({
        {QStringLiteral("Марка"), QStringLiteral("marka"), 250},
        {QStringLiteral("Опреция"), QStringLiteral("vid"), 243},
        {QStringLiteral("Цена (min)"), QStringLiteral("cena"), 74},
        {QStringLiteral("Вид"), QStringLiteral("nmn"), 139},
        {QStringLiteral("Нормы (шт.)"), QStringLiteral("norma"), 76},
        {QStringLiteral("id"), QStringLiteral("id"), -1, {}, true},
        {QStringLiteral("i_id"), QStringLiteral("i_id"), -1, {}, true},
        {QStringLiteral("oper_vid"), QStringLiteral("oper_vid"), -1, {}, true},
    });
    CreateListButtons();
    Button5 = AddButton(QStringLiteral("Button5"), QStringLiteral("Excel"), [this] { Button5Click(); });
    CheckBox1 = new QCheckBox(QStringLiteral("Цены"), this);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    Arrange({Button1, Button2, Button3, Button5, CheckBox1, Edit1, nullptr, Button4});
    resize(860, 520);
}

TForm4 *TForm4::instance()
{
    static QPointer<TForm4> form;
    if (!form)
        form = new TForm4(DataModule6, Form1);
    return form;
}

void TForm4::PrepareList()
{
    Tag = 0;
    m_receiver = nullptr;
    // The picker leaves Oper open; the list reads it afresh all the same.
    m_module->Oper->reopen();
    SetPickerLook(false);
    // The search box keeps whatever visibility the last opening left: shown until the first pick.
}

void TForm4::PreparePicker(PickReceiver<OperationPriceChoice> *receiver, int dialogMode, int currentPriceId)
{
    DataSet *oper = m_module->Oper;
    Tag = 1;
    m_receiver = receiver;
    Edit1->show();
    Edit1->clear();
    oper->clearFilter();
    // Fresh rows: the unit price handed back must be today's lowest norm price.
    oper->reopen();
    if (dialogMode == 2 && oper->locate(QStringLiteral("id"), currentPriceId)) {
        // on the record's own operation price
    } else {
        oper->first();
    }
    SetPickerLook(true);
}

void TForm4::FinishList()
{
    m_module->Oper->close();
}

void TForm4::FinishPicker()
{
    DataSet *oper = m_module->Oper;
    Button2->setDefault(false);
    const QVariant chosen = oper->value(QStringLiteral("id"));
    // The search box is hidden from now on; its text goes too, or the list opened from the menu
    // would stay narrowed by a search the user can no longer see or change.
    Edit1->hide();
    Edit1->clear();
    oper->clearFilter();
    // Switching the filter off must not lose the row the record dialog reads the base price from.
    if (chosen.isValid())
        oper->locate(QStringLiteral("id"), chosen);
    m_receiver = nullptr;
}

void TForm4::ShowList()
{
    PrepareList();
    exec();
    FinishList();
}

void TForm4::ShowPicker(PickReceiver<OperationPriceChoice> *receiver, int dialogMode, int currentPriceId)
{
    PreparePicker(receiver, dialogMode, currentPriceId);
    exec();
    FinishPicker();
}

void TForm4::Edit1Change()
{
    // Blanks alone search for nothing; otherwise the marks that contain the text anywhere.
    const QString text = Edit1->text();
    FilterBy(QStringLiteral("marka"), text.trimmed().isEmpty() ? QString() : text, Match::Anywhere);
}

bool TForm4::Edit1KeyDown(QKeyEvent *event)
{
    // Up and Down move the list; after them every key that types nothing is swallowed.
    MoveByArrow(event);
    return event->key() == Qt::Key_Up || event->key() == Qt::Key_Down || TypesNothing(event);
}

void TForm4::Button1Click()
{
    Form10->Edit1->clear();
    Form10->Edit2->clear();
    Form10->ComboBox1->setCurrentIndex(0);
    Form10->Edit3->clear();
    Form10->Edit3->setEnabled(true);
    Form10->ShowPriceField(true);
    Form10->setWindowTitle(QStringLiteral("Заведение новой цены за операцию"));
    Form10->Tag = 1;
    // The product id and operation kind id keep their values; the pickers replace them.
    Form10->exec();
}

void TForm4::Button2Click()
{
    DataSet *oper = m_module->Oper;
    if (IsPicker()) {
        if (!oper->isEmpty() && m_receiver)
            m_receiver->TakePick(CurrentChoice());
        accept();
        return;
    }
    // With no operation price listed there is nothing to change.
    if (oper->isEmpty())
        return;
    Form10->setWindowTitle(QStringLiteral("Изменение данных о цене за операцию"));
    Form10->Tag = 2;
    Form10->Edit1->setText(oper->text(QStringLiteral("marka")).trimmed());
    Form10->Edit2->setText(oper->text(QStringLiteral("vid")).trimmed());
    // Any product kind but 0 is "Заготовки".
    Form10->ComboBox1->setCurrentIndex(oper->toInt(QStringLiteral("naimen")) == 0 ? 0 : 1);
    Form10->Edit3->setEnabled(true);
    Form10->Edit3->setText(oper->text(QStringLiteral("cena")).trimmed());
    Form10->ShowPriceField(false);
    Form10->ProductId = oper->value(QStringLiteral("i_id")).toLongLong();
    Form10->KindId = oper->toInt(QStringLiteral("oper_vid"));
    Form10->exec();
}

void TForm4::Button3Click()
{
    DataSet *oper = m_module->Oper;
    if (oper->isEmpty())
        return;
    if (!Messages::ask(QStringLiteral("Удалить операцию?"), QStringLiteral("Удаление")))
        return;
    m_module->Oper_del.setParam(QStringLiteral("id"), oper->toInt(QStringLiteral("id")));
    m_module->Oper_del.execute(QStringLiteral("delete from accounts_dep.oper where id=:id"));
    oper->reopen();
}

void TForm4::DBGrid1DblClick()
{
    if (CheckBox1->isChecked() && !IsPicker())
        OpenNorms();
    else
        Button2Click();
}

void TForm4::OpenNorms()
{
    DataSet *oper = m_module->Oper;
    if (oper->isEmpty())
        return;
    Form22->ShowNorms(oper->toInt(QStringLiteral("id")));
}

OperationPriceChoice TForm4::CurrentChoice()
{
    DataSet *oper = m_module->Oper;
    OperationPriceChoice choice;
    choice.id = oper->toInt(QStringLiteral("id"));
    choice.productId = oper->value(QStringLiteral("i_id")).toLongLong();
    choice.naimen = oper->toInt(QStringLiteral("naimen"));
    const QString vid = oper->text(QStringLiteral("vid")).trimmed();
    const QString mark = m_module->LookUp(QStringLiteral("select marka from accounts_dep.izdel where id=%1").arg(choice.productId),
                                          QStringLiteral("marka")).toString().trimmed();
    choice.description = mark + QStringLiteral("; ") + vid + QStringLiteral("; ") + Plant::productKindText(choice.naimen);
    choice.basePrice = QLocale::c().toDouble(oper->text(QStringLiteral("cena")).trimmed());
    const bool dayOff = Form1 && Form1->DayOff();
    const int journalMode = Form1 ? Form1->JournalMode : Plant::Shift1;
    choice.unitPrice = pieceUnitPrice(choice.basePrice, dayOff, journalMode);
    return choice;
}

QString TForm4::ExportPriceText(const QVariant &value)
{
    // cena_new arrives as exact decimal text; an empty one counts as 0.
    QString text = value.isNull() ? QStringLiteral("0") : value.toString().trimmed();
    if (text.isEmpty())
        text = QStringLiteral("0");
    if (text.contains(QLatin1Char('.'))) {
        while (text.endsWith(QLatin1Char('0')))
            text.chop(1);
        if (text.endsWith(QLatin1Char('.')))
            text.chop(1);
    }
    return text.replace(QLatin1Char('.'), QLocale().decimalPoint());
}

void TForm4::Button5Click()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const auto restoreCursor = qScopeGuard([] { QApplication::restoreOverrideCursor(); });
    XLS_Rep->close();
    const auto closeQuery = qScopeGuard([this] { XLS_Rep->close(); });
    XLS_Rep->open();

    SpreadsheetWriter &writer = SharedSpreadsheetWriter();
    writer.setExportName(QStringLiteral("Цены"));
    if (writer.OpenWorkbook() == -1)
        return;
    const QStringList headings = {QStringLiteral("Марка"), QStringLiteral("Операция"), QStringLiteral("Цена"),
                                  QStringLiteral("Вид")};
    for (int c = 0; c < headings.size(); ++c)
        writer.WriteCell(1, c + 1, 1, headings.at(c));
    for (int i = 0; i < XLS_Rep->recordCount(); ++i) {
        const int row = i + 2;
        writer.WriteCell(1, 1, row, XLS_Rep->valueAt(i, QStringLiteral("marka")).toString().trimmed());
        writer.WriteCell(1, 2, row, XLS_Rep->valueAt(i, QStringLiteral("vid")).toString().trimmed());
        writer.WriteCell(1, 3, row, ExportPriceText(XLS_Rep->valueAt(i, QStringLiteral("cena"))));
        writer.WriteCell(1, 4, row, Plant::productKindText(XLS_Rep->valueAt(i, QStringLiteral("naimen")).toInt()));
        // Pending paint events get their turn between rows; the user's input waits for the end.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    writer.SetVisible(true);
}
