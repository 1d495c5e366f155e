#include "timesheets/shift_timesheet_window.h"

#include "ui/command_keys.h"
#include "ui/control_look.h"
#include "ui/data_grid.h"
#include "db/data_module.h"
#include "ui/messages.h"
#include "ui/windows.h"
#include "db/dataset.h"
#include "reports/report_holder.h"
#include "reports/report_preview.h"
#include "reports/shift_timesheet_report.h"
#include "reports/spreadsheet_export.h"
#include "timesheets/busy_command.h"
#include "timesheets/month_rebuild.h"
#include "timesheets/rebuild_with_progress.h"
#include "timesheets/month_selection.h"
#include "timesheets/shift_timesheet_export.h"
#include "timesheets/shift_timesheet_statements.h"
#include "timesheets/timesheet_look.h"

#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QProgressBar>
#include <QProxyStyle>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

// Only the cell the user is on is drawn highlighted, as the grid draws it, without the day's
// looks; every other cell, those of the current row too, shows its own.
class FocusedCellPlain : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        const auto *view = qobject_cast<const QAbstractItemView *>(option->widget);
        if (view && view->currentIndex() == index) {
            option->font = view->font();
            option->backgroundBrush = QBrush();
            option->palette = view->palette();
            option->showDecorationSelected = true;
            return;
        }
        option->state &= ~QStyle::State_Selected;
    }
};

// The grid paints no highlight of its own under a selected row, so that the row's cells keep
// their looks.
class NoRowHighlight : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;
    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                       const QWidget *widget) const override
    {
        if (element != PE_PanelItemViewRow)
            QProxyStyle::drawPrimitive(element, option, painter, widget);
    }
};

} // namespace

