// The reference lists against the real server: workers, products, operation kinds and the
// nomenclature picker, each in list mode and as a picker; their dialogs against refusals of the
// server, changes made on another workstation meanwhile, numbers their columns cannot hold, and
// texts that must be stored as typed.

#include "db/build_stamp.h"
#include "ui/data_grid.h"
#include "db/data_module.h"
#include "journal/journal_window.h"
#include "ui/messages.h"
#include "db/row_version.h"
#include "db/unit_of_work.h"
#include "db/version_gate.h"
#include "ui/windows.h"
#include "db/connection.h"
#include "db/dataset.h"
#include "db/decimal_text.h"
#include "reference/kind_dialog.h"
#include "reference/kind_list.h"
#include "reference/kind_statements.h"
#include "reference/lookup_list.h"
#include "reference/nomenclature_picker.h"
#include "reference/product_deletion.h"
#include "reference/product_dialog.h"
#include "reference/product_list.h"
#include "reference/worker_dialog.h"
#include "reference/worker_list.h"
#include "reference/worker_statements.h"
#include "tests/support/test_support.h"
#include "tests/support/window_helpers.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QtTest>

#include <functional>

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

// Stands in for the message boxes where a test looks at the database while a question waits for its
// answer: keeps the error boxes and answers the questions as scripted.
struct QuestionWatcher : Messages::Presenter {
    QuestionWatcher() { Messages::setPresenter(this); }
    ~QuestionWatcher() override { Messages::setPresenter(nullptr); }
    void showError(const QString &, const QString &text) override { errors << text; }
    bool askYesNo(const QString &, const QString &text) override
    {
        questions << text;
        if (atQuestion)
            atQuestion();
        return !answers.isEmpty() && answers.takeFirst();
    }
    QList<bool> answers;
    std::function<void()> atQuestion;
    QStringList questions;
    QStringList errors;
};

// What every case starts from.
struct Fixture {
    TestDatabase db;
    std::unique_ptr<DataModule> module = db.connectModule();
};

} // namespace

class TestReference : public QObject {
    Q_OBJECT
    std::unique_ptr<Fixture> m_fixture;

private slots:
    // Every case gets its own database and a data module connected to it.
    void init() { m_fixture = std::make_unique<Fixture>(); }
    void cleanup() { m_fixture.reset(); }

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
    void workerChangeOverAnotherWorkstation_data();
    void workerChangeOverAnotherWorkstation();
    void workerSaveWhileAnotherWorkstationHoldsTheRow();

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
    void productDeletionRefusedHalfWay_data();
    void productDeletionRefusedHalfWay();
    void productChangeOverAnotherWorkstation_data();
    void productChangeOverAnotherWorkstation();
    void productNumbersCheckedBeforeSending_data();
    void productNumbersCheckedBeforeSending();
    void productDecimalWithServersDelimiter_data();
    void productDecimalWithServersDelimiter();

    // Operation kinds
    void kindListLook();
    void kindAddChangeDelete();
    void kindRefusals_data();
    void kindRefusals();
    void kindPicker();
    void kindChangeOverAnotherWorkstation_data();
    void kindChangeOverAnotherWorkstation();

    // Texts as typed, whatever the server's string setting
    void textsStoredAsTyped_data();
    void textsStoredAsTyped();

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
    auto &[_db, module] = *m_fixture;
    WorkerList w(module.get());
    QCOMPARE(w.windowTitle(), QStringLiteral("Список рабочих"));
    const auto cols = headers(w.grid);
    QCOMPARE(cols.size(), 2);
    QCOMPARE(cols[0].title, QStringLiteral("ФИО"));
    QCOMPARE(cols[0].width, 300);
    QCOMPARE(cols[1].title, QStringLiteral("Должность"));
    QCOMPARE(cols[1].width, 300);
    QCOMPARE(w.dialog->findChild<QPushButton *>("Button1")->text(), QStringLiteral("Записать"));
    QCOMPARE(w.dialog->findChild<QPushButton *>("Button2")->text(), QStringLiteral("Отмена"));
    QCOMPARE(w.dialog->departmentList->maxVisibleItems(), 10);

    w.prepareList();
    QCOMPARE(w.changeButton->text(), QStringLiteral("Изменить"));
    QVERIFY(!w.changeButton->isDefault());
    QVERIFY(w.addButton->isDefault());
    QVERIFY(w.addButton->isVisibleTo(&w));
    QVERIFY(w.deleteButton->isVisibleTo(&w));
    w.finishList();
}

void TestReference::workerAddChangeDelete()
{
    auto &[db, module] = *m_fixture;
    addLookups(db);
    db.addWorker(QStringLiteral("Абрамов А.А."), QStringLiteral("ОТК"));
    db.addWorker(QStringLiteral("Яковлев Я.Я."), QStringLiteral("ОТК"));
    Messages::MessageRecorder rec;
    WorkerList w(module.get());
    w.prepareList();

    // Add: an apostrophe and surrounding blanks; the department's caption is what is stored.
    ModalAction add;
    onModal(add, [&](QDialog *d) {
        QCOMPARE(d, static_cast<QDialog *>(w.dialog));
        QCOMPARE(d->windowTitle(), QStringLiteral("Заведение данных нового работника"));
        QVERIFY(w.dialog->nameEdit->text().isEmpty());
        QCOMPARE(w.dialog->departmentList->count(), 3);
        w.dialog->nameEdit->setText(QStringLiteral("  O'Brien Д.  "));
        w.dialog->departmentList->setCurrentIndex(w.dialog->departmentList->findText(QStringLiteral("Цех №2")));
        w.dialog->positionList->setCurrentIndex(0);
        w.dialog->save();
    });
    w.add();
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
    QCOMPARE(column(module->workerList, "fio"),
             QStringList({QStringLiteral("O'Brien Д."), QStringLiteral("Абрамов А.А."), QStringLiteral("Яковлев Я.Я.")}));
    QCOMPARE(module->workerList->recNo(), 1);

    // Change the second worker: the dialog gets the trimmed name and the id; the list window
    // closes afterwards and the row stays current.
    module->workerList->setRecNo(2);
    w.show();
    ModalAction change;
    onModal(change, [&](QDialog *d) {
        QCOMPARE(d->windowTitle(), QStringLiteral("Изменение данных работника"));
        QCOMPARE(w.dialog->nameEdit->text(), QStringLiteral("Абрамов А.А."));
        QCOMPARE(w.dialog->openMode, 2);
        // The department list keeps the last choice made in it.
        QCOMPARE(w.dialog->departmentList->currentText(), QStringLiteral("Цех №2"));
        w.dialog->nameEdit->setText(QStringLiteral("Абрамова А.А."));
        w.dialog->save();
    });
    w.changeOrChoose();
    QVERIFY(change.ran);
    QVERIFY(!w.isVisible());
    QCOMPARE(module->workerList->recNo(), 2);
    QCOMPARE(module->workerList->text("fio"), QStringLiteral("Абрамова А.А."));
    QCOMPARE(db.scalar(QStringLiteral("select s_staffpos_hl from accounts_dep.person where fio='Абрамова А.А.'")).toString(),
             QStringLiteral("Цех №2"));

    // Cancelled change: nothing written, the window still closes.
    w.show();
    ModalAction cancel;
    onModal(cancel, [&](QDialog *) { w.dialog->nameEdit->setText(QStringLiteral("Никто")); });
    w.changeOrChoose();
    QVERIFY(cancel.ran);
    QVERIFY(!w.isVisible());
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from accounts_dep.person where fio='Никто'")).toInt(), 0);

    // Delete answered No sends nothing; Yes deletes the current worker and keeps the row number.
    module->workerList->setRecNo(2);
    rec.answers = {false};
    w.remove();
    QCOMPARE(rec.shown.size(), 1);
    QCOMPARE(rec.shown[0].kind, Messages::Shown::Question);
    QCOMPARE(rec.shown[0].title, QStringLiteral("Удаление"));
    QCOMPARE(rec.shown[0].text, QStringLiteral("Удалить работника?"));
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from accounts_dep.person")).toInt(), 3);
    rec.answers = {true};
    w.remove();
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from accounts_dep.person")).toInt(), 2);
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from accounts_dep.person where fio like 'Абрамова%'")).toInt(), 0);
    QCOMPARE(module->workerList->recNo(), 2);
    QCOMPARE(module->workerList->text("fio"), QStringLiteral("Яковлев Я.Я."));
    // Deleting the last row keeps the current row within the list.
    rec.answers = {true};
    w.remove();
    QCOMPARE(module->workerList->recordCount(), 1);
    QCOMPARE(module->workerList->recNo(), 1);
    w.finishList();
    QVERIFY(!module->workerList->isOpen());
}

