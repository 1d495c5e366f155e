#include "journal/journal_window.h"

#include "db/build_stamp.h"
#include "journal/about_window.h"
#include "ui/command_keys.h"
#include "ui/remembered_state.h"
#include "ui/control_look.h"
#include "ui/data_grid.h"
#include "db/data_module.h"
#include "ui/date_field.h"
#include "ui/messages.h"
#include "ui/program_end.h"
#include "db/version_gate.h"
#include "ui/windows.h"
#include "db/dataset.h"
#include "db/plant.h"
#include "reference/kind_list.h"
#include "reference/price_list.h"
#include "reference/product_list.h"
#include "reference/worker_list.h"
#include "records/record_commands.h"
#include "records/record_dialog.h"
#include "records/record_statements.h"
#include "reports/report_centre.h"
#include "timesheets/household_list.h"
#include "timesheets/piecework_timesheet_window.h"
#include "timesheets/shift_timesheet_window.h"

#include <QAction>
#include <QApplication>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

namespace {

const QColor green(0, 0x80, 0);   // the accepted state and the chosen journal mode
const QColor red(0xFF, 0, 0);     // a state not accepted

// Where the user's last journal mode is remembered.
const QString ModeGroup = QStringLiteral("journal");
const QString ModeKey = QStringLiteral("mode");

class BusyCursor {
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
};

} // namespace

JournalWindow::JournalWindow(DataModule *module, QWidget *parent) : QDialog(parent), m_module(module)
{
    // Every other window of the run is created on first use over this module and goes with
    // this window.
    Windows::setRun(module, this);
    setObjectName(QStringLiteral("TForm1"));
    setWindowTitle(QStringLiteral("Табель"));
    setWindowFlags(Qt::Window | Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);

    auto *layout = new QVBoxLayout(this);
    auto *bar = new QMenuBar(this);
    layout->setMenuBar(bar);
    buildMenu(bar);

    auto *top = new QHBoxLayout;
    const char *captions[4] = {"Смена №1", "Смена №2", "Смена №3", "Переработка"};
    for (int i = 0; i < 4; ++i) {
        modeButtons[i] = new QRadioButton(QString::fromUtf8(captions[i]), this);
        modeButtons[i]->setObjectName(QStringLiteral("RadioButton%1").arg(i + 1));
        top->addWidget(modeButtons[i]);
        connect(modeButtons[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on)
                modeChosen(i + 1);
        });
        // Remembered when the user chooses it, not when the program sets it.
        connect(modeButtons[i], &QRadioButton::clicked, this, [i] {
            RememberedState::setValue(ModeGroup, ModeKey, i + 1);
        });
    }
    dateField = new DateField(this);
    dateField->setObjectName(QStringLiteral("DateT"));
    dateField->installEventFilter(this);
    // The journal is re-read when the calendar closes after a pick, not while a date is typed.
    connect(dateField->calendarWidget(), &QCalendarWidget::clicked, this,
            [this] { QTimer::singleShot(0, this, [this] { dateChosen(); }); });
    connect(dateField->calendarWidget(), &QCalendarWidget::activated, this,
            [this] { QTimer::singleShot(0, this, [this] { dateChosen(); }); });
    top->addSpacing(12);
    top->addWidget(dateField);
    dayOffBox = new QCheckBox(QStringLiteral("Выходной"), this);
    dayOffBox->setObjectName(QStringLiteral("CBox1"));
    ControlLook::followDayOff(dayOffBox);
    top->addSpacing(12);
    top->addWidget(dayOffBox);
    top->addStretch(1);
    layout->addLayout(top);

    grid = new DataGrid(this);
    grid->setObjectName(QStringLiteral("DBGrid2"));
    grid->setColumns({
        {QStringLiteral("Фамилия И.О."), QStringLiteral("fio"), 250},
        {QStringLiteral("Марка изделия"), QStringLiteral("marka"), 260},
        {QStringLiteral("Операция"), QStringLiteral("vid"), 155},
        {QStringLiteral("Вид"), QStringLiteral("nmn"), 157},
        {QStringLiteral("Цвет"), QStringLiteral("color"), -1, Qt::AlignCenter},
        {QStringLiteral("Часы"), QStringLiteral("time"), -1},
        {QStringLiteral("Кол-во"), QStringLiteral("kol_vo"), 57},
        {QStringLiteral("Брак"), QStringLiteral("brak"), 49},
        GridColumn{QStringLiteral("Итого (р.)"), QStringLiteral("summa"), 78}.as(NumberShape::Money),
        {QStringLiteral("Премия (%)"), QStringLiteral("prize"), -1, {}, true},
        {QStringLiteral("OK"), QStringLiteral("ok"), 37, Qt::AlignCenter},
        {QStringLiteral("Заведен"), QStringLiteral("vvod"), 72, Qt::AlignCenter},
    });
    grid->setStyler([](const DataSet &ds, int row, const QString &field) {
        return journalCellStyle(field, ds.valueAt(row, QStringLiteral("ok")).toString());
    });
    grid->setDataSet(m_module->journalShift1);
    connect(grid, &QAbstractItemView::doubleClicked, this, [this] { toggleState(); });
    // A double-click on the title row acts on the current row as well.
    connect(grid->horizontalHeader(), &QHeaderView::sectionDoubleClicked, this, [this] { toggleState(); });
    layout->addWidget(grid, 1);

    auto *bottom = new QHBoxLayout;
    auto button = [&](const char *name, const char *caption, void (JournalWindow::*handler)(), const QString &failed) {
        auto *b = new QPushButton(QString::fromUtf8(caption), this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, [this, handler, failed] { Messages::guard(failed, [&] { (this->*handler)(); }); });
        bottom->addWidget(b);
        return b;
    };
    addButton = button("Button1", "Добавить", &JournalWindow::addRecord, QStringLiteral("Не удалось открыть окно записи."));
    changeButton = button("Button2", "Изменить", &JournalWindow::changeRecord, QStringLiteral("Не удалось открыть запись."));
    deleteButton = button("Button3", "Удалить", &JournalWindow::deleteRecord, QStringLiteral("Не удалось удалить запись."));
    rereadButton = button("Button8", "Обновить", &JournalWindow::reread, QStringLiteral("Не удалось прочитать журнал."));
    button("Button5", "Ср.сд./хоз. работы", &JournalWindow::openHouseholdWork, QStringLiteral("Не удалось открыть окно."));
    bottom->addStretch(1);
    button("Button4", "Выход", &JournalWindow::leave, QString());
    layout->addLayout(bottom);
    CommandKeys::bind(addButton, {CommandKeys::Add});
    CommandKeys::bind(changeButton, {CommandKeys::Change}, grid, CommandKeys::enter());
    CommandKeys::bind(deleteButton, {}, grid, CommandKeys::remove());
    CommandKeys::bind(rereadButton, {CommandKeys::Reread});

    grid->setStretchingColumns({QStringLiteral("fio"), QStringLiteral("marka"), QStringLiteral("vid"), QStringLiteral("nmn")});
    fitToScreen(this, QSize(1300, 650));

    modeButtons[0]->setChecked(true);
    modeChosen(1);

    // The version gate runs every 30 seconds for the whole run, so that an outdated copy stops
    // soon after a newer build has started anywhere.
    versionTimer = new QTimer(this);
    versionTimer->setObjectName(QStringLiteral("Timer1"));
    versionTimer->setInterval(30000);
    connect(versionTimer, &QTimer::timeout, this, [this] { versionTimerTicked(); });
    versionTimer->start();
}

