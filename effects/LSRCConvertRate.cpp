#include "effects/LSRCConvertRate.h"

#include <algorithm>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

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

// Taps 0..31 and 32..63 are each accumulated in 32 bits and halved before
// they are added. Unsigned sums wrap exactly as the two's-complement
// arithmetic the filter was designed for, so every kernel gives the same
// bits: a 16-bit row tap times a 16-bit sample cannot overflow, and the
// excess of the two centre taps is added on its own.
__attribute__((always_inline)) inline int32_t Combine(uint32_t uLow, uint32_t uHigh, int iShift)
{
    return ScaleBack(uint32_t(int32_t(uLow) >> 1) + uint32_t(int32_t(uHigh) >> 1), iShift);
}

struct ScalarKernel {
    __attribute__((always_inline)) static inline void Frame(const int16_t* const* pChannels,
        int iChannels, int iIndex, const int16_t* c, const int32_t* e, int iShift, int32_t* pOut)
    {
        for (int ch = 0; ch < iChannels; ++ch) {
            const int16_t* x = pChannels[ch] + iIndex;
            uint32_t uLow = uint32_t(e[0]) * uint32_t(int32_t(x[31]));
            uint32_t uHigh = uint32_t(e[1]) * uint32_t(int32_t(x[32]));
            for (int k = 0; k < 32; ++k)
                uLow += uint32_t(int32_t(c[k]) * int32_t(x[k]));
            for (int k = 32; k < 64; ++k)
                uHigh += uint32_t(int32_t(c[k]) * int32_t(x[k]));
            pOut[ch] = Combine(uLow, uHigh, iShift);
        }
    }
};

#if defined(__x86_64__)
#define AVX2_INLINE __attribute__((target("avx2"), always_inline)) static inline

struct Avx2Kernel {
    struct Row {
        __m256i c0, c1, c2, c3;
    };

    // [low sum lanes 01 23, high 01 23 | low 45 67, high 45 67] of one channel.
    AVX2_INLINE __m256i Pairs(const int16_t* x, const Row& r)
    {
        const __m256i* v = reinterpret_cast<const __m256i*>(x);
        __m256i lo = _mm256_add_epi32(_mm256_madd_epi16(_mm256_loadu_si256(v), r.c0),
            _mm256_madd_epi16(_mm256_loadu_si256(v + 1), r.c1));
        __m256i hi = _mm256_add_epi32(_mm256_madd_epi16(_mm256_loadu_si256(v + 2), r.c2),
            _mm256_madd_epi16(_mm256_loadu_si256(v + 3), r.c3));
        return _mm256_hadd_epi32(lo, hi);
    }

    // [low, high, low, high] partial sums of one channel (two lanes each).
    AVX2_INLINE __m128i Fold(__m256i v)
    {
        return _mm_add_epi32(_mm256_castsi256_si128(v), _mm256_extracti128_si256(v, 1));
    }

    AVX2_INLINE void Frame(const int16_t* const* pChannels, int iChannels, int iIndex,
        const int16_t* c, const int32_t* e, int iShift, int32_t* pOut)
    {
        const Row r { _mm256_load_si256(reinterpret_cast<const __m256i*>(c)),
            _mm256_load_si256(reinterpret_cast<const __m256i*>(c + 16)),
            _mm256_load_si256(reinterpret_cast<const __m256i*>(c + 32)),
            _mm256_load_si256(reinterpret_cast<const __m256i*>(c + 48)) };
        const __m128i vExcess = _mm_setr_epi32(e[0], e[1], e[0], e[1]);
        int ch = 0;
        for (; ch + 1 < iChannels; ch += 2) {
            const int16_t* a = pChannels[ch] + iIndex;
            const int16_t* b = pChannels[ch + 1] + iIndex;
            // [low a, high a, low b, high b]
            __m128i v = _mm_hadd_epi32(Fold(Pairs(a, r)), Fold(Pairs(b, r)));
            v = _mm_add_epi32(
                v, _mm_mullo_epi32(vExcess, _mm_setr_epi32(a[31], a[32], b[31], b[32])));
            v = _mm_srai_epi32(v, 1);
            v = _mm_hadd_epi32(v, v);
            pOut[ch] = ScaleBack(uint32_t(_mm_cvtsi128_si32(v)), iShift);
            pOut[ch + 1] = ScaleBack(uint32_t(_mm_extract_epi32(v, 1)), iShift);
        }
        if (ch < iChannels) {
            const int16_t* a = pChannels[ch] + iIndex;
            __m128i v = Fold(Pairs(a, r));
            v = _mm_hadd_epi32(v, v);
            uint32_t uLow
                = uint32_t(_mm_cvtsi128_si32(v)) + uint32_t(e[0]) * uint32_t(int32_t(a[31]));
            uint32_t uHigh
                = uint32_t(_mm_extract_epi32(v, 1)) + uint32_t(e[1]) * uint32_t(int32_t(a[32]));
            pOut[ch] = Combine(uLow, uHigh, iShift);
        }
    }
};
#endif

