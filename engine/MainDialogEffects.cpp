// The effects and conversions: each asks its values, takes its undo step,
// runs its operation and sets the selection, position and playback after it.
#include "audio/LSoundTime.h"
#include "edit/LSRCCutListAudio.h"
#include "effects/LCLAConvertRateChannels.h"
#include "effects/LEffectTable.h"
#include "effects/LStoredValues.h"
#include "engine/MainDialog.h"

#include <algorithm>

namespace {
constexpr unsigned kEffect = kCmdSelection | kCmdStopsPlayback; // the undo step follows the dialog
constexpr unsigned kRendered
    = kCmdSelection | kCmdStopsPlayback | kCmdUndoStep; // no dialog, or the step before it
constexpr unsigned kConversion = kCmdDocument | kCmdStopsPlayback;
} // namespace

std::vector<LCommand> MainDialog::EffectCommands()
{
    return {
        { CM_AMPLIFY, "Amplify", "Amplify...", nullptr,
            "Increases or decreases the volume of the selected region.", kEffect, "Amplify", 10,
            [this] { CmEffect("Amplify"); } },
        { CM_NORMALIZE, "Normalize", "Normalize...", nullptr,
            "Adjusts the volume to an optimal (normal) level.", kEffect, "Normalize", 11,
            [this] { CmEffect("Normalize"); } },
        { CM_NORMALIZELOUDNESS, "Normalize Loudness", "Normalize Loudness...", nullptr,
            "Sets the loudness (LUFS) as broadcasters measure it, the true peak kept at -1 dBTP.",
            kEffect, "Normalize Loudness", 0, [this] { CmEffect("Normalize Loudness"); } },
        { CM_EQUALIZER, "Equalizer", "Equalizer...", nullptr,
            "Changes the tone with graphic equaliser", kEffect, "Equalizer", 13,
            [this] { CmEffect("Equalizer"); } },
        { CM_ENVELOPE, "Envelope", "Envelope...", nullptr,
            "Adjusts the volume envelope over the selected region.", kEffect, "Envelope", 16,
            [this] { CmEffect("Envelope"); } },
        { CM_ECHO, "Echo", "Echo...", nullptr, "Adds echo to the selected region.", kEffect, "Echo",
            14, [this] { CmEffect("Echo"); } },
        { CM_REVERB, "Reverb", "Reverb...", nullptr, "Adds reverb to the selected region.", kEffect,
            "Reverb", 15, [this] { CmEffect("Reverb"); } },
        { CM_HIGHPASS, "High-Pass Filter", "High-Pass Filter...", nullptr,
            "Removes lower frequencies.", kEffect, "High-Pass Filter", 12,
            [this] { CmEffect("High-Pass Filter"); } },
        { CM_AGC, "Automatic Gain Control", "Automatic Gain Control", nullptr,
            "Increases soft regions and decreases loud regions for a perfect volume.", kRendered,
            "Automatic Gain Control", 17, [this] { CmEffect("Automatic Gain Control"); } },
        { CM_NOISEREDUCTION, "Noise Reduction", "Noise Reduction...", nullptr,
            "Reduces background noise.", kEffect, "Noise Reduction", 18,
            [this] { CmEffect("Noise Reduction"); } },
        { CM_COMPRESSOR, "Dynamic Range Compressor", "Dynamic Range Compressor...", nullptr,
            "Volume compression, limiting or noise gates.", kEffect, "Dynamic Range Compressor", 22,
            [this] { CmEffect("Dynamic Range Compressor"); } },
        { CM_FADEIN, "Fade In", "Fade In", nullptr, "Fades in over the selected region.", kRendered,
            "Fade In", 0, [this] { CmEffect("Fade In"); } },
        { CM_FADEOUT, "Fade Out", "Fade Out", nullptr, "Fades out over the selected region.",
            kRendered, "Fade Out", 0, [this] { CmEffect("Fade Out"); } },
        { CM_FADEOUTTRIM, "Fade Out and Trim", "Fade Out and Trim", nullptr,
            "Fades out over the selected region and deletes everything after the end position.",
            kRendered, "Fade Out and Trim", 0, [this] { CmEffect("Fade Out and Trim"); } },
        { CM_SPEEDPITCH, "Simple Speed and Pitch Change", "Simple Speed and Pitch Change...",
            nullptr, "Adjust speed and pitch.", kRendered, "Simple Speed and Pitch Change", 19,
            [this] { CmEffect("Simple Speed and Pitch Change"); } },
        { CM_PITCHSPEED, "Constant Pitch and Speed Change", "Constant Pitch and Speed Change...",
            nullptr, "Adjusts speed without changing pitch.", kRendered,
            "Constant Pitch and Speed Change", 20,
            [this] { CmEffect("Constant Pitch and Speed Change"); } },
        { CM_SPEEDCONSTPITCH, "Constant Speed and Pitch Change",
            "Constant Speed and Pitch Change...", nullptr,
            "Adjusts pitch without changing the speed.", kRendered,
            "Constant Speed and Pitch Change", 21,
            [this] { CmEffect("Constant Speed and Pitch Change"); } },
        { CM_DCOFFSET, "DC Offset Correction", "DC Offset Correction", nullptr,
            "Removes DC component to avoid clicks when editing.", kRendered, "DC Offset Correction",
            23, [this] { CmEffect("DC Offset Correction"); } },
        { CM_REVERSE, "Reverse", "Reverse", nullptr, "Reverses the selected region.", kRendered,
            "Reverse", 0, [this] { CmEffect("Reverse"); } },
        { CM_AUTOTRIM, "Auto Trim", "Auto Trim", nullptr, "Deletes silence from the start and end.",
            kConversion | kCmdUndoStep, "Auto Trim", 3, [this] { CmAutoTrim(); } },
        { CM_CONVERTRATE, "Convert Sample Rate", "Convert Sample Rate", nullptr,
            "Converts the sample rate of the current file.", kConversion, "Convert Sample Rate", 24,
            [this] { CmConvertRate(); } },
        { CM_CONVERTMONO, "Convert to Mono", "Mono", nullptr, "Converts current file to mono.",
            kConversion, "Convert Channels", 25, [this] { CmConvertChannels(1); } },
        { CM_FFT, "Frequency Analysis", "Frequency Analysis (FFT)", nullptr,
            "Views the spectrum content of an audio signal.", kCmdDocument, nullptr, 0,
            [this] { CmFrequencyAnalysis(); } },
        { CM_CONVERTSTEREO, "Convert to Stereo", "Stereo", nullptr,
            "Converts current file to stereo.", kConversion, "Convert Channels", 26,
            [this] { CmConvertChannels(2); } },
    };
}

