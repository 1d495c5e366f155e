// What a user of a desktop program expects from one day to the next: windows, grids, the journal
// mode and the report period as they were left (in the user's settings file, in a later run of
// its own), "reset windows", every menu item by its letter and every command by its key, and
// every window whole at scale factors 1, 1.5 and 2 and with a 12-point desktop font.
#include "app/login_window.h"
#include "app/startup.h"
#include "db/build_stamp.h"
#include "db/data_module.h"
#include "db/dataset.h"
#include "db/settings_files.h"
#include "journal/about_window.h"
#include "journal/journal_window.h"
#include "records/record_dialog.h"
#include "reference/kind_dialog.h"
#include "reference/kind_list.h"
#include "reference/nomenclature_picker.h"
#include "reference/norms_window.h"
#include "reference/price_dialog.h"
#include "reference/price_list.h"
#include "reference/product_dialog.h"
#include "reference/product_list.h"
#include "reference/worker_dialog.h"
#include "reference/worker_list.h"
#include "reports/report_centre.h"
#include "reports/report_engine.h"
#include "reports/report_preview.h"
#include "tests/support/small_plant.h"
#include "tests/support/test_support.h"
#include "tests/support/window_helpers.h"
#include "timesheets/household_dialog.h"
#include "timesheets/household_list.h"
#include "timesheets/piecework_timesheet_window.h"
#include "timesheets/shift_timesheet_window.h"
#include "ui/data_grid.h"
#include "ui/messages.h"
#include "ui/remembered_state.h"
#include "ui/windows.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include "reports/report_page_view.h"
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSettings>
#include <QTemporaryDir>
#include <QToolBar>
#include <QtTest>

namespace {

// A key pressed and let go on `target`, as the keyboard sends it (shortcuts first).
void press(QWidget *target, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier, const QString &text = {})
{
    QTest::sendKeyEvent(QTest::Click, target, Qt::Key(key), text, modifiers);
    QCoreApplication::processEvents();
}

// The letter of a caption's key ("&Справочники" → "С").
QChar accelerator(const QString &caption)
{
    const int amp = caption.indexOf(QLatin1Char('&'));
    return amp >= 0 && amp + 1 < caption.size() ? caption.at(amp + 1).toUpper() : QChar();
}

// Alt+letter on the menu bar, or the letter in an open menu.
void pressLetter(QWidget *target, QChar letter, Qt::KeyboardModifiers modifiers)
{
    press(target, letter.toUpper().unicode(), modifiers, QString(letter.toLower()));
}

void showActive(QWidget *window)
{
    window->show();
    window->activateWindow();
    // The offscreen screens hand the activation back to no window when a modal dialog closes.
    QApplication::setActiveWindow(window);
    QVERIFY(QTest::qWaitForWindowActive(window));
}

// This binary again, running one test function in a process of its own.
int runChild(const QString &function, const QProcessEnvironment &environment, QString *output)
{
    QProcess child;
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QCoreApplication::applicationFilePath(), {function});
    if (!child.waitForFinished(300000))
        return -1;
    *output = QString::fromLocal8Bit(child.readAll());
    return child.exitStatus() == QProcess::NormalExit ? child.exitCode() : -1;
}

int fieldWidth(DataGrid *grid, const QString &field)
{
    return grid->columnWidth(grid->columnOf(field));
}

QString describe(const QWidget *w)
{
    QString text;
    if (auto *b = qobject_cast<const QAbstractButton *>(w))
        text = b->text();
    else if (auto *l = qobject_cast<const QLabel *>(w))
        text = l->text();
    return QString::fromLatin1(w->metaObject()->className()) + QLatin1Char(' ')
           + (w->objectName().isEmpty() ? QStringLiteral("-") : w->objectName())
           + (text.isEmpty() ? QString() : QStringLiteral(" \"") + text + QLatin1Char('"'));
}

// A control the check does not look into: what is inside it is its own business (a grid's
// scrolled cells, a date field's text box).
bool isControl(const QWidget *w)
{
    return qobject_cast<const QAbstractScrollArea *>(w) || qobject_cast<const QAbstractSpinBox *>(w)
           || qobject_cast<const QComboBox *>(w) || qobject_cast<const QAbstractButton *>(w)
           || qobject_cast<const QLineEdit *>(w) || qobject_cast<const QLabel *>(w)
           || qobject_cast<const QProgressBar *>(w) || qobject_cast<const QMenuBar *>(w)
           || qobject_cast<const QToolBar *>(w);
}

