// The production record dialog: checks, duplicate test, statements, prices and the day cell.
#include "ui/data_grid.h"
#include "db/data_module.h"
#include "journal/journal_window.h"
#include "ui/messages.h"
#include "db/row_version.h"
#include "app/startup.h"
#include "ui/windows.h"
#include "db/dataset.h"
#include "records/day_cell_rule.h"
#include "records/record_commands.h"
#include "records/record_dialog.h"
#include "reference/price_rules.h"
#include "reference/price_list.h"
#include "reference/worker_list.h"
#include "tests/support/test_support.h"

#include <QApplication>
#include <QCheckBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QtTest>

namespace {

// Two workers, a turning price (base 10) and a painting price (base 4).
struct Plant {
    explicit Plant(const TestDatabase &db)
    {
        ivanov = db.addWorker(QStringLiteral("Иванов И.И."));
        petrov = db.addWorker(QStringLiteral("Петров П.П."));
        ring = db.addProduct(QStringLiteral("Кольцо 20"));
        turning = db.addKind(QStringLiteral("Токарная"));
        painting = db.addKind(QStringLiteral("Окраска"));
        ringTurning = db.addPrice(turning, ring);
        db.addNorm(ringTurning, 10);
        db.addNorm(ringTurning, 12);
        ringPainting = db.addPrice(painting, ring, 1);
        db.addNorm(ringPainting, 4);
    }
    OperationPriceChoice turningChoice(double unitPrice = 10) const
    {
        return {ringTurning, ring, 0, QStringLiteral("Кольцо 20; Токарная; Готовая продукция"), 10, unitPrice};
    }
    OperationPriceChoice paintingChoice() const
    {
        return {ringPainting, ring, 1, QStringLiteral("Кольцо 20; Окраска; Заготовки"), 4, 4};
    }
    int ivanov, petrov, ring, turning, painting, ringTurning, ringPainting;
};

// What every case starts from.
struct Fixture {
    TestDatabase db;
    Plant p{db};
    std::unique_ptr<DataModule> module = db.connectModule();
};

// The main window, logged in as the administrator, and the dialog.
struct Workplace {
    explicit Workplace(DataModule *module) : main(module), dialog(module, &main)
    {
        prepareJournals(*module);
        main.loginText = QStringLiteral("61370452");
    }
    // Opens the dialog for add on `date` with a worker, a price and the typed quantities.
    void fill(const QDate &date, int worker, const QString &fio, const OperationPriceChoice &price,
              const QString &qty, const QString &brak, const QString &hours)
    {
        main.setJournalDate(date);
        main.readJournals();
        dialog.prepareAdd(main.journalContext());
        dialog.takePick(WorkerChoice{worker, fio});
        dialog.takePick(price);
        dialog.quantityEdit->setText(qty);
        dialog.rejectsEdit->setText(brak);
        dialog.hoursEdit->setText(hours);
    }
    JournalWindow main;
    RecordDialog dialog;
};

const QDate day(2026, 3, 5);

} // namespace

class TestRecordDialog : public QObject {
    Q_OBJECT
    std::unique_ptr<Fixture> m_fixture;

private slots:
    // Every case gets its own database with the plant, and a data module connected to it.
    void init() { m_fixture = std::make_unique<Fixture>(); }
    void cleanup() { m_fixture.reset(); }
    void initTestCase() { installRussian(*qApp); }

    void priceLiteral_data();
    void priceLiteral();
    void pieceUnitPriceFactors_data();
    void pieceUnitPriceFactors();

    void addWritesRecordAndDayCell();
    void factorExampleShownAndSent();
    void requiredFields_data();
    void requiredFields();
    void paintingColourRule();
    void digitsOnly();
    void dateFieldTabOrder();
    void emptyQuantityBecomesZero();
    void rejectsAboveQuantityAccepted();
    void duplicateAddRefused();
    void changeKeepsKeyAndState();
    void changeToTakenDayRefused();
    void changeMovesDayCell_data();
    void changeMovesDayCell();
    void serverRefusalKeepsDialog();
    void refusedHalfWayLeavesDatabaseAsBefore_data();
    void refusedHalfWayLeavesDatabaseAsBefore();
    void changeOverAnotherWorkstation_data();
    void changeOverAnotherWorkstation();
    void numbersCheckedBeforeSending_data();
    void numbersCheckedBeforeSending();
    void openingForChangeFillsFields();
    void changeOnEmptyJournalDoesNothing();
    void roadOfOneRecord();
};

void TestRecordDialog::priceLiteral_data()
{
    QTest::addColumn<double>("price");
    QTest::addColumn<QString>("literal");
    QTest::newRow("whole") << 30.0 << "30";
    QTest::newRow("five decimals") << 12.34567 << "12.3457";
    QTest::newRow("no trailing zeros") << 2.5 << "2.5";
    QTest::newRow("half to even, down") << 0.03125 << "0.0312";
    QTest::newRow("half to even, up") << 0.09375 << "0.0938";
    QTest::newRow("large") << 1234567.5 << "1234567.5";
    QTest::newRow("zero") << 0.0 << "0";
}

