#include "effects/LSRCConvertRate.h"

#include <algorithm>
#include <cstring>

namespace {
// The first output frame is centred on the first input frame: the filter
// then covers 31 frames of zeros in front of it.
constexpr int kStartIndex = LRatePhaseTable::kTaps - 31;

__attribute__((always_inline)) inline int32_t ScaleBack(uint32_t uSum, int iShift)
{
    if (iShift <= 14)
        return int32_t(uSum + (1u << (14 - iShift))) >> (15 - iShift);
    int64_t i = int64_t(int32_t(uSum)) << (iShift - 15);
    return int32_t(std::clamp<int64_t>(i, INT32_MIN, INT32_MAX));
}

// 63 taps (64 with the zero pad) in two halves, each accumulated in 32 bits
// and halved before they are added. Unsigned products wrap exactly as the
// two's-complement arithmetic the filter was designed for.
__attribute__((always_inline)) inline int32_t Convolve(const int32_t* x, const int32_t* c, int iShift)
{
    uint32_t uLow = 0;
    uint32_t uHigh = 0;
    for (int k = 0; k < 32; ++k)
        uLow += uint32_t(c[k]) * uint32_t(x[k]);
    for (int k = 32; k < 64; ++k)
        uHigh += uint32_t(c[k]) * uint32_t(x[k]);
    uint32_t uSum = uint32_t(int32_t(uLow) >> 1) + uint32_t(int32_t(uHigh) >> 1);
    return ScaleBack(uSum, iShift);
}

struct ConvertState {
    int iIndex;
    int iPhase;
};

// Produces up to iFrames output frames while the filter stays inside the
// buffered block; returns how many.
__attribute__((always_inline)) inline int ConvertFramesBody(int32_t* const* pChannels, int iChannels,
                                                          const LRatePhaseTable& table, int iShift,
                                                          ConvertState& st, int32_t* pOut, int iFrames)
{
    const int P = table.GetPhases();
    const int n = table.GetStep();
    int iDone = 0;
    while (iDone < iFrames) {
        st.iIndex += st.iPhase / P;
        st.iPhase %= P;
        if (st.iIndex >= kBlockFrames)
            break;
        const int32_t* c = table.GetPhase(st.iPhase);
        for (int ch = 0; ch < iChannels; ++ch)
            pOut[ch] = Convolve(pChannels[ch] + st.iIndex, c, iShift);
        pOut += iChannels;
        st.iPhase += n;
        ++iDone;
    }
    return iDone;
}

using ConvertFn = int (*)(int32_t* const*, int, const LRatePhaseTable&, int, ConvertState&, int32_t*, int);

// The same loop built for the wider vector unit, chosen once at run time
// (a plain function pointer rather than an ifunc, which the thread
// sanitizer cannot run).
__attribute__((target("avx2"))) int ConvertFramesAvx2(int32_t* const* pChannels, int iChannels,
                                                     const LRatePhaseTable& table, int iShift, ConvertState& st,
                                                     int32_t* pOut, int iFrames)
{
    return ConvertFramesBody(pChannels, iChannels, table, iShift, st, pOut, iFrames);
}

int ConvertFramesBaseline(int32_t* const* pChannels, int iChannels, const LRatePhaseTable& table, int iShift,
                          ConvertState& st, int32_t* pOut, int iFrames)
{
    return ConvertFramesBody(pChannels, iChannels, table, iShift, st, pOut, iFrames);
}

ConvertFn ChooseConvertFrames()
{
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") ? ConvertFramesAvx2 : ConvertFramesBaseline;
}

int ConvertFrames(int32_t* const* pChannels, int iChannels, const LRatePhaseTable& table, int iShift,
                  ConvertState& st, int32_t* pOut, int iFrames)
{
    static const ConvertFn fn = ChooseConvertFrames();
    return fn(pChannels, iChannels, table, iShift, st, pOut, iFrames);
}
} // namespace

LSRCConvertRate::LSRCConvertRate(SourceHandle hUpstream, int32_t iTargetRate, bool bWide)
    : LSRCFilterBase(std::move(hUpstream))
    , table(hSource->GetSampleRate(), iTargetRate < 1 ? 44100 : iTargetRate, bWide)
{
    uint32_t uPeak = hSource->GetPeak();
    if (uPeak <= 0x100000)
        SetPeak(uPeak * 2);
    SetSampleRate(iTargetRate);
    channels.assign(size_t(GetChannels()) * kBufferFrames, 0);
    interleaved.resize(size_t(GetChannels()) * kBlockFrames);
}

