#pragma once

#include <QString>

// The queries of the piecework timesheet, as the plant's other software knows them. Each
// timesheet query takes i_month, i_year and pairs of dates: d_date1, d_date3, d_date5 and d_date7
// the first day of the next month, d_date2, d_date4, d_date6 and d_date8 the month's first day.
namespace PieceworkTimesheetStatements {

// H_Tabel0: per worker, his rows kept from production records (all shifts), with the hours,
// earnings and earnings per hour of his records of the month.
QString piecework();
// H_Tabel7777 and H_Tabel7778: per worker and day/night flag ("дн."/"ноч." in s_night), his rows
// of that kind of entries, with the hours, amount and average price per hour of those entries.
QString household(int kind);
// H_Tabel_all: per worker, all his rows, with production plus entry hours and earnings.
QString general();

// q_year: the years that have timesheet rows, ascending.
QString years();

// The plant's totals of the month, each one value price, empty when nothing matches: piecework
// earnings (d_date1, d_date2), the entries of one kind (d_date1, d_date2), and the sum of the
// piecework and all entries (d_date1 to d_date4), where a part without rows counts as 0.
QString pieceworkTotal();
QString householdTotal(int kind);
QString allTotal();

// The day query dt of the rebuild, parameter data: the hours of each worker per kind and
// day/night flag on that date, with the other software's leading blank and closing semicolon.
QString day();

} // namespace PieceworkTimesheetStatements
