#include "reports/report_text_cache.h"

#include <QTextLayout>

#include <algorithm>
#include <cmath>

namespace {
constexpr double UnitsPerMm = 100.0;
constexpr double MmPerPoint = 25.4 / 72.0;
} // namespace

QFont ReportTextCache::unitFont(const ReportFont &font)
{
    QFont f(font.family);
    f.setPixelSize(std::max(1, qRound(font.size * MmPerPoint * UnitsPerMm)));
    f.setBold(font.bold);
    // Hinting would bend advances towards a screen's pixel grid; pages must measure alike everywhere.
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

int ReportTextCache::fontId(const ReportFont &font)
{
    // A report has a handful of fonts: a look along the list beats hashing a key.
    for (size_t i = 0; i < m_fonts.size(); ++i) {
        const ReportFont &k = m_fonts[i].key;
        if (k.size == font.size && k.bold == font.bold && k.family == font.family)
            return int(i);
    }
    const QFont f = unitFont(font);
    m_fonts.push_back(Font{font, f, QFontMetricsF(f), {}});
    return int(m_fonts.size()) - 1;
}

const QFont &ReportTextCache::font(int fontId) const
{
    return m_fonts[size_t(fontId)].font;
}

const QFontMetricsF &ReportTextCache::metrics(int fontId) const
{
    return m_fonts[size_t(fontId)].metrics;
}

int ReportTextCache::textId(int fontId, const QString &text)
{
    if (text.isEmpty())
        return -1;
    QHash<QString, int> &texts = m_fonts[size_t(fontId)].texts;
    const auto found = texts.constFind(text);
    if (found != texts.constEnd())
        return *found;
    const int id = int(m_texts.size());
    m_texts.push_back(Entry{text, fontId, -1, false, {}});
    texts.insert(text, id);
    return id;
}

double ReportTextCache::width(int textId)
{
    Entry &e = m_texts[size_t(textId)];
    if (e.width < 0)
        e.width = m_fonts[size_t(e.font)].metrics.horizontalAdvance(e.text);
    return e.width;
}

const QList<QGlyphRun> &ReportTextCache::glyphs(int textId)
{
    Entry &e = m_texts[size_t(textId)];
    if (!e.shaped) {
        // One line, shaped as QPainter::drawText shapes it, moved so that it starts at its baseline.
        QTextLayout layout(e.text, m_fonts[size_t(e.font)].font);
        layout.setCacheEnabled(true);
        layout.beginLayout();
        QTextLine line = layout.createLine();
        line.setNumColumns(int(e.text.size()));
        line.setPosition(QPointF(0, 0));
        layout.endLayout();
        const double ascent = line.ascent();
        e.glyphs = line.glyphRuns();
        for (QGlyphRun &run : e.glyphs) {
            QList<QPointF> positions = run.positions();
            for (QPointF &p : positions)
                p.ry() -= ascent;
            run.setPositions(positions);
        }
        e.shaped = true;
    }
    return e.glyphs;
}

int ReportTextCache::visiblePart(int textId, double widthUnits)
{
    if (width(textId) <= widthUnits)
        return textId;
    const std::pair<int, qint64> key(textId, qint64(std::floor(widthUnits * 64)));
    const auto found = m_visible.constFind(key);
    if (found != m_visible.constEnd())
        return *found;
    const Entry &e = m_texts[size_t(textId)];
    const QFontMetricsF &fm = m_fonts[size_t(e.font)].metrics;
    const QString text = e.text;
    qsizetype n = 0;
    while (n < text.size() && fm.horizontalAdvance(text.left(n)) < widthUnits)
        ++n;
    const int part = this->textId(e.font, text.left(n));
    m_visible.insert(key, part);
    return part;
}
