#include "timesheets/busy_command.h"

#include <QApplication>
#include <QWidget>

BusyCommand::BusyCommand(bool &busy, const QList<QWidget *> &controls) : m_busy(busy), m_controls(controls)
{
    m_busy = true;
    for (QWidget *w : m_controls)
        w->setEnabled(false);
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

BusyCommand::~BusyCommand()
{
    QApplication::restoreOverrideCursor();
    QCoreApplication::processEvents();
    for (QWidget *w : m_controls)
        w->setEnabled(true);
    m_busy = false;
}

void BusyCommand::repaint()
{
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}
