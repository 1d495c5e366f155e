#pragma once

#include <QDialog>

class QLineEdit;
class QTimer;
class TForm1;

// The login window "Авторизация": the application's main window. The login word decides the role,
// the role switches off what it may not use, and the journal is shown modally; when the journal
// closes, the program ends.
class TForm23 : public QDialog {
    Q_OBJECT
public:
    explicit TForm23(TForm1 *mainWindow, QWidget *parent = nullptr);

    void FormActivate();   // version gate, then the caption with the build stamp
    void Button1Click();   // "Вход"
    void Button2Click();   // "Отмена"
    // Applies the login of the typed word; true when the journal is to be shown.
    bool Login();
    void ShowMainWindow();
public slots:
    // Ends the program 5 seconds from now, even while a message box waits for an answer.
    void startEndTimer();

public:

protected:
    void showEvent(QShowEvent *event) override;
    void done(int result) override;

private:
    TForm1 *m_main;
    QLineEdit *Edit1;
    QTimer *Timer1;
    bool m_activated = false;
};