// What a user would see wrong with a shown window: a control outside its window or its parent,
// two controls over each other, a caption cut (a control smaller than its text needs), a day
// column too narrow for "31" and "24".
void collectFaults(QWidget *parent, QWidget *window, QStringList &faults)
{
    QList<QWidget *> shown;
    for (QObject *o : parent->children()) {
        auto *w = qobject_cast<QWidget *>(o);
        if (w && !w->isWindow() && w->isVisibleTo(window) && !w->objectName().startsWith(QLatin1String("qt_scrollarea")))
            shown << w;
    }
    for (QWidget *w : shown) {
        const QRect inWindow(w->mapTo(window, QPoint(0, 0)), w->size());
        if (!window->rect().contains(inWindow))
            faults << describe(w) + QStringLiteral(" lies outside its window");
        else if (!parent->rect().contains(w->geometry()))
            faults << describe(w) + QStringLiteral(" lies outside ") + describe(parent);
        const auto *label = qobject_cast<const QLabel *>(w);
        const auto *push = qobject_cast<const QPushButton *>(w);
        // A push button need not be as wide as the style's least ("..." buttons are narrow): its
        // caption must fit.
        if (push && (w->width() < w->fontMetrics().horizontalAdvance(push->text()) + 6
                     || w->height() < w->fontMetrics().height() + 2))
            faults << describe(w) + QStringLiteral(" is cut: %1 x %2").arg(w->width()).arg(w->height());
        if (((qobject_cast<const QAbstractButton *>(w) && !push) || (label && !label->wordWrap()))
            && (w->width() < w->minimumSizeHint().width() || w->height() < w->minimumSizeHint().height()))
            faults << describe(w) + QStringLiteral(" is cut: %1 x %2 of %3 x %4")
                                        .arg(w->width()).arg(w->height())
                                        .arg(w->minimumSizeHint().width()).arg(w->minimumSizeHint().height());
        if (auto *grid = qobject_cast<DataGrid *>(w)) {
            QFont bold = grid->font();
            bold.setBold(true);
            const int digits = qMax(QFontMetrics(bold).horizontalAdvance(QStringLiteral("31")),
                                    QFontMetrics(bold).horizontalAdvance(QStringLiteral("24")));
            for (int d = 1; d <= 31; ++d) {
                const int column = grid->columnOf(QStringLiteral("d%1").arg(d));
                if (column >= 0 && !grid->isColumnHidden(column) && grid->columnWidth(column) < digits + 4)
                    faults << describe(grid) + QStringLiteral(": day %1 is %2 wide, \"31\" needs %3")
                                                   .arg(d).arg(grid->columnWidth(column)).arg(digits + 4);
            }
        }
    }
    for (int i = 0; i < shown.size(); ++i)
        for (int j = i + 1; j < shown.size(); ++j)
            if (shown[i]->geometry().intersects(shown[j]->geometry()))
                faults << describe(shown[i]) + QStringLiteral(" overlaps ") + describe(shown[j]);
    for (QWidget *w : shown)
        if (!isControl(w))
            collectFaults(w, window, faults);
}

// The journal of today at work under a role, with one record of shift 1, the grid in the focus.
struct JournalAtWork {
    TestDatabase db;
    SmallPlant p{db};
    const int record = p.record(p.ivanov, QDate::currentDate(), 1, 8);
    std::unique_ptr<DataModule> module = db.connectModule();
    JournalWindow main{module.get()};
    DataGrid *grid = main.findChild<DataGrid *>(QStringLiteral("DBGrid2"));

    explicit JournalAtWork(Role role)
    {
        prepareJournals(*module);
        main.applyRole(role);
        showActive(&main);
        main.activate();
        grid->setFocus();
    }
    int records() const
    {
        return db.scalar(QStringLiteral("select count(*) from accounts_dep.smena where id=%1").arg(record)).toInt();
    }
};

// Keys that open a dialog: which dialog, and how its caption begins (add or change).
struct KeyCase {
    const char *name;
    int key;
    QString title;
};

// Each key, pressed on `grid`, opens the dialog `dialog` with its caption; `window` is active
// again afterwards.
void opensByKeys(QWidget *window, QWidget *grid, const QString &dialog, const QList<KeyCase> &cases)
{
    for (const KeyCase &c : cases) {
        ModalAction opened;
        QString title;
        onModal(opened, [&title](QDialog *d) { title = d->windowTitle(); });
        press(grid, c.key);
        QVERIFY2(opened.ran, c.name);
        QCOMPARE(opened.window, dialog);
        QVERIFY2(title.startsWith(c.title), qPrintable(title));
        showActive(window);
        grid->setFocus();
    }
}

} // namespace

