#include "ui/messages.h"

#include <cstdio>
#include <exception>

namespace Messages {

namespace {
MessageRecorder *recorder = nullptr;
Presenter *presenter = nullptr;
} // namespace

void setPresenter(Presenter *p)
{
    presenter = p;
}

void error(const QString &text, const QString &title)
{
    if (recorder) {
        recorder->shown.append({Shown::Error, title, text});
        return;
    }
    if (presenter)
        presenter->showError(title, text);
    else
        std::fprintf(stderr, "%s: %s\n", qPrintable(title), qPrintable(text));
}

void errorWithFolder(const QString &text, const QString &folder, const QString &title)
{
    if (recorder) {
        recorder->shown.append({Shown::Error, title, text, folder});
        return;
    }
    if (presenter)
        presenter->showErrorWithFolder(title, text, folder);
    else
        std::fprintf(stderr, "%s: %s\n", qPrintable(title), qPrintable(text));
}

bool ask(const QString &text, const QString &title)
{
    if (recorder) {
        recorder->shown.append({Shown::Question, title, text});
        return recorder->answers.isEmpty() ? false : recorder->answers.takeFirst();
    }
    return presenter && presenter->askYesNo(title, text);
}

QString errorText(const QString &failed, const QString &error)
{
    if (failed.isEmpty())
        return error;
    return error.isEmpty() ? failed : failed + QLatin1Char('\n') + error;
}

bool guard(const QString &failed, const std::function<void()> &command)
{
    try {
        command();
        return true;
    } catch (const std::exception &e) {
        error(errorText(failed, QString::fromUtf8(e.what())));
    }
    return false;
}

bool guard(const std::function<void()> &command)
{
    return guard(QString(), command);
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
