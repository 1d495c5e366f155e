#include "reports/spreadsheet_writer.h"

#include "ui/messages.h"
#include "reports/spreadsheet_application.h"
#include "reports/spreadsheet_column_width.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryFile>

#include <xlsxwriter.h>

#include <algorithm>
#include <clocale>
#include <map>
#include <string>

namespace {

const QString SheetErrorTitle = QStringLiteral("Ошибочный номер листа Microsoft Excel");
const QString CellErrorTitle = QStringLiteral("Ошибка Microsoft Excel");
const QString DefaultExportName = QStringLiteral("Выгрузка");

// Limits of the file format: the application refuses anything beyond them.
constexpr int MaxRow = LXW_ROW_MAX;
constexpr int MaxColumn = LXW_COL_MAX;
constexpr int MaxTextLength = 32767;
// A double keeps 15 significant decimal digits; a longer run of digits (an account or
// document number, say) would come back altered, so it stays text.
constexpr int MaxNumberDigits = 15;

QString &folderOverride()
{
    static QString folder;
    return folder;
}

// Reads the text the way the spreadsheet application takes a typed value: a whole number or a
// decimal one, with a point or with the user's decimal separator, optionally signed.
bool readsAsNumber(const QString &text, double *value)
{
    const QString s = text.trimmed();
    const QString localSeparator = QLocale().decimalPoint();
    QString normalized;
    normalized.reserve(s.size());
    int i = 0;
    if (i < s.size() && (s[i] == u'-' || s[i] == u'+'))
        normalized += s[i++];
    int digits = 0;
    int significant = 0;
    bool separatorSeen = false;
    for (; i < s.size(); ++i) {
        const QChar c = s[i];
        if (c >= u'0' && c <= u'9') {
            ++digits;
            if (significant > 0 || c != u'0')
                ++significant;
            normalized += c;
        } else if (!separatorSeen
                   && (c == u'.' || (localSeparator.size() == 1 && c == localSeparator[0]))) {
            separatorSeen = true;
            normalized += u'.';
        } else {
            return false;
        }
    }
    if (digits == 0 || significant > MaxNumberDigits)
        return false;
    bool ok = false;
    *value = QLocale::c().toDouble(normalized, &ok);
    if (!ok) {
        // "12." and ".5" are numbers to the spreadsheet application though not to toDouble.
        if (normalized.endsWith(u'.'))
            normalized += u'0';
        if (normalized.startsWith(u'.'))
            normalized.prepend(u'0');
        normalized.replace(QStringLiteral("-."), QStringLiteral("-0."));
        normalized.replace(QStringLiteral("+."), QStringLiteral("+0."));
        *value = QLocale::c().toDouble(normalized, &ok);
    }
    return ok;
}

// The text as the package must hold it. The file writer escapes control characters as "_x0001_",
// so a literal "_x0041_" would be read back as "A" (LibreOffice reads "_x12_" so too); its
// underscore is escaped in turn. The two non-characters XML cannot carry at all become the
// replacement character.
QByteArray textForFile(const QString &text)
{
    static const QRegularExpression escapeLike(QStringLiteral("_(?=x[0-9A-Fa-f]{1,4}_)"));
    QString out = text;
    if (out.contains(QStringLiteral("_x")))
        out.replace(escapeLike, QStringLiteral("_x005F_"));
    for (QChar &c : out)
        if (c.unicode() == 0xFFFE || c.unicode() == 0xFFFF)
            c = QChar::ReplacementCharacter;
    return out.toUtf8();
}

QString safeFileNamePart(const QString &name)
{
    QString out;
    for (const QChar c : name.trimmed())
        out += (c.unicode() < 0x20 || QStringLiteral("/\\:*?\"<>|").contains(c)) ? u'_' : c;
    while (out.startsWith(u'.'))
        out.remove(0, 1);
    return out.trimmed().isEmpty() ? DefaultExportName : out.trimmed();
}

// The file writer formats numbers with the C library, which follows the process's numeric
// locale; in a Russian locale that would put decimal commas into the file.
class CNumericLocale {
public:
    CNumericLocale()
    {
        const char *current = std::setlocale(LC_NUMERIC, nullptr);
        m_saved = current ? current : "C";
        std::setlocale(LC_NUMERIC, "C");
    }
    ~CNumericLocale() { std::setlocale(LC_NUMERIC, m_saved.c_str()); }
    CNumericLocale(const CNumericLocale &) = delete;
    CNumericLocale &operator=(const CNumericLocale &) = delete;

private:
    std::string m_saved;
};

} // namespace

