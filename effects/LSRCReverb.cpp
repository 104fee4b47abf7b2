#include "effects/LSRCReverb.h"

#include "effects/LFixedScale.h"
#include "effects/LSRCEcho.h"
#include "platform/LVectorClones.h"

#include <algorithm>

namespace {
// Where the four inner taps start, as parts of the line (the write index
// starts at 0), and the gains of the five taps as parts of the level.
constexpr double kTapStart[4] = { 0.7413, 0.5581, 0.3823, 0.211 };
constexpr double kTapGain[5] = { 0.4, 0.1, 0.3, 0.07, 0.13 };

// One run: the taps read entries the run does not write (see uRun), so the
// pointers may be taken as not overlapping and the loop vectorizes.
ORV_VECTOR_CLONES void ReverbRun(int32_t* __restrict p, const int32_t* __restrict p1,
    const int32_t* __restrict p2, const int32_t* __restrict p3, const int32_t* __restrict p4,
    int32_t* __restrict pw, const int32_t* aGain, size_t uCount)
{
    const int32_t g1 = aGain[0], g2 = aGain[1], g3 = aGain[2], g4 = aGain[3], g0 = aGain[4];
    for (size_t i = 0; i < uCount; ++i) {
        int32_t y = WrapAdd(p[i], MulShift<9>(p1[i], g1));
        y = WrapAdd(y, MulShift<9>(p2[i], g2));
        y = WrapAdd(y, MulShift<9>(p3[i], g3));
        y = WrapAdd(y, MulShift<9>(p4[i], g4));
        y = WrapAdd(y, MulShift<9>(pw[i], g0));
        pw[i] = y;
        p[i] = y;
    }
}
} // namespace

LSRCReverb::LSRCReverb(SourceHandle hUpstream, int32_t iPercent, int32_t iMs)
    : LSRCFilterBase(std::move(hUpstream))
    , line(LSRCEcho::DelaySamples(std::clamp(iMs, 0, 1000), GetSampleRate(), GetChannels()), 0)
{
    const size_t uLen = line.size();
    const double dLevel = double(std::clamp(iPercent, 0, 100) * 512 / 100);
    int32_t iSum = 0;
    for (int k = 0; k < kTaps; ++k) {
        aGain[k] = int32_t(dLevel * kTapGain[k]);
        iSum += aGain[k];
    }
    uRun = uLen;
    for (int k = 0; k < 4; ++k) {
        aRead[k] = size_t(double(uLen) * kTapStart[k]);
        // A run must neither read what it writes nor write what it reads.
        uRun = std::min({ uRun, aRead[k], uLen - aRead[k] });
    }
    uRun = std::max<size_t>(uRun, 1);
    // The taps' gains sum to below one, so the feedback decays: a sample at
    // full level comes back at most 512 / (512 - sum) times.
    SetPeak(ScaledPeak(GetPeak(), 512, uint32_t(512 - iSum)));
}

void LSRCReverb::Seek(int32_t iFrame)
{
    std::fill(line.begin(), line.end(), 0);
    const size_t uLen = line.size();
    for (int k = 0; k < 4; ++k)
        aRead[k] = size_t(double(uLen) * kTapStart[k]);
    aRead[4] = 0;
    hSource->Seek(iFrame);
}

void LSRCReverb::Process(int32_t* p, size_t uCount)
{
    int32_t* pLine = line.data();
    ReverbRun(p, pLine + aRead[0], pLine + aRead[1], pLine + aRead[2], pLine + aRead[3],
        pLine + aRead[4], aGain, uCount);
}

int32_t LSRCReverb::ReadAudio(int32_t* pBuffer, int32_t iFrames)
{
    hSource->Read(pBuffer, iFrames);
    if (std::all_of(aGain, aGain + kTaps, [](int32_t g) { return g == 0; }))
        return iFrames; // level 0 leaves the audio as it is
    const size_t uLen = line.size();
    size_t uLeft = size_t(iFrames) * size_t(GetChannels());
    // Runs that wrap no index and in which every tap reads entries written
    // before the run, so the inner loop has no carried dependency.
    while (uLeft > 0) {
        size_t n = std::min(uLeft, uRun);
        for (size_t r : aRead)
            n = std::min(n, uLen - r);
        Process(pBuffer, n);
        pBuffer += n;
        uLeft -= n;
        for (size_t& r : aRead)
            r = (r + n) % uLen;
    }
    return iFrames;
}