JournalWindow::~JournalWindow() = default;

void JournalWindow::buildMenu(QMenuBar *bar)
{
    auto item = [this](QMenu *menu, const char *name, const char *caption, std::function<void()> action) {
        QAction *a = menu->addAction(QString::fromUtf8(caption));
        a->setObjectName(QString::fromLatin1(name));
        connect(a, &QAction::triggered, this, [action] { Messages::guard(QStringLiteral("Не удалось открыть окно."), action); });
        return a;
    };
    // Every title and item has its letter (Alt+letter on the menu bar, the letter in an open menu).
    referenceMenu = bar->addMenu(QStringLiteral("&Справочники"));
    referenceMenu->setObjectName(QStringLiteral("MenuReference"));
    item(referenceMenu, "MenuWorkers", "&Рабочие", [this] { Windows::get<WorkerList>()->showList(); activate(); });
    item(referenceMenu, "MenuProducts", "&Изделия", [this] { Windows::get<ProductList>()->showList(); activate(); });
    item(referenceMenu, "MenuPrices", "&Цены", [this] { Windows::get<PriceList>()->showList(); activate(); });
    item(referenceMenu, "MenuKinds", "&Операции", [this] { Windows::get<KindList>()->showList(); activate(); });
    item(referenceMenu, "MenuOvertimeWork", "&Внеурочное", [] {});   // has never done anything

    timesheetMenu = bar->addMenu(QStringLiteral("&Табель"));
    timesheetMenu->setObjectName(QStringLiteral("MenuTabel"));
    const auto piecework = [this](PieceworkView::Mode mode) {
        return [this, mode] { Windows::get<PieceworkTimesheetWindow>()->showMode(mode); activate(); };
    };
    item(timesheetMenu, "MenuPieceworkTimesheet", "Табель с&делка", piecework(PieceworkView::Piecework));
    item(timesheetMenu, "MenuShiftTimesheet", "Табель по с&менам", [this] { Windows::get<ShiftTimesheetWindow>()->showMonth(journalDate()); activate(); });
    item(timesheetMenu, "MenuHouseholdTimesheet", "Табель &хоз. работ", piecework(PieceworkView::Household));
    item(timesheetMenu, "MenuAverageTimesheet", "Табель &ср. сдельная", piecework(PieceworkView::AveragePiecework));
    item(timesheetMenu, "MenuGeneralTimesheet", "&Общий табель", piecework(PieceworkView::General));

    reportsMenu = bar->addMenu(QStringLiteral("&Отчеты"));
    reportsMenu->setObjectName(QStringLiteral("MenuReports"));
    item(reportsMenu, "MenuReportCentre", "&Сводные отчеты", [this] { Windows::get<ReportCentre>()->showCentre(); activate(); });

    settingsMenu = bar->addMenu(QStringLiteral("&Настройка"));
    settingsMenu->setObjectName(QStringLiteral("MenuSettings"));
    item(settingsMenu, "MenuResetWindows", "&Исходные размеры окон", [] { RememberedState::resetWindows(); });

    helpMenu = bar->addMenu(QStringLiteral("С&правка"));
    helpMenu->setObjectName(QStringLiteral("MenuHelp"));
    item(helpMenu, "MenuAbout", "&О программе", [this] { showAbout(); });

    QAction *exit = bar->addAction(QStringLiteral("&Выход"));
    exit->setObjectName(QStringLiteral("MenuExit"));
    connect(exit, &QAction::triggered, this, [this] { leave(); });
}

