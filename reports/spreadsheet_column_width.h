#pragma once

#include <QString>

// Column widths for the workbooks of the exports. The spreadsheet application fits a column
// to its contents only when it measures the texts itself, which a saved file cannot ask of it,
// so the exports measure them here with the glyph widths of the workbook's default font
// (Calibri 11; Carlito on Linux has the same widths). A width is in the file's own unit, the
// width of one digit of that font.
namespace SpreadsheetColumnWidth {

// Widest column the file format allows.
constexpr double Maximum = 255.0;

// Width of a column that shows the text in full, with the cell's margins.
double fitting(const QString &text, bool bold);

} // namespace SpreadsheetColumnWidth
