#include "timesheets/piecework_timesheet_window.h"

#include "ui/command_keys.h"
#include "ui/data_grid.h"
#include "ui/control_look.h"
#include "db/data_module.h"
#include "ui/messages.h"
#include "db/dataset.h"
#include "db/decimal_text.h"
#include "reports/report_holder.h"
#include "reports/spreadsheet_export.h"
#include "reports/spreadsheet_writer.h"
#include "timesheets/busy_command.h"
#include "timesheets/month_rebuild.h"
#include "timesheets/rebuild_with_progress.h"
#include "timesheets/month_selection.h"
#include "timesheets/piecework_timesheet_export.h"
#include "timesheets/piecework_timesheet_statements.h"
#include "timesheets/timesheet_look.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>

PieceworkTimesheetWindow::PieceworkTimesheetWindow(DataModule *module, QWidget *parent) : QDialog(parent), m_module(module)
{
    setObjectName(QStringLiteral("TForm27"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    const auto query = [this, module](const char *name, const QString &sql) {
        auto *q = new DataSet(module->connectionName(), this);
        q->setObjectName(QLatin1String(name));
        q->setSql(sql);
        return q;
    };
    using namespace PieceworkTimesheetStatements;
    pieceworkView = query("H_Tabel0", piecework());
    householdView = query("H_Tabel7777", household(7777));
    averageView = query("H_Tabel7778", household(7778));
    generalView = query("H_Tabel_all", general());
    pieceworkSum = query("price", pieceworkTotal());
    householdSum = query("price7", householdTotal(7777));
    averageSum = query("price8", householdTotal(7778));
    monthSum = query("all_price", allTotal());
    yearsQuery = query("q_year", years());
    currentView = pieceworkView;

    auto *layout = new QVBoxLayout(this);
    grid = new DataGrid(this);
    grid->setObjectName(QStringLiteral("DBGrid"));
    grid->horizontalHeader()->setMinimumSectionSize(16);
    // Two-digit hours fill a 20-pixel day column: shown whole, never elided; a larger font
    // widens the column.
    grid->setTextElideMode(Qt::ElideNone);
    grid->keepWhole(TimesheetLook::dayFields(), TimesheetLook::widestDayTexts());
    grid->setStyler([this](const DataSet &, int, const QString &field) {
        if (field == QLatin1String("f_price") || field == QLatin1String("i_time") || field == QLatin1String("average_price"))
            return TimesheetLook::totalCell();
        const int day = TimesheetLook::dayOfField(field);
        return day ? TimesheetLook::pieceworkDayCell(m_shown, day) : CellStyle();
    });
    layout->addWidget(grid, 1);

    auto *panel = new QHBoxLayout;
    monthList = new QComboBox(this);
    monthList->setObjectName(QStringLiteral("ComboBox1"));
    monthList->addItems(MonthSelection::monthNames());
    yearList = new QComboBox(this);
    yearList->setObjectName(QStringLiteral("cb_year"));
    connect(monthList, qOverload<int>(&QComboBox::currentIndexChanged), this, [this] { monthChosen(); });
    connect(yearList, qOverload<int>(&QComboBox::activated), this, [this] { yearChosen(); });
    panel->addWidget(monthList);
    panel->addWidget(yearList);
    panel->addStretch(1);
    const auto total = [this, panel](const QString &caption, const char *name) {
        auto *title = new QLabel(caption, this);
        auto *value = new QLabel(this);
        value->setObjectName(QLatin1String(name));
        value->setMinimumWidth(90);
        QFont bold = value->font();
        bold.setBold(true);
        value->setFont(bold);
        panel->addWidget(title);
        panel->addWidget(value);
        panel->addSpacing(12);
        return value;
    };
    averageTotalText = total(QStringLiteral("Ср. сдел.:"), "Price8Text");
    householdTotalText = total(QStringLiteral("Хоз. работы:"), "Price7Text");
    pieceworkTotalText = total(QStringLiteral("Сделка:"), "PriceText");
    monthTotalText = total(QStringLiteral("Итого:"), "AllPriceText");
    layout->addLayout(panel);

    auto *bottom = new QHBoxLayout;
    const auto button = [this, bottom](const char *name, const QString &caption, void (PieceworkTimesheetWindow::*handler)()) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, [this, handler] { (this->*handler)(); });
        bottom->addWidget(b);
        return b;
    };
    exportButton = button("Button2", QStringLiteral("Excel"), &PieceworkTimesheetWindow::exportWorkbook);
    rereadButton = button("Button5", QStringLiteral("Обновить"), &PieceworkTimesheetWindow::reread);
    rebuildButton = button("Button3", QStringLiteral("Перестроить"), &PieceworkTimesheetWindow::rebuildHouseholdRows);
    progressBar = new QProgressBar(this);
    progressBar->setObjectName(QStringLiteral("PB"));
    progressBar->setFixedWidth(240);
    progressBar->setTextVisible(false);
    progressBar->hide();
    bottom->addWidget(progressBar);
    bottom->addStretch(1);
    exitButton = button("Button1", QStringLiteral("Выход"), &PieceworkTimesheetWindow::leave);
    CommandKeys::bind(rereadButton, {CommandKeys::Reread});
    layout->addLayout(bottom);

    m_shown = {1, MonthSelection::FirstYear};
    layColumns();
    grid->setDataSet(currentView);
    grid->setStretchingColumns({QStringLiteral("fio")});
    fitToScreen(this, QSize(1127, 617));
}

