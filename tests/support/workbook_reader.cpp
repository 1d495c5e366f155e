#include "workbook_reader.h"

#include <QFile>
#include <QXmlStreamReader>

#include <zlib.h>

namespace {

quint32 le32(const QByteArray &d, qsizetype at)
{
    return quint32(quint8(d[at])) | quint32(quint8(d[at + 1])) << 8
        | quint32(quint8(d[at + 2])) << 16 | quint32(quint8(d[at + 3])) << 24;
}

quint16 le16(const QByteArray &d, qsizetype at)
{
    return quint16(quint8(d[at]) | quint8(d[at + 1]) << 8);
}

QPair<int, int> cellAddress(const QString &ref)
{
    int column = 0;
    int i = 0;
    for (; i < ref.size() && ref[i].isLetter(); ++i)
        column = column * 26 + (ref[i].unicode() - 'A' + 1);
    return {ref.mid(i).toInt(), column};
}

} // namespace

QByteArray zipMember(const QString &zipPath, const QString &member)
{
    QFile f(zipPath);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const QByteArray d = f.readAll();
    qsizetype end = d.size() - 22;
    while (end >= 0 && le32(d, end) != 0x06054b50)
        --end;
    if (end < 0)
        return {};
    const int entries = le16(d, end + 10);
    qsizetype at = le32(d, end + 16);
    for (int i = 0; i < entries && le32(d, at) == 0x02014b50; ++i) {
        const int method = le16(d, at + 10);
        const quint32 packed = le32(d, at + 20);
        const quint32 size = le32(d, at + 24);
        const int nameLength = le16(d, at + 28);
        const QString name = QString::fromUtf8(d.mid(at + 46, nameLength));
        const qsizetype local = le32(d, at + 42);
        at += 46 + nameLength + le16(d, at + 30) + le16(d, at + 32);
        if (name != member)
            continue;
        const qsizetype data = local + 30 + le16(d, local + 26) + le16(d, local + 28);
        if (method == 0)
            return d.mid(data, size);
        QByteArray out(qsizetype(size), '\0');
        z_stream z{};
        if (inflateInit2(&z, -MAX_WBITS) != Z_OK)
            return {};
        z.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(d.constData() + data));
        z.avail_in = packed;
        z.next_out = reinterpret_cast<Bytef *>(out.data());
        z.avail_out = size;
        const int result = inflate(&z, Z_FINISH);
        inflateEnd(&z);
        return result == Z_STREAM_END ? out : QByteArray();
    }
    return {};
}

Workbook::Cells Workbook::filled() const
{
    Cells out;
    for (auto it = cells.cbegin(); it != cells.cend(); ++it)
        if (!it->type.isEmpty())
            out.insert(it.key(), it.value());
    return out;
}

QList<QStringList> Workbook::rowTexts() const
{
    QList<QStringList> rows;
    const Cells values = filled();
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        const auto [row, column] = it.key();
        while (rows.size() < row)
            rows << QStringList();
        QStringList &texts = rows[row - 1];
        while (texts.size() < column)
            texts << QString();
        texts[column - 1] = it->isNumber() ? u'#' + it->value : it->value;
    }
    return rows;
}

Workbook readWorkbook(const QString &path)
{
    Workbook p;
    const QByteArray sheetXml = zipMember(path, QStringLiteral("xl/worksheets/sheet1.xml"));
    const QByteArray stylesXml = zipMember(path, QStringLiteral("xl/styles.xml"));
    const QByteArray workbookXml = zipMember(path, QStringLiteral("xl/workbook.xml"));
    if (sheetXml.isEmpty() || stylesXml.isEmpty() || workbookXml.isEmpty())
        return p;

    QStringList shared;
    QXmlStreamReader sst(zipMember(path, QStringLiteral("xl/sharedStrings.xml")));
    while (!sst.atEnd()) {
        if (sst.readNext() == QXmlStreamReader::StartElement && sst.name() == u"si")
            shared << QString();
        else if (sst.isStartElement() && sst.name() == u"t")
            shared.last() += sst.readElementText();
    }

    QList<bool> fontBold;
    QList<QPair<int, int>> xfs;   // numFmtId, fontId
    QMap<int, QString> numFmts;
    QXmlStreamReader styles(stylesXml);
    bool inCellXfs = false;
    while (!styles.atEnd()) {
        styles.readNext();
        if (styles.isStartElement()) {
            const auto a = styles.attributes();
            if (styles.name() == u"numFmt")
                numFmts.insert(a.value(QLatin1String("numFmtId")).toInt(), a.value(QLatin1String("formatCode")).toString());
            else if (styles.name() == u"font")
                fontBold << false;
            else if (styles.name() == u"b" && !fontBold.isEmpty())
                fontBold.last() = a.value(QLatin1String("val")) != u"0";
            else if (styles.name() == u"cellXfs")
                inCellXfs = true;
            else if (styles.name() == u"xf" && inCellXfs)
                xfs.append(qMakePair(a.value(QLatin1String("numFmtId")).toInt(), a.value(QLatin1String("fontId")).toInt()));
        } else if (styles.isEndElement() && styles.name() == u"cellXfs") {
            inCellXfs = false;
        }
    }

    QXmlStreamReader book(workbookXml);
    while (!book.atEnd())
        if (book.readNext() == QXmlStreamReader::StartElement && book.name() == u"sheet" && p.sheetName.isEmpty())
            p.sheetName = book.attributes().value(QLatin1String("name")).toString();

    QXmlStreamReader sheet(sheetXml);
    QPair<int, int> current;
    while (!sheet.atEnd()) {
        sheet.readNext();
        if (!sheet.isStartElement())
            continue;
        const auto a = sheet.attributes();
        if (sheet.name() == u"col") {
            for (int c = a.value(QLatin1String("min")).toInt(); c <= a.value(QLatin1String("max")).toInt(); ++c)
                p.widths.insert(c, a.value(QLatin1String("width")).toDouble());
        } else if (sheet.name() == u"c") {
            current = cellAddress(a.value(QLatin1String("r")).toString());
            WorkbookCell cell;
            cell.type = a.value(QLatin1String("t")).toString();
            if (cell.type.isEmpty())
                cell.type = QStringLiteral("n");
            const int xf = a.value(QLatin1String("s")).toInt();
            if (xf >= 0 && xf < xfs.size()) {
                const int fmt = xfs[xf].first;
                cell.textFormat = fmt == 49 || numFmts.value(fmt) == u"@";
                cell.bold = fontBold.value(xfs[xf].second);
            }
            p.cells.insert(current, cell);
        } else if (sheet.name() == u"v" || sheet.name() == u"t") {
            WorkbookCell &cell = p.cells[current];
            const QString v = sheet.readElementText();
            cell.value = cell.type == u"s" ? shared.value(v.toInt()) : v;
        }
    }
    // A cell element without a value is a blank that only carries its format.
    for (auto &cell : p.cells)
        if (cell.value.isNull() && cell.type == u"n")
            cell.type.clear();
    p.ok = !sheet.hasError() && !styles.hasError();
    return p;
}
