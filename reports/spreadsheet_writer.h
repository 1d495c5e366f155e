#pragma once

#include <QString>
#include <memory>

// Puts the program's tabular exports into a new workbook and shows it in the workstation's
// spreadsheet application. Every export uses it the same way: openWorkbook; if that gives -1
// the export stops (the writer has already told the user why); optionally setVisible(false);
// the heading cells and then one row per record; finally setVisible(true).
//
// The workbook is built in memory while the cells are written. Making it visible saves it as a
// new .xlsx file in the user's export folder and opens that file in the spreadsheet
// application; from then on the workbook is the user's, to edit and save where they like.
// Sheet, column and row numbers count from 1; a new workbook has sheet 1 only.
class SpreadsheetWriter {
public:
    // exportName says what the export is and begins the saved file's name ("Цены" gives
    // "Цены 2026-12-10 14-03-05.xlsx").
    explicit SpreadsheetWriter(const QString &exportName = QString());
    ~SpreadsheetWriter();
    SpreadsheetWriter(const SpreadsheetWriter &) = delete;
    SpreadsheetWriter &operator=(const SpreadsheetWriter &) = delete;

    // 1 when a new empty workbook is ready, -1 (after an error box) when the workbook cannot be
    // created. A workbook of an earlier call that was never made visible is dropped.
    int openWorkbook();
    // Always 1. Showing saves the workbook and opens it in the spreadsheet application; where
    // there is none, or it does not start, an error box says where the file is and offers to open
    // its folder. A workbook already shown and not written to since is not shown again. Nothing
    // happens before the first successful openWorkbook.
    int setVisible(bool visible);
    // 1 on success or when text is empty (the cell is left as it was), -1 after an error box.
    // A text that reads as a number is stored as a number, unless the cell has the text format.
    int writeCell(int sheet, int column, int row, const QString &text);
    // As writeCell; asText gives the cell the text format first, so that the value stays text;
    // autoFit fits the column's width to its contents so far; bold sets or clears bold.
    int writeFormattedCell(int sheet, int column, int row, const QString &text, bool asText,
                           bool autoFit, bool bold);

    QString exportName() const { return m_exportName; }
    void setExportName(const QString &exportName);

    // The file the last shown workbook was saved to; empty before the first save.
    QString savedFile() const { return m_savedFile; }

    // Folder the workbooks are saved in: "Табель" in the user's documents folder (the home
    // folder when the desktop names no documents folder), unless another one was set.
    static QString folder();
    // An empty folder restores the default.
    static void setFolder(const QString &folder);

private:
    struct Workbook;

    bool sheetExists(int sheet) const;
    QString positionMessage(int sheet, int column, int row) const;
    void save();

    QString m_exportName;
    QString m_savedFile;
    std::unique_ptr<Workbook> m_book;
};
