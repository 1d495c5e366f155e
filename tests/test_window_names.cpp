// The names other tools and the plant's scripts find the program's windows and controls by: every
// window's object name, its controls' object names, kinds and captions, and its menu items, as a
// stored list (tests/data/window_names.txt). Renaming the C++ side of a window must leave this list
// as it is; a change meant to alter it writes the new list with TABEL_WRITE_WINDOW_NAMES=1 and
// shows the difference in its commit.
#include "db/data_module.h"
#include "app/login_window.h"
#include "journal/about_window.h"
#include "journal/journal_window.h"
#include "app/startup.h"
#include "ui/windows.h"
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
#include "reports/detailed_products_report.h"
#include "reports/detailed_workers_report.h"
#include "reports/products_report.h"
#include "reports/report_centre.h"
#include "reports/shift_timesheet_report.h"
#include "reports/workers_report.h"
#include "tests/support/test_support.h"
#include "timesheets/household_dialog.h"
#include "timesheets/household_list.h"
#include "timesheets/piecework_timesheet_window.h"
#include "timesheets/shift_timesheet_window.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTabWidget>
#include <QTableView>
#include <QtTest>

namespace {

// The Qt class a window or control is built on (our own classes are left out: their names are
// the C++ side, free to change).
QString qtKind(const QObject *object)
{
    const QMetaObject *meta = object->metaObject();
    while (meta && !QByteArray(meta->className()).startsWith('Q'))
        meta = meta->superClass();
    return meta ? QString::fromLatin1(meta->className()) : QString();
}

QString quoted(const QString &text)
{
    QString t = text;
    t.replace(QLatin1Char('\n'), QLatin1String("\\n"));
    return QLatin1Char('"') + t + QLatin1Char('"');
}

// What the user reads on an object: captions, items, column titles, tooltips.
QStringList textsOf(const QObject *object)
{
    QStringList texts;
    auto add = [&texts](const QString &what, const QString &text) {
        if (!text.isEmpty())
            texts << what + QLatin1Char('=') + quoted(text);
    };
    if (auto *w = qobject_cast<const QWidget *>(object)) {
        if (w->isWindow())
            add(QStringLiteral("title"), w->windowTitle());
        add(QStringLiteral("tooltip"), w->toolTip());
    }
    if (auto *b = qobject_cast<const QAbstractButton *>(object))
        add(QStringLiteral("text"), b->text());
    if (auto *l = qobject_cast<const QLabel *>(object))
        add(QStringLiteral("text"), l->text());
    if (auto *g = qobject_cast<const QGroupBox *>(object))
        add(QStringLiteral("title"), g->title());
    if (auto *e = qobject_cast<const QLineEdit *>(object)) {
        add(QStringLiteral("placeholder"), e->placeholderText());
        add(QStringLiteral("text"), e->text());
    }
    if (auto *c = qobject_cast<const QComboBox *>(object)) {
        QStringList items;
        for (int i = 0; i < c->count(); ++i)
            items << c->itemText(i);
        add(QStringLiteral("items"), items.join(QLatin1Char('|')));
    }
    if (auto *d = qobject_cast<const QDateTimeEdit *>(object))
        add(QStringLiteral("format"), d->displayFormat());
    if (auto *t = qobject_cast<const QTabWidget *>(object)) {
        QStringList tabs;
        for (int i = 0; i < t->count(); ++i)
            tabs << t->tabText(i);
        add(QStringLiteral("tabs"), tabs.join(QLatin1Char('|')));
    }
    if (auto *v = qobject_cast<const QTableView *>(object); v && v->model()) {
        QStringList titles;
        for (int c = 0; c < v->model()->columnCount(); ++c)
            titles << v->model()->headerData(c, Qt::Horizontal).toString();
        add(QStringLiteral("columns"), titles.join(QLatin1Char('|')));
    }
    if (auto *m = qobject_cast<const QMenu *>(object))
        add(QStringLiteral("title"), m->title());
    if (auto *a = qobject_cast<const QAction *>(object)) {
        add(QStringLiteral("text"), a->text());
        add(QStringLiteral("keys"), a->shortcut().toString());
    }
    return texts;
}

// One line per named or captioned object, indented by its depth under the window; Qt's own
// inner objects ("qt_…") are left out with what they hold.
void list(const QObject *object, int depth, QStringList &lines)
{
    const QString name = object->objectName();
    if (name.startsWith(QLatin1String("qt_")))
        return;
    const QStringList texts = textsOf(object);
    int below = depth;
    if (!name.isEmpty() || !texts.isEmpty()) {
        lines << QString(depth * 2, QLatin1Char(' ')) + qtKind(object) + QLatin1Char(' ')
                     + (name.isEmpty() ? QStringLiteral("-") : name)
                     + (texts.isEmpty() ? QString() : QLatin1Char(' ') + texts.join(QLatin1Char(' ')));
        below = depth + 1;
    }
    for (const QObject *child : object->children())
        list(child, below, lines);
}

} // namespace

