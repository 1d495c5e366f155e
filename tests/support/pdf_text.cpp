#include "pdf_text.h"

#include <QProcess>
#include <QRegularExpression>

#include <algorithm>

namespace {

constexpr double MmPerPoint = 25.4 / 72.0;

QString unescape(QString s)
{
    s.replace(QLatin1String("&lt;"), QLatin1String("<"));
    s.replace(QLatin1String("&gt;"), QLatin1String(">"));
    s.replace(QLatin1String("&quot;"), QLatin1String("\""));
    s.replace(QLatin1String("&apos;"), QLatin1String("'"));
    s.replace(QLatin1String("&amp;"), QLatin1String("&"));
    return s;
}

} // namespace

QList<PdfWord> PdfText::onPage(int page) const
{
    QList<PdfWord> out;
    for (const PdfWord &w : words)
        if (w.page == page)
            out << w;
    return out;
}

QList<QList<PdfWord>> PdfText::lineWords(int page) const
{
    QList<PdfWord> ws = onPage(page);
    std::sort(ws.begin(), ws.end(), [](const PdfWord &a, const PdfWord &b) { return a.y0 < b.y0; });
    QList<QList<PdfWord>> lines;
    for (const PdfWord &w : ws) {
        if (lines.isEmpty() || w.y0 - lines.last().first().y0 > 1.0)
            lines << QList<PdfWord>();
        lines.last() << w;
    }
    for (QList<PdfWord> &line : lines)
        std::sort(line.begin(), line.end(), [](const PdfWord &a, const PdfWord &b) { return a.x0 < b.x0; });
    return lines;
}

QStringList PdfText::lines(int page) const
{
    QStringList out;
    for (const QList<PdfWord> &line : lineWords(page)) {
        QStringList texts;
        for (const PdfWord &w : line)
            texts << w.text;
        out << texts.join(QLatin1Char(' '));
    }
    return out;
}

QList<double> PdfText::lineTops(int page) const
{
    QList<double> tops;
    for (const QList<PdfWord> &line : lineWords(page)) {
        double top = line.first().y0;
        for (const PdfWord &w : line)
            top = std::min(top, w.y0);
        tops << top;
    }
    return tops;
}

QStringList PdfText::allLines() const
{
    QStringList out;
    for (int p = 1; p <= pageCount(); ++p)
        out << lines(p);
    return out;
}

QList<PdfWord> PdfText::lineOf(const QString &text, bool last) const
{
    QList<PdfWord> found;
    for (int p = 1; p <= pageCount(); ++p)
        for (const QList<PdfWord> &line : lineWords(p))
            for (const PdfWord &w : line)
                if (w.text == text) {
                    if (!last)
                        return line;
                    found = line;
                }
    return found;
}

QList<PdfWord> PdfText::findAll(const QString &text) const
{
    QList<PdfWord> out;
    for (const PdfWord &w : words)
        if (w.text == text)
            out << w;
    return out;
}

PdfWord PdfText::find(const QString &text, int page) const
{
    for (const PdfWord &w : words)
        if (w.text == text && (page == 0 || w.page == page))
            return w;
    return PdfWord();
}

PdfText readPdf(const QString &path)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), path, QStringLiteral("-")});
    if (!p.waitForFinished(120000) || p.exitCode() != 0)
        qFatal("pdftotext failed on %s: %s", qPrintable(path), p.readAllStandardError().constData());
    const QString html = QString::fromUtf8(p.readAllStandardOutput());
    static const QRegularExpression tag(QStringLiteral(
        R"RX(<page width="([\d.]+)" height="([\d.]+)">|<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)RX"));
    PdfText out;
    auto it = tag.globalMatch(html);
    while (it.hasNext()) {
        const auto m = it.next();
        if (!m.captured(1).isEmpty()) {
            out.pages << QSizeF(m.captured(1).toDouble() * MmPerPoint, m.captured(2).toDouble() * MmPerPoint);
            continue;
        }
        PdfWord w;
        w.page = int(out.pages.size());
        w.x0 = m.captured(3).toDouble() * MmPerPoint - ReportMarginMm;
        w.y0 = m.captured(4).toDouble() * MmPerPoint - ReportMarginMm;
        w.x1 = m.captured(5).toDouble() * MmPerPoint - ReportMarginMm;
        w.y1 = m.captured(6).toDouble() * MmPerPoint - ReportMarginMm;
        w.text = unescape(m.captured(7));
        out.words << w;
    }
    return out;
}
