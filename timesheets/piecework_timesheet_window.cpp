#include "timesheets/piecework_timesheet_window.h"

#include "app/data_grid.h"
#include "app/control_look.h"
#include "app/data_module.h"
#include "app/messages.h"
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

TForm27::TForm27(TDataModule6 *module, QWidget *parent) : QDialog(parent), m_module(module)
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
    H_Tabel0 = query("H_Tabel0", piecework());
    H_Tabel7777 = query("H_Tabel7777", household(7777));
    H_Tabel7778 = query("H_Tabel7778", household(7778));
    H_Tabel_all = query("H_Tabel_all", general());
    price = query("price", pieceworkTotal());
    price7 = query("price7", householdTotal(7777));
    price8 = query("price8", householdTotal(7778));
    all_price = query("all_price", allTotal());
    q_year = query("q_year", years());
    dt = query("dt", day());
    CurrentQuery = H_Tabel0;

    auto *layout = new QVBoxLayout(this);
    DBGrid = new DataGrid(this);
    DBGrid->setObjectName(QStringLiteral("DBGrid"));
    DBGrid->horizontalHeader()->setMinimumSectionSize(16);
    // Two-digit hours fill a 20-pixel day column: shown whole, never elided.
    DBGrid->setTextElideMode(Qt::ElideNone);
    DBGrid->setStyler([this](const DataSet &, int, const QString &field) {
        if (field == QLatin1String("f_price") || field == QLatin1String("i_time") || field == QLatin1String("average_price"))
            return TimesheetLook::totalCell();
        const int day = TimesheetLook::dayOfField(field);
        return day ? TimesheetLook::pieceworkDayCell(m_shown, day) : CellStyle();
    });
    layout->addWidget(DBGrid, 1);

    auto *panel = new QHBoxLayout;
    ComboBox1 = new QComboBox(this);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->addItems(MonthSelection::monthNames());
    cb_year = new QComboBox(this);
    cb_year->setObjectName(QStringLiteral("cb_year"));
    connect(ComboBox1, qOverload<int>(&QComboBox::currentIndexChanged), this, [this] { ComboBox1Change(); });
    connect(cb_year, qOverload<int>(&QComboBox::activated), this, [this] { cb_yearCloseUp(); });
    panel->addWidget(ComboBox1);
    panel->addWidget(cb_year);
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
    Price8Text = total(QStringLiteral("Ср. сдел.:"), "Price8Text");
    Price7Text = total(QStringLiteral("Хоз. работы:"), "Price7Text");
    PriceText = total(QStringLiteral("Сделка:"), "PriceText");
    AllPriceText = total(QStringLiteral("Итого:"), "AllPriceText");
    layout->addLayout(panel);

    auto *bottom = new QHBoxLayout;
    const auto button = [this, bottom](const char *name, const QString &caption, void (TForm27::*handler)()) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, [this, handler] { (this->*handler)(); });
        bottom->addWidget(b);
        return b;
    };
    Button2 = button("Button2", QStringLiteral("Excel"), &TForm27::Button2Click);
    Button5 = button("Button5", QStringLiteral("Обновить"), &TForm27::Button5Click);
    Button3 = button("Button3", QStringLiteral("Перестроить"), &TForm27::Button3Click);
    PB = new QProgressBar(this);
    PB->setObjectName(QStringLiteral("PB"));
    PB->setFixedWidth(240);
    PB->setTextVisible(false);
    PB->hide();
    bottom->addWidget(PB);
    bottom->addStretch(1);
    Button1 = button("Button1", QStringLiteral("Выход"), &TForm27::Button1Click);
    layout->addLayout(bottom);

    m_shown = {1, MonthSelection::FirstYear};
    layColumns();
    DBGrid->setDataSet(CurrentQuery);
    DBGrid->setStretchingColumns({QStringLiteral("fio")});
    fitToScreen(this, QSize(1127, 617));
}

DataSet *TForm27::queryOf(PieceworkView::Mode mode) const
{
    switch (mode) {
    case PieceworkView::Household: return H_Tabel7777;
    case PieceworkView::AveragePiecework: return H_Tabel7778;
    case PieceworkView::General: return H_Tabel_all;
    case PieceworkView::Piecework: break;
    }
    return H_Tabel0;
}

void TForm27::ShowMode(PieceworkView::Mode mode)
{
    PrepareMode(mode);
    // Centred on the screen, not over the main window.
    centreOnScreen(this);
    exec();
    FinishMode();
}

void TForm27::PrepareMode(PieceworkView::Mode mode, const QDate &today)
{
    Mode = mode;
    setWindowTitle(View().caption());
    CurrentQuery = queryOf(mode);
    DBGrid->setDataSet(CurrentQuery);
    {
        const QSignalBlocker month(ComboBox1);
        ComboBox1->setCurrentIndex(today.month() - 1);
    }
    Messages::guard(QStringLiteral("Не удалось прочитать список лет."), [&] { fillYears(today.year()); });
    ApplyMonth();
}

void TForm27::FinishMode()
{
    for (DataSet *q : {H_Tabel0, H_Tabel7777, H_Tabel7778, H_Tabel_all, price, price7, price8, all_price, q_year})
        q->close();
    Button2->setText(QStringLiteral("Excel"));
}

