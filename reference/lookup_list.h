#pragma once

#include <QComboBox>

class DataSet;

// A drop-down list over a look-up table: shows `s_caption`, keyed by `id`. Its choice is a key,
// so it survives closing and reopening the table: after a reopen the list shows the caption of the
// same key again (or no choice when that row has gone).
class LookupList : public QComboBox {
    Q_OBJECT
public:
    LookupList(const QString &connectionName, const QString &sql, QWidget *parent = nullptr);

    void open();    // throws DbError
    void close();
    void reopen()
    {
        close();
        open();
    }
    bool isOpen() const;

    // Key of the chosen row; 0 when nothing is chosen.
    qint64 keyValue() const { return m_key; }
    // Chooses the row with this key; a key that is not listed (0 included) leaves no choice.
    void setKeyValue(qint64 key);
    // Caption of the chosen row without surrounding blanks; empty when nothing is chosen.
    QString captionText() const;
    // Moves the choice by one row (the Up and Down keys of a closed list).
    void step(int delta);

private:
    void showKey();

    DataSet *m_table;
    qint64 m_key = 0;
    bool m_filling = false;
};
