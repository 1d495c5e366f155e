// Operation prices and their norms against the real server: the price list in list mode and as
// the production record dialog's picker, the price dialog with its pickers, the norms window
// edited in place, and the export read back from the saved workbook.

#include "app/data_grid.h"
#include "app/data_module.h"
#include "app/main_window.h"
#include "app/message_boxes.h"
#include "app/messages.h"
#include "app/row_version.h"
#include "app/startup.h"
#include "app/windows.h"
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
#include "app/control_look.h"
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
    std::unique_ptr<TDataModule6> module = db.connectModule();
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
void typeInCell(TForm22 &w, int row, int column, const QString &text)
{
    const QModelIndex idx = w.norm->index(row, column);
    w.DBGrid1->setCurrentIndex(idx);
    QCoreApplication::processEvents();
    w.DBGrid1->edit(idx);
    QLineEdit *editor = openEditor(w.DBGrid1);
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
    TForm4 w(module.get());
    QCOMPARE(w.windowTitle(), QStringLiteral("Операции"));
    auto *model = w.DBGrid1->dataModel();
    QStringList shown;
    QList<int> widths;
    for (int i = 0; i < model->columnCount(); ++i) {
        if (w.DBGrid1->isColumnHidden(i))
            continue;
        shown << model->headerData(i, Qt::Horizontal, Qt::DisplayRole).toString();
        widths << w.DBGrid1->columnWidth(i);
    }
    QCOMPARE(shown, (QStringList{QStringLiteral("Марка"), QStringLiteral("Опреция"), QStringLiteral("Цена (min)"),
                                 QStringLiteral("Вид"), QStringLiteral("Нормы (шт.)")}));
    QCOMPARE(widths.mid(1), (QList<int>{243, 74, 139, 76}));
    for (const char *hidden : {"id", "i_id", "oper_vid"})
        QVERIFY(w.DBGrid1->isColumnHidden(w.DBGrid1->columnOf(QLatin1String(hidden))));
    QCOMPARE(w.Button1->text(), QStringLiteral("Добавить"));
    QCOMPARE(w.Button3->text(), QStringLiteral("Удалить"));
    QCOMPARE(w.Button4->text(), QStringLiteral("Выход"));
    QCOMPARE(w.Button5->text(), QStringLiteral("Excel"));
    QCOMPARE(w.CheckBox1->text(), QStringLiteral("Цены"));
    QVERIFY(!w.CheckBox1->isChecked());
    QVERIFY(w.Button1->isDefault());
    // The search box is there from the start.
    QVERIFY(w.Edit1->isVisibleTo(&w));

    TForm10 *d = w.Form10;
    QCOMPARE(d->findChild<QGroupBox *>()->title(), QStringLiteral("Цена операции"));
    QVERIFY(d->Edit1->isReadOnly());
    QCOMPARE(d->Edit1->focusPolicy(), Qt::NoFocus);
    QVERIFY(d->Edit2->isReadOnly());
    QCOMPARE(d->Edit2->focusPolicy(), Qt::NoFocus);
    QCOMPARE(d->ComboBox1->count(), 2);
    QCOMPARE(d->ComboBox1->itemText(0), QStringLiteral("Готовая продукция"));
    QCOMPARE(d->ComboBox1->itemText(1), QStringLiteral("Заготовки"));
    QCOMPARE(d->Button1->text(), QStringLiteral("Записать"));
    QVERIFY(d->Button1->isDefault());
    QCOMPARE(d->Button2->text(), QStringLiteral("Отмена"));
    QCOMPARE(d->Button3->text(), QStringLiteral("..."));
    QCOMPARE(d->Button4->text(), QStringLiteral("..."));
    QCOMPARE(d->Label3->text(), QStringLiteral("min Цена"));
    QStringList labels;
    for (QLabel *l : d->findChildren<QLabel *>())
        labels << l->text();
    for (const QString &l : {QStringLiteral("Марка изделия"), QStringLiteral("Операция"), QStringLiteral("Вид")})
        QVERIFY2(labels.contains(l), qPrintable(l));

    TForm22 *n = w.Form22;
    QCOMPARE(n->windowTitle(), QStringLiteral("Норматив"));
    QCOMPARE(n->norm->headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("Норматив"));
    QCOMPARE(n->norm->headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("Цена"));
    QCOMPARE(n->norm->headerData(2, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("Премия, %"));
    QCOMPARE(n->DBGrid1->columnWidth(0), 133);
    QCOMPARE(n->DBGrid1->columnWidth(1), 105);
    QCOMPARE(n->DBGrid1->columnWidth(2), 82);
    QVERIFY(n->DBGrid1->verticalHeader()->isVisible() || !n->DBGrid1->verticalHeader()->isHidden());
    QCOMPARE(n->Button1->text(), QStringLiteral("Сохранить"));
    QVERIFY(n->Button1->isDefault());
    QCOMPARE(n->Button2->text(), QStringLiteral("Удалить"));
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
    TForm4 w(module.get());
    w.PrepareList();
    QVERIFY(module->Oper->locate("id", p.cabinetAssembly));
    const QModelIndex cell = w.DBGrid1->dataModel()->index(module->Oper->recNo() - 1, w.DBGrid1->columnOf("cena"));
    QCOMPARE(cell.data(Qt::DisplayRole).toString(), shown);
    QCOMPARE(Qt::Alignment(cell.data(Qt::TextAlignmentRole).toInt()) & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    w.FinishList();
}

void TestPrices::listFitsScreen_data()
{
    addWorkstationScreens();
}

void TestPrices::listFitsScreen()
{
    QFETCH(QRect, available);
    auto &[_db, _p, module] = *m_fixture;
    TForm4 w(module.get());
    w.PrepareList();
    QCOMPARE(w.size(), QSize(860, 520));
    QVERIFY(w.windowFlags() & Qt::WindowMaximizeButtonHint);
    const QStringList hidden = outOfSightWhenOpened(&w, QSize(860, 520), available, QMargins(4, 28, 4, 4));
    QVERIFY2(hidden.isEmpty(), qPrintable(hidden.join(QLatin1Char('\n'))));
    // It fits as designed; a larger window widens the text columns only.
    QCOMPARE(w.DBGrid1->columnWidth(w.DBGrid1->columnOf("vid")), 243);
    w.show();
    w.resize(1060, 520);
    QApplication::processEvents();
    QCOMPARE(w.DBGrid1->columnWidth(w.DBGrid1->columnOf("cena")), 74);
    QVERIFY(w.DBGrid1->columnWidth(w.DBGrid1->columnOf("vid")) > 243);
    w.hide();
    w.FinishList();
}

void TestPrices::listShowsPricesWithNorms()
{
    auto &[_db, p, module] = *m_fixture;
    TForm4 w(module.get());
    w.PrepareList();
    DataSet *oper = module->Oper;
    QVERIFY(oper->isOpen());
    QCOMPARE(w.Button2->text(), QStringLiteral("Изменить"));
    QVERIFY(!w.Button2->isDefault());
    // Only operation prices with norms; ordered by mark.
    QCOMPARE(column(oper, "marka"), (QStringList{QStringLiteral("Стол-5"), QStringLiteral("Шкаф-10")}));
    QCOMPARE(column(oper, "vid"), (QStringList{QStringLiteral("Сборка"), QStringLiteral("Сборка")}));
    QCOMPARE(column(oper, "nmn"), (QStringList{QStringLiteral("Заготовки"), QStringLiteral("Готовая продукция")}));
    QCOMPARE(column(oper, "norma"), (QStringList{"1", "2"}));
    QCOMPARE(w.DBGrid1->dataModel()->displayText(1, "cena"), QStringLiteral("10,00"));
    QCOMPARE(oper->valueAt(1, "id").toInt(), p.cabinetAssembly);
    QCOMPARE(oper->valueAt(1, "i_id").toInt(), p.cabinet);
    QCOMPARE(oper->valueAt(1, "oper_vid").toInt(), p.assembly);
    w.FinishList();
    QVERIFY(!oper->isOpen());
}

void TestPrices::addWithPickers()
{
    auto &[db, p, module] = *m_fixture;
    Messages::MessageRecorder rec;
    TForm1 main(module.get());
    TForm4 w(module.get());
    w.PrepareList();

    ModalAction add, product, kind;
    onModal(add, [&](QDialog *d) {
        TForm10 *f = w.Form10;
        QCOMPARE(d, static_cast<QDialog *>(f));
        QCOMPARE(d->windowTitle(), QStringLiteral("Заведение новой цены за операцию"));
        QCOMPARE(f->Tag, 1);
        QVERIFY(f->Edit1->text().isEmpty());
        QVERIFY(f->Edit2->text().isEmpty());
        QCOMPARE(f->ComboBox1->currentIndex(), 0);
        QVERIFY(f->Edit3->isVisible());
        QVERIFY(f->Edit3->isEnabled());
        QCOMPARE(f->focusWidget(), static_cast<QWidget *>(f->Button3));

        onModal(product, [&](QDialog *list) {
            QCOMPARE(list->objectName(), QStringLiteral("TForm3"));
            QVERIFY(module->Izdel->locate("id", p.nightstand));
            Windows::get<TForm3>()->Button2Click();
        });
        f->Button3Click();
        QCOMPARE(f->Edit1->text(), QStringLiteral("Тумба 7"));
        QCOMPARE(f->ProductId, qint64(p.nightstand));

        onModal(kind, [&](QDialog *list) {
            QCOMPARE(list->objectName(), QStringLiteral("TForm8"));
            QVERIFY(module->Vid_oper->locate("id", p.painting));
            Windows::get<TForm8>()->Button2Click();
        });
        f->Button4Click();
        QCOMPARE(f->Edit2->text(), QStringLiteral("Покраска"));
        QCOMPARE(f->KindId, p.painting);

        f->ComboBox1->setCurrentIndex(1);
        // A comma is entered as a point; letters are refused.
        typeText(f->Edit3, QStringLiteral("7,5ж"));
        QCOMPARE(f->Edit3->text(), QStringLiteral("7.5"));
        f->Button1Click();
    });
    w.Button1Click();
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
    QCOMPARE(module->Oper->recordCount(), 3);
    QCOMPARE(module->Oper->toInt("id"), id);
    QCOMPARE(module->Oper->text("norma"), QStringLiteral("1"));
    QCOMPARE(QLocale::c().toDouble(module->Oper->text("cena")), 7.5);

    // The same product and kind as blanks of another product kind is no duplicate... but the
    // same three again is.
    ModalAction again;
    onModal(again, [&](QDialog *) {
        QCOMPARE(w.Form10->ProductId, qint64(p.nightstand));   // the ids keep their values
        w.Form10->Edit1->setText(QStringLiteral("Тумба 7"));
        w.Form10->Edit2->setText(QStringLiteral("Покраска"));
        w.Form10->ComboBox1->setCurrentIndex(0);
        w.Form10->Edit3->setText(QStringLiteral("8"));
        w.Form10->Button1Click();
    });
    w.Button1Click();
    QVERIFY(!again.stayedOpen);
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from accounts_dep.oper where vid=%1 and i_id=%2").arg(p.painting).arg(p.nightstand)).toInt(), 2);
    w.FinishList();
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
    TForm4 w(module.get());
    w.PrepareList();
    QVERIFY(module->Oper->locate("id", blanks));
    ModalAction save;
    onModal(save, [&](QDialog *) {
        TForm10 *f = w.Form10;
        f->Edit1->setText(product);
        f->ProductId = p.cabinet;
        f->Edit2->setText(kind);
        f->KindId = kind.trimmed() == QStringLiteral("Покраска") ? p.painting : p.assembly;
        f->ComboBox1->setCurrentIndex(naimen);
        f->Edit3->setText(minPrice);
        f->Button1Click();
    });
    if (mode == 1)
        w.Button1Click();
    else
        w.Button2Click();
    QVERIFY(save.stayedOpen);
    QCOMPARE(rec.errors(), QStringList{message});
    QCOMPARE(rec.shown[0].title, QStringLiteral("Ошибка"));
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from accounts_dep.oper")).toInt(), 6);
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from accounts_dep.norm")).toInt(), 6);
    QCOMPARE(db.scalar(QStringLiteral("select naimen from accounts_dep.oper where id=%1").arg(blanks)).toInt(), 1);
    w.FinishList();
}

void TestPrices::change()
{
    auto &[db, p, module] = *m_fixture;
    Messages::MessageRecorder rec;
    TForm4 w(module.get());
    w.PrepareList();
    QVERIFY(module->Oper->locate("id", p.tableAssembly));

    // Unchanged: no duplicate of itself.
    ModalAction same;
    onModal(same, [&](QDialog *d) {
        TForm10 *f = w.Form10;
        QCOMPARE(d->windowTitle(), QStringLiteral("Изменение данных о цене за операцию"));
        QCOMPARE(f->Tag, 2);
        QCOMPARE(f->Edit1->text(), QStringLiteral("Стол-5"));
        QCOMPARE(f->Edit2->text(), QStringLiteral("Сборка"));
        QCOMPARE(f->ComboBox1->currentIndex(), 1);
        QCOMPARE(f->ProductId, qint64(p.table));
        QCOMPARE(f->KindId, p.assembly);
        QCOMPARE(f->Edit3->text(), QStringLiteral("7"));
        QVERIFY(!f->Edit3->isVisible());   // the norms window looks after the prices
        f->Button1Click();
    });
    w.Button2Click();
    QVERIFY(!same.stayedOpen);
    QVERIFY(rec.shown.isEmpty());

    // Another product, kind and product kind: written; cena_new and the norms stay; the changed
    // price stays the list's current row wherever it sorts now.
    db.exec(QStringLiteral("update accounts_dep.oper set cena_new=2.5 where id=%1").arg(p.tableAssembly));
    ModalAction moved;
    onModal(moved, [&](QDialog *) {
        TForm10 *f = w.Form10;
        f->Edit1->setText(QStringLiteral("Тумба 7"));
        f->ProductId = p.nightstand;
        f->Edit2->setText(QStringLiteral("Покраска"));
        f->KindId = p.painting;
        f->ComboBox1->setCurrentIndex(0);
        f->Button1Click();
    });
    w.Button2Click();
    QVERIFY(!moved.stayedOpen);
    QVERIFY(rec.shown.isEmpty());
    const auto row = db.rows(QStringLiteral("select vid, naimen, i_id, cena_new from accounts_dep.oper where id=%1").arg(p.tableAssembly));
    QCOMPARE(row[0][0].toInt(), p.painting);
    QCOMPARE(row[0][1].toInt(), 0);
    QCOMPARE(row[0][2].toInt(), p.nightstand);
    QCOMPARE(row[0][3].toDouble(), 2.5);
    QCOMPARE(normRows(db, p.tableAssembly), QStringList{QStringLiteral("50/7/0")});
    QCOMPARE(column(module->Oper, "marka"), (QStringList{QStringLiteral("Тумба 7"), QStringLiteral("Шкаф-10")}));
    QCOMPARE(module->Oper->toInt("id"), p.tableAssembly);
    w.FinishList();
}

// The operation price goes in, its first norm row is refused: neither is left behind, the user reads
// the server's text after what failed, the dialog stays open as typed, and the next save works.
void TestPrices::addRefusedAtItsFirstNorm()
{
    auto &[db, p, module] = *m_fixture;
    Messages::MessageRecorder rec;
    TForm4 w(module.get());
    w.PrepareList();
    const QStringList tables{QStringLiteral("accounts_dep.oper"), QStringLiteral("accounts_dep.norm")};
    const QString before = snapshot(db, tables);
    refuseStatements(db, QStringLiteral("accounts_dep.norm"), QStringLiteral("insert"), QStringLiteral("Нормы этого месяца закрыты"));
    QStringList refused;
    QString afterRefusal;
    bool openAfterRefusal = false;
    ModalAction add;
    onModal(add, [&](QDialog *d) {
        TForm10 *f = w.Form10;
        f->Edit1->setText(QStringLiteral("Тумба 7"));
        f->ProductId = p.nightstand;
        f->Edit2->setText(QStringLiteral("Покраска"));
        f->KindId = p.painting;
        f->ComboBox1->setCurrentIndex(1);
        f->Edit3->setText(QStringLiteral("7.5"));
        f->Button1->click();
        refused = rec.errors();
        afterRefusal = snapshot(db, tables);
        openAfterRefusal = d->isVisible();
        QCOMPARE(f->Edit1->text(), QStringLiteral("Тумба 7"));
        QCOMPARE(f->ComboBox1->currentIndex(), 1);
        QCOMPARE(f->Edit3->text(), QStringLiteral("7.5"));
        // The program goes on: once the server takes norm rows again, the same save goes through.
        dropRefusal(db, QStringLiteral("accounts_dep.norm"), QStringLiteral("insert"));
        rec.clear();
        f->Button1->click();
    });
    w.Button1Click();
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
    w.FinishList();
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
    TForm4 w(module.get());
    w.PrepareList();
    const QStringList tables{QStringLiteral("accounts_dep.oper"), QStringLiteral("accounts_dep.norm")};
    const QString before = snapshot(db, tables);
    QString sent = QStringLiteral("(not run)");
    ModalAction add;
    onModal(add, [&](QDialog *) {
        TForm10 *f = w.Form10;
        f->Edit1->setText(QStringLiteral("Тумба 7"));
        f->ProductId = p.nightstand;
        f->Edit2->setText(QStringLiteral("Покраска"));
        f->KindId = p.painting;
        f->Edit3->setText(minPrice);
        SentStatementProbe probe(db, *module);
        f->Button1->click();
        sent = probe.sentSince();
    });
    w.Button1Click();
    QVERIFY(add.stayedOpen);
    QCOMPARE(rec.errors().size(), 1);
    QVERIFY2(rec.errors()[0].startsWith(QStringLiteral("Не удалось сохранить данные.\nПоле «min Цена»: ")), qPrintable(rec.errors()[0]));
    QCOMPARE(sent, QString());
    QCOMPARE(snapshot(db, tables), before);
    w.FinishList();
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
    TForm4 b(module.get());
    b.PrepareList();
    QVERIFY(module->Oper->locate("id", p.tableAssembly));
    const QStringList tables{QStringLiteral("accounts_dep.oper"), QStringLiteral("accounts_dep.norm")};
    QString afterA;
    ModalAction change;
    onModal(change, [&](QDialog *) {
        if (deleted) {
            moduleA->Oper_del.setParam(QStringLiteral("id"), p.tableAssembly);
            moduleA->Oper_del.execute(PriceStatements::deletion());
        } else {
            moduleA->Oper->open();
            QVERIFY(moduleA->Oper->locate("id", p.tableAssembly));
            TForm10 a(moduleA.get());
            a.Tag = 2;
            a.Version = RowVersion::read(*moduleA, QStringLiteral("accounts_dep.oper"), p.tableAssembly);
            a.Edit1->setText(QStringLiteral("Тумба 7"));
            a.ProductId = p.nightstand;
            a.Edit2->setText(QStringLiteral("Сборка"));
            a.KindId = p.assembly;
            a.ComboBox1->setCurrentIndex(1);
            a.Button1->click();
            QCOMPARE(a.result(), int(QDialog::Accepted));
        }
        afterA = snapshot(db, tables);
        b.Form10->ComboBox1->setCurrentIndex(0);
        b.Form10->Button1->click();
    });
    b.Button2Click();
    QVERIFY(change.stayedOpen);
    QCOMPARE(rec.errors(), QStringList{QStringLiteral("Не удалось сохранить данные.\n")
                                       + (deleted ? RowVersion::deletedText() : RowVersion::changedText())});
    QCOMPARE(snapshot(db, tables), afterA);
    QCOMPARE(b.Form10->ComboBox1->currentIndex(), 0);
    QCOMPARE(db.scalar(QStringLiteral("select vid || '/' || naimen || '/' || i_id from accounts_dep.oper where id=%1").arg(p.tableAssembly)).toString(),
             deleted ? QString() : QStringLiteral("%1/1/%2").arg(p.assembly).arg(p.nightstand));
    b.FinishList();
}

void TestPrices::deletion()
{
    auto &[db, p, module] = *m_fixture;
    const int worker = db.addWorker(QStringLiteral("Иванов И.И."));
    db.addRecord(worker, p.cabinet, p.cabinetAssembly, QDate::currentDate(), 1, 5, 0, 10, 8);
    Messages::MessageRecorder rec;
    TForm4 w(module.get());
    w.PrepareList();
    QVERIFY(module->Oper->locate("id", p.cabinetAssembly));

    rec.answers = {false};
    w.Button3Click();
    QCOMPARE(rec.texts(), QStringList{QStringLiteral("Удалить операцию?")});
    QCOMPARE(rec.shown[0].kind, Messages::Shown::Question);
    QCOMPARE(rec.shown[0].title, QStringLiteral("Удаление"));
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from accounts_dep.oper where id=%1").arg(p.cabinetAssembly)).toInt(), 1);
    QCOMPARE(module->Oper->toInt("id"), p.cabinetAssembly);

    rec.answers = {true};
    w.Button3Click();
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from accounts_dep.oper where id=%1").arg(p.cabinetAssembly)).toInt(), 0);
    // Its norms and the records that refer to it are left as they are.
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from accounts_dep.norm where o_id=%1").arg(p.cabinetAssembly)).toInt(), 2);
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from accounts_dep.smena where o_id=%1").arg(p.cabinetAssembly)).toInt(), 1);
    QCOMPARE(module->Oper->recordCount(), 1);
    QCOMPARE(module->Oper->recNo(), 1);
    w.FinishList();
}

void TestPrices::search()
{
    auto &[db, p, module] = *m_fixture;
    const int other = db.addProduct(QStringLiteral("Малый шкаф"));
    const int otherPrice = db.addPrice(p.assembly, other);
    db.addNorm(otherPrice, 3);
    TForm4 w(module.get());
    w.show();
    w.PrepareList();
    DataSet *oper = module->Oper;
    QCOMPARE(oper->recordCount(), 3);

    // Anywhere in the mark, whatever the letter case.
    typeText(w.Edit1, QStringLiteral("шкаф"));
    QCOMPARE(column(oper, "marka"), (QStringList{QStringLiteral("Малый шкаф"), QStringLiteral("Шкаф-10")}));
    QTest::keyClick(w.Edit1, Qt::Key_Down);
    QCOMPARE(oper->toInt("id"), p.cabinetAssembly);
    QTest::keyClick(w.Edit1, Qt::Key_Up);
    QCOMPARE(oper->toInt("id"), otherPrice);
    // Keys that type nothing are swallowed; Backspace edits.
    QTest::keyClick(w.Edit1, Qt::Key_Home);
    QTest::keyClick(w.Edit1, Qt::Key_Delete);
    QCOMPARE(w.Edit1->text(), QStringLiteral("шкаф"));
    QTest::keyClick(w.Edit1, Qt::Key_Backspace);
    QCOMPARE(w.Edit1->text(), QStringLiteral("шка"));
    typeText(w.Edit1, QStringLiteral("ф-1"));
    QCOMPARE(column(oper, "marka"), QStringList{QStringLiteral("Шкаф-10")});
    typeText(w.Edit1, QStringLiteral("2"));
    QVERIFY(oper->isEmpty());

    // Blanks alone switch the filter off.
    w.Edit1->setText(QStringLiteral("   "));
    QCOMPARE(oper->recordCount(), 3);
    w.Edit1->clear();
    QCOMPARE(oper->recordCount(), 3);
    w.FinishList();
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
    TForm4 w(module.get());
    Receiver<OperationPriceChoice> receiver;
    if (picker)
        w.PreparePicker(&receiver, 1, 0);
    else
        w.PrepareList();
    w.CheckBox1->setChecked(ticked);
    QVERIFY(module->Oper->locate("id", p.cabinetAssembly));
    ModalAction modal;
    onModal(modal, [&](QDialog *d) {
        if (d == w.Form22)
            QCOMPARE(w.Form22->norm->rowCount(), 3);   // the two norms of the row and the new row
        d->reject();
    });
    w.DBGrid1DblClick();
    QCoreApplication::processEvents();
    QCOMPARE(modal.window, opens);
    if (opens == QLatin1String("TForm22"))
        QCOMPARE(w.Form22->norm->priceId(), p.cabinetAssembly);
    QCOMPARE(receiver.taken.size(), picker ? 1 : 0);
    if (picker) {
        QCOMPARE(receiver.taken[0].id, p.cabinetAssembly);
        w.FinishPicker();
    } else {
        w.FinishList();
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
    TForm4 w(module.get());
    Receiver<OperationPriceChoice> receiver;
    // The record dialog hands over its journal's day off and mode.
    w.PreparePicker(&receiver, 2, p.cabinetAssembly, PriceRules::PieceSurcharges{dayOff, mode});
    w.Button2Click();
    w.FinishPicker();
    QCOMPARE(receiver.taken.size(), 1);
    QCOMPARE(receiver.taken[0].basePrice, 10.0);
    QVERIFY2(qFuzzyCompare(receiver.taken[0].unitPrice, unitPrice), qPrintable(QString::number(receiver.taken[0].unitPrice)));
}

void TestPrices::pickerPositionsAndHandsBack()
{
    auto &[db, p, module] = *m_fixture;
    // The mark is read from the products, blanks removed.
    db.exec(QStringLiteral("update cmn_gds_and_srv.gds_and_srv set s_caption='Шкаф-10   ' where id=%1").arg(p.cabinet));
    TForm1 main(module.get());
    TForm4 w(module.get());
    DataSet *oper = module->Oper;
    Receiver<OperationPriceChoice> receiver;

    // Changing a record: the list starts on the record's operation price.
    ModalAction pick;
    onModal(pick, [&](QDialog *) {
        QCOMPARE(w.Tag, 1);
        QCOMPARE(oper->toInt("id"), p.cabinetAssembly);
        QCOMPARE(w.Button2->text(), QStringLiteral("Выбрать"));
        QVERIFY(w.Button2->isDefault());
        QVERIFY(!w.Button1->isVisible());
        QVERIFY(!w.Button3->isVisible());
        QVERIFY(w.Edit1->isVisible());
        QCOMPARE(w.focusWidget(), static_cast<QWidget *>(w.Edit1));
        typeText(w.Edit1, QStringLiteral("ШКАФ"));
        QCOMPARE(oper->recordCount(), 1);
        QTest::keyClick(w.Edit1, Qt::Key_Return);   // "Выбрать" is the default button
    });
    w.ShowPicker(&receiver, 2, p.cabinetAssembly);
    QVERIFY(!pick.stayedOpen);
    QCOMPARE(receiver.taken.size(), 1);
    const OperationPriceChoice c = receiver.taken[0];
    QCOMPARE(c.id, p.cabinetAssembly);
    QCOMPARE(c.productId, qint64(p.cabinet));
    QCOMPARE(c.naimen, 0);
    QCOMPARE(c.description, QStringLiteral("Шкаф-10; Сборка; Готовая продукция"));
    QCOMPARE(c.basePrice, 10.0);
    QCOMPARE(c.unitPrice, 10.0);
    // Afterwards: no default button, no search box, no filter, Oper open on the chosen row.
    QVERIFY(!w.Button2->isDefault());
    QVERIFY(!w.Edit1->isVisibleTo(&w));
    QVERIFY(oper->isOpen());
    QVERIFY(!oper->isFiltered());
    QCOMPARE(oper->recordCount(), 2);
    QCOMPARE(oper->toInt("id"), p.cabinetAssembly);

    // Adding a record: the first row; blanks as product kind text; the list opened from the menu
    // afterwards has no search box.
    ModalAction first;
    onModal(first, [&](QDialog *) {
        QCOMPARE(oper->recNo(), 1);
        QCOMPARE(w.Edit1->text(), QString());
        w.DBGrid1DblClick();
    });
    w.ShowPicker(&receiver, 1, p.cabinetAssembly);
    QCOMPARE(receiver.taken.size(), 2);
    QCOMPARE(receiver.taken[1].id, p.tableAssembly);
    QCOMPARE(receiver.taken[1].description, QStringLiteral("Стол-5; Сборка; Заготовки"));
    QCOMPARE(receiver.taken[1].basePrice, 7.0);
    w.PrepareList();
    QVERIFY(!w.Edit1->isVisibleTo(&w));
    QCOMPARE(w.Button2->text(), QStringLiteral("Изменить"));
    w.FinishList();

    // Closed without a choice: nothing handed back.
    ModalAction leave;
    onModal(leave, [&](QDialog *) { w.Button4->click(); });
    w.ShowPicker(&receiver, 1, 0);
    QVERIFY(leave.ran);
    QCOMPARE(receiver.taken.size(), 2);
}

void TestPrices::normsEdits()
{
    auto &[db, p, module] = *m_fixture;
    Messages::MessageRecorder rec;
    TForm4 list(module.get());
    list.PrepareList();
    QVERIFY(module->Oper->locate("id", p.cabinetAssembly));
    QCOMPARE(module->Oper->recNo(), 2);
    TForm22 &w = *list.Form22;
    w.Prepare(p.cabinetAssembly);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));

    // Sorted by norm; the prices as "#0.00#"; the new row below.
    QCOMPARE(w.norm->rowCount(), 3);
    QCOMPARE(w.norm->data(w.norm->index(0, 1), Qt::DisplayRole).toString(), QStringLiteral("12,50"));
    QCOMPARE(w.norm->data(w.norm->index(1, 1), Qt::DisplayRole).toString(), QStringLiteral("10,00"));
    QCOMPARE(w.norm->headerData(0, Qt::Vertical, Qt::DisplayRole).toString(), QStringLiteral("▶"));
    QCOMPARE(w.norm->headerData(2, Qt::Vertical, Qt::DisplayRole).toString(), QStringLiteral("*"));

    // A price typed and the cell left: the row is written at once.
    typeInCell(w, 0, 1, QStringLiteral("9,75"));
    QCOMPARE(normRows(db, p.cabinetAssembly), (QStringList{QStringLiteral("100/9.75/0"), QStringLiteral("200/10/0")}));
    QVERIFY(!w.norm->hasChanges());
    QCOMPARE(w.DBGrid1->currentIndex(), w.norm->index(0, 2));

    // A norm typed in the new row: a new norm row of the opened price, sorted in; the editing
    // goes on in the next cell of that row.
    typeInCell(w, 2, 0, QStringLiteral("50"));
    QCOMPARE(normRows(db, p.cabinetAssembly),
             (QStringList{QStringLiteral("50/-/-"), QStringLiteral("100/9.75/0"), QStringLiteral("200/10/0")}));
    QCOMPARE(w.DBGrid1->currentIndex(), w.norm->index(0, 1));
    QVERIFY(openEditor(w.DBGrid1));
    QLineEdit *editor = openEditor(w.DBGrid1);
    typeText(editor, QStringLiteral("8.5"));
    QTest::keyClick(editor, Qt::Key_Tab);
    QCoreApplication::processEvents();
    QCOMPARE(normRows(db, p.cabinetAssembly),
             (QStringList{QStringLiteral("50/8.5/-"), QStringLiteral("100/9.75/0"), QStringLiteral("200/10/0")}));
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from accounts_dep.norm where o_id is null or o_id not in (%1, %2, 7777, 7778)")
                           .arg(p.cabinetAssembly).arg(p.tableAssembly)).toInt(), 0);
    w.CommitEdit();

    // Delete with several rows: the current row goes.
    w.DBGrid1->setCurrentIndex(w.norm->index(2, 0));
    w.Button2Click();
    QCOMPARE(normRows(db, p.cabinetAssembly), (QStringList{QStringLiteral("50/8.5/-"), QStringLiteral("100/9.75/0")}));
    QVERIFY(rec.shown.isEmpty());

    // "Сохранить" writes a pending edit, refreshes the list and keeps its row, with the new
    // lowest price and count.
    w.DBGrid1->setCurrentIndex(w.norm->index(1, 2));
    w.DBGrid1->edit(w.norm->index(1, 2));
    typeText(openEditor(w.DBGrid1), QStringLiteral("5"));
    module->Oper->first();
    QVERIFY(module->Oper->locate("id", p.cabinetAssembly));
    w.Button1->click();
    QVERIFY(rec.shown.isEmpty());
    QVERIFY(!w.isVisible());
    QCOMPARE(normRows(db, p.cabinetAssembly), (QStringList{QStringLiteral("50/8.5/-"), QStringLiteral("100/9.75/5")}));
    QCOMPARE(module->Oper->toInt("id"), p.cabinetAssembly);
    QCOMPARE(module->Oper->recNo(), 2);
    QCOMPARE(module->Oper->text("norma"), QStringLiteral("2"));
    QCOMPARE(QLocale::c().toDouble(module->Oper->text("cena")), 8.5);
    list.FinishList();
}