struct SpreadsheetWriter::Workbook {
    struct Cell {
        enum Kind : quint8 { Empty, Text, Number };
        Kind kind = Empty;
        bool textFormat = false;
        bool bold = false;
        double number = 0.0;
        QString text;
    };
    struct Column {
        double contentWidth = 0.0;   // widest content written so far
        double fittedWidth = -1.0;   // width set by the last fit, negative while never fitted
    };

    // Keyed row first, then column, the order the file lists its cells in.
    std::map<quint64, Cell> cells;
    std::map<int, Column> columns;
    bool shown = false;
    bool changedSinceShown = false;

    static quint64 key(int row, int column) { return (quint64(row) << 16) | quint64(column); }

    Cell *cellAt(int row, int column)
    {
        if (row < 1 || row > MaxRow || column < 1 || column > MaxColumn)
            return nullptr;
        return &cells[key(row, column)];
    }

    void noteWidth(int column, const Cell &cell, bool fitNow)
    {
        Column &col = columns[column];
        const double width = SpreadsheetColumnWidth::fitting(cell.text, cell.bold);
        col.contentWidth = std::max(col.contentWidth, width);
        if (fitNow)
            col.fittedWidth = std::max(col.fittedWidth, width);
    }

    bool setValue(Cell &cell, int column, const QString &text)
    {
        if (text.size() > MaxTextLength)
            return false;
        double number = 0.0;
        if (!cell.textFormat && readsAsNumber(text, &number)) {
            cell.kind = Cell::Number;
            cell.number = number;
        } else {
            cell.kind = Cell::Text;
        }
        cell.text = text;
        changedSinceShown = true;
        noteWidth(column, cell, false);
        return true;
    }
};

SpreadsheetWriter::SpreadsheetWriter(const QString &exportName)
{
    setExportName(exportName);
}

SpreadsheetWriter::~SpreadsheetWriter() = default;

void SpreadsheetWriter::setExportName(const QString &exportName)
{
    m_exportName = safeFileNamePart(exportName);
}

QString SpreadsheetWriter::folder()
{
    if (!folderOverride().isEmpty())
        return folderOverride();
    QString base = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (base.isEmpty())
        base = QDir::homePath();
    return QDir(base).filePath(QStringLiteral("Табель"));
}

void SpreadsheetWriter::setFolder(const QString &folder)
{
    folderOverride() = folder;
}

int SpreadsheetWriter::openWorkbook()
{
    m_book.reset();
    // A workstation without a spreadsheet application still gets its workbook: showing it says
    // where the file is.
    // The workbook is saved only when it is shown; make sure now that it can be, so that the
    // user does not fill a sheet that ends nowhere.
    const QString dir = folder();
    QTemporaryFile probe(QDir(dir).filePath(QStringLiteral(".probe-XXXXXX")));
    if (!QDir().mkpath(dir) || !probe.open()) {
        Messages::error(QStringLiteral("Ошибка открытия файла Microsoft Excel."));
        return -1;
    }
    m_book = std::make_unique<Workbook>();
    return 1;
}

int SpreadsheetWriter::setVisible(bool visible)
{
    if (!m_book || !visible)
        return 1;
    if (m_book->shown && !m_book->changedSinceShown)
        return 1;
    save();
    return 1;
}

bool SpreadsheetWriter::sheetExists(int sheet) const
{
    return m_book && sheet == 1;
}

QString SpreadsheetWriter::positionMessage(int sheet, int column, int row) const
{
    return QStringLiteral("Ошибка при записи: лист %1, столбец %2, строка %3")
        .arg(sheet)
        .arg(column)
        .arg(row);
}

int SpreadsheetWriter::writeCell(int sheet, int column, int row, const QString &text)
{
    if (text.isEmpty())
        return 1;
    const QString position = positionMessage(sheet, column, row);
    if (!sheetExists(sheet)) {
        Messages::error(position, SheetErrorTitle);
        return -1;
    }
    Workbook::Cell *cell = m_book->cellAt(row, column);
    if (!cell || !m_book->setValue(*cell, column, text)) {
        Messages::error(position, CellErrorTitle);
        return -1;
    }
    return 1;
}

