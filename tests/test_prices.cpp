// Operation prices and their norms against the real server: the price list in list mode and as
// the production record dialog's picker, the price dialog with its pickers, the norms window
// edited in place, and the export read back from the saved workbook.

#include "ui/data_grid.h"
#include "db/data_module.h"
#include "journal/journal_window.h"
#include "ui/message_boxes.h"
#include "ui/messages.h"
#include "db/row_version.h"
#include "app/startup.h"
#include "ui/windows.h"
#include "db/dataset.h"
#include "reference/kind_list.h"
#include "reference/norm_table.h"
#include "reference/norms_window.h"
#include "reference/price_dialog.h"
#include "reference/price_list.h"
#include "reference/price_statements.h"
#include "reference/product_list.h"
#include "reports/shared_spreadsheet_writer.h"
#include "reports/spreadsheet_application.h"
#include "reports/spreadsheet_writer.h"
#include "tests/support/fake_spreadsheet.h"
#include "tests/support/test_support.h"
#include "tests/support/window_helpers.h"
#include "ui/control_look.h"
#include "tests/support/workbook_reader.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScopeGuard>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// A small plant: two products with prices and norms, one price without norms.
struct Plant {
    explicit Plant(const TestDatabase &db)
    {
        const int group = db.addGroup(QStringLiteral("Мебель"));
        cabinet = db.addProduct(QStringLiteral("Шкаф-10"), group);
        table = db.addProduct(QStringLiteral("Стол-5"), group);
        nightstand = db.addProduct(QStringLiteral("Тумба 7"), group);
        assembly = db.addKind(QStringLiteral("Сборка"));
        painting = db.addKind(QStringLiteral("Покраска"));
        cabinetAssembly = db.addPrice(assembly, cabinet, 0);
        db.addNorm(cabinetAssembly, 12.5, 100);
        db.addNorm(cabinetAssembly, 10, 200);
        tableAssembly = db.addPrice(assembly, table, 1);
        db.addNorm(tableAssembly, 7, 50);
        cabinetPainting = db.addPrice(painting, cabinet, 0);   // no norms: export only
        db.exec(QStringLiteral("update accounts_dep.oper set cena_new=12.3400 where id=%1").arg(cabinetAssembly));
        db.exec(QStringLiteral("update accounts_dep.oper set cena_new=3 where id=%1").arg(cabinetPainting));
    }
    int cabinet, table, nightstand, assembly, painting, cabinetAssembly, tableAssembly, cabinetPainting;
};

// What every case starts from.
struct Fixture {
    TestDatabase db;
    Plant p{db};
    std::unique_ptr<DataModule> module = db.connectModule();
};

// The editor a grid has open, if any.
QLineEdit *openEditor(QTableView *grid)
{
    for (QLineEdit *e : grid->viewport()->findChildren<QLineEdit *>(QStringLiteral("CellEditor")))
        if (!e->isHidden())
            return e;
    return nullptr;
}

// Starts editing a cell, replaces its text and leaves it with Tab, as a user does.
void typeInCell(NormsWindow &w, int row, int column, const QString &text)
{
    const QModelIndex idx = w.table->index(row, column);
    w.grid->setCurrentIndex(idx);
    QCoreApplication::processEvents();
    w.grid->edit(idx);
    QLineEdit *editor = openEditor(w.grid);
    QVERIFY(editor);
    editor->selectAll();
    editor->del();
    typeText(editor, text);
    QTest::keyClick(editor, Qt::Key_Tab);
    // The row is written once the grid has moved on.
    QCoreApplication::processEvents();
}

// Norm rows of an operation price as "norma/price/prize", by norm.
QStringList normRows(const TestDatabase &db, int price)
{
    QStringList out;
    for (const auto &r : db.rows(QStringLiteral("select norma, price, prize from accounts_dep.norm where o_id=%1 order by norma, id").arg(price)))
        out << QStringLiteral("%1/%2/%3").arg(r[0].isNull() ? QStringLiteral("-") : r[0].toString(),
                                              r[1].isNull() ? QStringLiteral("-") : QString::number(r[1].toDouble()),
                                              r[2].isNull() ? QStringLiteral("-") : r[2].toString());
    return out;
}

} // namespace

// Stands in for the desktop's opener of file addresses.
class FolderOpened : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl &url) { urls << url; }
};

class TestPrices : public QObject {
    Q_OBJECT
    std::unique_ptr<Fixture> m_fixture;

private slots:
    // Every case gets its own database with the small plant, and a data module connected to it.
    void init() { m_fixture = std::make_unique<Fixture>(); }
    void cleanup() { m_fixture.reset(); }
    void initTestCase() { installRussian(*qApp); }

    void looks();
    void listShowsPricesWithNorms();
    void listPricesKeepTheirDecimals_data();
    void listPricesKeepTheirDecimals();
    void listFitsScreen_data();
    void listFitsScreen();
    void addWithPickers();
    void dialogRefusals_data();
    void dialogRefusals();
    void change();
    void addRefusedAtItsFirstNorm();
    void priceNumbersCheckedBeforeSending_data();
    void priceNumbersCheckedBeforeSending();
    void changeOverAnotherWorkstation_data();
    void changeOverAnotherWorkstation();
    void deletion();
    void search();
    void doubleClick_data();
    void doubleClick();
    void pickerUnitPrice_data();
    void pickerUnitPrice();
    void pickerPositionsAndHandsBack();
    void normsEdits();
    void normsRefusedValue();
    void normsLastRowAndCloseBox();
    void normChangedOnAnotherWorkstation_data();
    void normChangedOnAnotherWorkstation();
    void normNumbersCheckedBeforeSending_data();
    void normNumbersCheckedBeforeSending();
    void normPriceText_data();
    void normPriceText();
    void exportWorkbook();
    void exportWithoutSpreadsheet();
    void folderButtonOpensTheFolder();
    void menuOpensPrices();
};

