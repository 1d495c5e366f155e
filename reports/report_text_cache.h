#pragma once

#include "reports/report_layout.h"

#include <QFont>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QHash>
#include <QList>
#include <QString>

#include <utility>
#include <vector>

// The texts of one report, each kept once per font: a long report prints the same marks, names
// and numbers over and over, and shaping a text is what painting a page costs most. A text is
// measured and shaped the first time it is needed and reused for every page it is printed on.
// Sizes are in hundredths of a millimetre, the unit pages are drawn in. Needs a QGuiApplication.
class ReportTextCache {
public:
    // The number of a font of the report.
    int fontId(const ReportFont &font);
    const QFont &font(int fontId) const;
    const QFontMetricsF &metrics(int fontId) const;

    // The number of a text in a font: the same text in the same font has the same number; -1 for
    // an empty text, which prints nothing.
    int textId(int fontId, const QString &text);
    const QString &text(int textId) const { return m_texts[size_t(textId)].text; }
    int fontOf(int textId) const { return m_texts[size_t(textId)].font; }
    // The advance of the text, measured once.
    double width(int textId);
    // The shaped glyphs, positioned from the start of the baseline, shaped once.
    const QList<QGlyphRun> &glyphs(int textId);
    // The part of the text that starts inside a box that wide: characters clipped off entirely are
    // neither drawn nor found in a PDF's text. -1 when nothing of it starts inside.
    int visiblePart(int textId, double widthUnits);

    // The font as pages are drawn: sized in hundredths of a millimetre, without hinting.
    static QFont unitFont(const ReportFont &font);

private:
    struct Entry {
        QString text;
        int font = 0;
        double width = -1; // not measured yet
        bool shaped = false;
        QList<QGlyphRun> glyphs;
    };
    struct Font {
        ReportFont key;
        QFont font;
        QFontMetricsF metrics;
        QHash<QString, int> texts;
    };

    std::vector<Font> m_fonts;
    std::vector<Entry> m_texts;
    QHash<std::pair<int, qint64>, int> m_visible; // (text, box width in 1/64 units) -> visible part
};