void TestReference::workerEmptyName()
{
    auto &[db, module] = *m_fixture;
    Messages::MessageRecorder rec;
    WorkerList w(module.get());
    w.prepareList();
    ModalAction add;
    onModal(add, [&](QDialog *) {
        w.dialog->nameEdit->setText(QStringLiteral("   "));
        w.dialog->save();
    });
    w.add();
    QVERIFY(add.stayedOpen);
    QCOMPARE(rec.errors(), QStringList{QStringLiteral("ФИО нужно заполнить!")});
    QCOMPARE(rec.shown[0].title, QStringLiteral("Ошибка"));
    QCOMPARE(w.dialog->nameEdit->text(), QStringLiteral("   "));
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from accounts_dep.person")).toInt(), 0);
    w.finishList();
}

void TestReference::workerDialogLookups()
{
    auto &[db, module] = *m_fixture;
    addLookups(db);
    WorkerDialog d(module.get());
    // No choice at the start.
    d.reopenLookups();
    QCOMPARE(d.departmentList->currentIndex(), -1);
    QCOMPARE(d.departmentList->captionText(), QString());

    // The wheel moves the choice of the focused list, wherever the mouse is.
    d.show();
    d.departmentList->setFocus();
    QWheelEvent down(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                     Qt::NoScrollPhase, false);
    QApplication::sendEvent(d.nameEdit, &down);
    QCOMPARE(d.departmentList->captionText(), QStringLiteral("ОТК"));   // first row, by caption
    QApplication::sendEvent(&d, &down);
    QCOMPARE(d.departmentList->captionText(), QStringLiteral("Цех №1"));
    QWheelEvent up(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                   Qt::NoScrollPhase, false);
    QApplication::sendEvent(d.positionList, &up);
    QCOMPARE(d.departmentList->captionText(), QStringLiteral("ОТК"));
    QCOMPARE(d.positionList->currentIndex(), -1);
    d.roleList->setFocus();
    QApplication::sendEvent(d.departmentList, &down);
    QCOMPARE(d.roleList->captionText(), QStringLiteral("Мастер"));
    QCOMPARE(d.departmentList->captionText(), QStringLiteral("ОТК"));

    // The choice is a key: reopening shows the current caption of the same row.
    db.exec(QStringLiteral("update cmn_department.department set s_caption='Отдел контроля' where id=3"));
    d.reopenLookups();
    QCOMPARE(d.departmentList->captionText(), QStringLiteral("Отдел контроля"));
    QCOMPARE(d.roleList->captionText(), QStringLiteral("Мастер"));
    // A chosen row that has gone leaves no choice.
    db.exec(QStringLiteral("delete from cmn_department.department where id=3"));
    d.reopenLookups();
    QCOMPARE(d.departmentList->captionText(), QString());
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
    auto &[db, module] = *m_fixture;
    for (const char *fio : {"Петров П.П.", "Иванов И.И.", "  Иванова А.П.", "O'Brien Д."})
        db.addWorker(QString::fromUtf8(fio));
    WorkerList w(module.get());
    w.prepareList();
    w.show();
    typeText(w.searchEdit, typed);
    QCOMPARE(w.searchEdit->text(), typed);
    QCOMPARE(column(module->workerList, "fio"), shown);
    QCOMPARE(w.grid->model()->rowCount(), shown.size());
    // Erasing the text shows everybody again.
    w.searchEdit->clear();
    QCOMPARE(module->workerList->recordCount(), 4);
    w.finishList();
}

void TestReference::workerSearchKeys()
{
    auto &[db, module] = *m_fixture;
    for (const char *fio : {"Иванов И.И.", "Иванова А.П.", "Иванченко В.В.", "Петров П.П."})
        db.addWorker(QString::fromUtf8(fio));
    WorkerList w(module.get());
    w.prepareList();
    w.show();
    typeText(w.searchEdit, QStringLiteral("Иван"));
    QCOMPARE(module->workerList->recordCount(), 3);
    QCOMPARE(module->workerList->recNo(), 1);
    QTest::keyClick(w.searchEdit, Qt::Key_Down);
    QTest::keyClick(w.searchEdit, Qt::Key_Down);
    QCOMPARE(module->workerList->recNo(), 3);
    QCOMPARE(w.grid->currentIndex().row(), 2);
    QTest::keyClick(w.searchEdit, Qt::Key_Down);   // stays on the last row
    QCOMPARE(module->workerList->recNo(), 3);
    QTest::keyClick(w.searchEdit, Qt::Key_Up);
    QCOMPARE(module->workerList->recNo(), 2);
    QCOMPARE(w.searchEdit->text(), QStringLiteral("Иван"));

    // Keys that type nothing do nothing in the box; typing and Backspace still edit.
    QTest::keyClick(w.searchEdit, Qt::Key_Home);
    QTest::keyClick(w.searchEdit, Qt::Key_Delete);
    QTest::keyClick(w.searchEdit, Qt::Key_Left);
    QCOMPARE(w.searchEdit->cursorPosition(), 4);
    QCOMPARE(w.searchEdit->text(), QStringLiteral("Иван"));
    typeText(w.searchEdit, QStringLiteral("ч"));
    QCOMPARE(w.searchEdit->text(), QStringLiteral("Иванч"));
    QCOMPARE(column(module->workerList, "fio"), QStringList{QStringLiteral("Иванченко В.В.")});
    QTest::keyClick(w.searchEdit, Qt::Key_Backspace);
    QCOMPARE(w.searchEdit->text(), QStringLiteral("Иван"));
    QCOMPARE(module->workerList->recordCount(), 3);
    w.hide();
    w.finishList();

    // From the menu the search text and its filter stay in force.
    w.prepareList();
    QCOMPARE(w.searchEdit->text(), QStringLiteral("Иван"));
    QCOMPARE(module->workerList->recordCount(), 3);
    w.finishList();
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
    auto &[db, module] = *m_fixture;
    const int petrov = db.addWorker(QStringLiteral(" Петров П.П. "));
    const int ivanov = db.addWorker(QStringLiteral("Иванов И.И."));
    WorkerList w(module.get());
    // A search left from an earlier opening is emptied.
    w.prepareList();
    w.searchEdit->setText(QStringLiteral("Я"));
    w.finishList();

    Receiver<WorkerChoice> receiver;
    ModalAction pick;
    onModal(pick, [&](QDialog *d) {
        QCOMPARE(d, static_cast<QDialog *>(&w));
        QCOMPARE(w.openMode, mode);
        QCOMPARE(w.searchEdit->text(), QString());
        QCOMPARE(module->workerList->recordCount(), 2);
        QCOMPARE(w.changeButton->text(), QStringLiteral("Выбрать"));
        QVERIFY(w.changeButton->isDefault());
        QVERIFY(!w.addButton->isVisible());
        QVERIFY(!w.deleteButton->isVisible());
        QVERIFY(w.searchEdit->isVisible());
        QCOMPARE(w.focusWidget(), static_cast<QWidget *>(w.searchEdit));
        typeText(w.searchEdit, typed);
        if (button == QLatin1String("Esc"))
            QTest::keyClick(w.searchEdit, Qt::Key_Escape);
        else if (button == QLatin1String("DBGrid1"))
            w.rowDoubleClicked();
        else
            w.findChild<QPushButton *>(button)->click();
    });
    w.showPicker(&receiver, mode);
    QVERIFY(pick.ran);
    QVERIFY(!pick.stayedOpen);
    QVERIFY(!module->workerList->isOpen());
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
    auto &[db, module] = *m_fixture;
    db.addWorker(QStringLiteral("Иванов И.И."));
    Messages::MessageRecorder rec;
    WorkerList w(module.get());
    w.prepareList();
    // A name longer than the column is cut by the box itself, so the server never refuses it.
    QCOMPARE(w.dialog->nameEdit->maxLength(), 254);
    // A statement the server refuses shows its text; the dialog stays open, the list is not reread.
    db.exec(QStringLiteral("alter table accounts_dep.person add constraint no_x check (fio <> 'X')"));
    ModalAction add;
    onModal(add, [&](QDialog *) {
        w.dialog->nameEdit->setText(QStringLiteral("X"));
        w.dialog->findChild<QPushButton *>("Button1")->click();
    });
    w.add();
    QVERIFY(add.stayedOpen);
    QCOMPARE(rec.errors().size(), 1);
    QVERIFY(rec.errors()[0].contains(QStringLiteral("no_x")));
    w.finishList();
}