int SpreadsheetWriter::writeFormattedCell(int sheet, int column, int row, const QString &text,
                                          bool asText, bool autoFit, bool bold)
{
    if (text.isEmpty())
        return 1;
    const QString position = positionMessage(sheet, column, row);
    if (!sheetExists(sheet)) {
        Messages::error(position, SheetErrorTitle);
        return -1;
    }
    Workbook::Cell *cell = m_book->cellAt(row, column);
    if (!cell) {
        Messages::error(position, CellErrorTitle);
        return -1;
    }
    // The steps keep their order: a value that cannot be written leaves the text format
    // already given to the cell, as the spreadsheet application itself would.
    if (asText) {
        cell->textFormat = true;
        m_book->changedSinceShown = true;
    }
    if (!m_book->setValue(*cell, column, text)) {
        Messages::error(position, CellErrorTitle);
        return -1;
    }
    if (autoFit) {
        Workbook::Column &col = m_book->columns[column];
        col.fittedWidth = col.contentWidth;
    }
    // Bold is measured into the fit as well, so that a bold heading fits its column.
    cell->bold = bold;
    m_book->noteWidth(column, *cell, autoFit);
    return 1;
}

void SpreadsheetWriter::save()
{
    const QDir dir(folder());
    const QString stem = m_exportName + u' '
        + QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH-mm-ss"));
    QString path;
    // Reserving the name by creating the file keeps two exports of the same second, even from
    // two copies of the program, from writing over each other.
    if (dir.exists() || QDir().mkpath(dir.path())) {
        for (int n = 1; n < 10000 && path.isEmpty(); ++n) {
            const QString name = n == 1 ? stem + QStringLiteral(".xlsx")
                                        : QStringLiteral("%1 (%2).xlsx").arg(stem).arg(n);
            QFile file(dir.filePath(name));
            if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
                path = file.fileName();
            else if (!file.exists())
                break;
        }
    }

    bool written = false;
    if (!path.isEmpty()) {
        CNumericLocale numericLocale;
        const QByteArray fileName = QFile::encodeName(path);
        lxw_workbook_options options{};
        options.constant_memory = LXW_FALSE;
        lxw_workbook *book = workbook_new_opt(fileName.constData(), &options);
        if (book) {
            lxw_worksheet *sheet = workbook_add_worksheet(book, "Лист1");
            lxw_format *text = workbook_add_format(book);
            format_set_num_format(text, "@");
            lxw_format *bold = workbook_add_format(book);
            format_set_bold(bold);
            lxw_format *boldText = workbook_add_format(book);
            format_set_num_format(boldText, "@");
            format_set_bold(boldText);

            bool cellsOk = sheet != nullptr;
            for (const auto &[key, cell] : m_book->cells) {
                if (!cellsOk)
                    break;
                const lxw_row_t row = lxw_row_t((key >> 16) - 1);
                const lxw_col_t col = lxw_col_t((key & 0xffff) - 1);
                lxw_format *format = cell.textFormat ? (cell.bold ? boldText : text)
                                                     : (cell.bold ? bold : nullptr);
                lxw_error result = LXW_NO_ERROR;
                if (cell.kind == Workbook::Cell::Number)
                    result = worksheet_write_number(sheet, row, col, cell.number, format);
                else if (cell.kind == Workbook::Cell::Text)
                    result = worksheet_write_string(sheet, row, col,
                                                    textForFile(cell.text).constData(), format);
                else if (format)
                    result = worksheet_write_blank(sheet, row, col, format);
                cellsOk = result == LXW_NO_ERROR;
            }
            for (const auto &[column, col] : m_book->columns) {
                if (cellsOk && col.fittedWidth >= 0)
                    cellsOk = worksheet_set_column(sheet, lxw_col_t(column - 1),
                                                   lxw_col_t(column - 1), col.fittedWidth, nullptr)
                        == LXW_NO_ERROR;
            }
            // Closing writes the file and frees the workbook whatever happened before.
            const lxw_error closed = workbook_close(book);
            written = cellsOk && closed == LXW_NO_ERROR;
        }
        if (!written)
            QFile::remove(path);
    }

    if (!written) {
        Messages::error(QStringLiteral("Ошибка сохранения файла Microsoft Excel.\n%1")
                            .arg(QDir::toNativeSeparators(path.isEmpty() ? dir.path() : path)));
        return;
    }
    m_savedFile = path;
    m_book->shown = true;
    m_book->changedSinceShown = false;
    if (!SpreadsheetApplication::available() || !SpreadsheetApplication::open(path)) {
        Messages::errorWithFolder(QStringLiteral("Невозможно открыть Microsoft Excel.\nКнига сохранена в файле %1")
                                      .arg(QDir::toNativeSeparators(path)),
                                  QFileInfo(path).absolutePath());
    }
}
