#include "app/main_window.h"

#include "app/build_stamp.h"
#include "app/control_look.h"
#include "app/data_grid.h"
#include "app/data_module.h"
#include "app/date_field.h"
#include "app/messages.h"
#include "app/program_end.h"
#include "app/version_gate.h"
#include "app/windows.h"
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

class BusyCursor {
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
};

} // namespace

TForm1::TForm1(TDataModule6 *module, QWidget *parent) : QDialog(parent), m_module(module)
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
        RadioButton[i] = new QRadioButton(QString::fromUtf8(captions[i]), this);
        RadioButton[i]->setObjectName(QStringLiteral("RadioButton%1").arg(i + 1));
        top->addWidget(RadioButton[i]);
        connect(RadioButton[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on)
                ModeChosen(i + 1);
        });
    }
    DateT = new DateField(this);
    DateT->setObjectName(QStringLiteral("DateT"));
    DateT->installEventFilter(this);
    // The journal is re-read when the calendar closes after a pick, not while a date is typed.
    connect(DateT->calendarWidget(), &QCalendarWidget::clicked, this,
            [this] { QTimer::singleShot(0, this, [this] { DateChosen(); }); });
    connect(DateT->calendarWidget(), &QCalendarWidget::activated, this,
            [this] { QTimer::singleShot(0, this, [this] { DateChosen(); }); });
    top->addSpacing(12);
    top->addWidget(DateT);
    CBox1 = new QCheckBox(QStringLiteral("Выходной"), this);
    CBox1->setObjectName(QStringLiteral("CBox1"));
    ControlLook::followDayOff(CBox1);
    top->addSpacing(12);
    top->addWidget(CBox1);
    top->addStretch(1);
    layout->addLayout(top);

    DBGrid2 = new DataGrid(this);
    DBGrid2->setObjectName(QStringLiteral("DBGrid2"));
    DBGrid2->setColumns({
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
    DBGrid2->setStyler([](const DataSet &ds, int row, const QString &field) {
        return JournalCellStyle(field, ds.valueAt(row, QStringLiteral("ok")).toString());
    });
    DBGrid2->setDataSet(m_module->Smena1);
    // A busy day of a large plant holds thousands of records: the window shows the first of them
    // while the rest is read, repainting but taking no input until the journal is whole.
    for (DataSet *j : {m_module->Smena1, m_module->Smena2, m_module->Smena3, m_module->Smena4})
        j->showFirstRows(JournalFirstRows, [] { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); });
    connect(DBGrid2, &QAbstractItemView::doubleClicked, this, [this] { DBGrid2DblClick(); });
    // A double-click on the title row acts on the current row as well.
    connect(DBGrid2->horizontalHeader(), &QHeaderView::sectionDoubleClicked, this, [this] { DBGrid2DblClick(); });
    layout->addWidget(DBGrid2, 1);

    auto *bottom = new QHBoxLayout;
    auto button = [&](const char *name, const char *caption, void (TForm1::*handler)(), const QString &failed) {
        auto *b = new QPushButton(QString::fromUtf8(caption), this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, [this, handler, failed] { Messages::guard(failed, [&] { (this->*handler)(); }); });
        bottom->addWidget(b);
        return b;
    };
    Button1 = button("Button1", "Добавить", &TForm1::Button1Click, QStringLiteral("Не удалось открыть окно записи."));
    Button2 = button("Button2", "Изменить", &TForm1::Button2Click, QStringLiteral("Не удалось открыть запись."));
    Button3 = button("Button3", "Удалить", &TForm1::Button3Click, QStringLiteral("Не удалось удалить запись."));
    Button8 = button("Button8", "Обновить", &TForm1::Button8Click, QStringLiteral("Не удалось прочитать журнал."));
    button("Button5", "Ср.сд./хоз. работы", &TForm1::Button5Click, QStringLiteral("Не удалось открыть окно."));
    bottom->addStretch(1);
    button("Button4", "Выход", &TForm1::Button4Click, QString());
    layout->addLayout(bottom);

    DBGrid2->setStretchingColumns({QStringLiteral("fio"), QStringLiteral("marka"), QStringLiteral("vid"), QStringLiteral("nmn")});
    fitToScreen(this, QSize(1300, 650));

    RadioButton[0]->setChecked(true);
    ModeChosen(1);

    // The version gate runs every 30 seconds for the whole run, so that an outdated copy stops
    // soon after a newer build has started anywhere.
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(30000);
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });
    Timer1->start();
}

TForm1::~TForm1() = default;

