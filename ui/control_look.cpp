#include "ui/control_look.h"

#include "ui/data_grid.h"
#include "ui/remembered_state.h"

#include <QApplication>
#include <QCheckBox>
#include <QEvent>
#include <QScreen>
#include <QTimer>
#include <QWidget>

namespace ControlLook {

void setMarked(QWidget *w, bool marked, const QColor &colour)
{
    w->setAutoFillBackground(marked);
    // Buttons fill their background with the Button role, other widgets with Window.
    QPalette pal = w->palette();
    pal.setColor(QPalette::Button, marked ? colour : QApplication::palette().color(QPalette::Button));
    pal.setColor(QPalette::Window, marked ? colour : QApplication::palette().color(QPalette::Window));
    w->setPalette(pal);
    QFont f = w->font();
    f.setBold(marked);
    w->setFont(f);
}

void followDayOff(QCheckBox *box)
{
    QObject::connect(box, &QCheckBox::toggled, box, [box](bool ticked) { setMarked(box, ticked, dayOffColour()); });
    setMarked(box, box->isChecked(), dayOffColour());
}

} // namespace ControlLook

void centreOnScreen(QWidget *window)
{
    if (QScreen *screen = window->screen())
        window->move(screen->availableGeometry().center() - window->rect().center());
}

QRect fittedGeometry(const QSize &size, const QRect &available, const QMargins &frame)
{
    const QRect room = available.marginsRemoved(frame);
    const QSize fitted = size.boundedTo(room.size()).expandedTo(QSize(1, 1));
    QRect geometry(QPoint(0, 0), fitted);
    geometry.moveCenter(room.center());
    return geometry;
}

namespace {

// Keeps its window on its screen at every showing, and hands the grids of the window the width
// it has beyond its designed size.
class ScreenFit : public QObject {
public:
    ScreenFit(QWidget *window, const QSize &designed) : QObject(window), m_window(window), m_designed(designed) {}

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched != m_window)
            return false;
        if (event->type() == QEvent::Show) {
            fit();
            // The window manager's frame is known only once the window is on the screen.
            QTimer::singleShot(0, this, [this] { fit(); });
        } else if (event->type() == QEvent::Resize) {
            const int spare = m_window->width() - m_designed.width();
            for (DataGrid *grid : m_window->findChildren<DataGrid *>())
                grid->setSpareWidth(spare);
        }
        return false;
    }

private:
    void fit()
    {
        QScreen *screen = m_window->screen();
        if (!screen || m_window->isMaximized() || m_window->isFullScreen())
            return;
        const QRect available = screen->availableGeometry();
        const QRect frame = m_window->frameGeometry();
        const QRect inner = m_window->geometry();
        const QMargins margins(inner.left() - frame.left(), inner.top() - frame.top(),
                               frame.right() - inner.right(), frame.bottom() - inner.bottom());
        if (available.contains(frame))
            return;
        m_window->setGeometry(fittedGeometry(inner.size(), available, margins));
    }

    QWidget *m_window;
    QSize m_designed;
};

} // namespace

void fitToScreen(QWidget *window, const QSize &designed)
{
    const bool visible = window->isVisible();
    window->setWindowFlag(Qt::MSWindowsFixedSizeDialogHint, false);
    window->setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    window->setWindowFlag(Qt::WindowCloseButtonHint, true);
    window->setMinimumSize(0, 0);
    window->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    window->resize(designed);
    window->installEventFilter(new ScreenFit(window, designed));
    // Installed after the screen fit so that it sees the showing first: a remembered place on a
    // screen that is gone is then pulled back like any other.
    RememberedState::followWindow(window, designed);
    if (visible)
        window->show();
}
