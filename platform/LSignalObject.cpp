#include "platform/LSignalObject.h"

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace {
std::mutex& EventMutex()
{
    static std::mutex m;
    return m;
}
std::condition_variable& EventChanged()
{
    static std::condition_variable cv;
    return cv;
}

template <class Pred>
bool WaitFor(std::unique_lock<std::mutex>& lock, uint32_t uTimeoutMs, Pred pred)
{
    if (uTimeoutMs == LSignalObject::kInfinite) {
        EventChanged().wait(lock, pred);
        return true;
    }
    return EventChanged().wait_for(lock, std::chrono::milliseconds(uTimeoutMs), pred);
}
} // namespace

void LSignalObject::Set()
{
    {
        std::lock_guard<std::mutex> lock(EventMutex());
        bSignalled = true;
    }
    EventChanged().notify_all();
}

void LSignalObject::Reset()
{
    std::lock_guard<std::mutex> lock(EventMutex());
    bSignalled = false;
}

bool LSignalObject::IsSet() const
{
    std::lock_guard<std::mutex> lock(EventMutex());
    return bSignalled;
}

int LSignalObject::Wait(uint32_t uTimeoutMs)
{
    std::unique_lock<std::mutex> lock(EventMutex());
    return WaitFor(lock, uTimeoutMs, [this] { return bSignalled; }) ? kWaitObject0 : kWaitTimeout;
}

int LSignalObject::WaitSignalDual(LSignalObject& other, uint32_t uTimeoutMs)
{
    std::unique_lock<std::mutex> lock(EventMutex());
    if (!WaitFor(lock, uTimeoutMs, [&] { return bSignalled || other.bSignalled; }))
        return kWaitTimeout;
    return bSignalled ? kWaitObject0 : kWaitObject0 + 1;
}
