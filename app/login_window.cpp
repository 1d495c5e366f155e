#include "app/login_window.h"

#include "app/data_module.h"
#include "app/main_window.h"
#include "app/messages.h"
#include "app/program_end.h"
#include "app/windows.h"
#include "db/plant.h"
#include "reports/report_centre.h"

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
    // An outdated copy ends 5 seconds after the version message, even while nobody answers it.
    connect(m_main, &TForm1::versionOutdated, this, &TForm23::startEndTimer);
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
    // Every journal lists the records in any state but the one never written.
    for (int mode = 1; mode <= 4; ++mode)
        dm->Smena(mode)->setParam(QStringLiteral("ok"), Plant::stateHidden());
    f->ApplyRole(role);
    if (role == Role::None) {
        Messages::error(QStringLiteral("Введены неверные данные."));
        return false;
    }
    Windows::get<TForm18>()->ApplyRole(role);
    return true;
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
