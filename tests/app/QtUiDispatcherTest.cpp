#include "platform/qt/LQtUiDispatcher.h"
#include "process/LThreadQueuedNotify.h"
#include "support/AudioTestSupport.h"

#include <QCoreApplication>
#include <QThread>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

namespace {
class Counter : public LThreadQueuedNotify {
public:
    std::vector<Qt::HANDLE> threads;

protected:
    void EvNotify() override { threads.push_back(QThread::currentThreadId()); }
};

void PumpUntil(const std::function<bool()>& fnDone)
{
    TestSupport::PumpUntil(
        fnDone, [] { QCoreApplication::processEvents(QEventLoop::AllEvents, 10); });
}
} // namespace

TEST(QtUiDispatcher, WorkPostedFromAThreadRunsOnTheGuiThreadInOrder)
{
    LQtUiDispatcher dispatcher;
    LUiDispatcher::SetCurrent(&dispatcher);
    std::vector<int> order;
    std::thread worker([&]() {
        for (int i = 0; i < 100; ++i)
            LUiDispatcher::Current().Post([&order, i]() { order.push_back(i); });
    });
    worker.join();
    PumpUntil([&]() { return order.size() == 100; });
    ASSERT_EQ(order.size(), 100u);
    for (int i = 0; i < 100; ++i)
        EXPECT_EQ(order[size_t(i)], i);

    // A worker's notices reach their object on the thread that made it.
    Counter counter;
    std::thread notifier([&]() {
        for (int i = 0; i < 3; ++i)
            counter.PostNotify();
    });
    notifier.join();
    PumpUntil([&]() { return counter.threads.size() == 3; });
    ASSERT_EQ(counter.threads.size(), 3u);
    for (Qt::HANDLE h : counter.threads)
        EXPECT_EQ(h, QThread::currentThreadId());
    LUiDispatcher::SetCurrent(nullptr);
}