void TestReference::workerChangeOverAnotherWorkstation_data()
{
    QTest::addColumn<bool>("deleted");
    QTest::newRow("changed there") << false;
    QTest::newRow("deleted there") << true;
}

// Workstation B opens a worker for change; workstation A changes or deletes him meanwhile; B's
// save is refused with the reason, writes nothing, and B's dialog stays open as typed.
void TestReference::workerChangeOverAnotherWorkstation()
{
    auto &[db, module] = *m_fixture;
    QFETCH(bool, deleted);
    const int worker = db.addWorker(QStringLiteral("Иванов И.И."), QStringLiteral("ОТК"));
    auto moduleA = db.connectModule();
    Messages::MessageRecorder rec;
    WorkerList b(module.get());
    b.prepareList();
    QVERIFY(module->workerList->locate("id", worker));
    const QStringList tables{QStringLiteral("accounts_dep.person"), QStringLiteral("cmn_contractor.person")};
    QString afterA;
    ModalAction change;
    onModal(change, [&](QDialog *) {
        if (deleted) {
            moduleA->command.execute(WorkerStatements::deletion(worker));
        } else {
            WorkerDialog a(moduleA.get());
            a.openMode = 2;
            a.id = worker;
            a.version = RowVersion::read(*moduleA, QStringLiteral("accounts_dep.person"), worker);
            a.nameEdit->setText(QStringLiteral("Иванов-Петров И.И."));
            a.saveButton->click();
            QCOMPARE(a.result(), int(QDialog::Accepted));
        }
        afterA = snapshot(db, tables);
        b.dialog->nameEdit->setText(QStringLiteral("Иванова И.И."));
        b.dialog->saveButton->click();
    });
    b.changeOrChoose();
    QVERIFY(change.ran);
    QVERIFY(change.stayedOpen);
    QCOMPARE(rec.errors(), QStringList{QStringLiteral("Не удалось сохранить данные.\n")
                                       + (deleted ? RowVersion::deletedText() : RowVersion::changedText())});
    QCOMPARE(snapshot(db, tables), afterA);
    QCOMPARE(b.dialog->nameEdit->text(), QStringLiteral("Иванова И.И."));
    QCOMPARE(db.scalar(QStringLiteral("select string_agg(fio, ',') from accounts_dep.person")).toString(),
             deleted ? QString() : QStringLiteral("Иванов-Петров И.И."));
    b.finishList();
}

// Another workstation holds the worker's row in a transaction of its own: the save gives up after
// the bounded wait, says why, and writes nothing. Once the other workstation has committed, the
// same dialog would write over its change and is refused; opened again, it saves.
void TestReference::workerSaveWhileAnotherWorkstationHoldsTheRow()
{
    auto &[db, module] = *m_fixture;
    const int worker = db.addWorker(QStringLiteral("Иванов И.И."), QStringLiteral("ОТК"));
    Connection::setLockWaitLimit(700);
    const auto restoreLimit = qScopeGuard([] { Connection::setLockWaitLimit(Connection::DefaultLockWaitLimit); });
    // The program's session starts anew with the shortened wait.
    module = db.connectModule();
    auto moduleA = db.connectModule();
    Messages::MessageRecorder rec;
    WorkerList b(module.get());
    b.prepareList();
    QVERIFY(module->workerList->locate("id", worker));

    UnitOfWork hold(*moduleA);
    moduleA->command.execute(WorkerStatements::update(worker, QStringLiteral("Иванов И.И."), QStringLiteral("Цех №2")));
    ModalAction change;
    qint64 waited = -1;
    QStringList whileHeld;
    onModal(change, [&](QDialog *d) {
        b.dialog->nameEdit->setText(QStringLiteral("Иванов Иван И."));
        QElapsedTimer clock;
        clock.start();
        b.dialog->saveButton->click();
        waited = clock.elapsed();
        whileHeld = rec.errors();
        QVERIFY(d->isVisible());
        hold.commit();
        rec.clear();
        b.dialog->saveButton->click();
    });
    b.changeOrChoose();
    QVERIFY(change.stayedOpen);
    QCOMPARE(whileHeld.size(), 1);
    QVERIFY2(whileHeld[0].startsWith(QStringLiteral("Не удалось сохранить данные.\n") + Connection::lockWaitText()), qPrintable(whileHeld[0]));
    QVERIFY2(waited >= 0 && waited < 5000, qPrintable(QString::number(waited)));
    QCOMPARE(rec.errors(), QStringList{QStringLiteral("Не удалось сохранить данные.\n") + RowVersion::changedText()});
    QCOMPARE(db.scalar(QStringLiteral("select fio || '/' || s_staffpos_hl from accounts_dep.person where id=%1").arg(worker)).toString(),
             QStringLiteral("Иванов И.И./Цех №2"));

    rec.clear();
    b.prepareList();
    QVERIFY(module->workerList->locate("id", worker));
    ModalAction again;
    onModal(again, [&](QDialog *) {
        b.dialog->nameEdit->setText(QStringLiteral("Иванов Иван И."));
        b.dialog->saveButton->click();
    });
    b.changeOrChoose();
    QVERIFY(again.ran);
    QVERIFY(!again.stayedOpen);
    QVERIFY(rec.shown.isEmpty());
    QCOMPARE(db.scalar(QStringLiteral("select fio from accounts_dep.person where id=%1").arg(worker)).toString(),
             QStringLiteral("Иванов Иван И."));
    b.finishList();
}

// ------------------------------------------------------------------------------------------------
// Products

void TestReference::productListLook()
{
    auto &[_db, module] = *m_fixture;
    ProductList w(module.get());
    QCOMPARE(w.windowTitle(), QStringLiteral("Изделия (3)"));
    const auto cols = headers(w.grid);
    QCOMPARE(cols.size(), 3);
    QCOMPARE(cols[0].title, QStringLiteral("Марка изделия"));
    QCOMPARE(cols[0].width, 315);
    QCOMPARE(cols[1].title, QStringLiteral("Номенклатурная группа"));
    QCOMPARE(cols[1].width, 162);
    QCOMPARE(cols[2].title, QStringLiteral("Коробки"));
    QCOMPARE(cols[2].width, 67);
    QCOMPARE(w.dialog->windowTitle(), QStringLiteral("Изделие"));
    w.prepareList();
    QCOMPARE(w.changeButton->text(), QStringLiteral("Изменить"));
    QVERIFY(w.addButton->isDefault());
    QVERIFY(!w.changeButton->isDefault());
    QVERIFY(w.searchEdit->isVisibleTo(&w));   // shown until the first pick of the run
    w.finishList();
}

