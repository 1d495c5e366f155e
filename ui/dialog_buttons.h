#pragma once

#include <QPair>
#include <QString>
#include <functional>

class QDialog;
class QPushButton;
class QWidget;

// The captions and names of a dialog's button row.
struct DialogButtons {
    QString write = QStringLiteral("Записать");   // Button1, the default button
    QString cancel = QStringLiteral("Отмена");    // the cancel button
    QString cancelName = QStringLiteral("Button2");
    // The line the error box starts with when the write fails.
    QString failed = QStringLiteral("Не удалось сохранить данные.");
};

// Lays out a dialog: its content above a right-aligned row of the write button and the cancel
// button. The write button runs `write`, an error thrown by it becoming an error box; the cancel
// button rejects the dialog. Returns the two buttons.
QPair<QPushButton *, QPushButton *> addWriteCancelButtons(QDialog *dialog, QWidget *content,
                                                          const std::function<void()> &write,
                                                          const DialogButtons &buttons = {});