void TestRecordDialog::priceLiteral()
{
    QFETCH(double, price);
    QFETCH(QString, literal);
    QCOMPARE(QLocale().decimalPoint(), QStringLiteral(","));   // a Russian workstation
    QCOMPARE(PriceRules::pieceUnitPriceText(price), literal);
}

void TestRecordDialog::pieceUnitPriceFactors_data()
{
    QTest::addColumn<bool>("dayOff");
    QTest::addColumn<int>("mode");
    QTest::addColumn<double>("price");
    QTest::newRow("shift 1") << false << 1 << 10.0;
    QTest::newRow("shift 2") << false << 2 << 10.0;
    QTest::newRow("shift 3") << false << 3 << 12.0;
    QTest::newRow("overtime") << false << 4 << 15.0;
    QTest::newRow("day off") << true << 1 << 20.0;
    QTest::newRow("day off, shift 3") << true << 3 << 24.0;
    QTest::newRow("day off, overtime") << true << 4 << 30.0;
}

void TestRecordDialog::pieceUnitPriceFactors()
{
    QFETCH(bool, dayOff);
    QFETCH(int, mode);
    QFETCH(double, price);
    QCOMPARE(PriceRules::pieceUnitPrice(10, {dayOff, mode}), price);
}

void TestRecordDialog::addWritesRecordAndDayCell()
{
    auto &[db, p, module] = *m_fixture;
    Workplace w(module.get());
    Messages::MessageRecorder rec;
    w.main.modeChosen(2);
    w.fill(day, p.ivanov, QStringLiteral("Иванов И.И."), p.turningChoice(12.34567), QStringLiteral("12"), QStringLiteral("2"), QStringLiteral("8"));
    QCOMPARE(w.dialog.windowTitle(), QStringLiteral("Заведение новой позиции (11)"));
    QCOMPARE(w.dialog.dateField->date(), day);
    w.dialog.save();
    QCOMPARE(rec.shown.size(), 0);
    QCOMPARE(w.dialog.result(), int(QDialog::Accepted));
    const auto rows = db.rows(QStringLiteral("select w_id, i_id, o_id, cena::text, kol_vo, brak, data, smena, color, time, vvod::date, trim(ok), "
                                             "prize, id_doc, id_doc_item, f_gds_qty_use, id_gds_use, id_cons_use from accounts_dep.smena"));
    QCOMPARE(rows.size(), 1);
    const auto &r = rows[0];
    QCOMPARE(r[0].toInt(), p.ivanov);
    QCOMPARE(r[1].toInt(), p.ring);
    QCOMPARE(r[2].toInt(), p.ringTurning);
    QCOMPARE(r[3].toString(), QStringLiteral("12.3457"));
    QCOMPARE(r[4].toInt(), 12);
    QCOMPARE(r[5].toInt(), 2);
    QCOMPARE(r[6].toDate(), day);
    QCOMPARE(r[7].toInt(), 2);
    QCOMPARE(r[8].toInt(), 0);
    QCOMPARE(r[9].toInt(), 8);
    QCOMPARE(r[10].toDate(), QDate::currentDate());
    QCOMPARE(r[11].toString(), QStringLiteral("no"));
    for (int i = 12; i < 18; ++i)
        QCOMPARE(r[i].toDouble(), 0.0);
    QCOMPARE(db.timesheetLines(p.ivanov), QStringList{QStringLiteral("2 3.2026 0 0: d5=8")});
    // The journal of the dialog's mode was read again and shows the new record.
    QCOMPARE(module->journalShift2->recordCount(), 1);
    QCOMPARE(module->journalShift2->text(QStringLiteral("summa")), QStringLiteral("123.46"));
    for (QLineEdit *e : w.dialog.findChildren<QLineEdit *>())
        if (e->objectName().startsWith(QLatin1String("Edit")))
            QVERIFY2(e->text().isEmpty(), qPrintable(e->objectName()));
}

void TestRecordDialog::factorExampleShownAndSent()
{
    auto &[db, p, module] = *m_fixture;
    Workplace w(module.get());
    Messages::MessageRecorder rec;
    w.main.modeChosen(4);
    w.main.findChild<QCheckBox *>(QStringLiteral("CBox1"))->setChecked(true);
    w.fill(day, p.ivanov, QStringLiteral("Иванов И.И."), p.turningChoice(PriceRules::pieceUnitPrice(10, {w.main.dayOff(), w.main.journalMode})),
           QStringLiteral("3"), QStringLiteral("0"), QStringLiteral("4"));
    w.dialog.recomputePrices();
    QCOMPARE(w.dialog.unitPriceEdit->text(), QStringLiteral("30"));
    QCOMPARE(w.dialog.basePriceEdit->text(), QStringLiteral("10"));
    QCOMPARE(w.dialog.amountEdit->text(), QStringLiteral("90"));
    w.dialog.save();
    QCOMPARE(db.scalar(QStringLiteral("select cena::text from accounts_dep.smena")).toString(), QStringLiteral("30"));
    QCOMPARE(db.scalar(QStringLiteral("select smena from accounts_dep.smena")).toInt(), 4);
    QCOMPARE(db.timesheetLines(p.ivanov), QStringList{QStringLiteral("4 3.2026 0 0: d5=4")});
}