class TestWindowNames : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { installRussian(*qApp); }
    void everyWindowKeepsItsNames();
};

void TestWindowNames::everyWindowKeepsItsNames()
{
    TestDatabase db;
    std::unique_ptr<DataModule> module = db.connectModule();
    auto *main = new JournalWindow(module.get());
    // The login window shows the server and database it works with; fixed ones keep the list fixed.
    auto *login = new LoginWindow(main, ConnectionTarget{QStringLiteral("plant_db"), QStringLiteral("db.plant.local"),
                                                         QString(), QString()});
    Windows::setRun(module.get(), main);

    // Every window is made once, owned by the main window, so listing the main window lists them.
    const QList<QObject *> windows = {
        Windows::get<RecordDialog>(),
        Windows::get<WorkerList>(),
        Windows::get<WorkerDialog>(),
        Windows::get<ProductList>(),
        Windows::get<ProductDialog>(),
        Windows::get<KindList>(),
        Windows::get<KindDialog>(),
        Windows::get<PriceList>(),
        Windows::get<PriceDialog>(),
        Windows::get<NormsWindow>(),
        Windows::get<NomenclaturePicker>(),
        Windows::get<ShiftTimesheetWindow>(),
        Windows::get<PieceworkTimesheetWindow>(),
        Windows::get<HouseholdListWindow>(),
        Windows::get<HouseholdDialog>(),
        Windows::get<ReportCentre>(),
        Windows::get<AboutWindow>(),
        Windows::get<ShiftTimesheetReport>(),
        Windows::get<WorkersReport>(),
        Windows::get<ProductsReport>(),
        Windows::get<DetailedWorkersReport>(),
        Windows::get<DetailedProductsReport>(),
    };
    for (const QObject *window : windows)
        QCOMPARE(window->parent(), main);
    QStringList lines;
    list(login, 0, lines);
    list(main, 0, lines);
    list(module.get(), 0, lines);
    const QByteArray listed = lines.join(QLatin1Char('\n')).toUtf8() + '\n';

    const QString stored = qEnvironmentVariable("TABEL_SOURCE_DIR") + QStringLiteral("/tests/data/window_names.txt");
    if (qEnvironmentVariableIsSet("TABEL_WRITE_WINDOW_NAMES")) {
        QFile out(stored);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(listed);
    }
    QFile in(stored);
    QVERIFY2(in.open(QIODevice::ReadOnly), qPrintable(stored));
    const QStringList expected = QString::fromUtf8(in.readAll()).split(QLatin1Char('\n'));
    const QStringList actual = QString::fromUtf8(listed).split(QLatin1Char('\n'));
    for (int i = 0; i < qMax(expected.size(), actual.size()); ++i)
        QCOMPARE(actual.value(i), expected.value(i));

    delete login;
    delete main;
}

QTEST_MAIN(TestWindowNames)
#include "test_window_names.moc"
