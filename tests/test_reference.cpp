// The reference lists against the real server: workers, products, operation kinds and the
// nomenclature picker, each in list mode and as a picker.

#include "app/data_grid.h"
#include "app/data_module.h"
#include "app/main_window.h"
#include "app/messages.h"
#include "app/windows.h"
#include "db/dataset.h"
#include "db/decimal_text.h"
#include "reference/kind_dialog.h"
#include "reference/kind_list.h"
#include "reference/lookup_list.h"
#include "reference/nomenclature_picker.h"
#include "reference/product_deletion.h"
#include "reference/product_dialog.h"
#include "reference/product_list.h"
#include "reference/worker_dialog.h"
#include "reference/worker_list.h"
#include "tests/support/test_support.h"
#include "tests/support/window_helpers.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

namespace {

struct Header {
    QString title;
    int width;
};

QList<Header> headers(DataGrid *grid)
{
    QList<Header> out;
    for (int i = 0; i < grid->dataModel()->columnCount(); ++i)
        out << Header{grid->dataModel()->headerData(i, Qt::Horizontal, Qt::DisplayRole).toString(), grid->columnWidth(i)};
    return out;
}

// cmn_department.department, hrms_staffpos.staffpos and adm_role.roles rows for the worker dialog.
void addLookups(const TestDatabase &db)
{
    db.exec(QStringLiteral("insert into cmn_department.department(id, s_caption) values (1, 'Цех №1'), (2, 'Цех №2'), (3, 'ОТК')"));
    db.exec(QStringLiteral("insert into hrms_staffpos.staffpos(id, s_caption) values (1, 'Токарь'), (2, 'Слесарь')"));
    db.exec(QStringLiteral("insert into adm_role.roles(id, s_caption) values (1, 'Мастер'), (2, 'Рабочий')"));
}

} // namespace

class TestReference : public QObject {
    Q_OBJECT

private slots:
    // Workers
    void workerListLook();
    void workerAddChangeDelete();
    void workerEmptyName();
    void workerDialogLookups();
    void workerSearch_data();
    void workerSearch();
    void workerSearchKeys();
    void workerPicker_data();
    void workerPicker();
    void workerDatabaseError();

    // Products
    void productListLook();
    void productAddAndChange();
    void productRefusals_data();
    void productRefusals();
    void productMassaKeys();
    void productDeletion_data();
    void productDeletion();
    void deletionThreshold_data();
    void deletionThreshold();
    void productPicker();

    // Operation kinds
    void kindListLook();
    void kindAddChangeDelete();
    void kindRefusals_data();
    void kindRefusals();
    void kindPicker();

    // Nomenclature picker
    void nomenclaturePicker();

    // Main menu
    void menuOpensLists_data();
    void menuOpensLists();
};

// ------------------------------------------------------------------------------------------------
// Workers

void TestReference::workerListLook()
{
    TestDatabase db;
    auto module = db.connectModule();
    TForm5 w(module.get());
    QCOMPARE(w.windowTitle(), QStringLiteral("Список рабочих"));
    const auto cols = headers(w.DBGrid1);
    QCOMPARE(cols.size(), 2);
    QCOMPARE(cols[0].title, QStringLiteral("ФИО"));
    QCOMPARE(cols[0].width, 300);
    QCOMPARE(cols[1].title, QStringLiteral("Должность"));
    QCOMPARE(cols[1].width, 300);
    QCOMPARE(w.Form2->findChild<QPushButton *>("Button1")->text(), QStringLiteral("Записать"));
    QCOMPARE(w.Form2->findChild<QPushButton *>("Button2")->text(), QStringLiteral("Отмена"));
    QCOMPARE(w.Form2->LCB_department->maxVisibleItems(), 10);

    w.PrepareList();
    QCOMPARE(w.Button2->text(), QStringLiteral("Изменить"));
    QVERIFY(!w.Button2->isDefault());
    QVERIFY(w.Button1->isDefault());
    QVERIFY(w.Button1->isVisibleTo(&w));
    QVERIFY(w.Button3->isVisibleTo(&w));
    w.FinishList();
}

void TestReference::workerAddChangeDelete()
{
    TestDatabase db;
    addLookups(db);
    db.addWorker(QStringLiteral("Абрамов А.А."), QStringLiteral("ОТК"));
    db.addWorker(QStringLiteral("Яковлев Я.Я."), QStringLiteral("ОТК"));
    auto module = db.connectModule();
    Messages::MessageRecorder rec;
    TForm5 w(module.get());
    w.PrepareList();

    // Add: an apostrophe and surrounding blanks; the department's caption is what is stored.
    ModalAction add;
    onModal(add, [&](QDialog *d) {
        QCOMPARE(d, static_cast<QDialog *>(w.Form2));
        QCOMPARE(d->windowTitle(), QStringLiteral("Заведение данных нового работника"));
        QVERIFY(w.Form2->Edit1->text().isEmpty());
        QCOMPARE(w.Form2->LCB_department->count(), 3);
        w.Form2->Edit1->setText(QStringLiteral("  O'Brien Д.  "));
        w.Form2->LCB_department->setCurrentIndex(w.Form2->LCB_department->findText(QStringLiteral("Цех №2")));
        w.Form2->LCB_staffpos->setCurrentIndex(0);
        w.Form2->Button1Click();
    });
    w.Button1Click();
    QVERIFY(add.ran);
    QVERIFY(!add.stayedOpen);
    QVERIFY(rec.shown.isEmpty());
    const auto added = db.rows(QStringLiteral("select id, fio, s_staffpos_hl from accounts_dep.person where fio like 'O%'"));
    QCOMPARE(added.size(), 1);
    QCOMPARE(added[0][1].toString(), QStringLiteral("O'Brien Д."));
    QCOMPARE(added[0][2].toString(), QStringLiteral("Цех №2"));
    const int newId = added[0][0].toInt();
    QCOMPARE(db.scalar(QStringLiteral("select s_caption from cmn_contractor.person where s_code='%1'").arg(newId)).toString(),
             QStringLiteral("O'Brien Д."));
    // The list was reopened: the new worker is listed, the first row is current.
    QCOMPARE(column(module->Workers, "fio"),
             QStringList({QStringLiteral("O'Brien Д."), QStringLiteral("Абрамов А.А."), QStringLiteral("Яковлев Я.Я.")}));
    QCOMPARE(module->Workers->recNo(), 1);

    // Change the second worker: the dialog gets the trimmed name and the id; the list window
    // closes afterwards and the row stays current.
    module->Workers->setRecNo(2);
    w.show();
    ModalAction change;
    onModal(change, [&](QDialog *d) {
        QCOMPARE(d->windowTitle(), QStringLiteral("Изменение данных работника"));
        QCOMPARE(w.Form2->Edit1->text(), QStringLiteral("Абрамов А.А."));
        QCOMPARE(w.Form2->Tag, 2);
        // The department list keeps the last choice made in it.
        QCOMPARE(w.Form2->LCB_department->currentText(), QStringLiteral("Цех №2"));
        w.Form2->Edit1->setText(QStringLiteral("Абрамова А.А."));
        w.Form2->Button1Click();
    });
    w.Button2Click();
    QVERIFY(change.ran);
    QVERIFY(!w.isVisible());
    QCOMPARE(module->Workers->recNo(), 2);
    QCOMPARE(module->Workers->text("fio"), QStringLiteral("Абрамова А.А."));
    QCOMPARE(db.scalar(QStringLiteral("select s_staffpos_hl from accounts_dep.person where fio='Абрамова А.А.'")).toString(),
             QStringLiteral("Цех №2"));

    // Cancelled change: nothing written, the window still closes.
    w.show();
    ModalAction cancel;
    onModal(cancel, [&](QDialog *) { w.Form2->Edit1->setText(QStringLiteral("Никто")); });
    w.Button2Click();
    QVERIFY(cancel.ran);
    QVERIFY(!w.isVisible());
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from accounts_dep.person where fio='Никто'")).toInt(), 0);

    // Delete answered No sends nothing; Yes deletes the current worker and keeps the row number.
    module->Workers->setRecNo(2);
    rec.answers = {false};
    w.Button3Click();
    QCOMPARE(rec.shown.size(), 1);
    QCOMPARE(rec.shown[0].kind, Messages::Shown::Question);
    QCOMPARE(rec.shown[0].title, QStringLiteral("Удаление"));
    QCOMPARE(rec.shown[0].text, QStringLiteral("Удалить работника?"));
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from accounts_dep.person")).toInt(), 3);
    rec.answers = {true};
    w.Button3Click();
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from accounts_dep.person")).toInt(), 2);
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from accounts_dep.person where fio like 'Абрамова%'")).toInt(), 0);
    QCOMPARE(module->Workers->recNo(), 2);
    QCOMPARE(module->Workers->text("fio"), QStringLiteral("Яковлев Я.Я."));
    // Deleting the last row keeps the current row within the list.
    rec.answers = {true};
    w.Button3Click();
    QCOMPARE(module->Workers->recordCount(), 1);
    QCOMPARE(module->Workers->recNo(), 1);
    w.FinishList();
    QVERIFY(!module->Workers->isOpen());
}

