#pragma once

#include <QPointer>

class QWidget;
class DataModule;

// Every window of the run is created once, on first use, over the run's data module, and reused
// for the whole run: Windows::get<WorkerList>(). The main window names the run's module and itself as
// the owner of the windows when it is created; a window goes with its owner.
namespace Windows {

void setRun(DataModule *module, QWidget *owner);
DataModule *module();
QWidget *owner();

template <typename Window>
Window *get()
{
    static QPointer<Window> window;
    if (!window)
        window = new Window(module(), owner());
    return window;
}

} // namespace Windows