CellStyle JournalWindow::journalCellStyle(const QString &field, const QString &state)
{
    CellStyle style;
    if (field == QLatin1String("ok")) {
        style.bold = true;
        style.foreground = Plant::isAccepted(state) ? green : red;
    }
    return style;
}

DataSet *JournalWindow::journalOfMode() const
{
    return m_module->journal(journalMode);
}

void JournalWindow::setJournalDate(const QDate &date)
{
    dateField->setDate(date);
}

QDate JournalWindow::journalDate() const
{
    return dateField->date();
}

bool JournalWindow::dayOff() const
{
    return dayOffBox->isChecked();
}

JournalContext JournalWindow::journalContext() const
{
    return {journalOfMode(), journalDate(), journalMode, dayOff()};
}

void JournalWindow::applyRole(Role role)
{
    loginRole = role;
    timesheetMenu->setEnabled(role == Role::Administrator);
    switch (role) {
    case Role::Accountant:
        // The accountant sees today's journal of shift 1 and nothing else of it.
        for (QWidget *w : std::initializer_list<QWidget *>{addButton, changeButton, deleteButton, modeButtons[0], modeButtons[1],
                                                           modeButtons[2], modeButtons[3], dayOffBox, rereadButton, grid, dateField})
            w->setEnabled(false);
        referenceMenu->setEnabled(false);
        break;
    case Role::ShiftForeman:
        changeButton->setEnabled(false);
        deleteButton->setEnabled(false);
        referenceMenu->setEnabled(false);
        break;
    case Role::Storekeeper:
        addButton->setEnabled(false);
        changeButton->setEnabled(false);
        deleteButton->setEnabled(false);
        referenceMenu->setEnabled(false);
        break;
    case Role::Administrator:
    case Role::None:
        break;
    }
    // The journal mode the user worked in last, where the role may choose one.
    if (role != Role::Accountant && role != Role::None)
        modeChosen(RememberedState::value(ModeGroup, ModeKey, 1).toInt());
}

void JournalWindow::openJournals(bool rereadParams)
{
    // The journal on the screen is read first, so that its rows show before the others are read.
    DataSet *shown = journalOfMode();
    QList<DataSet *> journals{shown};
    for (DataSet *j : {m_module->journalShift1, m_module->journalShift2, m_module->journalShift3, m_module->journalOvertime})
        if (j != shown)
            journals << j;
    for (DataSet *j : journals)
        j->close();
    for (DataSet *j : journals) {
        // A busy day of a large plant holds thousands of records: the journal on the screen shows
        // the first of them while the rest is read, repainting but taking no input until it is
        // whole. The window paints once more when all four are in, not while the others are read.
        j->showFirstRows(j == shown ? JournalFirstRows : 0,
                         [] { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); }, JournalLongResult);
        if (rereadParams)
            j->setParam(QStringLiteral("data"), dateField->date());
        j->open();
    }
}

void JournalWindow::readJournals()
{
    openJournals(true);
}