class TestDesktop : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { installRussian(*qApp); }
    void init()
    {
        // A test's own file starts empty; the next run of a test keeps the one it was given.
        if (qEnvironmentVariableIsEmpty("TABEL_TEST_USER_CONFIG"))
            QFile::remove(userSettingsPath());
        RememberedState::setEnabled(true);
    }
    void cleanup() { RememberedState::setEnabled(false); }

    void testsKeepToTheirOwnSettingsFile();
    void windowComesBackAsLeftInTheNextRun();
    void reopenedAsLeft();   // the next run, in a process of its own
    void resetWindowsPutsDesignedSizesBack();
    void placeOnAScreenThatIsGone();
    void journalModeAndReportPeriodRemembered();
    void nothingRememberedWhileTheProgramDoesNotRemember();
    void previewZoomRemembered();

    void menuItemsByTheirLetters();
    void journalCommandsByKeys();
    void keysFollowTheRole();
    void listCommandsByKeys();
    void timesheetCommandsByKeys();
    void aboutTellsVersionsAndPlaces();

    void windowsWholeOnAnyScreen_data();
    void windowsWholeOnAnyScreen();
    void everyWindowWhole(); // one screen, in a process of its own
};

void TestDesktop::testsKeepToTheirOwnSettingsFile()
{
    const QString file = userSettingsPath();
    QVERIFY2(file.startsWith(QDir::tempPath()), qPrintable(file));
    QVERIFY(!file.startsWith(QDir::homePath() + QStringLiteral("/.config")));
}

void TestDesktop::windowComesBackAsLeftInTheNextRun()
{
    TestDatabase db;
    auto module = db.connectModule();
    const QRect left(140, 90, 1500, 720);
    int fio = 0, summa = 0, marka = 0;
    {
        JournalWindow main(module.get());
        main.show();
        main.setGeometry(left);
        QCoreApplication::processEvents();
        auto *grid = main.findChild<DataGrid *>(QStringLiteral("DBGrid2"));
        // The user drags a text column that takes the spare room and a number column wider.
        grid->horizontalHeader()->resizeSection(grid->columnOf(QStringLiteral("fio")), 420);
        grid->horizontalHeader()->resizeSection(grid->columnOf(QStringLiteral("summa")), 110);
        fio = fieldWidth(grid, QStringLiteral("fio"));
        summa = fieldWidth(grid, QStringLiteral("summa"));
        marka = fieldWidth(grid, QStringLiteral("marka"));
        QCOMPARE(fio, 420);
        main.close();
    }
    QSettings file(userSettingsPath(), QSettings::IniFormat);
    QCOMPARE(file.value(QStringLiteral("windows/TForm1/geometry")).toRect(), left);
    QVERIFY(file.childGroups().contains(QStringLiteral("grids")));

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TABEL_TEST_USER_CONFIG"), userSettingsPath());
    env.insert(QStringLiteral("TABEL_TEST_EXPECT"), QStringLiteral("%1 %2 %3 %4 %5 %6 %7")
                                                        .arg(left.x()).arg(left.y()).arg(left.width()).arg(left.height())
                                                        .arg(fio).arg(summa).arg(marka));
    QString output;
    const int code = runChild(QStringLiteral("reopenedAsLeft"), env, &output);
    QVERIFY2(code == 0, qPrintable(output));
    QVERIFY2(output.contains(QStringLiteral("PASS   : TestDesktop::reopenedAsLeft")), qPrintable(output));
}

void TestDesktop::reopenedAsLeft()
{
    const QStringList expect = qEnvironmentVariable("TABEL_TEST_EXPECT").split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (expect.size() != 7)
        QSKIP("the next run of windowComesBackAsLeftInTheNextRun, in a process of its own");
    TestDatabase db;
    auto module = db.connectModule();
    JournalWindow main(module.get());
    main.show();
    QCoreApplication::processEvents();
    QCOMPARE(main.geometry(), QRect(expect[0].toInt(), expect[1].toInt(), expect[2].toInt(), expect[3].toInt()));
    auto *grid = main.findChild<DataGrid *>(QStringLiteral("DBGrid2"));
    QCOMPARE(fieldWidth(grid, QStringLiteral("fio")), expect[4].toInt());
    QCOMPARE(fieldWidth(grid, QStringLiteral("summa")), expect[5].toInt());
    QCOMPARE(fieldWidth(grid, QStringLiteral("marka")), expect[6].toInt());
    // A column nobody touched keeps its designed width.
    QCOMPARE(fieldWidth(grid, QStringLiteral("ok")), 37);
}

