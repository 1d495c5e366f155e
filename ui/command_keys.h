#pragma once

#include <QKeySequence>
#include <QList>

class QAbstractButton;
class QWidget;

// The keys of the windows' commands, as other desktop programs have them: Insert adds, Enter or
// F4 changes, Delete deletes (with its question), F5 reads again, Ctrl+P prints. A key does
// what its button does, and only while the button may be used (enabled and shown), so a role
// that may not use a button may not use its key either; the keys show in the button's tooltip.
namespace CommandKeys {

const QKeySequence Add(Qt::Key_Insert);
const QKeySequence Change(Qt::Key_F4);
const QKeySequence Reread(Qt::Key_F5);
const QKeySequence Print(Qt::CTRL | Qt::Key_P);

// `keys`, pressed anywhere in the button's window, click it; `gridKeys` (Enter, Delete: keys that
// act on the current row) only while `grid` has the focus, so that elsewhere Enter stays the
// dialog's default button and Delete erases in a text box.
void bind(QAbstractButton *button, const QList<QKeySequence> &keys, QWidget *grid = nullptr,
          const QList<QKeySequence> &gridKeys = {});

// Enter, and the Enter of the number pad.
QList<QKeySequence> enter();
QList<QKeySequence> remove();

} // namespace CommandKeys
