#include "ui/remembered_state.h"

#include "db/settings_files.h"
#include "ui/control_look.h"
#include "ui/data_grid.h"

#include <QEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QSettings>
#include <QSplitter>
#include <QWidget>

namespace RememberedState {

namespace {

bool remembering = false;

const QString WindowsGroup = QStringLiteral("windows");
const QString GridsGroup = QStringLiteral("grids");
const QString SplittersGroup = QStringLiteral("splitters");
const QString ReportsGroup = QStringLiteral("reports");

// The file is opened for each use: it is small, and another copy of the program on the same
// account may have written it since.
std::unique_ptr<QSettings> settings()
{
    return openUserSettings();
}

QString windowKey(const QWidget *window)
{
    return window->objectName();
}

QString childKey(const QWidget *window, const QObject *child)
{
    return windowKey(window) + QLatin1Char('/') + child->objectName();
}

// Where a remembered area goes on the screens there are now: where it was when a screen still
// shows its middle, otherwise (a screen that is gone) in the middle of the window's own screen,
// made smaller where that screen has less room.
QRect onExistingScreen(const QRect &remembered, QScreen *fallback)
{
    for (QScreen *screen : QGuiApplication::screens())
        if (screen->availableGeometry().contains(remembered.center()))
            return remembered;
    QScreen *screen = fallback ? fallback : QGuiApplication::primaryScreen();
    if (!screen)
        return remembered;
    return fittedGeometry(remembered.size(), screen->availableGeometry());
}

class WindowMemory : public QObject {
public:
    WindowMemory(QWidget *window, const QSize &designed) : QObject(window), m_window(window), m_designed(designed) {}

    QSize designed() const { return m_designed; }
    QWidget *window() const { return m_window; }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched != m_window || !remembering || m_window->objectName().isEmpty())
            return false;
        if (event->type() == QEvent::Show && m_resetPending) {
            m_resetPending = false;
            m_restored = true;
            putDesigned();
        } else if (event->type() == QEvent::Show && !m_restored) {
            m_restored = true;
            restore();
        } else if (event->type() == QEvent::Hide) {
            keep();
        }
        return false;
    }

    // A hidden window takes its new geometry only when it is shown again.
    void resetToDesigned()
    {
        for (DataGrid *grid : m_window->findChildren<DataGrid *>())
            grid->resetWidths();
        if (m_window->isVisible())
            putDesigned();
        else
            m_resetPending = true;
    }

    void putDesigned()
    {
        if (m_window->isMaximized())
            m_window->showNormal();
        if (QScreen *screen = m_window->screen())
            m_window->setGeometry(fittedGeometry(m_designed, screen->availableGeometry()));
        else
            m_window->resize(m_designed);
    }

    void restore()
    {
        const auto s = settings();
        s->beginGroup(WindowsGroup);
        const QRect geometry = s->value(windowKey(m_window) + QStringLiteral("/geometry")).toRect();
        const bool maximized = s->value(windowKey(m_window) + QStringLiteral("/maximized")).toBool();
        s->endGroup();
        if (geometry.isValid())
            m_window->setGeometry(onExistingScreen(geometry, m_window->screen()));
        if (maximized)
            m_window->setWindowState(m_window->windowState() | Qt::WindowMaximized);

        s->beginGroup(GridsGroup);
        for (DataGrid *grid : m_window->findChildren<DataGrid *>()) {
            if (grid->objectName().isEmpty())
                continue;
            s->beginGroup(childKey(m_window, grid));
            QHash<QString, double> widths;
            for (const QString &field : s->childKeys())
                widths.insert(field, s->value(field).toDouble());
            s->endGroup();
            if (!widths.isEmpty())
                grid->setUserWidths(widths);
        }
        s->endGroup();

        s->beginGroup(SplittersGroup);
        for (QSplitter *splitter : m_window->findChildren<QSplitter *>())
            if (!splitter->objectName().isEmpty())
                splitter->restoreState(s->value(childKey(m_window, splitter)).toByteArray());
        s->endGroup();
    }