void TestRecordDialog::requiredFields_data()
{
    QTest::addColumn<QString>("emptied");
    QTest::newRow("worker") << "Edit1";
    QTest::newRow("operation") << "Edit2";
    QTest::newRow("quantity") << "Edit3";
    QTest::newRow("rejects") << "Edit4";
    QTest::newRow("hours") << "Edit6";
    QTest::newRow("blanks only") << "Edit1 ";
}

void TestRecordDialog::requiredFields()
{
    QFETCH(QString, emptied);
    auto &[db, p, module] = *m_fixture;
    Workplace w(module.get());
    Messages::MessageRecorder rec;
    w.fill(day, p.ivanov, QStringLiteral("Иванов И.И."), p.turningChoice(), QStringLiteral("5"), QStringLiteral("1"), QStringLiteral("8"));
    auto *field = w.dialog.findChild<QLineEdit *>(emptied.trimmed());
    field->setText(emptied.endsWith(QLatin1Char(' ')) ? QStringLiteral("   ") : QString());
    w.dialog.save();
    QCOMPARE(rec.errors(), QStringList{QStringLiteral("Все поля должны быть заполнены!")});
    QCOMPARE(rec.shown[0].title, QStringLiteral("Ошибка"));
    QCOMPARE(w.dialog.result(), int(QDialog::Rejected));
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from accounts_dep.smena")).toInt(), 0);
    QCOMPARE(w.dialog.quantityEdit->text(), emptied == QLatin1String("Edit3") ? QString() : QStringLiteral("5"));
}

void TestRecordDialog::paintingColourRule()
{
    auto &[db, p, module] = *m_fixture;
    Workplace w(module.get());
    Messages::MessageRecorder rec;
    w.fill(day, p.ivanov, QStringLiteral("Иванов И.И."), p.paintingChoice(), QStringLiteral("5"), QStringLiteral("0"), QStringLiteral("8"));
    // The operation price picker decides whether a colour is asked for.
    w.dialog.findChild<QLineEdit *>(QStringLiteral("Edit5"))->setEnabled(true);
    w.dialog.save();
    QCOMPARE(rec.errors(), QStringList{QStringLiteral("Все поля должны быть заполнены!")});
    w.dialog.colourEdit->setText(QStringLiteral("12"));
    rec.clear();
    w.dialog.save();
    QCOMPARE(rec.shown.size(), 0);
    QCOMPARE(db.scalar(QStringLiteral("select color from accounts_dep.smena")).toInt(), 12);

    // Any other operation writes colour 0.
    w.fill(day, p.petrov, QStringLiteral("Петров П.П."), p.turningChoice(), QStringLiteral("5"), QStringLiteral("0"), QStringLiteral("8"));
    w.dialog.save();
    QCOMPARE(rec.shown.size(), 0);
    QCOMPARE(db.scalar(QStringLiteral("select color from accounts_dep.smena where w_id=%1").arg(p.petrov)).toInt(), 0);
}

void TestRecordDialog::digitsOnly()
{
    auto &[_db, _p, module] = *m_fixture;
    Workplace w(module.get());
    for (QLineEdit *e : {w.dialog.quantityEdit, w.dialog.rejectsEdit, w.dialog.colourEdit, w.dialog.hoursEdit}) {
        e->clear();
        e->setEnabled(true);
        QTest::keyClicks(e, QStringLiteral("1a2.3,-4 5"));
        QCOMPARE(e->text(), QStringLiteral("12345"));
        QTest::keyClick(e, Qt::Key_Backspace);
        QCOMPARE(e->text(), QStringLiteral("1234"));
    }
    QVERIFY(w.dialog.workerEdit->isReadOnly());
    QCOMPARE(w.dialog.workerEdit->focusPolicy() & Qt::TabFocus, 0);
}

// Tab and Shift+Tab leave the date in one step; the arrow keys and typing stay inside it.
void TestRecordDialog::dateFieldTabOrder()
{
    auto &[_db, p, module] = *m_fixture;
    Workplace w(module.get());
    w.fill(day, p.ivanov, QStringLiteral("Иванов И.И."), p.paintingChoice(), QStringLiteral("5"), QStringLiteral("0"),
           QStringLiteral("8"));
    // A painting operation: the colour field is in the chain before the date.
    w.dialog.colourEdit->setEnabled(true);
    w.dialog.colourEdit->setText(QStringLiteral("3"));
    w.dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&w.dialog));
    QDateEdit *date = w.dialog.dateField;
    const auto enter = [&](QDateTimeEdit::Section section) {
        date->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(date->hasFocus());
        date->setSelectedSection(section);
    };

    for (const auto section : {QDateTimeEdit::DaySection, QDateTimeEdit::MonthSection}) {
        enter(section);
        QTest::keyClick(date, Qt::Key_Tab);
        QVERIFY2(w.dialog.rejectsEdit->hasFocus(), qPrintable(QApplication::focusWidget()->objectName()));
        enter(section);
        QTest::keyClick(date, Qt::Key_Backtab, Qt::ShiftModifier);
        QVERIFY2(w.dialog.colourEdit->hasFocus(), qPrintable(QApplication::focusWidget()->objectName()));
    }
    // Into the date from "Брак" and out again, one press each.
    w.dialog.rejectsEdit->setFocus(Qt::TabFocusReason);
    QTRY_VERIFY(w.dialog.rejectsEdit->hasFocus());
    QTest::keyClick(w.dialog.rejectsEdit, Qt::Key_Backtab, Qt::ShiftModifier);
    QVERIFY(date->hasFocus());
    QTest::keyClick(date, Qt::Key_Tab);
    QVERIFY(w.dialog.rejectsEdit->hasFocus());

    // Inside: Up changes the day, Right moves on to the month, typing fills a section and moves on.
    enter(QDateTimeEdit::DaySection);
    QTest::keyClick(date, Qt::Key_Up);
    QCOMPARE(date->date(), day.addDays(1));
    for (int i = 0; i < 3 && date->currentSection() == QDateTimeEdit::DaySection; ++i)
        QTest::keyClick(date, Qt::Key_Right);
    QCOMPARE(date->currentSection(), QDateTimeEdit::MonthSection);
    QVERIFY(date->hasFocus());
    QTest::keyClick(date, Qt::Key_Up);
    QCOMPARE(date->date(), day.addDays(1).addMonths(1));
    enter(QDateTimeEdit::DaySection);
    QTest::keyClicks(date, QStringLiteral("07"));
    QCOMPARE(date->date().day(), 7);
    QCOMPARE(date->currentSection(), QDateTimeEdit::MonthSection);
    QVERIFY(date->hasFocus());
    w.dialog.hide();
}

