#pragma once

#include <QLineF>
#include <QList>
#include <QRectF>
#include <QRgb>
#include <Qt>

// One thing drawn on a page, kept small (48 bytes): a long report holds many of them.
// Coordinates are millimetres from the top left corner of the printable area, kept as exactly as
// they were laid out: a text's position a hundred-thousandth of a millimetre off may already move
// it into another column of a PDF reader's text.
struct ReportPrimitive {
    enum Type : quint8 { Fill, Line, Text };
    double x = 0, y = 0, w = 0, h = 0; // Fill: the area; Text: the box the text is clipped to
    QRgb color = 0xFF000000;           // fill, line or text colour
    int text = -1;           // Text: the text's number in the document's ReportTextCache; -1: empty
    float lineWidth = 0.2f;  // Line
    quint16 alignment = Qt::AlignLeft | Qt::AlignTop; // Text
    Type type = Fill;

    QRectF rect() const { return QRectF(x, y, w, h); }
    // Line: its ends.
    QLineF line() const { return QLineF(x, y, w, h); }
    void setRect(const QRectF &r) { x = r.x(); y = r.y(); w = r.width(); h = r.height(); }
    void setLine(const QLineF &l) { x = l.x1(); y = l.y1(); w = l.x2(); h = l.y2(); }
};
static_assert(sizeof(ReportPrimitive) == 48, "page records stay small");

// A page: what is drawn on it, in the order it is drawn.
using ReportPage = QList<ReportPrimitive>;
