#include "timesheets/shift_timesheet_window.h"

#include "app/control_look.h"
#include "app/data_grid.h"
#include "app/data_module.h"
#include "app/messages.h"
#include "app/windows.h"
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

TForm19::TForm19(TDataModule6 *module, QWidget *parent)
    : QDialog(parent), dt(new DataSet(module->connectionName(), this)), XLS(QStringLiteral("Табель по сменам")),
      m_module(module)
{
    setObjectName(QStringLiteral("TForm19"));
    setWindowTitle(QStringLiteral("Табель по времени"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    dt->setObjectName(QStringLiteral("dt"));
    dt->setSql(ShiftTimesheetStatements::day());
    const QList<DataSet *> queries = gridQueries();
    for (int k = 1; k <= 3; ++k)
        queries.at(k - 1)->setSql(ShiftTimesheetStatements::grid(k));

    auto *layout = new QVBoxLayout(this);
    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    layout->addWidget(PageControl1, 1);

    QWidget **tabs[3] = {&TabSheet1, &TabSheet2, &TabSheet3};
    DataGrid **gridsOf[3] = {&DBGrid1, &DBGrid2, &DBGrid3};
    for (int k = 1; k <= 3; ++k) {
        auto *tab = new QWidget(PageControl1);
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
        // Two-digit hours fill a 20-pixel day column: shown whole, never elided.
        grid->setTextElideMode(Qt::ElideNone);
        grid->setStyler([this](const DataSet &ds, int row, const QString &field) {
            if (field == QLatin1String("summ"))
                return TimesheetLook::totalCell();
            const int day = TimesheetLook::dayOfField(field);
            return day ? TimesheetLook::shiftDayCell(m_shown, day, ds.valueAt(row, field)) : CellStyle();
        });
        grid->setDataSet(queries.at(k - 1));
        tabLayout->addWidget(grid, 1);
        PageControl1->addTab(tab, QStringLiteral("Смена №%1").arg(k));
        *tabs[k - 1] = tab;
        *gridsOf[k - 1] = grid;
    }

    const auto button = [this](QWidget *owner, const char *name, const QString &caption, void (TForm19::*handler)()) {
        auto *b = new QPushButton(caption, owner);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, [this, handler] { (this->*handler)(); });
        return b;
    };

    // The rebuild and the export belong to the first tab.
    auto *firstTabRow = new QHBoxLayout;
    Button1 = button(TabSheet1, "Button1", QStringLiteral("Перестроить"), &TForm19::Button1Click);
    PB = new QProgressBar(TabSheet1);
    PB->setObjectName(QStringLiteral("PB"));
    PB->setFixedWidth(240);
    PB->setTextVisible(false);
    PB->hide();
    Button2 = button(TabSheet1, "Button2", QStringLiteral("Excel"), &TForm19::Button2Click);
    firstTabRow->addWidget(Button1);
    firstTabRow->addWidget(PB);
    firstTabRow->addWidget(Button2);
    firstTabRow->addStretch(1);
    static_cast<QVBoxLayout *>(TabSheet1->layout())->addLayout(firstTabRow);

    auto *bottom = new QHBoxLayout;
    ComboBox1 = new QComboBox(this);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->addItems(MonthSelection::monthNames());
    ComboBox1->setCurrentIndex(0);
    ComboBox2 = new QComboBox(this);
    ComboBox2->setObjectName(QStringLiteral("ComboBox2"));
    for (int y : MonthSelection::years())
        ComboBox2->addItem(QString::number(y));
    ComboBox2->setCurrentIndex(-1);
    connect(ComboBox1, qOverload<int>(&QComboBox::currentIndexChanged), this, [this] { ComboBox1Change(); });
    connect(ComboBox2, qOverload<int>(&QComboBox::currentIndexChanged), this, [this] { ComboBox2Change(); });
    Button5 = button(this, "Button5", QStringLiteral("Обновить"), &TForm19::Button5Click);
    Button6 = button(this, "Button6", QStringLiteral("Печать"), &TForm19::Button6Click);
    Button4 = button(this, "Button4", QStringLiteral("Выход"), &TForm19::Button4Click);
    bottom->addWidget(ComboBox1);
    bottom->addWidget(ComboBox2);
    bottom->addWidget(Button5);
    bottom->addWidget(Button6);
    bottom->addStretch(1);
    bottom->addWidget(Button4);
    layout->addLayout(bottom);

    m_shown = {1, MonthSelection::FirstYear};
    colourDays();
    fitToScreen(this, QSize(958, 577));
}

QList<DataSet *> TForm19::gridQueries() const
{
    return {m_module->H_Tabel_1, m_module->H_Tabel_2, m_module->H_Tabel_3};
}

void TForm19::ShowMonth(const QDate &journalDate)
{
    PrepareMonth(journalDate);
    exec();
    FinishMonth();
}

void TForm19::PrepareMonth(const QDate &journalDate)
{
    {
        const QSignalBlocker month(ComboBox1);
        const QSignalBlocker year(ComboBox2);
        ComboBox1->setCurrentIndex(journalDate.month() - 1);
        // A journal date outside the year list selects its nearest year.
        ComboBox2->setCurrentIndex(MonthSelection::yearIndex(MonthSelection::years(), journalDate.year()));
    }
    FormActivate();
    ApplyMonth();
}

void TForm19::FinishMonth()
{
    closeGrids();
}

TimesheetMonth TForm19::SelectedMonth() const
{
    return {ComboBox1->currentIndex() + 1, ComboBox2->currentText().toInt()};
}

void TForm19::ComboBox1Change()
{
    ApplyMonth();
}

void TForm19::ComboBox2Change()
{
    ApplyMonth();
}

void TForm19::ApplyMonth()
{
    if (m_busy || ComboBox2->currentIndex() < 0)
        return;
    const TimesheetMonth month = SelectedMonth();
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

void TForm19::colourDays()
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

void TForm19::closeGrids()
{
    for (DataSet *q : gridQueries())
        q->close();
}

void TForm19::openGrids()
{
    for (DataSet *q : gridQueries())
        q->open();
}

void TForm19::Button5Click()
{
    if (m_busy)
        return;
    Messages::guard(QStringLiteral("Не удалось прочитать табель."), [this] {
        closeGrids();
        openGrids();
    });
}

void TForm19::Button1Click()
{
    if (m_busy || ComboBox2->currentIndex() < 0)
        return;
    const TimesheetMonth month = SelectedMonth();
    BusyCommand busy(m_busy, {Button1, Button2, Button5, Button6, ComboBox1, ComboBox2});
    closeGrids();
    MonthRebuild rebuild(*m_module, *dt, MonthRebuild::Family::Shifts);
    rebuildWithProgress(rebuild, month, PB);
    // Whatever the rebuild did, the grids show what the month holds now.
    Messages::guard(QStringLiteral("Не удалось прочитать табель."), [this] { openGrids(); });
}

void TForm19::Button6Click()
{
    if (m_busy || ComboBox2->currentIndex() < 0)
        return;
    const TimesheetMonth month = SelectedMonth();
    Messages::guard(QStringLiteral("Не удалось подготовить печать табеля."), [&] {
        TForm15 *layout = Windows::get<TForm15>();
        ReportPreview::run(layout->Make(month.month, month.year,
                                        TForm15::PeriodLabel(ComboBox1->currentText(), ComboBox2->currentText())),
                           layout->zoom(), this);
    });
}

void TForm19::Button2Click()
{
    if (m_busy || ComboBox2->currentIndex() < 0)
        return;
    const TimesheetMonth month = SelectedMonth();
    const QString title = ComboBox1->currentText() + QLatin1Char(' ') + ComboBox2->currentText();
    BusyCommand busy(m_busy, {Button1, Button5, Button6, ComboBox1, ComboBox2});
    Messages::guard(QStringLiteral("Не удалось выгрузить табель."), [&] {
        TForm15 *layout = Windows::get<TForm15>();
        DataSet *rows = layout->H_Tabel;
        QueryCloser closer(rows);
        layout->SetMonth(month.month, month.year);
        layout->OpenQuery();
        if (XLS.OpenWorkbook() == -1)
            return;
        XLS.SetVisible(false);
        ShiftTimesheetExport::write(XLS, *rows, title, [this](int written, int total) {
            Button2->setText(SpreadsheetExport::caption(written, total));
        });
        XLS.SetVisible(true);
    });
}

void TForm19::Button4Click()
{
    reject();
}

void TForm19::FormActivate()
{
    Button2->setText(QStringLiteral("Excel"));
}

bool TForm19::event(QEvent *event)
{
    if (event->type() == QEvent::WindowActivate)
        FormActivate();
    return QDialog::event(event);
}
