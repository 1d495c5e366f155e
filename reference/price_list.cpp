#include "reference/price_list.h"

#include "ui/control_look.h"
#include "ui/data_grid.h"
#include "db/data_module.h"
#include "ui/messages.h"
#include "db/row_version.h"
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

PriceList::PriceList(DataModule *module, QWidget *parent)
    : PickerListWindow(module->priceList, QStringLiteral("TForm4"), QStringLiteral("Операции"),
                       {QStringLiteral("marka"), Match::Anywhere}, parent),
      dialog(new PriceDialog(module, this)),
      normsWindow(new NormsWindow(module, this)),
      exportQuery(new DataSet(module->connectionName(), this)),
      m_module(module)
{
    exportQuery->setSql(PriceStatements::exportList());
    grid->setColumns({
        {QStringLiteral("Марка"), QStringLiteral("marka"), 250},
        {QStringLiteral("Опреция"), QStringLiteral("vid"), 243},
        GridColumn{QStringLiteral("Цена (min)"), QStringLiteral("cena"), 74}.as(NumberShape::UnitPrice),
        {QStringLiteral("Вид"), QStringLiteral("nmn"), 139},
        {QStringLiteral("Нормы (шт.)"), QStringLiteral("norma"), 76},
        {QStringLiteral("id"), QStringLiteral("id"), -1, {}, true},
        {QStringLiteral("i_id"), QStringLiteral("i_id"), -1, {}, true},
        {QStringLiteral("oper_vid"), QStringLiteral("oper_vid"), -1, {}, true},
    });
    createListButtons();
    exportButton = makeButton(QStringLiteral("Button5"), QStringLiteral("Excel"), [this] { exportWorkbook(); },
                        QStringLiteral("Не удалось выгрузить цены в Excel."));
    pricesBox = new QCheckBox(QStringLiteral("Цены"), this);
    pricesBox->setObjectName(QStringLiteral("CheckBox1"));
    arrange({addButton, changeButton, deleteButton, exportButton, pricesBox, searchEdit, nullptr, exitButton});
    grid->setStretchingColumns({QStringLiteral("marka"), QStringLiteral("vid"), QStringLiteral("nmn")});
    fitToScreen(this, QSize(860, 520));
}

void PriceList::openList()
{
    // The picker leaves priceList open; the list reads it afresh all the same. The search box keeps
    // whatever visibility the last opening left: shown until the first pick.
    m_module->priceList->reopen();
}

void PriceList::showPicker(PickReceiver<OperationPriceChoice> *receiver, int dialogMode, int currentPriceId,
                        const PriceRules::PieceSurcharges &surcharges)
{
    preparePicker(receiver, dialogMode, currentPriceId, surcharges);
    exec();
    finishPicker();
}

void PriceList::preparePicker(PickReceiver<OperationPriceChoice> *receiver, int dialogMode, int currentPriceId,
                           const PriceRules::PieceSurcharges &surcharges)
{
    m_dialogMode = dialogMode;
    m_currentPriceId = currentPriceId;
    m_surcharges = surcharges;
    PickerListWindow::preparePicker(receiver);
}

void PriceList::openPicker()
{
    DataSet *oper = m_module->priceList;
    showEmptySearch();
    oper->clearFilter();
    // Fresh rows: the unit price handed back must be today's lowest norm price.
    oper->reopen();
    if (!(m_dialogMode == 2 && oper->locate(QStringLiteral("id"), m_currentPriceId)))
        oper->first();
}

void PriceList::closePicker()
{
    DataSet *oper = m_module->priceList;
    changeButton->setDefault(false);
    const QVariant chosen = oper->value(QStringLiteral("id"));
    // The search box is hidden from now on; its text goes too, or the list opened from the menu
    // would stay narrowed by a search the user can no longer see or change.
    searchEdit->hide();
    searchEdit->clear();
    oper->clearFilter();
    // Switching the filter off must not lose the row the record dialog reads the base price from.
    if (chosen.isValid())
        oper->locate(QStringLiteral("id"), chosen);
}

void PriceList::searchTextChanged()
{
    // Blanks alone search for nothing; otherwise the marks that contain the text anywhere.
    const QString text = searchEdit->text();
    filterBy(QStringLiteral("marka"), text.trimmed().isEmpty() ? QString() : text, Match::Anywhere);
}

void PriceList::add()
{
    dialog->productEdit->clear();
    dialog->kindEdit->clear();
    dialog->productKindList->setCurrentIndex(0);
    dialog->priceEdit->clear();
    dialog->priceEdit->setEnabled(true);
    dialog->showPriceField(true);
    dialog->setWindowTitle(QStringLiteral("Заведение новой цены за операцию"));
    dialog->openMode = 1;
    // The product id and operation kind id keep their values; the pickers replace them.
    dialog->exec();
}

