// The spreadsheet writer: results and messages of its four operations, and what the saved
// workbooks hold, read back from the package's XML and, in one test, by LibreOffice itself.

#include "ui/messages.h"
#include "reports/spreadsheet_application.h"
#include "reports/spreadsheet_writer.h"
#include "support/fake_spreadsheet.h"
#include "support/workbook_reader.h"

#include <QtTest>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <clocale>

namespace {

const QString SheetTitle = QStringLiteral("Ошибочный номер листа Microsoft Excel");
const QString CellTitle = QStringLiteral("Ошибка Microsoft Excel");

QStringList xlsxFiles(const QString &dir)
{
    return QDir(dir).entryList({QStringLiteral("*.xlsx")}, QDir::Files, QDir::Name);
}

void writeCell(SpreadsheetWriter &w, bool formatted, int sheet, int column, int row,
               const QString &text, bool asText = false, bool autoFit = false, bool bold = false)
{
    if (formatted)
        QCOMPARE(w.writeFormattedCell(sheet, column, row, text, asText, autoFit, bold), 1);
    else
        QCOMPARE(w.writeCell(sheet, column, row, text), 1);
}

} // namespace

class TestSpreadsheetWriter : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_root;
    QString m_folder;

    // Writes through a fresh writer, shows the workbook and reads back what was saved.
    Workbook showAndRead(SpreadsheetWriter &w, FakeSpreadsheet &app)
    {
        const int launches = app.opened.size();
        if (w.setVisible(true) != 1 || app.opened.size() != launches + 1)
            return {};
        return readWorkbook(app.opened.last());
    }