DataSet *PieceworkTimesheetWindow::queryOf(PieceworkView::Mode mode) const
{
    switch (mode) {
    case PieceworkView::Household: return householdView;
    case PieceworkView::AveragePiecework: return averageView;
    case PieceworkView::General: return generalView;
    case PieceworkView::Piecework: break;
    }
    return pieceworkView;
}

void PieceworkTimesheetWindow::showMode(PieceworkView::Mode mode)
{
    prepareMode(mode);
    // Centred on the screen, not over the main window.
    centreOnScreen(this);
    exec();
    finishMode();
}

void PieceworkTimesheetWindow::prepareMode(PieceworkView::Mode mode, const QDate &today)
{
    viewMode = mode;
    setWindowTitle(view().caption());
    currentView = queryOf(mode);
    grid->setDataSet(currentView);
    {
        const QSignalBlocker month(monthList);
        monthList->setCurrentIndex(today.month() - 1);
    }
    Messages::guard(QStringLiteral("Не удалось прочитать список лет."), [&] { fillYears(today.year()); });
    applyMonth();
}

void PieceworkTimesheetWindow::finishMode()
{
    for (DataSet *q : {pieceworkView, householdView, averageView, generalView, pieceworkSum, householdSum, averageSum, monthSum, yearsQuery})
        q->close();
    exportButton->setText(QStringLiteral("Excel"));
}

void PieceworkTimesheetWindow::fillYears(int year)
{
    // The years that have timesheet rows, and this year even before it has any, so that its
    // months can be shown and rebuilt.
    QList<int> years{year};
    QueryCloser closer(yearsQuery);
    yearsQuery->close();
    yearsQuery->open();
    for (int row = 0; row < yearsQuery->recordCount(); ++row) {
        const int y = yearsQuery->valueAt(row, QStringLiteral("year")).toInt();
        if (!years.contains(y))
            years << y;
    }
    std::sort(years.begin(), years.end());
    const QSignalBlocker block(yearList);
    yearList->clear();
    for (int y : years)
        yearList->addItem(QString::number(y), y);
    yearList->setCurrentIndex(yearList->findData(year));
}

TimesheetMonth PieceworkTimesheetWindow::selectedMonth() const
{
    return {monthList->currentIndex() + 1, yearList->currentData().toInt()};
}

void PieceworkTimesheetWindow::monthChosen()
{
    applyMonth();
}

void PieceworkTimesheetWindow::yearChosen()
{
    applyMonth();
}

void PieceworkTimesheetWindow::applyMonth()
{
    if (m_busy || yearList->currentIndex() < 0)
        return;
    const TimesheetMonth month = selectedMonth();
    Messages::guard(QStringLiteral("Не удалось прочитать табель."), [&] {
        m_shown = month;
        layColumns();
        currentView->close();
        currentView->setParam(QStringLiteral("i_month"), month.month);
        currentView->setParam(QStringLiteral("i_year"), month.year);
        for (int pair = 1; pair <= 4; ++pair) {
            currentView->setParam(QStringLiteral("d_date%1").arg(2 * pair - 1), month.nextFirstDay());
            currentView->setParam(QStringLiteral("d_date%1").arg(2 * pair), month.firstDay());
        }
        currentView->open();
        readTotals(month);
    });
}