void TestPrices::looks()
{
    auto &[_db, _p, module] = *m_fixture;
    PriceList w(module.get());
    QCOMPARE(w.windowTitle(), QStringLiteral("Операции"));
    auto *model = w.grid->dataModel();
    QStringList shown;
    QList<int> widths;
    for (int i = 0; i < model->columnCount(); ++i) {
        if (w.grid->isColumnHidden(i))
            continue;
        shown << model->headerData(i, Qt::Horizontal, Qt::DisplayRole).toString();
        widths << w.grid->columnWidth(i);
    }
    QCOMPARE(shown, (QStringList{QStringLiteral("Марка"), QStringLiteral("Опреция"), QStringLiteral("Цена (min)"),
                                 QStringLiteral("Вид"), QStringLiteral("Нормы (шт.)")}));
    QCOMPARE(widths.mid(1), (QList<int>{243, 74, 139, 76}));
    for (const char *hidden : {"id", "i_id", "oper_vid"})
        QVERIFY(w.grid->isColumnHidden(w.grid->columnOf(QLatin1String(hidden))));
    QCOMPARE(w.addButton->text(), QStringLiteral("Добавить"));
    QCOMPARE(w.deleteButton->text(), QStringLiteral("Удалить"));
    QCOMPARE(w.exitButton->text(), QStringLiteral("Выход"));
    QCOMPARE(w.exportButton->text(), QStringLiteral("Excel"));
    QCOMPARE(w.pricesBox->text(), QStringLiteral("Цены"));
    QVERIFY(!w.pricesBox->isChecked());
    QVERIFY(w.addButton->isDefault());
    // The search box is there from the start.
    QVERIFY(w.searchEdit->isVisibleTo(&w));

    PriceDialog *d = w.dialog;
    QCOMPARE(d->findChild<QGroupBox *>()->title(), QStringLiteral("Цена операции"));
    QVERIFY(d->productEdit->isReadOnly());
    QCOMPARE(d->productEdit->focusPolicy(), Qt::NoFocus);
    QVERIFY(d->kindEdit->isReadOnly());
    QCOMPARE(d->kindEdit->focusPolicy(), Qt::NoFocus);
    QCOMPARE(d->productKindList->count(), 2);
    QCOMPARE(d->productKindList->itemText(0), QStringLiteral("Готовая продукция"));
    QCOMPARE(d->productKindList->itemText(1), QStringLiteral("Заготовки"));
    QCOMPARE(d->saveButton->text(), QStringLiteral("Записать"));
    QVERIFY(d->saveButton->isDefault());
    QCOMPARE(d->cancelButton->text(), QStringLiteral("Отмена"));
    QCOMPARE(d->productButton->text(), QStringLiteral("..."));
    QCOMPARE(d->kindButton->text(), QStringLiteral("..."));
    QCOMPARE(d->priceLabel->text(), QStringLiteral("min Цена"));
    QStringList labels;
    for (QLabel *l : d->findChildren<QLabel *>())
        labels << l->text();
    for (const QString &l : {QStringLiteral("Марка изделия"), QStringLiteral("Операция"), QStringLiteral("Вид")})
        QVERIFY2(labels.contains(l), qPrintable(l));

    NormsWindow *n = w.normsWindow;
    QCOMPARE(n->windowTitle(), QStringLiteral("Норматив"));
    QCOMPARE(n->table->headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("Норматив"));
    QCOMPARE(n->table->headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("Цена"));
    QCOMPARE(n->table->headerData(2, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("Премия, %"));
    QCOMPARE(n->grid->columnWidth(0), 133);
    QCOMPARE(n->grid->columnWidth(1), 105);
    QCOMPARE(n->grid->columnWidth(2), 82);
    QVERIFY(n->grid->verticalHeader()->isVisible() || !n->grid->verticalHeader()->isHidden());
    QCOMPARE(n->saveButton->text(), QStringLiteral("Сохранить"));
    QVERIFY(n->saveButton->isDefault());
    QCOMPARE(n->deleteButton->text(), QStringLiteral("Удалить"));
}

// A unit price shows every decimal it carries, and at least two.
void TestPrices::listPricesKeepTheirDecimals_data()
{
    QTest::addColumn<double>("price");
    QTest::addColumn<QString>("shown");
    QTest::newRow("whole") << 11.0 << "11,00";
    QTest::newRow("one decimal") << 6.4 << "6,40";
    QTest::newRow("four decimals") << 3.3333 << "3,3333";
    QTest::newRow("two decimals") << 0.05 << "0,05";
}

void TestPrices::listPricesKeepTheirDecimals()
{
    QFETCH(double, price);
    QFETCH(QString, shown);
    auto &[db, p, module] = *m_fixture;
    db.exec(QStringLiteral("update accounts_dep.norm set price=%1 where o_id=%2").arg(price).arg(p.cabinetAssembly));
    PriceList w(module.get());
    w.prepareList();
    QVERIFY(module->priceList->locate("id", p.cabinetAssembly));
    const QModelIndex cell = w.grid->dataModel()->index(module->priceList->recNo() - 1, w.grid->columnOf("cena"));
    QCOMPARE(cell.data(Qt::DisplayRole).toString(), shown);
    QCOMPARE(Qt::Alignment(cell.data(Qt::TextAlignmentRole).toInt()) & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    w.finishList();
}

void TestPrices::listFitsScreen_data()
{
    addWorkstationScreens();
}

void TestPrices::listFitsScreen()
{
    QFETCH(QRect, available);
    auto &[_db, _p, module] = *m_fixture;
    PriceList w(module.get());
    w.prepareList();
    QCOMPARE(w.size(), QSize(860, 520));
    QVERIFY(w.windowFlags() & Qt::WindowMaximizeButtonHint);
    const QStringList hidden = outOfSightWhenOpened(&w, QSize(860, 520), available, QMargins(4, 28, 4, 4));
    QVERIFY2(hidden.isEmpty(), qPrintable(hidden.join(QLatin1Char('\n'))));
    // It fits as designed; a larger window widens the text columns only.
    QCOMPARE(w.grid->columnWidth(w.grid->columnOf("vid")), 243);
    w.show();
    w.resize(1060, 520);
    QApplication::processEvents();
    QCOMPARE(w.grid->columnWidth(w.grid->columnOf("cena")), 74);
    QVERIFY(w.grid->columnWidth(w.grid->columnOf("vid")) > 243);
    w.hide();
    w.finishList();
}

void TestPrices::listShowsPricesWithNorms()
{
    auto &[_db, p, module] = *m_fixture;
    PriceList w(module.get());
    w.prepareList();
    DataSet *oper = module->priceList;
    QVERIFY(oper->isOpen());
    QCOMPARE(w.changeButton->text(), QStringLiteral("Изменить"));
    QVERIFY(!w.changeButton->isDefault());
    // Only operation prices with norms; ordered by mark.
    QCOMPARE(column(oper, "marka"), (QStringList{QStringLiteral("Стол-5"), QStringLiteral("Шкаф-10")}));
    QCOMPARE(column(oper, "vid"), (QStringList{QStringLiteral("Сборка"), QStringLiteral("Сборка")}));
    QCOMPARE(column(oper, "nmn"), (QStringList{QStringLiteral("Заготовки"), QStringLiteral("Готовая продукция")}));
    QCOMPARE(column(oper, "norma"), (QStringList{"1", "2"}));
    QCOMPARE(w.grid->dataModel()->displayText(1, "cena"), QStringLiteral("10,00"));
    QCOMPARE(oper->valueAt(1, "id").toInt(), p.cabinetAssembly);
    QCOMPARE(oper->valueAt(1, "i_id").toInt(), p.cabinet);
    QCOMPARE(oper->valueAt(1, "oper_vid").toInt(), p.assembly);
    w.finishList();
    QVERIFY(!oper->isOpen());
}

void TestPrices::addWithPickers()
{
    auto &[db, p, module] = *m_fixture;
    Messages::MessageRecorder rec;
    JournalWindow main(module.get());
    PriceList w(module.get());
    w.prepareList();

    ModalAction add, product, kind;
    onModal(add, [&](QDialog *d) {
        PriceDialog *f = w.dialog;
        QCOMPARE(d, static_cast<QDialog *>(f));
        QCOMPARE(d->windowTitle(), QStringLiteral("Заведение новой цены за операцию"));
        QCOMPARE(f->openMode, 1);
        QVERIFY(f->productEdit->text().isEmpty());
        QVERIFY(f->kindEdit->text().isEmpty());
        QCOMPARE(f->productKindList->currentIndex(), 0);
        QVERIFY(f->priceEdit->isVisible());
        QVERIFY(f->priceEdit->isEnabled());
        QCOMPARE(f->focusWidget(), static_cast<QWidget *>(f->productButton));

        onModal(product, [&](QDialog *list) {
            QCOMPARE(list->objectName(), QStringLiteral("TForm3"));
            QVERIFY(module->productList->locate("id", p.nightstand));
            Windows::get<ProductList>()->changeOrChoose();
        });
        f->pickProduct();
        QCOMPARE(f->productEdit->text(), QStringLiteral("Тумба 7"));
        QCOMPARE(f->productId, qint64(p.nightstand));

        onModal(kind, [&](QDialog *list) {
            QCOMPARE(list->objectName(), QStringLiteral("TForm8"));
            QVERIFY(module->kindList->locate("id", p.painting));
            Windows::get<KindList>()->changeOrChoose();
        });
        f->pickKind();
        QCOMPARE(f->kindEdit->text(), QStringLiteral("Покраска"));
        QCOMPARE(f->kindId, p.painting);

        f->productKindList->setCurrentIndex(1);
        // A comma is entered as a point; letters are refused.
        typeText(f->priceEdit, QStringLiteral("7,5ж"));
        QCOMPARE(f->priceEdit->text(), QStringLiteral("7.5"));
        f->save();
    });
    w.add();
    QVERIFY(add.ran && product.ran && kind.ran);
    QVERIFY(!add.stayedOpen);
    QVERIFY2(rec.shown.isEmpty(), qPrintable(rec.texts().join(u'|')));

    const auto added = db.rows(QStringLiteral("select id, naimen, cena_new from accounts_dep.oper where vid=%1 and i_id=%2")
                                   .arg(p.painting).arg(p.nightstand));
    QCOMPARE(added.size(), 1);
    const int id = added[0][0].toInt();
    QCOMPARE(added[0][1].toInt(), 1);
    QCOMPARE(added[0][2].toDouble(), 0.0);
    // Its first norm row carries the price typed, so the new price is listed and can be priced.
    QCOMPARE(normRows(db, id), QStringList{QStringLiteral("0/7.5/0")});
    QCOMPARE(module->priceList->recordCount(), 3);
    QCOMPARE(module->priceList->toInt("id"), id);
    QCOMPARE(module->priceList->text("norma"), QStringLiteral("1"));
    QCOMPARE(QLocale::c().toDouble(module->priceList->text("cena")), 7.5);

    // The same product and kind as blanks of another product kind is no duplicate... but the
    // same three again is.
    ModalAction again;
    onModal(again, [&](QDialog *) {
        QCOMPARE(w.dialog->productId, qint64(p.nightstand));   // the ids keep their values
        w.dialog->productEdit->setText(QStringLiteral("Тумба 7"));
        w.dialog->kindEdit->setText(QStringLiteral("Покраска"));
        w.dialog->productKindList->setCurrentIndex(0);
        w.dialog->priceEdit->setText(QStringLiteral("8"));
        w.dialog->save();
    });
    w.add();
    QVERIFY(!again.stayedOpen);
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from accounts_dep.oper where vid=%1 and i_id=%2").arg(p.painting).arg(p.nightstand)).toInt(), 2);
    w.finishList();
}

void TestPrices::dialogRefusals_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("product");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("naimen");
    QTest::addColumn<QString>("minPrice");
    QTest::addColumn<QString>("message");
    const QString fill = QStringLiteral("Все поля должны быть заполнены!");
    const QString dup = QStringLiteral("Операция с такими параметрами уже заведена!");
    QTest::newRow("add: no product") << 1 << QStringLiteral("  ") << QStringLiteral("Сборка") << 0 << "5" << fill;
    QTest::newRow("add: no operation") << 1 << QStringLiteral("Шкаф-10") << QString() << 0 << "5" << fill;
    QTest::newRow("add: no price") << 1 << QStringLiteral("Шкаф-10") << QStringLiteral("Сборка") << 1 << "" << fill;
    QTest::newRow("add: a point is no price") << 1 << QStringLiteral("Шкаф-10") << QStringLiteral("Сборка") << 1 << "." << fill;
    QTest::newRow("add: same three") << 1 << QStringLiteral("Шкаф-10") << QStringLiteral("Сборка") << 0 << "5" << dup;
    QTest::newRow("add: a price without norms") << 1 << QStringLiteral("Шкаф-10") << QStringLiteral("Покраска") << 0 << "5" << dup;
    QTest::newRow("change: only the product kind, to one that exists") << 2 << QStringLiteral("Шкаф-10") << QStringLiteral("Сборка") << 0 << "" << dup;
    QTest::newRow("change: no operation") << 2 << QStringLiteral("Шкаф-10") << QStringLiteral(" ") << 1 << "" << fill;
}

void TestPrices::dialogRefusals()
{
    QFETCH(int, mode);
    QFETCH(QString, product);
    QFETCH(QString, kind);
    QFETCH(int, naimen);
    QFETCH(QString, minPrice);
    QFETCH(QString, message);
    auto &[db, p, module] = *m_fixture;
    // The cabinet's assembly as blanks too: changing it to finished products collides.
    const int blanks = db.addPrice(p.assembly, p.cabinet, 1);
    db.addNorm(blanks, 4);
    Messages::MessageRecorder rec;
    PriceList w(module.get());
    w.prepareList();
    QVERIFY(module->priceList->locate("id", blanks));
    ModalAction save;
    onModal(save, [&](QDialog *) {
        PriceDialog *f = w.dialog;
        f->productEdit->setText(product);
        f->productId = p.cabinet;
        f->kindEdit->setText(kind);
        f->kindId = kind.trimmed() == QStringLiteral("Покраска") ? p.painting : p.assembly;
        f->productKindList->setCurrentIndex(naimen);
        f->priceEdit->setText(minPrice);
        f->save();
    });
    if (mode == 1)
        w.add();
    else
        w.changeOrChoose();
    QVERIFY(save.stayedOpen);
    QCOMPARE(rec.errors(), QStringList{message});
    QCOMPARE(rec.shown[0].title, QStringLiteral("Ошибка"));
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from accounts_dep.oper")).toInt(), 6);
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from accounts_dep.norm")).toInt(), 6);
    QCOMPARE(db.scalar(QStringLiteral("select naimen from accounts_dep.oper where id=%1").arg(blanks)).toInt(), 1);
    w.finishList();
}

void TestPrices::change()
{
    auto &[db, p, module] = *m_fixture;
    Messages::MessageRecorder rec;
    PriceList w(module.get());
    w.prepareList();
    QVERIFY(module->priceList->locate("id", p.tableAssembly));

    // Unchanged: no duplicate of itself.
    ModalAction same;
    onModal(same, [&](QDialog *d) {
        PriceDialog *f = w.dialog;
        QCOMPARE(d->windowTitle(), QStringLiteral("Изменение данных о цене за операцию"));
        QCOMPARE(f->openMode, 2);
        QCOMPARE(f->productEdit->text(), QStringLiteral("Стол-5"));
        QCOMPARE(f->kindEdit->text(), QStringLiteral("Сборка"));
        QCOMPARE(f->productKindList->currentIndex(), 1);
        QCOMPARE(f->productId, qint64(p.table));
        QCOMPARE(f->kindId, p.assembly);
        QCOMPARE(f->priceEdit->text(), QStringLiteral("7"));
        QVERIFY(!f->priceEdit->isVisible());   // the norms window looks after the prices
        f->save();
    });
    w.changeOrChoose();
    QVERIFY(!same.stayedOpen);
    QVERIFY(rec.shown.isEmpty());

    // Another product, kind and product kind: written; cena_new and the norms stay; the changed
    // price stays the list's current row wherever it sorts now.
    db.exec(QStringLiteral("update accounts_dep.oper set cena_new=2.5 where id=%1").arg(p.tableAssembly));
    ModalAction moved;
    onModal(moved, [&](QDialog *) {
        PriceDialog *f = w.dialog;
        f->productEdit->setText(QStringLiteral("Тумба 7"));
        f->productId = p.nightstand;
        f->kindEdit->setText(QStringLiteral("Покраска"));
        f->kindId = p.painting;
        f->productKindList->setCurrentIndex(0);
        f->save();
    });
    w.changeOrChoose();
    QVERIFY(!moved.stayedOpen);
    QVERIFY(rec.shown.isEmpty());
    const auto row = db.rows(QStringLiteral("select vid, naimen, i_id, cena_new from accounts_dep.oper where id=%1").arg(p.tableAssembly));
    QCOMPARE(row[0][0].toInt(), p.painting);
    QCOMPARE(row[0][1].toInt(), 0);
    QCOMPARE(row[0][2].toInt(), p.nightstand);
    QCOMPARE(row[0][3].toDouble(), 2.5);
    QCOMPARE(normRows(db, p.tableAssembly), QStringList{QStringLiteral("50/7/0")});
    QCOMPARE(column(module->priceList, "marka"), (QStringList{QStringLiteral("Тумба 7"), QStringLiteral("Шкаф-10")}));
    QCOMPARE(module->priceList->toInt("id"), p.tableAssembly);
    w.finishList();
}

// The operation price goes in, its first norm row is refused: neither is left behind, the user reads
// the server's text after what failed, the dialog stays open as typed, and the next save works.
void TestPrices::addRefusedAtItsFirstNorm()
{
    auto &[db, p, module] = *m_fixture;
    Messages::MessageRecorder rec;
    PriceList w(module.get());
    w.prepareList();
    const QStringList tables{QStringLiteral("accounts_dep.oper"), QStringLiteral("accounts_dep.norm")};
    const QString before = snapshot(db, tables);
    refuseStatements(db, QStringLiteral("accounts_dep.norm"), QStringLiteral("insert"), QStringLiteral("Нормы этого месяца закрыты"));
    QStringList refused;
    QString afterRefusal;
    bool openAfterRefusal = false;
    ModalAction add;
    onModal(add, [&](QDialog *d) {
        PriceDialog *f = w.dialog;
        f->productEdit->setText(QStringLiteral("Тумба 7"));
        f->productId = p.nightstand;
        f->kindEdit->setText(QStringLiteral("Покраска"));
        f->kindId = p.painting;
        f->productKindList->setCurrentIndex(1);
        f->priceEdit->setText(QStringLiteral("7.5"));
        f->saveButton->click();
        refused = rec.errors();
        afterRefusal = snapshot(db, tables);
        openAfterRefusal = d->isVisible();
        QCOMPARE(f->productEdit->text(), QStringLiteral("Тумба 7"));
        QCOMPARE(f->productKindList->currentIndex(), 1);
        QCOMPARE(f->priceEdit->text(), QStringLiteral("7.5"));
        // The program goes on: once the server takes norm rows again, the same save goes through.
        dropRefusal(db, QStringLiteral("accounts_dep.norm"), QStringLiteral("insert"));
        rec.clear();
        f->saveButton->click();
    });
    w.add();
    QVERIFY(add.ran);
    QCOMPARE(refused.size(), 1);
    QVERIFY2(refused[0].startsWith(QStringLiteral("Не удалось сохранить данные.\n")), qPrintable(refused[0]));
    QVERIFY2(refused[0].contains(QStringLiteral("Нормы этого месяца закрыты")), qPrintable(refused[0]));
    QCOMPARE(afterRefusal, before);
    QVERIFY(openAfterRefusal);
    QVERIFY(!add.stayedOpen);
    QVERIFY2(rec.shown.isEmpty(), qPrintable(rec.texts().join(u'|')));
    const auto added = db.rows(QStringLiteral("select id from accounts_dep.oper where vid=%1 and i_id=%2").arg(p.painting).arg(p.nightstand));
    QCOMPARE(added.size(), 1);
    QCOMPARE(normRows(db, added[0][0].toInt()), QStringList{QStringLiteral("0/7.5/0")});
    w.finishList();
}

void TestPrices::priceNumbersCheckedBeforeSending_data()
{
    QTest::addColumn<QString>("minPrice");
    QTest::newRow("30 digits") << QString(30, QLatin1Char('9'));
    QTest::newRow("16 digits before the point") << "1234567890123456";
    QTest::newRow("7 decimals") << "1.1234567";
}

// "min Цена" is told when its column cannot take the number as typed, naming the field, before
// anything is sent.
void TestPrices::priceNumbersCheckedBeforeSending()
{
    auto &[db, p, module] = *m_fixture;
    QFETCH(QString, minPrice);
    Messages::MessageRecorder rec;
    PriceList w(module.get());
    w.prepareList();
    const QStringList tables{QStringLiteral("accounts_dep.oper"), QStringLiteral("accounts_dep.norm")};
    const QString before = snapshot(db, tables);
    QString sent = QStringLiteral("(not run)");
    ModalAction add;
    onModal(add, [&](QDialog *) {
        PriceDialog *f = w.dialog;
        f->productEdit->setText(QStringLiteral("Тумба 7"));
        f->productId = p.nightstand;
        f->kindEdit->setText(QStringLiteral("Покраска"));
        f->kindId = p.painting;
        f->priceEdit->setText(minPrice);
        SentStatementProbe probe(db, *module);
        f->saveButton->click();
        sent = probe.sentSince();
    });
    w.add();
    QVERIFY(add.stayedOpen);
    QCOMPARE(rec.errors().size(), 1);
    QVERIFY2(rec.errors()[0].startsWith(QStringLiteral("Не удалось сохранить данные.\nПоле «min Цена»: ")), qPrintable(rec.errors()[0]));
    QCOMPARE(sent, QString());
    QCOMPARE(snapshot(db, tables), before);
    w.finishList();
}

void TestPrices::changeOverAnotherWorkstation_data()
{
    QTest::addColumn<bool>("deleted");
    QTest::newRow("changed there") << false;
    QTest::newRow("deleted there") << true;
}

// Workstation B opens an operation price for change; workstation A changes or deletes it
// meanwhile; B's save is refused with the reason, writes nothing, and B's dialog stays open.
void TestPrices::changeOverAnotherWorkstation()
{
    auto &[db, p, module] = *m_fixture;
    QFETCH(bool, deleted);
    auto moduleA = db.connectModule();
    Messages::MessageRecorder rec;
    PriceList b(module.get());
    b.prepareList();
    QVERIFY(module->priceList->locate("id", p.tableAssembly));
    const QStringList tables{QStringLiteral("accounts_dep.oper"), QStringLiteral("accounts_dep.norm")};
    QString afterA;
    ModalAction change;
    onModal(change, [&](QDialog *) {
        if (deleted) {
            moduleA->priceDelete.setParam(QStringLiteral("id"), p.tableAssembly);
            moduleA->priceDelete.execute(PriceStatements::deletion());
        } else {
            moduleA->priceList->open();
            QVERIFY(moduleA->priceList->locate("id", p.tableAssembly));
            PriceDialog a(moduleA.get());
            a.openMode = 2;
            a.version = RowVersion::read(*moduleA, QStringLiteral("accounts_dep.oper"), p.tableAssembly);
            a.productEdit->setText(QStringLiteral("Тумба 7"));
            a.productId = p.nightstand;
            a.kindEdit->setText(QStringLiteral("Сборка"));
            a.kindId = p.assembly;
            a.productKindList->setCurrentIndex(1);
            a.saveButton->click();
            QCOMPARE(a.result(), int(QDialog::Accepted));
        }
        afterA = snapshot(db, tables);
        b.dialog->productKindList->setCurrentIndex(0);
        b.dialog->saveButton->click();
    });
    b.changeOrChoose();
    QVERIFY(change.stayedOpen);
    QCOMPARE(rec.errors(), QStringList{QStringLiteral("Не удалось сохранить данные.\n")
                                       + (deleted ? RowVersion::deletedText() : RowVersion::changedText())});
    QCOMPARE(snapshot(db, tables), afterA);
    QCOMPARE(b.dialog->productKindList->currentIndex(), 0);
    QCOMPARE(db.scalar(QStringLiteral("select vid || '/' || naimen || '/' || i_id from accounts_dep.oper where id=%1").arg(p.tableAssembly)).toString(),
             deleted ? QString() : QStringLiteral("%1/1/%2").arg(p.assembly).arg(p.nightstand));
    b.finishList();
}

void TestPrices::deletion()
{
    auto &[db, p, module] = *m_fixture;
    const int worker = db.addWorker(QStringLiteral("Иванов И.И."));
    db.addRecord(worker, p.cabinet, p.cabinetAssembly, QDate::currentDate(), 1, 5, 0, 10, 8);
    Messages::MessageRecorder rec;
    PriceList w(module.get());
    w.prepareList();
    QVERIFY(module->priceList->locate("id", p.cabinetAssembly));

    rec.answers = {false};
    w.remove();
    QCOMPARE(rec.texts(), QStringList{QStringLiteral("Удалить операцию?")});
    QCOMPARE(rec.shown[0].kind, Messages::Shown::Question);
    QCOMPARE(rec.shown[0].title, QStringLiteral("Удаление"));
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from accounts_dep.oper where id=%1").arg(p.cabinetAssembly)).toInt(), 1);
    QCOMPARE(module->priceList->toInt("id"), p.cabinetAssembly);

    rec.answers = {true};
    w.remove();
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from accounts_dep.oper where id=%1").arg(p.cabinetAssembly)).toInt(), 0);
    // Its norms and the records that refer to it are left as they are.
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from accounts_dep.norm where o_id=%1").arg(p.cabinetAssembly)).toInt(), 2);
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from accounts_dep.smena where o_id=%1").arg(p.cabinetAssembly)).toInt(), 1);
    QCOMPARE(module->priceList->recordCount(), 1);
    QCOMPARE(module->priceList->recNo(), 1);
    w.finishList();
}

void TestPrices::search()
{
    auto &[db, p, module] = *m_fixture;
    const int other = db.addProduct(QStringLiteral("Малый шкаф"));
    const int otherPrice = db.addPrice(p.assembly, other);
    db.addNorm(otherPrice, 3);
    PriceList w(module.get());
    w.show();
    w.prepareList();
    DataSet *oper = module->priceList;
    QCOMPARE(oper->recordCount(), 3);

    // Anywhere in the mark, whatever the letter case.
    typeText(w.searchEdit, QStringLiteral("шкаф"));
    QCOMPARE(column(oper, "marka"), (QStringList{QStringLiteral("Малый шкаф"), QStringLiteral("Шкаф-10")}));
    QTest::keyClick(w.searchEdit, Qt::Key_Down);
    QCOMPARE(oper->toInt("id"), p.cabinetAssembly);
    QTest::keyClick(w.searchEdit, Qt::Key_Up);
    QCOMPARE(oper->toInt("id"), otherPrice);
    // Keys that type nothing are swallowed; Backspace edits.
    QTest::keyClick(w.searchEdit, Qt::Key_Home);
    QTest::keyClick(w.searchEdit, Qt::Key_Delete);
    QCOMPARE(w.searchEdit->text(), QStringLiteral("шкаф"));
    QTest::keyClick(w.searchEdit, Qt::Key_Backspace);
    QCOMPARE(w.searchEdit->text(), QStringLiteral("шка"));
    typeText(w.searchEdit, QStringLiteral("ф-1"));
    QCOMPARE(column(oper, "marka"), QStringList{QStringLiteral("Шкаф-10")});
    typeText(w.searchEdit, QStringLiteral("2"));
    QVERIFY(oper->isEmpty());

    // Blanks alone switch the filter off.
    w.searchEdit->setText(QStringLiteral("   "));
    QCOMPARE(oper->recordCount(), 3);
    w.searchEdit->clear();
    QCOMPARE(oper->recordCount(), 3);
    w.finishList();
}

void TestPrices::doubleClick_data()
{
    QTest::addColumn<bool>("picker");
    QTest::addColumn<bool>("ticked");
    QTest::addColumn<QString>("opens");     // empty: nothing opens, the row is chosen
    QTest::newRow("list, Цены ticked: norms") << false << true << "TForm22";
    QTest::newRow("list, not ticked: change") << false << false << "TForm10";
    QTest::newRow("picker, ticked: choose") << true << true << "";
    QTest::newRow("picker, not ticked: choose") << true << false << "";
}

void TestPrices::doubleClick()
{
    QFETCH(bool, picker);
    QFETCH(bool, ticked);
    QFETCH(QString, opens);
    auto &[_db, p, module] = *m_fixture;
    PriceList w(module.get());
    Receiver<OperationPriceChoice> receiver;
    if (picker)
        w.preparePicker(&receiver, 1, 0);
    else
        w.prepareList();
    w.pricesBox->setChecked(ticked);
    QVERIFY(module->priceList->locate("id", p.cabinetAssembly));
    ModalAction modal;
    onModal(modal, [&](QDialog *d) {
        if (d == w.normsWindow)
            QCOMPARE(w.normsWindow->table->rowCount(), 3);   // the two norms of the row and the new row
        d->reject();
    });
    w.rowDoubleClicked();
    QCoreApplication::processEvents();
    QCOMPARE(modal.window, opens);
    if (opens == QLatin1String("TForm22"))
        QCOMPARE(w.normsWindow->table->priceId(), p.cabinetAssembly);
    QCOMPARE(receiver.taken.size(), picker ? 1 : 0);
    if (picker) {
        QCOMPARE(receiver.taken[0].id, p.cabinetAssembly);
        w.finishPicker();
    } else {
        w.finishList();
    }
}

void TestPrices::pickerUnitPrice_data()
{
    QTest::addColumn<bool>("dayOff");
    QTest::addColumn<int>("mode");
    QTest::addColumn<double>("unitPrice");
    // The lowest norm price of the picked row is 10.
    QTest::newRow("shift 1") << false << 1 << 10.0;
    QTest::newRow("shift 2") << false << 2 << 10.0;
    QTest::newRow("shift 3") << false << 3 << 12.0;
    QTest::newRow("overtime") << false << 4 << 15.0;
    QTest::newRow("day off, shift 1") << true << 1 << 20.0;
    QTest::newRow("day off, shift 3") << true << 3 << 24.0;
    QTest::newRow("day off, overtime") << true << 4 << 30.0;
}

void TestPrices::pickerUnitPrice()
{
    QFETCH(bool, dayOff);
    QFETCH(int, mode);
    QFETCH(double, unitPrice);
    auto &[_db, p, module] = *m_fixture;
    PriceList w(module.get());
    Receiver<OperationPriceChoice> receiver;
    // The record dialog hands over its journal's day off and mode.
    w.preparePicker(&receiver, 2, p.cabinetAssembly, PriceRules::PieceSurcharges{dayOff, mode});
    w.changeOrChoose();
    w.finishPicker();
    QCOMPARE(receiver.taken.size(), 1);
    QCOMPARE(receiver.taken[0].basePrice, 10.0);
    QVERIFY2(qFuzzyCompare(receiver.taken[0].unitPrice, unitPrice), qPrintable(QString::number(receiver.taken[0].unitPrice)));
}

void TestPrices::pickerPositionsAndHandsBack()
{
    auto &[db, p, module] = *m_fixture;
    // The mark is read from the products, blanks removed.
    db.exec(QStringLiteral("update cmn_gds_and_srv.gds_and_srv set s_caption='Шкаф-10   ' where id=%1").arg(p.cabinet));
    JournalWindow main(module.get());
    PriceList w(module.get());
    DataSet *oper = module->priceList;
    Receiver<OperationPriceChoice> receiver;

    // Changing a record: the list starts on the record's operation price.
    ModalAction pick;
    onModal(pick, [&](QDialog *) {
        QCOMPARE(w.openMode, 1);
        QCOMPARE(oper->toInt("id"), p.cabinetAssembly);
        QCOMPARE(w.changeButton->text(), QStringLiteral("Выбрать"));
        QVERIFY(w.changeButton->isDefault());
        QVERIFY(!w.addButton->isVisible());
        QVERIFY(!w.deleteButton->isVisible());
        QVERIFY(w.searchEdit->isVisible());
        QCOMPARE(w.focusWidget(), static_cast<QWidget *>(w.searchEdit));
        typeText(w.searchEdit, QStringLiteral("ШКАФ"));
        QCOMPARE(oper->recordCount(), 1);
        QTest::keyClick(w.searchEdit, Qt::Key_Return);   // "Выбрать" is the default button
    });
    w.showPicker(&receiver, 2, p.cabinetAssembly);
    QVERIFY(!pick.stayedOpen);
    QCOMPARE(receiver.taken.size(), 1);
    const OperationPriceChoice c = receiver.taken[0];
    QCOMPARE(c.id, p.cabinetAssembly);
    QCOMPARE(c.productId, qint64(p.cabinet));
    QCOMPARE(c.naimen, 0);
    QCOMPARE(c.description, QStringLiteral("Шкаф-10; Сборка; Готовая продукция"));
    QCOMPARE(c.basePrice, 10.0);
    QCOMPARE(c.unitPrice, 10.0);
    // Afterwards: no default button, no search box, no filter, priceList open on the chosen row.
    QVERIFY(!w.changeButton->isDefault());
    QVERIFY(!w.searchEdit->isVisibleTo(&w));
    QVERIFY(oper->isOpen());
    QVERIFY(!oper->isFiltered());
    QCOMPARE(oper->recordCount(), 2);
    QCOMPARE(oper->toInt("id"), p.cabinetAssembly);

    // Adding a record: the first row; blanks as product kind text; the list opened from the menu
    // afterwards has no search box.
    ModalAction first;
    onModal(first, [&](QDialog *) {
        QCOMPARE(oper->recNo(), 1);
        QCOMPARE(w.searchEdit->text(), QString());
        w.rowDoubleClicked();
    });
    w.showPicker(&receiver, 1, p.cabinetAssembly);
    QCOMPARE(receiver.taken.size(), 2);
    QCOMPARE(receiver.taken[1].id, p.tableAssembly);
    QCOMPARE(receiver.taken[1].description, QStringLiteral("Стол-5; Сборка; Заготовки"));
    QCOMPARE(receiver.taken[1].basePrice, 7.0);
    w.prepareList();
    QVERIFY(!w.searchEdit->isVisibleTo(&w));
    QCOMPARE(w.changeButton->text(), QStringLiteral("Изменить"));
    w.finishList();

    // Closed without a choice: nothing handed back.
    ModalAction leave;
    onModal(leave, [&](QDialog *) { w.exitButton->click(); });
    w.showPicker(&receiver, 1, 0);
    QVERIFY(leave.ran);
    QCOMPARE(receiver.taken.size(), 2);
}

void TestPrices::normsEdits()
{
    auto &[db, p, module] = *m_fixture;
    Messages::MessageRecorder rec;
    PriceList list(module.get());
    list.prepareList();
    QVERIFY(module->priceList->locate("id", p.cabinetAssembly));
    QCOMPARE(module->priceList->recNo(), 2);
    NormsWindow &w = *list.normsWindow;
    w.prepare(p.cabinetAssembly);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));

    // Sorted by norm; the prices as "#0.00#"; the new row below.
    QCOMPARE(w.table->rowCount(), 3);
    QCOMPARE(w.table->data(w.table->index(0, 1), Qt::DisplayRole).toString(), QStringLiteral("12,50"));
    QCOMPARE(w.table->data(w.table->index(1, 1), Qt::DisplayRole).toString(), QStringLiteral("10,00"));
    QCOMPARE(w.table->headerData(0, Qt::Vertical, Qt::DisplayRole).toString(), QStringLiteral("▶"));
    QCOMPARE(w.table->headerData(2, Qt::Vertical, Qt::DisplayRole).toString(), QStringLiteral("*"));

    // A price typed and the cell left: the row is written at once.
    typeInCell(w, 0, 1, QStringLiteral("9,75"));
    QCOMPARE(normRows(db, p.cabinetAssembly), (QStringList{QStringLiteral("100/9.75/0"), QStringLiteral("200/10/0")}));
    QVERIFY(!w.table->hasChanges());
    QCOMPARE(w.grid->currentIndex(), w.table->index(0, 2));

    // A norm typed in the new row: a new norm row of the opened price, sorted in; the editing
    // goes on in the next cell of that row.
    typeInCell(w, 2, 0, QStringLiteral("50"));
    QCOMPARE(normRows(db, p.cabinetAssembly),
             (QStringList{QStringLiteral("50/-/-"), QStringLiteral("100/9.75/0"), QStringLiteral("200/10/0")}));
    QCOMPARE(w.grid->currentIndex(), w.table->index(0, 1));
    QVERIFY(openEditor(w.grid));
    QLineEdit *editor = openEditor(w.grid);
    typeText(editor, QStringLiteral("8.5"));
    QTest::keyClick(editor, Qt::Key_Tab);
    QCoreApplication::processEvents();
    QCOMPARE(normRows(db, p.cabinetAssembly),
             (QStringList{QStringLiteral("50/8.5/-"), QStringLiteral("100/9.75/0"), QStringLiteral("200/10/0")}));
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from accounts_dep.norm where o_id is null or o_id not in (%1, %2, 7777, 7778)")
                           .arg(p.cabinetAssembly).arg(p.tableAssembly)).toInt(), 0);
    w.commitEdit();

    // Delete with several rows: the current row goes.
    w.grid->setCurrentIndex(w.table->index(2, 0));
    w.deleteRow();
    QCOMPARE(normRows(db, p.cabinetAssembly), (QStringList{QStringLiteral("50/8.5/-"), QStringLiteral("100/9.75/0")}));
    QVERIFY(rec.shown.isEmpty());

    // "Сохранить" writes a pending edit, refreshes the list and keeps its row, with the new
    // lowest price and count.
    w.grid->setCurrentIndex(w.table->index(1, 2));
    w.grid->edit(w.table->index(1, 2));
    typeText(openEditor(w.grid), QStringLiteral("5"));
    module->priceList->first();
    QVERIFY(module->priceList->locate("id", p.cabinetAssembly));
    w.saveButton->click();
    QVERIFY(rec.shown.isEmpty());
    QVERIFY(!w.isVisible());
    QCOMPARE(normRows(db, p.cabinetAssembly), (QStringList{QStringLiteral("50/8.5/-"), QStringLiteral("100/9.75/5")}));
    QCOMPARE(module->priceList->toInt("id"), p.cabinetAssembly);
    QCOMPARE(module->priceList->recNo(), 2);
    QCOMPARE(module->priceList->text("norma"), QStringLiteral("2"));
    QCOMPARE(QLocale::c().toDouble(module->priceList->text("cena")), 8.5);
    list.finishList();
}

