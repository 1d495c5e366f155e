#pragma once

#include "db/dataset.h"

#include <QObject>
#include <QString>
#include <QStringList>

// The shared data module: the program's single database connection and the statement holders and
// list queries that the windows share. One instance lives for the whole run; tests may create
// more, each with its own connection, to play several workstations.
class DataModule : public QObject {
    Q_OBJECT
    // Each module has a connection of its own; declared first, as the statement holders use it.
    const QString m_connection;
    friend class UnitOfWork;
    int m_workDepth = 0;
    QStringList m_deferredErrors;

public:
    explicit DataModule(QObject *parent = nullptr);
    ~DataModule() override;

    // Opens ADO_DB with the driver connection string; throws DbError when it cannot.
    void open(const QString &connectionString);
    QString connectionName() const { return m_connection; }

    // Shared count check: runs `statement` (one row with an integer column cnt) through lookUpQuery;
    // when cnt > 0 shows `message` in an error box and returns true (the caller stops its save).
    // Inside a command's transaction the box waits until the transaction has ended, so that no
    // lock is held while the user reads it.
    bool countCheck(const QString &statement, const QString &message);
    // Replaces the first "," (or, without a comma, the first ".") by the decimal delimiter.
    QString replaceDelimiter(const QString &number) const;
    // Runs a one-value look-up through lookUpQuery and returns the value of `field` (invalid when the
    // statement returns no row).
    QVariant lookUp(const QString &statement, const QString &field);

    // True while a command's transaction is open on the connection (see UnitOfWork).
    bool inTransaction() const { return m_workDepth > 0; }

    QString decimalDelimiter;

    // Statement holders whose text each caller sets before use (the plant's Control, DelSmena,
    // H_Tabel_ins and SQL_exec).
    DataSet *lookUpQuery;
    SqlCommand deleteCommand;
    SqlCommand timesheetCommand;   // the timesheet rows' inserts and updates
    SqlCommand command;

    // The four journal lists, one per journal mode (the plant's Smena1 … Smena4).
    DataSet *journalShift1;
    DataSet *journalShift2;
    DataSet *journalShift3;
    DataSet *journalOvertime;
    DataSet *journal(int mode) const;   // modes outside 1..4 count as 1

    // Shared reference lists (Workers, Izdel, Vid_oper, Oper) and the price list's statement
    // holders (Oper_ins, Oper_ed, Oper_del).
    DataSet *workerList;
    DataSet *productList;
    DataSet *kindList;
    DataSet *priceList;
    SqlCommand priceInsert;
    SqlCommand priceUpdate;
    SqlCommand priceDelete;

    // Monthly timesheet grids of shifts 1 to 3 (H_Tabel_1 … H_Tabel_3).
    DataSet *shiftGrid1;
    DataSet *shiftGrid2;
    DataSet *shiftGrid3;
};