void TestReference::workerEmptyName()
{
    TestDatabase db;
    auto module = db.connectModule();
    Messages::MessageRecorder rec;
    TForm5 w(module.get());
    w.PrepareList();
    ModalAction add;
    onModal(add, [&](QDialog *) {
        w.Form2->Edit1->setText(QStringLiteral("   "));
        w.Form2->Button1Click();
    });
    w.Button1Click();
    QVERIFY(add.stayedOpen);
    QCOMPARE(rec.errors(), QStringList{QStringLiteral("ФИО нужно заполнить!")});
    QCOMPARE(rec.shown[0].title, QStringLiteral("Ошибка"));
    QCOMPARE(w.Form2->Edit1->text(), QStringLiteral("   "));
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from accounts_dep.person")).toInt(), 0);
    w.FinishList();
}

void TestReference::workerDialogLookups()
{
    TestDatabase db;
    addLookups(db);
    auto module = db.connectModule();
    TForm2 d(module.get());
    // No choice at the start.
    d.ReopenLookups();
    QCOMPARE(d.LCB_department->currentIndex(), -1);
    QCOMPARE(d.LCB_department->captionText(), QString());

    // The wheel moves the choice of the focused list, wherever the mouse is.
    d.show();
    d.LCB_department->setFocus();
    QWheelEvent down(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                     Qt::NoScrollPhase, false);
    QApplication::sendEvent(d.Edit1, &down);
    QCOMPARE(d.LCB_department->captionText(), QStringLiteral("ОТК"));   // first row, by caption
    QApplication::sendEvent(&d, &down);
    QCOMPARE(d.LCB_department->captionText(), QStringLiteral("Цех №1"));
    QWheelEvent up(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                   Qt::NoScrollPhase, false);
    QApplication::sendEvent(d.LCB_staffpos, &up);
    QCOMPARE(d.LCB_department->captionText(), QStringLiteral("ОТК"));
    QCOMPARE(d.LCB_staffpos->currentIndex(), -1);
    d.LCB_roles->setFocus();
    QApplication::sendEvent(d.LCB_department, &down);
    QCOMPARE(d.LCB_roles->captionText(), QStringLiteral("Мастер"));
    QCOMPARE(d.LCB_department->captionText(), QStringLiteral("ОТК"));

    // The choice is a key: reopening shows the current caption of the same row.
    db.exec(QStringLiteral("update cmn_department.department set s_caption='Отдел контроля' where id=3"));
    d.ReopenLookups();
    QCOMPARE(d.LCB_department->captionText(), QStringLiteral("Отдел контроля"));
    QCOMPARE(d.LCB_roles->captionText(), QStringLiteral("Мастер"));
    // A chosen row that has gone leaves no choice.
    db.exec(QStringLiteral("delete from cmn_department.department where id=3"));
    d.ReopenLookups();
    QCOMPARE(d.LCB_department->captionText(), QString());
}

void TestReference::workerSearch_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("shown");
    const QString ivanov = QStringLiteral("Иванов И.И.");
    const QString ivanova = QStringLiteral("Иванова А.П.");
    const QString obrien = QStringLiteral("O'Brien Д.");
    const QString petrov = QStringLiteral("Петров П.П.");
    // The list is in the server's order: the name stored with a leading blank comes first.
    QTest::newRow("nothing typed") << QString() << QStringList{ivanova, obrien, ivanov, petrov};
    QTest::newRow("lower-case Cyrillic") << QStringLiteral("ива") << QStringList{ivanova, ivanov};
    QTest::newRow("upper-case Cyrillic") << QStringLiteral("ИВАНОВА") << QStringList{ivanova};
    QTest::newRow("prefix only") << QStringLiteral("ов") << QStringList{};
    QTest::newRow("apostrophe") << QStringLiteral("o'b") << QStringList{obrien};
    QTest::newRow("blank kept as typed") << QStringLiteral("иванов ") << QStringList{ivanov};
    QTest::newRow("no match") << QStringLiteral("Щ") << QStringList{};
    QTest::newRow("wildcards are plain characters") << QStringLiteral("%") << QStringList{};
}

