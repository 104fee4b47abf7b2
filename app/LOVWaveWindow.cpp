#include "app/LOVWaveWindow.h"
#include "app/LWavePainter.h"
#include "app/LWaveWorker.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPaintEvent>

#include <algorithm>
#include <cstring>
#include <mutex>

struct LOVWaveWindow::State {
    explicit State(LOVWaveWindow* pWindow)
        : worker(
              [pWindow](int32_t x0, int32_t x1) {
                  QMetaObject::invokeMethod(
                      pWindow, [pWindow, x0, x1] { pWindow->UpdateColumns(x0, x1); }, Qt::QueuedConnection);
              },
              [this] { FollowEdge(); })
    {
    }

    // While a drag is beyond an edge, that end of the selection follows the
    // view as it scrolls (called by the worker under csPaint).
    void FollowEdge()
    {
        const LWaveView& v = worker.view;
        if (iEdgeState == kBeyondLeft)
            marks.sSelStart = v.PixelToFrame(0);
        else if (iEdgeState == kBeyondRight)
            marks.sSelEnd = v.PixelToFrame(v.nWidth);
    }

    LWaveWorker worker;
    // Guarded by worker.csPaint.
    LWaveMarks marks;
    int32_t sAnchor = 0;
    int16_t iEdgeState = 0;
    // User-interface thread only.
    bool bCaptured = false;
};

LOVWaveWindow::LOVWaveWindow(QWidget* pParent) : QWidget(pParent), pState(new State(this))
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setCursor(Qt::ArrowCursor);
    setEnabled(false);
    pState->worker.Resize(width(), height());
}

LOVWaveWindow::~LOVWaveWindow()
{
    pState->worker.Stop();
    delete pState;
}

void LOVWaveWindow::SetSource(const LCutListAudio& audio, int iDisplayMode, bool bVerticalZoom)
{
    pState->worker.Stop();
    pState->worker.columns.SetCutList(audio, iDisplayMode, bVerticalZoom);
    setEnabled(true);
    pState->worker.Restart();
    update();
}

void LOVWaveWindow::Stop()
{
    pState->worker.Stop();
    pState->worker.columns.Clear();
    setEnabled(false);
    update();
}

void LOVWaveWindow::SetView(int32_t iStart, int32_t iLength) { pState->worker.Request(iStart, iLength); }

void LOVWaveWindow::SetEndMark(int32_t iFrames)
{
    int32_t a, b;
    {
        std::lock_guard<std::mutex> lock(pState->worker.csPaint);
        a = pState->worker.view.FrameToPixel(pState->marks.sEndMark);
        pState->marks.sEndMark = iFrames;
        b = pState->worker.view.FrameToPixel(iFrames);
    }
    UpdateBetween(a, b);
}

void LOVWaveWindow::SetSelStart(int32_t iFrame)
{
    int32_t a, b;
    {
        std::lock_guard<std::mutex> lock(pState->worker.csPaint);
        a = pState->worker.view.FrameToPixel(pState->marks.sSelStart);
        pState->marks.sSelStart = iFrame;
        b = pState->worker.view.FrameToPixel(iFrame);
    }
    UpdateBetween(a, b);
}

void LOVWaveWindow::SetSelEnd(int32_t iFrame)
{
    int32_t a, b;
    {
        std::lock_guard<std::mutex> lock(pState->worker.csPaint);
        a = pState->worker.view.FrameToPixel(pState->marks.sSelEnd);
        pState->marks.sSelEnd = iFrame;
        b = pState->worker.view.FrameToPixel(iFrame);
    }
    UpdateBetween(a, b);
}

void LOVWaveWindow::SetCursor(int32_t iFrame, int32_t iBandLength)
{
    int32_t a0, a1, b0, b1;
    {
        std::lock_guard<std::mutex> lock(pState->worker.csPaint);
        const LWaveView& v = pState->worker.view;
        LWaveMarks& m = pState->marks;
        a0 = v.FrameToPixel(m.sCursor);
        a1 = v.FrameToPixel(int32_t(uint32_t(m.sCursor) + uint32_t(m.sCursorLen)));
        m.sCursor = iFrame;
        m.sCursorLen = iBandLength;
        b0 = v.FrameToPixel(iFrame);
        b1 = v.FrameToPixel(int32_t(uint32_t(iFrame) + uint32_t(iBandLength)));
    }
    UpdateBetween(a0 - 1, a1);
    UpdateBetween(b0 - 1, b1);
}

int32_t LOVWaveWindow::FrameToPixel(int32_t iFrame) const
{
    std::lock_guard<std::mutex> lock(pState->worker.csPaint);
    return pState->worker.view.FrameToPixel(iFrame);
}

int32_t LOVWaveWindow::PixelToFrame(int32_t iPixel) const
{
    std::lock_guard<std::mutex> lock(pState->worker.csPaint);
    return pState->worker.view.PixelToFrame(iPixel);
}

int32_t LOVWaveWindow::GetSelStart() const
{
    std::lock_guard<std::mutex> lock(pState->worker.csPaint);
    return pState->marks.sSelStart;
}

int32_t LOVWaveWindow::GetSelEnd() const
{
    std::lock_guard<std::mutex> lock(pState->worker.csPaint);
    return pState->marks.sSelEnd;
}