void TestPrices::normsRefusedValue()
{
    auto &[db, p, module] = *m_fixture;
    db.exec(QStringLiteral("create function refuse_negative() returns trigger language plpgsql as $$ "
                           "begin if new.price < 0 then raise exception 'Цена не может быть отрицательной'; end if; return new; end $$"));
    db.exec(QStringLiteral("create trigger refuse_negative before insert or update on accounts_dep.norm "
                           "for each row execute function refuse_negative()"));
    Messages::MessageRecorder rec;
    NormsWindow w(module.get());
    w.prepare(p.cabinetAssembly);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));

    typeInCell(w, 1, 1, QStringLiteral("-4"));
    QCOMPARE(rec.errors().size(), 1);
    QVERIFY2(rec.errors()[0].contains(QStringLiteral("Цена не может быть отрицательной")), qPrintable(rec.errors()[0]));
    QVERIFY2(rec.errors()[0].startsWith(QStringLiteral("Не удалось записать норму.\n")), qPrintable(rec.errors()[0]));
    // The row stays in editing: its value shown, the cell current again, nothing written.
    QVERIFY(w.table->hasChanges());
    QCOMPARE(w.grid->currentIndex(), w.table->index(1, 1));
    QCOMPARE(w.table->data(w.table->index(1, 1), Qt::DisplayRole).toString(), QStringLiteral("-4,00"));
    QCOMPARE(w.table->headerData(1, Qt::Vertical, Qt::DisplayRole).toString(), QStringLiteral("I"));
    QCOMPARE(normRows(db, p.cabinetAssembly), (QStringList{QStringLiteral("100/12.5/0"), QStringLiteral("200/10/0")}));

    // "Сохранить" does not close over a refused row.
    rec.clear();
    w.commitEdit();
    w.saveButton->click();
    QCOMPARE(rec.errors().size(), 1);
    QVERIFY(w.isVisible());

    // Corrected, it is written when the cell is left.
    rec.clear();
    typeInCell(w, 1, 1, QStringLiteral("11"));
    QVERIFY(rec.shown.isEmpty());
    QCOMPARE(normRows(db, p.cabinetAssembly), (QStringList{QStringLiteral("100/12.5/0"), QStringLiteral("200/11/0")}));

    // Letters never get into a cell.
    w.grid->setCurrentIndex(w.table->index(0, 0));
    w.grid->edit(w.table->index(0, 0));
    QLineEdit *editor = openEditor(w.grid);
    editor->selectAll();
    editor->del();
    typeText(editor, QStringLiteral("1а2;3"));
    QCOMPARE(editor->text(), QStringLiteral("123"));
    w.commitEdit();
    QVERIFY(w.table->hasChanges());
    w.close();
}