void TestDesktop::resetWindowsPutsDesignedSizesBack()
{
    TestDatabase db;
    auto module = db.connectModule();
    JournalWindow main(module.get());
    main.show();
    main.setGeometry(200, 150, 1100, 600);
    auto *grid = main.findChild<DataGrid *>(QStringLiteral("DBGrid2"));
    grid->horizontalHeader()->resizeSection(grid->columnOf(QStringLiteral("summa")), 150);
    // A list shown and closed in this run comes back at its designed size too.
    WorkerList *workers = Windows::get<WorkerList>();
    workers->show();
    workers->resize(900, 700);
    workers->hide();
    main.hide();
    main.show();

    main.findChild<QAction *>(QStringLiteral("MenuResetWindows"))->trigger();
    QCoreApplication::processEvents();
    QCOMPARE(main.size(), QSize(1300, 650));
    QVERIFY(main.screen()->availableGeometry().contains(main.geometry()));
    QCOMPARE(fieldWidth(grid, QStringLiteral("summa")), 78);
    QCOMPARE(fieldWidth(grid, QStringLiteral("fio")), 250);
    {
        QSettings file(userSettingsPath(), QSettings::IniFormat);
        QVERIFY(!file.childGroups().contains(QStringLiteral("windows")));
        QVERIFY(!file.childGroups().contains(QStringLiteral("grids")));
    }
    workers->show();
    QCOMPARE(workers->size(), QSize(660, 480));
    workers->hide();
    main.hide();
}

void TestDesktop::placeOnAScreenThatIsGone()
{
    // Left on a third screen, right of the two there are now.
    {
        QSettings file(userSettingsPath(), QSettings::IniFormat);
        file.setValue(QStringLiteral("windows/TForm1/geometry"), QRect(3400, 200, 1200, 600));
        file.setValue(QStringLiteral("windows/TForm5/geometry"), QRect(-2500, -900, 700, 500));
    }
    TestDatabase db;
    auto module = db.connectModule();
    JournalWindow main(module.get());
    main.show();
    QCoreApplication::processEvents();
    QCOMPARE(main.size(), QSize(1200, 600));
    QVERIFY2(main.screen()->availableGeometry().contains(main.frameGeometry()),
             qPrintable(QStringLiteral("%1,%2").arg(main.x()).arg(main.y())));
    WorkerList *workers = Windows::get<WorkerList>();
    workers->show();
    QCoreApplication::processEvents();
    QCOMPARE(workers->size(), QSize(700, 500));
    bool onAScreen = false;
    for (QScreen *screen : QGuiApplication::screens())
        onAScreen = onAScreen || screen->availableGeometry().contains(workers->frameGeometry());
    QVERIFY(onAScreen);
    workers->hide();
    main.hide();
}

void TestDesktop::journalModeAndReportPeriodRemembered()
{
    TestDatabase db;
    auto module = db.connectModule();
    {
        JournalWindow main(module.get());
        main.applyRole(Role::Administrator);
        main.findChild<QRadioButton *>(QStringLiteral("RadioButton3"))->click();
        ReportCentre *centre = Windows::get<ReportCentre>();
        ModalAction shown;
        onModal(shown, [centre](QDialog *) {
            centre->startField->setDate(QDate(2026, 2, 3));
            centre->endField->setDate(QDate(2026, 4, 5));
        });
        centre->showCentre();
        QVERIFY(shown.ran);
    }
    // The next login: the mode the user left, the period the user chose.
    JournalWindow main(module.get());
    main.applyRole(Role::ShiftForeman);
    QCOMPARE(main.journalMode, 3);
    QVERIFY(main.findChild<QRadioButton *>(QStringLiteral("RadioButton3"))->isChecked());
    QDate start, end;
    ModalAction shown;
    ReportCentre *centre = Windows::get<ReportCentre>();
    onModal(shown, [&](QDialog *) {
        start = centre->periodStart();
        end = centre->periodEnd();
    });
    centre->showCentre();
    QCOMPARE(start, QDate(2026, 2, 3));
    QCOMPARE(end, QDate(2026, 4, 5));
    // The accountant sees shift 1, whatever was left.
    JournalWindow accountant(module.get());
    accountant.applyRole(Role::Accountant);
    QCOMPARE(accountant.journalMode, 1);
}

