#include "app/LWaveView.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {
// Products with the scale are truncated toward zero and kept in 32 bits.
int32_t Trunc(double d)
{
    d = std::trunc(d);
    return int32_t(std::clamp(d, -2147483648.0, 2147483647.0));
}
} // namespace

void LWaveView::SetClientSize(int32_t iClientWidth, int32_t iClientHeight)
{
    nWidth = std::clamp(iClientWidth - 2, 1, kMaxColumns);
    nHeight = std::max(iClientHeight - 1, 0);
}

LWaveView::Change LWaveView::Apply(int32_t iStart, int32_t iLength, bool bRescale)
{
    Change change;
    if (iLength == sViewLen && sViewLen > 0 && !bRescale) {
        // Both directions reduce to the difference of the two offsets: the
        // new start's pixel under the old offset, or the old start's under
        // the new one.
        int32_t iNewOffset = Trunc(iStart * dScale);
        change.bAll = false;
        change.bScroll = true;
        change.iShift = int32_t(uint32_t(iPixelOffset) - uint32_t(iNewOffset));
        sViewStart = iStart;
        iPixelOffset = iNewOffset;
        if (change.iShift <= -nWidth || change.iShift >= nWidth)
            change.bAll = true;
        return change;
    }
    sViewStart = iStart;
    sViewLen = iLength;
    dScale = iLength > 0 ? double(std::max(nWidth, 8)) / iLength : 1.0;
    iPixelOffset = Trunc(iStart * dScale);
    return change;
}

int32_t LWaveView::FrameToPixel(int32_t iFrame) const
{
    if (sViewLen < 1)
        return -1;
    int64_t iPixel = int64_t(Trunc(iFrame * dScale)) - iPixelOffset;
    if (iPixel < 0)
        return -1;
    return int32_t(std::min<int64_t>(iPixel, nWidth));
}

int32_t LWaveView::PixelToFrame(int32_t iPixel) const
{
    return Trunc((double(iPixel) + iPixelOffset) / dScale);
}

bool LWaveView::IsLong() const
{
    return int64_t(sViewLen) > int64_t(nWidth) * 256;
}

void ShiftColumns(uint8_t* pColumns, int32_t iCount, int32_t iShift)
{
    if (iShift >= iCount || iShift <= -iCount) {
        std::memset(pColumns, 0, size_t(std::max(iCount, 0)));
        return;
    }
    if (iShift > 0) {
        std::memmove(pColumns + iShift, pColumns, size_t(iCount - iShift));
        std::memset(pColumns, 0, size_t(iShift));
    } else if (iShift < 0) {
        std::memmove(pColumns, pColumns - iShift, size_t(iCount + iShift));
        std::memset(pColumns + iCount + iShift, 0, size_t(-iShift));
    }
}
