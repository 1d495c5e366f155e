#include "app/messages.h"

#include <QApplication>
#include <QMessageBox>

namespace Messages {

namespace {
MessageRecorder *recorder = nullptr;

QWidget *dialogParent()
{
    return QApplication::activeModalWidget() ? QApplication::activeModalWidget()
                                              : QApplication::activeWindow();
}
} // namespace

void error(const QString &text, const QString &title)
{
    if (recorder) {
        recorder->shown.append({Shown::Error, title, text});
        return;
    }
    QMessageBox::critical(dialogParent(), title, text, QMessageBox::Ok);
}

bool ask(const QString &text, const QString &title)
{
    if (recorder) {
        recorder->shown.append({Shown::Question, title, text});
        return recorder->answers.isEmpty() ? false : recorder->answers.takeFirst();
    }
    return QMessageBox::question(dialogParent(), title, text, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No)
        == QMessageBox::Yes;
}

bool guard(const std::function<void()> &command)
{
    try {
        command();
        return true;
    } catch (const std::exception &e) {
        error(QString::fromUtf8(e.what()));
    }
    return false;
}

MessageRecorder::MessageRecorder() { recorder = this; }
MessageRecorder::~MessageRecorder()
{
    if (recorder == this)
        recorder = nullptr;
}

QStringList MessageRecorder::texts() const
{
    QStringList out;
    for (const auto &s : shown)
        out << s.text;
    return out;
}

QStringList MessageRecorder::errors() const
{
    QStringList out;
    for (const auto &s : shown)
        if (s.kind == Shown::Error)
            out << s.text;
    return out;
}

} // namespace Messages
