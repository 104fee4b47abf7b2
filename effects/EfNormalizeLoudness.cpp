#include "effects/EfNormalizeLoudness.h"

#include "edit/LSRCCutListAudio.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {
constexpr double kPeakCeiling = -1.0; // dBTP
// The largest gain a cut of unity gain can take (just under 128 times).
constexpr double kMaxGain = 42.0; // dB
} // namespace

double NormalizeLoudnessGain(const LLoudness& measured, double dTarget, bool& bLimited)
{
    const double dWanted = dTarget - measured.dIntegrated;
    const double dGain = std::min({ dWanted, kPeakCeiling - measured.dTruePeak, kMaxGain });
    bLimited = dGain < dWanted - 0.005;
    return dGain;
}

int ProcessBody(LProgressDialog& dlg, EfNormalizeLoudness& data)
{
    if (!data.pDoc)
        return 2;
    if (data.iEnd <= data.iStart)
        return 0;
    dlg.SetText("Measuring loudness", 0);
    dlg.SetText("Please wait...", 1);
    LCutListAudio range(data.pDoc->GetSampleRate(), data.pDoc->GetChannels());
    data.pDoc->EfCopy(std::max(data.iStart, 0), data.iEnd, range);
    LSRCCutListAudio source(range);
    LLoudnessScan scan { &source };
    if (int i = ProcessBody(dlg, scan); i != 0)
        return i;
    data.before = scan.result;
    if (!data.before.IsMeasured()) {
        data.strNote = "Nothing was changed: the selection has " + data.before.Text() + ".";
        return 0;
    }
    bool bLimited = false;
    data.dGain = NormalizeLoudnessGain(data.before, data.iTarget, bLimited);
    const double dFactor = std::pow(10.0, data.dGain / 20) * LAudioCut::kUnityGain;
    data.pDoc->EfGain(data.iStart, data.iEnd, int32_t(std::lround(dFactor)));
    if (bLimited) {
        char sz[240];
        std::snprintf(sz, sizeof sz,
            "The target of %d LUFS was not reached: the gain was held to %+.1f dB, which makes "
            "%.1f LUFS (the true peak may not pass -1 dBTP, nor a gain +42 dB).",
            data.iTarget, data.dGain, data.before.dIntegrated + data.dGain);
        data.strNote = sz;
    }
    return 0;
}
