#pragma once

#include "db/connection_string.h"

#include <QDialog>

class QLineEdit;
class QTimer;
class JournalWindow;

// The login window "Авторизация": the application's main window. The login word decides the role,
// the role switches off what it may not use, and the journal is shown modally; when the journal
// closes, the program ends. Below the buttons, in small print, the server and database it works with.
class LoginWindow : public QDialog {
    Q_OBJECT
public:
    explicit LoginWindow(JournalWindow *mainWindow, const ConnectionTarget &target = ConnectionTarget(),
                         QWidget *parent = nullptr);

    void activate(); // version gate, then the caption with the build stamp
    void logIn();    // "Вход"
    void cancel();   // "Отмена"
    // Applies the login of the typed word; true when the journal is to be shown.
    bool applyLogin();
    void showJournal();
public slots:
    // Ends the program 5 seconds from now, even while a message box waits for an answer.
    void startEndTimer();

public:

protected:
    void showEvent(QShowEvent *event) override;
    void done(int result) override;

private:
    JournalWindow *m_journal;
    QLineEdit *passwordEdit;
    QTimer *endTimer;
    bool m_activated = false;
};