void TestRecordDialog::emptyQuantityBecomesZero()
{
    auto &[db, p, module] = *m_fixture;
    Workplace w(module.get());
    Messages::MessageRecorder rec;
    w.fill(day, p.ivanov, QStringLiteral("Иванов И.И."), p.turningChoice(), QString(), QStringLiteral("0"), QString());
    w.dialog.recomputePrices();   // leaving "Кол-во"
    QCOMPARE(w.dialog.quantityEdit->text(), QStringLiteral("0"));
    QCOMPARE(w.dialog.hoursEdit->text(), QStringLiteral("0"));
    w.dialog.save();
    QCOMPARE(rec.shown.size(), 0);
    QCOMPARE(db.scalar(QStringLiteral("select kol_vo from accounts_dep.smena")).toInt(), 0);
    // A record of 0 hours writes 0 into its day cell.
    QCOMPARE(db.timesheetLines(p.ivanov), QStringList{QStringLiteral("1 3.2026 0 0: d5=0")});
}

void TestRecordDialog::rejectsAboveQuantityAccepted()
{
    auto &[_db, p, module] = *m_fixture;
    Workplace w(module.get());
    Messages::MessageRecorder rec;
    w.fill(day, p.ivanov, QStringLiteral("Иванов И.И."), p.turningChoice(), QStringLiteral("2"), QStringLiteral("5"), QStringLiteral("8"));
    w.dialog.save();
    QCOMPARE(rec.shown.size(), 0);
    QCOMPARE(module->journalShift1->text(QStringLiteral("summa")), QStringLiteral("-30.00"));
}

void TestRecordDialog::duplicateAddRefused()
{
    auto &[db, p, module] = *m_fixture;
    Workplace w(module.get());
    Messages::MessageRecorder rec;
    w.fill(day, p.ivanov, QStringLiteral("Иванов И.И."), p.turningChoice(), QStringLiteral("5"), QStringLiteral("0"), QStringLiteral("8"));
    w.dialog.save();
    w.fill(day, p.ivanov, QStringLiteral("Иванов И.И."), p.turningChoice(), QStringLiteral("9"), QStringLiteral("1"), QStringLiteral("3"));
    w.dialog.save();
    QCOMPARE(rec.errors(), QStringList{QStringLiteral("Позиция с такими параметрами уже заведена!")});
    QCOMPARE(w.dialog.quantityEdit->text(), QStringLiteral("9"));
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from accounts_dep.smena")).toInt(), 1);
    QCOMPARE(db.timesheetLines(p.ivanov), QStringList{QStringLiteral("1 3.2026 0 0: d5=8")});
    // Another shift is another key.
    rec.clear();
    w.main.modeChosen(3);
    w.fill(day, p.ivanov, QStringLiteral("Иванов И.И."), p.turningChoice(), QStringLiteral("9"), QStringLiteral("1"), QStringLiteral("3"));
    w.dialog.save();
    QCOMPARE(rec.shown.size(), 0);
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from accounts_dep.smena")).toInt(), 2);
}

void TestRecordDialog::changeKeepsKeyAndState()
{
    auto &[db, p, module] = *m_fixture;
    const int id = db.addRecord(p.ivanov, p.ring, p.ringTurning, day, 1, 10, 0, 10, 8, QStringLiteral("ok"));
    db.exec(QStringLiteral("update accounts_dep.smena set prize=15, id_doc=7 where id=%1").arg(id));
    Workplace w(module.get());
    Messages::MessageRecorder rec;
    w.main.setJournalDate(day);
    w.main.readJournals();
    QVERIFY(w.dialog.prepareChange(w.main.journalContext()));
    QCOMPARE(w.dialog.windowTitle(), QStringLiteral("Изменение данных о позиции (11)"));
    w.dialog.quantityEdit->setText(QStringLiteral("11"));
    w.dialog.hoursEdit->setText(QStringLiteral("6"));
    w.dialog.save();
    QCOMPARE(rec.shown.size(), 0);
    const auto rows = db.rows(QStringLiteral("select kol_vo, time, trim(ok), prize, id_doc, cena::text from accounts_dep.smena"));
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows[0][0].toInt(), 11);
    QCOMPARE(rows[0][1].toInt(), 6);
    QCOMPARE(rows[0][2].toString(), QStringLiteral("ok"));
    QCOMPARE(rows[0][3].toDouble(), 0.0);
    QCOMPARE(rows[0][4].toInt(), 0);
    QCOMPARE(rows[0][5].toString(), QStringLiteral("10"));
    QCOMPARE(db.timesheetLines(p.ivanov), QStringList{QStringLiteral("1 3.2026 0 0: d5=6")});
}

