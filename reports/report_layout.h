#pragma once

#include "reports/report_context.h"

#include <QColor>
#include <QList>
#include <QMarginsF>
#include <QPageLayout>
#include <QString>
#include <QVariant>

#include <functional>
#include <vector>

// The declaration of a banded report, written as data: bands with their printed items, all
// positions and sizes in millimetres from the left edge of the printable area and from the top
// of the band. ReportEngine turns a layout and a data set into pages.
//
// A layout reads like this:
//
//   ReportBand detail(4.2, {
//       ReportItem::field("vid", 44.4, 0, 38.6).centred(),
//       ReportItem::field("summa", 138.1, 0, 23.5).masked("#0.000").centred(),
//   });
//   ReportBand footer(5.3, {
//       ReportItem::sum("summa", 137.8, 1.1, 23.8).masked("#0.00").bold().filled(0xEFEFEF),
//   });
//   layout.groups << ReportGroup::by("nom", header, footer);

// Sides of a band or an item that carry a rule.
namespace ReportRules {
enum : int { None = 0, Top = 1, Bottom = 2, Left = 4, Right = 8, TopBottom = 3, LeftRight = 12, All = 15 };
}

struct ReportFont {
    QString family = QStringLiteral("Arial");
    double size = 9; // points
    bool bold = false;
};

// One printed item of a band.
struct ReportItem {
    enum Kind {
        Text,       // a static text; the caller may change it by name before generating
        Field,      // a column's value of the current row
        Computed,   // a value computed from the current row and the band's sums
        Sum,        // the sum of a column or of a value of each row
        PageNumber, // the page number; "%1" in the text is the page, "%2" the number of pages
    };
    enum SumRange {
        SinceBandPrinted, // reset after each printing of the band: a group footer sums its group
        WholeReport,      // never reset: runs over all rows printed so far
    };
    using Compute = std::function<QVariant(const ReportContext &)>;
    using RowValue = ReportContext::RowValue;

    Kind kind = Text;
    QString name;   // object name, so that the caller can find a static text ("QRLabel1")
    QString text;   // Text: the text; PageNumber: the format
    QString column; // Field, Sum of a column
    Compute compute;
    RowValue summed; // Sum of a value of each row
    SumRange range = SinceBandPrinted;

    double left = 0;
    double top = 0;
    double width = 0;  // 0: the item sizes itself to its text; otherwise clipped to this width
    double height = 0; // 0: the height of one line of its font
    ReportFont font;
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignTop;
    QString mask;          // "#0", "#0.00", "#0.000"; empty: the value in its plain form
    bool asNumber = false; // texts that read as numbers print as numbers
    bool trimmed = true;   // Field: leading and trailing blanks of texts are not printed
    QColor background;     // invalid: transparent
    QColor color = Qt::black;
    int rules = ReportRules::None;
    double ruleWidth = 0.2; // millimetres

    static ReportItem label(const QString &text, double left, double top, double width = 0);
    static ReportItem field(const QString &column, double left, double top, double width = 0);
    static ReportItem computed(Compute compute, double left, double top, double width);
    static ReportItem sum(const QString &column, double left, double top, double width);
    static ReportItem sum(RowValue value, double left, double top, double width);
    static ReportItem pageNumber(double left, double top, double width,
                                 const QString &format = QStringLiteral("%1"));

