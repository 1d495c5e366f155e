#pragma once

#include "db/roles.h"

#include <QDialog>

class DataModule;
class QLabel;
struct ProgramFacts;

// "О программе": the version and build of the program, the server and database it works with,
// the login's role, the versions of Qt, of the ODBC driver and of the server, and where the
// settings files are. Opened from the main menu "Справка".
class AboutWindow : public QDialog {
    Q_OBJECT
public:
    explicit AboutWindow(DataModule *module, QWidget *parent = nullptr);

    // Asks the connection again and shows the window modally.
    void showAbout(Role role);
    // Fills the window with what is known now, without showing it.
    void prepare(Role role);
    void fill(const ProgramFacts &facts);

    // The text of a line, by its caption ("Версия", "Сервер", ...), for the tests.
    QString line(const QString &caption) const;

private:
    DataModule *m_module;
    QList<QPair<QString, QLabel *>> m_lines;
};
