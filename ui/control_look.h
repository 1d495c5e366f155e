#pragma once

#include <QColor>
#include <QMargins>
#include <QRect>
#include <QSize>

class QCheckBox;
class QWidget;

// How a control shows that it is marked: its background in the mark's colour and its caption
// bold; unmarked, the standard button face and a regular caption.
namespace ControlLook {

// The day-off colour of the "Выходной" boxes.
inline QColor dayOffColour()
{
    return QColor(0xFF, 0, 0);
}

void setMarked(QWidget *widget, bool marked, const QColor &colour);

// A "Выходной" box: red and bold while ticked, after every change by the user or the program.
void followDayOff(QCheckBox *box);

} // namespace ControlLook

// Places a window in the middle of the desktop, wherever the window that opened it stands.
void centreOnScreen(QWidget *window);

// Where a window of `size` opens on a screen that leaves `available` free (the desktop less its
// panels) when the window manager adds `frame` around it: at its size, or at the room there is
// where that is less, in the middle of the free area. The result is the window's own area,
// without the frame.
QRect fittedGeometry(const QSize &size, const QRect &available, const QMargins &frame = {});

// The journal, the lists and the timesheets: they open at their designed size, or smaller where
// their screen has less room (1024 x 768 workstations), and can be resized and maximised. Each
// showing moves the window back onto its screen, and shrinks it, if it would stick out. What the
// user made of the window (size, place, column widths) comes back in the next run
// (ui/remembered_state.h).
void fitToScreen(QWidget *window, const QSize &designed);
