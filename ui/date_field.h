#pragma once

#include <QDate>
#include <QDateEdit>

// The program's date field: day first, with a calendar that opens on Monday weeks. Tab and
// Shift+Tab leave the field in one step, as the plant's older workstations do; the arrow keys
// and typing move between the day, month and year inside it.
class DateField : public QDateEdit {
    Q_OBJECT
public:
    explicit DateField(QWidget *parent = nullptr);
    DateField(const QDate &date, QWidget *parent = nullptr);

protected:
    bool focusNextPrevChild(bool next) override;
};
