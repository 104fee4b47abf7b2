#include "effects/LSRCNoiseGates.h"

#include "edit/LGainMultiply.h"
#include "effects/LDBTablesClass.h"
#include "effects/LFixedScale.h"
#include "effects/LSRCLowCutFilter.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {
constexpr int32_t kUnity = 0x1000000;

int32_t Clamp32(int64_t i)
{
    return int32_t(std::clamp<int64_t>(i, INT32_MIN, INT32_MAX));
}
} // namespace

LSRCNoiseGates::Coefficients LSRCNoiseGates::BandCoefficients(int32_t iRate)
{
    if (iRate < 1)
        return {};
    return { LSRCLowCutFilter::Coefficient(50, iRate), LSRCLowCutFilter::Coefficient(400, iRate),
        LSRCLowCutFilter::Coefficient(1100, iRate), LSRCLowCutFilter::Coefficient(2600, iRate) };
}

int64_t LSRCNoiseGates::BandThreshold(int iLevel)
{
    // -127 dB and below are silence in the table (a division by zero), and
    // the factor outgrows 32 bits below about -90 dB: 64 bits, within range.
    const double dAmplitude = LDBTablesClass::Amplitude(std::clamp(iLevel, -126, 127));
    return int64_t(8589934592.0 / (dAmplitude / 16777216.0 * 131072.0));
}

LSRCNoiseGates::LSRCNoiseGates(SourceHandle hUpstream, const Levels& levels)
    : LSRCFilterBase(std::move(hUpstream))
    , coefficients(BandCoefficients(GetSampleRate()))
    , iBlock(std::clamp(GetSampleRate() / 30, 20, 8192))
    , states(size_t(GetChannels()))
{
    for (size_t k = 0; k < 4; ++k)
        thresholds[k] = BandThreshold(levels[k]);
    // The bands add up to the input without its lowest part, which can
    // overshoot a step up to twice its height.
    SetPeak(ScaledPeak(GetPeak(), 2, 1));
    const size_t uSamples = size_t(iBlock) * size_t(GetChannels());
    input.resize(uSamples);
    for (auto& b : current.band)
        b.resize(uSamples);
    for (auto& b : next.band)
        b.resize(uSamples);
}

void LSRCNoiseGates::ReadBlock(Bands& bands)
{
    hSource->Read(input.data(), iBlock);
    const size_t uCh = states.size();
    const int64_t c1 = coefficients[0], c2 = coefficients[1], c3 = coefficients[2],
                  c4 = coefficients[3];
    for (size_t c = 0; c < uCh; ++c) {
        // 64-bit states: they settle near 256 times the signal's level.
        auto [z1, z2, z3, z4] = states[c];
        for (size_t i = c; i < input.size(); i += uCh) {
            int64_t x = int64_t(input[i]) - (z1 >> 8);
            z1 += x * c1;
            z2 += (x - (z2 >> 8)) * c2;
            const int64_t b1 = z2 >> 8;
            x -= b1;
            z3 += (x - (z3 >> 8)) * c3;
            const int64_t b2 = z3 >> 8;
            x -= b2;
            z4 += (x - (z4 >> 8)) * c4;
            const int64_t b3 = z4 >> 8;
            x -= b3;
            bands.band[0][i] = Clamp32(b1);
            bands.band[1][i] = Clamp32(b2);
            bands.band[2][i] = Clamp32(b3);
            bands.band[3][i] = Clamp32(x);
        }
        states[c] = { z1, z2, z3, z4 };
    }
}

void LSRCNoiseGates::SetTargets(const Bands& bands)
{
    std::array<int64_t, 4> p {};
    for (size_t k = 0; k < 4; ++k)
        for (int32_t s : bands.band[k])
            p[k] = std::max(p[k], std::abs(int64_t(s)));
    // Each band's peak less what its neighbours mask.
    const std::array<int64_t, 4> q = { p[0] - (p[1] >> 2), p[1] - ((p[2] >> 2) + (p[0] >> 4)),
        p[2] - ((p[1] >> 3) + (p[3] >> 4)), p[3] - (p[2] >> 3) };
    for (size_t k = 0; k < 4; ++k) {
        // 64-bit product: the thresholds of low levels pass 32 bits.
        const int64_t v = ((q[k] * thresholds[k]) >> 24) - 512;
        targets[k] = v < 0 ? 0 : v <= 2048 ? int32_t(v * 8192) : kUnity;
        const int32_t iDiff = targets[k] - gains[k];
        const int32_t iClosing = k == 0 ? 4 * iBlock : 2 * iBlock;
        steps[k] = iDiff / (iDiff > 0 ? iBlock : iClosing);
    }
}

void LSRCNoiseGates::Start()
{
    for (auto& s : states)
        s = {};
    ReadBlock(current);
    ReadBlock(next);
    SetTargets(next);
    // The gains begin at the second block's targets, without a ramp.
    gains = targets;
    steps = {};
    iIndex = 0;
    bStarted = true;
}

int32_t LSRCNoiseGates::ReadAudio(int32_t* pBuffer, int32_t iFrames)
{
    if (!bStarted)
        Start();
    const size_t uCh = states.size();
    for (int32_t iDone = 0; iDone < iFrames;) {
        if (iIndex == iBlock) {
            std::swap(current, next);
            ReadBlock(next);
            SetTargets(next);
            iIndex = 0;
        }
        const int32_t n = std::min(iBlock - iIndex, iFrames - iDone);
        const size_t uFrom = size_t(iIndex) * uCh;
        int32_t* pDst = pBuffer + size_t(iDone) * uCh;
        for (int32_t f = 0; f < n; ++f) {
            std::array<int32_t, 4> g;
            for (size_t k = 0; k < 4; ++k)
                g[k] = int32_t(uint32_t(gains[k]) + uint32_t(f) * uint32_t(steps[k]));
            for (size_t c = 0; c < uCh; ++c) {
                const size_t i = uFrom + size_t(f) * uCh + c;
                uint32_t u = 0;
                for (size_t k = 0; k < 4; ++k)
                    u += uint32_t(GainMultiply(current.band[k][i], g[k]));
                pDst[size_t(f) * uCh + c] = int32_t(u);
            }
        }
        for (size_t k = 0; k < 4; ++k)
            gains[k] = int32_t(uint32_t(gains[k]) + uint32_t(n) * uint32_t(steps[k]));
        iIndex += n;
        iDone += n;
    }
    return iFrames;
}

int32_t LSRCNoiseGates::GetPosition()
{
    if (!bStarted)
        return hSource->GetPosition();
    return hSource->GetPosition() - (2 * iBlock - iIndex);
}

void LSRCNoiseGates::Seek(int32_t iFrame)
{
    hSource->Seek(iFrame);
    bStarted = false;
}

SourceHandle OpenNoiseReduction(SourceHandle hUpstream, int iLevel)
{
    if (!hUpstream || hUpstream->IsError())
        return hUpstream;
    const int L = std::clamp(iLevel, -127, 127);
    auto Band = [](int i) { return std::clamp(i, -127, 127); };
    return MakeHandle<LSRCNoiseGates>(
        std::move(hUpstream), LSRCNoiseGates::Levels { Band(L + 3), L, Band(L - 3), L });
}
