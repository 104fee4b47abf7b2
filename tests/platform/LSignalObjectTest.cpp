#include "platform/LSignalObject.h"

#include "platform/LUiDispatcher.h"

#include <gtest/gtest.h>
#include <thread>
#include <vector>

TEST(LSignalObject, ManualResetAndDualWait)
{
    LSignalObject a, b;
    EXPECT_EQ(a.Wait(0), LSignalObject::kWaitTimeout);
    EXPECT_EQ(a.WaitSignalDual(b, 10), LSignalObject::kWaitTimeout);
    b.Set();
    EXPECT_EQ(a.WaitSignalDual(b, 0), LSignalObject::kWaitObject0 + 1);
    // Manual reset: still signalled after a wait.
    EXPECT_TRUE(b.IsSet());
    a.Set();
    EXPECT_EQ(a.WaitSignalDual(b, 0), LSignalObject::kWaitObject0) << "first handle wins";
    a.Reset();
    b.Reset();
    EXPECT_FALSE(a.IsSet());
}

TEST(LSignalObject, WakesAWaiterOnAnotherThread)
{
    LSignalObject request, stop;
    int iResult = -1;
    std::thread waiter([&] { iResult = request.WaitSignalDual(stop, LSignalObject::kInfinite); });
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    stop.Set();
    waiter.join();
    EXPECT_EQ(iResult, LSignalObject::kWaitObject0 + 1);
}

TEST(LHeadlessDispatcher, RunsPostsInOrderOnTheDrainingThread)
{
    LHeadlessDispatcher d;
    std::vector<int> order;
    std::thread::id drainer = std::this_thread::get_id();
    bool bOnDrainer = true;
    std::thread worker([&] {
        for (int i = 0; i < 100; ++i)
            d.Post([&, i] {
                order.push_back(i);
                bOnDrainer &= std::this_thread::get_id() == drainer;
            });
    });
    worker.join();
    EXPECT_EQ(d.Drain(), 100);
    ASSERT_EQ(order.size(), 100u);
    for (int i = 0; i < 100; ++i)
        EXPECT_EQ(order[size_t(i)], i);
    EXPECT_TRUE(bOnDrainer);
}