void TestReference::productAddAndChange()
{
    auto &[db, module] = *m_fixture;
    const int bolts = db.addGroup(QStringLiteral("Болты"));
    const int nuts = db.addGroup(QStringLiteral("Гайки"));
    db.addProduct(QStringLiteral("А-100"), nuts, 2);
    db.addProduct(QStringLiteral("Б-200"), nuts, 1.5);
    db.addProduct(QStringLiteral("В-300"), bolts, 3);
    Messages::MessageRecorder rec;
    ProductList w(module.get());
    w.prepareList();
    module->productList->setRecNo(2);

    // Add: a mark with apostrophes; the row number is kept.
    ModalAction add;
    onModal(add, [&](QDialog *d) {
        QCOMPARE(d->windowTitle(), QStringLiteral("Заведение нового изделия (7)"));
        QCOMPARE(w.dialog->openMode, 1);
        QVERIFY(w.dialog->markEdit->text().isEmpty());
        QVERIFY(w.dialog->rateEdit->text().isEmpty());
        QCOMPARE(w.dialog->groupList->currentIndex(), -1);   // nothing chosen at the first opening
        w.dialog->markEdit->setText(QStringLiteral(" Труба 5'' "));
        typeText(w.dialog->rateEdit, QStringLiteral("2,25"));
        w.dialog->groupList->setKeyValue(bolts);
        w.dialog->save();
    });
    w.add();
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
    QCOMPARE(module->productList->recordCount(), 4);
    QCOMPARE(module->productList->recNo(), 2);
    QVERIFY(!w.dialog->groupList->isOpen());

    // Change the current product: the dialog is filled from the row, the group list shows the
    // product's group; the unchanged mark is not a duplicate of itself.
    QVERIFY(module->productList->locate("marka", QStringLiteral("Б-200")));
    const int row = module->productList->recNo();
    ModalAction change;
    onModal(change, [&](QDialog *d) {
        QCOMPARE(d->windowTitle(), QStringLiteral("Изменение данных изделия (7)"));
        QCOMPARE(w.dialog->openMode, 2);
        QCOMPARE(w.dialog->markEdit->text(), QStringLiteral("Б-200"));
        QCOMPARE(w.dialog->rateEdit->text(), QStringLiteral("1.5"));
        QCOMPARE(w.dialog->groupList->captionText(), QStringLiteral("Гайки"));
        w.dialog->rateEdit->clear();
        typeText(w.dialog->rateEdit, QStringLiteral("7.125"));
        w.dialog->save();
    });
    w.changeOrChoose();
    QVERIFY(!change.stayedOpen);
    QVERIFY(rec.shown.isEmpty());
    QCOMPARE(module->productList->recNo(), row);
    QCOMPARE(module->productList->text("marka"), QStringLiteral("Б-200"));
    rows = db.rows(QStringLiteral("select massa, id_class_item, id_msm_bs, s_description from cmn_gds_and_srv.gds_and_srv where s_caption='Б-200'"));
    QCOMPARE(rows[0][0].toDouble(), 7.125);
    QCOMPARE(rows[0][1].toInt(), nuts);

    // A new product starts from the group last shown in the dialog.
    ModalAction again;
    onModal(again, [&](QDialog *) { QCOMPARE(w.dialog->groupList->captionText(), QStringLiteral("Гайки")); });
    w.add();
    QVERIFY(again.ran);

    // Change mark and group of the product with the apostrophe.
    QVERIFY(module->productList->locate("marka", QStringLiteral("Труба 5''")));
    ModalAction rename;
    onModal(rename, [&](QDialog *) {
        QCOMPARE(w.dialog->rateEdit->text(), QStringLiteral("2.25"));
        w.dialog->markEdit->setText(QStringLiteral("Труба 6''"));
        w.dialog->groupList->setKeyValue(nuts);
        w.dialog->save();
    });
    w.changeOrChoose();
    QVERIFY(!rename.stayedOpen);
    QCOMPARE(db.scalar(QStringLiteral("select nom from accounts_dep.izdel where marka='Труба 6'''''")).toString(), QStringLiteral("Гайки"));
    w.finishList();
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
    auto &[db, module] = *m_fixture;
    const int g = db.addGroup(QStringLiteral("Шкафы"));
    db.addProduct(QStringLiteral("ШК-10"), g);
    db.addProduct(QStringLiteral("К'5"), g);
    db.addProduct(QStringLiteral("Я-1"), g, 4);
    Messages::MessageRecorder rec;
    ProductList w(module.get());
    w.prepareList();
    QVERIFY(module->productList->locate("marka", QStringLiteral("Я-1")));
    ModalAction save;
    onModal(save, [&](QDialog *) {
        w.dialog->markEdit->setText(mark);
        w.dialog->rateEdit->setText(massa);
        w.dialog->groupList->setKeyValue(group ? g : 0);
        w.dialog->save();
    });
    if (mode == 1)
        w.add();
    else
        w.changeOrChoose();
    QVERIFY(save.stayedOpen);
    QCOMPARE(rec.errors(), QStringList{message});
    QCOMPARE(rec.shown[0].title, QStringLiteral("Ошибка"));
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from cmn_gds_and_srv.gds_and_srv")).toInt(), 3);
    QCOMPARE(db.scalar(QStringLiteral("select massa from cmn_gds_and_srv.gds_and_srv where s_caption='Я-1'")).toDouble(), 4.0);
    w.finishList();
}

void TestReference::productMassaKeys()
{
    auto &[_db, module] = *m_fixture;
    ProductDialog d(module.get());
    d.show();
    typeText(d.rateEdit, QStringLiteral("12,5"));
    QCOMPARE(d.rateEdit->text(), QStringLiteral("12.5"));
    typeText(d.rateEdit, QStringLiteral("a-Ж ;'"));
    QCOMPARE(d.rateEdit->text(), QStringLiteral("12.5"));
    QTest::keyClick(d.rateEdit, Qt::Key_Backspace);
    QCOMPARE(d.rateEdit->text(), QStringLiteral("12."));
    typeText(d.rateEdit, QStringLiteral("."));
    QCOMPARE(d.rateEdit->text(), QStringLiteral("12.."));
    // Pasted text obeys the same rule: nothing but digits and points gets in.
    d.rateEdit->clear();
    QApplication::clipboard()->setText(QStringLiteral("1); delete from accounts_dep.oper; --"));
    d.rateEdit->paste();
    QCOMPARE(d.rateEdit->text(), QString());
    QApplication::clipboard()->setText(QStringLiteral("3,75"));
    d.rateEdit->paste();
    QCOMPARE(d.rateEdit->text(), QStringLiteral("3.75"));

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
    auto &[db, module] = *m_fixture;
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
    Messages::MessageRecorder rec;
    rec.answers = answers;
    ProductList w(module.get());
    w.prepareList();
    QVERIFY(module->productList->locate("id", product));
    w.remove();

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
    QCOMPARE(module->productList->recordCount(), productLeft ? 2 : 1);
    QCOMPARE(module->productList->recNo(), 1);
    w.finishList();
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
    auto &[db, module] = *m_fixture;
    const int g = db.addGroup(QStringLiteral("Группа"));
    db.addProduct(QStringLiteral("Шкаф-1"), g);
    const int cabinet = db.addProduct(QStringLiteral(" шкаф-2 "), g);
    db.addProduct(QStringLiteral("Стол"), g);
    ProductList w(module.get());

    // Up and Down move the list, every other key edits the search text as usual.
    Receiver<ProductChoice> receiver;
    ModalAction pick;
    onModal(pick, [&](QDialog *) {
        QCOMPARE(w.openMode, 1);
        QCOMPARE(w.changeButton->text(), QStringLiteral("Выбрать"));
        QVERIFY(w.changeButton->isDefault());
        QVERIFY(!w.addButton->isVisible());
        QVERIFY(!w.deleteButton->isVisible());
        QCOMPARE(w.focusWidget(), static_cast<QWidget *>(w.searchEdit));
        typeText(w.searchEdit, QStringLiteral("ШКАФ"));
        QCOMPARE(module->productList->recordCount(), 2);
        QTest::keyClick(w.searchEdit, Qt::Key_Down);
        QTest::keyClick(w.searchEdit, Qt::Key_Left);
        QTest::keyClick(w.searchEdit, Qt::Key_Delete);
        QCOMPARE(w.searchEdit->text(), QStringLiteral("ШКА"));
        typeText(w.searchEdit, QStringLiteral("Ф"));
        QCOMPARE(module->productList->recordCount(), 2);
        QTest::keyClick(w.searchEdit, Qt::Key_Down);
        QCOMPARE(module->productList->text("marka"), QStringLiteral("Шкаф-1"));
        QTest::keyClick(w.searchEdit, Qt::Key_Up);
        QTest::keyClick(w.searchEdit, Qt::Key_Return);   // "Выбрать" is the default button
    });
    w.showPicker(&receiver);
    QVERIFY(!pick.stayedOpen);
    QCOMPARE(receiver.taken.size(), 1);
    QCOMPARE(receiver.taken[0].id, qint64(cabinet));
    QCOMPARE(receiver.taken[0].marka, QStringLiteral("шкаф-2"));
    QVERIFY(!module->productList->isOpen());

    // After the first pick the menu-opened list has no search box and shows every product.
    w.prepareList();
    QVERIFY(!w.searchEdit->isVisibleTo(&w));
    QVERIFY(!w.changeButton->isDefault());
    QCOMPARE(module->productList->recordCount(), 3);
    w.finishList();

    // A search that matches nothing: "Выбрать" closes without handing anything back.
    ModalAction none;
    onModal(none, [&](QDialog *) {
        QVERIFY(w.searchEdit->isVisible());
        QCOMPARE(w.searchEdit->text(), QString());
        typeText(w.searchEdit, QStringLiteral("Диван"));
        QCOMPARE(module->productList->recordCount(), 0);
        w.changeButton->click();
    });
    w.showPicker(&receiver);
    QVERIFY(!none.stayedOpen);
    QCOMPARE(receiver.taken.size(), 1);
}

