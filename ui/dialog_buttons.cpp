#include "ui/dialog_buttons.h"

#include "ui/messages.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

QPair<QPushButton *, QPushButton *> addWriteCancelButtons(QDialog *dialog, QWidget *content,
                                                          const std::function<void()> &write,
                                                          const DialogButtons &captions)
{
    auto *writeButton = new QPushButton(captions.write, dialog);
    writeButton->setObjectName(QStringLiteral("Button1"));
    writeButton->setDefault(true);
    const QString failed = captions.failed;
    QObject::connect(writeButton, &QPushButton::clicked, dialog, [write, failed] { Messages::guard(failed, write); });
    auto *cancelButton = new QPushButton(captions.cancel, dialog);
    cancelButton->setObjectName(captions.cancelName);
    cancelButton->setAutoDefault(false);
    QObject::connect(cancelButton, &QPushButton::clicked, dialog, &QDialog::reject);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(writeButton);
    buttons->addWidget(cancelButton);
    auto *layout = new QVBoxLayout(dialog);
    layout->addWidget(content);
    layout->addLayout(buttons);
    return {writeButton, cancelButton};
}
