#pragma once

#include <deque>
#include <functional>
#include <mutex>

// Runs work on the user-interface thread. Workers Post from any thread; the
// work runs on the dispatcher's thread in posting order. The editor window
// installs a Qt implementation; without one, a headless dispatcher whose
// owner calls Drain is used.
class LUiDispatcher {
public:
    virtual ~LUiDispatcher() = default;
    virtual void Post(std::function<void()> fn) = 0;

    // The dispatcher of this process (a headless one until another is set).
    static LUiDispatcher& Current();
    // Installs a dispatcher; nullptr goes back to the headless one. The
    // caller keeps ownership and must outlive its use.
    static void SetCurrent(LUiDispatcher* p);
};

class LHeadlessDispatcher : public LUiDispatcher {
public:
    void Post(std::function<void()> fn) override;
    // Runs everything posted so far, on the calling thread; returns the count.
    int Drain();

private:
    std::mutex mtx;
    std::deque<std::function<void()>> queue;
};
