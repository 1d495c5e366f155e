#pragma once

#include <QString>
#include <QStringList>
#include <QList>
#include <exception>
#include <functional>

class QWidget;

// Every message box of the program goes through here: error boxes (stop icon, OK) and
// question boxes (question icon, Yes/No). Tests install a MessageRecorder to read what was
// shown and to script the answers, so no modal box ever blocks a test.
namespace Messages {

void error(const QString &text, const QString &title = QStringLiteral("Ошибка"));
// Returns true only when the user answers Yes.
bool ask(const QString &text, const QString &title = QStringLiteral("Удаление"));

// Runs one user command. Whatever it throws reaches the user as an error box with the
// error's own text; the program goes on. Returns false when the command was stopped by an error.
bool guard(const std::function<void()> &command);

struct Shown {
    enum Kind { Error, Question } kind;
    QString title;
    QString text;
};

// While one exists, boxes are recorded instead of shown. Questions take the next scripted
// answer (No when none is left).
class MessageRecorder {
public:
    MessageRecorder();
    ~MessageRecorder();
    MessageRecorder(const MessageRecorder &) = delete;
    MessageRecorder &operator=(const MessageRecorder &) = delete;

    QList<Shown> shown;
    QList<bool> answers;

    QStringList texts() const;
    QStringList errors() const;     // texts of the error boxes only
    void clear() { shown.clear(); }
};

} // namespace Messages