void TestRecordDialog::changeToTakenDayRefused()
{
    auto &[db, p, module] = *m_fixture;
    db.addRecord(p.ivanov, p.ring, p.ringTurning, day, 1, 10, 0, 10, 8);
    db.addRecord(p.ivanov, p.ring, p.ringTurning, day.addDays(1), 1, 10, 0, 10, 8);
    Workplace w(module.get());
    Messages::MessageRecorder rec;
    w.main.setJournalDate(day.addDays(1));
    w.main.readJournals();
    QVERIFY(w.dialog.prepareChange(w.main.journalContext()));
    w.dialog.dateField->setDate(day);
    w.dialog.save();
    QCOMPARE(rec.errors(), QStringList{QStringLiteral("Позиция с такими параметрами уже заведена!")});
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from accounts_dep.smena where data='%1'").arg(day.toString(QStringLiteral("dd.MM.yyyy")))).toInt(), 1);
}

void TestRecordDialog::changeMovesDayCell_data()
{
    QTest::addColumn<bool>("otherWorker");
    QTest::addColumn<bool>("otherDate");
    QTest::newRow("to another worker") << true << false;
    QTest::newRow("to another date") << false << true;
    QTest::newRow("to another worker and date") << true << true;
}

void TestRecordDialog::changeMovesDayCell()
{
    QFETCH(bool, otherWorker);
    QFETCH(bool, otherDate);
    auto &[db, p, module] = *m_fixture;
    Workplace w(module.get());
    Messages::MessageRecorder rec;
    // Ivanov has 8 hours on the 5th and 3 hours on the 6th.
    w.fill(day, p.ivanov, QStringLiteral("Иванов И.И."), p.turningChoice(), QStringLiteral("5"), QStringLiteral("0"), QStringLiteral("8"));
    w.dialog.save();
    w.fill(day.addDays(1), p.ivanov, QStringLiteral("Иванов И.И."), p.turningChoice(), QStringLiteral("5"), QStringLiteral("0"), QStringLiteral("3"));
    w.dialog.save();
    QCOMPARE(db.timesheetLines(p.ivanov), QStringList{QStringLiteral("1 3.2026 0 0: d5=8 d6=3")});

    w.main.setJournalDate(day);
    w.main.readJournals();
    QVERIFY(w.dialog.prepareChange(w.main.journalContext()));
    if (otherWorker)
        w.dialog.takePick(WorkerChoice{p.petrov, QStringLiteral("Петров П.П.")});
    if (otherDate)
        w.dialog.dateField->setDate(day.addDays(2));
    w.dialog.save();
    QCOMPARE(rec.shown.size(), 0);
    const QString moved = otherDate ? QStringLiteral("d7=8") : QStringLiteral("d5=8");
    if (otherWorker) {
        QCOMPARE(db.timesheetLines(p.ivanov), QStringList{QStringLiteral("1 3.2026 0 0: d6=3")});
        QCOMPARE(db.timesheetLines(p.petrov), QStringList{QStringLiteral("1 3.2026 0 0: ") + moved});
    } else {
        QCOMPARE(db.timesheetLines(p.ivanov), QStringList{QStringLiteral("1 3.2026 0 0: d6=3 d7=8")});
    }
}

void TestRecordDialog::serverRefusalKeepsDialog()
{
    auto &[db, p, module] = *m_fixture;
    Workplace w(module.get());
    Messages::MessageRecorder rec;
    // The server refuses the record (a rule of the plant's other software).
    refuseStatements(db, QStringLiteral("accounts_dep.smena"), QStringLiteral("insert"), QStringLiteral("quantity out of range for this plant"));
    w.fill(day, p.ivanov, QStringLiteral("Иванов И.И."), p.turningChoice(), QStringLiteral("99999"), QStringLiteral("0"), QStringLiteral("8"));
    w.dialog.save();
    QCOMPARE(rec.shown.size(), 1);
    QVERIFY2(rec.shown[0].text.contains(QStringLiteral("out of range")), qPrintable(rec.shown[0].text));
    QVERIFY2(rec.shown[0].text.startsWith(QStringLiteral("Не удалось сохранить запись.\n")), qPrintable(rec.shown[0].text));
    QCOMPARE(w.dialog.result(), int(QDialog::Rejected));
    QCOMPARE(w.dialog.quantityEdit->text(), QStringLiteral("99999"));
    QCOMPARE(w.dialog.workerEdit->text(), QStringLiteral("Иванов И.И."));
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from accounts_dep.smena")).toInt(), 0);
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from accounts_dep.h_tabel")).toInt(), 0);
}