void JournalWindow::activate()
{
    const QDate today = QDate::currentDate();
    dateField->setDate(today);
    if (Plant::isWeekend(today))
        dayOffBox->setChecked(true);
    Messages::guard(QStringLiteral("Не удалось прочитать журнал."), [this] { readJournals(); });
}

void JournalWindow::dateChosen()
{
    BusyCursor busy;
    Messages::guard(QStringLiteral("Не удалось прочитать журнал."), [this] { readJournals(); });
    dayOffBox->setChecked(Plant::isWeekend(dateField->date()));
    grid->setFocus();
}

void JournalWindow::reread()
{
    BusyCursor busy;
    openJournals(false);
}

void JournalWindow::modeChosen(int mode)
{
    if (mode < 1 || mode > 4)
        mode = 1;
    grid->setDataSet(m_module->journal(mode));
    for (int i = 0; i < 4; ++i)
        ControlLook::setMarked(modeButtons[i], i + 1 == mode, green);
    if (!modeButtons[mode - 1]->isChecked())
        modeButtons[mode - 1]->setChecked(true);
    journalMode = mode;
}

void JournalWindow::leave()
{
    close();
}

void JournalWindow::addRecord()
{
    currentJournal = journalOfMode();
    RecordDialog *dialog = Windows::get<RecordDialog>();
    dialog->prepareAdd(journalContext());
    showChild(dialog);
}

void JournalWindow::changeRecord()
{
    currentJournal = journalOfMode();
    RecordDialog *dialog = Windows::get<RecordDialog>();
    if (!dialog->prepareChange(journalContext()))
        return;
    const int row = currentJournal->recNo();
    showChild(dialog);
    currentJournal->setRecNo(row);
}

void JournalWindow::deleteRecord()
{
    Messages::guard(QStringLiteral("Не удалось удалить запись."), [this] {
        currentJournal = journalOfMode();
        const QString id = currentJournal->value(QStringLiteral("id")).toString().trimmed();
        if (id.isEmpty())
            return;
        if (!Messages::ask(QStringLiteral("Удалить позицию из списка?"), QStringLiteral("Удаление"))) {
            currentJournal->reopen();
            return;
        }
        // The day cell to recompute is the one the record counted in: its own date and shift. The
        // date picker may hold a typed date that was never read into the journal.
        const int worker = currentJournal->toInt(QStringLiteral("w_id"));
        const QDate date = currentJournal->value(QStringLiteral("data")).toDate();
        const int mode = currentJournal->toInt(QStringLiteral("smena"));
        RecordCommands::remove(*m_module, currentJournal->toInt(QStringLiteral("id")), worker, date, mode);
        currentJournal->reopen();
    });
}
void JournalWindow::openHouseholdWork()
{
    HouseholdListWindow *list = Windows::get<HouseholdListWindow>();
    list->prepareOpen(journalDate());
    showChild(list);
}

void JournalWindow::showAbout()
{
    Windows::get<AboutWindow>()->showAbout(loginRole);
}

void JournalWindow::toggleState()
{
    // The shift foreman enters records but may not accept them.
    if (roleOfLogin(loginText) == Role::ShiftForeman)
        return;
    Messages::guard(QStringLiteral("Не удалось изменить состояние записи."), [this] {
        currentJournal = journalOfMode();
        if (currentJournal->isEmpty())
            return;
        if (!stateUpdate) {
            stateUpdate = std::make_unique<SqlCommand>(m_module->connectionName());
            stateUpdate->setSql(RecordStatements::stateChange());
        }
        stateUpdate->setParam(QStringLiteral("id"), currentJournal->toInt(QStringLiteral("id")));
        stateUpdate->setParam(QStringLiteral("ok"), RecordCommands::toggledState(currentJournal->text(QStringLiteral("ok"))));
        stateUpdate->execute();
        currentJournal->reopenKeepingRow();
    });
}

void JournalWindow::versionTimerTicked()
{
    runVersionGate();
}

void JournalWindow::runVersionGate()
{
    // A long command (a month rebuild) lets the timer fire while its transaction is open: the
    // version row is not written inside another command's transaction; the next tick checks.
    if (m_module->inTransaction())
        return;
    Messages::guard(QStringLiteral("Не удалось проверить версию программы."), [this] {
        const BuildStamp stamp = currentBuildStamp();
        buildDate = stamp.date;
        buildTime = stamp.time;
        if (versionGateOutdated(*m_module, stamp)) {
            emit versionOutdated();
            Messages::error(QStringLiteral("Версия программы не соответсвует БД! Запустите программу через 5 мин."));
            Program::requestEnd();
        }
    });
}

void JournalWindow::showChild(QDialog *child)
{
    child->exec();
    activate();
}

bool JournalWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == dateField && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            dateChosen();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
