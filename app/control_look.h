#pragma once

#include <QColor>

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
