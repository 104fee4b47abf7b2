#include "platform/qt/LQtUiDispatcher.h"

#include <QMetaObject>

LQtUiDispatcher::LQtUiDispatcher(QObject* pParent)
    : QObject(pParent)
{
}

void LQtUiDispatcher::Post(std::function<void()> fn)
{
    // Queued invocations on one receiver are delivered in posting order.
    QMetaObject::invokeMethod(
        this, [fn = std::move(fn)]() { fn(); }, Qt::QueuedConnection);
}
