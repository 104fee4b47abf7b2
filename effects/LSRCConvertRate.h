#pragma once

#include "audio/LSRCFilterBase.h"
#include "effects/LRatePhaseTable.h"

#include <vector>

// Polyphase windowed-sinc sample-rate converter with integer
// multiply-accumulate. Input is taken in blocks of 8192 frames behind 63
// frames of history, scaled per block to the 16-bit range so that the 32-bit
// accumulation cannot overflow, and scaled back on output.
class LSRCConvertRate : public LSRCFilterBase {
public:
    LSRCConvertRate(SourceHandle hUpstream, int32_t iTargetRate, bool bWide);

    // The source itself when it is in error or already at the rate; below a
    // quarter of the source rate, two stages through twice the target rate.
    static SourceHandle OpenSource(SourceHandle hSource, int32_t iRate);

    int32_t GetPosition() override { return iPosition; }
    int32_t GetLength() override;
    void Seek(int32_t iFrame) override;

    const LRatePhaseTable& GetTable() const { return table; }

protected:
    int32_t ReadAudio(int32_t* pBuffer, int32_t iFrames) override;

private:
    static constexpr int kHistory = LRatePhaseTable::kTaps;
    static constexpr int kBufferFrames = kHistory + kBlockFrames + 1;

    int32_t* Channel(int c) { return channels.data() + size_t(c) * kBufferFrames; }
    // Fills the whole buffer with the input from frame iFirst on.
    void FillFrom(int64_t iFirst);
    // Keeps the last 63 frames and reads the next block behind them.
    void Refill();
    void ReadUpstream(int iAt, int iFrames);
    void Rescale();

    LRatePhaseTable table;
    std::vector<int32_t> channels; // one buffer per channel, kBufferFrames each
    std::vector<int32_t> interleaved; // one upstream block
    int iShift = 0;
    int iIndex = 0; // first of the 63 input frames under the filter
    int iPhase = 0; // pending phase; whole multiples of P advance the index
    bool bFilled = false;
    int32_t iPosition = 0;
};
