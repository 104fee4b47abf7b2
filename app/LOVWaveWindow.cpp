#include "app/LOVWaveWindow.h"

#include <QMouseEvent>
#include <algorithm>
#include <mutex>

LOVWaveWindow::LOVWaveWindow(QWidget* pParent)
    : LWaveControl(pParent, [this] { FollowEdge(); })
{
}

// The worker calls FollowEdge, which reads members of this class: it stops
// before they go.
LOVWaveWindow::~LOVWaveWindow()
{
    worker.Stop();
}

void LOVWaveWindow::FollowEdge()
{
    const LWaveView& v = worker.view;
    if (iEdgeState == kBeyondLeft)
        marks.sSelStart = v.PixelToFrame(0);
    else if (iEdgeState == kBeyondRight)
        marks.sSelEnd = v.PixelToFrame(v.nWidth);
}

void LOVWaveWindow::SetSource(const LCutListAudio& audio, int iDisplayMode, bool bVerticalZoom)
{
    worker.Stop();
    worker.columns.SetCutList(audio, iDisplayMode, bVerticalZoom);
    StartWorker();
}

void LOVWaveWindow::SetEdgeState(int16_t iState)
{
    std::lock_guard<std::mutex> lock(worker.csPaint);
    iEdgeState = iState;
}

void LOVWaveWindow::mousePressEvent(QMouseEvent* pEvent)
{
    if (pEvent->button() != Qt::LeftButton)
        return;
    const int32_t f = FrameAt(pEvent->position().toPoint().x());
    {
        std::lock_guard<std::mutex> lock(worker.csPaint);
        sAnchor = f;
        iEdgeState = 0;
    }
    SetSelStart(f);
    SetSelEnd(f);
    bCaptured = true;
}

void LOVWaveWindow::mouseMoveEvent(QMouseEvent* pEvent)
{
    if (!bCaptured)
        return;
    const int iX = pEvent->position().toPoint().x();
    const int32_t x = iX - 1; // the column, not clamped
    int16_t iEdge;
    int32_t nWidth, iAnchor;
    {
        std::lock_guard<std::mutex> lock(worker.csPaint);
        iEdge = iEdgeState;
        nWidth = worker.view.nWidth;
        iAnchor = sAnchor;
    }
    const int16_t iWanted = x >= nWidth ? kBeyondRight : x <= 0 ? kBeyondLeft : 0;
    if (iWanted != iEdge) {
        SetEdgeState(iWanted);
        if (iEdge != 0)
            emit Notify(iEdge == kBeyondRight ? kBackFromRight : kBackFromLeft);
        if (iWanted != 0)
            emit Notify(iWanted);
    }
    // Both ends, so that crossing back over the anchor leaves no stale end.
    const int32_t f = FrameAt(iX);
    SetSelStart(std::min(f, iAnchor));
    SetSelEnd(std::max(f, iAnchor));
    emit Notify(kSelChanging);
}

void LOVWaveWindow::mouseReleaseEvent(QMouseEvent* pEvent)
{
    if (pEvent->button() != Qt::LeftButton || !bCaptured)
        return;
    bCaptured = false;
    int16_t iEdge;
    int32_t iAnchor;
    {
        std::lock_guard<std::mutex> lock(worker.csPaint);
        iEdge = iEdgeState;
        iAnchor = sAnchor;
    }
    if (iEdge != 0) {
        SetEdgeState(0);
        emit Notify(iEdge == kBeyondRight ? kBackFromRight : kBackFromLeft);
    }
    const int32_t f = FrameAt(pEvent->position().toPoint().x());
    SetSelStart(std::min(f, iAnchor));
    SetSelEnd(std::max(f, iAnchor));
    SetCursor(f, 0);
    emit Notify(kReleased);
}
