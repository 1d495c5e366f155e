#include "ui/date_field.h"

#include <QCalendarWidget>

DateField::DateField(QWidget *parent) : DateField(QDate::currentDate(), parent) {}

DateField::DateField(const QDate &date, QWidget *parent) : QDateEdit(date, parent)
{
    setCalendarPopup(true);
    setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    calendarWidget()->setFirstDayOfWeek(Qt::Monday);
}

bool DateField::focusNextPrevChild(bool next)
{
    // QDateTimeEdit walks its sections on Tab; the focus chain of the window is what a user
    // expects of Tab here. Left and Right still move between the sections.
    return QWidget::focusNextPrevChild(next);
}
