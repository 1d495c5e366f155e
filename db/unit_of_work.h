#pragma once

#include <QString>

class DataModule;

// One command's writes as one transaction on the data module's connection. The first scope opens
// the transaction; scopes opened inside it (the day-cell rule inside a record's save) join it and
// leave the commit to the outermost one. The outermost scope commits in commit(); when it ends
// without a commit (an error was thrown on the way) it rolls the whole transaction back. The
// driver rolls back only the statement that failed, never the transaction, so the rollback is
// ours: a command either leaves all its writes or none of them.
//
// A scope is opened after every question to the user has been answered and ends before the next
// one: no transaction (and no lock taken in it) ever waits for a person.
class UnitOfWork {
public:
    explicit UnitOfWork(DataModule &module);
    ~UnitOfWork();
    UnitOfWork(const UnitOfWork &) = delete;
    UnitOfWork &operator=(const UnitOfWork &) = delete;

    // The outermost scope commits (throws DbError when the server refuses the commit, after
    // rolling back); a joined scope only marks its part as done.
    void commit();
    bool joined() const { return m_joined; }

    // Takes a transaction-level advisory lock (released at commit or rollback). The first key
    // keeps the program's locks apart from any other software's; `name` names what is locked
    // alike on every workstation.
    void lock(const QString &space, const QString &name, bool shared = false);

private:
    DataModule &m_module;
    bool m_joined = false;
    bool m_done = false;
};
