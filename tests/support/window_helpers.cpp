#include "window_helpers.h"

#include "ui/control_look.h"
#include "ui/data_grid.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QHeaderView>
#include <QKeyEvent>
#include <QRect>
#include <QTest>
#include <QTimer>

QStringList outOfSight(QWidget *window, const QRect &available, const QMargins &frame)
{
    QStringList out;
    // Where on the screen a window stands is the window's own choice (some centre themselves on
    // the real screen); whether it fits is a matter of its size.
    const QSize outer = window->size().grownBy(frame);
    if (outer.width() > available.width() || outer.height() > available.height())
        out << QStringLiteral("window %1x%2 larger than the screen's %3x%4")
                   .arg(outer.width()).arg(outer.height()).arg(available.width()).arg(available.height());
    for (DataGrid *grid : window->findChildren<DataGrid *>()) {
        if (!grid->isVisibleTo(window))
            continue;
        const int edge = grid->viewport()->width();
        for (int c = 0; c < grid->model()->columnCount(); ++c) {
            if (grid->isColumnHidden(c))
                continue;
            const int right = grid->horizontalHeader()->sectionPosition(c) + grid->columnWidth(c);
            if (right > edge)
                out << QStringLiteral("column \"%1\" ends at %2 of %3")
                           .arg(grid->model()->headerData(c, Qt::Horizontal).toString()).arg(right).arg(edge);
        }
    }
    for (QAbstractButton *button : window->findChildren<QAbstractButton *>()) {
        if (!button->isVisibleTo(window) || button->window() != window)
            continue;
        const QRect area(button->mapTo(window, QPoint(0, 0)), button->size());
        if (!window->rect().contains(area))
            out << QStringLiteral("button \"%1\" out of the window").arg(button->text());
    }
    return out;
}

QStringList outOfSightWhenOpened(QWidget *window, const QSize &designed, const QRect &available,
                                 const QMargins &frame)
{
    const QRect before = window->geometry();
    window->setGeometry(fittedGeometry(designed, available, frame));
    window->show();
    QApplication::processEvents();
    const QStringList out = outOfSight(window, available, frame);
    window->setGeometry(before);
    QApplication::processEvents();
    window->hide();
    return out;
}

void onModal(ModalAction &result, const std::function<void(QDialog *)> &action)
{
    QTimer::singleShot(0, [&result, action] {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        result.ran = true;
        result.window = dialog->objectName();
        action(dialog);
        result.stayedOpen = dialog->isVisible();
        if (dialog->isVisible())
            dialog->reject();
    });
}

void typeText(QWidget *w, const QString &text)
{
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(w, &press);
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(w, &release);
    }
}

void addWorkstationScreens()
{
    QTest::addColumn<QRect>("available");
    QTest::newRow("1024 x 768") << QRect(0, 0, 1024, 768);
    QTest::newRow("1280 x 800") << QRect(0, 0, 1280, 800);
}