    void keep()
    {
        const auto s = settings();
        s->beginGroup(WindowsGroup);
        const bool maximized = m_window->isMaximized();
        s->setValue(windowKey(m_window) + QStringLiteral("/geometry"),
                    maximized ? m_window->normalGeometry() : m_window->geometry());
        s->setValue(windowKey(m_window) + QStringLiteral("/maximized"), maximized);
        s->endGroup();

        s->beginGroup(GridsGroup);
        for (DataGrid *grid : m_window->findChildren<DataGrid *>()) {
            if (grid->objectName().isEmpty())
                continue;
            s->remove(childKey(m_window, grid));
            const QHash<QString, double> widths = grid->userWidths();
            for (auto w = widths.constBegin(); w != widths.constEnd(); ++w)
                s->setValue(childKey(m_window, grid) + QLatin1Char('/') + w.key(), w.value());
        }
        s->endGroup();

        s->beginGroup(SplittersGroup);
        for (QSplitter *splitter : m_window->findChildren<QSplitter *>())
            if (!splitter->objectName().isEmpty())
                s->setValue(childKey(m_window, splitter), splitter->saveState());
        s->endGroup();
        s->sync();
    }

private:
    QWidget *m_window;
    QSize m_designed;
    bool m_restored = false;
    bool m_resetPending = false;
};

QList<QPointer<WindowMemory>> &followed()
{
    static QList<QPointer<WindowMemory>> memories;
    return memories;
}

} // namespace

void setEnabled(bool enabled)
{
    remembering = enabled;
}

bool enabled()
{
    return remembering;
}

void followWindow(QWidget *window, const QSize &designed)
{
    auto *memory = new WindowMemory(window, designed);
    window->installEventFilter(memory);
    followed().removeAll(nullptr);
    followed() << memory;
}

void resetWindows()
{
    if (remembering) {
        const auto s = settings();
        for (const QString &group : {WindowsGroup, GridsGroup, SplittersGroup})
            s->remove(group);
        s->sync();
    }
    for (const QPointer<WindowMemory> &memory : followed())
        if (memory)
            memory->resetToDesigned();
}

PreviewZoom rememberedZoom()
{
    PreviewZoom zoom;
    const QString mode = value(ReportsGroup, QStringLiteral("zoom")).toString();
    if (mode == QLatin1String("width")) {
        zoom.mode = PreviewZoom::PageWidth;
    } else if (mode == QLatin1String("page")) {
        zoom.mode = PreviewZoom::WholePage;
    } else if (mode == QLatin1String("factor")) {
        const double factor = value(ReportsGroup, QStringLiteral("zoomFactor")).toDouble();
        if (factor > 0.05 && factor < 20) {
            zoom.mode = PreviewZoom::Factor;
            zoom.factor = factor;
        }
    }
    return zoom;
}

void keepZoom(const PreviewZoom &zoom)
{
    switch (zoom.mode) {
    case PreviewZoom::PageWidth:
        setValue(ReportsGroup, QStringLiteral("zoom"), QStringLiteral("width"));
        break;
    case PreviewZoom::WholePage:
        setValue(ReportsGroup, QStringLiteral("zoom"), QStringLiteral("page"));
        break;
    case PreviewZoom::Factor:
        setValue(ReportsGroup, QStringLiteral("zoom"), QStringLiteral("factor"));
        setValue(ReportsGroup, QStringLiteral("zoomFactor"), zoom.factor);
        break;
    case PreviewZoom::None:
        break;
    }
}

QString savingFolder(const QString &fallback)
{
    const QString folder = value(ReportsGroup, QStringLiteral("pdfFolder")).toString();
    return !folder.isEmpty() && QFileInfo(folder).isDir() ? folder : fallback;
}

void keepSavedFile(const QString &path)
{
    setValue(ReportsGroup, QStringLiteral("pdfFolder"), QFileInfo(path).absolutePath());
}

QVariant value(const QString &group, const QString &key, const QVariant &fallback)
{
    if (!remembering)
        return fallback;
    const auto s = settings();
    return s->value(group + QLatin1Char('/') + key, fallback);
}

void setValue(const QString &group, const QString &key, const QVariant &value)
{
    if (!remembering)
        return;
    const auto s = settings();
    s->setValue(group + QLatin1Char('/') + key, value);
    s->sync();
}

} // namespace RememberedState