void TestRecordDialog::refusedHalfWayLeavesDatabaseAsBefore_data()
{
    QTest::addColumn<bool>("change");
    QTest::newRow("new record, its day cell refused") << false;
    QTest::newRow("changed to another worker, his day cell refused") << true;
}

// The record's own statement goes through, the worker's new timesheet row does not: the save is
// taken back whole, the user reads the server's text after what failed, the dialog stays open with
// the fields as typed, and the next save works.
void TestRecordDialog::refusedHalfWayLeavesDatabaseAsBefore()
{
    auto &[db, p, module] = *m_fixture;
    QFETCH(bool, change);
    Workplace w(module.get());
    Messages::MessageRecorder rec;
    w.fill(day, p.ivanov, QStringLiteral("Иванов И.И."), p.turningChoice(), QStringLiteral("5"), QStringLiteral("0"), QStringLiteral("8"));
    if (change) {
        // Ivanov's record of 8 hours moves to Petrov, who has no timesheet row yet.
        w.dialog.save();
        QCOMPARE(rec.shown.size(), 0);
        w.main.readJournals();
        QVERIFY(w.dialog.prepareChange(w.main.journalContext()));
        w.dialog.takePick(WorkerChoice{p.petrov, QStringLiteral("Петров П.П.")});
        w.dialog.quantityEdit->setText(QStringLiteral("7"));
    }
    w.dialog.show();
    const QStringList tables{QStringLiteral("accounts_dep.smena"), QStringLiteral("accounts_dep.h_tabel")};
    const QString before = snapshot(db, tables);
    refuseStatements(db, QStringLiteral("accounts_dep.h_tabel"), QStringLiteral("insert"), QStringLiteral("Табель месяца закрыт"));

    w.dialog.saveButton->click();
    QCOMPARE(rec.errors().size(), 1);
    QVERIFY2(rec.errors()[0].startsWith(QStringLiteral("Не удалось сохранить запись.\n")), qPrintable(rec.errors()[0]));
    QVERIFY2(rec.errors()[0].contains(QStringLiteral("Табель месяца закрыт")), qPrintable(rec.errors()[0]));
    QCOMPARE(snapshot(db, tables), before);
    QCOMPARE(db.advisoryLocks(), 0);
    QVERIFY(w.dialog.isVisible());
    QCOMPARE(w.dialog.workerEdit->text(), change ? QStringLiteral("Петров П.П.") : QStringLiteral("Иванов И.И."));
    QCOMPARE(w.dialog.quantityEdit->text(), change ? QStringLiteral("7") : QStringLiteral("5"));
    QCOMPARE(w.dialog.hoursEdit->text(), QStringLiteral("8"));

    // The program goes on: once the server takes the row, the same save goes through.
    dropRefusal(db, QStringLiteral("accounts_dep.h_tabel"), QStringLiteral("insert"));
    rec.clear();
    w.dialog.saveButton->click();
    QCOMPARE(rec.shown.size(), 0);
    QVERIFY(!w.dialog.isVisible());
    const auto rows = db.rows(QStringLiteral("select w_id, kol_vo from accounts_dep.smena"));
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows[0][0].toInt(), change ? p.petrov : p.ivanov);
    QCOMPARE(rows[0][1].toInt(), change ? 7 : 5);
    QCOMPARE(db.timesheetLines(change ? p.petrov : p.ivanov), QStringList{QStringLiteral("1 3.2026 0 0: d5=8")});
    if (change)
        QCOMPARE(db.timesheetLines(p.ivanov), QStringList());
}

void TestRecordDialog::changeOverAnotherWorkstation_data()
{
    QTest::addColumn<bool>("deleted");
    QTest::newRow("changed there") << false;
    QTest::newRow("deleted there") << true;
}

