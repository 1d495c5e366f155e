#pragma once

#include "reference/pick_receiver.h"

#include <QList>
#include <QString>
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

// Types text into a widget one character at a time, Cyrillic included.
void typeText(QWidget *w, const QString &text);

// Stands in for the window that opened a list as a picker: keeps every choice handed back.
template <typename Choice>
struct Receiver : PickReceiver<Choice> {
    QList<Choice> taken;
    void TakePick(const Choice &choice) override { taken << choice; }
};