void TForm1::buildMenu(QMenuBar *bar)
{
    auto item = [this](QMenu *menu, const char *name, const char *caption, std::function<void()> action) {
        QAction *a = menu->addAction(QString::fromUtf8(caption));
        a->setObjectName(QString::fromLatin1(name));
        connect(a, &QAction::triggered, this, [action] { Messages::guard(QStringLiteral("Не удалось открыть окно."), action); });
        return a;
    };
    MenuReference = bar->addMenu(QStringLiteral("Справочники"));
    MenuReference->setObjectName(QStringLiteral("MenuReference"));
    item(MenuReference, "MenuWorkers", "Рабочие", [this] { Windows::get<TForm5>()->ShowList(); Activate(); });
    item(MenuReference, "MenuProducts", "Изделия", [this] { Windows::get<TForm3>()->ShowList(); Activate(); });
    item(MenuReference, "MenuPrices", "Цены", [this] { Windows::get<TForm4>()->ShowList(); Activate(); });
    item(MenuReference, "MenuKinds", "Операции", [this] { Windows::get<TForm8>()->ShowList(); Activate(); });
    item(MenuReference, "MenuOvertimeWork", "Внеурочное", [] {});   // has never done anything

    MenuTabel = bar->addMenu(QStringLiteral("Табель"));
    MenuTabel->setObjectName(QStringLiteral("MenuTabel"));
    const auto piecework = [this](PieceworkView::Mode mode) {
        return [this, mode] { Windows::get<TForm27>()->ShowMode(mode); Activate(); };
    };
    item(MenuTabel, "MenuPieceworkTimesheet", "Табель сделка", piecework(PieceworkView::Piecework));
    item(MenuTabel, "MenuShiftTimesheet", "Табель по сменам", [this] { Windows::get<TForm19>()->ShowMonth(journalDate()); Activate(); });
    item(MenuTabel, "MenuHouseholdTimesheet", "Табель хоз. работ", piecework(PieceworkView::Household));
    item(MenuTabel, "MenuAverageTimesheet", "Табель ср. сдельная", piecework(PieceworkView::AveragePiecework));
    item(MenuTabel, "MenuGeneralTimesheet", "Общий табель", piecework(PieceworkView::General));

    MenuReports = bar->addMenu(QStringLiteral("Отчеты"));
    MenuReports->setObjectName(QStringLiteral("MenuReports"));
    item(MenuReports, "MenuReportCentre", "Сводные отчеты", [this] { Windows::get<TForm18>()->ShowCentre(); Activate(); });

    QAction *exit = bar->addAction(QStringLiteral("Выход"));
    exit->setObjectName(QStringLiteral("MenuExit"));
    connect(exit, &QAction::triggered, this, [this] { Button4Click(); });
}

CellStyle TForm1::JournalCellStyle(const QString &field, const QString &state)
{
    CellStyle style;
    if (field == QLatin1String("ok")) {
        style.bold = true;
        style.foreground = Plant::isAccepted(state) ? green : red;
    }
    return style;
}

DataSet *TForm1::JournalOfMode() const
{
    return m_module->Smena(JournalMode);
}

void TForm1::setJournalDate(const QDate &date)
{
    DateT->setDate(date);
}

QDate TForm1::journalDate() const
{
    return DateT->date();
}

bool TForm1::DayOff() const
{
    return CBox1->isChecked();
}

JournalContext TForm1::Context() const
{
    return {JournalOfMode(), journalDate(), JournalMode, DayOff()};
}

void TForm1::ApplyRole(Role role)
{
    LoginRole = role;
    MenuTabel->setEnabled(role == Role::Administrator);
    switch (role) {
    case Role::Accountant:
        // The accountant sees today's journal of shift 1 and nothing else of it.
        for (QWidget *w : std::initializer_list<QWidget *>{Button1, Button2, Button3, RadioButton[0], RadioButton[1],
                                                           RadioButton[2], RadioButton[3], CBox1, Button8, DBGrid2, DateT})
            w->setEnabled(false);
        MenuReference->setEnabled(false);
        break;
    case Role::ShiftForeman:
        Button2->setEnabled(false);
        Button3->setEnabled(false);
        MenuReference->setEnabled(false);
        break;
    case Role::Storekeeper:
        Button1->setEnabled(false);
        Button2->setEnabled(false);
        Button3->setEnabled(false);
        MenuReference->setEnabled(false);
        break;
    case Role::Administrator:
    case Role::None:
        break;
    }
}

void TForm1::openJournals(bool rereadParams)
{
    // The journal on the screen is read first, so that its rows show before the others are read.
    DataSet *shown = JournalOfMode();
    QList<DataSet *> journals{shown};
    for (DataSet *j : {m_module->Smena1, m_module->Smena2, m_module->Smena3, m_module->Smena4})
        if (j != shown)
            journals << j;
    for (DataSet *j : journals)
        j->close();
    for (DataSet *j : journals) {
        if (rereadParams)
            j->setParam(QStringLiteral("data"), DateT->date());
        j->open();
    }
}