int32_t LOVWaveWindow::GetCursor() const
{
    std::lock_guard<std::mutex> lock(pState->worker.csPaint);
    return pState->marks.sCursor;
}

int32_t LOVWaveWindow::GetViewStart() const
{
    std::lock_guard<std::mutex> lock(pState->worker.csPaint);
    return pState->worker.view.sViewStart;
}

int32_t LOVWaveWindow::GetViewLength() const
{
    std::lock_guard<std::mutex> lock(pState->worker.csPaint);
    return pState->worker.view.sViewLen;
}

bool LOVWaveWindow::IsWorkerIdle() const { return pState->worker.IsIdle(); }

void LOVWaveWindow::CopyColumns(uint8_t* pTop, uint8_t* pBottom) const
{
    std::lock_guard<std::mutex> lock(pState->worker.csPaint);
    std::memcpy(pTop, pState->worker.aTop, sizeof pState->worker.aTop);
    std::memcpy(pBottom, pState->worker.aBottom, sizeof pState->worker.aBottom);
}

void LOVWaveWindow::UpdateColumns(int32_t x0, int32_t x1)
{
    if (x1 > x0)
        update(QRect(x0 + 1, 0, x1 - x0, height()));
}

void LOVWaveWindow::UpdateBetween(int32_t iPixelA, int32_t iPixelB)
{
    const int32_t x0 = std::max(std::min(iPixelA, iPixelB), 0);
    const int32_t x1 = std::max(iPixelA, iPixelB) + 1;
    UpdateColumns(x0, x1);
}

void LOVWaveWindow::paintEvent(QPaintEvent* pEvent)
{
    LWavePicture pic;
    {
        std::lock_guard<std::mutex> lock(pState->worker.csPaint);
        pic.view = pState->worker.view;
        pic.marks = pState->marks;
        std::memcpy(pic.aTop, pState->worker.aTop, sizeof pic.aTop);
        std::memcpy(pic.aBottom, pState->worker.aBottom, sizeof pic.aBottom);
    }
    QPainter painter(this);
    // Beyond the widest view the control shows nothing.
    const int iUsed = pic.view.nWidth + 2;
    if (width() > iUsed)
        painter.fillRect(QRect(iUsed, 0, width() - iUsed, height()), palette().color(QPalette::Window));
    PaintWave(painter, pEvent->rect(), pic, LWavePens::FromPalette(palette()), isEnabled());
}

void LOVWaveWindow::resizeEvent(QResizeEvent* pEvent)
{
    QWidget::resizeEvent(pEvent);
    pState->worker.Resize(width(), height());
}

int32_t LOVWaveWindow::ColumnAt(int iClientX) const { return iClientX - 1; }

int32_t LOVWaveWindow::FrameAt(int iClientX) const
{
    std::lock_guard<std::mutex> lock(pState->worker.csPaint);
    const LWaveView& v = pState->worker.view;
    return v.PixelToFrame(std::clamp(ColumnAt(iClientX), 0, v.nWidth));
}

void LOVWaveWindow::SetEdgeState(int16_t iState)
{
    std::lock_guard<std::mutex> lock(pState->worker.csPaint);
    pState->iEdgeState = iState;
}

void LOVWaveWindow::mousePressEvent(QMouseEvent* pEvent)
{
    if (pEvent->button() != Qt::LeftButton)
        return;
    const int32_t f = FrameAt(pEvent->position().toPoint().x());
    {
        std::lock_guard<std::mutex> lock(pState->worker.csPaint);
        pState->sAnchor = f;
        pState->iEdgeState = 0;
    }
    SetSelStart(f);
    SetSelEnd(f);
    pState->bCaptured = true;
}

void LOVWaveWindow::mouseMoveEvent(QMouseEvent* pEvent)
{
    if (!pState->bCaptured)
        return;
    const int iX = pEvent->position().toPoint().x();
    const int32_t x = ColumnAt(iX);
    int16_t iEdge;
    int32_t nWidth, sAnchor;
    {
        std::lock_guard<std::mutex> lock(pState->worker.csPaint);
        iEdge = pState->iEdgeState;
        nWidth = pState->worker.view.nWidth;
        sAnchor = pState->sAnchor;
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
    SetSelStart(std::min(f, sAnchor));
    SetSelEnd(std::max(f, sAnchor));
    emit Notify(kSelChanging);
}

void LOVWaveWindow::mouseReleaseEvent(QMouseEvent* pEvent)
{
    if (pEvent->button() != Qt::LeftButton || !pState->bCaptured)
        return;
    pState->bCaptured = false;
    int16_t iEdge;
    int32_t sAnchor;
    {
        std::lock_guard<std::mutex> lock(pState->worker.csPaint);
        iEdge = pState->iEdgeState;
        sAnchor = pState->sAnchor;
    }
    if (iEdge != 0) {
        SetEdgeState(0);
        emit Notify(iEdge == kBeyondRight ? kBackFromRight : kBackFromLeft);
    }
    const int32_t f = FrameAt(pEvent->position().toPoint().x());
    SetSelStart(std::min(f, sAnchor));
    SetSelEnd(std::max(f, sAnchor));
    SetCursor(f, 0);
    emit Notify(kReleased);
}
