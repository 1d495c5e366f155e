// Prints how long the spreadsheet writer takes to fill and save a sheet of 1,000 rows by
// 36 columns, the size of a large piecework timesheet export. Not a test: run it by hand.

#include "ui/messages.h"
#include "reports/spreadsheet_application.h"
#include "reports/spreadsheet_writer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <vector>

namespace {

constexpr int Rows = 1000;
constexpr int Columns = 36;

struct Timing {
    double writeMs;
    double saveMs;
    qint64 bytes;
};

// One export as the piecework timesheet makes it: every cell fitted, names as text, hours and
// money as numbers, a few empty days.
Timing runOnce(bool formatted)
{
    SpreadsheetWriter w(QStringLiteral("Бенчмарк"));
    QElapsedTimer timer;
    timer.start();
    w.openWorkbook();
    w.setVisible(false);
    for (int c = 1; c <= Columns; ++c) {
        const QString heading = c == 1 ? QStringLiteral("Фамилия И.О.") : QString::number(c);
        if (formatted)
            w.writeFormattedCell(1, c, 1, heading, c == 1, true, true);
        else
            w.writeCell(1, c, 1, heading);
    }
    for (int r = 2; r <= Rows + 1; ++r) {
        for (int c = 1; c <= Columns; ++c) {
            QString text;
            if (c == 1)
                text = QStringLiteral("Работникова-%1 А.Б.").arg(r);
            else if (c <= 33)
                text = (r + c) % 7 == 0 ? QString() : QString::number((r * c) % 12 + 1);
            else
                text = QString::number((r * 1234.5 + c) / 7.0, 'f', 2).replace(u'.', u',');
            if (formatted)
                w.writeFormattedCell(1, c, r, text, c == 1, true, false);
            else
                w.writeCell(1, c, r, text);
        }
    }
    const double writeMs = timer.nsecsElapsed() / 1e6;
    timer.restart();
    w.setVisible(true);
    const double saveMs = timer.nsecsElapsed() / 1e6;
    return {writeMs, saveMs, QFileInfo(w.savedFile()).size()};
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    QTemporaryDir folder;
    SpreadsheetWriter::setFolder(folder.path());
    SpreadsheetApplication::replace({[] { return true; }, [](const QString &) { return true; }});
    Messages::MessageRecorder messages;

    QTextStream out(stdout);
    constexpr int Runs = 7;
    for (const bool formatted : {true, false}) {
        std::vector<double> writes, saves, totals;
        qint64 bytes = 0;
        for (int i = 0; i < Runs; ++i) {
            const Timing t = runOnce(formatted);
            writes.push_back(t.writeMs);
            saves.push_back(t.saveMs);
            totals.push_back(t.writeMs + t.saveMs);
            bytes = t.bytes;
        }
        out << (formatted ? "WriteFormattedCell" : "WriteCell         ") << " " << Rows << " x "
            << Columns << ": write " << QString::number(median(writes), 'f', 1) << " ms, save "
            << QString::number(median(saves), 'f', 1) << " ms, total "
            << QString::number(median(totals), 'f', 1) << " ms (median of " << Runs
            << ", worst " << QString::number(*std::max_element(totals.begin(), totals.end()), 'f', 1)
            << " ms), file " << bytes / 1024 << " KiB\n";
    }
    if (!messages.shown.isEmpty()) {
        out << "unexpected messages: " << messages.texts().join(u"; ") << "\n";
        return 1;
    }
    return 0;
}
