#include "reference/dialog_buttons.h"

#include "app/messages.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

QPair<QPushButton *, QPushButton *> addWriteCancelButtons(QDialog *dialog, QWidget *content,
                                                          const std::function<void()> &write)
{
    auto *writeButton = new QPushButton(QStringLiteral("Записать"), dialog);
    writeButton->setObjectName(QStringLiteral("Button1"));
    writeButton->setDefault(true);
    QObject::connect(writeButton, &QPushButton::clicked, dialog, [write] { Messages::guard(QStringLiteral("Не удалось сохранить данные."), write); });
    auto *cancelButton = new QPushButton(QStringLiteral("Отмена"), dialog);
    cancelButton->setObjectName(QStringLiteral("Button2"));
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
