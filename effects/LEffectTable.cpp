#include "effects/LEffectTable.h"

#include "audio/LSoundTime.h"
#include "edit/LSRCCutListAudio.h"
#include "effects/EfAutoTrim.h"
#include "effects/EfDCOffset.h"
#include "effects/EfFade.h"
#include "effects/EfMixPaste.h"
#include "effects/EfNormalize.h"
#include "effects/EfNormalizeLoudness.h"
#include "effects/EfReverse.h"
#include "effects/LCLAConvertRateChannels.h"
#include "effects/LDPAutoGain.h"
#include "effects/LEfChangeSpeedPitch.h"
#include "effects/LEfEnvelope.h"
#include "effects/LEfSoundProcess.h"
#include "effects/LSRCCompressor.h"
#include "effects/LSRCEcho.h"
#include "effects/LSRCEq.h"
#include "effects/LSRCLowCutFilter.h"
#include "effects/LSRCNoiseGates.h"
#include "effects/LSRCReverb.h"
#include "platform/LTrace.h"

#include <algorithm>
#include <climits>
#include <strings.h>

namespace {
using F = LValueField;

int Amplify(LProgressDialog&, LEffectRun& r)
{
    r.pDoc->EfAmplify(r.iStart, r.iEnd, r.values.Get("AmplifyGain"));
    return 0;
}

int Normalize(LProgressDialog& dlg, LEffectRun& r)
{
    EfNormalize data { r.pDoc, r.iEnd, r.iStart, r.values.Get("NormalizePeakLevel") };
    return ProcessBody(dlg, data);
}

int NormalizeLoudness(LProgressDialog& dlg, LEffectRun& r)
{
    EfNormalizeLoudness data { r.pDoc, r.iEnd, r.iStart, r.values.Get("NormalizeLoudness") };
    const int iResult = ProcessBody(dlg, data);
    r.strNote = data.strNote;
    return iResult;
}

template <EfFade::Kind eKind> int Fade(LProgressDialog& dlg, LEffectRun& r)
{
    EfFade data { r.pDoc, r.iEnd, r.iStart, eKind };
    return ProcessBody(dlg, data);
}

int Reverse(LProgressDialog& dlg, LEffectRun& r)
{
    EfReverse data { r.pDoc, r.iEnd, r.iStart };
    return ProcessBody(dlg, data);
}

int DCOffset(LProgressDialog& dlg, LEffectRun& r)
{
    EfDCOffset data { r.pDoc, r.iEnd, r.iStart };
    return ProcessBody(dlg, data);
}

int AutoTrim(LProgressDialog& dlg, LEffectRun& r)
{
    EfAutoTrim data { r.pDoc, EfAutoTrim::LoadThreshold() };
    return ProcessBody(dlg, data);
}

int InsertSilence(LProgressDialog&, LEffectRun& r)
{
    r.pDoc->EfInsertSilence(
        r.iStart, LSoundTime::MsToFrames(r.values.Get("SilenceTimes"), r.pDoc->GetSampleRate()));
    return 0;
}

int RepeatLoop(LProgressDialog&, LEffectRun& r)
{
    r.pDoc->EfRepeat(r.iStart, r.iEnd, r.values.Get("RepeatNumTimes"));
    return 0;
}

int ConvertRate(LProgressDialog& dlg, LEffectRun& r)
{
    LCLAConvertRateChannels data { r.pDoc, r.values.Get("SampleRate"), r.pDoc->GetChannels() };
    return ProcessBody(dlg, data);
}

// The speed and pitch modes: the value's key names the mode.
const char* const kSpeedKeys[3] = { "SpSpeedPitch", "ConstPitchSpeed", "ConstSpeedPitch" };

template <int iMode> int ChangeSpeed(LProgressDialog& dlg, LEffectRun& r)
{
    LEfChangeSpeedPitch data { r.pDoc, r.iEnd, r.iStart, r.values.Get(kSpeedKeys[iMode]), iMode,
        0 };
    int iResult = ProcessBody(dlg, data);
    if (iResult == 0)
        r.iNewEnd = data.iNewEnd;
    return iResult;
}

template <int iMode> FactoryHandle SpeedFactory(const LDialogValues& v)
{
    const int32_t iPercent = v.Get(kSpeedKeys[iMode]);
    return MakeFactory(
        [iPercent](SourceHandle h) { return OpenSpeedPitchSource(std::move(h), iPercent, iMode); });
}

FactoryHandle EchoFactory(const LDialogValues& v)
{
    const int32_t iMs = v.Get("EchoTime"), iGain = v.Get("EchoGain");
    return MakeFactory([=](SourceHandle h) {
        return SourceHandle(MakeHandle<LSRCEcho>(std::move(h), iMs, iGain));
    });
}

FactoryHandle ReverbFactory(const LDialogValues& v)
{
    const int32_t iLevel = v.Get("ReverbLevel"), iMs = v.Get("ReverbTime");
    return MakeFactory([=](SourceHandle h) {
        return SourceHandle(MakeHandle<LSRCReverb>(std::move(h), iLevel, iMs));
    });
}

FactoryHandle LowCutFactory(const LDialogValues& v)
{
    const int32_t iHz = v.Get("LowCutFreq");
    return MakeFactory([=](SourceHandle h) {
        return SourceHandle(MakeHandle<LSRCLowCutFilter>(std::move(h), iHz));
    });
}

FactoryHandle EqualizerFactory(const LDialogValues& v)
{
    const PointList curve = v.curve;
    return MakeFactory([curve](SourceHandle h) {
        const LEqGainTable table = EqGainTable(curve, h ? h->GetSampleRate() : 44100);
        return SourceHandle(MakeHandle<LSRCEq>(std::move(h), table));
    });
}

// The compressor's ratio index, -1 outside the list (such a command does
// nothing).
int RatioIndex(const LDialogValues& v)
{
    const int32_t i = v.Get("CompressorRatio");
    if (i >= 0 && size_t(i) < CompressorRatioList().size())
        return i;
    LTrace("CompressorRatio > sizeof(CompressorRatioList) / sizeof(CompressorRatioItem)");
    return -1;
}

FactoryHandle CompressorFactory(const LDialogValues& v)
{
    const int iRatio = RatioIndex(v);
    const int iThreshold = std::clamp(v.Get("CompressorThreshold"), -127, 127);
    return MakeFactory([=](SourceHandle h) {
        if (iRatio < 0)
            return h;
        // The limit is stored with the values but not applied: the
        // compressor runs without a limiting region.
        return SourceHandle(MakeHandle<LSRCCompressor>(
            std::move(h), iThreshold, CompressorRatioList()[size_t(iRatio)].dFactor, 45, 127));
    });
}

FactoryHandle NoiseReductionFactory(const LDialogValues& v)
{
    const int32_t iLevel = v.Get("NoiseGateLevel");
    return MakeFactory([=](SourceHandle h) { return OpenNoiseReduction(std::move(h), iLevel); });
}

int AutoGainControl(LProgressDialog& dlg, LEffectRun& r)
{
    EfAutoGainControl data { r.pDoc, r.iEnd, r.iStart };
    return ProcessBody(dlg, data);
}

int Envelope(LProgressDialog& dlg, LEffectRun& r)
{
    LEfEnvelope data { r.pDoc, r.iEnd, r.iStart, &r.values.curve };
    return ProcessBody(dlg, data);
}

// The range rendered through the effect's source in place of itself.
int RenderThroughFactory(LProgressDialog& dlg, LEffectRun& r)
{
    if (r.iEnd < r.iStart) {
        LTrace("Process(%s) Data.sEnd < Data.sStart", r.pEffect->szName);
        return 2;
    }
    if (r.iEnd == r.iStart)
        return 0;
    const FactoryHandle hFactory = r.pEffect->fnFactory(r.values);
    return EfRunRangeEffect(dlg, *r.pDoc, r.iStart, r.iEnd, r.pEffect->szRunText,
        [&hFactory](SourceHandle h) { return hFactory->Open(std::move(h)); });
}

int Compressor(LProgressDialog& dlg, LEffectRun& r)
{
    return RatioIndex(r.values) < 0 ? 0 : RenderThroughFactory(dlg, r);
}

LValueField SpeedField(int iMode, const char* szLabel, int32_t iDefault)
{
    return { kSpeedKeys[iMode], szLabel, INT32_MIN, 300, iDefault, "%",
        "Speed Change Percent must be less than 300." };
}

std::vector<std::pair<const char*, int32_t>> RatioChoices()
{
    std::vector<std::pair<const char*, int32_t>> choices;
    for (const CompressorRatioItem& item : CompressorRatioList())
        choices.emplace_back(item.szName, int32_t(choices.size()));
    return choices;
}

std::vector<LEffect> MakeEffects()
{
    const char* const kRateRefusal
        = "Sample rates must be between 6000 and 96000 samples per second.";
    return {
        { "Amplify", "Amplify",
            { { "AmplifyGain", "Amplify Gain (%):", INT32_MIN, 400, 100, "%",
                "Amplify Gain must be less than 400%. Please try again." } },
            Amplify, nullptr, true, 3 },
        { "Normalize", "Normalize",
            { { "NormalizePeakLevel", "Normalize Peak Level (%):", INT32_MIN, 100, 100, "%",
                "Normailze Peak Level must be less than 100%. Please try again." } },
            Normalize, nullptr, false, 4 },
        { "Normalize Loudness", "Normalize Loudness",
            { { "NormalizeLoudness", "Target Loudness (LUFS):", -40, -5, -16, "LUFS",
                "Target Loudness must be between -40 and -5 LUFS. Please try again." } },
            NormalizeLoudness },
        { "Equalizer", "Equalizer", {}, nullptr, EqualizerFactory, false, 6, "Equalizing",
            "equalizer.dat", LDialogValues::kFrequencyCurve },
        { "Envelope", "Envelope", {}, Envelope, nullptr, false, 9, nullptr, "envelope.dat",
            LDialogValues::kTimeCurve },
        { "Fade In", nullptr, {}, Fade<EfFade::FadeIn> },
        { "Fade Out", nullptr, {}, Fade<EfFade::FadeOut> },
        { "Fade Out and Trim", nullptr, {}, Fade<EfFade::FadeOutAndTrim> },
        { "Reverse", nullptr, {}, Reverse },
        { "DC Offset Correction", nullptr, {}, DCOffset },
        { "Auto Trim", nullptr, {}, AutoTrim, nullptr, false, 0 },
        { "Simple Speed and Pitch Change", "Simple Speed and Pitch Change",
            { SpeedField(0, "Speed/Pitch Adjust (%)", 100) }, ChangeSpeed<0>, SpeedFactory<0>,
            false, 12 },
        { "Constant Pitch and Speed Change", "Constant Pitch and Speed Change",
            { SpeedField(1, "Speed Adjust (%)", 100) }, ChangeSpeed<1>, SpeedFactory<1>, false,
            13 },
        { "Constant Speed and Pitch Change", "Constant Speed and Pitch Change",
            { SpeedField(2, "Pitch Adjust (%)", 0) }, ChangeSpeed<2>, SpeedFactory<2>, false, 14 },
        { "Echo", "Echo",
            { { "EchoTime", "Echo Time (ms) :", 10, 2999, 800, "ms",
                  "Echo time must be between 10 and 3000ms. Please try again." },
                { "EchoGain", "Echo Gain (%) :", 0, 99, 50, "%",
                    "Echo Gain must be less than 100%. Please try again." } },
            nullptr, EchoFactory, false, 7, "Echo" },
        { "Reverb", "Reverb",
            { { "ReverbLevel", "Reverb Level (0 - 100):", 0, 100, 100, "%",
                  "Reverb level must be less than 100. Please try again." },
                { "ReverbTime", "Reverb Time (50 - 1000 ms):", 50, 1000, 50, "ms",
                    "Reverb time must be between 50 and 1000. Please try again." } },
            nullptr, ReverbFactory, false, 8, "Reverb" },
        { "High-Pass Filter", "High-Pass Filter",
            { { "LowCutFreq", "Frequency (Hz) :", 0, INT32_MAX, 250, "Hz" } }, nullptr,
            LowCutFactory, false, 5, "Low Cut Filter" },
        { "Dynamic Range Compressor", "Dynamic Range Compressor",
            { { "CompressorThreshold", "Threshold:", -127, 127, 0, "dB", nullptr, "", F::Decibel },
                { "CompressorRatio", "Ratio:", 0, 6, 0, "", nullptr, "", F::Combo, RatioChoices() },
                { "CompressorLimit", "Limit:", -127, 127, 0, "dB", nullptr, "", F::Decibel } },
            Compressor, CompressorFactory, false, 15, "Dynamic Range Compressor" },
        { "Noise Reduction", "Noise Reduction",
            { { "NoiseGateLevel", "Noise Gate Level:", -40, 12, -30, "dB", nullptr, "",
                F::Decibel } },
            nullptr, NoiseReductionFactory, false, 11, "Noise Reduction" },
        { "Automatic Gain Control", nullptr, {}, AutoGainControl, nullptr, false, 10 },
        { "Insert Silence", "Insert Silence",
            { { "SilenceTimes", "Silence Time (ms):", 0, INT32_MAX, 0, "ms" } }, InsertSilence,
            nullptr, true },
        { "Repeat Loop", "Repeat Loop",
            { { "RepeatNumTimes", "Repeat number of times:", 0, INT32_MAX, 1, "times" } },
            RepeatLoop, nullptr, true },
        { "Mix", "Paste Mix",
            { { "PasteMixVolume", "Mix Volume (%)", INT32_MIN, 100, 100, "%",
                  "Mix Volume must be less than 100%. Please try again." },
                { "Pan", "Stereo Pan (L - R)", 0, 100, 50, "", nullptr, "", F::Slider, {},
                    F::kStereoOnly, false },
                { "LongerSelection", "If mix audio is longer than selection:", 0, 2,
                    MIXMODE_INSERTSILENCE, "", nullptr, "", F::Radio,
                    { { "Increase selection", MIXMODE_EXTENDSELECTION },
                        { "Insert silence", MIXMODE_INSERTSILENCE },
                        { "Fade out mix", MIXMODE_FADEMIXOUT } },
                    F::kSelectionOnly },
                { "FadeOutTime", "Fade out time:", 0, INT32_MAX, 250, "frames", nullptr, "",
                    F::Edit, {}, F::kSelectionOnly, true, "LongerSelection",
                    MIXMODE_FADEMIXOUT } } },
        { "Convert Sample Rate", "Convert Sample Rate",
            { { "SampleRate", "Sample Rate:", 6000, 96000, 44100, "Hz", kRateRefusal, "Error",
                F::Rate, {}, F::kAlways, false } },
            ConvertRate, nullptr, false, 16 },
    };
}
} // namespace

