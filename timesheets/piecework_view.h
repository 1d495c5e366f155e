#pragma once

#include <QString>

// The four views of the piecework timesheet, one per command of the main menu "Табель": which
// rows the grid lists, under which caption, and which columns it shows.
struct PieceworkView {
    // The mode values the plant's other software knows.
    enum Mode { Piecework = 9, Household = 14, AveragePiecework = 15, General = 17 };

    Mode mode = Piecework;

    // "Табель сделка (27)", "Табель хоз. работы (27)", "Табель ср. сдельная (27)", "Общий табель (27)".
    QString caption() const;
    // The operation kind of the entries the view lists: 7777, 7778, or 0 for the other views.
    int kind() const;
    // The day/night column: the household-work and average-piecework views.
    bool showsNight() const { return mode == Household || mode == AveragePiecework; }
    // "Час (р.)": every view but the general one.
    bool showsAverage() const { return mode != General; }
    // The name column takes the width of the columns the view hides (30 for the day/night
    // column, 66 for "Час (р.)"), so that the grid keeps its width: 238, 208, 208 or 304; and 20
    // more for each day column hidden past the end of a month of `days` days.
    int nameWidth(int days = 31) const;
};
