#include "app/LWavePainter.h"

#include <QPainter>
#include <algorithm>

LWavePens LWavePens::FromPalette(const QPalette& palette)
{
    LWavePens pens;
    pens.wave = palette.color(QPalette::WindowText);
    pens.back = palette.color(QPalette::Base);
    pens.selWave = palette.color(QPalette::HighlightedText);
    pens.selBack = palette.color(QPalette::Highlight);
    pens.noneWave = palette.color(QPalette::Disabled, QPalette::WindowText);
    pens.noneBack = palette.color(QPalette::Button);
    pens.borderDark = palette.color(QPalette::Shadow);
    pens.borderLight = palette.color(QPalette::Light);
    pens.disabled = palette.color(QPalette::Disabled, QPalette::Mid);
    return pens;
}

namespace {
// Rows [y0, y1) of one screen column, clipped to the inside of the border.
void Segment(QPainter& painter, int iScreenX, int y0, int y1, int nHeight, const QColor& color)
{
    y0 = std::max(y0, 1);
    y1 = std::min(y1, nHeight);
    if (y1 > y0)
        painter.fillRect(QRect(iScreenX, y0, 1, y1 - y0), color);
}

void PaintBorder(QPainter& painter, const QRect& update, const LWaveView& v, const LWavePens& pens)
{
    const int iRight = v.nWidth + 1;
    if (update.top() <= 0)
        painter.fillRect(QRect(0, 0, iRight + 1, 1), pens.borderDark);
    if (update.left() <= 0)
        painter.fillRect(QRect(0, 0, 1, v.nHeight + 1), pens.borderDark);
    if (update.bottom() >= v.nHeight)
        painter.fillRect(QRect(0, v.nHeight, iRight + 1, 1), pens.borderLight);
    if (update.right() >= iRight)
        painter.fillRect(QRect(iRight, 0, 1, v.nHeight + 1), pens.borderLight);
}
} // namespace

void PaintWave(QPainter& painter, const QRect& update, const LWavePicture& pic,
    const LWavePens& pens, bool bEnabled)
{
    const LWaveView& v = pic.view;
    const int32_t x0 = std::max(update.left() - 1, 0);
    const int32_t x1 = std::min(update.right(), v.nWidth); // right() is the last pixel
    if (!bEnabled) {
        painter.fillRect(QRect(1, 1, v.nWidth, std::max(v.nHeight - 1, 0)), pens.disabled);
        PaintBorder(painter, update, v, pens);
        return;
    }
    const LWaveMarks& m = pic.marks;
    int32_t c0 = v.FrameToPixel(m.sCursor);
    if (c0 == v.nWidth)
        c0 -= 1;
    const int32_t c1 = v.FrameToPixel(int32_t(uint32_t(m.sCursor) + uint32_t(m.sCursorLen)));
    const int32_t s0 = m.bSelection ? v.FrameToPixel(m.sSelStart) : 0;
    const int32_t s1 = m.bSelection ? v.FrameToPixel(m.sSelEnd) : 0;
    const int32_t p0 = v.FrameToPixel(0);
    const int32_t e = v.FrameToPixel(m.sEndMark);
    const int mid = v.nHeight / 2;
    for (int32_t x = x0; x < x1; ++x) {
        const bool bSel = x >= s0 && x < s1;
        const QColor* pWave = &pens.wave;
        const QColor* pBack = &pens.back;
        if (x >= e || x < p0) {
            pWave = &pens.noneWave;
            pBack = &pens.noneBack;
        } else if (x >= c0 && x < c1) {
            pWave = bSel ? &pens.bandLight : &pens.bandDark;
            pBack = bSel ? &pens.bandDark : &pens.bandLight;
        } else if (bSel) {
            pWave = &pens.selWave;
            pBack = &pens.selBack;
        }
        const int top = (int(pic.aTop[x]) * v.nHeight) >> 9;
        const int bottom = (int(pic.aBottom[x]) * v.nHeight) >> 9;
        Segment(painter, x + 1, 1, mid - top, v.nHeight, *pBack);
        Segment(painter, x + 1, mid - top, mid + bottom + 1, v.nHeight, *pWave);
        Segment(painter, x + 1, mid + bottom + 1, v.nHeight, v.nHeight, *pBack);
    }
    if (c0 >= 0 && c0 >= x0 && c0 < x1)
        Segment(painter, c0 + 1, 1, v.nHeight, v.nHeight, pens.cursor);
    PaintBorder(painter, update, v, pens);
}
