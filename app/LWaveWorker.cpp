#include "app/LWaveWorker.h"

#include <algorithm>
#include <cstring>

LWaveWorker::LWaveWorker(FilledFn fnF, ScrolledFn fnS)
    : fnFilled(std::move(fnF))
    , fnScrolled(std::move(fnS))
{
}

LWaveWorker::~LWaveWorker()
{
    StopThreadTimed(5000);
}

void LWaveWorker::Stop()
{
    StopThreadTimed(5000);
}

void LWaveWorker::Restart()
{
    StopThreadTimed(5000);
    {
        std::lock_guard<std::mutex> lock(csPaint);
        view.sViewLen = 0;
        view.dScale = 1.0;
        view.iPixelOffset = 0;
    }
    {
        // The stored request is taken again for the new input.
        std::lock_guard<std::mutex> lock(csRequest);
        bPending = bHaveRequest;
        if (bPending)
            hRequest.Set();
    }
    Start(kPriorityLowest);
}

void LWaveWorker::Request(int32_t iStart, int32_t iLength)
{
    std::lock_guard<std::mutex> lock(csRequest);
    sReqStart = iStart;
    sReqLen = iLength;
    bHaveRequest = true;
    bPending = true;
    hRequest.Set();
}

void LWaveWorker::Resize(int32_t iClientWidth, int32_t iClientHeight)
{
    {
        std::lock_guard<std::mutex> lock(csPaint);
        view.SetClientSize(iClientWidth, iClientHeight);
        bRescale = true;
    }
    std::lock_guard<std::mutex> lock(csRequest);
    if (bHaveRequest) {
        bPending = true;
        hRequest.Set();
    }
}

bool LWaveWorker::IsIdle()
{
    std::lock_guard<std::mutex> lock(csRequest);
    return !bPending && !bBusy;
}

void LWaveWorker::ThreadFunction()
{
    while (!IsStopRequested()) {
        int32_t iStart = 0, iLength = 0;
        bool bTake = false;
        {
            std::lock_guard<std::mutex> lock(csRequest);
            hRequest.Reset();
            if (bPending) {
                iStart = sReqStart;
                iLength = sReqLen;
                bPending = false;
                bBusy = true;
                bTake = true;
            }
        }
        if (!bTake) {
            hRequest.WaitSignalDual(GetStopSignal(), LSignalObject::kInfinite);
            continue;
        }
        Process(iStart, iLength);
        bBusy = false;
    }
}

void LWaveWorker::Process(int32_t iStart, int32_t iLength)
{
    LWaveView v;
    int32_t x0 = 0, x1 = 0;
    bool bScrolled = false;
    {
        std::lock_guard<std::mutex> lock(csPaint);
        LWaveView::Change change = view.Apply(iStart, iLength, bRescale);
        bRescale = false;
        const int32_t nColumns = std::min(view.nWidth, LWaveView::kMaxColumns);
        if (change.bAll) {
            x1 = nColumns;
        } else if (change.iShift != 0) {
            ShiftColumns(aTop, nColumns, change.iShift);
            ShiftColumns(aBottom, nColumns, change.iShift);
            x0 = change.iShift > 0 ? 0 : nColumns + change.iShift;
            x1 = change.iShift > 0 ? change.iShift : nColumns;
            bScrolled = true;
        }
        if (change.bScroll && fnScrolled)
            fnScrolled();
        v = view;
    }
    // A scroll moved every kept column: redraw them now, the uncovered ones
    // again as their batches arrive. After a zoom the batches cover all.
    if (fnFilled && bScrolled)
        fnFilled(0, std::min(v.nWidth, LWaveView::kMaxColumns));
    uint8_t top[LWaveView::kMaxColumns], bottom[LWaveView::kMaxColumns];
    for (int32_t x = x0; x < x1; x += kBatch) {
        const int32_t xEnd = std::min(x + kBatch, x1);
        bool bDone = columns.Fill(v, x, xEnd, top, bottom, &GetStopSignal());
        if (!bDone)
            return;
        {
            std::lock_guard<std::mutex> lock(csPaint);
            // A resize meanwhile changes only the column count; the frames
            // of each column stay those of this view.
            std::memcpy(aTop + x, top + x, size_t(xEnd - x));
            std::memcpy(aBottom + x, bottom + x, size_t(xEnd - x));
        }
        if (fnFilled)
            fnFilled(x, xEnd);
    }
}
