#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

// Every message of the program goes through here: error boxes (stop icon, OK) and question boxes
// (question icon, Yes/No). The plant rules only say what to tell the user; the windows install the
// presenter that shows real boxes (ui/message_boxes.h). Tests install a MessageRecorder to read
// what was shown and to script the answers, so no modal box ever blocks a test.
namespace Messages {

void error(const QString &text, const QString &title = QStringLiteral("Ошибка"));
// An error box about a file the program has written all the same: besides OK it has a button
// that opens the file's folder, where the desktop can open folders.
void errorWithFolder(const QString &text, const QString &folder, const QString &title = QStringLiteral("Ошибка"));
// Returns true only when the user answers Yes.
bool ask(const QString &text, const QString &title = QStringLiteral("Удаление"));

// Runs one user command. Whatever it throws reaches the user as an error box with the error's own
// text, after `failed`, a short line saying what did not happen ("Не удалось сохранить запись.");
// the program goes on. Returns false when the command was stopped by an error.
bool guard(const QString &failed, const std::function<void()> &command);
bool guard(const std::function<void()> &command);

// The text of the error box for an error raised while a command ran.
QString errorText(const QString &failed, const QString &error);

// Shows the boxes; the windows install one at start-up.
class Presenter {
public:
    virtual ~Presenter() = default;
    virtual void showError(const QString &title, const QString &text) = 0;
    // Without a way to open folders the box is a plain error box.
    virtual void showErrorWithFolder(const QString &title, const QString &text, const QString &folder)
    {
        (void)folder;
        showError(title, text);
    }
    virtual bool askYesNo(const QString &title, const QString &text) = 0;
};
// Without a presenter (a run without windows) errors go to the standard error stream and every
// question is answered No.
void setPresenter(Presenter *presenter);

struct Shown {
    enum Kind { Error, Question } kind;
    QString title;
    QString text;
    QString folder;   // the folder the box offers to open; empty when it offers none
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