void TestReference::workerSearch()
{
    QFETCH(QString, typed);
    QFETCH(QStringList, shown);
    TestDatabase db;
    for (const char *fio : {"Петров П.П.", "Иванов И.И.", "  Иванова А.П.", "O'Brien Д."})
        db.addWorker(QString::fromUtf8(fio));
    auto module = db.connectModule();
    TForm5 w(module.get());
    w.PrepareList();
    w.show();
    typeText(w.Edit1, typed);
    QCOMPARE(w.Edit1->text(), typed);
    QCOMPARE(column(module->Workers, "fio"), shown);
    QCOMPARE(w.DBGrid1->model()->rowCount(), shown.size());
    // Erasing the text shows everybody again.
    w.Edit1->clear();
    QCOMPARE(module->Workers->recordCount(), 4);
    w.FinishList();
}

void TestReference::workerSearchKeys()
{
    TestDatabase db;
    for (const char *fio : {"Иванов И.И.", "Иванова А.П.", "Иванченко В.В.", "Петров П.П."})
        db.addWorker(QString::fromUtf8(fio));
    auto module = db.connectModule();
    TForm5 w(module.get());
    w.PrepareList();
    w.show();
    typeText(w.Edit1, QStringLiteral("Иван"));
    QCOMPARE(module->Workers->recordCount(), 3);
    QCOMPARE(module->Workers->recNo(), 1);
    QTest::keyClick(w.Edit1, Qt::Key_Down);
    QTest::keyClick(w.Edit1, Qt::Key_Down);
    QCOMPARE(module->Workers->recNo(), 3);
    QCOMPARE(w.DBGrid1->currentIndex().row(), 2);
    QTest::keyClick(w.Edit1, Qt::Key_Down);   // stays on the last row
    QCOMPARE(module->Workers->recNo(), 3);
    QTest::keyClick(w.Edit1, Qt::Key_Up);
    QCOMPARE(module->Workers->recNo(), 2);
    QCOMPARE(w.Edit1->text(), QStringLiteral("Иван"));

    // Keys that type nothing do nothing in the box; typing and Backspace still edit.
    QTest::keyClick(w.Edit1, Qt::Key_Home);
    QTest::keyClick(w.Edit1, Qt::Key_Delete);
    QTest::keyClick(w.Edit1, Qt::Key_Left);
    QCOMPARE(w.Edit1->cursorPosition(), 4);
    QCOMPARE(w.Edit1->text(), QStringLiteral("Иван"));
    typeText(w.Edit1, QStringLiteral("ч"));
    QCOMPARE(w.Edit1->text(), QStringLiteral("Иванч"));
    QCOMPARE(column(module->Workers, "fio"), QStringList{QStringLiteral("Иванченко В.В.")});
    QTest::keyClick(w.Edit1, Qt::Key_Backspace);
    QCOMPARE(w.Edit1->text(), QStringLiteral("Иван"));
    QCOMPARE(module->Workers->recordCount(), 3);
    w.hide();
    w.FinishList();

    // From the menu the search text and its filter stay in force.
    w.PrepareList();
    QCOMPARE(w.Edit1->text(), QStringLiteral("Иван"));
    QCOMPARE(module->Workers->recordCount(), 3);
    w.FinishList();
}

void TestReference::workerPicker_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("handedBack");   // empty: nothing handed back
    QTest::newRow("production record dialog") << 1 << QStringLiteral("пет") << "Button2" << QStringLiteral("Петров П.П.");
    QTest::newRow("household-work dialog") << 24 << QStringLiteral("иван") << "Button2" << QStringLiteral("Иванов И.И.");
    QTest::newRow("double-click chooses") << 1 << QStringLiteral("иван") << "DBGrid1" << QStringLiteral("Иванов И.И.");
    QTest::newRow("no match") << 1 << QStringLiteral("Щ") << "Button2" << QString();
    QTest::newRow("Выход") << 24 << QStringLiteral("пет") << "Button4" << QString();
    QTest::newRow("Esc") << 1 << QStringLiteral("пет") << "Esc" << QString();
}

void TestReference::workerPicker()
{
    QFETCH(int, mode);
    QFETCH(QString, typed);
    QFETCH(QString, button);
    QFETCH(QString, handedBack);
    TestDatabase db;
    const int petrov = db.addWorker(QStringLiteral(" Петров П.П. "));
    const int ivanov = db.addWorker(QStringLiteral("Иванов И.И."));
    auto module = db.connectModule();
    TForm5 w(module.get());
    // A search left from an earlier opening is emptied.
    w.PrepareList();
    w.Edit1->setText(QStringLiteral("Я"));
    w.FinishList();

    Receiver<WorkerChoice> receiver;
    ModalAction pick;
    onModal(pick, [&](QDialog *d) {
        QCOMPARE(d, static_cast<QDialog *>(&w));
        QCOMPARE(w.Tag, mode);
        QCOMPARE(w.Edit1->text(), QString());
        QCOMPARE(module->Workers->recordCount(), 2);
        QCOMPARE(w.Button2->text(), QStringLiteral("Выбрать"));
        QVERIFY(w.Button2->isDefault());
        QVERIFY(!w.Button1->isVisible());
        QVERIFY(!w.Button3->isVisible());
        QVERIFY(w.Edit1->isVisible());
        QCOMPARE(w.focusWidget(), static_cast<QWidget *>(w.Edit1));
        typeText(w.Edit1, typed);
        if (button == QLatin1String("Esc"))
            QTest::keyClick(w.Edit1, Qt::Key_Escape);
        else if (button == QLatin1String("DBGrid1"))
            w.DBGrid1DblClick();
        else
            w.findChild<QPushButton *>(button)->click();
    });
    w.ShowPicker(&receiver, mode);
    QVERIFY(pick.ran);
    QVERIFY(!pick.stayedOpen);
    QVERIFY(!module->Workers->isOpen());
    if (handedBack.isEmpty()) {
        QVERIFY(receiver.taken.isEmpty());
    } else {
        QCOMPARE(receiver.taken.size(), 1);
        QCOMPARE(receiver.taken[0].fio, handedBack);
        QCOMPARE(receiver.taken[0].id, handedBack.startsWith(QStringLiteral("П")) ? petrov : ivanov);
    }
}

void TestReference::workerDatabaseError()
{
    TestDatabase db;
    db.addWorker(QStringLiteral("Иванов И.И."));
    auto module = db.connectModule();
    Messages::MessageRecorder rec;
    TForm5 w(module.get());
    w.PrepareList();
    // A name longer than the column is cut by the box itself, so the server never refuses it.
    QCOMPARE(w.Form2->Edit1->maxLength(), 254);
    // A statement the server refuses shows its text; the dialog stays open, the list is not reread.
    db.exec(QStringLiteral("alter table accounts_dep.person add constraint no_x check (fio <> 'X')"));
    ModalAction add;
    onModal(add, [&](QDialog *) {
        w.Form2->Edit1->setText(QStringLiteral("X"));
        w.Form2->findChild<QPushButton *>("Button1")->click();
    });
    w.Button1Click();
    QVERIFY(add.stayedOpen);
    QCOMPARE(rec.errors().size(), 1);
    QVERIFY(rec.errors()[0].contains(QStringLiteral("no_x")));
    w.FinishList();
}