void TestDesktop::nothingRememberedWhileTheProgramDoesNotRemember()
{
    RememberedState::setEnabled(false);
    TestDatabase db;
    auto module = db.connectModule();
    JournalWindow main(module.get());
    main.show();
    main.setGeometry(100, 100, 1000, 600);
    main.findChild<QRadioButton *>(QStringLiteral("RadioButton2"))->click();
    main.hide();
    QVERIFY(!QFile::exists(userSettingsPath()));
}

void TestDesktop::previewZoomRemembered()
{
    ReportLayout layout;
    layout.title = QStringLiteral("Проба");
    layout.detail = ReportBand(100, {ReportItem::field(QStringLiteral("n"), 0, 0)});
    ReportDataSet data({QStringLiteral("n")});
    const ReportDocument doc = ReportEngine::generate(layout, data);
    {
        ReportPreview preview(doc, ReportZoom::PageWidth);
        QCOMPARE(preview.view()->zoomMode(), ReportPageView::FitToWidth);
        preview.findChild<QAction *>(QStringLiteral("actionFitPage"))->trigger();
    }
    {
        // The next preview, of a report designed for the page width, opens as the last was left.
        ReportPreview preview(doc, ReportZoom::PageWidth);
        QCOMPARE(preview.view()->zoomMode(), ReportPageView::FitInView);
        preview.view()->setZoomFactor(1.75);
    }
    ReportPreview preview(doc, ReportZoom::WholePage);
    QCOMPARE(preview.view()->zoomMode(), ReportPageView::CustomZoom);
    QCOMPARE(preview.view()->zoomFactor(), 1.75);
}

void TestDesktop::menuItemsByTheirLetters()
{
    TestDatabase db;
    SmallPlant p(db);
    auto module = db.connectModule();
    prepareJournals(*module);
    JournalWindow main(module.get());
    main.applyRole(Role::Administrator);
    showActive(&main);
    main.activate();

    struct Item {
        QString menu, item, window;
    };
    // Every item of every menu, the window it opens ("" for none).
    const QList<Item> items = {
        {"MenuReference", "MenuWorkers", "TForm5"},
        {"MenuReference", "MenuProducts", "TForm3"},
        {"MenuReference", "MenuPrices", "TForm4"},
        {"MenuReference", "MenuKinds", "TForm8"},
        {"MenuReference", "MenuOvertimeWork", ""},
        {"MenuTabel", "MenuPieceworkTimesheet", "TForm27"},
        {"MenuTabel", "MenuShiftTimesheet", "TForm19"},
        {"MenuTabel", "MenuHouseholdTimesheet", "TForm27"},
        {"MenuTabel", "MenuAverageTimesheet", "TForm27"},
        {"MenuTabel", "MenuGeneralTimesheet", "TForm27"},
        {"MenuReports", "MenuReportCentre", "TForm18"},
        {"MenuSettings", "MenuResetWindows", ""},
        {"MenuHelp", "MenuAbout", "AboutWindow"},
    };
    // The walk covers every menu and item there is, and no two share a letter.
    QSet<QString> walked;
    for (const Item &i : items)
        walked << i.item;
    QSet<QChar> titleLetters;
    for (QAction *top : main.findChild<QMenuBar *>()->actions()) {
        const QChar letter = accelerator(top->text());
        QVERIFY2(!letter.isNull() && !titleLetters.contains(letter), qPrintable(top->text()));
        titleLetters << letter;
        if (QMenu *menu = top->menu()) {
            QSet<QChar> letters;
            for (QAction *a : menu->actions()) {
                QVERIFY2(walked.contains(a->objectName()), qPrintable(a->objectName()));
                const QChar l = accelerator(a->text());
                QVERIFY2(!l.isNull() && !letters.contains(l), qPrintable(a->text()));
                letters << l;
            }
        }
    }

    for (const Item &i : items) {
        auto *menu = main.findChild<QMenu *>(i.menu);
        QAction *action = main.findChild<QAction *>(i.item);
        QSignalSpy triggered(action, &QAction::triggered);
        pressLetter(main.focusWidget() ? main.focusWidget() : &main, accelerator(menu->title()), Qt::AltModifier);
        QVERIFY2(menu->isVisible(), qPrintable(i.menu));
        ModalAction opened;
        if (!i.window.isEmpty())
            onModal(opened, [](QDialog *) {});
        pressLetter(menu, accelerator(action->text()), Qt::NoModifier);
        QCoreApplication::processEvents();
        QVERIFY2(triggered.count() == 1, qPrintable(i.item));
        QCOMPARE(opened.window, i.window);
        QVERIFY(!menu->isVisible());
        showActive(&main);
    }
    // "Выход" sits on the menu bar itself.
    pressLetter(main.focusWidget() ? main.focusWidget() : &main,
                accelerator(main.findChild<QAction *>(QStringLiteral("MenuExit"))->text()), Qt::AltModifier);
    QVERIFY(!main.isVisible());
}