void TForm1::ReadJournals()
{
    openJournals(true);
}

void TForm1::Activate()
{
    const QDate today = QDate::currentDate();
    DateT->setDate(today);
    if (Plant::isWeekend(today))
        CBox1->setChecked(true);
    Messages::guard(QStringLiteral("Не удалось прочитать журнал."), [this] { ReadJournals(); });
}

void TForm1::DateChosen()
{
    BusyCursor busy;
    Messages::guard(QStringLiteral("Не удалось прочитать журнал."), [this] { ReadJournals(); });
    CBox1->setChecked(Plant::isWeekend(DateT->date()));
    DBGrid2->setFocus();
}

void TForm1::Button8Click()
{
    BusyCursor busy;
    openJournals(false);
}

void TForm1::ModeChosen(int mode)
{
    if (mode < 1 || mode > 4)
        mode = 1;
    DBGrid2->setDataSet(m_module->Smena(mode));
    for (int i = 0; i < 4; ++i)
        ControlLook::setMarked(RadioButton[i], i + 1 == mode, green);
    if (!RadioButton[mode - 1]->isChecked())
        RadioButton[mode - 1]->setChecked(true);
    JournalMode = mode;
}

void TForm1::Button4Click()
{
    close();
}

void TForm1::Button1Click()
{
    CurrentJournal = JournalOfMode();
    TForm11 *dialog = Windows::get<TForm11>();
    dialog->PrepareAdd(Context());
    showChild(dialog);
}

void TForm1::Button2Click()
{
    CurrentJournal = JournalOfMode();
    TForm11 *dialog = Windows::get<TForm11>();
    if (!dialog->PrepareChange(Context()))
        return;
    const int row = CurrentJournal->recNo();
    showChild(dialog);
    CurrentJournal->setRecNo(row);
}

void TForm1::Button3Click()
{
    Messages::guard(QStringLiteral("Не удалось удалить запись."), [this] {
        CurrentJournal = JournalOfMode();
        const QString id = CurrentJournal->value(QStringLiteral("id")).toString().trimmed();
        if (id.isEmpty())
            return;
        if (!Messages::ask(QStringLiteral("Удалить позицию из списка?"), QStringLiteral("Удаление"))) {
            CurrentJournal->reopen();
            return;
        }
        // The day cell to recompute is the one the record counted in: its own date and shift. The
        // date picker may hold a typed date that was never read into the journal.
        const int worker = CurrentJournal->toInt(QStringLiteral("w_id"));
        const QDate date = CurrentJournal->value(QStringLiteral("data")).toDate();
        const int mode = CurrentJournal->toInt(QStringLiteral("smena"));
        RecordCommands::remove(*m_module, CurrentJournal->toInt(QStringLiteral("id")), worker, date, mode);
        CurrentJournal->reopen();
    });
}
void TForm1::Button5Click()
{
    TForm25 *list = Windows::get<TForm25>();
    list->PrepareOpen(journalDate());
    showChild(list);
}

void TForm1::DBGrid2DblClick()
{
    // The shift foreman enters records but may not accept them.
    if (roleOfLogin(LoginText) == Role::ShiftForeman)
        return;
    Messages::guard(QStringLiteral("Не удалось изменить состояние записи."), [this] {
        CurrentJournal = JournalOfMode();
        if (CurrentJournal->isEmpty())
            return;
        if (!updtOK) {
            updtOK = std::make_unique<SqlCommand>(m_module->connectionName());
            updtOK->setSql(RecordStatements::stateChange());
        }
        updtOK->setParam(QStringLiteral("id"), CurrentJournal->toInt(QStringLiteral("id")));
        updtOK->setParam(QStringLiteral("ok"), RecordCommands::toggledState(CurrentJournal->text(QStringLiteral("ok"))));
        updtOK->execute();
        CurrentJournal->reopenKeepingRow();
    });
}

void TForm1::Timer1Timer()
{
    VersionGate();
}

void TForm1::VersionGate()
{
    // A long command (a month rebuild) lets the timer fire while its transaction is open: the
    // version row is not written inside another command's transaction; the next tick checks.
    if (m_module->inTransaction())
        return;
    Messages::guard(QStringLiteral("Не удалось проверить версию программы."), [this] {
        const BuildStamp stamp = currentBuildStamp();
        BuildDate = stamp.date;
        BuildTime = stamp.time;
        if (versionGateOutdated(*m_module, stamp)) {
            emit versionOutdated();
            Messages::error(QStringLiteral("Версия программы не соответсвует БД! Запустите программу через 5 мин."));
            Program::requestEnd();
        }
    });
}

void TForm1::showChild(QDialog *child)
{
    child->exec();
    Activate();
}

bool TForm1::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == DateT && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            DateChosen();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