void TestReference::productDeletionRefusedHalfWay_data()
{
    QTest::addColumn<QString>("refused");          // the table whose deletions the server refuses
    QTest::addColumn<QStringList>("questions");
    QTest::addColumn<int>("pricesLeft");
    const QString priceQ = QStringLiteral("По изделию есть расценки они будут удалены!!!");
    const QString recordsQ = QStringLiteral("По изделию есть операции в текущем, предыдущем месяцах и ранее, они будут удалены. Удалить изделие? ");
    // The records go, then the product is refused: the records come back; the prices, deleted in
    // the step answered before, stay deleted.
    QTest::newRow("the product, after its records") << "cmn_gds_and_srv.gds_and_srv" << QStringList{priceQ, recordsQ} << 0;
    QTest::newRow("its records") << "accounts_dep.smena" << QStringList{priceQ, recordsQ} << 0;
    // The first step refused: nothing is deleted and nothing more is asked.
    QTest::newRow("its prices") << "accounts_dep.oper" << QStringList{priceQ} << 2;
}

// Each answered question of the deletion is one step, sent after the answer and committed before
// the next question: no transaction waits for the user, and a step the server refuses half-way
// leaves all of its rows in place.
void TestReference::productDeletionRefusedHalfWay()
{
    auto &[db, module] = *m_fixture;
    QFETCH(QString, refused);
    QFETCH(QStringList, questions);
    QFETCH(int, pricesLeft);
    const int g = db.addGroup(QStringLiteral("Группа"));
    const int product = db.addProduct(QStringLiteral("Б-2"), g);
    const int kind = db.addKind(QStringLiteral("Сборка"));
    const int worker = db.addWorker(QStringLiteral("Иванов И.И."));
    const int price = db.addPrice(kind, product, 0);
    db.addPrice(kind, product, 1);
    db.addNorm(price, 12);
    db.addRecord(worker, product, price, QDate::currentDate().addDays(-3), 1, 5, 0, 12, 8);
    db.addRecord(worker, product, price, QDate(1998, 1, 10), 2, 1, 0, 12, 4);
    ProductList w(module.get());
    w.prepareList();
    QVERIFY(module->productList->locate("id", product));
    const QStringList productTables{QStringLiteral("accounts_dep.smena"), QStringLiteral("cmn_gds_and_srv.gds_and_srv")};
    const QString productRows = snapshot(db, productTables);
    const QString priceRows = snapshot(db, {QStringLiteral("accounts_dep.oper"), QStringLiteral("accounts_dep.norm")});
    refuseStatements(db, refused, QStringLiteral("delete"), QStringLiteral("Удаление запрещено бухгалтерией"));

    QuestionWatcher watcher;
    watcher.answers = {true, true};
    QStringList seen;   // at each question: the product's prices, transactions left open
    watcher.atQuestion = [&] {
        seen << QStringLiteral("%1 prices, %2 open")
                    .arg(db.scalar(QStringLiteral("select count(*) from accounts_dep.oper where i_id=%1").arg(product)).toInt())
                    .arg(db.scalar(QStringLiteral("select count(*) from pg_stat_activity where datname=current_database() "
                                                  "and state like 'idle in transaction%'")).toInt());
    };
    w.deleteButton->click();
    QCOMPARE(watcher.questions, questions);
    QCOMPARE(seen.first(), QStringLiteral("2 prices, 0 open"));
    if (seen.size() > 1)
        QCOMPARE(seen[1], QStringLiteral("0 prices, 0 open"));   // the first step was done before the second question
    QCOMPARE(watcher.errors.size(), 1);
    QVERIFY2(watcher.errors[0].startsWith(QStringLiteral("Не удалось удалить.\n")), qPrintable(watcher.errors[0]));
    QVERIFY2(watcher.errors[0].contains(QStringLiteral("Удаление запрещено бухгалтерией")), qPrintable(watcher.errors[0]));
    QCOMPARE(snapshot(db, productTables), productRows);
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from accounts_dep.oper where i_id=%1").arg(product)).toInt(), pricesLeft);
    if (pricesLeft > 0)
        QCOMPARE(snapshot(db, {QStringLiteral("accounts_dep.oper"), QStringLiteral("accounts_dep.norm")}), priceRows);
    QCOMPARE(db.advisoryLocks(), 0);

    // The program goes on: once the server allows it, the same command deletes what is left.
    dropRefusal(db, refused, QStringLiteral("delete"));
    watcher.questions.clear();
    watcher.answers = {true, true};
    w.deleteButton->click();
    QCOMPARE(watcher.errors.size(), 1);
    QCOMPARE(watcher.questions.size(), pricesLeft > 0 ? 2 : 1);
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from accounts_dep.oper where i_id=%1").arg(product)).toInt(), 0);
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from accounts_dep.smena where i_id=%1").arg(product)).toInt(), 0);
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from cmn_gds_and_srv.gds_and_srv where id=%1").arg(product)).toInt(), 0);
    w.finishList();
}

void TestReference::productChangeOverAnotherWorkstation_data()
{
    QTest::addColumn<bool>("deleted");
    QTest::newRow("changed there") << false;
    QTest::newRow("deleted there") << true;
}

void TestReference::productChangeOverAnotherWorkstation()
{
    auto &[db, module] = *m_fixture;
    QFETCH(bool, deleted);
    const int cabinets = db.addGroup(QStringLiteral("Шкафы"));
    const int tables = db.addGroup(QStringLiteral("Столы"));
    const int product = db.addProduct(QStringLiteral("ШК-10"), cabinets, 2);
    auto moduleA = db.connectModule();
    Messages::MessageRecorder rec;
    ProductList b(module.get());
    b.prepareList();
    QVERIFY(module->productList->locate("id", product));
    const QStringList rows{QStringLiteral("cmn_gds_and_srv.gds_and_srv")};
    QString afterA;
    ModalAction change;
    onModal(change, [&](QDialog *) {
        if (deleted) {
            rec.answers = {true};   // "Удалить изделие? "
            ProductDeletion(*moduleA, product).run();
        } else {
            ProductDialog a(moduleA.get());
            a.openMode = 2;
            a.id = product;
            a.version = RowVersion::read(*moduleA, QStringLiteral("cmn_gds_and_srv.gds_and_srv"), product);
            a.markEdit->setText(QStringLiteral("ШК-10М"));
            a.rateEdit->setText(QStringLiteral("3"));
            a.groupList->open();
            a.groupList->setKeyValue(tables);
            a.saveButton->click();
            QCOMPARE(a.result(), int(QDialog::Accepted));
        }
        afterA = snapshot(db, rows);
        b.dialog->rateEdit->setText(QStringLiteral("5"));
        b.dialog->saveButton->click();
    });
    b.changeOrChoose();
    QVERIFY(change.stayedOpen);
    QCOMPARE(rec.errors(), QStringList{QStringLiteral("Не удалось сохранить данные.\n")
                                       + (deleted ? RowVersion::deletedText() : RowVersion::changedText())});
    QCOMPARE(snapshot(db, rows), afterA);
    QCOMPARE(b.dialog->rateEdit->text(), QStringLiteral("5"));
    QCOMPARE(db.scalar(QStringLiteral("select string_agg(s_caption || '/' || massa::float8 || '/' || id_class_item, ',') "
                                      "from cmn_gds_and_srv.gds_and_srv")).toString(),
             deleted ? QString() : QStringLiteral("ШК-10М/3/%1").arg(tables));
    b.finishList();
}

