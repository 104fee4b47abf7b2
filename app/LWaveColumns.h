#pragma once

#include "app/LWaveView.h"
#include "audio/LSoundSourceBase.h"
#include "edit/LCutListAudio.h"
#include "platform/LFile.h"
#include "platform/LSignalObject.h"

#include <cstdint>
#include <vector>

// Turns audio into one pair of peak bytes per pixel column. Over a cut list
// the columns of views beyond 256 frames per pixel come from the cut files'
// graph records instead of the audio. Used by one thread at a time (the
// waveform worker); no Qt.
class LWaveColumns {
public:
    enum Mode {
        kPlusMinus = 0, // top: positive peak, bottom: negative peak
        kLeftRight = 1, // top: left channel, bottom: right channel (stereo only)
        kMagnitude = 2, // both: the largest magnitude >> 10
    };

    LWaveColumns();

    // Reads a private copy of the list.
    void SetCutList(const LCutListAudio& list, int iMode, bool bVerticalZoom);
    // Reads any source (never graph files); shares the handle.
    void SetSource(const SourceHandle& src, int iMode);
    // Back to a silent placeholder.
    void Clear();

    // Columns [x0, x1) of the view into pTop[x] and pBottom[x]. Returns false
    // when pStop got set (columns after the one being filled stay as they were).
    bool Fill(const LWaveView& view, int32_t x0, int32_t x1, uint8_t* pTop, uint8_t* pBottom,
        const LSignalObject* pStop);
    bool FillFromAudio(const LWaveView& view, int32_t x0, int32_t x1, uint8_t* pTop,
        uint8_t* pBottom, const LSignalObject* pStop);
    bool FillFromGraph(const LWaveView& view, int32_t x0, int32_t x1, uint8_t* pTop,
        uint8_t* pBottom, const LSignalObject* pStop);

    int32_t GetSampleRate() const { return src->GetSampleRate(); }
    int GetChannels() const { return src->GetChannels(); }

private:
    // Peaks of one column's frames so far.
    struct Peaks {
        int32_t iMax[2];
        int32_t iMin[2];
    };
    void Accumulate(const int32_t* p, int32_t iFrames, Peaks& peaks) const;
    void Finish(const Peaks& peaks, uint8_t& bTop, uint8_t& bBottom) const;

    // Collected graph bytes of one column, times their cut's factor.
    struct GraphPeaks {
        uint32_t uTop = 0, uBottom = 0;
    };
    // Adds the records of file frames [iFrom, iTo) of the open graph file.
    void AddRecords(int64_t iFrom, int64_t iTo, int32_t iGain, GraphPeaks& peaks);
    bool PerChannel() const { return iMode == kLeftRight && GetChannels() == 2; }

    LCutListAudio list;
    bool bHaveList = false;
    std::vector<int64_t> cutStarts; // frame where each cut begins
    SourceHandle src;
    int iMode = kPlusMinus;
    int iShift = 11;
    std::vector<int32_t> buffer; // one block of frames
    LFile graph; // graph file of the cut being read
    size_t uGraphCut = SIZE_MAX;
};