SourceHandle LSRCConvertRate::OpenSource(SourceHandle hSource, int32_t iRate)
{
    if (!hSource || hSource->IsError() || hSource->GetSampleRate() == iRate)
        return hSource;
    if (iRate >= 1 && int64_t(iRate) * 4 < hSource->GetSampleRate())
        hSource = MakeHandle<LSRCConvertRate>(std::move(hSource), iRate * 2, true);
    return MakeHandle<LSRCConvertRate>(std::move(hSource), iRate, false);
}

int32_t LSRCConvertRate::GetLength()
{
    // Output frames whose centre falls inside the input.
    int64_t iIn = std::max(0, hSource->GetLength());
    int64_t i = (iIn * table.GetPhases() + table.GetStep() - 1) / table.GetStep();
    return int32_t(std::min<int64_t>(i, INT32_MAX));
}

void LSRCConvertRate::ReadUpstream(int iAt, int iFrames)
{
    const int iChannels = GetChannels();
    hSource->Read(interleaved.data(), iFrames);
    for (int ch = 0; ch < iChannels; ++ch) {
        int32_t* pDst = Channel(ch) + iAt;
        const int32_t* pSrc = interleaved.data() + ch;
        for (int i = 0; i < iFrames; ++i)
            pDst[i] = pSrc[size_t(i) * iChannels];
    }
}

void LSRCConvertRate::Rescale()
{
    const size_t iCount = channels.size();
    uint32_t uPeak = 0;
    for (size_t i = 0; i < iCount; ++i) {
        int32_t s = channels[i];
        uPeak = std::max(uPeak, s < 0 ? 0u - uint32_t(s) : uint32_t(s));
    }
    iShift = 0;
    while ((uPeak >> iShift) > 0x7FFF)
        ++iShift;
    if (iShift == 0)
        return;
    const int64_t iRound = int64_t(1) << (iShift - 1);
    for (size_t i = 0; i < iCount; ++i)
        channels[i] = int32_t((channels[i] + iRound) >> iShift);
}

void LSRCConvertRate::Refill()
{
    const int iChannels = GetChannels();
    for (int ch = 0; ch < iChannels; ++ch) {
        int32_t* p = Channel(ch);
        std::memmove(p, p + kBlockFrames, kHistory * sizeof(int32_t));
        for (int i = 0; i < kHistory; ++i)
            p[i] = int32_t(uint32_t(p[i]) << iShift);
        p[kBufferFrames - 1] = 0;
    }
    ReadUpstream(kHistory, kBlockFrames);
    Rescale();
    iIndex -= kBlockFrames;
}

void LSRCConvertRate::FillFrom(int64_t iFirst)
{
    std::fill(channels.begin(), channels.end(), 0);
    int iAt = 0;
    if (iFirst < 0) {
        iAt = int(std::min<int64_t>(-iFirst, kHistory + kBlockFrames));
        hSource->Seek(0);
    } else {
        hSource->Seek(int32_t(std::min<int64_t>(iFirst, INT32_MAX)));
    }
    while (iAt < kHistory + kBlockFrames) {
        int iFrames = std::min(kBlockFrames, kHistory + kBlockFrames - iAt);
        ReadUpstream(iAt, iFrames);
        iAt += iFrames;
    }
    Rescale();
    bFilled = true;
}

int32_t LSRCConvertRate::ReadAudio(int32_t* pBuffer, int32_t iFrames)
{
    const int32_t iRequested = iFrames;
    iPosition += iFrames;
    if (!bFilled) {
        // The first block: zeros of history, the upstream from where it is.
        std::fill(channels.begin(), channels.end(), 0);
        ReadUpstream(kHistory, kBlockFrames);
        Rescale();
        iIndex = kStartIndex;
        iPhase = 0;
        bFilled = true;
    }
    int32_t* pChannels[256];
    for (int ch = 0; ch < GetChannels(); ++ch)
        pChannels[ch] = Channel(ch);
    while (iFrames > 0) {
        ConvertState st{iIndex, iPhase};
        int iDone = ConvertFrames(pChannels, GetChannels(), table, iShift, st, pBuffer, iFrames);
        iIndex = st.iIndex;
        iPhase = st.iPhase;
        pBuffer += size_t(iDone) * GetChannels();
        iFrames -= iDone;
        while (iIndex >= kBlockFrames)
            Refill();
    }
    return iRequested;
}

void LSRCConvertRate::Seek(int32_t iFrame)
{
    iPosition = iFrame;
    const int64_t iTotal = int64_t(iFrame) * table.GetStep();
    const int P = table.GetPhases();
    int64_t iCentre = iTotal >= 0 ? iTotal / P : -((-iTotal + P - 1) / P);
    iPhase = int(iTotal - iCentre * P);
    // The filter's centre tap sits at buffer frame kStartIndex + 31 = 63.
    FillFrom(iCentre - kHistory);
    iIndex = kStartIndex;
}
