#pragma once

#include <QPair>
#include <functional>

class QDialog;
class QPushButton;
class QWidget;

// Lays out a reference dialog: its content above a right-aligned row of "Записать" (Button1,
// the default button) and "Отмена" (Button2). "Записать" runs `write`, an error thrown by it
// becoming an error box; "Отмена" rejects the dialog. Returns the two buttons.
QPair<QPushButton *, QPushButton *> addWriteCancelButtons(QDialog *dialog, QWidget *content,
                                                          const std::function<void()> &write);