// Where the filter stands, with what it needs of the table in locals of the
// loop: the input frame under its first tap, and the fraction of the input
// time past the centre frame in units of 1 ÷ L.
struct ConvertState {
    int iIndex;
    uint32_t uRem;
    int iWhole; // M ÷ L
    uint32_t uPart; // M mod L
    uint32_t uOut; // L
    uint64_t uPhaseScale;
    const int16_t* pRows;
    const int32_t* pExcess;

    ConvertState(const LRatePhaseTable& t, int iAt, uint32_t uFraction)
        : iIndex(iAt)
        , uRem(uFraction)
        , iWhole(int(t.GetInStep() / t.GetOutStep()))
        , uPart(t.GetInStep() % t.GetOutStep())
        , uOut(t.GetOutStep())
        , uPhaseScale(t.GetPhaseScale())
        , pRows(t.GetRow(0))
        , pExcess(t.GetExcess(0))
    {
    }
    __attribute__((always_inline)) size_t Phase() const
    {
        return size_t((uint64_t(uRem) * uPhaseScale + 0x80000000u) >> 32);
    }
    __attribute__((always_inline)) const int16_t* Row() const
    {
        return pRows + Phase() * LRatePhaseTable::kStride;
    }
    __attribute__((always_inline)) const int32_t* Excess() const { return pExcess + Phase() * 2; }
    // One output frame on: M ÷ L input frames, carried exactly.
    __attribute__((always_inline)) void Next()
    {
        iIndex += iWhole;
        uRem += uPart;
        if (uRem >= uOut) {
            uRem -= uOut;
            ++iIndex;
        }
    }
};

// Each kernel produces up to iFrames output frames while the filter stays
// inside the buffered block, and returns how many. The loop is written out
// per kernel because a vector kernel inlines only into code built for it;
// stereo gets its own copy with the channel count known.
#define CONVERT_FRAMES_RUN(Kernel, Channels)                                                       \
    for (; iDone < iFrames && s.iIndex < kBlockFrames; ++iDone, s.Next())                          \
    Kernel::Frame(pChannels, Channels, s.iIndex, s.Row(), s.Excess(), iShift,                      \
        pOut + size_t(iDone) * size_t(Channels))
#define CONVERT_FRAMES_LOOP(Kernel)                                                                \
    ConvertState s = st;                                                                           \
    int iDone = 0;                                                                                 \
    if (iChannels == 2)                                                                            \
        CONVERT_FRAMES_RUN(Kernel, 2);                                                             \
    else                                                                                           \
        CONVERT_FRAMES_RUN(Kernel, iChannels);                                                     \
    st = s;                                                                                        \
    return iDone

using ConvertFn = int (*)(const int16_t* const*, int, int, ConvertState&, int32_t*, int);

int ConvertFramesBaseline(const int16_t* const* pChannels, int iChannels, int iShift,
    ConvertState& st, int32_t* pOut, int iFrames)
{
    CONVERT_FRAMES_LOOP(ScalarKernel);
}

#if defined(__x86_64__)
// The same loop with the wider vector unit, chosen once at run time (a plain
// function pointer rather than an ifunc, which the thread sanitizer cannot
// run).
__attribute__((target("avx2"))) int ConvertFramesAvx2(const int16_t* const* pChannels,
    int iChannels, int iShift, ConvertState& st, int32_t* pOut, int iFrames)
{
    CONVERT_FRAMES_LOOP(Avx2Kernel);
}

bool HasAvx2()
{
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2");
}
#endif

// Scales a block to 16 bits with the smallest shift whose rounded peak
// still fits, and returns that shift: (x + 2^(s-1)) >> s, computed without
// the sum overflowing.
__attribute__((always_inline)) inline int ScaleBlockBody(
    const int32_t* pIn, int16_t* pOut, size_t uCount)
{
    uint32_t uPeak = 0;
    for (size_t i = 0; i < uCount; ++i)
        uPeak = std::max(uPeak, pIn[i] < 0 ? 0u - uint32_t(pIn[i]) : uint32_t(pIn[i]));
    int s = 0;
    while (((int64_t(uPeak) + (s ? int64_t(1) << (s - 1) : 0)) >> s) > 0x7FFF)
        ++s;
    if (s == 0) {
        for (size_t i = 0; i < uCount; ++i)
            pOut[i] = int16_t(pIn[i]);
    } else {
        for (size_t i = 0; i < uCount; ++i)
            pOut[i] = int16_t((pIn[i] >> s) + ((pIn[i] >> (s - 1)) & 1));
    }
    return s;
}

using ScaleFn = int (*)(const int32_t*, int16_t*, size_t);

int ScaleBlockBaseline(const int32_t* pIn, int16_t* pOut, size_t uCount)
{
    return ScaleBlockBody(pIn, pOut, uCount);
}

