#include "reference/price_list.h"

#include "app/control_look.h"
#include "app/data_grid.h"
#include "app/data_module.h"
#include "app/messages.h"
#include "app/row_version.h"
#include "db/dataset.h"
#include "db/decimal_text.h"
#include "db/plant.h"
#include "reference/norms_window.h"
#include "reference/price_dialog.h"
#include "reference/price_statements.h"
#include "reports/shared_spreadsheet_writer.h"
#include "reports/spreadsheet_export.h"
#include "reports/spreadsheet_writer.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QScopeGuard>

TForm4::TForm4(TDataModule6 *module, QWidget *parent)
    : PickerListWindow(module->Oper, QStringLiteral("TForm4"), QStringLiteral("Операции"),
                       {QStringLiteral("marka"), Match::Anywhere}, parent),
      Form10(new TForm10(module, this)),
      Form22(new TForm22(module, this)),
      XLS_Rep(new DataSet(module->connectionName(), this)),
      m_module(module)
{
    XLS_Rep->setSql(PriceStatements::exportList());
    DBGrid1->setColumns({
        {QStringLiteral("Марка"), QStringLiteral("marka"), 250},
        {QStringLiteral("Опреция"), QStringLiteral("vid"), 243},
        GridColumn{QStringLiteral("Цена (min)"), QStringLiteral("cena"), 74}.as(NumberShape::UnitPrice),
        {QStringLiteral("Вид"), QStringLiteral("nmn"), 139},
        {QStringLiteral("Нормы (шт.)"), QStringLiteral("norma"), 76},
        {QStringLiteral("id"), QStringLiteral("id"), -1, {}, true},
        {QStringLiteral("i_id"), QStringLiteral("i_id"), -1, {}, true},
        {QStringLiteral("oper_vid"), QStringLiteral("oper_vid"), -1, {}, true},
    });
    CreateListButtons();
    Button5 = AddButton(QStringLiteral("Button5"), QStringLiteral("Excel"), [this] { Button5Click(); },
                        QStringLiteral("Не удалось выгрузить цены в Excel."));
    CheckBox1 = new QCheckBox(QStringLiteral("Цены"), this);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    Arrange({Button1, Button2, Button3, Button5, CheckBox1, Edit1, nullptr, Button4});
    DBGrid1->setStretchingColumns({QStringLiteral("marka"), QStringLiteral("vid"), QStringLiteral("nmn")});
    fitToScreen(this, QSize(860, 520));
}

void TForm4::OpenList()
{
    // The picker leaves Oper open; the list reads it afresh all the same. The search box keeps
    // whatever visibility the last opening left: shown until the first pick.
    m_module->Oper->reopen();
}

void TForm4::ShowPicker(PickReceiver<OperationPriceChoice> *receiver, int dialogMode, int currentPriceId,
                        const PriceRules::PieceSurcharges &surcharges)
{
    PreparePicker(receiver, dialogMode, currentPriceId, surcharges);
    exec();
    FinishPicker();
}

void TForm4::PreparePicker(PickReceiver<OperationPriceChoice> *receiver, int dialogMode, int currentPriceId,
                           const PriceRules::PieceSurcharges &surcharges)
{
    m_dialogMode = dialogMode;
    m_currentPriceId = currentPriceId;
    m_surcharges = surcharges;
    PickerListWindow::PreparePicker(receiver);
}

void TForm4::OpenPicker()
{
    DataSet *oper = m_module->Oper;
    ShowEmptySearch();
    oper->clearFilter();
    // Fresh rows: the unit price handed back must be today's lowest norm price.
    oper->reopen();
    if (!(m_dialogMode == 2 && oper->locate(QStringLiteral("id"), m_currentPriceId)))
        oper->first();
}

void TForm4::ClosePicker()
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
}

void TForm4::Edit1Change()
{
    // Blanks alone search for nothing; otherwise the marks that contain the text anywhere.
    const QString text = Edit1->text();
    FilterBy(QStringLiteral("marka"), text.trimmed().isEmpty() ? QString() : text, Match::Anywhere);
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
        if (!oper->isEmpty())
            Hand(CurrentChoice());
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
    Form10->Version = RowVersion::read(*m_module, QStringLiteral("accounts_dep.oper"), oper->toInt(QStringLiteral("id")));
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
    m_module->Oper_del.execute(PriceStatements::deletion());
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
    const QString mark = m_module->LookUp(PriceStatements::productMark(choice.productId), QStringLiteral("marka")).toString().trimmed();
    choice.description = mark + QStringLiteral("; ") + vid + QStringLiteral("; ") + Plant::productKindText(choice.naimen);
    choice.basePrice = QLocale::c().toDouble(oper->text(QStringLiteral("cena")).trimmed());
    choice.unitPrice = PriceRules::pieceUnitPrice(choice.basePrice, m_surcharges);
    return choice;
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
    SpreadsheetExport::writePlainHeadings(writer, 1, {QStringLiteral("Марка"), QStringLiteral("Операция"),
                                                      QStringLiteral("Цена"), QStringLiteral("Вид")});
    SpreadsheetExport::run(*XLS_Rep, 2, [&writer](const DataSet &rows, int i, int row) {
        writer.WriteCell(1, 1, row, rows.valueAt(i, QStringLiteral("marka")).toString().trimmed());
        writer.WriteCell(1, 2, row, rows.valueAt(i, QStringLiteral("vid")).toString().trimmed());
        // cena_new arrives as exact decimal text; an empty one counts as 0.
        const QString price = shownDecimal(rows.valueAt(i, QStringLiteral("cena")).toString());
        writer.WriteCell(1, 3, row, price.isEmpty() ? QStringLiteral("0") : price);
        writer.WriteCell(1, 4, row, Plant::productKindText(rows.valueAt(i, QStringLiteral("naimen")).toInt()));
    });
    writer.SetVisible(true);
}
