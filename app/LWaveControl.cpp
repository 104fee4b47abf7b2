#include "app/LWaveControl.h"

#include <QPaintEvent>
#include <QPainter>
#include <algorithm>
#include <cstring>
#include <mutex>

LWaveControl::LWaveControl(QWidget* pParent, LWaveWorker::ScrolledFn fnScrolled)
    : QWidget(pParent)
    , worker(
          [this](int32_t x0, int32_t x1) {
              QMetaObject::invokeMethod(
                  this, [this, x0, x1] { UpdateColumns(x0, x1); }, Qt::QueuedConnection);
          },
          std::move(fnScrolled))
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setCursor(Qt::ArrowCursor);
    setEnabled(false);
    worker.Resize(width(), height());
}

LWaveControl::~LWaveControl()
{
    worker.Stop();
}

void LWaveControl::StartWorker()
{
    setEnabled(true);
    worker.Restart();
    update();
}

void LWaveControl::Stop()
{
    worker.Stop();
    worker.columns.Clear();
    setEnabled(false);
    update();
}

void LWaveControl::SetView(int32_t iStart, int32_t iLength)
{
    worker.Request(iStart, iLength);
}

void LWaveControl::MoveMark(int32_t LWaveMarks::*pMark, int32_t iFrame)
{
    int32_t a, b;
    {
        std::lock_guard<std::mutex> lock(worker.csPaint);
        a = worker.view.FrameToPixel(marks.*pMark);
        marks.*pMark = iFrame;
        b = worker.view.FrameToPixel(iFrame);
    }
    UpdateBetween(a, b);
}

int32_t LWaveControl::ReadMark(int32_t LWaveMarks::*pMark) const
{
    std::lock_guard<std::mutex> lock(worker.csPaint);
    return marks.*pMark;
}

void LWaveControl::SetEndMark(int32_t iFrames)
{
    MoveMark(&LWaveMarks::sEndMark, iFrames);
}

void LWaveControl::SetCursor(int32_t iFrame, int32_t iBandLength)
{
    int32_t a0, a1, b0, b1;
    {
        std::lock_guard<std::mutex> lock(worker.csPaint);
        const LWaveView& v = worker.view;
        a0 = v.FrameToPixel(marks.sCursor);
        a1 = v.FrameToPixel(int32_t(uint32_t(marks.sCursor) + uint32_t(marks.sCursorLen)));
        marks.sCursor = iFrame;
        marks.sCursorLen = iBandLength;
        b0 = v.FrameToPixel(iFrame);
        b1 = v.FrameToPixel(int32_t(uint32_t(iFrame) + uint32_t(iBandLength)));
    }
    UpdateBetween(a0 - 1, a1);
    UpdateBetween(b0 - 1, b1);
}

int32_t LWaveControl::FrameToPixel(int32_t iFrame) const
{
    std::lock_guard<std::mutex> lock(worker.csPaint);
    return worker.view.FrameToPixel(iFrame);
}

int32_t LWaveControl::PixelToFrame(int32_t iPixel) const
{
    std::lock_guard<std::mutex> lock(worker.csPaint);
    return worker.view.PixelToFrame(iPixel);
}

int32_t LWaveControl::FrameAt(int iClientX) const
{
    std::lock_guard<std::mutex> lock(worker.csPaint);
    return worker.view.PixelToFrame(std::clamp(iClientX - 1, 0, worker.view.nWidth));
}

int32_t LWaveControl::GetCursor() const
{
    return ReadMark(&LWaveMarks::sCursor);
}

int32_t LWaveControl::GetCursorLength() const
{
    return ReadMark(&LWaveMarks::sCursorLen);
}

int32_t LWaveControl::GetViewStart() const
{
    std::lock_guard<std::mutex> lock(worker.csPaint);
    return worker.view.sViewStart;
}

int32_t LWaveControl::GetViewLength() const
{
    std::lock_guard<std::mutex> lock(worker.csPaint);
    return worker.view.sViewLen;
}

bool LWaveControl::IsWorkerIdle() const
{
    return worker.IsIdle();
}

void LWaveControl::CopyColumns(uint8_t* pTop, uint8_t* pBottom) const
{
    std::lock_guard<std::mutex> lock(worker.csPaint);
    std::memcpy(pTop, worker.aTop, sizeof worker.aTop);
    std::memcpy(pBottom, worker.aBottom, sizeof worker.aBottom);
}

void LWaveControl::UpdateColumns(int32_t x0, int32_t x1)
{
    if (x1 > x0)
        update(QRect(x0 + 1, 0, x1 - x0, height()));
}

void LWaveControl::UpdateBetween(int32_t iPixelA, int32_t iPixelB)
{
    UpdateColumns(std::max(std::min(iPixelA, iPixelB), 0), std::max(iPixelA, iPixelB) + 1);
}

void LWaveControl::paintEvent(QPaintEvent* pEvent)
{
    LWavePicture pic;
    {
        std::lock_guard<std::mutex> lock(worker.csPaint);
        pic.view = worker.view;
        pic.marks = marks;
        std::memcpy(pic.aTop, worker.aTop, sizeof pic.aTop);
        std::memcpy(pic.aBottom, worker.aBottom, sizeof pic.aBottom);
    }
    QPainter painter(this);
    // Beyond the widest view the control shows nothing.
    const int iUsed = pic.view.nWidth + 2;
    if (width() > iUsed)
        painter.fillRect(
            QRect(iUsed, 0, width() - iUsed, height()), palette().color(QPalette::Window));
    PaintWave(painter, pEvent->rect(), pic, LWavePens::FromPalette(palette()), isEnabled());
}

void LWaveControl::resizeEvent(QResizeEvent* pEvent)
{
    QWidget::resizeEvent(pEvent);
    worker.Resize(width(), height());
}
