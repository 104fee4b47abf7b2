#include "app/LWaveWindow.h"
#include "app/LWavePainter.h"
#include "app/LWaveWorker.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPaintEvent>

#include <algorithm>
#include <cstring>
#include <mutex>

struct LWaveWindow::State {
    explicit State(LWaveWindow* pWindow)
        : worker(
              [pWindow](int32_t x0, int32_t x1) {
                  QMetaObject::invokeMethod(
                      pWindow, [pWindow, x0, x1] { pWindow->UpdateColumns(x0, x1); }, Qt::QueuedConnection);
              },
              nullptr)
    {
        marks.bSelection = false;
    }

    LWaveWorker worker;
    LWaveMarks marks; // guarded by worker.csPaint
};

LWaveWindow::LWaveWindow(QWidget* pParent) : QWidget(pParent), pState(new State(this))
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setCursor(Qt::ArrowCursor);
    setEnabled(false);
    pState->worker.Resize(width(), height());
}

LWaveWindow::~LWaveWindow()
{
    pState->worker.Stop();
    delete pState;
}

void LWaveWindow::SetSource(const SourceHandle& source)
{
    pState->worker.Stop();
    pState->worker.columns.SetSource(source, LWaveColumns::kMagnitude);
    setEnabled(true);
    pState->worker.Restart();
    update();
}

void LWaveWindow::Stop()
{
    pState->worker.Stop();
    pState->worker.columns.Clear();
    setEnabled(false);
    update();
}

void LWaveWindow::SetView(int32_t iStart, int32_t iLength) { pState->worker.Request(iStart, iLength); }

void LWaveWindow::SetEndMark(int32_t iFrames)
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

void LWaveWindow::SetCursor(int32_t iFrame, int32_t iBandLength)
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

int32_t LWaveWindow::FrameToPixel(int32_t iFrame) const
{
    std::lock_guard<std::mutex> lock(pState->worker.csPaint);
    return pState->worker.view.FrameToPixel(iFrame);
}

int32_t LWaveWindow::PixelToFrame(int32_t iPixel) const
{
    std::lock_guard<std::mutex> lock(pState->worker.csPaint);
    return pState->worker.view.PixelToFrame(iPixel);
}

int32_t LWaveWindow::GetCursor() const
{
    std::lock_guard<std::mutex> lock(pState->worker.csPaint);
    return pState->marks.sCursor;
}

int32_t LWaveWindow::GetCursorLength() const
{
    std::lock_guard<std::mutex> lock(pState->worker.csPaint);
    return pState->marks.sCursorLen;
}

int32_t LWaveWindow::GetViewStart() const
{
    std::lock_guard<std::mutex> lock(pState->worker.csPaint);
    return pState->worker.view.sViewStart;
}

int32_t LWaveWindow::GetViewLength() const
{
    std::lock_guard<std::mutex> lock(pState->worker.csPaint);
    return pState->worker.view.sViewLen;
}

bool LWaveWindow::IsWorkerIdle() const { return pState->worker.IsIdle(); }

void LWaveWindow::CopyColumns(uint8_t* pTop, uint8_t* pBottom) const
{
    std::lock_guard<std::mutex> lock(pState->worker.csPaint);
    std::memcpy(pTop, pState->worker.aTop, sizeof pState->worker.aTop);
    std::memcpy(pBottom, pState->worker.aBottom, sizeof pState->worker.aBottom);
}

void LWaveWindow::UpdateColumns(int32_t x0, int32_t x1)
{
    if (x1 > x0)
        update(QRect(x0 + 1, 0, x1 - x0, height()));
}

void LWaveWindow::UpdateBetween(int32_t iPixelA, int32_t iPixelB)
{
    UpdateColumns(std::max(std::min(iPixelA, iPixelB), 0), std::max(iPixelA, iPixelB) + 1);
}

void LWaveWindow::paintEvent(QPaintEvent* pEvent)
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
    const int iUsed = pic.view.nWidth + 2;
    if (width() > iUsed)
        painter.fillRect(QRect(iUsed, 0, width() - iUsed, height()), palette().color(QPalette::Window));
    PaintWave(painter, pEvent->rect(), pic, LWavePens::FromPalette(palette()), isEnabled());
}

void LWaveWindow::resizeEvent(QResizeEvent* pEvent)
{
    QWidget::resizeEvent(pEvent);
    pState->worker.Resize(width(), height());
}

void LWaveWindow::mouseReleaseEvent(QMouseEvent* pEvent)
{
    if (pEvent->button() != Qt::LeftButton)
        return;
    int32_t f;
    {
        std::lock_guard<std::mutex> lock(pState->worker.csPaint);
        const LWaveView& v = pState->worker.view;
        f = v.PixelToFrame(std::clamp(pEvent->position().toPoint().x() - 1, 0, v.nWidth));
    }
    SetCursor(f, 0);
    emit Notify(kReleased);
}