int ProcessBody(LProgressDialog& dlg, LEffectRun& run)
{
    if (!run.pEffect || !run.pDoc)
        return 2;
    run.iNewEnd = run.iEnd;
    if (run.pEffect->fnApply)
        return run.pEffect->fnApply(dlg, run);
    return run.pEffect->fnFactory ? RenderThroughFactory(dlg, run) : 2;
}

SourceHandle OpenEffectPreview(const LEffect& effect, const LCutListAudio& doc, int32_t iStart,
    int32_t iEnd, LDialogValues values)
{
    if (!effect.fnFactory)
        return SourceHandle();
    // A preview plays what the values would give once accepted: each is
    // held within its range instead of being refused.
    for (const LValueField& f : effect.form)
        if (values.Has(f.szKey))
            values.Set(f.szKey, std::clamp(values.Get(f.szKey), f.iMin, f.iMax));
    LCutListAudio range(doc.GetSampleRate(), doc.GetChannels());
    doc.EfCopy(std::max(iStart, 0), std::max(iEnd, iStart), range);
    return effect.fnFactory(values)->Open(MakeHandle<LSRCCutListAudio>(range));
}

PointList LoadCurve(const LEffect& effect)
{
    PointList list;
    if (effect.szCurveFile)
        list.Load(PointList::CurvePath(effect.szCurveFile));
    return list.nPoints > 0 ? list : PointList::Flat();
}

const std::vector<LEffect>& GetEffects()
{
    static const std::vector<LEffect> effects = MakeEffects();
    return effects;
}

const LEffect* FindEffect(const std::string& strName)
{
    for (const LEffect& e : GetEffects())
        if (strcasecmp(e.szName, strName.c_str()) == 0)
            return &e;
    return nullptr;
}