void TestDesktop::journalCommandsByKeys()
{
    JournalAtWork at(Role::Administrator);
    auto &[db, p, record, module, main, grid] = at;
    QCOMPARE(main.journalOfMode()->recordCount(), 1);
    opensByKeys(&main, grid, QStringLiteral("TForm11"),
                {{"Insert", Qt::Key_Insert, "Заведение"}, {"F4", Qt::Key_F4, "Изменение"},
                 {"Enter", Qt::Key_Return, "Изменение"}, {"Enter of the pad", Qt::Key_Enter, "Изменение"}});
    {
        Messages::MessageRecorder rec;
        rec.answers = {false};
        press(grid, Qt::Key_Delete);
        QCOMPARE(rec.texts(), QStringList{"Удалить позицию из списка?"});
        QCOMPARE(rec.shown.first().kind, Messages::Shown::Question);
        QCOMPARE(at.records(), 1);
        rec.clear();
        rec.answers = {true};
        press(grid, Qt::Key_Delete);
        QCOMPARE(at.records(), 0);
    }
    // F5: records another workstation wrote show.
    p.record(p.petrov, QDate::currentDate(), 1, 4);
    p.record(p.sidorov, QDate::currentDate(), 1, 4);
    press(grid, Qt::Key_F5);
    QCOMPARE(main.journalOfMode()->recordCount(), 2);
    // The keys show in the buttons' tooltips.
    QVERIFY(main.findChild<QPushButton *>(QStringLiteral("Button1"))->toolTip().contains(QKeySequence(Qt::Key_Insert).toString(QKeySequence::NativeText)));
    QVERIFY(main.findChild<QPushButton *>(QStringLiteral("Button2"))->toolTip().contains(QStringLiteral("F4")));
    QVERIFY(main.findChild<QPushButton *>(QStringLiteral("Button8"))->toolTip().contains(QStringLiteral("F5")));
    main.hide();
}

void TestDesktop::keysFollowTheRole()
{
    JournalAtWork at(Role::Storekeeper);
    Messages::MessageRecorder rec;
    rec.answers = {true};
    for (int key : {int(Qt::Key_Insert), int(Qt::Key_F4), int(Qt::Key_Return), int(Qt::Key_Delete)}) {
        ModalAction opened;
        onModal(opened, [](QDialog *) {});
        press(at.grid, key);
        QCoreApplication::processEvents();
        QVERIFY(!opened.ran);
    }
    QVERIFY(rec.shown.isEmpty());
    QCOMPARE(at.records(), 1);
    at.main.hide();
}

void TestDesktop::listCommandsByKeys()
{
    TestDatabase db;
    SmallPlant p(db);
    auto module = db.connectModule();
    JournalWindow main(module.get());
    WorkerList *list = Windows::get<WorkerList>();
    list->prepareList();
    showActive(list);
    list->grid->setFocus();

    opensByKeys(list, list->grid, QStringLiteral("TForm2"),
                {{"Insert", Qt::Key_Insert, "Заведение"}, {"F4", Qt::Key_F4, "Изменение"}, {"Enter", Qt::Key_Return, "Изменение"}});
    {
        Messages::MessageRecorder rec;
        press(list->grid, Qt::Key_Delete);
        QCOMPARE(rec.shown.size(), 1);
        QCOMPARE(rec.shown.first().kind, Messages::Shown::Question);
    }
    // Delete in the search box erases nothing and deletes nothing.
    {
        Messages::MessageRecorder rec;
        list->searchEdit->setFocus();
        press(list->searchEdit, Qt::Key_Delete);
        QVERIFY(rec.shown.isEmpty());
    }
    const int before = list->query()->recordCount();
    db.addWorker(QStringLiteral("Кузнецов К.К."));
    press(list->grid, Qt::Key_F5);
    QCOMPARE(list->query()->recordCount(), before + 1);
    // As a picker, Enter chooses.
    list->hide();
    list->finishList();
    Receiver<WorkerChoice> receiver;
    list->preparePicker(&receiver);
    showActive(list);
    list->grid->setFocus();
    press(list->grid, Qt::Key_Return);
    QCOMPARE(receiver.taken.size(), 1);
    list->hide();
    list->finishPicker();
}