void PieceworkTimesheetWindow::readTotals(const TimesheetMonth &month)
{
    const QList<QPair<DataSet *, QLabel *>> totals = {
        {pieceworkSum, pieceworkTotalText}, {householdSum, householdTotalText}, {averageSum, averageTotalText}, {monthSum, monthTotalText}};
    for (const auto &[query, label] : totals) {
        query->close();
        query->setParam(QStringLiteral("d_date1"), month.nextFirstDay());
        query->setParam(QStringLiteral("d_date2"), month.firstDay());
        query->setParam(QStringLiteral("d_date3"), month.nextFirstDay());
        query->setParam(QStringLiteral("d_date4"), month.firstDay());
        query->open();
        const QVariant value = query->value(QStringLiteral("price"));
        label->setText(value.isNull() ? QString() : moneyText(value.toString()));
    }
}

void PieceworkTimesheetWindow::layColumns()
{
    const PieceworkView shown = view();
    const int days = m_shown.days();
    QVector<GridColumn> columns{{QStringLiteral("Фамилия И. О."), QStringLiteral("fio"), shown.nameWidth(days)}};
    columns << GridColumn{QStringLiteral(" "), QStringLiteral("s_night"), 30, Qt::AlignCenter, !shown.showsNight()};
    for (int d = 1; d <= 31; ++d) {
        GridColumn day{QString::number(d), QStringLiteral("d%1").arg(d), 20, Qt::AlignCenter, d > days};
        day.titleColour = m_shown.contains(d) && m_shown.isWeekend(d) ? TimesheetLook::Weekend : QColor();
        columns << day;
    }
    GridColumn earnings{QStringLiteral("Итого (р.)"), QStringLiteral("f_price"), 66};
    earnings.shape = NumberShape::Money;
    GridColumn average{QStringLiteral("Час (р.)"), QStringLiteral("average_price"), 66, Qt::AlignCenter, !shown.showsAverage()};
    average.shape = NumberShape::Money;
    columns << earnings << GridColumn{QStringLiteral("Итого (ч.)"), QStringLiteral("i_time"), 66, Qt::AlignCenter} << average;
    grid->setColumns(columns);
}

void PieceworkTimesheetWindow::reread()
{
    if (m_busy)
        return;
    Messages::guard(QStringLiteral("Не удалось прочитать табель."), [this] { currentView->reopen(); });
}

void PieceworkTimesheetWindow::rebuildHouseholdRows()
{
    if (m_busy || yearList->currentIndex() < 0)
        return;
    const TimesheetMonth month = selectedMonth();
    BusyCommand busy(m_busy, {exportButton, rebuildButton, rereadButton, monthList, yearList});
    currentView->close();
    MonthRebuild rebuild(*m_module, MonthRebuild::Family::Household);
    rebuildWithProgress(rebuild, month, progressBar);
    Messages::guard(QStringLiteral("Не удалось прочитать табель."), [this] { currentView->open(); });
}

void PieceworkTimesheetWindow::exportWorkbook()
{
    if (m_busy || yearList->currentIndex() < 0)
        return;
    const QString title = monthList->currentText() + QLatin1Char(' ') + yearList->currentText();
    const int row = currentView->recNo();
    BusyCommand busy(m_busy, {rebuildButton, rereadButton, monthList, yearList});
    Messages::guard(QStringLiteral("Не удалось выгрузить табель."), [&] {
        // A writer of this export's own.
        SpreadsheetWriter writer(view().caption());
        if (writer.openWorkbook() == -1)
            return;
        writer.setVisible(false);
        PieceworkTimesheetExport::write(writer, *currentView, view(), title, [this](int written, int total) {
            exportButton->setText(SpreadsheetExport::caption(written, total));
        });
        writer.setVisible(true);
    });
    currentView->setRecNo(row);
}

void PieceworkTimesheetWindow::leave()
{
    reject();
}