void TestPrices::normsLastRowAndCloseBox()
{
    auto &[db, p, module] = *m_fixture;
    Messages::MessageRecorder rec;
    PriceList list(module.get());
    list.prepareList();
    QVERIFY(module->priceList->locate("id", p.tableAssembly));
    NormsWindow &w = *list.normsWindow;
    w.prepare(p.tableAssembly);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));

    // The only norm row stays, and nothing is said.
    w.deleteRow();
    QCOMPARE(normRows(db, p.tableAssembly), QStringList{QStringLiteral("50/7/0")});
    QVERIFY(rec.shown.isEmpty());
    QCOMPARE(w.table->rowCount(), 2);

    // A new row typed but dropped by "Удалить" is not written.
    w.grid->setCurrentIndex(w.table->index(1, 0));
    w.grid->edit(w.table->index(1, 0));
    typeText(openEditor(w.grid), QStringLiteral("70"));
    w.deleteRow();
    QVERIFY(!w.table->hasChanges());
    QCOMPARE(normRows(db, p.tableAssembly), QStringList{QStringLiteral("50/7/0")});

    // A change still in its cell is not written by the close box, and the list is not refreshed.
    db.exec(QStringLiteral("insert into accounts_dep.norm(o_id, norma, prize, price) values (%1, 90, 0, 1)").arg(p.tableAssembly));
    w.grid->setCurrentIndex(w.table->index(0, 1));
    w.grid->edit(w.table->index(0, 1));
    typeText(openEditor(w.grid), QStringLiteral("3"));
    w.close();
    QVERIFY(!w.isVisible());
    QCoreApplication::processEvents();
    QCOMPARE(normRows(db, p.tableAssembly), (QStringList{QStringLiteral("50/7/0"), QStringLiteral("90/1/0")}));
    QCOMPARE(module->priceList->text("norma"), QStringLiteral("1"));

    // Esc acts on "Сохранить": the list shows the row written elsewhere.
    w.prepare(p.tableAssembly);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QCOMPARE(w.table->rowCount(), 3);
    QTest::keyClick(w.grid, Qt::Key_Escape);
    QVERIFY(!w.isVisible());
    QCOMPARE(module->priceList->toInt("id"), p.tableAssembly);
    QCOMPARE(module->priceList->text("norma"), QStringLiteral("2"));
    QVERIFY(rec.shown.isEmpty());
    list.finishList();
}