void TestDesktop::timesheetCommandsByKeys()
{
    TestDatabase db;
    SmallPlant p(db);
    auto module = db.connectModule();
    JournalWindow main(module.get());
    ShiftTimesheetWindow *w = Windows::get<ShiftTimesheetWindow>();
    w->prepareMonth(QDate::currentDate());
    showActive(w);
    int previews = 0;
    ReportPreview::setExecHook([&previews](ReportPreview &) { ++previews; });
    press(w, Qt::Key_P, Qt::ControlModifier);
    ReportPreview::setExecHook(nullptr);
    QCOMPARE(previews, 1);
    // F5 reads the grids again.
    SentStatementProbe probe(db, *module);
    press(w, Qt::Key_F5);
    QVERIFY(!probe.sentSince().isEmpty());
    w->hide();
    w->finishMonth();
}

void TestDesktop::aboutTellsVersionsAndPlaces()
{
    TestDatabase db;
    auto module = db.connectModule();
    JournalWindow main(module.get());
    main.applyRole(Role::ShiftForeman);
    AboutWindow *about = Windows::get<AboutWindow>();
    about->prepare(main.loginRole);
    QVERIFY(about->line(QStringLiteral("Версия")).startsWith(QStringLiteral("1.")));
    QVERIFY(about->line(QStringLiteral("Сборка")).startsWith(QString::number(currentBuildStamp().date)));
    QCOMPARE(about->line(QStringLiteral("Сервер")), TestDatabase::server());
    QCOMPARE(about->line(QStringLiteral("База данных")), db.name());
    QCOMPARE(about->line(QStringLiteral("Роль")), QStringLiteral("мастер смены"));
    QCOMPARE(about->line(QStringLiteral("Qt")), QString::fromLatin1(qVersion()));
    QVERIFY2(about->line(QStringLiteral("Драйвер ODBC")).contains(QStringLiteral("psqlodbc"), Qt::CaseInsensitive),
             qPrintable(about->line(QStringLiteral("Драйвер ODBC"))));
    QVERIFY2(about->line(QStringLiteral("Сервер БД")).startsWith(QStringLiteral("PostgreSQL ")),
             qPrintable(about->line(QStringLiteral("Сервер БД"))));
    QCOMPARE(about->line(QStringLiteral("Настройки пользователя")), QDir::toNativeSeparators(userSettingsPath()));
    QCOMPARE(about->line(QStringLiteral("Настройки рабочего места")), QDir::toNativeSeparators(systemSettingsPath()));
}

void TestDesktop::windowsWholeOnAnyScreen_data()
{
    QTest::addColumn<double>("scale");
    QTest::addColumn<int>("points");   // the desktop's font; 0: the program's own 9 points
    QTest::newRow("scale 1") << 1.0 << 0;
    QTest::newRow("scale 1.5") << 1.5 << 0;
    QTest::newRow("scale 2") << 2.0 << 0;
    QTest::newRow("12-point font") << 1.0 << 12;
}

void TestDesktop::windowsWholeOnAnyScreen()
{
    QFETCH(double, scale);
    QFETCH(int, points);
    // The same two screens as the other window tests, in device pixels of the scale: a 2x screen
    // of 3840 x 2160 pixels is the 1920 x 1080 the windows are designed for.
    QTemporaryDir dir;
    const QString screens = dir.filePath(QStringLiteral("screens.json"));
    QFile json(screens);
    QVERIFY(json.open(QIODevice::WriteOnly));
    json.write(QStringLiteral("{\"screens\": [{\"name\": \"Wide\", \"x\": 0, \"y\": 0, \"width\": %1, \"height\": %2},"
                              " {\"name\": \"Small\", \"x\": %1, \"y\": 0, \"width\": %3, \"height\": %4}]}")
                   .arg(qRound(1920 * scale)).arg(qRound(1080 * scale)).arg(qRound(1024 * scale)).arg(qRound(768 * scale))
                   .toUtf8());
    json.close();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen:configfile=") + screens);
    env.insert(QStringLiteral("QT_SCALE_FACTOR"), QString::number(scale));
    env.insert(QStringLiteral("TABEL_TEST_WHOLE_WINDOWS"), QString::number(points));
    if (scale == 2.0 && qEnvironmentVariableIsSet("TABEL_WRITE_PICTURES"))
        env.insert(QStringLiteral("TABEL_TEST_PICTURES"), qEnvironmentVariable("TABEL_SOURCE_DIR") + QStringLiteral("/docs"));
    QString output;
    const int code = runChild(QStringLiteral("everyWindowWhole"), env, &output);
    QVERIFY2(code == 0 && output.contains(QStringLiteral("PASS   : TestDesktop::everyWindowWhole")), qPrintable(output));
}

