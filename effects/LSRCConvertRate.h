#pragma once

#include "audio/LSRCFilterBase.h"
#include "effects/LRatePhaseTable.h"

#include <vector>

// Polyphase windowed-sinc sample-rate converter with integer
// multiply-accumulate. Input is taken in blocks of 8192 frames behind 63
// frames of history, scaled per block to 16 bits so that the 32-bit
// accumulation cannot overflow, and scaled back on output. Output frame j is
// centred on input time j × source rate ÷ target rate exactly.
// Called by one thread at a time; shares the upstream handle it is given.
class LSRCConvertRate : public LSRCFilterBase {
public:
    LSRCConvertRate(SourceHandle hUpstream, int32_t iTargetRate, bool bWide);

    // The source itself when it is in error or already at the rate; below a
    // quarter of the source rate, two stages through twice the target rate.
    static SourceHandle OpenSource(SourceHandle hSource, int32_t iRate);

    int32_t GetPosition() override { return iPosition; }
    // The input length × target rate ÷ source rate, rounded (an intermediate
    // stage rounds down, so that the last stage rounds the exact length).
    int32_t GetLength() override;
    void Seek(int32_t iFrame) override;

    const LRatePhaseTable& GetTable() const { return table; }

    // Chooses the vector kernels (when the processor has them, the default)
    // or the portable ones, which give the same bits; says whether vector
    // kernels are in use. For tests, before any conversion runs.
    static bool UseVectorUnit(bool bUse);

protected:
    int32_t ReadAudio(int32_t* pBuffer, int32_t iFrames) override;

private:
    static constexpr int kHistory = LRatePhaseTable::kTaps;
    static constexpr int kBufferFrames = kHistory + kBlockFrames + 1;

    int32_t* Raw(int c) { return raw.data() + size_t(c) * kBufferFrames; }
    // Fills the whole buffer with the input from frame iFirst on.
    void FillFrom(int64_t iFirst);
    // Keeps the last 63 frames and reads the next block behind them.
    void Refill();
    void ReadUpstream(int iAt, int iFrames);
    // Chooses the block's shift and scales the raw samples into the buffer.
    void Rescale();

    LRatePhaseTable table;
    bool bIntermediate;
    std::vector<int32_t> raw; // one block per channel, kBufferFrames each, as read
    std::vector<int16_t> scaled; // the same, scaled to 16 bits
    std::vector<int32_t> interleaved; // one upstream block
    int iShift = 0;
    int iIndex = 0; // first of the 63 input frames under the filter
    uint32_t uRem = 0; // input time past iIndex + 31, in units of 1 ÷ L
    bool bFilled = false;
    int32_t iPosition = 0;
};
