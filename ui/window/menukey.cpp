#include "ui/window/menukey.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QWidget>

namespace kestrune {

bool SendMenuRequestForKey(const QKeyEvent *event)
{
    if (event->key() != Qt::Key_F10 || event->modifiers() != Qt::ShiftModifier)
        return false;
    QWidget *target =
        QApplication::focusWidget() ? QApplication::focusWidget() : QApplication::activeWindow();
    if (target == nullptr)
        return true;
    const QPoint centre = target->rect().center();
    QContextMenuEvent request(QContextMenuEvent::Keyboard, centre, target->mapToGlobal(centre));
    QCoreApplication::sendEvent(target, &request);
    return true;
}

} // namespace kestrune
