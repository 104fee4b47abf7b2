#pragma once

#include "audio/LSoundSourceBase.h"
#include "edit/LCutListAudio.h"
#include "process/LProgressDialog.h"
#include "process/LProgressView.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace EffectTest {

// A cut list holding the interleaved samples as one new cut (its graph file
// written as for any rendered cut).
LCutListAudio ListOf(const std::vector<int32_t>& samples, int iChannels, int32_t iRate = 44100);

// A cut list loaded from a source through the loading process.
LCutListAudio Load(SourceHandle hSource);

// All interleaved samples of a cut list.
std::vector<int32_t> Samples(const LCutListAudio& list);

// iFrames frames whose channel c is fn(frame, c).
std::vector<int32_t> Signal(
    int32_t iFrames, int iChannels, const std::function<int32_t(int32_t, int)>& fn);

// RMS of every uStride-th sample (channel 0 of interleaved frames) over
// frames [uFrom, uTo).
double Rms(const std::vector<int32_t>& v, size_t uFrom, size_t uTo, size_t uStride = 1);

// Runs Process<X> over data, cancelling at the n-th pump when n > 0;
// returns the body's result.
template <class X> int RunBody(X& data, int iCancelAtPump = 0)
{
    LSilentProgressView::SetCancelAfterPumps(iCancelAtPump);
    Process<X> run("Test", data);
    run.Run();
    LSilentProgressView::SetCancelAfterPumps(0);
    return run.GetResult();
}

// The cut records, for comparing a list before and after.
struct CutRecord {
    uint16_t wCut;
    int32_t iLength, iGain, iOffset;
    bool operator==(const CutRecord&) const = default;
};
std::vector<CutRecord> Records(const LCutListAudio& list);

} // namespace EffectTest