void TestPrices::normChangedOnAnotherWorkstation_data()
{
    QTest::addColumn<bool>("deleted");
    QTest::newRow("changed there") << false;
    QTest::newRow("deleted there") << true;
}

// Workstation B has read the norm rows; workstation A, in its own norms window, changes or deletes
// one of them. B's edit of that row is refused when B leaves the cell, with the reason, and what A
// wrote stays.
void TestPrices::normChangedOnAnotherWorkstation()
{
    auto &[db, p, module] = *m_fixture;
    QFETCH(bool, deleted);
    auto moduleA = db.connectModule();
    Messages::MessageRecorder rec;
    NormsWindow b(module.get());
    b.prepare(p.cabinetAssembly);
    b.show();
    QVERIFY(QTest::qWaitForWindowExposed(&b));

    NormsWindow a(moduleA.get());
    a.prepare(p.cabinetAssembly);
    a.show();
    QVERIFY(QTest::qWaitForWindowExposed(&a));
    if (deleted) {
        a.grid->setCurrentIndex(a.table->index(1, 0));
        a.deleteRow();
    } else {
        typeInCell(a, 1, 1, QStringLiteral("11"));
    }
    a.close();
    QVERIFY(rec.shown.isEmpty());
    const QString afterA = snapshot(db, {QStringLiteral("accounts_dep.norm")});
    QCOMPARE(normRows(db, p.cabinetAssembly),
             deleted ? QStringList{QStringLiteral("100/12.5/0")} : (QStringList{QStringLiteral("100/12.5/0"), QStringLiteral("200/11/0")}));

    typeInCell(b, 1, 1, QStringLiteral("9"));
    QCOMPARE(rec.errors().size(), 1);
    QVERIFY2(rec.errors()[0].endsWith(deleted ? RowVersion::deletedText() : RowVersion::changedText()), qPrintable(rec.errors()[0]));
    QCOMPARE(snapshot(db, {QStringLiteral("accounts_dep.norm")}), afterA);
    // B's edit stays in its window, not written.
    QVERIFY(b.table->hasChanges());
    QCOMPARE(b.grid->currentIndex(), b.table->index(1, 1));
    b.close();
}

