#pragma once

#include "db/roles.h"

#include <QDialog>
#include <memory>

class DataGrid;
class DataSet;
class QCheckBox;
class QDateEdit;
class QMenu;
class QMenuBar;
class QPushButton;
class QRadioButton;
class QTimer;
class SqlCommand;
class DataModule;
struct CellStyle;
struct JournalContext;

// The main window "Табель": the journal of production records of one date and one journal mode
// (shifts 1 to 3, overtime), and the hub from which every other window is opened.
class JournalWindow : public QDialog {
    Q_OBJECT
public:
    explicit JournalWindow(DataModule *module, QWidget *parent = nullptr);
    ~JournalWindow() override;

    // How many records of a long journal show before the rest of it is read: a screenful and more.
    static constexpr int JournalFirstRows = 200;
    // A journal of no more rows than this is read whole before it paints (a few milliseconds).
    static constexpr int JournalLongResult = 2000;

    // The window's own state; other windows get what they need of it as values when they open.
    int journalMode = 1;
    DataSet *currentJournal = nullptr;
    QString loginText;
    Role loginRole = Role::None;
    int buildDate = 0;
    int buildTime = 0;

    // Switches off what the role may not use (set once by the login; never enabled again).
    void applyRole(Role role);

    // Commands, each as the user triggers it.
    void activate();           // the window becomes active again: today's journal
    void dateChosen();         // calendar closed or Enter in the date picker
    void reread();             // "Обновить"
    void modeChosen(int mode); // a radio button became checked
    void leave();              // "Выход"
    void addRecord();          // "Добавить"
    void changeRecord();       // "Изменить"
    void deleteRecord();       // "Удалить"
    void openHouseholdWork();  // "Ср.сд./хоз. работы"
    void showAbout();          // "Справка" → "О программе"
    void toggleState();
    void versionTimerTicked(); // version gate every 30 seconds
    // Records this build in the version row, or stops the program when a newer build has run.
    void runVersionGate();

    // Re-reads the four journal queries for the date of dateField.
    void readJournals();
    // The journal query of the current mode (modes outside 1..4 count as 1).
    DataSet *journalOfMode() const;
    // Sets the journal date (the date picker's value) without re-reading.
    void setJournalDate(const QDate &date);
    QDate journalDate() const;
    // "Выходной": the journal date is paid as a day off.
    bool dayOff() const;
    // The journal of the current mode with its date, mode and day off, as the record dialog
    // is opened on it.
    JournalContext journalContext() const;

    // How a journal cell is drawn: the "OK" column bold green when accepted, bold red otherwise.
    static CellStyle journalCellStyle(const QString &field, const QString &state);

    // Shows a child window modally; afterwards this window is active again and re-reads today.
    void showChild(QDialog *child);

    DataModule *module() const { return m_module; }

    QMenu *referenceMenu = nullptr; // "Справочники"
    QMenu *timesheetMenu = nullptr; // "Табель"
    QMenu *reportsMenu = nullptr;   // "Отчеты"
    QMenu *settingsMenu = nullptr;  // "Настройка"
    QMenu *helpMenu = nullptr;      // "Справка"

    // Sets the state of one production record (the plant's updtOK): parameters ok (text) and id
    // (integer).
    std::unique_ptr<SqlCommand> stateUpdate;

signals:
    // The version gate found a newer build: the program ends within 5 seconds.
    void versionOutdated();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildMenu(QMenuBar *bar);
    void openJournals(bool rereadParams);

    DataModule *m_module;
    QRadioButton *modeButtons[4];
    QDateEdit *dateField;
    QCheckBox *dayOffBox;
    DataGrid *grid;
    QTimer *versionTimer;
    QPushButton *addButton, *changeButton, *deleteButton, *rereadButton;
};