void TestDesktop::everyWindowWhole()
{
    if (!qEnvironmentVariableIsSet("TABEL_TEST_WHOLE_WINDOWS"))
        QSKIP("one screen of windowsWholeOnAnyScreen, in a process of its own");
    RememberedState::setEnabled(false);
    const int points = qEnvironmentVariableIntValue("TABEL_TEST_WHOLE_WINDOWS");
    if (points > 0) {
        // The desktop's font, as the program finds it at start-up.
        QApplication::setFont(QFont(QStringLiteral("Sans Serif"), points));
        installRussian(*qApp);
        QCOMPARE(QApplication::font().pointSize(), points);
    }
    TestDatabase db;
    SmallPlant p(db);
    const QDate today = QDate::currentDate();
    p.record(p.ivanov, today, 1, 8);
    p.record(p.petrov, today, 1, 10);
    db.exec(QStringLiteral("insert into accounts_dep.h_tabel (w_id, month, year, smena, d1, d2, d30, d31) values (%1, %2, %3, 1, 8, 24, 12, 11)")
                .arg(p.ivanov).arg(today.month()).arg(today.year()));
    auto module = db.connectModule();
    prepareJournals(*module);
    auto *main = new JournalWindow(module.get());
    auto *login = new LoginWindow(main);
    main->applyRole(Role::Administrator);
    // The windows are drawn at the scale asked for.
    if (qEnvironmentVariableIsSet("QT_SCALE_FACTOR"))
        QCOMPARE(main->devicePixelRatioF(), qEnvironmentVariable("QT_SCALE_FACTOR").toDouble());

    const QList<QWidget *> windows = {
        login, main,
        Windows::get<RecordDialog>(), Windows::get<WorkerList>(), Windows::get<WorkerDialog>(),
        Windows::get<ProductList>(), Windows::get<ProductDialog>(), Windows::get<KindList>(),
        Windows::get<KindDialog>(), Windows::get<PriceList>(), Windows::get<PriceDialog>(),
        Windows::get<NormsWindow>(), Windows::get<NomenclaturePicker>(), Windows::get<ShiftTimesheetWindow>(),
        Windows::get<PieceworkTimesheetWindow>(), Windows::get<HouseholdListWindow>(),
        Windows::get<HouseholdDialog>(), Windows::get<ReportCentre>(), Windows::get<AboutWindow>(),
    };
    Windows::get<ShiftTimesheetWindow>()->prepareMonth(today);
    Windows::get<AboutWindow>()->prepare(Role::Administrator);
    QStringList faults;
    for (QWidget *window : windows) {
        window->show();
        QCoreApplication::processEvents();
        if (window == main)
            main->activate();
        QStringList own;
        collectFaults(window, window, own);
        if (!window->screen()->availableGeometry().contains(window->frameGeometry()))
            own << QStringLiteral("sticks out of its screen");
        for (const QString &f : own)
            faults << window->objectName() + QStringLiteral(": ") + f;
        window->hide();
    }
    // Pictures for the README, when asked for.
    const QString pictures = qEnvironmentVariable("TABEL_TEST_PICTURES");
    if (!pictures.isEmpty()) {
        const QList<QPair<QWidget *, QString>> shots = {
            {main, QStringLiteral("journal_2x.png")},
            {Windows::get<ShiftTimesheetWindow>(), QStringLiteral("shift_timesheet_2x.png")},
            {Windows::get<RecordDialog>(), QStringLiteral("record_dialog_2x.png")},
        };
        for (const auto &shot : shots) {
            shot.first->show();
            QCoreApplication::processEvents();
            if (shot.first == main)
                main->activate();
            QCoreApplication::processEvents();
            QVERIFY(shot.first->grab().save(pictures + QLatin1Char('/') + shot.second));
            shot.first->hide();
        }
    }
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
    delete login;
    delete main;
}

QTEST_MAIN(TestDesktop)
#include "test_desktop.moc"
