#pragma once

#include "app/LWaveColumns.h"
#include "app/LWaveView.h"
#include "platform/LSignalObject.h"
#include "process/LThread.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>

// The thread behind a waveform control: takes the latest view request,
// scrolls or rescales the view, and fills the columns of both arrays. The
// arrays, the view and the owner's marks are guarded by csPaint, which is
// held only to apply a request and to store each batch of finished columns,
// so painting never waits for audio. No Qt: the owner is told of filled
// columns through a callback that runs on this thread.
class LWaveWorker : public LThread {
public:
    // Columns [x0, x1) changed (called on the worker thread, csPaint not held).
    using FilledFn = std::function<void(int32_t x0, int32_t x1)>;
    // After a scroll, under csPaint (the owner lets marks follow the view).
    using ScrolledFn = std::function<void()>;

    LWaveWorker(FilledFn fnFilled, ScrolledFn fnScrolled);
    ~LWaveWorker() override;

    // Stops the thread, forgets the view and starts again with the columns'
    // current input (set while stopped).
    void Restart();
    void Stop();
    // Owner thread: stores the request and wakes the thread.
    void Request(int32_t iStart, int32_t iLength);
    // Owner thread: new client size; the next request recomputes everything.
    void Resize(int32_t iClientWidth, int32_t iClientHeight);
    // True when the latest request has been processed and no other is pending.
    bool IsIdle();

    std::mutex csPaint;
    LWaveView view;
    uint8_t aTop[LWaveView::kMaxColumns] = {};
    uint8_t aBottom[LWaveView::kMaxColumns] = {};
    // Only touched while the thread is stopped.
    LWaveColumns columns;

protected:
    void ThreadFunction() override;

private:
    // Columns filled per batch before they are handed to painting.
    static constexpr int32_t kBatch = 128;
    void Process(int32_t iStart, int32_t iLength);

    FilledFn fnFilled;
    ScrolledFn fnScrolled;
    std::mutex csRequest;
    LSignalObject hRequest;
    int32_t sReqStart = 0, sReqLen = 0;
    bool bHaveRequest = false;
    bool bPending = false; // a request not yet taken
    bool bRescale = false; // under csPaint
    std::atomic<bool> bBusy { false };
};
