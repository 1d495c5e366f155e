#include "window_helpers.h"

#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QTimer>

void onModal(ModalAction &result, const std::function<void(QDialog *)> &action)
{
    QTimer::singleShot(0, [&result, action] {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        result.ran = true;
        result.window = dialog->objectName();
        action(dialog);
        result.stayedOpen = dialog->isVisible();
        if (dialog->isVisible())
            dialog->reject();
    });
}

void typeText(QWidget *w, const QString &text)
{
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(w, &press);
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(w, &release);
    }
}