void TestPrices::normNumbersCheckedBeforeSending_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("field");
    QTest::newRow("norm of a stored row") << 0 << 0 << "2147483648" << "Норматив";
    QTest::newRow("bonus of a stored row") << 1 << 2 << "2147483648" << "Премия, %";
    QTest::newRow("norm below the range") << 0 << 0 << "-2147483649" << "Норматив";
    QTest::newRow("norm of the new row") << 2 << 0 << "2147483648" << "Норматив";
}

// Norms and bonuses go into int columns: a number they cannot hold is told, naming the column,
// and nothing is sent.
void TestPrices::normNumbersCheckedBeforeSending()
{
    auto &[db, p, module] = *m_fixture;
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(QString, typed);
    QFETCH(QString, field);
    Messages::MessageRecorder rec;
    NormsWindow w(module.get());
    w.prepare(p.cabinetAssembly);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    const QVariant shown = w.table->value(row, column);
    const QString before = snapshot(db, {QStringLiteral("accounts_dep.norm")});
    SentStatementProbe probe(db, *module);
    typeInCell(w, row, column, typed);
    QCOMPARE(rec.errors().size(), 1);
    QVERIFY2(rec.errors()[0].contains(QStringLiteral("Поле «%1»").arg(field)), qPrintable(rec.errors()[0]));
    QCOMPARE(probe.sentSince(), QString());
    QCOMPARE(snapshot(db, {QStringLiteral("accounts_dep.norm")}), before);
    QVERIFY(!w.table->hasChanges());
    QCOMPARE(w.table->value(row, column), shown);
    w.close();
}

