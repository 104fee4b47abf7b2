#include "platform/LUiDispatcher.h"

#include <atomic>

namespace {
LHeadlessDispatcher& Headless()
{
    static LHeadlessDispatcher d;
    return d;
}
std::atomic<LUiDispatcher*> pCurrent { nullptr };
} // namespace

LUiDispatcher& LUiDispatcher::Current()
{
    LUiDispatcher* p = pCurrent.load();
    return p ? *p : Headless();
}

void LUiDispatcher::SetCurrent(LUiDispatcher* p)
{
    pCurrent.store(p);
}

void LHeadlessDispatcher::Post(std::function<void()> fn)
{
    std::lock_guard<std::mutex> lock(mtx);
    queue.push_back(std::move(fn));
}

int LHeadlessDispatcher::Drain()
{
    int iCount = 0;
    for (;;) {
        std::function<void()> fn;
        {
            std::lock_guard<std::mutex> lock(mtx);
            if (queue.empty())
                return iCount;
            fn = std::move(queue.front());
            queue.pop_front();
        }
        fn();
        ++iCount;
    }
}
