#pragma once

#include "platform/LSignalObject.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <thread>

// A worker thread owned by an object. The subclass implements
// ThreadFunction and polls IsStopRequested (or waits on GetStopSignal) to end
// promptly. Start, StopThreadTimed and the destructor are called from the
// owning thread only. Subclass destructors must call StopThreadTimed(5000)
// themselves, before their own members go, since ThreadFunction uses them.
class LThread {
public:
    // Priorities as the callers name them; applied best effort (a process
    // without the right to raise its priority keeps the normal one).
    static constexpr int kPriorityLowest = -2;
    static constexpr int kPriorityBelowNormal = -1;
    static constexpr int kPriorityNormal = 0;
    static constexpr int kPriorityTimeCritical = 15;

    LThread() = default;
    LThread(const LThread&) = delete;
    LThread& operator=(const LThread&) = delete;
    virtual ~LThread();

    // Starts ThreadFunction unless it is still running.
    void Start(int iPriority);
    bool IsRunning() const;
    // Asks the thread to stop and waits up to uTimeoutMs. A thread that does
    // not end in time cannot be killed safely here: it is detached (it keeps
    // its shared state alive) and a trace is written.
    void StopThreadTimed(uint32_t uTimeoutMs);

    // Changes the running thread's priority (best effort), from any thread.
    void SetPriority(int iPriority);
    // Priority of the calling thread, in the scale above.
    static int GetCurrentPriority();

protected:
    virtual void ThreadFunction() = 0;
    bool IsStopRequested() const { return stopSignal.IsSet(); }
    LSignalObject& GetStopSignal() { return stopSignal; }

private:
    struct Shared {
        std::atomic<bool> bRunning { false };
        std::atomic<int> iTid { 0 };
    };
    static void ApplyPriority(int iTid, int iPriority);

    LSignalObject stopSignal;
    std::thread thread;
    std::shared_ptr<Shared> pShared;
};
