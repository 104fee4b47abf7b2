#pragma once

#include "audio/LSRCFilterBase.h"

#include <vector>

// Time stretch by overlapping grains: the output is made one segment of S
// samples at a time (S = rate / 90 frames, 20..2730, times the channels) by
// crossfading the continuation of the previous grain into a new grain that
// starts one hop after the previous grain's start. A hop of S x f makes the
// duration 1 / f times the input's at the same pitch. A negative hop steps
// each new grain backwards while every grain still plays forwards (the
// transport's rewind scan). The hop may ramp from a start to an end factor
// over a given output time (the transport scans); with no ramp it stays.
//
// Position is in upstream frames: the frame under the read pointer. While
// the hop is negative the length is twice the position, so a backward scan
// ends at frame 0. Reads the upstream on the caller's thread; owns the
// upstream through its handle.
class LSRCWaveScan : public LSRCFilterBase {
public:
    // Constant hop factor.
    LSRCWaveScan(SourceHandle hUpstream, double dFactor);
    // Hop from S x start factor to S x end factor over iRampMs of output
    // (0: stays at the start factor). Starts at the upstream's position.
    LSRCWaveScan(SourceHandle hUpstream, double dStartFactor, double dEndFactor, int32_t iRampMs);

    int32_t GetPosition() override;
    int32_t GetLength() override;
    // Restarts the grains at iFrame as at construction; the hop and what is
    // left of its ramp carry on.
    void Seek(int32_t iFrame) override;

    // Segment length S and the current hop, in samples (all channels).
    int32_t GetSegmentSamples() const { return iSeg; }
    int32_t GetHop() const { return iHop; }
    // The hop as it moves the grain: whole frames, truncated towards zero.
    int32_t GetHopFrames() const { return iHop / GetChannels(); }

protected:
    int32_t ReadAudio(int32_t* pBuffer, int32_t iFrames) override;

private:
    // Places both grain pointers per the hop's sign and fills the window
    // from the upstream (seeking it first when bSeek or the hop is negative).
    void Start(int64_t iFrame, bool bSeek);
    void NextSegment();
    // Mixes the old grain (tail) with the new grain into segment, and keeps
    // the new grain's continuation as the next old grain.
    void MakeSegment();
    // Brings input samples [iGrain, iGrain + 2S) into the window.
    void Ensure();
    // Moves the window to start at input sample iStart and fills it.
    void Reposition(int64_t iStart);
    // Fills window[iFrom..) from the upstream, which stands at that sample
    // (zeros before frame 0, where the upstream stands at 0).
    void FillFrom(int32_t iFrom);

    int32_t iSeg; // S, samples
    int32_t iHop; // samples per segment, signed
    int32_t iTargetHop;
    int64_t iRampLeft; // samples of output still ramping
    std::vector<int32_t> curve; // weight of the old grain, 24 fraction bits
    std::vector<int32_t> window; // 8S samples of upstream audio
    int64_t iWinStart = 0; // input sample index of window[0]
    int32_t iWinFill = 0;
    int64_t iGrain = 0; // input sample index of the current new grain
    std::vector<int32_t> tail; // old grain of the current segment
    std::vector<int32_t> segment; // output of the current segment
    int32_t iSegPos = 0; // samples of it already read
};