ShiftTimesheetWindow::ShiftTimesheetWindow(DataModule *module, QWidget *parent)
    : QDialog(parent), writer(QStringLiteral("Табель по сменам")),
      m_module(module)
{
    setObjectName(QStringLiteral("TForm19"));
    setWindowTitle(QStringLiteral("Табель по времени"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    const QList<DataSet *> queries = gridQueries();
    for (int k = 1; k <= 3; ++k)
        queries.at(k - 1)->setSql(ShiftTimesheetStatements::grid(k));

    auto *layout = new QVBoxLayout(this);
    shiftTabs = new QTabWidget(this);
    shiftTabs->setObjectName(QStringLiteral("PageControl1"));
    layout->addWidget(shiftTabs, 1);

    QWidget **tabOf[3] = {&shift1Tab, &shift2Tab, &shift3Tab};
    DataGrid **gridsOf[3] = {&shift1Grid, &shift2Grid, &shift3Grid};
    for (int k = 1; k <= 3; ++k) {
        auto *tab = new QWidget(shiftTabs);
        tab->setObjectName(QStringLiteral("TabSheet%1").arg(k));
        auto *tabLayout = new QVBoxLayout(tab);
        tabLayout->setContentsMargins(2, 2, 2, 2);
        auto *grid = new DataGrid(tab);
        grid->setObjectName(QStringLiteral("DBGrid%1").arg(k));
        grid->setItemDelegate(new FocusedCellPlain(grid));
        auto *style = new NoRowHighlight;
        style->setParent(grid);
        grid->setStyle(style);
        grid->horizontalHeader()->setMinimumSectionSize(16);
        // Two-digit hours fill a 20-pixel day column: shown whole, never elided; a larger font
        // widens the column.
        grid->setTextElideMode(Qt::ElideNone);
        grid->keepWhole(TimesheetLook::dayFields(), TimesheetLook::widestDayTexts());
        grid->setStyler([this](const DataSet &ds, int row, const QString &field) {
            if (field == QLatin1String("summ"))
                return TimesheetLook::totalCell();
            const int day = TimesheetLook::dayOfField(field);
            return day ? TimesheetLook::shiftDayCell(m_shown, day, ds.valueAt(row, field)) : CellStyle();
        });
        grid->setDataSet(queries.at(k - 1));
        tabLayout->addWidget(grid, 1);
        shiftTabs->addTab(tab, QStringLiteral("Смена №%1").arg(k));
        *tabOf[k - 1] = tab;
        *gridsOf[k - 1] = grid;
    }

    const auto button = [this](QWidget *owner, const char *name, const QString &caption, void (ShiftTimesheetWindow::*handler)()) {
        auto *b = new QPushButton(caption, owner);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, [this, handler] { (this->*handler)(); });
        return b;
    };

    // The rebuild and the export belong to the first tab.
    auto *firstTabRow = new QHBoxLayout;
    rebuildButton = button(shift1Tab, "Button1", QStringLiteral("Перестроить"), &ShiftTimesheetWindow::rebuildMonth);
    progressBar = new QProgressBar(shift1Tab);
    progressBar->setObjectName(QStringLiteral("PB"));
    progressBar->setFixedWidth(240);
    progressBar->setTextVisible(false);
    progressBar->hide();
    exportButton = button(shift1Tab, "Button2", QStringLiteral("Excel"), &ShiftTimesheetWindow::exportWorkbook);
    firstTabRow->addWidget(rebuildButton);
    firstTabRow->addWidget(progressBar);
    firstTabRow->addWidget(exportButton);
    firstTabRow->addStretch(1);
    static_cast<QVBoxLayout *>(shift1Tab->layout())->addLayout(firstTabRow);

    auto *bottom = new QHBoxLayout;
    monthList = new QComboBox(this);
    monthList->setObjectName(QStringLiteral("ComboBox1"));
    monthList->addItems(MonthSelection::monthNames());
    monthList->setCurrentIndex(0);
    yearList = new QComboBox(this);
    yearList->setObjectName(QStringLiteral("ComboBox2"));
    for (int y : MonthSelection::years())
        yearList->addItem(QString::number(y));
    yearList->setCurrentIndex(-1);
    connect(monthList, qOverload<int>(&QComboBox::currentIndexChanged), this, [this] { monthChosen(); });
    connect(yearList, qOverload<int>(&QComboBox::currentIndexChanged), this, [this] { yearChosen(); });
    rereadButton = button(this, "Button5", QStringLiteral("Обновить"), &ShiftTimesheetWindow::reread);
    printButton = button(this, "Button6", QStringLiteral("Печать"), &ShiftTimesheetWindow::print);
    exitButton = button(this, "Button4", QStringLiteral("Выход"), &ShiftTimesheetWindow::leave);
    CommandKeys::bind(rereadButton, {CommandKeys::Reread});
    CommandKeys::bind(printButton, {CommandKeys::Print});
    bottom->addWidget(monthList);
    bottom->addWidget(yearList);
    bottom->addWidget(rereadButton);
    bottom->addWidget(printButton);
    bottom->addStretch(1);
    bottom->addWidget(exitButton);
    layout->addLayout(bottom);

    m_shown = {1, MonthSelection::FirstYear};
    colourDays();
    fitToScreen(this, QSize(958, 577));
}

QList<DataSet *> ShiftTimesheetWindow::gridQueries() const
{
    return {m_module->shiftGrid1, m_module->shiftGrid2, m_module->shiftGrid3};
}

void ShiftTimesheetWindow::showMonth(const QDate &journalDate)
{
    prepareMonth(journalDate);
    exec();
    finishMonth();
}

void ShiftTimesheetWindow::prepareMonth(const QDate &journalDate)
{
    {
        const QSignalBlocker month(monthList);
        const QSignalBlocker year(yearList);
        monthList->setCurrentIndex(journalDate.month() - 1);
        // A journal date outside the year list selects its nearest year.
        yearList->setCurrentIndex(MonthSelection::yearIndex(MonthSelection::years(), journalDate.year()));
    }
    activate();
    applyMonth();
}

void ShiftTimesheetWindow::finishMonth()
{
    closeGrids();
}

TimesheetMonth ShiftTimesheetWindow::selectedMonth() const
{
    return {monthList->currentIndex() + 1, yearList->currentText().toInt()};
}

void ShiftTimesheetWindow::monthChosen()
{
    applyMonth();
}

void ShiftTimesheetWindow::yearChosen()
{
    applyMonth();
}

void ShiftTimesheetWindow::applyMonth()
{
    if (m_busy || yearList->currentIndex() < 0)
        return;
    const TimesheetMonth month = selectedMonth();
    Messages::guard(QStringLiteral("Не удалось прочитать табель."), [&] {
        m_shown = month;
        colourDays();
        for (DataSet *q : gridQueries()) {
            q->close();
            q->setParam(QStringLiteral("mnth"), month.month);
            q->setParam(QStringLiteral("yea"), month.year);
            q->setParam(QStringLiteral("date1"), month.firstDay());
            q->setParam(QStringLiteral("date2"), month.nextFirstDay());
            q->open();
        }
    });
}

void ShiftTimesheetWindow::colourDays()
{
    QVector<GridColumn> columns{{QStringLiteral("Фамилия И. О."), QStringLiteral("fio"), 208}};
    for (int d = 1; d <= 31; ++d) {
        GridColumn day{QString::number(d), QStringLiteral("d%1").arg(d), 20, Qt::AlignCenter};
        day.titleColour = TimesheetLook::dayTitle(m_shown, d);
        columns << day;
    }
    columns << GridColumn{QStringLiteral("Итого"), QStringLiteral("summ"), 47, Qt::AlignCenter};
    for (DataGrid *grid : grids()) {
        grid->setColumns(columns);
        grid->setStretchingColumns({QStringLiteral("fio")});
    }
}

void ShiftTimesheetWindow::closeGrids()
{
    for (DataSet *q : gridQueries())
        q->close();
}

void ShiftTimesheetWindow::openGrids()
{
    for (DataSet *q : gridQueries())
        q->open();
}

void ShiftTimesheetWindow::reread()
{
    if (m_busy)
        return;
    Messages::guard(QStringLiteral("Не удалось прочитать табель."), [this] {
        closeGrids();
        openGrids();
    });
}

void ShiftTimesheetWindow::rebuildMonth()
{
    if (m_busy || yearList->currentIndex() < 0)
        return;
    const TimesheetMonth month = selectedMonth();
    BusyCommand busy(m_busy, {rebuildButton, exportButton, rereadButton, printButton, monthList, yearList});
    closeGrids();
    MonthRebuild rebuild(*m_module, MonthRebuild::Family::Shifts);
    rebuildWithProgress(rebuild, month, progressBar);
    // Whatever the rebuild did, the grids show what the month holds now.
    Messages::guard(QStringLiteral("Не удалось прочитать табель."), [this] { openGrids(); });
}

void ShiftTimesheetWindow::print()
{
    if (m_busy || yearList->currentIndex() < 0)
        return;
    const TimesheetMonth month = selectedMonth();
    Messages::guard(QStringLiteral("Не удалось подготовить печать табеля."), [&] {
        ShiftTimesheetReport *layout = Windows::get<ShiftTimesheetReport>();
        ReportPreview::run(layout->make(month.month, month.year,
                                        ShiftTimesheetReport::periodLabel(monthList->currentText(), yearList->currentText())),
                           layout->zoom(), this);
    });
}

void ShiftTimesheetWindow::exportWorkbook()
{
    if (m_busy || yearList->currentIndex() < 0)
        return;
    const TimesheetMonth month = selectedMonth();
    const QString title = monthList->currentText() + QLatin1Char(' ') + yearList->currentText();
    BusyCommand busy(m_busy, {rebuildButton, rereadButton, printButton, monthList, yearList});
    Messages::guard(QStringLiteral("Не удалось выгрузить табель."), [&] {
        ShiftTimesheetReport *layout = Windows::get<ShiftTimesheetReport>();
        DataSet *rows = layout->query;
        QueryCloser closer(rows);
        layout->setMonth(month.month, month.year);
        layout->openQuery();
        if (writer.openWorkbook() == -1)
            return;
        writer.setVisible(false);
        ShiftTimesheetExport::write(writer, *rows, title, [this](int written, int total) {
            exportButton->setText(SpreadsheetExport::caption(written, total));
        });
        writer.setVisible(true);
    });
}

void ShiftTimesheetWindow::leave()
{
    reject();
}

void ShiftTimesheetWindow::activate()
{
    exportButton->setText(QStringLiteral("Excel"));
}

bool ShiftTimesheetWindow::event(QEvent *event)
{
    if (event->type() == QEvent::WindowActivate)
        activate();
    return QDialog::event(event);
}