void TForm27::fillYears(int year)
{
    // The years that have timesheet rows, and this year even before it has any, so that its
    // months can be shown and rebuilt.
    QList<int> years{year};
    QueryCloser closer(q_year);
    q_year->close();
    q_year->open();
    for (int row = 0; row < q_year->recordCount(); ++row) {
        const int y = q_year->valueAt(row, QStringLiteral("year")).toInt();
        if (!years.contains(y))
            years << y;
    }
    std::sort(years.begin(), years.end());
    const QSignalBlocker block(cb_year);
    cb_year->clear();
    for (int y : years)
        cb_year->addItem(QString::number(y), y);
    cb_year->setCurrentIndex(cb_year->findData(year));
}

TimesheetMonth TForm27::SelectedMonth() const
{
    return {ComboBox1->currentIndex() + 1, cb_year->currentData().toInt()};
}

void TForm27::ComboBox1Change()
{
    ApplyMonth();
}

void TForm27::cb_yearCloseUp()
{
    ApplyMonth();
}

void TForm27::ApplyMonth()
{
    if (m_busy || cb_year->currentIndex() < 0)
        return;
    const TimesheetMonth month = SelectedMonth();
    Messages::guard(QStringLiteral("Не удалось прочитать табель."), [&] {
        m_shown = month;
        layColumns();
        CurrentQuery->close();
        CurrentQuery->setParam(QStringLiteral("i_month"), month.month);
        CurrentQuery->setParam(QStringLiteral("i_year"), month.year);
        for (int pair = 1; pair <= 4; ++pair) {
            CurrentQuery->setParam(QStringLiteral("d_date%1").arg(2 * pair - 1), month.nextFirstDay());
            CurrentQuery->setParam(QStringLiteral("d_date%1").arg(2 * pair), month.firstDay());
        }
        CurrentQuery->open();
        readTotals(month);
    });
}

void TForm27::readTotals(const TimesheetMonth &month)
{
    const QList<QPair<DataSet *, QLabel *>> totals = {
        {price, PriceText}, {price7, Price7Text}, {price8, Price8Text}, {all_price, AllPriceText}};
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

void TForm27::layColumns()
{
    const PieceworkView view = View();
    const int days = m_shown.days();
    QVector<GridColumn> columns{{QStringLiteral("Фамилия И. О."), QStringLiteral("fio"), view.nameWidth(days)}};
    columns << GridColumn{QStringLiteral(" "), QStringLiteral("s_night"), 30, Qt::AlignCenter, !view.showsNight()};
    for (int d = 1; d <= 31; ++d) {
        GridColumn day{QString::number(d), QStringLiteral("d%1").arg(d), 20, Qt::AlignCenter, d > days};
        day.titleColour = m_shown.contains(d) && m_shown.isWeekend(d) ? TimesheetLook::Weekend : QColor();
        columns << day;
    }
    GridColumn earnings{QStringLiteral("Итого (р.)"), QStringLiteral("f_price"), 66};
    earnings.shape = NumberShape::Money;
    GridColumn average{QStringLiteral("Час (р.)"), QStringLiteral("average_price"), 66, Qt::AlignCenter, !view.showsAverage()};
    average.shape = NumberShape::Money;
    columns << earnings << GridColumn{QStringLiteral("Итого (ч.)"), QStringLiteral("i_time"), 66, Qt::AlignCenter} << average;
    DBGrid->setColumns(columns);
}

void TForm27::Button5Click()
{
    if (m_busy)
        return;
    Messages::guard(QStringLiteral("Не удалось прочитать табель."), [this] { CurrentQuery->reopen(); });
}

void TForm27::Button3Click()
{
    if (m_busy || cb_year->currentIndex() < 0)
        return;
    const TimesheetMonth month = SelectedMonth();
    BusyCommand busy(m_busy, {Button2, Button3, Button5, ComboBox1, cb_year});
    CurrentQuery->close();
    MonthRebuild rebuild(*m_module, *dt, MonthRebuild::Family::Household);
    rebuildWithProgress(rebuild, month, PB);
    Messages::guard(QStringLiteral("Не удалось прочитать табель."), [this] { CurrentQuery->open(); });
}

void TForm27::Button2Click()
{
    if (m_busy || cb_year->currentIndex() < 0)
        return;
    const QString title = ComboBox1->currentText() + QLatin1Char(' ') + cb_year->currentText();
    const int row = CurrentQuery->recNo();
    BusyCommand busy(m_busy, {Button3, Button5, ComboBox1, cb_year});
    Messages::guard(QStringLiteral("Не удалось выгрузить табель."), [&] {
        // A writer of this export's own.
        SpreadsheetWriter writer(View().caption());
        if (writer.OpenWorkbook() == -1)
            return;
        writer.SetVisible(false);
        PieceworkTimesheetExport::write(writer, *CurrentQuery, View(), title, [this](int written, int total) {
            Button2->setText(SpreadsheetExport::caption(written, total));
        });
        writer.SetVisible(true);
    });
    CurrentQuery->setRecNo(row);
}

void TForm27::Button1Click()
{
    reject();
}
