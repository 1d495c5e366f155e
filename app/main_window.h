#pragma once

#include "app/roles.h"

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
class TDataModule6;
struct CellStyle;
struct JournalContext;

// The main window "Табель": the journal of production records of one date and one journal mode
// (shifts 1 to 3, overtime), and the hub from which every other window is opened.
class TForm1 : public QDialog {
    Q_OBJECT
public:
    explicit TForm1(TDataModule6 *module, QWidget *parent = nullptr);
    ~TForm1() override;

    // How many records of a long journal show before the rest of it is read: a screenful and more.
    static constexpr int JournalFirstRows = 200;

    // The window's own state; other windows get what they need of it as values when they open.
    int JournalMode = 1;
    DataSet *CurrentJournal = nullptr;
    QString LoginText;
    Role LoginRole = Role::None;
    int BuildDate = 0;
    int BuildTime = 0;

    // Switches off what the role may not use (set once by the login; never enabled again).
    void ApplyRole(Role role);

    // Commands, each as the user triggers it.
    void Activate();                 // the window becomes active again: today's journal
    void DateChosen();               // calendar closed or Enter in the date picker
    void Button8Click();             // "Обновить"
    void ModeChosen(int mode);       // a radio button became checked
    void Button4Click();             // "Выход"
    void Button1Click();             // "Добавить"
    void Button2Click();             // "Изменить"
    void Button3Click();             // "Удалить"
    void Button5Click();             // "Ср.сд./хоз. работы"
    void DBGrid2DblClick();          // state toggle
    void Timer1Timer();              // version gate every 30 seconds
    // Records this build in the version row, or stops the program when a newer build has run.
    void VersionGate();

    // Re-reads the four journal queries for the date of DateT.
    void ReadJournals();
    // The journal query of the current mode (modes outside 1..4 count as 1).
    DataSet *JournalOfMode() const;
    // Sets the journal date (the date picker's value) without re-reading.
    void setJournalDate(const QDate &date);
    QDate journalDate() const;
    // "Выходной": the journal date is paid as a day off.
    bool DayOff() const;
    // The journal of the current mode with its date, mode and day off, as the record dialog
    // is opened on it.
    JournalContext Context() const;

    // How a journal cell is drawn: the "OK" column bold green when accepted, bold red otherwise.
    static CellStyle JournalCellStyle(const QString &field, const QString &state);

    // Shows a child window modally; afterwards this window is active again and re-reads today.
    void showChild(QDialog *child);

    TDataModule6 *module() const { return m_module; }

    QMenu *MenuReference = nullptr;  // "Справочники"
    QMenu *MenuTabel = nullptr;      // "Табель"
    QMenu *MenuReports = nullptr;    // "Отчеты"

    // Sets the state of one production record: parameters ok (text) and id (integer).
    std::unique_ptr<SqlCommand> updtOK;

signals:
    // The version gate found a newer build: the program ends within 5 seconds.
    void versionOutdated();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildMenu(QMenuBar *bar);
    void openJournals(bool rereadParams);

    TDataModule6 *m_module;
    QRadioButton *RadioButton[4];
    QDateEdit *DateT;
    QCheckBox *CBox1;
    DataGrid *DBGrid2;
    QTimer *Timer1;
    QPushButton *Button1, *Button2, *Button3, *Button8;
};
