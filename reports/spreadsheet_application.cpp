#include "reports/spreadsheet_application.h"

#include <QDesktopServices>
#include <QGuiApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>
#include <QUrl>

namespace {

// Spreadsheet programs packaged for Debian that take a file name on their command line. They are
// the fallback when the desktop has no association set up (or no xdg-utils at all), as on a
// freshly installed workstation without a desktop session.
const QStringList &knownPrograms()
{
    static const QStringList programs = {
        QStringLiteral("localc"),       QStringLiteral("libreoffice"),
        QStringLiteral("soffice"),      QStringLiteral("gnumeric"),
        QStringLiteral("onlyoffice-desktopeditors"), QStringLiteral("calligrasheets"),
        QStringLiteral("et"),
    };
    return programs;
}

QString firstKnownProgram()
{
    for (const QString &name : knownPrograms()) {
        const QString path = QStandardPaths::findExecutable(name);
        if (!path.isEmpty())
            return path;
    }
    return {};
}

// The desktop file the user's desktop associates with .xlsx, empty when there is none.
QString associatedDesktopFile()
{
    const QString xdgMime = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
    if (xdgMime.isEmpty())
        return {};
    QProcess query;
    query.start(xdgMime, {QStringLiteral("query"), QStringLiteral("default"),
                          SpreadsheetApplication::xlsxMimeType()});
    if (!query.waitForFinished(3000)) {
        query.kill();
        query.waitForFinished(1000);
        return {};
    }
    if (query.exitStatus() != QProcess::NormalExit || query.exitCode() != 0)
        return {};
    return QString::fromLocal8Bit(query.readAllStandardOutput()).trimmed();
}

bool systemAvailable()
{
    return !associatedDesktopFile().isEmpty() || !firstKnownProgram().isEmpty();
}

bool openThroughDesktop(const QString &filePath)
{
    return qGuiApp && QDesktopServices::openUrl(QUrl::fromLocalFile(filePath));
}

// The user's association comes first. Without one the desktop's opener still reports success
// when it merely started, and then finds no application, so a known program is started instead.
bool systemOpen(const QString &filePath)
{
    const bool associated = !associatedDesktopFile().isEmpty();
    if (associated && openThroughDesktop(filePath))
        return true;
    const QString program = firstKnownProgram();
    if (!program.isEmpty() && QProcess::startDetached(program, {filePath}))
        return true;
    return !associated && openThroughDesktop(filePath);
}

SpreadsheetApplication::Launcher &current()
{
    static SpreadsheetApplication::Launcher launcher = SpreadsheetApplication::system();
    return launcher;
}

} // namespace

const QString &SpreadsheetApplication::xlsxMimeType()
{
    static const QString type =
        QStringLiteral("application/vnd.openxmlformats-officedocument.spreadsheetml.sheet");
    return type;
}

SpreadsheetApplication::Launcher SpreadsheetApplication::system()
{
    return {systemAvailable, systemOpen};
}

SpreadsheetApplication::Launcher SpreadsheetApplication::replace(const Launcher &launcher)
{
    Launcher previous = current();
    const Launcher fallback = system();
    current().available = launcher.available ? launcher.available : fallback.available;
    current().open = launcher.open ? launcher.open : fallback.open;
    return previous;
}

bool SpreadsheetApplication::available()
{
    return current().available();
}

bool SpreadsheetApplication::open(const QString &filePath)
{
    return current().open(filePath);
}