    // Builders, so that a layout stays one declaration per item.
    ReportItem &named(const QString &objectName) { name = objectName; return *this; }
    ReportItem &fontFamily(const QString &family) { font.family = family; return *this; }
    ReportItem &size(double points) { font.size = points; return *this; }
    ReportItem &bold(bool on = true) { font.bold = on; return *this; }
    ReportItem &centred() { return horizontal(Qt::AlignHCenter); }
    ReportItem &rightAligned() { return horizontal(Qt::AlignRight); }
    ReportItem &leftAligned() { return horizontal(Qt::AlignLeft); }
    ReportItem &middle() { alignment = (alignment & Qt::AlignHorizontal_Mask) | Qt::AlignVCenter; return *this; }
    ReportItem &masked(const QString &numberMask) { mask = numberMask; return *this; }
    ReportItem &number() { asNumber = true; return *this; }
    ReportItem &untrimmed() { trimmed = false; return *this; }
    ReportItem &filled(const QColor &colour) { background = colour; return *this; }
    ReportItem &coloured(const QColor &colour) { color = colour; return *this; }
    ReportItem &ruled(int sides, double lineWidth = 0.2) { rules = sides; ruleWidth = lineWidth; return *this; }
    ReportItem &tall(double mm) { height = mm; return *this; }
    ReportItem &overWholeReport() { range = WholeReport; return *this; }

private:
    ReportItem &horizontal(Qt::Alignment a)
    {
        alignment = (alignment & Qt::AlignVertical_Mask) | a;
        return *this;
    }
};

struct ReportBand {
    double height = 0; // millimetres
    QList<ReportItem> items;
    QColor background; // invalid: none; fills the printable width
    int rules = ReportRules::None;
    double ruleWidth = 0.2;
    // The band is printed only where the rest of the page also has room for this much more
    // (for instance the height of the group footer that must follow a group header);
    // otherwise it starts a new page.
    double keepSpaceAfter = 0;
    // Child bands, printed right after this band whenever it is printed and kept on its page.
    std::vector<ReportBand> children;

    ReportBand() = default;
    explicit ReportBand(double heightMm, const QList<ReportItem> &bandItems = {})
        : height(heightMm), items(bandItems)
    {
    }

    bool isEmpty() const { return height <= 0 && items.isEmpty() && children.empty(); }
    // Height of the band together with its child bands.
    double totalHeight() const;

    ReportBand &filled(const QColor &colour) { background = colour; return *this; }
    ReportBand &ruled(int sides, double lineWidth = 0.2) { rules = sides; ruleWidth = lineWidth; return *this; }
    ReportBand &keepingSpace(double mm) { keepSpaceAfter = mm; return *this; }
    ReportBand &withChild(const ReportBand &child) { children.push_back(child); return *this; }
};

// A group: its header is printed before its first row, its footer after its last row. A group
// with an expression starts anew where the expression's value changes (and wherever an outer
// group starts anew); a group without one is printed once around the whole report.
struct ReportGroup {
    using Key = std::function<QVariant(const ReportRow &)>;

    QString keyColumn;
    Key key;
    ReportBand header;
    ReportBand footer;

    bool hasExpression() const { return !keyColumn.isEmpty() || bool(key); }
    QVariant keyOf(const ReportRow &row) const;

    static ReportGroup once(const ReportBand &header, const ReportBand &footer = {});
    static ReportGroup by(const QString &column, const ReportBand &header, const ReportBand &footer = {});
    static ReportGroup by(Key key, const ReportBand &header, const ReportBand &footer = {});
};

// A whole report: page setup and bands. Pages are A4; margins in millimetres.
class ReportLayout {
public:
    QString title; // names the print job, the preview window and the suggested PDF file
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    QMarginsF margins{10, 10, 10, 10};

    ReportBand pageHeader;   // top of every page
    ReportBand columnHeader; // at the start and again at the top of every page, under the page header
    QList<ReportGroup> groups; // outermost first
    ReportBand detail;         // once per row
    ReportBand pageFooter;     // bottom of every page

    // Width and height of the printable area in millimetres.
    double printableWidth() const;
    double printableHeight() const;

    // The item of that name, wherever it is; nullptr when there is none.
    ReportItem *item(const QString &name);
    const ReportItem *item(const QString &name) const;
    // Changes the text of a static text item; false when the layout has no item of that name.
    bool setText(const QString &name, const QString &text);
    QString text(const QString &name) const;

private:
    template <typename Fn> void forEachBand(Fn fn);
};
