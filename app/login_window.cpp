#include "app/login_window.h"

#include "app/data_module.h"
#include "app/main_window.h"
#include "app/messages.h"
#include "app/program_end.h"
#include "db/plant.h"

#include <QAction>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

TForm23::TForm23(TForm1 *mainWindow, QWidget *parent) : QDialog(parent), m_main(mainWindow)
{
    setObjectName(QStringLiteral("TForm23"));
    setWindowTitle(QStringLiteral("Авторизация"));
    m_main->LoginWindow = this;

    auto *layout = new QVBoxLayout(this);
    auto *label = new QLabel(QStringLiteral("Пароль:"), this);
    layout->addWidget(label);
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setEchoMode(QLineEdit::Password);
    Edit1->setMinimumWidth(260);
    layout->addWidget(Edit1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    auto *b1 = new QPushButton(QStringLiteral("Вход"), this);
    b1->setObjectName(QStringLiteral("Button1"));
    b1->setDefault(true);
    auto *b2 = new QPushButton(QStringLiteral("Отмена"), this);
    b2->setObjectName(QStringLiteral("Button2"));
    b2->setAutoDefault(false);
    buttons->addWidget(b1);
    buttons->addWidget(b2);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    connect(b1, &QPushButton::clicked, this, [this] { Messages::guard([this] { Button1Click(); }); });
    connect(b2, &QPushButton::clicked, this, [this] { Button2Click(); });

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(5000);
    Timer1->setSingleShot(true);
    connect(Timer1, &QTimer::timeout, this, [] { Program::requestEnd(); });
}

void TForm23::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!m_activated) {
        m_activated = true;
        QTimer::singleShot(0, this, [this] { FormActivate(); });
    }
}

void TForm23::FormActivate()
{
    m_main->VersionGate();
    setWindowTitle(QStringLiteral("Авторизация (build: %1.%2)").arg(m_main->BuildDate).arg(m_main->BuildTime));
}

void TForm23::startEndTimer()
{
    Timer1->start();
}

bool TForm23::Login()
{
    TForm1 *f = m_main;
    TDataModule6 *dm = f->module();
    f->JournalMode = 1;
    f->LoginText = Edit1->text().trimmed();
    const Role role = roleOfLogin(f->LoginText);
    f->LoginRole = role;
    f->MenuTabel->setEnabled(role == Role::Administrator);

    auto disable = [f](std::initializer_list<const char *> names) {
        for (const char *name : names)
            if (QWidget *w = f->findChild<QWidget *>(QString::fromLatin1(name)))
                w->setEnabled(false);
    };
    auto hideRows = [dm] {
        for (int mode = 1; mode <= 4; ++mode)
            dm->Smena(mode)->setParam(QStringLiteral("ok"), Plant::stateHidden());
    };

    switch (role) {
    case Role::Accountant:
        disable({"Button1", "Button2", "Button3", "RadioButton1", "RadioButton2", "RadioButton3",
                 "RadioButton4", "CBox1", "Button8", "DBGrid2", "DateT"});
        f->MenuReference->setEnabled(false);
        f->MenuTabel->setEnabled(false);
        hideRows();
        return true;
    case Role::ShiftForeman:
        disable({"Button2", "Button3"});
        f->MenuReference->setEnabled(false);
        f->MenuTabel->setEnabled(false);
        hideRows();
        return true;
    case Role::Storekeeper:
        hideRows();
        disable({"Button1", "Button2", "Button3"});
        f->MenuReference->setEnabled(false);
        f->MenuTabel->setEnabled(false);
        return true;
    case Role::Administrator:
        hideRows();
        return true;
    case Role::None:
        hideRows();
        Messages::error(QStringLiteral("Введены неверные данные."));
        return false;
    }
    return false;
}

void TForm23::Button1Click()
{
    if (Login())
        ShowMainWindow();
}

void TForm23::ShowMainWindow()
{
    hide();
    m_main->Activate();
    m_main->exec();
    close();
    Program::requestEnd();
}

void TForm23::Button2Click()
{
    close();
}

void TForm23::done(int result)
{
    // Closing the login window (Esc, "Отмена", the title bar) ends the program.
    QDialog::done(result);
    Program::requestEnd();
}