void TestPrices::normsRefusedValue()
{
    auto &[db, p, module] = *m_fixture;
    db.exec(QStringLiteral("create function refuse_negative() returns trigger language plpgsql as $$ "
                           "begin if new.price < 0 then raise exception 'Цена не может быть отрицательной'; end if; return new; end $$"));
    db.exec(QStringLiteral("create trigger refuse_negative before insert or update on accounts_dep.norm "
                           "for each row execute function refuse_negative()"));
    Messages::MessageRecorder rec;
    TForm22 w(module.get());
    w.Prepare(p.cabinetAssembly);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));

    typeInCell(w, 1, 1, QStringLiteral("-4"));
    QCOMPARE(rec.errors().size(), 1);
    QVERIFY2(rec.errors()[0].contains(QStringLiteral("Цена не может быть отрицательной")), qPrintable(rec.errors()[0]));
    QVERIFY2(rec.errors()[0].startsWith(QStringLiteral("Не удалось записать норму.\n")), qPrintable(rec.errors()[0]));
    // The row stays in editing: its value shown, the cell current again, nothing written.
    QVERIFY(w.norm->hasChanges());
    QCOMPARE(w.DBGrid1->currentIndex(), w.norm->index(1, 1));
    QCOMPARE(w.norm->data(w.norm->index(1, 1), Qt::DisplayRole).toString(), QStringLiteral("-4,00"));
    QCOMPARE(w.norm->headerData(1, Qt::Vertical, Qt::DisplayRole).toString(), QStringLiteral("I"));
    QCOMPARE(normRows(db, p.cabinetAssembly), (QStringList{QStringLiteral("100/12.5/0"), QStringLiteral("200/10/0")}));

    // "Сохранить" does not close over a refused row.
    rec.clear();
    w.CommitEdit();
    w.Button1->click();
    QCOMPARE(rec.errors().size(), 1);
    QVERIFY(w.isVisible());

    // Corrected, it is written when the cell is left.
    rec.clear();
    typeInCell(w, 1, 1, QStringLiteral("11"));
    QVERIFY(rec.shown.isEmpty());
    QCOMPARE(normRows(db, p.cabinetAssembly), (QStringList{QStringLiteral("100/12.5/0"), QStringLiteral("200/11/0")}));

    // Letters never get into a cell.
    w.DBGrid1->setCurrentIndex(w.norm->index(0, 0));
    w.DBGrid1->edit(w.norm->index(0, 0));
    QLineEdit *editor = openEditor(w.DBGrid1);
    editor->selectAll();
    editor->del();
    typeText(editor, QStringLiteral("1а2;3"));
    QCOMPARE(editor->text(), QStringLiteral("123"));
    w.CommitEdit();
    QVERIFY(w.norm->hasChanges());
    w.close();
}

