#include "timesheets/piecework_view.h"

#include "db/plant.h"

QString PieceworkView::caption() const
{
    switch (mode) {
    case Household: return QStringLiteral("Табель хоз. работы (27)");
    case AveragePiecework: return QStringLiteral("Табель ср. сдельная (27)");
    case General: return QStringLiteral("Общий табель (27)");
    case Piecework: break;
    }
    return QStringLiteral("Табель сделка (27)");
}

int PieceworkView::kind() const
{
    switch (mode) {
    case Household: return Plant::HouseholdWorkKind;
    case AveragePiecework: return Plant::AveragePieceworkKind;
    default: return 0;
    }
}

int PieceworkView::nameWidth(int days) const
{
    const int nightWidth = 30;
    const int averageWidth = 66;
    int width = 208;
    if (!showsNight())
        width += nightWidth;
    if (!showsAverage())
        width += averageWidth;
    return width + 20 * (31 - days);
}
