#include "app/message_boxes.h"

#include "app/messages.h"

#include <QApplication>
#include <QMessageBox>

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
    bool askYesNo(const QString &title, const QString &text) override
    {
        return QMessageBox::question(dialogParent(), title, text, QMessageBox::Yes | QMessageBox::No,
                                     QMessageBox::No)
            == QMessageBox::Yes;
    }
};

} // namespace

void installMessageBoxes()
{
    static MessageBoxes boxes;
    Messages::setPresenter(&boxes);
}
