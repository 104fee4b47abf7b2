#include "effects/LLoudnessMeter.h"

#include <algorithm>
#include <cstdio>
#include <numbers>

namespace {
// Internal units per full scale (the 16-bit scale times 16).
constexpr double kScale = 1.0 / 524288.0;
constexpr double kAbsoluteGate = -70.0; // LUFS
constexpr double kBlockGate = -10.0; // LU below the blocks' mean
constexpr double kRangeGate = -20.0; // LU below the windows' mean

// The analog sections the published 48 kHz coefficients come from: a
// high shelf of +4 dB above about 1.7 kHz and a 38 Hz high pass, mapped to
// any rate by the bilinear transform with the corner prewarped.
constexpr double kShelfHz = 1681.974450955533;
constexpr double kShelfDb = 3.999843853973347;
constexpr double kShelfQ = 0.7071752369554196;
constexpr double kHighPassHz = 38.13547087602444;
constexpr double kHighPassQ = 0.5003270373238773;

double Loudness(double dMeanSquare)
{
    return dMeanSquare > 0 ? -0.691 + 10 * std::log10(dMeanSquare) : LLoudness::kNone;
}

// Mean square of the values whose loudness passes dGate.
double GatedMean(const std::vector<double>& meanSquares, double dGate)
{
    double dSum = 0;
    size_t n = 0;
    for (double d : meanSquares)
        if (Loudness(d) > dGate) {
            dSum += d;
            ++n;
        }
    return n ? dSum / double(n) : 0;
}

// Mean squares of the windows of iSteps consecutive steps, one per step.
std::vector<double> Windows(
    const std::vector<double>& steps, size_t iSteps, const std::vector<int64_t>& starts)
{
    std::vector<double> windows;
    if (steps.size() < iSteps)
        return windows;
    windows.reserve(steps.size() - iSteps + 1);
    double dSum = 0;
    for (size_t i = 0; i < steps.size(); ++i) {
        dSum += steps[i];
        if (i + 1 < iSteps)
            continue;
        windows.push_back(std::max(0.0, dSum) / double(starts[i + 1] - starts[i + 1 - iSteps]));
        dSum -= steps[i + 1 - iSteps];
    }
    return windows;
}

// The value at fraction dAt of sorted values, between neighbours.
double Percentile(const std::vector<double>& sorted, double dAt)
{
    const double dPos = dAt * double(sorted.size() - 1);
    const size_t i = size_t(dPos);
    const double dNext = i + 1 < sorted.size() ? sorted[i + 1] : sorted[i];
    return sorted[i] + (dNext - sorted[i]) * (dPos - double(i));
}

double Kaiser(double x, double dBeta)
{
    return std::cyl_bessel_i(0.0, dBeta * std::sqrt(std::max(0.0, 1 - x * x)))
        / std::cyl_bessel_i(0.0, dBeta);
}
} // namespace

std::string LLoudness::Text() const
{
    if (!IsMeasured())
        return "no integrated loudness (shorter than 0.4 s, or silence)";
    char sz[120];
    std::snprintf(sz, sizeof sz, "%.1f LUFS, range %.1f LU, true peak %.1f dBTP", dIntegrated,
        dRange, dTruePeak);
    return sz;
}

std::array<double, 10> LLoudnessMeter::KWeighting(int32_t iRate)
{
    const double kShelf = std::tan(std::numbers::pi * kShelfHz / iRate);
    const double dVh = std::pow(10.0, kShelfDb / 20), dVb = std::pow(dVh, 0.4996667741545416);
    const double a0 = 1 + kShelf / kShelfQ + kShelf * kShelf;
    const double kHp = std::tan(std::numbers::pi * kHighPassHz / iRate);
    const double h0 = 1 + kHp / kHighPassQ + kHp * kHp;
    return { (dVh + dVb * kShelf / kShelfQ + kShelf * kShelf) / a0,
        2 * (kShelf * kShelf - dVh) / a0, (dVh - dVb * kShelf / kShelfQ + kShelf * kShelf) / a0,
        2 * (kShelf * kShelf - 1) / a0, (1 - kShelf / kShelfQ + kShelf * kShelf) / a0, 1.0, -2.0,
        1.0, 2 * (kHp * kHp - 1) / h0, (1 - kHp / kHighPassQ + kHp * kHp) / h0 };
}

LLoudnessMeter::LLoudnessMeter(int32_t iSampleRate, int iCh)
    : iRate(std::max(iSampleRate, 10)) // every 100 ms step at least a frame
    , iChannels(std::max(iCh, 1))
    , k(KWeighting(iRate))
    , channels(size_t(iChannels))
    , iStepEnd(StepStart(1))
{
    // Windowed sinc through kTaps samples, each phase summing to 1 so a
    // constant passes unchanged; phase 0 is the sample itself. With 16 taps
    // and this window each phase is within 0.05 dB up to 0.4 of the rate.
    for (int p = 1; p < 4; ++p) {
        float fSum = 0, fMagnitude = 0;
        for (int j = 0; j < kTaps; ++j) {
            const double d = kHistory / 2 + p / 4.0 - j;
            const double dSinc = std::sin(std::numbers::pi * d) / (std::numbers::pi * d);
            aPhase[p - 1][j] = float(dSinc * Kaiser(d / (kTaps / 2), 5.0));
            fSum += aPhase[p - 1][j];
        }
        for (float& f : aPhase[p - 1])
            fMagnitude += std::fabs(f /= fSum);
        fPhaseGain = std::max(fPhaseGain, fMagnitude);
    }
    for (Channel& c : channels)
        c.trace.assign(size_t(kHistory + kBlockFrames), 0.0f);
}