void PriceList::changeOrChoose()
{
    DataSet *oper = m_module->priceList;
    if (isPicker()) {
        if (!oper->isEmpty())
            hand(currentChoice());
        accept();
        return;
    }
    // With no operation price listed there is nothing to change.
    if (oper->isEmpty())
        return;
    dialog->setWindowTitle(QStringLiteral("Изменение данных о цене за операцию"));
    dialog->openMode = 2;
    dialog->productEdit->setText(oper->text(QStringLiteral("marka")).trimmed());
    dialog->kindEdit->setText(oper->text(QStringLiteral("vid")).trimmed());
    // Any product kind but 0 is "Заготовки".
    dialog->productKindList->setCurrentIndex(oper->toInt(QStringLiteral("naimen")) == 0 ? 0 : 1);
    dialog->priceEdit->setEnabled(true);
    dialog->priceEdit->setText(oper->text(QStringLiteral("cena")).trimmed());
    dialog->showPriceField(false);
    dialog->productId = oper->value(QStringLiteral("i_id")).toLongLong();
    dialog->kindId = oper->toInt(QStringLiteral("oper_vid"));
    dialog->version = RowVersion::read(*m_module, QStringLiteral("accounts_dep.oper"), oper->toInt(QStringLiteral("id")));
    dialog->exec();
}

void PriceList::remove()
{
    DataSet *oper = m_module->priceList;
    if (oper->isEmpty())
        return;
    if (!Messages::ask(QStringLiteral("Удалить операцию?"), QStringLiteral("Удаление")))
        return;
    m_module->priceDelete.setParam(QStringLiteral("id"), oper->toInt(QStringLiteral("id")));
    m_module->priceDelete.execute(PriceStatements::deletion());
    oper->reopen();
}

void PriceList::rowDoubleClicked()
{
    if (pricesBox->isChecked() && !isPicker())
        openNorms();
    else
        changeOrChoose();
}

void PriceList::openNorms()
{
    DataSet *oper = m_module->priceList;
    if (oper->isEmpty())
        return;
    normsWindow->showNorms(oper->toInt(QStringLiteral("id")));
}

OperationPriceChoice PriceList::currentChoice()
{
    DataSet *oper = m_module->priceList;
    OperationPriceChoice choice;
    choice.id = oper->toInt(QStringLiteral("id"));
    choice.productId = oper->value(QStringLiteral("i_id")).toLongLong();
    choice.naimen = oper->toInt(QStringLiteral("naimen"));
    const QString vid = oper->text(QStringLiteral("vid")).trimmed();
    const QString mark = m_module->lookUp(PriceStatements::productMark(choice.productId), QStringLiteral("marka")).toString().trimmed();
    choice.description = mark + QStringLiteral("; ") + vid + QStringLiteral("; ") + Plant::productKindText(choice.naimen);
    choice.basePrice = QLocale::c().toDouble(oper->text(QStringLiteral("cena")).trimmed());
    choice.unitPrice = PriceRules::pieceUnitPrice(choice.basePrice, m_surcharges);
    return choice;
}

void PriceList::exportWorkbook()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const auto restoreCursor = qScopeGuard([] { QApplication::restoreOverrideCursor(); });
    exportQuery->close();
    const auto closeQuery = qScopeGuard([this] { exportQuery->close(); });
    exportQuery->open();

    SpreadsheetWriter &writer = SharedSpreadsheetWriter();
    writer.setExportName(QStringLiteral("Цены"));
    if (writer.openWorkbook() == -1)
        return;
    SpreadsheetExport::writePlainHeadings(writer, 1, {QStringLiteral("Марка"), QStringLiteral("Операция"),
                                                      QStringLiteral("Цена"), QStringLiteral("Вид")});
    SpreadsheetExport::run(*exportQuery, 2, [&writer](const DataSet &rows, int i, int row) {
        writer.writeCell(1, 1, row, rows.valueAt(i, QStringLiteral("marka")).toString().trimmed());
        writer.writeCell(1, 2, row, rows.valueAt(i, QStringLiteral("vid")).toString().trimmed());
        // cena_new arrives as exact decimal text; an empty one counts as 0.
        const QString price = shownDecimal(rows.valueAt(i, QStringLiteral("cena")).toString());
        writer.writeCell(1, 3, row, price.isEmpty() ? QStringLiteral("0") : price);
        writer.writeCell(1, 4, row, Plant::productKindText(rows.valueAt(i, QStringLiteral("naimen")).toInt()));
    });
    writer.setVisible(true);
}
