#pragma once

#include <QList>

class QWidget;

// While a long command of a timesheet window runs (a rebuild, an export), the window's other
// commands and its lists are off and the cursor is busy; `busy` tells the window's handlers to
// start nothing. The command lets pending paint events through so that its progress shows; the
// user's input waits, and what came meanwhile reaches the disabled controls and is dropped before
// they come back, so a second click cannot start the command again.
class BusyCommand {
public:
    BusyCommand(bool &busy, const QList<QWidget *> &controls);
    ~BusyCommand();
    BusyCommand(const BusyCommand &) = delete;
    BusyCommand &operator=(const BusyCommand &) = delete;

    // Lets the window repaint its progress now.
    static void repaint();

private:
    bool &m_busy;
    QList<QWidget *> m_controls;
};
