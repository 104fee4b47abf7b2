#pragma once

#include <cstdint>

// The geometry of a waveform view: which frames each pixel column covers.
// Column x shows frames [FrameOfColumn(x), FrameOfColumn(x + 1)). Plain data,
// guarded by its owner's lock; no Qt.
class LWaveView {
public:
    static constexpr int32_t kMaxColumns = 2048;

    // What a request did to the columns: a scroll by iShift pixels (kept
    // columns move right for positive values), or everything to redo.
    struct Change {
        bool bAll = true;
        int32_t iShift = 0;
        bool bScroll = false; // same length: the view only moved
    };

    // Client size in pixels: a one-pixel border on every side but the
    // column and row counts below.
    void SetClientSize(int32_t iClientWidth, int32_t iClientHeight);
    // Takes a view request. Same length as the current view: a scroll
    // (iShift may be 0: nothing to redo); otherwise, or when bRescale is
    // set (the size changed), a zoom.
    Change Apply(int32_t iStart, int32_t iLength, bool bRescale = false);

    // -1 when no view is set or the frame lies left of it; at most nWidth.
    int32_t FrameToPixel(int32_t iFrame) const;
    int32_t PixelToFrame(int32_t iPixel) const;
    // True beyond 256 frames per pixel (columns come from the graph files).
    bool IsLong() const;

    int32_t sViewStart = 0;
    int32_t sViewLen = 0;
    int32_t iPixelOffset = 0;
    double dScale = 1.0;
    int32_t nWidth = 1;
    int32_t nHeight = 0;
};

// Moves columns [0, iCount) of an array by iShift (positive = right); the
// uncovered ones are cleared.
void ShiftColumns(uint8_t* pColumns, int32_t iCount, int32_t iShift);
