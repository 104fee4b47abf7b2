#pragma once

#include <cstdint>

// A manual-reset event: Set leaves it signalled until Reset; any number of
// waiters wake. All events share one mutex and condition variable, which is
// what lets one thread wait on two of them at once. Safe from any thread.
class LSignalObject {
public:
    static constexpr uint32_t kInfinite = 0xFFFFFFFF;
    // Results of the waits.
    static constexpr int kWaitObject0 = 0;
    static constexpr int kWaitTimeout = 258;

    LSignalObject() = default;
    LSignalObject(const LSignalObject&) = delete;
    LSignalObject& operator=(const LSignalObject&) = delete;

    void Set();
    void Reset();
    // True when signalled, without waiting.
    bool IsSet() const;
    // Waits up to uTimeoutMs (kInfinite = forever); kWaitObject0 or kWaitTimeout.
    int Wait(uint32_t uTimeoutMs);
    // Waits for this event or the other one: kWaitObject0 when this one is
    // (or both are) signalled, kWaitObject0 + 1 for the other, or kWaitTimeout.
    int WaitSignalDual(LSignalObject& other, uint32_t uTimeoutMs);

private:
    bool bSignalled = false;
};
