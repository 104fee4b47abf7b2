#include "process/LThreadQueuedNotify.h"

#include "platform/LUiDispatcher.h"

#include <mutex>

// The pointer back to the object lives in shared state, so a post queued
// before the object went finds it cleared instead of dangling.
struct LThreadQueuedNotify::Target {
    std::mutex mtx;
    LThreadQueuedNotify* pObject;
};

LThreadQueuedNotify::LThreadQueuedNotify()
    : pTarget(std::make_shared<Target>())
{
    pTarget->pObject = this;
}

LThreadQueuedNotify::~LThreadQueuedNotify()
{
    std::lock_guard<std::mutex> lock(pTarget->mtx);
    pTarget->pObject = nullptr;
}

void LThreadQueuedNotify::PostNotify()
{
    std::weak_ptr<Target> wTarget = pTarget;
    LUiDispatcher::Current().Post([wTarget] {
        std::shared_ptr<Target> p = wTarget.lock();
        if (!p)
            return;
        // The object is destroyed on this same thread, so once the pointer is
        // read it stays valid for the call.
        LThreadQueuedNotify* pObj;
        {
            std::lock_guard<std::mutex> lock(p->mtx);
            pObj = p->pObject;
        }
        if (pObj)
            pObj->EvNotify();
    });
}