#if defined(__x86_64__)
__attribute__((target("avx2"))) int ScaleBlockAvx2(const int32_t* pIn, int16_t* pOut, size_t uCount)
{
    return ScaleBlockBody(pIn, pOut, uCount);
}
#endif

// The kernels in use: those of the vector unit when the processor has it.
struct Kernels {
    ConvertFn fnConvert = ConvertFramesBaseline;
    ScaleFn fnScale = ScaleBlockBaseline;
};

Kernels ChooseKernels(bool bVector)
{
#if defined(__x86_64__)
    if (bVector && HasAvx2())
        return Kernels { ConvertFramesAvx2, ScaleBlockAvx2 };
#endif
    return Kernels {};
}

Kernels& Active()
{
    static Kernels kernels = ChooseKernels(true);
    return kernels;
}
} // namespace

LSRCConvertRate::LSRCConvertRate(SourceHandle hUpstream, int32_t iTargetRate, bool bWide)
    : LSRCFilterBase(std::move(hUpstream))
    , table(hSource->GetSampleRate(), iTargetRate < 1 ? 44100 : iTargetRate, bWide)
    , bIntermediate(bWide)
{
    uint32_t uPeak = hSource->GetPeak();
    if (uPeak <= 0x100000)
        SetPeak(uPeak * 2);
    SetSampleRate(iTargetRate);
    raw.assign(size_t(GetChannels()) * kBufferFrames, 0);
    scaled.assign(size_t(GetChannels()) * kBufferFrames, 0);
    interleaved.resize(size_t(GetChannels()) * kBlockFrames);
}

bool LSRCConvertRate::UseVectorUnit(bool bUse)
{
    Active() = ChooseKernels(bUse);
    return Active().fnConvert != ConvertFramesBaseline;
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
    const int64_t iIn = std::max(0, hSource->GetLength());
    const int64_t iHalf = bIntermediate ? 0 : table.GetInStep() / 2;
    int64_t i = (iIn * table.GetOutStep() + iHalf) / table.GetInStep();
    return int32_t(std::min<int64_t>(i, INT32_MAX));
}

void LSRCConvertRate::ReadUpstream(int iAt, int iFrames)
{
    const int iChannels = GetChannels();
    hSource->Read(interleaved.data(), iFrames);
    if (iChannels == 2) { // the common case, in a loop the compiler vectorizes
        int32_t* pL = Raw(0) + iAt;
        int32_t* pR = Raw(1) + iAt;
        const int32_t* pSrc = interleaved.data();
        for (int i = 0; i < iFrames; ++i) {
            pL[i] = pSrc[2 * i];
            pR[i] = pSrc[2 * i + 1];
        }
        return;
    }
    for (int ch = 0; ch < iChannels; ++ch) {
        int32_t* pDst = Raw(ch) + iAt;
        const int32_t* pSrc = interleaved.data() + ch;
        for (int i = 0; i < iFrames; ++i)
            pDst[i] = pSrc[size_t(i) * iChannels];
    }
}

void LSRCConvertRate::Rescale()
{
    iShift = Active().fnScale(raw.data(), scaled.data(), raw.size());
}

void LSRCConvertRate::Refill()
{
    const int iChannels = GetChannels();
    for (int ch = 0; ch < iChannels; ++ch) {
        int32_t* p = Raw(ch);
        const int16_t* pKept = scaled.data() + size_t(ch) * kBufferFrames + kBlockFrames;
        for (int i = 0; i < kHistory; ++i)
            p[i] = int32_t(uint32_t(int32_t(pKept[i])) << iShift);
        p[kBufferFrames - 1] = 0;
    }
    ReadUpstream(kHistory, kBlockFrames);
    Rescale();
    iIndex -= kBlockFrames;
}

void LSRCConvertRate::FillFrom(int64_t iFirst)
{
    std::fill(raw.begin(), raw.end(), 0);
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
        std::fill(raw.begin(), raw.end(), 0);
        ReadUpstream(kHistory, kBlockFrames);
        Rescale();
        iIndex = kStartIndex;
        uRem = 0;
        bFilled = true;
    }
    const int16_t* pChannels[256];
    for (int ch = 0; ch < GetChannels(); ++ch)
        pChannels[ch] = scaled.data() + size_t(ch) * kBufferFrames;
    while (iFrames > 0) {
        ConvertState st(table, iIndex, uRem);
        int iDone = Active().fnConvert(pChannels, GetChannels(), iShift, st, pBuffer, iFrames);
        iIndex = st.iIndex;
        uRem = st.uRem;
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
    const int64_t iTotal = int64_t(iFrame) * table.GetInStep();
    const int64_t L = table.GetOutStep();
    int64_t iCentre = iTotal >= 0 ? iTotal / L : -((-iTotal + L - 1) / L);
    uRem = uint32_t(iTotal - iCentre * L);
    // The filter's centre tap sits at buffer frame kStartIndex + 31 = 63.
    FillFrom(iCentre - kHistory);
    iIndex = kStartIndex;
}