// ------------------------------------------------------------------------------------------------
// Products

void TestReference::productListLook()
{
    TestDatabase db;
    auto module = db.connectModule();
    TForm3 w(module.get());
    QCOMPARE(w.windowTitle(), QStringLiteral("Изделия (3)"));
    const auto cols = headers(w.DBGrid1);
    QCOMPARE(cols.size(), 3);
    QCOMPARE(cols[0].title, QStringLiteral("Марка изделия"));
    QCOMPARE(cols[0].width, 315);
    QCOMPARE(cols[1].title, QStringLiteral("Номенклатурная группа"));
    QCOMPARE(cols[1].width, 162);
    QCOMPARE(cols[2].title, QStringLiteral("Коробки"));
    QCOMPARE(cols[2].width, 67);
    QCOMPARE(w.Form7->windowTitle(), QStringLiteral("Изделие"));
    w.PrepareList();
    QCOMPARE(w.Button2->text(), QStringLiteral("Изменить"));
    QVERIFY(w.Button1->isDefault());
    QVERIFY(!w.Button2->isDefault());
    QVERIFY(w.Edit1->isVisibleTo(&w));   // shown until the first pick of the run
    w.FinishList();
}

void TestReference::productAddAndChange()
{
    TestDatabase db;
    const int bolts = db.addGroup(QStringLiteral("Болты"));
    const int nuts = db.addGroup(QStringLiteral("Гайки"));
    db.addProduct(QStringLiteral("А-100"), nuts, 2);
    db.addProduct(QStringLiteral("Б-200"), nuts, 1.5);
    db.addProduct(QStringLiteral("В-300"), bolts, 3);
    auto module = db.connectModule();
    Messages::MessageRecorder rec;
    TForm3 w(module.get());
    w.PrepareList();
    module->Izdel->setRecNo(2);

    // Add: a mark with apostrophes; the row number is kept.
    ModalAction add;
    onModal(add, [&](QDialog *d) {
        QCOMPARE(d->windowTitle(), QStringLiteral("Заведение нового изделия (7)"));
        QCOMPARE(w.Form7->Tag, 1);
        QVERIFY(w.Form7->Edit1->text().isEmpty());
        QVERIFY(w.Form7->Edit2->text().isEmpty());
        QCOMPARE(w.Form7->cb_item->currentIndex(), -1);   // nothing chosen at the first opening
        w.Form7->Edit1->setText(QStringLiteral(" Труба 5'' "));
        typeText(w.Form7->Edit2, QStringLiteral("2,25"));
        w.Form7->cb_item->setKeyValue(bolts);
        w.Form7->Button1Click();
    });
    w.Button1Click();
    QVERIFY(add.ran);
    QVERIFY(!add.stayedOpen);
    QVERIFY(rec.shown.isEmpty());
    auto rows = db.rows(QStringLiteral("select s_caption, s_description, id_msm_bs, massa, id_class_item from cmn_gds_and_srv.gds_and_srv where s_caption like 'Труба%'"));
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows[0][0].toString(), QStringLiteral("Труба 5''"));
    QCOMPARE(rows[0][1].toString(), QString());
    QCOMPARE(rows[0][2].toInt(), 6);
    QCOMPARE(rows[0][3].toDouble(), 2.25);
    QCOMPARE(rows[0][4].toInt(), bolts);
    QCOMPARE(module->Izdel->recordCount(), 4);
    QCOMPARE(module->Izdel->recNo(), 2);
    QVERIFY(!w.Form7->cb_item->isOpen());

    // Change the current product: the dialog is filled from the row, the group list shows the
    // product's group; the unchanged mark is not a duplicate of itself.
    QVERIFY(module->Izdel->locate("marka", QStringLiteral("Б-200")));
    const int row = module->Izdel->recNo();
    ModalAction change;
    onModal(change, [&](QDialog *d) {
        QCOMPARE(d->windowTitle(), QStringLiteral("Изменение данных изделия (7)"));
        QCOMPARE(w.Form7->Tag, 2);
        QCOMPARE(w.Form7->Edit1->text(), QStringLiteral("Б-200"));
        QCOMPARE(w.Form7->Edit2->text(), QStringLiteral("1.5"));
        QCOMPARE(w.Form7->cb_item->captionText(), QStringLiteral("Гайки"));
        w.Form7->Edit2->clear();
        typeText(w.Form7->Edit2, QStringLiteral("7.125"));
        w.Form7->Button1Click();
    });
    w.Button2Click();
    QVERIFY(!change.stayedOpen);
    QVERIFY(rec.shown.isEmpty());
    QCOMPARE(module->Izdel->recNo(), row);
    QCOMPARE(module->Izdel->text("marka"), QStringLiteral("Б-200"));
    rows = db.rows(QStringLiteral("select massa, id_class_item, id_msm_bs, s_description from cmn_gds_and_srv.gds_and_srv where s_caption='Б-200'"));
    QCOMPARE(rows[0][0].toDouble(), 7.125);
    QCOMPARE(rows[0][1].toInt(), nuts);

    // A new product starts from the group last shown in the dialog.
    ModalAction again;
    onModal(again, [&](QDialog *) { QCOMPARE(w.Form7->cb_item->captionText(), QStringLiteral("Гайки")); });
    w.Button1Click();
    QVERIFY(again.ran);

    // Change mark and group of the product with the apostrophe.
    QVERIFY(module->Izdel->locate("marka", QStringLiteral("Труба 5''")));
    ModalAction rename;
    onModal(rename, [&](QDialog *) {
        QCOMPARE(w.Form7->Edit2->text(), QStringLiteral("2.25"));
        w.Form7->Edit1->setText(QStringLiteral("Труба 6''"));
        w.Form7->cb_item->setKeyValue(nuts);
        w.Form7->Button1Click();
    });
    w.Button2Click();
    QVERIFY(!rename.stayedOpen);
    QCOMPARE(db.scalar(QStringLiteral("select nom from accounts_dep.izdel where marka='Труба 6'''''")).toString(), QStringLiteral("Гайки"));
    w.FinishList();
}

