#pragma once

#include "reference/pick_receiver.h"

#include <QList>
#include <QMargins>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>
#include <functional>

class QDialog;
class QWidget;

// Acts on the modal dialog that the next exec() shows, then makes sure it is closed so that the
// test never hangs on it. `stayedOpen` tells whether the action left the dialog open; `window` is
// the dialog's object name.
struct ModalAction {
    bool ran = false;
    bool stayedOpen = false;
    QString window;
};

void onModal(ModalAction &result, const std::function<void(QDialog *)> &action);

// What a user would not see of a shown window on a screen that leaves `available` free, when the
// window manager adds `frame`: a frame larger than the free area, grid columns past their grid's
// right edge, buttons past the window's edge. Empty when everything is in sight.
QStringList outOfSight(QWidget *window, const QRect &available, const QMargins &frame = {});

// The common workstation screens a window must fit, as a test's data column "available" (the
// screen's free area): 1024 x 768 and 1280 x 800.
void addWorkstationScreens();

// Shows `window` where and as large as it opens (fittedGeometry) on such a screen, lays it out and
// tells what would not be seen; the window is hidden again afterwards, at the size it had.
QStringList outOfSightWhenOpened(QWidget *window, const QSize &designed, const QRect &available,
                                 const QMargins &frame);

// Types text into a widget one character at a time, Cyrillic included.
void typeText(QWidget *w, const QString &text);

// Stands in for the window that opened a list as a picker: keeps every choice handed back.
template <typename Choice>
struct Receiver : PickReceiver<Choice> {
    QList<Choice> taken;
    void takePick(const Choice &choice) override { taken << choice; }
};
