#include "ui/message_boxes.h"

#include "ui/messages.h"

#include <QApplication>
#include <QDesktopServices>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>
#include <QUrl>

namespace {

QWidget *dialogParent()
{
    return QApplication::activeModalWidget() ? QApplication::activeModalWidget()
                                              : QApplication::activeWindow();
}

class MessageBoxes : public Messages::Presenter {
public:
    void showError(const QString &title, const QString &text) override
    {
        QMessageBox::critical(dialogParent(), title, text, QMessageBox::Ok);
    }
    void showErrorWithFolder(const QString &title, const QString &text, const QString &folder) override
    {
        QMessageBox box(QMessageBox::Critical, title, text, QMessageBox::Ok, dialogParent());
        box.setObjectName(QStringLiteral("FolderMessage"));
        QPushButton *open = nullptr;
        if (canOpenFolders()) {
            open = box.addButton(QStringLiteral("Открыть папку"), QMessageBox::ActionRole);
            open->setObjectName(QStringLiteral("OpenFolder"));
        }
        box.setDefaultButton(QMessageBox::Ok);
        box.exec();
        if (open && box.clickedButton() == open)
            QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
    }
    bool askYesNo(const QString &title, const QString &text) override
    {
        return QMessageBox::question(dialogParent(), title, text, QMessageBox::Yes | QMessageBox::No,
                                     QMessageBox::No)
            == QMessageBox::Yes;
    }
};

} // namespace

bool canOpenFolders()
{
#if defined(Q_OS_WIN) || defined(Q_OS_MACOS)
    return true;
#else
    // A free desktop opens folders through xdg-open; a bare X session without it opens nothing.
    return !QStandardPaths::findExecutable(QStringLiteral("xdg-open")).isEmpty();
#endif
}

void installMessageBoxes()
{
    static MessageBoxes boxes;
    Messages::setPresenter(&boxes);
}