void TestReference::productRefusals_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("mark");
    QTest::addColumn<QString>("massa");
    QTest::addColumn<bool>("group");
    QTest::addColumn<QString>("message");
    const QString fill = QStringLiteral("Все поля должны быть заполнены!");
    const QString dup = QStringLiteral("Такая марка изделия уже заведена!");
    QTest::newRow("add: no mark") << 1 << QStringLiteral("   ") << "1" << true << fill;
    QTest::newRow("add: no massa") << 1 << QStringLiteral("Н-1") << "" << true << fill;
    QTest::newRow("add: no group") << 1 << QStringLiteral("Н-1") << "1" << false << fill;
    QTest::newRow("add: same mark, other case") << 1 << QStringLiteral(" шк-10 ") << "1" << true << dup;
    QTest::newRow("add: same mark with apostrophe") << 1 << QStringLiteral("к'5") << "1" << true << dup;
    QTest::newRow("change: mark of another product") << 2 << QStringLiteral("ШК-10") << "1" << true << dup;
    QTest::newRow("change: no group") << 2 << QStringLiteral("Новая") << "1" << false << fill;
}

void TestReference::productRefusals()
{
    QFETCH(int, mode);
    QFETCH(QString, mark);
    QFETCH(QString, massa);
    QFETCH(bool, group);
    QFETCH(QString, message);
    TestDatabase db;
    const int g = db.addGroup(QStringLiteral("Шкафы"));
    db.addProduct(QStringLiteral("ШК-10"), g);
    db.addProduct(QStringLiteral("К'5"), g);
    db.addProduct(QStringLiteral("Я-1"), g, 4);
    auto module = db.connectModule();
    Messages::MessageRecorder rec;
    TForm3 w(module.get());
    w.PrepareList();
    QVERIFY(module->Izdel->locate("marka", QStringLiteral("Я-1")));
    ModalAction save;
    onModal(save, [&](QDialog *) {
        w.Form7->Edit1->setText(mark);
        w.Form7->Edit2->setText(massa);
        w.Form7->cb_item->setKeyValue(group ? g : 0);
        w.Form7->Button1Click();
    });
    if (mode == 1)
        w.Button1Click();
    else
        w.Button2Click();
    QVERIFY(save.stayedOpen);
    QCOMPARE(rec.errors(), QStringList{message});
    QCOMPARE(rec.shown[0].title, QStringLiteral("Ошибка"));
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from cmn_gds_and_srv.gds_and_srv")).toInt(), 3);
    QCOMPARE(db.scalar(QStringLiteral("select massa from cmn_gds_and_srv.gds_and_srv where s_caption='Я-1'")).toDouble(), 4.0);
    w.FinishList();
}

void TestReference::productMassaKeys()
{
    TestDatabase db;
    auto module = db.connectModule();
    TForm7 d(module.get());
    d.show();
    typeText(d.Edit2, QStringLiteral("12,5"));
    QCOMPARE(d.Edit2->text(), QStringLiteral("12.5"));
    typeText(d.Edit2, QStringLiteral("a-Ж ;'"));
    QCOMPARE(d.Edit2->text(), QStringLiteral("12.5"));
    QTest::keyClick(d.Edit2, Qt::Key_Backspace);
    QCOMPARE(d.Edit2->text(), QStringLiteral("12."));
    typeText(d.Edit2, QStringLiteral("."));
    QCOMPARE(d.Edit2->text(), QStringLiteral("12.."));
    // Pasted text obeys the same rule: nothing but digits and points gets in.
    d.Edit2->clear();
    QApplication::clipboard()->setText(QStringLiteral("1); delete from accounts_dep.oper; --"));
    d.Edit2->paste();
    QCOMPARE(d.Edit2->text(), QString());
    QApplication::clipboard()->setText(QStringLiteral("3,75"));
    d.Edit2->paste();
    QCOMPARE(d.Edit2->text(), QStringLiteral("3.75"));

    QCOMPARE(trimmedDecimal(QStringLiteral("1.500000")), QStringLiteral("1.5"));
    QCOMPARE(trimmedDecimal(QStringLiteral("2.000000")), QStringLiteral("2"));
    QCOMPARE(trimmedDecimal(QStringLiteral("10")), QStringLiteral("10"));
    QCOMPARE(trimmedDecimal(QStringLiteral("0.000000")), QStringLiteral("0"));
}

void TestReference::productDeletion_data()
{
    QTest::addColumn<bool>("prices");
    QTest::addColumn<QDate>("recordDate");          // invalid: no records
    QTest::addColumn<QList<bool>>("answers");
    QTest::addColumn<QStringList>("questions");
    QTest::addColumn<int>("pricesLeft");
    QTest::addColumn<int>("recordsLeft");
    QTest::addColumn<bool>("productLeft");
    const QString priceQ = QStringLiteral("По изделию есть расценки они будут удалены!!!");
    const QString recordsQ = QStringLiteral("По изделию есть операции в текущем, предыдущем месяцах и ранее, они будут удалены. Удалить изделие? ");
    const QString plainQ = QStringLiteral("Удалить изделие? ");
    const QDate recent = QDate::currentDate().addDays(-3);
    const QDate old(1999, 6, 15);
    QTest::newRow("prices and records, Yes Yes") << true << recent << QList<bool>{true, true}
                                                 << QStringList{priceQ, recordsQ} << 0 << 0 << false;
    QTest::newRow("prices, No to prices, Yes") << true << QDate() << QList<bool>{false, true}
                                               << QStringList{priceQ, plainQ} << 2 << 0 << false;
    QTest::newRow("prices and records, Yes No") << true << recent << QList<bool>{true, false}
                                                << QStringList{priceQ, recordsQ} << 0 << 2 << true;
    QTest::newRow("records only, No") << false << recent << QList<bool>{false}
                                      << QStringList{recordsQ} << 0 << 2 << true;
    QTest::newRow("records before the threshold, Yes") << false << old << QList<bool>{true}
                                                       << QStringList{plainQ} << 0 << 2 << false;
    QTest::newRow("nothing attached, Yes") << false << QDate() << QList<bool>{true}
                                           << QStringList{plainQ} << 0 << 0 << false;
    QTest::newRow("nothing attached, No") << false << QDate() << QList<bool>{false}
                                          << QStringList{plainQ} << 0 << 0 << true;
}

