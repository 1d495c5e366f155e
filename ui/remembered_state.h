#pragma once

#include <QSize>
#include <QString>
#include <QVariant>

class QWidget;

// What the windows remember from one run to the next, for the user who works at the workstation:
// in the user's settings file (db/settings_files.h), never in the database. The groups are the
// windows' own:
//   [windows]  <window>/geometry, <window>/maximized
//   [grids]    <window>/<grid>/<field>: a column's width (see DataGrid::userWidths)
//   [splitters] <window>/<splitter>
//   [journal]  mode: the journal mode last chosen
//   [reports]  start, end: the report centre's period; zoom, zoomFactor: the preview's zoom;
//              pdfFolder: the folder a report was last saved to
namespace RememberedState {

// The program remembers; a window shown while it does not (tests of other things) neither
// restores nor keeps anything.
void setEnabled(bool enabled);
bool enabled();

// A resizable window (fitToScreen) remembers its place and size, whether it was maximised, its
// grids' column widths and its splitters: restored at its first showing in the run (pulled back
// onto a screen that exists), kept at every hiding. `designed` is what "reset windows" puts back.
void followWindow(QWidget *window, const QSize &designed);

// "Reset windows": every window followed gets its designed size back, in the middle of its
// screen, its grids their designed widths; what was remembered of windows, grids and splitters
// is forgotten.
void resetWindows();

// The print preview's zoom: the way the user last left a preview (page width, whole page or a
// factor of their own) comes back in the next one; nothing remembered keeps the report's own.
struct PreviewZoom {
    enum Mode { None, PageWidth, WholePage, Factor } mode = None;
    double factor = 1;
};
PreviewZoom rememberedZoom();
void keepZoom(const PreviewZoom &zoom);

// The folder a report was last saved to, `fallback` before the first; keepSavedFile remembers the
// folder of a file just saved.
QString savingFolder(const QString &fallback);
void keepSavedFile(const QString &path);

// A value of a window's own, `fallback` while nothing is remembered (or the program does not
// remember).
QVariant value(const QString &group, const QString &key, const QVariant &fallback = {});
void setValue(const QString &group, const QString &key, const QVariant &value);

} // namespace RememberedState