private slots:
    void init()
    {
        QVERIFY(m_root.isValid());
        m_folder = QDir(m_root.path()).filePath(QString::fromUtf8(QTest::currentTestFunction()) + u'_'
                                                 + QString::fromUtf8(QTest::currentDataTag()));
        SpreadsheetWriter::setFolder(m_folder);
        QLocale::setDefault(QLocale::c());
    }

    void cleanup()
    {
        SpreadsheetWriter::setFolder(QString());
        QLocale::setDefault(QLocale::system());
    }

    void openFailures_data()
    {
        QTest::addColumn<bool>("applicationAvailable");
        QTest::addColumn<bool>("folderUsable");
        QTest::addColumn<QString>("message");
        QTest::newRow("workbook cannot be created") << true << false
                                                    << QStringLiteral("Ошибка открытия файла Microsoft Excel.");
    }

    void openFailures()
    {
        QFETCH(bool, applicationAvailable);
        QFETCH(bool, folderUsable);
        QFETCH(QString, message);
        FakeSpreadsheet app;
        app.available = applicationAvailable;
        if (!folderUsable) {
            // A folder below a plain file cannot be made, not even by root.
            QDir().mkpath(m_folder);
            QFile blocker(QDir(m_folder).filePath(QStringLiteral("file")));
            QVERIFY(blocker.open(QIODevice::WriteOnly));
            SpreadsheetWriter::setFolder(QDir(blocker.fileName()).filePath(QStringLiteral("Табель")));
        }
        Messages::MessageRecorder rec;
        SpreadsheetWriter w(QStringLiteral("Цены"));
        QCOMPARE(w.openWorkbook(), -1);
        QCOMPARE(rec.shown.size(), 1);
        QCOMPARE(rec.shown[0].kind, Messages::Shown::Error);
        QCOMPARE(rec.shown[0].title, QStringLiteral("Ошибка"));
        QCOMPARE(rec.shown[0].text, message);

        // Without a workbook there is no sheet to write to, and nothing to show.
        rec.clear();
        QCOMPARE(w.writeCell(1, 1, 1, QStringLiteral("x")), -1);
        QCOMPARE(w.setVisible(true), 1);
        QCOMPARE(rec.shown.size(), 1);
        QCOMPARE(rec.shown[0].title, SheetTitle);
        QVERIFY(app.opened.isEmpty());
        QVERIFY(xlsxFiles(m_folder).isEmpty());

        // A failed open also drops a workbook the writer held before.
        app.available = true;
        SpreadsheetWriter::setFolder(m_folder);
        QCOMPARE(w.openWorkbook(), 1);
        QCOMPARE(w.writeCell(1, 1, 1, QStringLiteral("x")), 1);
        app.available = applicationAvailable;
        if (!folderUsable)
            SpreadsheetWriter::setFolder(QDir(m_folder).filePath(QStringLiteral("file/Табель")));
        QCOMPARE(w.openWorkbook(), -1);
        QCOMPARE(w.setVisible(true), 1);
        QVERIFY(app.opened.isEmpty());
    }

    void setVisibleBeforeOpen()
    {
        FakeSpreadsheet app;
        Messages::MessageRecorder rec;
        SpreadsheetWriter w;
        QCOMPARE(w.setVisible(false), 1);
        QCOMPARE(w.setVisible(true), 1);
        QVERIFY(rec.shown.isEmpty());
        QVERIFY(app.opened.isEmpty());
        QVERIFY(w.savedFile().isEmpty());
    }

    void writeErrors_data()
    {
        QTest::addColumn<bool>("formatted");
        QTest::addColumn<int>("sheet");
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("length");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("text");
        for (const bool formatted : {false, true}) {
            const char *op = formatted ? "formatted " : "plain ";
            auto row = [&](const char *name) -> QTestData & {
                return QTest::newRow(qPrintable(QString::fromLatin1(op) + QString::fromLatin1(name)))
                    << formatted;
            };
            row("sheet 2") << 2 << 3 << 4 << 1 << SheetTitle
                           << QStringLiteral("Ошибка при записи: лист 2, столбец 3, строка 4");
            row("sheet 0") << 0 << 1 << 1 << 1 << SheetTitle
                           << QStringLiteral("Ошибка при записи: лист 0, столбец 1, строка 1");
            row("negative sheet") << -1 << 7 << 12 << 1 << SheetTitle
                                  << QStringLiteral("Ошибка при записи: лист -1, столбец 7, строка 12");
            row("column 0") << 1 << 0 << 5 << 1 << CellTitle
                            << QStringLiteral("Ошибка при записи: лист 1, столбец 0, строка 5");
            row("row 0") << 1 << 5 << 0 << 1 << CellTitle
                         << QStringLiteral("Ошибка при записи: лист 1, столбец 5, строка 0");
            row("column past the last") << 1 << 16385 << 2 << 1 << CellTitle
                                        << QStringLiteral("Ошибка при записи: лист 1, столбец 16385, строка 2");
            row("row past the last") << 1 << 2 << 1048577 << 1 << CellTitle
                                     << QStringLiteral("Ошибка при записи: лист 1, столбец 2, строка 1048577");
            row("text too long for a cell") << 1 << 2 << 3 << 32768 << CellTitle
                                            << QStringLiteral("Ошибка при записи: лист 1, столбец 2, строка 3");
        }
    }

    void writeErrors()
    {
        QFETCH(bool, formatted);
        QFETCH(int, sheet);
        QFETCH(int, column);
        QFETCH(int, row);
        QFETCH(int, length);
        QFETCH(QString, title);
        QFETCH(QString, text);
        FakeSpreadsheet app;
        Messages::MessageRecorder rec;
        SpreadsheetWriter w;
        QCOMPARE(w.openWorkbook(), 1);
        QCOMPARE(w.writeCell(1, 1, 1, QStringLiteral("до")), 1);

        const QString value(length, u'ж');
        const int result = formatted ? w.writeFormattedCell(sheet, column, row, value, true, true, true)
                                     : w.writeCell(sheet, column, row, value);
        QCOMPARE(result, -1);
        QCOMPARE(rec.shown.size(), 1);
        QCOMPARE(rec.shown[0].kind, Messages::Shown::Error);
        QCOMPARE(rec.shown[0].title, title);
        QCOMPARE(rec.shown[0].text, text);

        // The export carries on after a failed cell: each further failure has its own box,
        // and the good cells reach the workbook.
        QCOMPARE(formatted ? w.writeFormattedCell(sheet, column, row, value, true, true, true)
                           : w.writeCell(sheet, column, row, value),
                 -1);
        QCOMPARE(rec.shown.size(), 2);
        QCOMPARE(w.writeCell(1, 1, 2, QStringLiteral("после")), 1);
        QCOMPARE(rec.shown.size(), 2);

        const Workbook p = showAndRead(w, app);
        QVERIFY(p.ok);
        QCOMPARE(p.at(1, 1).value, QStringLiteral("до"));
        QCOMPARE(p.at(2, 1).value, QStringLiteral("после"));
        if (length > 1) {
            // The text format given before the value failed stays, the value does not come.
            QCOMPARE(p.cells.size(), formatted ? 3 : 2);
            QCOMPARE(p.at(row, column).value, QString());
            QCOMPARE(p.at(row, column).textFormat, formatted);
        } else {
            QCOMPARE(p.cells.size(), 2);
        }
        QVERIFY(!p.widths.contains(column));
    }

    void emptyTextWritesNothing()
    {
        FakeSpreadsheet app;
        Messages::MessageRecorder rec;
        SpreadsheetWriter w;
        QCOMPARE(w.openWorkbook(), 1);
        QCOMPARE(w.writeFormattedCell(1, 1, 1, QStringLiteral("Итого"), true, false, true), 1);
        // An empty text neither writes, formats, fits nor checks the position.
        QCOMPARE(w.writeCell(1, 1, 1, QString()), 1);
        QCOMPARE(w.writeFormattedCell(1, 1, 1, QString(), false, true, false), 1);
        QCOMPARE(w.writeFormattedCell(1, 2, 1, QString(), true, true, true), 1);
        QCOMPARE(w.writeCell(9, 0, 0, QString()), 1);
        QCOMPARE(w.writeFormattedCell(0, -1, -1, QString(), true, true, true), 1);
        QVERIFY(rec.shown.isEmpty());

        const Workbook p = showAndRead(w, app);
        QVERIFY(p.ok);
        QCOMPARE(p.cells.size(), 1);
        QCOMPARE(p.at(1, 1).value, QStringLiteral("Итого"));
        QVERIFY(p.at(1, 1).bold);
        QVERIFY(p.at(1, 1).textFormat);
        QVERIFY(p.widths.isEmpty());
    }

    void valuesAndTypes_data()
    {
        QTest::addColumn<bool>("formatted");
        QTest::addColumn<bool>("asText");
        QTest::addColumn<bool>("russian");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("stored");
        struct Case {
            const char *name;
            bool asText;
            bool russian;
            QString text;
            QString type;
            QString stored;
        };
        const QString n = QStringLiteral("n");
        const QString s = QStringLiteral("s");
        const Case cases[] = {
            {"whole", false, false, QStringLiteral("12"), n, QStringLiteral("12")},
            {"negative", false, false, QStringLiteral("-3"), n, QStringLiteral("-3")},
            {"plus sign", false, false, QStringLiteral("+4"), n, QStringLiteral("4")},
            {"decimal point", false, false, QStringLiteral("12.5"), n, QStringLiteral("12.5")},
            {"decimal point, Russian user", false, true, QStringLiteral("1234.75"), n, QStringLiteral("1234.75")},
            {"decimal comma, Russian user", false, true, QStringLiteral("1234,75"), n, QStringLiteral("1234.75")},
            {"decimal comma, English user", false, false, QStringLiteral("1234,75"), s, QStringLiteral("1234,75")},
            {"blanks around", false, false, QStringLiteral(" 42 "), n, QStringLiteral("42")},
            {"leading point", false, false, QStringLiteral(".5"), n, QStringLiteral("0.5")},
            {"trailing point", false, false, QStringLiteral("12."), n, QStringLiteral("12")},
            {"leading zeros", false, false, QStringLiteral("007"), n, QStringLiteral("7")},
            {"fifteen digits", false, false, QStringLiteral("123456789012345"), n, QStringLiteral("123456789012345")},
            {"sixteen digits stay text", false, false, QStringLiteral("1234567890123456"), s, QStringLiteral("1234567890123456")},
            {"two points", false, false, QStringLiteral("1.2.3"), s, QStringLiteral("1.2.3")},
            {"date", false, true, QStringLiteral("12.03.2026"), s, QStringLiteral("12.03.2026")},
            {"exponent", false, false, QStringLiteral("1e5"), s, QStringLiteral("1e5")},
            {"grouped thousands", false, true, QStringLiteral("1 234"), s, QStringLiteral("1 234")},
            {"sign only", false, false, QStringLiteral("-"), s, QStringLiteral("-")},
            {"point only", false, false, QStringLiteral("."), s, QStringLiteral(".")},
            {"blank", false, false, QStringLiteral(" "), s, QStringLiteral(" ")},
            {"name", false, false, QStringLiteral("Иванов И.И."), s, QStringLiteral("Иванов И.И.")},
            {"markup characters", false, false, QStringLiteral("<a & \"b\">"), s, QStringLiteral("<a & \"b\">")},
            {"as text: digits", true, false, QStringLiteral("007"), s, QStringLiteral("007")},
            {"as text: decimal", true, true, QStringLiteral("12,5"), s, QStringLiteral("12,5")},
            {"as text: name", true, false, QStringLiteral("Щукина Ё.Ю."), s, QStringLiteral("Щукина Ё.Ю.")},
        };
        for (const bool formatted : {false, true})
            for (const Case &c : cases) {
                if (c.asText && !formatted)
                    continue;
                QTest::newRow(qPrintable(QString::fromLatin1(formatted ? "formatted, " : "plain, ")
                                         + QString::fromLatin1(c.name)))
                    << formatted << c.asText << c.russian << c.text << c.type << c.stored;
            }
    }

    void valuesAndTypes()
    {
        QFETCH(bool, formatted);
        QFETCH(bool, asText);
        QFETCH(bool, russian);
        QFETCH(QString, text);
        QFETCH(QString, type);
        QFETCH(QString, stored);
        QLocale::setDefault(russian ? QLocale(QLocale::Russian, QLocale::Russia) : QLocale::c());
        FakeSpreadsheet app;
        Messages::MessageRecorder rec;
        SpreadsheetWriter w;
        QCOMPARE(w.openWorkbook(), 1);
        writeCell(w, formatted, 1, 2, 3, text, asText);
        const Workbook p = showAndRead(w, app);
        QVERIFY(p.ok);
        QVERIFY(rec.shown.isEmpty());
        const WorkbookCell cell = p.at(3, 2);
        QCOMPARE(cell.type, type);
        if (type == u"n")
            QCOMPARE(cell.value.toDouble(), stored.toDouble());
        else
            QCOMPARE(cell.value, stored);
        QCOMPARE(cell.textFormat, asText);
        QVERIFY(!cell.bold);
    }

    void formatsOfACell()
    {
        FakeSpreadsheet app;
        Messages::MessageRecorder rec;
        SpreadsheetWriter w;
        QCOMPARE(w.openWorkbook(), 1);
        // A cell once given the text format keeps it: a later number stays text, as in the
        // spreadsheet application, whichever write comes later.
        QCOMPARE(w.writeFormattedCell(1, 1, 1, QStringLiteral("01"), true, false, false), 1);
        QCOMPARE(w.writeCell(1, 1, 1, QStringLiteral("15")), 1);
        QCOMPARE(w.writeFormattedCell(1, 1, 2, QStringLiteral("02"), true, false, false), 1);
        QCOMPARE(w.writeFormattedCell(1, 1, 2, QStringLiteral("16"), false, false, false), 1);
        // Bold is set and cleared by the formatted write; the plain write leaves it alone.
        QCOMPARE(w.writeFormattedCell(1, 2, 1, QStringLiteral("Итого"), false, false, true), 1);
        QCOMPARE(w.writeCell(1, 2, 1, QStringLiteral("Всего")), 1);
        QCOMPARE(w.writeFormattedCell(1, 2, 2, QStringLiteral("7"), false, false, true), 1);
        QCOMPARE(w.writeFormattedCell(1, 2, 2, QStringLiteral("8"), false, false, false), 1);
        // Rewriting a number cell with a text, and a text cell with a number.
        QCOMPARE(w.writeCell(1, 3, 1, QStringLiteral("5")), 1);
        QCOMPARE(w.writeCell(1, 3, 1, QStringLiteral("пять")), 1);
        QCOMPARE(w.writeCell(1, 3, 2, QStringLiteral("шесть")), 1);
        QCOMPARE(w.writeCell(1, 3, 2, QStringLiteral("6")), 1);
        QVERIFY(rec.shown.isEmpty());

        const Workbook p = showAndRead(w, app);
        QVERIFY(p.ok);
        QCOMPARE(p.sheetName, QStringLiteral("Лист1"));
        QCOMPARE(p.cells.size(), 6);
        QCOMPARE(p.at(1, 1).type, QStringLiteral("s"));
        QCOMPARE(p.at(1, 1).value, QStringLiteral("15"));
        QVERIFY(p.at(1, 1).textFormat);
        QCOMPARE(p.at(2, 1).type, QStringLiteral("s"));
        QCOMPARE(p.at(2, 1).value, QStringLiteral("16"));
        QVERIFY(p.at(2, 1).textFormat);
        QCOMPARE(p.at(1, 2).value, QStringLiteral("Всего"));
        QVERIFY(p.at(1, 2).bold);
        QCOMPARE(p.at(2, 2).type, QStringLiteral("n"));
        QCOMPARE(p.at(2, 2).value, QStringLiteral("8"));
        QVERIFY(!p.at(2, 2).bold);
        QCOMPARE(p.at(1, 3).type, QStringLiteral("s"));
        QCOMPARE(p.at(1, 3).value, QStringLiteral("пять"));
        QCOMPARE(p.at(2, 3).type, QStringLiteral("n"));
        QCOMPARE(p.at(2, 3).value, QStringLiteral("6"));
    }

    void columnWidths()
    {
        FakeSpreadsheet app;
        Messages::MessageRecorder rec;
        SpreadsheetWriter w;
        QCOMPARE(w.openWorkbook(), 1);
        const QString cyrillic = QStringLiteral("Иванова Анна Сергеевна");
        const QString latin = QStringLiteral("Ivanova Anna Sergeevna");
        QCOMPARE(cyrillic.size(), latin.size());
        for (int row = 1; row <= 3; ++row) {
            QCOMPARE(w.writeFormattedCell(1, 1, row, cyrillic.left(row * 7), true, true, false), 1);
            QCOMPARE(w.writeFormattedCell(1, 2, row, latin.left(row * 7), true, true, false), 1);
        }
        // Columns 3 and 4: the same heading, bold in column 4; column 5: day numbers.
        QCOMPARE(w.writeFormattedCell(1, 3, 1, QStringLiteral("Итого (ч.)"), true, true, false), 1);
        QCOMPARE(w.writeFormattedCell(1, 4, 1, QStringLiteral("Итого (ч.)"), true, true, true), 1);
        for (int row = 1; row <= 3; ++row)
            QCOMPARE(w.writeFormattedCell(1, 5, row, QString::number(row * 4), false, true, row == 1), 1);
        // Column 6 is never fitted; column 7 is fitted before a longer text comes, which does
        // not widen it, as a fit measures what the column holds at the time.
        QCOMPARE(w.writeFormattedCell(1, 6, 1, QString(40, u'Ш'), false, false, true), 1);
        QCOMPARE(w.writeCell(1, 6, 2, QString(40, u'Ш')), 1);
        QCOMPARE(w.writeFormattedCell(1, 7, 1, QStringLiteral("8"), false, true, false), 1);
        QCOMPARE(w.writeCell(1, 7, 2, QString(30, u'Ш')), 1);
        // Column 8: fitted contents wider than a column may be.
        QCOMPARE(w.writeFormattedCell(1, 8, 1, QString(2000, u'Ж'), true, true, false), 1);
        QVERIFY(rec.shown.isEmpty());

        const Workbook p = showAndRead(w, app);
        QVERIFY(p.ok);
        const double a = p.widths.value(1), b = p.widths.value(2);
        // The fit counts characters, not the bytes of their encoding: Cyrillic takes about as
        // much room as Latin of the same length, and the fit follows the longest text.
        QVERIFY2(a > 15 && a < 30, qPrintable(QString::number(a)));
        QVERIFY2(a / b > 0.9 && a / b < 1.3, qPrintable(QStringLiteral("%1 / %2").arg(a).arg(b)));
        QVERIFY(p.widths.value(4) > p.widths.value(3));
        QVERIFY2(p.widths.value(5) < 4, qPrintable(QString::number(p.widths.value(5))));
        QVERIFY(!p.widths.contains(6));
        QVERIFY2(p.widths.value(7) < 4, qPrintable(QString::number(p.widths.value(7))));
        // The file stores a width with the cell margins added: 255 shows as 255.
        QVERIFY2(p.widths.value(8) > 255 && p.widths.value(8) < 256, qPrintable(QString::number(p.widths.value(8))));
    }

    void fileNames()
    {
        FakeSpreadsheet app;
        Messages::MessageRecorder rec;
        // Earlier exports of this second and the next ones are kept.
        QDir().mkpath(m_folder);
        const QDateTime now = QDateTime::currentDateTime();
        QStringList earlier;
        for (int s = 0; s < 3; ++s) {
            const QString name = QStringLiteral("Цены %1.xlsx")
                                     .arg(now.addSecs(s).toString(QStringLiteral("yyyy-MM-dd HH-mm-ss")));
            QFile f(QDir(m_folder).filePath(name));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("earlier export");
            earlier << f.fileName();
        }
        SpreadsheetWriter w(QStringLiteral("Цены"));
        QCOMPARE(w.exportName(), QStringLiteral("Цены"));
        for (int i = 0; i < 2; ++i) {
            QCOMPARE(w.openWorkbook(), 1);
            QCOMPARE(w.writeCell(1, 1, 1, QStringLiteral("Марка")), 1);
            QCOMPARE(w.setVisible(true), 1);
        }
        QVERIFY(rec.shown.isEmpty());
        QCOMPARE(app.opened.size(), 2);
        QVERIFY(app.opened[0] != app.opened[1]);
        const QRegularExpression pattern(QStringLiteral(
            "^Цены \\d{4}-\\d\\d-\\d\\d \\d\\d-\\d\\d-\\d\\d \\((2|3)\\)\\.xlsx$"));
        for (const QString &path : app.opened) {
            QCOMPARE(QFileInfo(path).absolutePath(), QFileInfo(m_folder).absoluteFilePath());
            QVERIFY2(pattern.match(QFileInfo(path).fileName()).hasMatch(), qPrintable(path));
            QCOMPARE(readWorkbook(path).at(1, 1).value, QStringLiteral("Марка"));
        }
        QCOMPARE(w.savedFile(), app.opened[1]);
        for (const QString &path : earlier) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::ReadOnly));
            QCOMPARE(f.readAll(), QByteArray("earlier export"));
        }

        // Characters a file name cannot hold are replaced; an empty name gets a general one.
        w.setExportName(QStringLiteral(" Табель: ч/з \"смены\" "));
        QCOMPARE(w.exportName(), QStringLiteral("Табель_ ч_з _смены_"));
        w.setExportName(QStringLiteral("  "));
        QCOMPARE(w.exportName(), QStringLiteral("Выгрузка"));
        QCOMPARE(SpreadsheetWriter().exportName(), QStringLiteral("Выгрузка"));
        QCOMPARE(w.openWorkbook(), 1);
        QCOMPARE(w.setVisible(true), 1);
        QVERIFY(QFileInfo(w.savedFile()).fileName().startsWith(QStringLiteral("Выгрузка 20")));
    }

    void defaultFolder()
    {
        const QByteArray home = qgetenv("HOME"), config = qgetenv("XDG_CONFIG_HOME");
        QTemporaryDir fakeHome;
        qputenv("HOME", QFile::encodeName(fakeHome.path()));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(fakeHome.path() + QStringLiteral("/.config")));
        SpreadsheetWriter::setFolder(QString());
        const QString folder = SpreadsheetWriter::folder();
        FakeSpreadsheet app;
        Messages::MessageRecorder rec;
        SpreadsheetWriter w(QStringLiteral("Продукция"));
        const int opened = w.openWorkbook();
        const int shown = w.setVisible(true);
        qputenv("HOME", home);
        if (config.isNull())
            qunsetenv("XDG_CONFIG_HOME");
        else
            qputenv("XDG_CONFIG_HOME", config);
        QCOMPARE(folder, fakeHome.path() + QStringLiteral("/Documents/Табель"));
        QCOMPARE(opened, 1);
        QCOMPARE(shown, 1);
        QVERIFY(rec.shown.isEmpty());
        QCOMPARE(app.opened.size(), 1);
        QCOMPARE(QFileInfo(app.opened[0]).absolutePath(), folder);
        // The folder check leaves nothing behind but the export itself.
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden).size(), 1);
    }

    void showing()
    {
        FakeSpreadsheet app;
        Messages::MessageRecorder rec;
        SpreadsheetWriter w;
        QCOMPARE(w.openWorkbook(), 1);
        QCOMPARE(w.setVisible(false), 1);
        QCOMPARE(w.writeCell(1, 1, 1, QStringLiteral("первая")), 1);
        // Hidden: nothing is saved or opened until the workbook is shown.
        QVERIFY(app.opened.isEmpty());
        QVERIFY(xlsxFiles(m_folder).isEmpty());
        QCOMPARE(w.setVisible(true), 1);
        QCOMPARE(app.opened.size(), 1);
        QCOMPARE(w.setVisible(true), 1);
        QCOMPARE(w.setVisible(false), 1);
        QCOMPARE(app.opened.size(), 1);

        // Written after it was shown: showing again saves a further file with everything.
        QCOMPARE(w.writeCell(1, 1, 2, QStringLiteral("вторая")), 1);
        QCOMPARE(w.setVisible(true), 1);
        QCOMPARE(app.opened.size(), 2);
        QCOMPARE(readWorkbook(app.opened[0]).cells.size(), 1);
        QCOMPARE(readWorkbook(app.opened[1]).cells.size(), 2);

        // A new workbook starts empty; one never shown is dropped by the next open.
        QCOMPARE(w.openWorkbook(), 1);
        QCOMPARE(w.writeCell(1, 5, 5, QStringLiteral("брошенная")), 1);
        QCOMPARE(w.openWorkbook(), 1);
        QCOMPARE(w.writeCell(1, 1, 1, QStringLiteral("новая")), 1);
        QCOMPARE(w.setVisible(true), 1);
        QCOMPARE(app.opened.size(), 3);
        const Workbook p = readWorkbook(app.opened[2]);
        QCOMPARE(p.cells.size(), 1);
        QCOMPARE(p.at(1, 1).value, QStringLiteral("новая"));
        QCOMPARE(xlsxFiles(m_folder).size(), 3);

        // An empty workbook is shown as well.
        QCOMPARE(w.openWorkbook(), 1);
        QCOMPARE(w.setVisible(true), 1);
        QCOMPARE(app.opened.size(), 4);
        QVERIFY(readWorkbook(app.opened[3]).ok);
        QVERIFY(rec.shown.isEmpty());
    }

    // A workstation without a spreadsheet application gets its workbook all the same, and the
    // message says where it is and offers its folder.
    void withoutSpreadsheetApplication()
    {
        FakeSpreadsheet app;
        app.available = false;
        Messages::MessageRecorder rec;
        SpreadsheetWriter w(QStringLiteral("Цены"));
        QCOMPARE(w.openWorkbook(), 1);
        QCOMPARE(w.writeCell(1, 1, 1, QStringLiteral("Марка")), 1);
        QCOMPARE(w.writeCell(1, 2, 2, QStringLiteral("12")), 1);
        QVERIFY(rec.shown.isEmpty());
        QCOMPARE(w.setVisible(true), 1);
        QVERIFY(app.opened.isEmpty());
        const QStringList files = xlsxFiles(m_folder);
        QCOMPARE(files.size(), 1);
        QCOMPARE(w.savedFile(), QDir(m_folder).filePath(files[0]));
        const Workbook book = readWorkbook(w.savedFile());
        QVERIFY(book.ok);
        QCOMPARE(book.at(1, 1).value, QStringLiteral("Марка"));
        QVERIFY(book.at(2, 2).isNumber());
        QCOMPARE(rec.shown.size(), 1);
        QCOMPARE(rec.shown[0].kind, Messages::Shown::Error);
        QCOMPARE(rec.shown[0].title, QStringLiteral("Ошибка"));
        QCOMPARE(rec.shown[0].text, QStringLiteral("Невозможно открыть Microsoft Excel.\nКнига сохранена в файле %1")
                                        .arg(QDir::toNativeSeparators(w.savedFile())));
        QCOMPARE(rec.shown[0].folder, m_folder);
        // Shown once: a second showing without a change says nothing more.
        QCOMPARE(w.setVisible(true), 1);
        QCOMPARE(rec.shown.size(), 1);
    }

    void showingFailures()
    {
        FakeSpreadsheet app;
        Messages::MessageRecorder rec;
        SpreadsheetWriter w;

        // The application does not start: the user learns where the workbook was saved.
        app.opens = false;
        QCOMPARE(w.openWorkbook(), 1);
        QCOMPARE(w.writeCell(1, 1, 1, QStringLiteral("12")), 1);
        QCOMPARE(w.setVisible(true), 1);
        QCOMPARE(app.opened.size(), 1);
        QVERIFY(QFileInfo::exists(app.opened[0]));
        QCOMPARE(rec.shown.size(), 1);
        QCOMPARE(rec.shown[0].title, QStringLiteral("Ошибка"));
        QCOMPARE(rec.shown[0].text, QStringLiteral("Невозможно открыть Microsoft Excel.\nКнига сохранена в файле %1")
                                        .arg(app.opened[0]));
        QCOMPARE(rec.shown[0].folder, m_folder);

        // The folder went away and cannot be made again: the workbook cannot be saved.
        app.opens = true;
        rec.clear();
        QCOMPARE(w.openWorkbook(), 1);
        QCOMPARE(w.writeCell(1, 1, 1, QStringLiteral("12")), 1);
        QVERIFY(QDir(m_folder).removeRecursively());
        QFile blocker(m_folder);
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        QCOMPARE(w.setVisible(true), 1);
        QCOMPARE(app.opened.size(), 1);
        QCOMPARE(rec.shown.size(), 1);
        QCOMPARE(rec.shown[0].title, QStringLiteral("Ошибка"));
        QCOMPARE(rec.shown[0].text, QStringLiteral("Ошибка сохранения файла Microsoft Excel.\n%1").arg(m_folder));
    }

    // The numbers in the file do not follow the process's numeric locale, which Qt sets from
    // the user's regional settings.
    void numbersIgnoreProcessLocale()
    {
        QTemporaryDir locales;
        const char *names[] = {"ru_RU.UTF-8", "ru_RU.utf8", "de_DE.UTF-8", "de_DE.utf8"};
        const std::string saved = std::setlocale(LC_NUMERIC, nullptr);
        bool comma = false;
        for (const char *name : names)
            if (std::setlocale(LC_NUMERIC, name)) {
                comma = true;
                break;
            }
        if (!comma && !QStandardPaths::findExecutable(QStringLiteral("localedef")).isEmpty()) {
            // Build a Russian locale of our own where the system has none installed.
            const QString target = locales.filePath(QStringLiteral("ru_RU.UTF-8"));
            if (QProcess::execute(QStringLiteral("localedef"),
                                  {QStringLiteral("-i"), QStringLiteral("ru_RU"), QStringLiteral("-f"),
                                   QStringLiteral("UTF-8"), target})
                    <= 1
                && QFileInfo::exists(target)) {
                qputenv("LOCPATH", QFile::encodeName(locales.path()));
                comma = std::setlocale(LC_NUMERIC, "ru_RU.UTF-8") != nullptr;
            }
        }
        if (!comma)
            QSKIP("no locale with a decimal comma can be had on this system");
        char probe[16];
        std::snprintf(probe, sizeof probe, "%.1f", 1.5);
        const QByteArray probed(probe);

        FakeSpreadsheet app;
        Messages::MessageRecorder rec;
        SpreadsheetWriter w;
        QCOMPARE(w.openWorkbook(), 1);
        QCOMPARE(w.writeCell(1, 1, 1, QStringLiteral("12.5")), 1);
        QCOMPARE(w.writeFormattedCell(1, 2, 1, QStringLiteral("Фамилия И.О."), true, true, true), 1);
        QCOMPARE(w.setVisible(true), 1);
        std::snprintf(probe, sizeof probe, "%.1f", 1.5);
        const QByteArray after(probe);
        std::setlocale(LC_NUMERIC, saved.c_str());
        qunsetenv("LOCPATH");

        QCOMPARE(probed, QByteArray("1,5"));
        QCOMPARE(after, QByteArray("1,5"));   // the program's locale is given back
        const QByteArray sheet = zipMember(app.opened.value(0), QStringLiteral("xl/worksheets/sheet1.xml"));
        QVERIFY(sheet.contains("<v>12.5</v>"));
        const Workbook p = readWorkbook(app.opened.value(0));
        QVERIFY(p.ok);
        QCOMPARE(p.at(1, 1).value, QStringLiteral("12.5"));
        const double width = p.widths.value(2);
        QVERIFY2(width > 5 && width < 30, sheet.constData());
    }

    // The launcher of the workstation, with the program search path reduced to a folder of
    // stand-ins: an .xlsx association reported by xdg-mime, a known spreadsheet program, both or
    // neither. The stand-in program records the file it was asked to open.
    void systemLauncher_data()
    {
        QTest::addColumn<bool>("association");
        QTest::addColumn<bool>("program");
        QTest::newRow("neither") << false << false;
        QTest::newRow("known program") << false << true;
        QTest::newRow("association only") << true << false;
        QTest::newRow("association and program") << true << true;
    }

    void systemLauncher()
    {
        QFETCH(bool, association);
        QFETCH(bool, program);
        const QByteArray path = qgetenv("PATH");
        const SpreadsheetApplication::Launcher previous = SpreadsheetApplication::replace({});
        const auto restore = qScopeGuard([&] {
            qputenv("PATH", path);
            SpreadsheetApplication::replace(previous);
        });
        QTemporaryDir bin;
        const QString calledWith = bin.filePath(QStringLiteral("called"));
        auto addScript = [&](const char *name, const QByteArray &body) {
            QFile script(bin.filePath(QString::fromLatin1(name)));
            QVERIFY(script.open(QIODevice::WriteOnly));
            script.write("#!/bin/sh\n" + body + "\n");
            script.close();
            script.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        };
        if (association)
            addScript("xdg-mime", "[ \"$1 $2 $3\" = 'query default " + SpreadsheetApplication::xlsxMimeType().toLatin1()
                                      + "' ] && echo libreoffice-calc.desktop");
        if (program)
            addScript("localc", "printf '%s' \"$1\" > '" + QFile::encodeName(calledWith) + "'");
        qputenv("PATH", QFile::encodeName(bin.path()));

        Messages::MessageRecorder rec;
        SpreadsheetWriter w;
        QCOMPARE(w.openWorkbook(), 1);
        QCOMPARE(w.writeCell(1, 1, 1, QStringLiteral("Марка")), 1);
        QCOMPARE(w.setVisible(true), 1);
        if (program) {
            // Without a desktop session the association cannot be followed here, so the known
            // program opens the workbook in either case.
            QVERIFY(rec.shown.isEmpty());
            auto argument = [&] {
                QFile called(calledWith);
                return called.open(QIODevice::ReadOnly) ? QString::fromUtf8(called.readAll()) : QString();
            };
            QTRY_COMPARE_WITH_TIMEOUT(argument(), w.savedFile(), 10000);
        } else {
            // Neither: the workbook is written all the same, and the message says where.
            QVERIFY(QFileInfo::exists(w.savedFile()));
            QCOMPARE(rec.texts(), QStringList{QStringLiteral("Невозможно открыть Microsoft Excel.\nКнига сохранена в файле %1")
                                                  .arg(w.savedFile())});
        }
    }

    void libreOfficeReadsTheWorkbook();
};