void TestReference::productNumbersCheckedBeforeSending_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("massa");
    for (int mode : {1, 2}) {
        const char *m = mode == 1 ? "add" : "change";
        QTest::addRow("%s: two points", m) << mode << "1.2.3";
        QTest::addRow("%s: a point alone", m) << mode << ".";
        QTest::addRow("%s: 30 digits", m) << mode << QString(30, QLatin1Char('9'));
        QTest::addRow("%s: 7 decimals", m) << mode << "1.1234567";
    }
}

// "Расценка" goes into a numeric(28, 6): what it cannot hold is told, naming the field, before
// anything is sent.
void TestReference::productNumbersCheckedBeforeSending()
{
    auto &[db, module] = *m_fixture;
    QFETCH(int, mode);
    QFETCH(QString, massa);
    const int g = db.addGroup(QStringLiteral("Шкафы"));
    const int product = db.addProduct(QStringLiteral("ШК-10"), g, 4);
    Messages::MessageRecorder rec;
    ProductList w(module.get());
    w.prepareList();
    QVERIFY(module->productList->locate("id", product));
    const QString before = snapshot(db, {QStringLiteral("cmn_gds_and_srv.gds_and_srv")});
    QString sent = QStringLiteral("(not run)");
    ModalAction save;
    onModal(save, [&](QDialog *) {
        w.dialog->markEdit->setText(mode == 1 ? QStringLiteral("Новое") : QStringLiteral("ШК-10"));
        // The validator stops some of these while typing; set or pasted, they reach the save.
        w.dialog->rateEdit->setText(massa);
        w.dialog->groupList->setKeyValue(g);
        SentStatementProbe probe(db, *module);
        w.dialog->saveButton->click();
        sent = probe.sentSince();
    });
    if (mode == 1)
        w.add();
    else
        w.changeOrChoose();
    QVERIFY(save.stayedOpen);
    QCOMPARE(rec.errors().size(), 1);
    QVERIFY2(rec.errors()[0].startsWith(QStringLiteral("Не удалось сохранить данные.\nПоле «Расценка»: ")), qPrintable(rec.errors()[0]));
    QCOMPARE(sent, QString());
    QCOMPARE(snapshot(db, {QStringLiteral("cmn_gds_and_srv.gds_and_srv")}), before);
    w.finishList();
}

void TestReference::productDecimalWithServersDelimiter_data()
{
    QTest::addColumn<QString>("delim");   // accounts_dep.ver.delim as a literal
    QTest::newRow("empty") << "''";
    QTest::newRow("none") << "null";
    QTest::newRow("blank") << "' '";
    QTest::newRow("comma") << "','";
    QTest::newRow("point") << "'.'";
}

// The decimal delimiter comes from the database; whatever it holds, 12,5 typed is 12.5 stored.
void TestReference::productDecimalWithServersDelimiter()
{
    auto &[db, module] = *m_fixture;
    QFETCH(QString, delim);
    const int g = db.addGroup(QStringLiteral("Ящики"));
    const int product = db.addProduct(QStringLiteral("Ящик 400"), g, 2);
    db.exec(QStringLiteral("update accounts_dep.ver set delim=%1").arg(delim));
    QVERIFY(!versionGateOutdated(*module, currentBuildStamp()));
    Messages::MessageRecorder rec;
    ProductList w(module.get());
    w.prepareList();
    QVERIFY(module->productList->locate("id", product));
    ModalAction change;
    onModal(change, [&](QDialog *) {
        w.dialog->rateEdit->clear();
        typeText(w.dialog->rateEdit, QStringLiteral("12,5"));
        QCOMPARE(w.dialog->rateEdit->text(), QStringLiteral("12.5"));
        w.dialog->saveButton->click();
    });
    w.changeOrChoose();
    QVERIFY(change.ran);
    QVERIFY(!change.stayedOpen);
    QVERIFY2(rec.shown.isEmpty(), qPrintable(rec.texts().join(u'|')));
    QCOMPARE(db.scalar(QStringLiteral("select massa::text from cmn_gds_and_srv.gds_and_srv where id=%1").arg(product)).toString(),
             QStringLiteral("12.500000"));
    w.finishList();
}

// ------------------------------------------------------------------------------------------------
// Operation kinds

void TestReference::kindListLook()
{
    auto &[_db, module] = *m_fixture;
    KindList w(module.get());
    QCOMPARE(w.windowTitle(), QStringLiteral("Виды операций (8)"));
    const auto cols = headers(w.grid);
    QCOMPARE(cols.size(), 1);
    QCOMPARE(cols[0].title, QStringLiteral("Операции"));
    QCOMPARE(cols[0].width, 309);
    // The special kinds are listed like any other.
    w.prepareList();
    QCOMPARE(column(module->kindList, "vid"), (QStringList{QStringLiteral("Хоз. работы"), QStringLiteral("среднесдельная")}));
    QVERIFY(!w.searchEdit->isVisibleTo(&w));
    QVERIFY(w.addButton->isDefault());
    w.finishList();
}

