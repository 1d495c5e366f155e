#include "app/control_look.h"

#include <QScreen>

#include <QApplication>
#include <QCheckBox>

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