namespace {

struct OfficeCell {
    QString type;    // office:value-type
    QString value;   // office:value for numbers
    QString text;    // the text shown
    bool bold = false;
    bool textFormat = false;
};

struct OfficeSheet {
    bool ok = false;
    QMap<QPair<int, int>, OfficeCell> cells;
    QMap<int, double> widthsCm;   // column -> width
};

double lengthInCm(QStringView length)
{
    const QString s = length.toString();
    if (s.endsWith(u"cm"))
        return s.chopped(2).toDouble();
    if (s.endsWith(u"mm"))
        return s.chopped(2).toDouble() / 10;
    if (s.endsWith(u"in"))
        return s.chopped(2).toDouble() * 2.54;
    return -1;
}

// Reads the first table of a flat OpenDocument spreadsheet as LibreOffice saved it.
OfficeSheet readFlatSpreadsheet(const QString &path)
{
    OfficeSheet sheet;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return sheet;
    QXmlStreamReader x(&f);
    QHash<QString, bool> boldStyle;
    QHash<QString, QString> dataStyleOfCellStyle;
    QHash<QString, double> columnStyleWidth;
    QSet<QString> textDataStyles;
    QString styleName, dataStyleName;
    int row = 0, column = 0, tables = 0;
    OfficeCell *cell = nullptr;
    while (!x.atEnd()) {
        x.readNext();
        if (x.isEndElement() && x.name() == u"table")
            break;
        if (!x.isStartElement())
            continue;
        const auto a = x.attributes();
        const auto name = x.name();
        if (name == u"style") {
            styleName = a.value(QLatin1String("style:name")).toString();
            if (a.hasAttribute(QLatin1String("style:data-style-name")))
                dataStyleOfCellStyle.insert(styleName, a.value(QLatin1String("style:data-style-name")).toString());
        } else if (name == u"text-style" && x.namespaceUri().contains(u"datastyle")) {
            dataStyleName = a.value(QLatin1String("style:name")).toString();
        } else if (name == u"text-content" && !dataStyleName.isEmpty()) {
            textDataStyles.insert(dataStyleName);
        } else if (name == u"text-properties" && !styleName.isEmpty()) {
            if (a.value(QLatin1String("fo:font-weight")) == u"bold")
                boldStyle.insert(styleName, true);
        } else if (name == u"table-column-properties") {
            columnStyleWidth.insert(styleName, lengthInCm(a.value(QLatin1String("style:column-width"))));
        } else if (name == u"table") {
            ++tables;
        } else if (name == u"table-column") {
            const int repeat = std::max(1, a.value(QLatin1String("table:number-columns-repeated")).toInt());
            const double width = columnStyleWidth.value(a.value(QLatin1String("table:style-name")).toString(), -1);
            for (int i = 0; i < repeat && column < 64; ++i)
                sheet.widthsCm.insert(++column, width);
        } else if (name == u"table-row") {
            ++row;
            column = 0;
        } else if (name == u"table-cell" || name == u"covered-table-cell") {
            const int repeat = std::max(1, a.value(QLatin1String("table:number-columns-repeated")).toInt());
            const QString type = a.value(QLatin1String("office:value-type")).toString();
            const QString style = a.value(QLatin1String("table:style-name")).toString();
            if (type.isEmpty()) {
                column += repeat;
                cell = nullptr;
                continue;
            }
            cell = &sheet.cells[{row, ++column}];
            cell->type = type;
            cell->value = a.value(QLatin1String("office:value")).toString();
            cell->bold = boldStyle.value(style);
            cell->textFormat = textDataStyles.contains(dataStyleOfCellStyle.value(style));
            column += repeat - 1;
        } else if (name == u"p" && cell) {
            cell->text = x.readElementText(QXmlStreamReader::IncludeChildElements);
        }
    }
    sheet.ok = tables == 1 && !x.hasError();
    return sheet;
}

} // namespace

