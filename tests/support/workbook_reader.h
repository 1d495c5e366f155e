#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QPair>
#include <QString>
#include <QStringList>

// What a saved .xlsx workbook holds, read back from the package's XML without the program's own
// writer: the tests check the file, not what the writer believes it wrote.

// One member of a zip package, through its central directory; empty when it is missing.
QByteArray zipMember(const QString &zipPath, const QString &member);

struct WorkbookCell {
    QString type;   // "n" number, "s" shared text, "inlineStr"/"str" text, "" blank
    QString value;  // the number as stored, or the text
    bool bold = false;
    bool textFormat = false;

    bool isNumber() const { return type == u"n"; }
};

// Sheet 1 of a workbook.
struct Workbook {
    using Cells = QMap<QPair<int, int>, WorkbookCell>;   // (row, column), from 1

    bool ok = false;
    QString sheetName;
    Cells cells;                 // every cell element, blanks that only carry a format included
    QMap<int, double> widths;    // column -> width, fitted columns only

    WorkbookCell at(int row, int column) const { return cells.value({row, column}); }
    // The cells that hold a value.
    Cells filled() const;
    // The filled cells as rows of texts, each row as long as its last filled cell; numbers are
    // marked "#" in front of their stored value.
    QList<QStringList> rowTexts() const;
};

Workbook readWorkbook(const QString &path);
