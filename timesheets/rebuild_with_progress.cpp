#include "timesheets/rebuild_with_progress.h"

#include "ui/messages.h"
#include "timesheets/busy_command.h"

#include <QProgressBar>

bool rebuildWithProgress(MonthRebuild &rebuild, const TimesheetMonth &month, QProgressBar *bar)
{
    bar->show();
    bar->setRange(1, month.days());
    bar->setValue(1);
    const bool done = Messages::guard(QStringLiteral("Не удалось перестроить табель."), [&] {
        rebuild.run(month, [bar](int day) {
            bar->setValue(day);
            BusyCommand::repaint();
        });
    });
    bar->hide();
    return done;
}