void TestReference::productDeletion()
{
    QFETCH(bool, prices);
    QFETCH(QDate, recordDate);
    QFETCH(QList<bool>, answers);
    QFETCH(QStringList, questions);
    QFETCH(int, pricesLeft);
    QFETCH(int, recordsLeft);
    QFETCH(bool, productLeft);
    TestDatabase db;
    const int g = db.addGroup(QStringLiteral("Группа"));
    const int keep = db.addProduct(QStringLiteral("А-1"), g);
    const int product = db.addProduct(QStringLiteral("Б-2"), g);
    const int kind = db.addKind(QStringLiteral("Сборка"));
    const int worker = db.addWorker(QStringLiteral("Иванов И.И."));
    const int keptPrice = db.addPrice(kind, keep);
    db.addNorm(keptPrice, 10);
    db.addRecord(worker, keep, keptPrice, QDate::currentDate(), 1, 5, 0, 10, 8);
    int price = keptPrice;
    if (prices) {
        price = db.addPrice(kind, product, 0);
        db.addPrice(kind, product, 1);
        db.addNorm(price, 12);
    }
    if (recordDate.isValid()) {
        db.addRecord(worker, product, price, recordDate, 1, 5, 0, 12, 8);
        db.addRecord(worker, product, price, QDate(1998, 1, 10), 2, 1, 0, 12, 4);   // older than any threshold
    }
    auto module = db.connectModule();
    Messages::MessageRecorder rec;
    rec.answers = answers;
    TForm3 w(module.get());
    w.PrepareList();
    QVERIFY(module->Izdel->locate("id", product));
    w.Button3Click();

    QCOMPARE(rec.texts(), questions);
    for (const auto &shown : rec.shown) {
        QCOMPARE(shown.kind, Messages::Shown::Question);
        QCOMPARE(shown.title, QStringLiteral("Удаление"));
    }
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from accounts_dep.oper where i_id=%1").arg(product)).toInt(), pricesLeft);
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from accounts_dep.smena where i_id=%1").arg(product)).toInt(), recordsLeft);
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from cmn_gds_and_srv.gds_and_srv where id=%1").arg(product)).toInt(),
             productLeft ? 1 : 0);
    // The norms of deleted prices stay; nothing of the other product is touched.
    if (prices)
        QCOMPARE(db.scalar(QStringLiteral("select count(*) from accounts_dep.norm where o_id=%1").arg(price)).toInt(), 1);
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from accounts_dep.oper where i_id=%1").arg(keep)).toInt(), 1);
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from accounts_dep.smena where i_id=%1").arg(keep)).toInt(), 1);
    // The list is reread from its first row.
    QCOMPARE(module->Izdel->recordCount(), productLeft ? 2 : 1);
    QCOMPARE(module->Izdel->recNo(), 1);
    w.FinishList();
}

void TestReference::deletionThreshold_data()
{
    QTest::addColumn<QDate>("today");
    QTest::addColumn<QDate>("threshold");
    QTest::newRow("March") << QDate(2024, 3, 15) << QDate(2000, 2, 1);
    QTest::newRow("January") << QDate(2025, 1, 31) << QDate(2000, 12, 1);
    QTest::newRow("December") << QDate(2023, 12, 1) << QDate(2000, 11, 1);
}

void TestReference::deletionThreshold()
{
    QFETCH(QDate, today);
    QFETCH(QDate, threshold);
    QCOMPARE(ProductDeletion::threshold(today), threshold);
}

void TestReference::productPicker()
{
    TestDatabase db;
    const int g = db.addGroup(QStringLiteral("Группа"));
    db.addProduct(QStringLiteral("Шкаф-1"), g);
    const int cabinet = db.addProduct(QStringLiteral(" шкаф-2 "), g);
    db.addProduct(QStringLiteral("Стол"), g);
    auto module = db.connectModule();
    TForm3 w(module.get());

    // Up and Down move the list, every other key edits the search text as usual.
    Receiver<ProductChoice> receiver;
    ModalAction pick;
    onModal(pick, [&](QDialog *) {
        QCOMPARE(w.Tag, 1);
        QCOMPARE(w.Button2->text(), QStringLiteral("Выбрать"));
        QVERIFY(w.Button2->isDefault());
        QVERIFY(!w.Button1->isVisible());
        QVERIFY(!w.Button3->isVisible());
        QCOMPARE(w.focusWidget(), static_cast<QWidget *>(w.Edit1));
        typeText(w.Edit1, QStringLiteral("ШКАФ"));
        QCOMPARE(module->Izdel->recordCount(), 2);
        QTest::keyClick(w.Edit1, Qt::Key_Down);
        QTest::keyClick(w.Edit1, Qt::Key_Left);
        QTest::keyClick(w.Edit1, Qt::Key_Delete);
        QCOMPARE(w.Edit1->text(), QStringLiteral("ШКА"));
        typeText(w.Edit1, QStringLiteral("Ф"));
        QCOMPARE(module->Izdel->recordCount(), 2);
        QTest::keyClick(w.Edit1, Qt::Key_Down);
        QCOMPARE(module->Izdel->text("marka"), QStringLiteral("Шкаф-1"));
        QTest::keyClick(w.Edit1, Qt::Key_Up);
        QTest::keyClick(w.Edit1, Qt::Key_Return);   // "Выбрать" is the default button
    });
    w.ShowPicker(&receiver);
    QVERIFY(!pick.stayedOpen);
    QCOMPARE(receiver.taken.size(), 1);
    QCOMPARE(receiver.taken[0].id, qint64(cabinet));
    QCOMPARE(receiver.taken[0].marka, QStringLiteral("шкаф-2"));
    QVERIFY(!module->Izdel->isOpen());

    // After the first pick the menu-opened list has no search box and shows every product.
    w.PrepareList();
    QVERIFY(!w.Edit1->isVisibleTo(&w));
    QVERIFY(!w.Button2->isDefault());
    QCOMPARE(module->Izdel->recordCount(), 3);
    w.FinishList();

    // A search that matches nothing: "Выбрать" closes without handing anything back.
    ModalAction none;
    onModal(none, [&](QDialog *) {
        QVERIFY(w.Edit1->isVisible());
        QCOMPARE(w.Edit1->text(), QString());
        typeText(w.Edit1, QStringLiteral("Диван"));
        QCOMPARE(module->Izdel->recordCount(), 0);
        w.Button2->click();
    });
    w.ShowPicker(&receiver);
    QVERIFY(!none.stayedOpen);
    QCOMPARE(receiver.taken.size(), 1);
}

// ------------------------------------------------------------------------------------------------
// Operation kinds

void TestReference::kindListLook()
{
    TestDatabase db;
    auto module = db.connectModule();
    TForm8 w(module.get());
    QCOMPARE(w.windowTitle(), QStringLiteral("Виды операций (8)"));
    const auto cols = headers(w.DBGrid1);
    QCOMPARE(cols.size(), 1);
    QCOMPARE(cols[0].title, QStringLiteral("Операции"));
    QCOMPARE(cols[0].width, 309);
    // The special kinds are listed like any other.
    w.PrepareList();
    QCOMPARE(column(module->Vid_oper, "vid"), (QStringList{QStringLiteral("Хоз. работы"), QStringLiteral("среднесдельная")}));
    QVERIFY(!w.Edit1->isVisibleTo(&w));
    QVERIFY(w.Button1->isDefault());
    w.FinishList();
}