int64_t LLoudnessMeter::StepStart(int64_t iStep) const
{
    return iStep * iRate / 10;
}

void LLoudnessMeter::Reserve(int64_t iFrames)
{
    steps.reserve(size_t(std::max<int64_t>(0, iFrames) * 10 / iRate + 2));
}

void LLoudnessMeter::Add(const int32_t* pFrames, int32_t iFrames)
{
    while (iFrames > 0) {
        const int32_t n = int32_t(std::min<int64_t>({ iFrames, kBlockFrames, iStepEnd - iFrame }));
        AddChunk(pFrames, n);
        pFrames += size_t(n) * size_t(iChannels);
        iFrames -= n;
        iFrame += n;
        if (iFrame == iStepEnd) {
            steps.push_back(dStep);
            dStep = 0;
            iStepEnd = StepStart(int64_t(steps.size()) + 1);
        }
    }
}

void LLoudnessMeter::AddChunk(const int32_t* pFrames, int32_t iFrames)
{
    for (int c = 0; c < iChannels; ++c) {
        Channel& ch = channels[size_t(c)];
        float* pTrace = ch.trace.data() + kHistory;
        double s0 = ch.s[0], s1 = ch.s[1], s2 = ch.s[2], s3 = ch.s[3], dSum = 0;
        float fMax = 0;
        const int32_t* p = pFrames + c;
        for (int32_t i = 0; i < iFrames; ++i, p += iChannels) {
            const double x = *p * kScale;
            pTrace[i] = float(x);
            fMax = std::max(fMax, std::fabs(pTrace[i]));
            // Transposed direct form II, one section after the other.
            const double y = k[0] * x + s0;
            s0 = k[1] * x - k[3] * y + s1;
            s1 = k[2] * x - k[4] * y;
            const double z = y + s2;
            s2 = -2 * y - k[8] * z + s3;
            s3 = y - k[9] * z;
            dSum += z * z;
        }
        ch.s[0] = s0, ch.s[1] = s1, ch.s[2] = s2, ch.s[3] = s3;
        dStep += dSum;
        fPeak = std::max(fPeak, fMax);
        // Only a chunk loud enough to beat the peak so far needs its
        // interpolated samples, which reach back into the history.
        for (int i = 0; i < kHistory; ++i)
            fMax = std::max(fMax, std::fabs(ch.trace[size_t(i)]));
        if (fMax * fPhaseGain > fPeak)
            fPeak = std::max(fPeak, TracePeak(ch.trace.data(), iFrames));
        std::copy(pTrace + iFrames - kHistory, pTrace + iFrames, ch.trace.data());
    }
}

float LLoudnessMeter::TracePeak(const float* pTrace, int32_t iFrames) const
{
    float fMax = 0;
    for (const float* h : aPhase)
        for (int32_t i = 0; i < iFrames; ++i) {
            float f = 0;
            for (int j = 0; j < kTaps; ++j)
                f += h[j] * pTrace[i + j];
            fMax = std::max(fMax, std::fabs(f));
        }
    return fMax;
}

LLoudness LLoudnessMeter::Result() const
{
    LLoudness r;
    // The last samples' interpolations reach into the silence after them.
    float fLast = fPeak;
    for (const Channel& ch : channels) {
        float aTail[2 * kTaps] = {};
        std::copy(ch.trace.begin(), ch.trace.begin() + kHistory, aTail);
        fLast = std::max(fLast, TracePeak(aTail, kTaps));
    }
    r.dTruePeak = fLast > 0 ? 20 * std::log10(double(fLast)) : LLoudness::kNone;

    std::vector<int64_t> starts(steps.size() + 1);
    for (size_t i = 0; i < starts.size(); ++i)
        starts[i] = StepStart(int64_t(i));
    const std::vector<double> blocks = Windows(steps, 4, starts);
    const double dBlockGate = Loudness(GatedMean(blocks, kAbsoluteGate)) + kBlockGate;
    r.dIntegrated = Loudness(GatedMean(blocks, std::max(kAbsoluteGate, dBlockGate)));

    const std::vector<double> windows = Windows(steps, 30, starts);
    const double dRangeGate
        = std::max(kAbsoluteGate, Loudness(GatedMean(windows, kAbsoluteGate)) + kRangeGate);
    std::vector<double> levels;
    for (double d : windows)
        if (Loudness(d) > dRangeGate)
            levels.push_back(Loudness(d));
    std::sort(levels.begin(), levels.end());
    if (levels.size() > 1)
        r.dRange = Percentile(levels, 0.95) - Percentile(levels, 0.10);
    return r;
}

int ProcessBody(LProgressDialog& dlg, LLoudnessScan& scan)
{
    if (!scan.pSource || scan.pSource->IsError())
        return 2;
    LSoundSourceBase& src = *scan.pSource;
    LLoudnessMeter meter(src.GetSampleRate(), src.GetChannels());
    const int32_t iEnd = src.GetLength();
    meter.Reserve(int64_t(iEnd) - src.GetPosition());
    std::vector<int32_t> block(size_t(src.GetChannels()) * kBlockFrames);
    const double dTotal = std::max(1, iEnd);
    while (src.GetPosition() < iEnd) {
        if (dlg.CheckCancel())
            return 1;
        const int32_t n = std::min(kBlockFrames, iEnd - src.GetPosition());
        src.Read(block.data(), n);
        meter.Add(block.data(), n);
        dlg.SetProgress(src.GetPosition() / dTotal);
    }
    scan.result = meter.Result();
    return 0;
}