// A real spreadsheet application reads the saved workbook: LibreOffice converts it to a flat
// OpenDocument file (cells, their kinds, bold, text format, column widths) and prints it to PDF,
// where a number too wide for its column would show as "###".
void TestSpreadsheetWriter::libreOfficeReadsTheWorkbook()
{
    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (soffice.isEmpty())
        QSKIP("LibreOffice (soffice) is not installed");

    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    FakeSpreadsheet app;
    Messages::MessageRecorder rec;
    SpreadsheetWriter w(QStringLiteral("Табель"));
    QCOMPARE(w.openWorkbook(), 1);
    QCOMPARE(w.setVisible(false), 1);
    // The shape of the timesheet exports: title, bold headings, names as text, numbers fitted.
    QCOMPARE(w.writeFormattedCell(1, 1, 1, QStringLiteral("Январь 2026"), true, true, true), 1);
    QCOMPARE(w.writeFormattedCell(1, 1, 2, QStringLiteral("Фамилия И.О."), true, true, true), 1);
    for (int day = 1; day <= 3; ++day)
        QCOMPARE(w.writeFormattedCell(1, day + 1, 2, QString::number(day), false, true, true), 1);
    QCOMPARE(w.writeFormattedCell(1, 5, 2, QStringLiteral("Итого (р.)"), true, true, true), 1);
    QCOMPARE(w.writeFormattedCell(1, 1, 3, QStringLiteral("Щербакова-Жемчужникова Ю.Ш."), true, true, false), 1);
    QCOMPARE(w.writeFormattedCell(1, 2, 3, QStringLiteral("8"), false, true, false), 1);
    QCOMPARE(w.writeFormattedCell(1, 4, 3, QStringLiteral("12"), false, true, false), 1);
    QCOMPARE(w.writeFormattedCell(1, 5, 3, QStringLiteral("123456789,25"), false, true, false), 1);
    QCOMPARE(w.writeFormattedCell(1, 1, 4, QStringLiteral("Ёлкин Ф.Я."), true, true, false), 1);
    QCOMPARE(w.writeFormattedCell(1, 2, 4, QStringLiteral("007"), true, true, false), 1);
    QCOMPARE(w.writeFormattedCell(1, 3, 4, QStringLiteral("-3.5"), false, true, false), 1);
    QCOMPARE(w.writeFormattedCell(1, 5, 4, QStringLiteral("9876543210,5"), false, true, true), 1);
    // The shape of the price export: plain writes, numbers with the point.
    QCOMPARE(w.writeCell(1, 6, 2, QStringLiteral("Цена")), 1);
    QCOMPARE(w.writeCell(1, 6, 3, QStringLiteral("12.5")), 1);
    QCOMPARE(w.writeCell(1, 6, 4, QStringLiteral("Заготовки")), 1);
    // Bold cleared again.
    QCOMPARE(w.writeFormattedCell(1, 1, 5, QStringLiteral("Снято"), true, false, true), 1);
    QCOMPARE(w.writeFormattedCell(1, 1, 5, QStringLiteral("Снято"), true, false, false), 1);
    // Texts the package has to escape.
    const QString escapeLike = QStringLiteral("_x0041_x0042_ _x12_ <&>");
    QCOMPARE(w.writeCell(1, 1, 6, escapeLike), 1);
    QCOMPARE(w.writeCell(1, 1, 7, QStringLiteral("x") + QChar(0xFFFE) + QStringLiteral("y")), 1);
    QCOMPARE(w.setVisible(true), 1);
    QVERIFY(rec.shown.isEmpty());
    QCOMPARE(app.opened.size(), 1);

    QTemporaryDir work;
    const QString profile = QUrl::fromLocalFile(work.filePath(QStringLiteral("profile"))).toString();
    auto convert = [&](const QString &format) {
        QProcess office;
        office.setProcessChannelMode(QProcess::MergedChannels);
        office.start(soffice, {QStringLiteral("-env:UserInstallation=") + profile, QStringLiteral("--headless"),
                               QStringLiteral("--norestore"), QStringLiteral("--convert-to"), format,
                               QStringLiteral("--outdir"), work.path(), app.opened[0]});
        if (!office.waitForFinished(300000))
            office.kill();
        const QString out = work.filePath(QFileInfo(app.opened[0]).completeBaseName() + u'.' + format);
        if (!QFileInfo::exists(out))
            qWarning() << "LibreOffice said:" << office.readAll();
        return out;
    };

    const OfficeSheet s = readFlatSpreadsheet(convert(QStringLiteral("fods")));
    QVERIFY(s.ok);
    struct Expected {
        int row, column;
        const char *type;
        QString shown;
        double value;
        bool bold, textFormat;
    };
    const Expected expected[] = {
        {1, 1, "string", QStringLiteral("Январь 2026"), 0, true, true},
        {2, 1, "string", QStringLiteral("Фамилия И.О."), 0, true, true},
        {2, 2, "float", QString(), 1, true, false},
        {2, 4, "float", QString(), 3, true, false},
        {2, 5, "string", QStringLiteral("Итого (р.)"), 0, true, true},
        {3, 1, "string", QStringLiteral("Щербакова-Жемчужникова Ю.Ш."), 0, false, true},
        {3, 2, "float", QString(), 8, false, false},
        {3, 5, "float", QString(), 123456789.25, false, false},
        {4, 2, "string", QStringLiteral("007"), 0, false, true},
        {4, 3, "float", QString(), -3.5, false, false},
        {4, 5, "float", QString(), 9876543210.5, true, false},
        {2, 6, "string", QStringLiteral("Цена"), 0, false, false},
        {3, 6, "float", QString(), 12.5, false, false},
        {5, 1, "string", QStringLiteral("Снято"), 0, false, true},
        {6, 1, "string", escapeLike, 0, false, false},
        {7, 1, "string", QStringLiteral("x\uFFFDy"), 0, false, false},
    };
    for (const Expected &e : expected) {
        const QString where = QStringLiteral("row %1, column %2").arg(e.row).arg(e.column);
        QVERIFY2(s.cells.contains({e.row, e.column}), qPrintable(where));
        const OfficeCell c = s.cells.value({e.row, e.column});
        QVERIFY2(c.type == QLatin1String(e.type), qPrintable(where + u' ' + c.type));
        if (c.type == u"float")
            QVERIFY2(qFuzzyCompare(c.value.toDouble(), e.value), qPrintable(where + u' ' + c.value));
        else
            QVERIFY2(c.text == e.shown, qPrintable(where + u' ' + c.text));
        QVERIFY2(c.bold == e.bold, qPrintable(where + QStringLiteral(" bold")));
        QVERIFY2(c.textFormat == e.textFormat, qPrintable(where + QStringLiteral(" text format")));
    }
    QVERIFY(!s.cells.contains({3, 3}));   // the day without hours stays empty

    // Fitted columns: the long name's column is wide, the day columns narrow, and the unfitted
    // price column keeps the default width.
    QVERIFY2(s.widthsCm.value(1) > 2 * s.widthsCm.value(6), qPrintable(QString::number(s.widthsCm.value(1))));
    QVERIFY2(s.widthsCm.value(2) < s.widthsCm.value(6), qPrintable(QString::number(s.widthsCm.value(2))));
    QVERIFY(s.widthsCm.value(5) > s.widthsCm.value(2));

    const QString pdf = convert(QStringLiteral("pdf"));
    QVERIFY(QFileInfo::exists(pdf));
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (pdftotext.isEmpty())
        QSKIP("pdftotext (poppler-utils) is not installed");
    QProcess text;
    text.start(pdftotext, {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    QVERIFY(text.waitForFinished(60000));
    const QString printed = QString::fromUtf8(text.readAllStandardOutput());
    QVERIFY2(!printed.contains(u'#'), qPrintable(printed));
    for (const QString &shown : {QStringLiteral("123456789"), QStringLiteral("9876543210"),
                                 QStringLiteral("Щербакова-Жемчужникова Ю.Ш."), QStringLiteral("007")})
        QVERIFY2(printed.contains(shown), qPrintable(shown + u'\n' + printed));
}

QTEST_MAIN(TestSpreadsheetWriter)
#include "test_spreadsheet_writer.moc"