void TestPrices::normsLastRowAndCloseBox()
{
    auto &[db, p, module] = *m_fixture;
    Messages::MessageRecorder rec;
    TForm4 list(module.get());
    list.PrepareList();
    QVERIFY(module->Oper->locate("id", p.tableAssembly));
    TForm22 &w = *list.Form22;
    w.Prepare(p.tableAssembly);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));

    // The only norm row stays, and nothing is said.
    w.Button2Click();
    QCOMPARE(normRows(db, p.tableAssembly), QStringList{QStringLiteral("50/7/0")});
    QVERIFY(rec.shown.isEmpty());
    QCOMPARE(w.norm->rowCount(), 2);

    // A new row typed but dropped by "Удалить" is not written.
    w.DBGrid1->setCurrentIndex(w.norm->index(1, 0));
    w.DBGrid1->edit(w.norm->index(1, 0));
    typeText(openEditor(w.DBGrid1), QStringLiteral("70"));
    w.Button2Click();
    QVERIFY(!w.norm->hasChanges());
    QCOMPARE(normRows(db, p.tableAssembly), QStringList{QStringLiteral("50/7/0")});

    // A change still in its cell is not written by the close box, and the list is not refreshed.
    db.exec(QStringLiteral("insert into accounts_dep.norm(o_id, norma, prize, price) values (%1, 90, 0, 1)").arg(p.tableAssembly));
    w.DBGrid1->setCurrentIndex(w.norm->index(0, 1));
    w.DBGrid1->edit(w.norm->index(0, 1));
    typeText(openEditor(w.DBGrid1), QStringLiteral("3"));
    w.close();
    QVERIFY(!w.isVisible());
    QCoreApplication::processEvents();
    QCOMPARE(normRows(db, p.tableAssembly), (QStringList{QStringLiteral("50/7/0"), QStringLiteral("90/1/0")}));
    QCOMPARE(module->Oper->text("norma"), QStringLiteral("1"));

    // Esc acts on "Сохранить": the list shows the row written elsewhere.
    w.Prepare(p.tableAssembly);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QCOMPARE(w.norm->rowCount(), 3);
    QTest::keyClick(w.DBGrid1, Qt::Key_Escape);
    QVERIFY(!w.isVisible());
    QCOMPARE(module->Oper->toInt("id"), p.tableAssembly);
    QCOMPARE(module->Oper->text("norma"), QStringLiteral("2"));
    QVERIFY(rec.shown.isEmpty());
    list.FinishList();
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
    TForm22 b(module.get());
    b.Prepare(p.cabinetAssembly);
    b.show();
    QVERIFY(QTest::qWaitForWindowExposed(&b));

    TForm22 a(moduleA.get());
    a.Prepare(p.cabinetAssembly);
    a.show();
    QVERIFY(QTest::qWaitForWindowExposed(&a));
    if (deleted) {
        a.DBGrid1->setCurrentIndex(a.norm->index(1, 0));
        a.Button2Click();
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
    QVERIFY(b.norm->hasChanges());
    QCOMPARE(b.DBGrid1->currentIndex(), b.norm->index(1, 1));
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
    TForm22 w(module.get());
    w.Prepare(p.cabinetAssembly);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    const QVariant shown = w.norm->value(row, column);
    const QString before = snapshot(db, {QStringLiteral("accounts_dep.norm")});
    SentStatementProbe probe(db, *module);
    typeInCell(w, row, column, typed);
    QCOMPARE(rec.errors().size(), 1);
    QVERIFY2(rec.errors()[0].contains(QStringLiteral("Поле «%1»").arg(field)), qPrintable(rec.errors()[0]));
    QCOMPARE(probe.sentSince(), QString());
    QCOMPARE(snapshot(db, {QStringLiteral("accounts_dep.norm")}), before);
    QVERIFY(!w.norm->hasChanges());
    QCOMPARE(w.norm->value(row, column), shown);
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
    TForm4 w(module.get());
    w.PrepareList();
    w.Button5Click();
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
    QVERIFY(!w.XLS_Rep->isOpen());
    QVERIFY(!QApplication::overrideCursor());
    w.FinishList();
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
    TForm4 w(module.get());
    w.Button5Click();
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
    QVERIFY(!w.XLS_Rep->isOpen());
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
    TForm1 main(module.get());
    // The menu's list is the run's window, over the module the main window was given.
    QCOMPARE(Windows::module(), module.get());
    ModalAction open;
    onModal(open, [&](QDialog *d) {
        QCOMPARE(d->objectName(), QStringLiteral("TForm4"));
        auto *list = qobject_cast<TForm4 *>(d);
        QVERIFY(list);
        QCOMPARE(list->Tag, 0);
        QVERIFY(module->Oper->isOpen());
        QCOMPARE(module->Oper->recordCount(), 2);
        list->Button4->click();
    });
    main.findChild<QAction *>(QStringLiteral("MenuPrices"))->trigger();
    QVERIFY(open.ran);
    QVERIFY(!open.stayedOpen);
    QVERIFY(rec.shown.isEmpty());
    QVERIFY(!module->Oper->isOpen());
}

QTEST_MAIN(TestPrices)
#include "test_prices.moc"
