#pragma once

#include "app/LWaveView.h"

#include <QColor>
#include <QPalette>
#include <QRect>
#include <cstdint>

class QPainter;

// Colours of the waveform controls. Normal, selected and no-audio colours
// come from the widget's palette so that light and dark themes both read;
// the cursor greens are fixed.
struct LWavePens {
    QColor wave, back; // normal
    QColor selWave, selBack; // inside the selection
    QColor noneWave, noneBack; // outside the audio
    QColor bandDark { 0, 128, 0 };
    QColor bandLight { 170, 255, 170 };
    QColor cursor { 0, 255, 0 };
    QColor borderDark, borderLight, disabled;

    static LWavePens FromPalette(const QPalette& palette);
};

// The marks drawn over the columns, in frames.
struct LWaveMarks {
    int32_t sCursor = 0;
    int32_t sCursorLen = 0;
    int32_t sEndMark = 0;
    int32_t sSelStart = 0;
    int32_t sSelEnd = 0;
    bool bSelection = true; // false: no selection colours
};

// A copy of what one paint needs, taken under the worker's lock so that
// drawing itself holds nothing.
struct LWavePicture {
    LWaveView view;
    LWaveMarks marks;
    uint8_t aTop[LWaveView::kMaxColumns];
    uint8_t aBottom[LWaveView::kMaxColumns];
};

// Draws the columns that the update rectangle touches (column x at screen
// x + 1), the cursor line and the sunken border.
void PaintWave(QPainter& painter, const QRect& update, const LWavePicture& picture,
    const LWavePens& pens, bool bEnabled);
