#include "process/LThread.h"

#include "platform/LUiDispatcher.h"
#include "process/LProgressDialog.h"
#include "process/LThreadQueuedNotify.h"

#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <thread>

namespace {
using Clock = std::chrono::steady_clock;

class CountingThread : public LThread {
public:
    ~CountingThread() override { StopThreadTimed(5000); }
    std::atomic<int> iStarts { 0 };
    std::atomic<bool> bRunForever { true };
    std::atomic<bool> bIgnoreStop { false };

protected:
    void ThreadFunction() override
    {
        ++iStarts;
        while (bRunForever && (bIgnoreStop || !IsStopRequested()))
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
};

class Notifier : public LThreadQueuedNotify {
public:
    std::vector<std::thread::id> calls;

protected:
    void EvNotify() override { calls.push_back(std::this_thread::get_id()); }
};

void WaitUntil(const std::function<bool()>& fn)
{
    auto tEnd = Clock::now() + std::chrono::seconds(5);
    while (!fn() && Clock::now() < tEnd)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}
} // namespace

TEST(LThread, StartTwiceRunsOneThreadAndRestartsAfterReturn)
{
    CountingThread t;
    t.Start(LThread::kPriorityBelowNormal);
    t.Start(LThread::kPriorityBelowNormal);
    WaitUntil([&] { return t.iStarts == 1; });
    EXPECT_TRUE(t.IsRunning());
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(t.iStarts, 1);
    t.bRunForever = false; // returns by itself
    WaitUntil([&] { return !t.IsRunning(); });
    EXPECT_FALSE(t.IsRunning());
    t.bRunForever = true;
    t.Start(LThread::kPriorityLowest);
    WaitUntil([&] { return t.iStarts == 2; });
    EXPECT_TRUE(t.IsRunning()) << "the stop signal was reset for the new run";
    t.StopThreadTimed(5000);
    EXPECT_FALSE(t.IsRunning());
}

TEST(LThread, StopTimesOutOnAThreadThatIgnoresIt)
{
    auto* t = new CountingThread;
    t->bIgnoreStop = true;
    t->Start(LThread::kPriorityNormal);
    WaitUntil([&] { return t->iStarts == 1; });
    auto t0 = Clock::now();
    t->StopThreadTimed(200);
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t0).count();
    EXPECT_GE(ms, 200);
    EXPECT_TRUE(t->IsRunning()) << "detached, still running";
    // Let it end before the object goes (it was given up on, not killed).
    t->bRunForever = false;
    WaitUntil([&] { return !t->IsRunning(); });
    delete t;
    CountingThread never; // destroying a never-started thread does not wait
}

TEST(LThreadQueuedNotify, RunsOnTheDrainingThreadAndDropsLatePosts)
{
    LHeadlessDispatcher dispatcher;
    LUiDispatcher::SetCurrent(&dispatcher);
    {
        Notifier n;
        std::thread worker([&] {
            for (int i = 0; i < 3; ++i)
                n.PostNotify();
        });
        worker.join();
        EXPECT_TRUE(n.calls.empty()) << "nothing runs until the owner drains";
        EXPECT_EQ(dispatcher.Drain(), 3);
        ASSERT_EQ(n.calls.size(), 3u);
        for (auto id : n.calls)
            EXPECT_EQ(id, std::this_thread::get_id());
        n.PostNotify();
    }
    EXPECT_EQ(dispatcher.Drain(), 1) << "the late post runs and finds no object";
    LUiDispatcher::SetCurrent(nullptr);
}

namespace {
struct Counter {
    int iBlocks = 0;
    LProgressDialog* pSelf = nullptr;
    bool bNestedRun = true;
};
int ProcessBody(LProgressDialog& dlg, Counter& c)
{
    c.bNestedRun = dlg.Run();
    for (;;) {
        if (dlg.CheckCancel())
            return 1;
        if (++c.iBlocks == 10)
            return 0;
        dlg.SetProgress(c.iBlocks / 10.0);
    }
}
} // namespace

TEST(LProgressDialog, CancelAndReentrance)
{
    Counter c;
    Process<Counter> run("Test", c);
    EXPECT_TRUE(run.Run());
    EXPECT_FALSE(c.bNestedRun) << "Run refuses while open";
    EXPECT_EQ(c.iBlocks, 10);
    LSilentProgressView::SetCancelAfterPumps(3);
    Counter c2;
    Process<Counter> run2("Test", c2);
    EXPECT_FALSE(run2.Run());
    EXPECT_EQ(run2.GetResult(), 1);
    EXPECT_EQ(c2.iBlocks, 2);
    LSilentProgressView::SetCancelAfterPumps(0);
}

namespace {
struct Waiter {
    LSignalObject* pSignal;
    bool bGot = false;
    bool bWaited = false;
};
int ProcessBody(LProgressDialog& dlg, Waiter& w)
{
    auto t0 = Clock::now();
    w.bWaited = dlg.WaitPumping(450);
    EXPECT_GE(Clock::now() - t0, std::chrono::milliseconds(450));
    w.bGot = dlg.WaitForObjectPumping(*w.pSignal, 5000);
    return 0;
}
} // namespace

TEST(LProgressDialog, WaitsPumping)
{
    LSignalObject signal;
    Waiter w { &signal };
    std::thread setter([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(600));
        signal.Set();
    });
    Process<Waiter> run("Wait", w);
    EXPECT_TRUE(run.Run());
    setter.join();
    EXPECT_TRUE(w.bWaited);
    EXPECT_TRUE(w.bGot);
}
