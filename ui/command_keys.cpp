#include "ui/command_keys.h"

#include <QAbstractButton>
#include <QShortcut>
#include <QStringList>

namespace CommandKeys {

namespace {

void addToTooltip(QAbstractButton *button, const QList<QKeySequence> &keys)
{
    QStringList names;
    for (const QKeySequence &key : keys) {
        // Return and the number pad's Enter are one key to the user.
        const QString name = key == QKeySequence(Qt::Key_Return) ? QKeySequence(Qt::Key_Enter).toString(QKeySequence::NativeText)
                                                                  : key.toString(QKeySequence::NativeText);
        if (!names.contains(name))
            names << name;
    }
    // The keys alone: a list's change button reads "Выбрать" in picker mode.
    button->setToolTip((names.size() == 1 ? QStringLiteral("Клавиша: ") : QStringLiteral("Клавиши: "))
                       + names.join(QStringLiteral(", ")));
}

void connectKeys(QAbstractButton *button, QWidget *parent, Qt::ShortcutContext context, const QList<QKeySequence> &keys)
{
    for (const QKeySequence &key : keys) {
        auto *shortcut = new QShortcut(key, parent);
        shortcut->setContext(context);
        QObject::connect(shortcut, &QShortcut::activated, button, [button] {
            if (button->isEnabled() && button->isVisibleTo(button->window()))
                button->click();
        });
    }
}

} // namespace

void bind(QAbstractButton *button, const QList<QKeySequence> &keys, QWidget *grid, const QList<QKeySequence> &gridKeys)
{
    connectKeys(button, button->window(), Qt::WindowShortcut, keys);
    if (grid)
        connectKeys(button, grid, Qt::WidgetShortcut, gridKeys);
    addToTooltip(button, (grid ? gridKeys : QList<QKeySequence>()) + keys);
}

QList<QKeySequence> enter()
{
    return {QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)};
}

QList<QKeySequence> remove()
{
    return {QKeySequence(Qt::Key_Delete)};
}

} // namespace CommandKeys
