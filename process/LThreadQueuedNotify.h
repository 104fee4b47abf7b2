#pragma once

#include <memory>

// Lets a worker thread ask the thread that created this object to run
// EvNotify. PostNotify may be called from any thread and never waits; each
// post produces one EvNotify call, in posting order, through the current
// LUiDispatcher. Posts that arrive after the object is gone are dropped.
class LThreadQueuedNotify {
public:
    LThreadQueuedNotify();
    LThreadQueuedNotify(const LThreadQueuedNotify&) = delete;
    LThreadQueuedNotify& operator=(const LThreadQueuedNotify&) = delete;
    virtual ~LThreadQueuedNotify();

    void PostNotify();

protected:
    virtual void EvNotify() = 0;

private:
    struct Target;
    std::shared_ptr<Target> pTarget;
};