void TestReference::kindAddChangeDelete()
{
    auto &[db, module] = *m_fixture;
    db.addKind(QStringLiteral("Покраска"));
    Messages::MessageRecorder rec;
    KindList w(module.get());
    w.prepareList();

    // Add: the new kind becomes the current row of the reopened list.
    ModalAction add;
    onModal(add, [&](QDialog *d) {
        QCOMPARE(d->windowTitle(), QStringLiteral("Заведение нового вида операций"));
        QCOMPARE(w.dialog->openMode, 1);
        w.dialog->nameEdit->setText(QStringLiteral("  Резка 5'' "));
        w.dialog->save();
    });
    w.add();
    QVERIFY(!add.stayedOpen);
    QVERIFY(rec.shown.isEmpty());
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from accounts_dep.vid_oper where vid='Резка 5'''''")).toInt(), 1);
    QCOMPARE(module->kindList->recordCount(), 4);
    QCOMPARE(module->kindList->text("vid").trimmed(), QStringLiteral("Резка 5''"));

    // Change the household-work kind, unchanged name first: not a duplicate of itself.
    QVERIFY(module->kindList->locate("id", 7777));
    ModalAction same;
    onModal(same, [&](QDialog *d) {
        QCOMPARE(d->windowTitle(), QStringLiteral("Изменение данных вида операции"));
        QCOMPARE(w.dialog->openMode, 2);
        QCOMPARE(w.dialog->nameEdit->text(), QStringLiteral("Хоз. работы"));
        w.dialog->save();
    });
    w.changeOrChoose();
    QVERIFY(!same.stayedOpen);
    QVERIFY(rec.shown.isEmpty());
    ModalAction rename;
    onModal(rename, [&](QDialog *) {
        w.dialog->nameEdit->setText(QStringLiteral("Хозяйственные работы"));
        w.dialog->save();
    });
    w.changeOrChoose();
    QVERIFY(!rename.stayedOpen);
    QCOMPARE(db.scalar(QStringLiteral("select trim(vid) from accounts_dep.vid_oper where id=7777")).toString(),
             QStringLiteral("Хозяйственные работы"));
    QCOMPARE(module->kindList->toInt("id"), 7777);
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from accounts_dep.vid_oper")).toInt(), 4);

    // Delete: No keeps it, Yes deletes the current kind (the average-piecework one here).
    QVERIFY(module->kindList->locate("id", 7778));
    rec.answers = {false};
    w.remove();
    QCOMPARE(rec.texts(), QStringList{QStringLiteral("Удалить вид операции?")});
    QCOMPARE(rec.shown[0].title, QStringLiteral("Удаление"));
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from accounts_dep.vid_oper where id=7778")).toInt(), 1);
    rec.answers = {true};
    w.remove();
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from accounts_dep.vid_oper where id=7778")).toInt(), 0);
    // The price that refers to it stays.
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from accounts_dep.oper where vid=7778")).toInt(), 1);
    QCOMPARE(module->kindList->recordCount(), 3);
    QCOMPARE(module->kindList->recNo(), 1);
    w.finishList();
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
    auto &[db, module] = *m_fixture;
    db.addKind(QStringLiteral("Покраска"));
    db.addKind(QStringLiteral("О'кей"));
    Messages::MessageRecorder rec;
    KindList w(module.get());
    w.prepareList();
    QVERIFY(module->kindList->locate("id", 7777));
    ModalAction save;
    onModal(save, [&](QDialog *) {
        w.dialog->nameEdit->setText(typed);
        w.dialog->save();
    });
    if (mode == 1)
        w.add();
    else
        w.changeOrChoose();
    QVERIFY(save.stayedOpen);
    QCOMPARE(rec.errors(), QStringList{message});
    QCOMPARE(rec.shown[0].title, QStringLiteral("Ошибка"));
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from accounts_dep.vid_oper")).toInt(), 4);
    QCOMPARE(db.scalar(QStringLiteral("select trim(vid) from accounts_dep.vid_oper where id=7777")).toString(),
             QStringLiteral("Хоз. работы"));
    w.finishList();
}

void TestReference::kindPicker()
{
    auto &[db, module] = *m_fixture;
    const int painting = db.addKind(QStringLiteral("Покраска"));
    db.addKind(QStringLiteral("Полировка"));
    KindList w(module.get());

    Receiver<OperationKindChoice> receiver;
    ModalAction pick;
    onModal(pick, [&](QDialog *) {
        QCOMPARE(w.openMode, 1);
        QVERIFY(w.searchEdit->isVisible());
        QCOMPARE(w.focusWidget(), static_cast<QWidget *>(w.searchEdit));
        QCOMPARE(w.changeButton->text(), QStringLiteral("Выбрать"));
        QVERIFY(w.changeButton->isDefault());
        QVERIFY(!w.addButton->isVisible());
        QVERIFY(!w.deleteButton->isVisible());
        typeText(w.searchEdit, QStringLiteral("по"));
        QCOMPARE(module->kindList->recordCount(), 2);
        QTest::keyClick(w.searchEdit, Qt::Key_End);   // swallowed
        typeText(w.searchEdit, QStringLiteral("к"));
        QCOMPARE(w.searchEdit->text(), QStringLiteral("пок"));
        QCOMPARE(module->kindList->recordCount(), 1);
        w.rowDoubleClicked();
    });
    w.showPicker(&receiver);
    QVERIFY(!pick.stayedOpen);
    QCOMPARE(receiver.taken.size(), 1);
    QCOMPARE(receiver.taken[0].id, painting);
    QCOMPARE(receiver.taken[0].vid, QStringLiteral("Покраска"));   // without the column's padding
    QVERIFY(!module->kindList->isOpen());
    QVERIFY(!w.searchEdit->isVisibleTo(&w));
    QVERIFY(!w.changeButton->isDefault());

    // From the menu: no search box and no filter, whatever the picker left.
    w.prepareList();
    QVERIFY(!w.searchEdit->isVisibleTo(&w));
    QCOMPARE(module->kindList->recordCount(), 4);
    QCOMPARE(w.changeButton->text(), QStringLiteral("Изменить"));
    QVERIFY(w.addButton->isVisibleTo(&w));
    w.finishList();

    // The picker's search box is emptied at each opening; no match hands back nothing.
    ModalAction none;
    onModal(none, [&](QDialog *) {
        QCOMPARE(w.searchEdit->text(), QString());
        QCOMPARE(module->kindList->recordCount(), 4);
        typeText(w.searchEdit, QStringLiteral("Щ"));
        w.changeButton->click();
    });
    w.showPicker(&receiver);
    QVERIFY(none.ran);
    QCOMPARE(receiver.taken.size(), 1);
}

void TestReference::kindChangeOverAnotherWorkstation_data()
{
    QTest::addColumn<bool>("deleted");
    QTest::newRow("changed there") << false;
    QTest::newRow("deleted there") << true;
}

void TestReference::kindChangeOverAnotherWorkstation()
{
    auto &[db, module] = *m_fixture;
    QFETCH(bool, deleted);
    const int kind = db.addKind(QStringLiteral("Покраска"));
    auto moduleA = db.connectModule();
    Messages::MessageRecorder rec;
    KindList b(module.get());
    b.prepareList();
    QVERIFY(module->kindList->locate("id", kind));
    const QStringList rows{QStringLiteral("accounts_dep.vid_oper")};
    QString afterA;
    ModalAction change;
    onModal(change, [&](QDialog *) {
        if (deleted) {
            moduleA->command.execute(KindStatements::deletion(kind));
        } else {
            KindDialog a(moduleA.get());
            moduleA->kindList->open();
            QVERIFY(moduleA->kindList->locate("id", kind));
            a.openMode = 2;
            a.version = RowVersion::read(*moduleA, QStringLiteral("accounts_dep.vid_oper"), kind);
            a.nameEdit->setText(QStringLiteral("Окраска"));
            a.saveButton->click();
            QCOMPARE(a.result(), int(QDialog::Accepted));
        }
        afterA = snapshot(db, rows);
        b.dialog->nameEdit->setText(QStringLiteral("Покраска порошковая"));
        b.dialog->saveButton->click();
    });
    b.changeOrChoose();
    QVERIFY(change.stayedOpen);
    QCOMPARE(rec.errors(), QStringList{QStringLiteral("Не удалось сохранить данные.\n")
                                       + (deleted ? RowVersion::deletedText() : RowVersion::changedText())});
    QCOMPARE(snapshot(db, rows), afterA);
    QCOMPARE(b.dialog->nameEdit->text(), QStringLiteral("Покраска порошковая"));
    QCOMPARE(db.scalar(QStringLiteral("select trim(vid) from accounts_dep.vid_oper where id=%1").arg(kind)).toString(),
             deleted ? QString() : QStringLiteral("Окраска"));
    b.finishList();
}

// ------------------------------------------------------------------------------------------------
// Nomenclature picker

void TestReference::nomenclaturePicker()
{
    auto &[db, module] = *m_fixture;
    const int bolts = db.addGroup(QStringLiteral("Болты "));
    db.addGroup(QStringLiteral("Бочки"));
    db.addGroup(QStringLiteral("Гайки"));
    db.exec(QStringLiteral("insert into cmn_classifier.item(id, id_level, s_caption) values (900, 1, 'Бумага')"));
    NomenclaturePicker w(module.get());
    QCOMPARE(w.windowTitle(), QStringLiteral("Номенклатура (26)"));
    const auto cols = headers(w.grid);
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
        QCOMPARE(w.groups->recordCount(), 3);
        typeText(w.searchEdit, QStringLiteral("бо"));
        QCOMPARE(w.groups->recordCount(), 2);
        QTest::keyClick(w.searchEdit, Qt::Key_Down);
        QTest::keyClick(w.searchEdit, Qt::Key_Up);
        QTest::keyClick(w.searchEdit, Qt::Key_Return);   // no default button: nothing happens
        QVERIFY(w.isVisible());
        w.findChild<QPushButton *>("Button1")->click();
    });
    w.showPicker(&receiver);
    QVERIFY(!pick.stayedOpen);
    QCOMPARE(receiver.taken.size(), 1);
    QCOMPARE(receiver.taken[0].id, qint64(bolts));
    QCOMPARE(receiver.taken[0].caption, QStringLiteral("Болты "));
    QVERIFY(!w.groups->isOpen());

    // Reopened: the last search text and its filter are still there. Выход and Esc choose nothing.
    for (const bool esc : {false, true}) {
        ModalAction leave;
        onModal(leave, [&](QDialog *) {
            QCOMPARE(w.searchEdit->text(), QStringLiteral("бо"));
            QCOMPARE(w.groups->recordCount(), 2);
            if (esc)
                QTest::keyClick(w.searchEdit, Qt::Key_Escape);
            else
                w.findChild<QPushButton *>("Button4")->click();
        });
        w.showPicker(&receiver);
        QVERIFY(leave.ran);
        QVERIFY(!leave.stayedOpen);
        QCOMPARE(receiver.taken.size(), 1);
    }

    // Choosing while the search shows nothing hands back the id 0 and an empty caption.
    ModalAction empty;
    onModal(empty, [&](QDialog *) {
        typeText(w.searchEdit, QStringLiteral("щ"));
        QCOMPARE(w.groups->recordCount(), 0);
        w.rowDoubleClicked();
    });
    w.showPicker(&receiver);
    QCOMPARE(receiver.taken.size(), 2);
    QCOMPARE(receiver.taken[1].id, qint64(0));
    QCOMPARE(receiver.taken[1].caption, QString());
}

// ------------------------------------------------------------------------------------------------
// Texts as typed

void TestReference::textsStoredAsTyped_data()
{
    QTest::addColumn<bool>("conforming");
    QTest::addColumn<QString>("typed");
    const QList<QPair<const char *, QString>> texts = {
        {"apostrophes, blanks around", QStringLiteral("  O'Brien 5'' ''  ")},
        {"backslash ending a literal",
         QStringLiteral("\\', chr(65)); delete from accounts_dep.smena where id=(select max(id) from accounts_dep.smena); --")},
        {"percent and underscore", QStringLiteral("100% _x_ %")},
        {"Cyrillic", QStringLiteral("Щёлковский Ё.Ъ. «ёлка»")},
        {"emoji", QStringLiteral("Петров 🙂🏭")},
        // Each box takes as much as its column holds: 254 characters, 128 for a kind.
        {"longest the fields take, a backslash at the cut", QString(253, QChar(0x042F)) + QStringLiteral("\\'; --")},
    };
    for (const bool conforming : {false, true})
        for (const auto &t : texts)
            QTest::addRow("%s, %s", conforming ? "standard strings on" : "standard strings off", t.first) << conforming << t.second;
}

// Through the worker, kind and product dialogs, on a server whose default treats a backslash in a
// literal as an escape and on one that does not: each text is stored as typed (after the dialog's
// trimming), found by its list's search and by its dialog's duplicate check, and no other row
// changes; the journal record stays.
void TestReference::textsStoredAsTyped()
{
    auto &[db, module] = *m_fixture;
    QFETCH(bool, conforming);
    QFETCH(QString, typed);
    db.exec(QStringLiteral("alter database %1 set standard_conforming_strings = %2").arg(db.name(), conforming ? "on" : "off"));
    // The program's session starts on the server's new default.
    module = db.connectModule();
    addLookups(db);
    const int worker = db.addWorker(QStringLiteral("Иванов И.И."));
    const int group = db.addGroup(QStringLiteral("Ящики"));
    const int product = db.addProduct(QStringLiteral("Ящик 400"), group);
    const int kind = db.addKind(QStringLiteral("Сборка"));
    db.addRecord(worker, product, db.addPrice(kind, product), QDate(2026, 3, 5), 1, 10, 0, 5, 8);
    const QStringList tables{QStringLiteral("accounts_dep.smena"), QStringLiteral("accounts_dep.person"),
                             QStringLiteral("accounts_dep.vid_oper"), QStringLiteral("cmn_gds_and_srv.gds_and_srv")};
    const QString before = snapshot(db, tables);
    Messages::MessageRecorder rec;

    // "Рабочие" → "Добавить" → "Записать"; the list's search finds the worker.
    WorkerList workers(module.get());
    workers.prepareList();
    ModalAction addWorker;
    onModal(addWorker, [&](QDialog *) {
        workers.dialog->nameEdit->setText(typed);
        workers.dialog->saveButton->click();
    });
    workers.add();
    QVERIFY(addWorker.ran);
    QVERIFY(!addWorker.stayedOpen);
    const QString fio = typed.left(254).trimmed();
    QCOMPARE(db.scalar(QStringLiteral("select fio from accounts_dep.person order by id desc limit 1")).toString(), fio);
    workers.searchEdit->setText(fio);
    QCOMPARE(column(module->workerList, "fio"), QStringList{fio});
    workers.searchEdit->clear();
    workers.finishList();

    // A kind: added, then refused as a duplicate of itself; the picker's search finds it.
    KindList kinds(module.get());
    kinds.prepareList();
    for (const bool again : {false, true}) {
        ModalAction add;
        onModal(add, [&](QDialog *) {
            kinds.dialog->nameEdit->setText(typed);
            kinds.dialog->saveButton->click();
        });
        kinds.add();
        QVERIFY(add.ran);
        QCOMPARE(add.stayedOpen, again);
    }
    QCOMPARE(rec.errors(), QStringList{QStringLiteral("Такая операция уже заведена!")});
    const QString vid = typed.left(128).trimmed();
    QCOMPARE(db.scalar(QStringLiteral("select rtrim(vid) from accounts_dep.vid_oper where id < 7777 order by id desc limit 1")).toString(), vid);
    kinds.finishList();
    Receiver<OperationKindChoice> picked;
    kinds.preparePicker(&picked);
    kinds.searchEdit->setText(vid);
    QCOMPARE(column(module->kindList, "vid"), QStringList{vid});
    kinds.changeOrChoose();
    kinds.finishPicker();
    QCOMPARE(picked.taken.size(), 1);
    QCOMPARE(picked.taken[0].vid, vid);

    // A product: the same, through the product dialog and the list's search.
    rec.clear();
    ProductList products(module.get());
    products.prepareList();
    for (const bool again : {false, true}) {
        ModalAction add;
        onModal(add, [&](QDialog *) {
            products.dialog->markEdit->setText(typed);
            products.dialog->rateEdit->setText(QStringLiteral("1.5"));
            products.dialog->groupList->setKeyValue(group);
            products.dialog->saveButton->click();
        });
        products.add();
        QVERIFY(add.ran);
        QCOMPARE(add.stayedOpen, again);
    }
    QCOMPARE(rec.errors(), QStringList{QStringLiteral("Такая марка изделия уже заведена!")});
    const QString mark = typed.left(254).trimmed();
    QCOMPARE(db.scalar(QStringLiteral("select s_caption from cmn_gds_and_srv.gds_and_srv order by id desc limit 1")).toString(), mark);
    products.searchEdit->setText(mark);
    QCOMPARE(column(module->productList, "marka"), QStringList{mark});
    products.finishList();

    // One row more in the worker, kind and product tables; no row of before changed or went.
    const QStringList was = before.split(QLatin1Char('\n'));
    const QStringList now = snapshot(db, tables).split(QLatin1Char('\n'));
    QStringList gone, added;
    for (const QString &row : was)
        if (!now.contains(row))
            gone << row;
    for (const QString &row : now)
        if (!was.contains(row))
            added << row;
    QCOMPARE(gone.join('|'), QString());
    QCOMPARE(added.size(), 3);
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
    auto &[db, module] = *m_fixture;
    const int worker = db.addWorker(QStringLiteral("Иванов И.И."));
    const int g = db.addGroup(QStringLiteral("Группа"));
    const int product = db.addProduct(QStringLiteral("А-1"), g);
    const int kind = db.addKind(QStringLiteral("Сборка"));
    const int price = db.addPrice(kind, product);
    db.addNorm(price, 10);
    Messages::MessageRecorder rec;
    {
        JournalWindow main(module.get());
        // The menu's lists are the run's windows, over the module the main window was given.
        QCOMPARE(Windows::module(), module.get());
        QCOMPARE(Windows::owner(), static_cast<QWidget *>(&main));
        prepareJournals(*module);
        main.setJournalDate(QDate(2001, 1, 1));
        main.readJournals();
        // A record of today appears only when the journal is reread for today after the list closes.
        db.addRecord(worker, product, price, QDate::currentDate(), 1, 3, 0, 10, 8);
        ModalAction open;
        onModal(open, [&](QDialog *d) {
            QCOMPARE(d->objectName(), window);
            auto *list = qobject_cast<ListWindow *>(d);
            QVERIFY(list);
            QCOMPARE(list->openMode, 0);
            QVERIFY(list->query()->isOpen());
            QCOMPARE(list->query()->recordCount(), window == QLatin1String("TForm8") ? 3 : 1);
            QCOMPARE(list->changeButton->text(), QStringLiteral("Изменить"));
            list->exitButton->click();
        });
        main.findChild<QAction *>(action)->trigger();
        QVERIFY(open.ran);
        QVERIFY(!open.stayedOpen);
        QVERIFY(rec.shown.isEmpty());
        QVERIFY(!module->workerList->isOpen());
        QVERIFY(!module->productList->isOpen());
        QVERIFY(!module->kindList->isOpen());
        QCOMPARE(main.journalDate(), QDate::currentDate());
        QCOMPARE(module->journalShift1->recordCount(), 1);
    }
}

QTEST_MAIN(TestReference)
#include "test_reference.moc"