void TestPrices::normPriceText_data()
{
    QTest::addColumn<double>("price");
    QTest::addColumn<QString>("text");
    QTest::newRow("whole") << 10.0 << "10,00";
    QTest::newRow("one decimal") << 12.5 << "12,50";
    QTest::newRow("three decimals") << 0.125 << "0,125";
    QTest::newRow("more decimals") << 3.14159 << "3,142";
    QTest::newRow("zero") << 0.0 << "0,00";
}

void TestPrices::normPriceText()
{
    QFETCH(double, price);
    QFETCH(QString, text);
    QCOMPARE(NormTable::PriceText(price), text);
}

void TestPrices::exportWorkbook()
{
    auto &[_db, _p, module] = *m_fixture;
    QTemporaryDir folder;
    SpreadsheetWriter::setFolder(folder.path());
    FakeSpreadsheet app;
    Messages::MessageRecorder rec;
    PriceList w(module.get());
    w.prepareList();
    w.exportWorkbook();
    QVERIFY(rec.shown.isEmpty());
    QCOMPARE(app.opened.size(), 1);
    // Through the run's shared writer, under its own name.
    QCOMPARE(SharedSpreadsheetWriter().savedFile(), app.opened[0]);
    QCOMPARE(SharedSpreadsheetWriter().exportName(), QStringLiteral("Цены"));
    QVERIFY(QFileInfo(app.opened[0]).fileName().startsWith(QStringLiteral("Цены")));
    const QList<QStringList> rows = readWorkbook(app.opened[0]).rowTexts();
    // Every operation price, with or without norms; the price is cena_new, written as a number.
    QCOMPARE(rows.size(), 4);
    QCOMPARE(rows[0], (QStringList{QStringLiteral("Марка"), QStringLiteral("Операция"), QStringLiteral("Цена"), QStringLiteral("Вид")}));
    QCOMPARE(rows[1], (QStringList{QStringLiteral("Стол-5"), QStringLiteral("Сборка"), QStringLiteral("#0"), QStringLiteral("Заготовки")}));
    QCOMPARE(rows[2], (QStringList{QStringLiteral("Шкаф-10"), QStringLiteral("Покраска"), QStringLiteral("#3"), QStringLiteral("Готовая продукция")}));
    QCOMPARE(rows[3], (QStringList{QStringLiteral("Шкаф-10"), QStringLiteral("Сборка"), QStringLiteral("#12.34"), QStringLiteral("Готовая продукция")}));
    QVERIFY(!w.exportQuery->isOpen());
    QVERIFY(!QApplication::overrideCursor());
    w.finishList();
    SpreadsheetWriter::setFolder(QString());
}

