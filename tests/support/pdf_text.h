#pragma once

#include <QList>
#include <QSizeF>
#include <QString>
#include <QStringList>

// A PDF's words with their positions, as poppler's pdftotext -bbox reads them: the tests check
// what a printed report shows and where, from the file itself.

// Every report prints inside margins of this width; positions are given from their corner.
constexpr double ReportMarginMm = 10.0;

// One word of a PDF page, in millimetres from the top left corner of the printable area.
struct PdfWord {
    int page = 0; // 1-based; 0: not found
    QString text;
    double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    double centre() const { return (x0 + x1) / 2; }
};

struct PdfText {
    QList<QSizeF> pages; // paper sizes in mm
    QList<PdfWord> words;

    int pageCount() const { return int(pages.size()); }
    QList<PdfWord> onPage(int page) const;
    // The words of a page gathered into lines (same top within 1 mm), top to bottom, each line
    // left to right.
    QList<QList<PdfWord>> lineWords(int page) const;
    // Those lines as texts, the words joined by a blank.
    QStringList lines(int page) const;
    // The top of each of those lines.
    QList<double> lineTops(int page) const;
    QStringList allLines() const;
    // The line holding that word, first or last occurrence over all pages.
    QList<PdfWord> lineOf(const QString &text, bool last = false) const;
    QList<PdfWord> findAll(const QString &text) const;
    // The first word with that text (on that page, when one is given).
    PdfWord find(const QString &text, int page = 0) const;
    bool contains(const QString &text) const { return find(text).page != 0; }
};

// Runs pdftotext on the file; ends the test run when that fails.
PdfText readPdf(const QString &path);
