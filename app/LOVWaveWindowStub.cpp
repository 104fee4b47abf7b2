// Temporary stand-in for the waveform control until its implementation is
// merged: keeps the view, selection and cursor, maps frames to pixels, lets
// the mouse select, and draws the selection and cursor without peaks.
#include "app/LOVWaveWindow.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

struct LOVWaveWindow::State {
    int32_t iViewStart = 0;
    int32_t iViewLength = 0;
    int32_t iEndMark = 0;
    int32_t iSelStart = 0;
    int32_t iSelEnd = 0;
    int32_t iCursor = 0;
    int32_t iAnchor = 0;
    bool bDragging = false;
};

LOVWaveWindow::LOVWaveWindow(QWidget* pParent) : QWidget(pParent), pState(new State) {}
LOVWaveWindow::~LOVWaveWindow() { delete pState; }

void LOVWaveWindow::SetSource(const LCutListAudio& audio, int, bool)
{
    pState->iEndMark = audio.GetTotalLength();
    pState->iViewStart = 0;
    pState->iViewLength = 0;
    update();
}
void LOVWaveWindow::Stop() {}
void LOVWaveWindow::SetView(int32_t iStart, int32_t iLength)
{
    pState->iViewStart = iStart;
    pState->iViewLength = iLength;
    update();
}
void LOVWaveWindow::SetEndMark(int32_t iFrames) { pState->iEndMark = iFrames; update(); }
void LOVWaveWindow::SetSelStart(int32_t iFrame) { pState->iSelStart = iFrame; update(); }
void LOVWaveWindow::SetSelEnd(int32_t iFrame) { pState->iSelEnd = iFrame; update(); }
void LOVWaveWindow::SetCursor(int32_t iFrame, int32_t) { pState->iCursor = iFrame; update(); }

int32_t LOVWaveWindow::FrameToPixel(int32_t iFrame) const
{
    if (pState->iViewLength <= 0)
        return 0;
    return int32_t(int64_t(iFrame - pState->iViewStart) * width() / pState->iViewLength);
}

int32_t LOVWaveWindow::PixelToFrame(int32_t iPixel) const
{
    if (width() <= 0)
        return pState->iViewStart;
    return pState->iViewStart + int32_t(int64_t(iPixel) * pState->iViewLength / width());
}

int32_t LOVWaveWindow::GetSelStart() const { return pState->iSelStart; }
int32_t LOVWaveWindow::GetSelEnd() const { return pState->iSelEnd; }
int32_t LOVWaveWindow::GetCursor() const { return pState->iCursor; }
int32_t LOVWaveWindow::GetViewStart() const { return pState->iViewStart; }
int32_t LOVWaveWindow::GetViewLength() const { return pState->iViewLength; }

void LOVWaveWindow::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), Qt::black);
    p.setPen(QColor(0, 96, 0));
    p.drawLine(0, height() / 2, width(), height() / 2);
    int32_t x0 = FrameToPixel(pState->iSelStart), x1 = FrameToPixel(pState->iSelEnd);
    if (x1 > x0)
        p.fillRect(QRect(x0, 0, x1 - x0, height()), QColor(255, 255, 255, 90));
    p.setPen(Qt::yellow);
    int32_t xc = FrameToPixel(pState->iCursor);
    p.drawLine(xc, 0, xc, height());
}

void LOVWaveWindow::resizeEvent(QResizeEvent*) {}

void LOVWaveWindow::mousePressEvent(QMouseEvent* pEvent)
{
    int32_t iFrame = std::clamp(PixelToFrame(int32_t(pEvent->position().x())), 0, pState->iEndMark);
    pState->iAnchor = pState->iSelStart = pState->iSelEnd = pState->iCursor = iFrame;
    pState->bDragging = true;
    update();
    emit Notify(kSelChanging);
}

void LOVWaveWindow::mouseMoveEvent(QMouseEvent* pEvent)
{
    if (!pState->bDragging)
        return;
    int32_t iFrame = std::clamp(PixelToFrame(int32_t(pEvent->position().x())), 0, pState->iEndMark);
    pState->iSelStart = std::min(pState->iAnchor, iFrame);
    pState->iSelEnd = std::max(pState->iAnchor, iFrame);
    update();
    emit Notify(kSelChanging);
}

void LOVWaveWindow::mouseReleaseEvent(QMouseEvent*)
{
    if (!pState->bDragging)
        return;
    pState->bDragging = false;
    emit Notify(kReleased);
}