bool MainDialog::AskValues(
    const LValueForm& form, const std::string& strTitle, LDialogValues& values)
{
    if (!AskChecked(strTitle, values,
            [&form](const LDialogValues& v) { return LStoredValues::Check(form, v); }))
        return false;
    LStoredValues::Clamp(form, values);
    LStoredValues::Store(form, values);
    return true;
}

bool MainDialog::AskEffectValues(const LEffect& effect, const LOVFile* pDoc, LDialogValues& values)
{
    values = LStoredValues::Load(effect.form);
    if (effect.fnFactory && pDoc)
        values.fnPreview = [&effect, pDoc](const LDialogValues& v) {
            return OpenEffectPreview(effect, pDoc->claAudio, pDoc->sSelStart, pDoc->sSelEnd, v);
        };
    if (effect.szCurveFile) {
        values.eCurve = effect.eCurve;
        values.curve = LoadCurve(effect);
    }
    if (effect.szDialog && !AskValues(effect.form, effect.szDialog, values))
        return false;
    if (effect.szCurveFile)
        values.curve.Save(PointList::CurvePath(effect.szCurveFile));
    return true;
}

void MainDialog::CmEffect(const char* szEffect, int32_t iAt)
{
    const LEffect& effect = *FindEffect(szEffect);
    LOVFile& doc = *pCurrentFile;
    LDialogValues values;
    if (!AskEffectValues(effect, &doc, values))
        return;
    if (!bStepTaken)
        TakeUndoStep();
    const bool bSelection = iAt < 0;
    LEffectRun run { &effect, &doc.claAudio, bSelection ? doc.sSelStart : iAt,
        bSelection ? doc.sSelEnd : iAt, values };
    if (RunOperation(RunningName(), run) != 0)
        return;
    if (bSelection)
        doc.sSelEnd = run.iNewEnd;
    EndModifyCurrentFile(doc.sSelStart, effect.bLongPreRoll ? OneSecond() : OneSecond() / 2);
    if (!run.strNote.empty())
        ui.ShowNote(effect.szName, run.strNote);
}

void MainDialog::CmFrequencyAnalysis()
{
    LOVFile& doc = *pCurrentFile;
    LSRCCutListAudio source(doc.claAudio);
    ui.ShowSpectrum(doc.claAudio.GetSampleRate(), LSpectrum::At(source, doc.sPosition));
}

void MainDialog::CmAutoTrim()
{
    LOVFile& doc = *pCurrentFile;
    LEffectRun run { FindEffect("Auto Trim"), &doc.claAudio, 0, doc.GetLength(), {} };
    RunOperation(RunningName(), run);
    doc.sSelStart = std::min(doc.sSelStart, doc.GetLength());
    doc.sSelEnd = std::clamp(doc.sSelEnd, doc.sSelStart, doc.GetLength());
    SetZoomToFull();
    EndModifyCurrentFile(0, 0);
}

void MainDialog::CmConvertRate()
{
    LOVFile& doc = *pCurrentFile;
    const LEffect& effect = *FindEffect("Convert Sample Rate");
    const int32_t iOld = doc.claAudio.GetSampleRate();
    LDialogValues values = LStoredValues::Load(effect.form);
    values.Set("SampleRate", iOld);
    if (!AskValues(effect.form, effect.szDialog, values))
        return;
    const int32_t iNew = values.Get("SampleRate");
    if (iNew == iOld)
        return;
    TakeUndoStep();
    int32_t iStartMs = LSoundTime::FramesToMs(doc.sSelStart, iOld),
            iEndMs = LSoundTime::FramesToMs(doc.sSelEnd, iOld);
    LEffectRun run { &effect, &doc.claAudio, 0, doc.GetLength(), values };
    if (RunOperation(RunningName(), run) != 0)
        return;
    doc.sSelStart = std::min(LSoundTime::MsToFrames(iStartMs, iNew), doc.GetLength());
    doc.sSelEnd = std::min(LSoundTime::MsToFrames(iEndMs, iNew), doc.GetLength());
    SetZoomToFull();
    EndModifyCurrentFile(0, 0);
    ui.SetStatusField(0, std::to_string(iNew));
}

void MainDialog::CmConvertChannels(int iChannels)
{
    LOVFile& doc = *pCurrentFile;
    if (doc.claAudio.GetChannels() == iChannels)
        return;
    TakeUndoStep();
    LCLAConvertRateChannels convert { &doc.claAudio, doc.claAudio.GetSampleRate(), iChannels };
    if (RunOperation(RunningName(), convert) != 0)
        return;
    RefreshCurrent();
}