// Workstation B opens a record for change; workstation A changes or deletes it and saves; B's save
// is refused with the reason, writes nothing of its own, and B's dialog stays open as typed.
void TestRecordDialog::changeOverAnotherWorkstation()
{
    auto &[db, p, module] = *m_fixture;
    QFETCH(bool, deleted);
    const int id = db.addRecord(p.ivanov, p.ring, p.ringTurning, day, 1, 10, 0, 10, 8);
    DayCellRule(*module).recomputeAfterSave(p.ivanov, day, 1);
    Workplace b(module.get());
    Messages::MessageRecorder rec;
    b.main.setJournalDate(day);
    b.main.readJournals();
    QVERIFY(b.dialog.prepareChange(b.main.journalContext()));
    b.dialog.show();

    auto moduleA = db.connectModule();
    if (deleted) {
        RecordCommands::remove(*moduleA, id, p.ivanov, day, 1);
    } else {
        prepareJournals(*moduleA);
        moduleA->journalShift1->setParam(QStringLiteral("data"), day);
        moduleA->journalShift1->open();
        RecordDialog a(moduleA.get());
        QVERIFY(a.prepareChange({moduleA->journalShift1, day, 1, false}));
        a.quantityEdit->setText(QStringLiteral("11"));
        a.hoursEdit->setText(QStringLiteral("6"));
        a.saveButton->click();
        QCOMPARE(rec.shown.size(), 0);
    }
    const QStringList tables{QStringLiteral("accounts_dep.smena"), QStringLiteral("accounts_dep.h_tabel")};
    const QString afterA = snapshot(db, tables);

    b.dialog.takePick(WorkerChoice{p.petrov, QStringLiteral("Петров П.П.")});
    b.dialog.quantityEdit->setText(QStringLiteral("99"));
    b.dialog.saveButton->click();
    QCOMPARE(rec.errors(), QStringList{QStringLiteral("Не удалось сохранить запись.\n")
                                       + (deleted ? RowVersion::deletedText() : RowVersion::changedText())});
    QCOMPARE(snapshot(db, tables), afterA);
    QVERIFY(b.dialog.isVisible());
    QCOMPARE(b.dialog.quantityEdit->text(), QStringLiteral("99"));
    QCOMPARE(b.dialog.workerEdit->text(), QStringLiteral("Петров П.П."));
    // What A wrote stays.
    if (deleted) {
        QCOMPARE(db.scalar(QStringLiteral("select count(*) from accounts_dep.smena")).toInt(), 0);
        QCOMPARE(db.timesheetLines(p.ivanov), QStringList());
    } else {
        const auto rows = db.rows(QStringLiteral("select w_id, kol_vo, time from accounts_dep.smena"));
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows[0][0].toInt(), p.ivanov);
        QCOMPARE(rows[0][1].toInt(), 11);
        QCOMPARE(rows[0][2].toInt(), 6);
        QCOMPARE(db.timesheetLines(p.ivanov), QStringList{QStringLiteral("1 3.2026 0 0: d5=6")});
    }
    QCOMPARE(db.timesheetLines(p.petrov), QStringList());
}

void TestRecordDialog::numbersCheckedBeforeSending_data()
{
    QTest::addColumn<QString>("qty");
    QTest::addColumn<QString>("brak");
    QTest::addColumn<QString>("hours");
    QTest::addColumn<QString>("field");
    // More than a 32-bit column holds: told before anything is sent, naming the field.
    QTest::newRow("quantity") << "99999999999" << "0" << "8" << "Кол-во";
    QTest::newRow("rejects") << "5" << "2147483648" << "8" << "Брак";
    QTest::newRow("hours") << "5" << "0" << "99999999999999999999" << "Время";
    // Hours an int column holds but no day cell of the timesheet can.
    QTest::newRow("hours past a day cell") << "5" << "0" << "99999" << "Время";
    QTest::newRow("hours just past a day cell") << "5" << "0" << "32768" << "Время";
}

void TestRecordDialog::numbersCheckedBeforeSending()
{
    QFETCH(QString, qty);
    QFETCH(QString, brak);
    QFETCH(QString, hours);
    QFETCH(QString, field);
    auto &[db, p, module] = *m_fixture;
    Workplace w(module.get());
    Messages::MessageRecorder rec;
    w.fill(day, p.ivanov, QStringLiteral("Иванов И.И."), p.turningChoice(), qty, brak, hours);
    SentStatementProbe probe(db, *module);
    w.dialog.save();
    QCOMPARE(probe.sentSince(), QString());
    QCOMPARE(rec.errors().size(), 1);
    QVERIFY2(rec.errors()[0].contains(QStringLiteral("Поле «%1»").arg(field)), qPrintable(rec.errors()[0]));
    QCOMPARE(w.dialog.result(), int(QDialog::Rejected));
    QCOMPARE(w.dialog.quantityEdit->text(), qty);
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from accounts_dep.smena")).toInt(), 0);
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from accounts_dep.h_tabel")).toInt(), 0);
}

void TestRecordDialog::openingForChangeFillsFields()
{
    auto &[db, p, module] = *m_fixture;
    db.addRecord(p.ivanov, p.ring, p.ringTurning, day, 1, 1, 0, 1, 1);
    db.addRecord(p.petrov, p.ring, p.ringPainting, day, 1, 7, 1, 12.5, 6, QStringLiteral("no"), 14);
    Workplace w(module.get());
    w.main.setJournalDate(day);
    w.main.readJournals();
    module->journalShift1->setRecNo(2);
    // The dialog is opened on the journal of the main window's mode.
    QCOMPARE(w.main.journalContext().journal, module->journalShift1);
    QVERIFY(w.dialog.prepareChange(w.main.journalContext()));
    QCOMPARE(w.dialog.workerEdit->text(), QStringLiteral("Петров П.П."));
    QCOMPARE(w.dialog.operationEdit->text(), QStringLiteral("Кольцо 20; Окраска; Заготовки"));
    QCOMPARE(w.dialog.quantityEdit->text(), QStringLiteral("7"));
    QCOMPARE(w.dialog.rejectsEdit->text(), QStringLiteral("1"));
    QCOMPARE(w.dialog.hoursEdit->text(), QStringLiteral("6"));
    QCOMPARE(w.dialog.colourEdit->text(), QStringLiteral("14"));
    QVERIFY(w.dialog.colourEdit->isEnabled());
    QVERIFY(w.dialog.findChild<QLabel *>(QStringLiteral("Label6"))->isEnabled());
    QCOMPARE(w.dialog.unitPriceEdit->text(), QStringLiteral("12,5"));
    QCOMPARE(w.dialog.amountEdit->text(), QStringLiteral("87,5"));
    QCOMPARE(w.dialog.basePriceEdit->text(), QStringLiteral("4"));
    QCOMPARE(w.dialog.dateField->date(), day);
    QCOMPARE(w.dialog.workerId, p.petrov);
    QCOMPARE(w.dialog.priceId, p.ringPainting);

    // A record of another operation empties and disables the colour.
    module->journalShift1->setRecNo(1);
    QVERIFY(w.dialog.prepareChange(w.main.journalContext()));
    QVERIFY(!w.dialog.colourEdit->isEnabled());
    QVERIFY(w.dialog.colourEdit->text().isEmpty());
}

