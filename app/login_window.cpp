#include "app/login_window.h"

#include "db/data_module.h"
#include "journal/journal_window.h"
#include "ui/messages.h"
#include "ui/program_end.h"
#include "ui/windows.h"
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

LoginWindow::LoginWindow(JournalWindow *mainWindow, const ConnectionTarget &target, QWidget *parent)
    : QDialog(parent), m_journal(mainWindow)
{
    setObjectName(QStringLiteral("TForm23"));
    setWindowTitle(QStringLiteral("Авторизация"));

    auto *layout = new QVBoxLayout(this);
    auto *label = new QLabel(QStringLiteral("Пароль:"), this);
    layout->addWidget(label);
    passwordEdit = new QLineEdit(this);
    passwordEdit->setObjectName(QStringLiteral("Edit1"));
    passwordEdit->setEchoMode(QLineEdit::Password);
    passwordEdit->setMinimumWidth(260);
    layout->addWidget(passwordEdit);
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
    // Which server and database this is, for the user who works with more than one and for the
    // plant's IT department on the telephone.
    auto *connectionLabel = new QLabel(this);
    connectionLabel->setObjectName(QStringLiteral("connectionLabel"));
    if (!target.server.isEmpty())
        connectionLabel->setText(QStringLiteral("Сервер: %1, база данных: %2").arg(target.server, target.database));
    QFont small = connectionLabel->font();
    small.setPointSizeF(small.pointSizeF() * 0.8);
    connectionLabel->setFont(small);
    connectionLabel->setForegroundRole(QPalette::PlaceholderText);
    connectionLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(connectionLabel);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    connect(b1, &QPushButton::clicked, this, [this] { Messages::guard([this] { logIn(); }); });
    connect(b2, &QPushButton::clicked, this, [this] { cancel(); });

    endTimer = new QTimer(this);
    endTimer->setObjectName(QStringLiteral("Timer1"));
    endTimer->setInterval(5000);
    endTimer->setSingleShot(true);
    connect(endTimer, &QTimer::timeout, this, [] { Program::requestEnd(); });
    // An outdated copy ends 5 seconds after the version message, even while nobody answers it.
    connect(m_journal, &JournalWindow::versionOutdated, this, &LoginWindow::startEndTimer);
}

void LoginWindow::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!m_activated) {
        m_activated = true;
        QTimer::singleShot(0, this, [this] { activate(); });
    }
}

void LoginWindow::activate()
{
    m_journal->runVersionGate();
    setWindowTitle(QStringLiteral("Авторизация (build: %1.%2)").arg(m_journal->buildDate).arg(m_journal->buildTime));
}

void LoginWindow::startEndTimer()
{
    endTimer->start();
}

bool LoginWindow::applyLogin()
{
    JournalWindow *f = m_journal;
    DataModule *dm = f->module();
    f->journalMode = 1;
    f->loginText = passwordEdit->text().trimmed();
    const Role role = roleOfLogin(f->loginText);
    // Every journal lists the records in any state but the one never written.
    for (int mode = 1; mode <= 4; ++mode)
        dm->journal(mode)->setParam(QStringLiteral("ok"), Plant::stateHidden());
    f->applyRole(role);
    if (role == Role::None) {
        Messages::error(QStringLiteral("Введены неверные данные."));
        return false;
    }
    Windows::get<ReportCentre>()->applyRole(role);
    return true;
}

void LoginWindow::logIn()
{
    if (applyLogin())
        showJournal();
}

void LoginWindow::showJournal()
{
    hide();
    m_journal->activate();
    m_journal->exec();
    close();
    Program::requestEnd();
}

void LoginWindow::cancel()
{
    close();
}

void LoginWindow::done(int result)
{
    // Closing the login window (Esc, "Отмена", the title bar) ends the program.
    QDialog::done(result);
    Program::requestEnd();
}