void TestPrices::exportWithoutSpreadsheet()
{
    auto &[_db, _p, module] = *m_fixture;
    QTemporaryDir folder;
    SpreadsheetWriter::setFolder(folder.path());
    FakeSpreadsheet app;
    app.available = false;
    Messages::MessageRecorder rec;
    PriceList w(module.get());
    w.exportWorkbook();
    // The workbook is written all the same; the message says so first, then where it is, and
    // offers its folder.
    QVERIFY(app.opened.isEmpty());
    const QStringList files = QDir(folder.path()).entryList({QStringLiteral("Цены*.xlsx")}, QDir::Files);
    QCOMPARE(files.size(), 1);
    const QString path = QDir(folder.path()).filePath(files[0]);
    const QList<QStringList> rows = readWorkbook(path).rowTexts();
    QCOMPARE(rows.size(), 4);
    QCOMPARE(rows[3], (QStringList{QStringLiteral("Шкаф-10"), QStringLiteral("Сборка"), QStringLiteral("#12.34"), QStringLiteral("Готовая продукция")}));
    QCOMPARE(rec.errors(), QStringList{QStringLiteral("Невозможно открыть Microsoft Excel.\nКнига сохранена в файле %1")
                                           .arg(QDir::toNativeSeparators(path))});
    QCOMPARE(rec.shown[0].folder, folder.path());
    QVERIFY(!QApplication::overrideCursor());
    QVERIFY(!w.exportQuery->isOpen());
    SpreadsheetWriter::setFolder(QString());
}

// The real box behind the message: its button opens the workbook's folder through the desktop.
void TestPrices::folderButtonOpensTheFolder()
{
    QTemporaryDir bin;
    QFile opener(bin.filePath(QStringLiteral("xdg-open")));
    QVERIFY(opener.open(QIODevice::WriteOnly));
    opener.write("#!/bin/sh\nexit 0\n");
    opener.close();
    opener.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    const QByteArray path = qgetenv("PATH");
    const auto restore = qScopeGuard([&] {
        qputenv("PATH", path);
        Messages::setPresenter(nullptr);
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    });
    FolderOpened opened;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &opened, "open");
    installMessageBoxes();

    const auto showBox = [&](bool press) {
        ModalAction box;
        onModal(box, [&](QDialog *d) {
            QCOMPARE(d->windowTitle(), QStringLiteral("Ошибка"));
            auto *button = d->findChild<QPushButton *>(QStringLiteral("OpenFolder"));
            QVERIFY(button);
            QCOMPARE(button->text(), QStringLiteral("Открыть папку"));
            auto *ok = qobject_cast<QMessageBox *>(d)->button(QMessageBox::Ok);
            (press ? button : ok)->click();
        });
        Messages::errorWithFolder(QStringLiteral("Невозможно открыть Microsoft Excel.\nКнига сохранена в файле /tmp/Табель/Цены.xlsx"),
                                  QStringLiteral("/tmp/Табель"));
        QVERIFY(box.ran);
        QVERIFY(!box.stayedOpen);
    };
    qputenv("PATH", QFile::encodeName(bin.path()));
    showBox(false);
    QVERIFY(opened.urls.isEmpty());
    showBox(true);
    QCOMPARE(opened.urls, QList<QUrl>{QUrl::fromLocalFile(QStringLiteral("/tmp/Табель"))});

    // A desktop that cannot open folders gets the plain box.
    qputenv("PATH", QFile::encodeName(bin.path() + QStringLiteral("/none")));
    ModalAction plain;
    onModal(plain, [&](QDialog *d) {
        QVERIFY(!d->findChild<QPushButton *>(QStringLiteral("OpenFolder")));
        qobject_cast<QMessageBox *>(d)->button(QMessageBox::Ok)->click();
    });
    Messages::errorWithFolder(QStringLiteral("Невозможно открыть Microsoft Excel."), QStringLiteral("/tmp/Табель"));
    QVERIFY(plain.ran);
    QCOMPARE(opened.urls.size(), 1);
}

void TestPrices::menuOpensPrices()
{
    auto &[_db, _p, module] = *m_fixture;
    Messages::MessageRecorder rec;
    JournalWindow main(module.get());
    // The menu's list is the run's window, over the module the main window was given.
    QCOMPARE(Windows::module(), module.get());
    ModalAction open;
    onModal(open, [&](QDialog *d) {
        QCOMPARE(d->objectName(), QStringLiteral("TForm4"));
        auto *list = qobject_cast<PriceList *>(d);
        QVERIFY(list);
        QCOMPARE(list->openMode, 0);
        QVERIFY(module->priceList->isOpen());
        QCOMPARE(module->priceList->recordCount(), 2);
        list->exitButton->click();
    });
    main.findChild<QAction *>(QStringLiteral("MenuPrices"))->trigger();
    QVERIFY(open.ran);
    QVERIFY(!open.stayedOpen);
    QVERIFY(rec.shown.isEmpty());
    QVERIFY(!module->priceList->isOpen());
}

QTEST_MAIN(TestPrices)
#include "test_prices.moc"