void TestRecordDialog::changeOnEmptyJournalDoesNothing()
{
    auto &[_db, _p, module] = *m_fixture;
    Workplace w(module.get());
    Messages::MessageRecorder rec;
    w.main.setJournalDate(day);
    w.main.readJournals();
    QVERIFY(!w.dialog.prepareChange(w.main.journalContext()));
    QCOMPARE(rec.shown.size(), 0);
}

void TestRecordDialog::roadOfOneRecord()
{
    // The foreman picks shift 3, presses "Добавить", chooses the worker and the operation price in
    // their pickers, types the quantities and saves; the journal shows the record with its amount
    // and a red "OK"; the administrator's double-click accepts it; the worker's day cell counts it.
    auto &[db, p, module] = *m_fixture;
    JournalWindow main(module.get());
    prepareJournals(*module);
    main.loginText = QStringLiteral("61370452");
    Messages::MessageRecorder rec;
    main.activate();
    main.findChild<QRadioButton *>(QStringLiteral("RadioButton3"))->setChecked(true);
    main.findChild<QCheckBox *>(QStringLiteral("CBox1"))->setChecked(false);

    bool dialogSeen = false;
    QTimer::singleShot(0, &main, [&] {
        RecordDialog *dialog = Windows::get<RecordDialog>();
        dialogSeen = dialog->isVisible() && dialog->windowTitle() == QStringLiteral("Заведение новой позиции (11)");
        QTimer::singleShot(0, dialog, [&] {
            WorkerList *workers = Windows::get<WorkerList>();
            QVERIFY(workers->isVisible());
            QCOMPARE(workers->changeButton->text(), QStringLiteral("Выбрать"));
            QVERIFY(workers->query()->locate(QStringLiteral("id"), p.petrov));
            workers->changeButton->click();
        });
        dialog->workerButton->click();
        QCOMPARE(dialog->workerEdit->text(), QStringLiteral("Петров П.П."));
        QTimer::singleShot(0, dialog, [&] {
            PriceList *prices = Windows::get<PriceList>();
            QVERIFY(prices->isVisible());
            QVERIFY(prices->query()->locate(QStringLiteral("id"), p.ringTurning));
            prices->changeButton->click();
        });
        dialog->priceButton->click();
        QCOMPARE(dialog->operationEdit->text(), QStringLiteral("Кольцо 20; Токарная; Готовая продукция"));
        QCOMPARE(dialog->unitPriceEdit->text(), QStringLiteral("12"));   // 10 in shift 3
        QVERIFY(!dialog->colourEdit->isEnabled());
        dialog->quantityEdit->setText(QStringLiteral("7"));
        dialog->rejectsEdit->setText(QStringLiteral("1"));
        dialog->hoursEdit->setText(QStringLiteral("8"));
        dialog->saveButton->click();
    });
    main.findChild<QPushButton *>(QStringLiteral("Button1"))->click();
    QVERIFY(dialogSeen);
    QCOMPARE(rec.shown.size(), 0);

    auto *grid = main.findChild<DataGrid *>(QStringLiteral("DBGrid2"));
    QCOMPARE(grid->dataSet(), module->journalShift3);
    QCOMPARE(module->journalShift3->recordCount(), 1);
    QCOMPARE(grid->dataModel()->displayText(0, QStringLiteral("fio")), QStringLiteral("Петров П.П."));
    QCOMPARE(grid->dataModel()->displayText(0, QStringLiteral("summa")), QStringLiteral("72,00"));   // (7 - 1) x 12
    const QModelIndex ok = grid->dataModel()->index(0, grid->columnOf(QStringLiteral("ok")));
    QCOMPARE(grid->dataModel()->data(ok, Qt::DisplayRole).toString(), QStringLiteral("no"));
    QCOMPARE(grid->dataModel()->data(ok, Qt::ForegroundRole).value<QColor>(), QColor(255, 0, 0));

    main.toggleState();
    QCOMPARE(grid->dataModel()->data(ok, Qt::DisplayRole).toString(), QStringLiteral("ok"));
    QCOMPARE(grid->dataModel()->data(ok, Qt::ForegroundRole).value<QColor>(), QColor(0, 128, 0));

    const QDate today = QDate::currentDate();
    QCOMPARE(db.timesheetLines(p.petrov),
             QStringList{QStringLiteral("3 %1.%2 0 0: d%3=8").arg(today.month()).arg(today.year()).arg(today.day())});
}

QTEST_MAIN(TestRecordDialog)
#include "test_record_dialog.moc"
