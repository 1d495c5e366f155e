#pragma once

#include "db/dataset.h"

#include <QObject>
#include <QString>
#include <QStringList>

// The shared data module: the program's single database connection and the statement holders and
// list queries that the windows share. One instance lives for the whole run; tests may create
// more, each with its own connection, to play several workstations.
class TDataModule6 : public QObject {
    Q_OBJECT
    // Each module has a connection of its own; declared first, as the statement holders use it.
    const QString m_connection;
    friend class UnitOfWork;
    int m_workDepth = 0;
    QStringList m_deferredErrors;

public:
    explicit TDataModule6(QObject *parent = nullptr);
    ~TDataModule6() override;

    // Opens ADO_DB with the driver connection string; throws DbError when it cannot.
    void Connect(const QString &connectionString);
    QString connectionName() const { return m_connection; }

    // Shared count check: runs `statement` (one row with an integer column cnt) through Control;
    // when cnt > 0 shows `message` in an error box and returns true (the caller stops its save).
    // Inside a command's transaction the box waits until the transaction has ended, so that no
    // lock is held while the user reads it.
    bool CountCheck(const QString &statement, const QString &message);
    // Replaces the first "," (or, without a comma, the first ".") by the decimal delimiter.
    QString ReplaceDelimiter(const QString &number) const;
    // Runs a one-value look-up through Control and returns the value of `field` (invalid when the
    // statement returns no row).
    QVariant LookUp(const QString &statement, const QString &field);

    // True while a command's transaction is open on the connection (see UnitOfWork).
    bool inTransaction() const { return m_workDepth > 0; }

    QString DecimalDelimiter;

    // Statement holders whose text each caller sets before use.
    DataSet *Control;
    SqlCommand DelSmena;
    SqlCommand H_Tabel_ins;
    SqlCommand SQL_exec;

    // The four journal lists, one per journal mode.
    DataSet *Smena1;
    DataSet *Smena2;
    DataSet *Smena3;
    DataSet *Smena4;
    DataSet *Smena(int mode) const;   // modes outside 1..4 count as 1

    // Shared reference lists.
    DataSet *Workers;
    DataSet *Izdel;
    DataSet *Vid_oper;
    DataSet *Oper;
    SqlCommand Oper_ins;
    SqlCommand Oper_ed;
    SqlCommand Oper_del;

    // Monthly timesheet grids of shifts 1 to 3.
    DataSet *H_Tabel_1;
    DataSet *H_Tabel_2;
    DataSet *H_Tabel_3;
};
