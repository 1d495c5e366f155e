#include "reports/spreadsheet_column_width.h"

#include <QHash>
#include <algorithm>
#include <cmath>

namespace {

// Glyph advances of Calibri 11 at 96 dpi, in pixels, grouped by width and rounded up a little.
struct WidthGroup {
    double pixels;
    const char16_t *characters;
};

const WidthGroup groups[] = {
    {13.5, u"W@ЖЩ№—"},
    {12.4, u"mMМШЮщ"},
    {11.4, u"w%Ыжшю"},
    {10.4, u"NOQ&ИЙОФмфы"},
    {9.3, u"ADGHUVАДЛНПЦЪ"},
    {8.3, u"bdehnopquBCKPRXБВКРСУХЧЬЭЯбдеёийлнопрцъ"},
    {7.25, u"0123456789agkvxyEFSTYZ#$*+<=>?^_|~ГЕЁЗТавктухчьэя«»–"},
    {6.2, u"cszL\"/\\гзс"},
    {5.2, u"frtJ!()-[]{}"},
    {4.1, u"ijlI,.:;`"},
    {3.1, u"' \u00a0"},
};

// Characters not in the table (other alphabets, symbols) count as a wide letter.
constexpr double OtherCharacter = 9.3;
// Bold glyphs of the font are this much wider on average.
constexpr double BoldFactor = 1.07;
// Headroom for a workstation that shows the font with a substitute of slightly different widths.
constexpr double SubstituteFactor = 1.1;
// Cell margins and grid line, in pixels.
constexpr double Padding = 7.0;
// The file's unit: a digit of the default font is 7 pixels wide, and a column of width w is
// 7 * w + 5 pixels wide on the screen.
constexpr double DigitPixels = 7.0;
constexpr double ColumnExtraPixels = 5.0;

const QHash<char16_t, double> &widthTable()
{
    static const QHash<char16_t, double> table = [] {
        QHash<char16_t, double> t;
        for (const WidthGroup &g : groups)
            for (const char16_t *c = g.characters; *c; ++c)
                if (!t.contains(*c))
                    t.insert(*c, g.pixels);
        return t;
    }();
    return table;
}

double characterPixels(QChar c)
{
    if (c.unicode() < 0x20 || c.category() == QChar::Other_Control)
        return 0.0;
    if (c.isLowSurrogate())   // the high surrogate of the pair already counted the character
        return 0.0;
    return widthTable().value(c.unicode(), OtherCharacter);
}

} // namespace

double SpreadsheetColumnWidth::fitting(const QString &text, bool bold)
{
    double pixels = 0.0;
    for (const QChar c : text)
        pixels += characterPixels(c);
    if (bold)
        pixels *= BoldFactor;
    pixels = pixels * SubstituteFactor + Padding;
    double width = (pixels - ColumnExtraPixels) / DigitPixels;
    width = std::ceil(width * 100.0) / 100.0;
    return std::min(std::max(width, 1.0), Maximum);
}