void TestReference::kindAddChangeDelete()
{
    TestDatabase db;
    db.addKind(QStringLiteral("Покраска"));
    auto module = db.connectModule();
    Messages::MessageRecorder rec;
    TForm8 w(module.get());
    w.PrepareList();

    // Add: the new kind becomes the current row of the reopened list.
    ModalAction add;
    onModal(add, [&](QDialog *d) {
        QCOMPARE(d->windowTitle(), QStringLiteral("Заведение нового вида операций"));
        QCOMPARE(w.Form9->Tag, 1);
        w.Form9->Edit1->setText(QStringLiteral("  Резка 5'' "));
        w.Form9->Button1Click();
    });
    w.Button1Click();
    QVERIFY(!add.stayedOpen);
    QVERIFY(rec.shown.isEmpty());
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from accounts_dep.vid_oper where vid='Резка 5'''''")).toInt(), 1);
    QCOMPARE(module->Vid_oper->recordCount(), 4);
    QCOMPARE(module->Vid_oper->text("vid").trimmed(), QStringLiteral("Резка 5''"));

    // Change the household-work kind, unchanged name first: not a duplicate of itself.
    QVERIFY(module->Vid_oper->locate("id", 7777));
    ModalAction same;
    onModal(same, [&](QDialog *d) {
        QCOMPARE(d->windowTitle(), QStringLiteral("Изменение данных вида операции"));
        QCOMPARE(w.Form9->Tag, 2);
        QCOMPARE(w.Form9->Edit1->text(), QStringLiteral("Хоз. работы"));
        w.Form9->Button1Click();
    });
    w.Button2Click();
    QVERIFY(!same.stayedOpen);
    QVERIFY(rec.shown.isEmpty());
    ModalAction rename;
    onModal(rename, [&](QDialog *) {
        w.Form9->Edit1->setText(QStringLiteral("Хозяйственные работы"));
        w.Form9->Button1Click();
    });
    w.Button2Click();
    QVERIFY(!rename.stayedOpen);
    QCOMPARE(db.scalar(QStringLiteral("select trim(vid) from accounts_dep.vid_oper where id=7777")).toString(),
             QStringLiteral("Хозяйственные работы"));
    QCOMPARE(module->Vid_oper->toInt("id"), 7777);
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from accounts_dep.vid_oper")).toInt(), 4);

    // Delete: No keeps it, Yes deletes the current kind (the average-piecework one here).
    QVERIFY(module->Vid_oper->locate("id", 7778));
    rec.answers = {false};
    w.Button3Click();
    QCOMPARE(rec.texts(), QStringList{QStringLiteral("Удалить вид операции?")});
    QCOMPARE(rec.shown[0].title, QStringLiteral("Удаление"));
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from accounts_dep.vid_oper where id=7778")).toInt(), 1);
    rec.answers = {true};
    w.Button3Click();
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from accounts_dep.vid_oper where id=7778")).toInt(), 0);
    // The price that refers to it stays.
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from accounts_dep.oper where vid=7778")).toInt(), 1);
    QCOMPARE(module->Vid_oper->recordCount(), 3);
    QCOMPARE(module->Vid_oper->recNo(), 1);
    w.FinishList();
}

void TestReference::kindRefusals_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message");
    const QString dup = QStringLiteral("Такая операция уже заведена!");
    QTest::newRow("add: empty") << 1 << QStringLiteral("  ") << QStringLiteral("Все поля должны быть заполнены!");
    QTest::newRow("add: other case") << 1 << QStringLiteral("ХОЗ. РАБОТЫ") << dup;
    QTest::newRow("add: blanks around") << 1 << QStringLiteral(" покраска ") << dup;
    QTest::newRow("add: apostrophe") << 1 << QStringLiteral("о'КЕЙ") << dup;
    QTest::newRow("change: name of another kind") << 2 << QStringLiteral("Среднесдельная") << dup;
    QTest::newRow("change: empty") << 2 << QString() << QStringLiteral("Все поля должны быть заполнены!");
}

void TestReference::kindRefusals()
{
    QFETCH(int, mode);
    QFETCH(QString, typed);
    QFETCH(QString, message);
    TestDatabase db;
    db.addKind(QStringLiteral("Покраска"));
    db.addKind(QStringLiteral("О'кей"));
    auto module = db.connectModule();
    Messages::MessageRecorder rec;
    TForm8 w(module.get());
    w.PrepareList();
    QVERIFY(module->Vid_oper->locate("id", 7777));
    ModalAction save;
    onModal(save, [&](QDialog *) {
        w.Form9->Edit1->setText(typed);
        w.Form9->Button1Click();
    });
    if (mode == 1)
        w.Button1Click();
    else
        w.Button2Click();
    QVERIFY(save.stayedOpen);
    QCOMPARE(rec.errors(), QStringList{message});
    QCOMPARE(rec.shown[0].title, QStringLiteral("Ошибка"));
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from accounts_dep.vid_oper")).toInt(), 4);
    QCOMPARE(db.scalar(QStringLiteral("select trim(vid) from accounts_dep.vid_oper where id=7777")).toString(),
             QStringLiteral("Хоз. работы"));
    w.FinishList();
}

void TestReference::kindPicker()
{
    TestDatabase db;
    const int painting = db.addKind(QStringLiteral("Покраска"));
    db.addKind(QStringLiteral("Полировка"));
    auto module = db.connectModule();
    TForm8 w(module.get());

    Receiver<OperationKindChoice> receiver;
    ModalAction pick;
    onModal(pick, [&](QDialog *) {
        QCOMPARE(w.Tag, 1);
        QVERIFY(w.Edit1->isVisible());
        QCOMPARE(w.focusWidget(), static_cast<QWidget *>(w.Edit1));
        QCOMPARE(w.Button2->text(), QStringLiteral("Выбрать"));
        QVERIFY(w.Button2->isDefault());
        QVERIFY(!w.Button1->isVisible());
        QVERIFY(!w.Button3->isVisible());
        typeText(w.Edit1, QStringLiteral("по"));
        QCOMPARE(module->Vid_oper->recordCount(), 2);
        QTest::keyClick(w.Edit1, Qt::Key_End);   // swallowed
        typeText(w.Edit1, QStringLiteral("к"));
        QCOMPARE(w.Edit1->text(), QStringLiteral("пок"));
        QCOMPARE(module->Vid_oper->recordCount(), 1);
        w.DBGrid1DblClick();
    });
    w.ShowPicker(&receiver);
    QVERIFY(!pick.stayedOpen);
    QCOMPARE(receiver.taken.size(), 1);
    QCOMPARE(receiver.taken[0].id, painting);
    QCOMPARE(receiver.taken[0].vid, QStringLiteral("Покраска"));   // without the column's padding
    QVERIFY(!module->Vid_oper->isOpen());
    QVERIFY(!w.Edit1->isVisibleTo(&w));
    QVERIFY(!w.Button2->isDefault());

    // From the menu: no search box and no filter, whatever the picker left.
    w.PrepareList();
    QVERIFY(!w.Edit1->isVisibleTo(&w));
    QCOMPARE(module->Vid_oper->recordCount(), 4);
    QCOMPARE(w.Button2->text(), QStringLiteral("Изменить"));
    QVERIFY(w.Button1->isVisibleTo(&w));
    w.FinishList();

    // The picker's search box is emptied at each opening; no match hands back nothing.
    ModalAction none;
    onModal(none, [&](QDialog *) {
        QCOMPARE(w.Edit1->text(), QString());
        QCOMPARE(module->Vid_oper->recordCount(), 4);
        typeText(w.Edit1, QStringLiteral("Щ"));
        w.Button2->click();
    });
    w.ShowPicker(&receiver);
    QVERIFY(none.ran);
    QCOMPARE(receiver.taken.size(), 1);
}

// ------------------------------------------------------------------------------------------------
// Nomenclature picker

void TestReference::nomenclaturePicker()
{
    TestDatabase db;
    const int bolts = db.addGroup(QStringLiteral("Болты "));
    db.addGroup(QStringLiteral("Бочки"));
    db.addGroup(QStringLiteral("Гайки"));
    db.exec(QStringLiteral("insert into cmn_classifier.item(id, id_level, s_caption) values (900, 1, 'Бумага')"));
    auto module = db.connectModule();
    TForm26 w(module.get());
    QCOMPARE(w.windowTitle(), QStringLiteral("Номенклатура (26)"));
    const auto cols = headers(w.DBGrid1);
    QCOMPARE(cols.size(), 1);
    QCOMPARE(cols[0].title, QStringLiteral("Наименование"));
    QCOMPARE(cols[0].width, 365);
    QCOMPARE(w.findChild<QPushButton *>("Button1")->text(), QStringLiteral("Выбрать"));
    QCOMPARE(w.findChild<QPushButton *>("Button4")->text(), QStringLiteral("Выход"));
    QVERIFY(!w.findChild<QPushButton *>("Button1")->isDefault());
    QCOMPARE(w.minimumSize(), w.maximumSize());

    // Only level 2; the caption goes back as stored.
    Receiver<NomenclatureChoice> receiver;
    ModalAction pick;
    onModal(pick, [&](QDialog *) {
        QCOMPARE(w.item->recordCount(), 3);
        typeText(w.Edit1, QStringLiteral("бо"));
        QCOMPARE(w.item->recordCount(), 2);
        QTest::keyClick(w.Edit1, Qt::Key_Down);
        QTest::keyClick(w.Edit1, Qt::Key_Up);
        QTest::keyClick(w.Edit1, Qt::Key_Return);   // no default button: nothing happens
        QVERIFY(w.isVisible());
        w.findChild<QPushButton *>("Button1")->click();
    });
    w.ShowPicker(&receiver);
    QVERIFY(!pick.stayedOpen);
    QCOMPARE(receiver.taken.size(), 1);
    QCOMPARE(receiver.taken[0].id, qint64(bolts));
    QCOMPARE(receiver.taken[0].caption, QStringLiteral("Болты "));
    QVERIFY(!w.item->isOpen());

    // Reopened: the last search text and its filter are still there. Выход and Esc choose nothing.
    for (const bool esc : {false, true}) {
        ModalAction leave;
        onModal(leave, [&](QDialog *) {
            QCOMPARE(w.Edit1->text(), QStringLiteral("бо"));
            QCOMPARE(w.item->recordCount(), 2);
            if (esc)
                QTest::keyClick(w.Edit1, Qt::Key_Escape);
            else
                w.findChild<QPushButton *>("Button4")->click();
        });
        w.ShowPicker(&receiver);
        QVERIFY(leave.ran);
        QVERIFY(!leave.stayedOpen);
        QCOMPARE(receiver.taken.size(), 1);
    }

    // Choosing while the search shows nothing hands back the id 0 and an empty caption.
    ModalAction empty;
    onModal(empty, [&](QDialog *) {
        typeText(w.Edit1, QStringLiteral("щ"));
        QCOMPARE(w.item->recordCount(), 0);
        w.DBGrid1DblClick();
    });
    w.ShowPicker(&receiver);
    QCOMPARE(receiver.taken.size(), 2);
    QCOMPARE(receiver.taken[1].id, qint64(0));
    QCOMPARE(receiver.taken[1].caption, QString());
}

// ------------------------------------------------------------------------------------------------
// Main menu

void TestReference::menuOpensLists_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("window");
    QTest::newRow("Рабочие") << "MenuWorkers" << "TForm5";
    QTest::newRow("Изделия") << "MenuProducts" << "TForm3";
    QTest::newRow("Операции") << "MenuKinds" << "TForm8";
}

void TestReference::menuOpensLists()
{
    QFETCH(QString, action);
    QFETCH(QString, window);
    TestDatabase db;
    const int worker = db.addWorker(QStringLiteral("Иванов И.И."));
    const int g = db.addGroup(QStringLiteral("Группа"));
    const int product = db.addProduct(QStringLiteral("А-1"), g);
    const int kind = db.addKind(QStringLiteral("Сборка"));
    const int price = db.addPrice(kind, product);
    db.addNorm(price, 10);
    auto module = db.connectModule();
    Messages::MessageRecorder rec;
    {
        TForm1 main(module.get());
        // The menu's lists are the run's windows, over the module the main window was given.
        QCOMPARE(Windows::module(), module.get());
        QCOMPARE(Windows::owner(), static_cast<QWidget *>(&main));
        prepareJournals(*module);
        main.setJournalDate(QDate(2001, 1, 1));
        main.ReadJournals();
        // A record of today appears only when the journal is reread for today after the list closes.
        db.addRecord(worker, product, price, QDate::currentDate(), 1, 3, 0, 10, 8);
        ModalAction open;
        onModal(open, [&](QDialog *d) {
            QCOMPARE(d->objectName(), window);
            auto *list = qobject_cast<ListWindow *>(d);
            QVERIFY(list);
            QCOMPARE(list->Tag, 0);
            QVERIFY(list->Query()->isOpen());
            QCOMPARE(list->Query()->recordCount(), window == QLatin1String("TForm8") ? 3 : 1);
            QCOMPARE(list->Button2->text(), QStringLiteral("Изменить"));
            list->Button4->click();
        });
        main.findChild<QAction *>(action)->trigger();
        QVERIFY(open.ran);
        QVERIFY(!open.stayedOpen);
        QVERIFY(rec.shown.isEmpty());
        QVERIFY(!module->Workers->isOpen());
        QVERIFY(!module->Izdel->isOpen());
        QVERIFY(!module->Vid_oper->isOpen());
        QCOMPARE(main.journalDate(), QDate::currentDate());
        QCOMPARE(module->Smena1->recordCount(), 1);
    }
}

QTEST_MAIN(TestReference)
#include "test_reference.moc"
