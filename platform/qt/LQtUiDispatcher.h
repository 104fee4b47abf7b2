#pragma once

#include "platform/LUiDispatcher.h"

#include <QObject>

// Runs posted work on the thread that created this object (the GUI thread)
// through Qt's event queue, in posting order.
class LQtUiDispatcher : public QObject, public LUiDispatcher {
    Q_OBJECT
public:
    explicit LQtUiDispatcher(QObject* pParent = nullptr);
    void Post(std::function<void()> fn) override;
};
