// The editing commands of the main window: each stops playback, asks its
// dialog, takes an undo step, changes the cut list and sets the selection,
// position and playback afterwards.
#include "audio/LSoundTime.h"
#include "effects/EfAutoTrim.h"
#include "effects/EfDCOffset.h"
#include "effects/EfFade.h"
#include "effects/EfMixPaste.h"
#include "effects/EfNormalize.h"
#include "effects/EfPasteOver.h"
#include "effects/EfReverse.h"
#include "effects/LAmplifyValues.h"
#include "effects/LCLAConvertRateChannels.h"
#include "effects/LEfChangeSpeedPitch.h"
#include "effects/LSpeedPitchValues.h"
#include "effects/LInsertSilenceValues.h"
#include "effects/LMixValues.h"
#include "effects/LNormalizeValues.h"
#include "effects/LRepeatLoopValues.h"
#include "engine/MainDialog.h"
#include "engine/OVLoadFile.h"
#include "platform/LSettings.h"

#include <algorithm>

namespace {
enum { kAtStart, kAtPosition, kAtEnd };
}

template <class X>
void MainDialog::RunEffect(const std::string& strName, X& data)
{
    StartModifyCurrentFile(strName);
    if (RunOperation(strName, data) != 0)
        return;
    EndModifyCurrentFile(data.iStart, OneSecond() / 2);
}

bool MainDialog::ConvertToDocument(const std::string& strCaption, LCutListAudio& list)
{
    LCLAConvertRateChannels convert{&list, pCurrentFile->claAudio.GetSampleRate(),
                                    pCurrentFile->claAudio.GetChannels()};
    return RunOperation(strCaption, convert) == 0;
}

bool MainDialog::LoadTemporary(const std::string& strTitle, const char* szFolderSetting, LCutListAudio& list)
{
    LSettings& s = LSettings::Get();
    std::string strFolder = s.GetString("Settings", szFolderSetting);
    std::vector<std::string> files = ui.ChooseOpenFiles(strTitle, strFolder);
    if (files.empty())
        return false;
    s.SetString("Settings", szFolderSetting, strFolder);
    OVLoadFile load{files.front(), &list, true, &ui};
    Process<OVLoadFile> run("Loading Audio File Source", load);
    run.Run(this);
    if (run.GetResult() == 2)
        ui.ShowMessage("Unable to open the file \"" + files.front() + "\".", "Orvenna", LFilePrompts::Icon::Stop);
    return run.GetResult() == 0;
}

void MainDialog::CmCut()
{
    if (!pCurrentFile || !pCurrentFile->HasValidSelection())
        return;
    playback.Stop();
    LOVFile& doc = *pCurrentFile;
    StartModifyCurrentFile("Cut");
    int32_t iStart = doc.sSelStart;
    doc.claAudio.EfCut(iStart, doc.sSelEnd, claClipboard);
    doc.sSelEnd = iStart;
    EndModifyCurrentFile(iStart, OneSecond());
}

void MainDialog::CmCopy()
{
    if (!pCurrentFile || !pCurrentFile->HasValidSelection())
        return;
    playback.Stop();
    pCurrentFile->claAudio.EfCopy(pCurrentFile->sSelStart, pCurrentFile->sSelEnd, claClipboard);
    ui.EnableCommand(CM_PASTE, claClipboard.GetTotalLength() > 0);
    ui.EnableCommand(CM_PASTEMIX, claClipboard.GetTotalLength() > 0);
}

void MainDialog::CmPaste()
{
    if (!pCurrentFile)
        return;
    playback.Stop();
    LOVFile& doc = *pCurrentFile;
    StartModifyCurrentFile("Paste");
    LCutListAudio clip = claClipboard;
    if (!ConvertToDocument("Paste", clip))
        return;
    int32_t iStart = std::min(doc.sSelStart, doc.sSelEnd);
    doc.claAudio.EfReplace(iStart, std::max(doc.sSelStart, doc.sSelEnd), clip);
    doc.sSelStart = iStart;
    doc.sSelEnd = iStart + clip.GetTotalLength();
    EndModifyCurrentFile(iStart, OneSecond() / 2);
}

void MainDialog::CmDelete()
{
    if (!pCurrentFile || !pCurrentFile->HasValidSelection())
        return;
    playback.Stop();
    LOVFile& doc = *pCurrentFile;
    StartModifyCurrentFile("Delete");
    doc.claAudio.EfDelete(doc.sSelStart, doc.sSelEnd);
    doc.sSelEnd = doc.sSelStart;
    EndModifyCurrentFile(doc.sSelStart, OneSecond());
}

void MainDialog::CmSelectAll()
{
    if (!pCurrentFile)
        return;
    pCurrentFile->sSelStart = 0;
    pCurrentFile->sSelEnd = pCurrentFile->GetLength();
    SetZoomToFull();
    RefreshCurrent();
}

void MainDialog::CmRepeatLoop()
{
    if (!pCurrentFile || !pCurrentFile->HasValidSelection())
        return;
    playback.Stop();
    LRepeatLoopValues values;
    values.Load();
    LDialogValues v;
    v.Set("RepeatNumTimes", values.iTimes);
    if (!AskChecked("Repeat Loop", v, nullptr))
        return;
    values.iTimes = std::max(0, v.Get("RepeatNumTimes"));
    values.Store();
    LOVFile& doc = *pCurrentFile;
    StartModifyCurrentFile("Repeat Loop");
    doc.claAudio.EfRepeat(doc.sSelStart, doc.sSelEnd, values.iTimes);
    EndModifyCurrentFile(doc.sSelStart, OneSecond());
}

void MainDialog::CmTrim()
{
    if (!pCurrentFile || !pCurrentFile->HasValidSelection())
        return;
    playback.Stop();
    LOVFile& doc = *pCurrentFile;
    StartModifyCurrentFile("Trim");
    doc.claAudio.EfTrim(doc.sSelStart, doc.sSelEnd);
    doc.sSelStart = doc.sSelEnd = 0;
    SetZoomToFull();
    EndModifyCurrentFile(0, 0);
}

void MainDialog::CmTrimStart()
{
    if (!pCurrentFile)
        return;
    playback.Stop();
    LOVFile& doc = *pCurrentFile;
    StartModifyCurrentFile("Trim Start");
    int32_t iCut = std::clamp(doc.sSelStart, 0, doc.GetLength());
    doc.claAudio.EfDeleteBefore(iCut);
    // The selection keeps marking the same audio.
    doc.sSelStart -= iCut;
    doc.sSelEnd = std::max(doc.sSelStart, doc.sSelEnd - iCut);
    SetZoomToFull();
    EndModifyCurrentFile(0, 0);
}

void MainDialog::CmTrimEnd()
{
    if (!pCurrentFile)
        return;
    playback.Stop();
    LOVFile& doc = *pCurrentFile;
    StartModifyCurrentFile("Trim End");
    doc.claAudio.EfDeleteAfter(doc.sSelEnd);
    SetZoomToFull();
    EndModifyCurrentFile(0, 0);
}

void MainDialog::CmAutoTrim()
{
    if (!pCurrentFile)
        return;
    playback.Stop();
    StartModifyCurrentFile("Auto Trim");
    EfAutoTrim trim{&pCurrentFile->claAudio, EfAutoTrim::LoadThreshold()};
    RunOperation("Auto Trim", trim);
    LOVFile& doc = *pCurrentFile;
    doc.sSelStart = std::min(doc.sSelStart, doc.GetLength());
    doc.sSelEnd = std::clamp(doc.sSelEnd, doc.sSelStart, doc.GetLength());
    SetZoomToFull();
    EndModifyCurrentFile(0, 0);
}

void MainDialog::CmSilence()
{
    if (!pCurrentFile || !pCurrentFile->HasValidSelection())
        return;
    playback.Stop();
    LOVFile& doc = *pCurrentFile;
    StartModifyCurrentFile("Edit Silence");
    doc.claAudio.EfSilence(doc.sSelStart, doc.sSelEnd);
    EndModifyCurrentFile(doc.sSelStart, OneSecond());
}

void MainDialog::CmInsertSilenceBegin() { CmInsertSilence(kAtStart, "Insert Silence At The Start"); }
void MainDialog::CmInsertSilenceCurrent() { CmInsertSilence(kAtPosition, "Insert Silence At Current Position"); }
void MainDialog::CmInsertSilenceEnd() { CmInsertSilence(kAtEnd, "Insert Silence At The End"); }

void MainDialog::CmInsertSilence(int iWhere, const char* szName)
{
    if (!pCurrentFile)
        return;
    playback.Stop();
    LInsertSilenceValues values;
    values.Load();
    LDialogValues v;
    v.Set("SilenceTimes", values.iMs);
    if (!AskChecked("Insert Silence", v, nullptr))
        return;
    values.iMs = std::max(0, v.Get("SilenceTimes"));
    values.Store();
    LOVFile& doc = *pCurrentFile;
    StartModifyCurrentFile(szName);
    int32_t iAt = iWhere == kAtStart ? 0 : iWhere == kAtPosition ? doc.sPosition : doc.GetLength();
    doc.claAudio.EfInsertSilence(iAt, values.GetFrames(doc.claAudio.GetSampleRate()));
    EndModifyCurrentFile(doc.sSelStart, OneSecond());
}

void MainDialog::CmInsertFileBegin() { CmInsertFile(kAtStart, "Insert File At Beginning"); }
void MainDialog::CmInsertFileCurrent() { CmInsertFile(kAtPosition, "Insert File At Current Position"); }
void MainDialog::CmInsertFileEnd() { CmInsertFile(kAtEnd, "Insert File At The End"); }

void MainDialog::CmInsertFile(int iWhere, const char* szName)
{
    if (!pCurrentFile)
        return;
    playback.Stop();
    LCutListAudio file;
    if (!LoadTemporary("Insert File", "InsertFileDir", file))
        return;
    StartModifyCurrentFile(szName);
    if (!ConvertToDocument("Insert File", file))
        return;
    LOVFile& doc = *pCurrentFile;
    int32_t iAt = iWhere == kAtStart ? 0 : iWhere == kAtPosition ? doc.sPosition : doc.GetLength();
    doc.claAudio.EfInsert(iAt, file);
    EndModifyCurrentFile(doc.sSelStart, OneSecond());
}

void MainDialog::CmCopyToNew()
{
    if (!pCurrentFile || !pCurrentFile->HasValidSelection())
        return;
    playback.Stop();
    const LOVFile& src = *pCurrentFile;
    auto pDoc = std::make_unique<LOVFile>();
    pDoc->iUntitledIdx = GetUntitledIdx();
    pDoc->claAudio = src.claAudio;
    pDoc->claAudio.EfDeleteAfter(src.sSelEnd);
    pDoc->claAudio.EfDeleteBefore(src.sSelStart);
    pDoc->bDirty = 1;
    LOVFile& doc = AddDocument(std::move(pDoc));
    SetZoomToFull();
    DirtyApply();
    ui.DocumentChanged(doc);
}

void MainDialog::CmAmplify()
{
    if (!pCurrentFile || !pCurrentFile->HasValidSelection())
        return;
    playback.Stop();
    LAmplifyValues values;
    values.Load();
    LDialogValues v;
    v.Set("AmplifyGain", values.iGain);
    if (!AskChecked("Amplify", v, [](const LDialogValues& d) {
            return LAmplifyValues{d.Get("AmplifyGain")}.Validate();
        }))
        return;
    values.iGain = v.Get("AmplifyGain");
    values.Store();
    LOVFile& doc = *pCurrentFile;
    StartModifyCurrentFile("Amplify");
    doc.claAudio.EfAmplify(doc.sSelStart, doc.sSelEnd, values.iGain);
    EndModifyCurrentFile(doc.sSelStart, OneSecond());
}

void MainDialog::CmNormalize()
{
    if (!pCurrentFile || !pCurrentFile->HasValidSelection())
        return;
    playback.Stop();
    LNormalizeValues values;
    values.Load();
    LDialogValues v;
    v.Set("NormalizePeakLevel", values.iPeakLevel);
    if (!AskChecked("Normalize", v, [](const LDialogValues& d) {
            return LNormalizeValues{d.Get("NormalizePeakLevel")}.Validate();
        }))
        return;
    values.iPeakLevel = v.Get("NormalizePeakLevel");
    values.Store();
    LOVFile& doc = *pCurrentFile;
    EfNormalize data{&doc.claAudio, doc.sSelEnd, doc.sSelStart, values.iPeakLevel};
    RunEffect("Normalize", data);
}

void MainDialog::CmFadeIn() { CmFade(EfFade::FadeIn, "Fade In"); }
void MainDialog::CmFadeOut() { CmFade(EfFade::FadeOut, "Fade Out"); }
void MainDialog::CmFadeOutTrim() { CmFade(EfFade::FadeOutAndTrim, "Fade Out and Trim"); }

void MainDialog::CmFade(int iKind, const char* szName)
{
    if (!pCurrentFile || !pCurrentFile->HasValidSelection())
        return;
    playback.Stop();
    LOVFile& doc = *pCurrentFile;
    EfFade data{&doc.claAudio, doc.sSelEnd, doc.sSelStart, EfFade::Kind(iKind)};
    RunEffect(szName, data);
}

void MainDialog::CmReverse()
{
    if (!pCurrentFile || !pCurrentFile->HasValidSelection())
        return;
    playback.Stop();
    LOVFile& doc = *pCurrentFile;
    EfReverse data{&doc.claAudio, doc.sSelEnd, doc.sSelStart};
    RunEffect("Reverse", data);
}

void MainDialog::CmDCOffset()
{
    if (!pCurrentFile || !pCurrentFile->HasValidSelection())
        return;
    playback.Stop();
    LOVFile& doc = *pCurrentFile;
    EfDCOffset data{&doc.claAudio, doc.sSelEnd, doc.sSelStart};
    RunEffect("DC Offset Correction", data);
}

void MainDialog::CmPasteMix()
{
    if (!pCurrentFile)
        return;
    playback.Stop();
    StartModifyCurrentFile("Paste Mix");
    CmMix("Paste Mix", claClipboard);
}

void MainDialog::CmMixFile()
{
    if (!pCurrentFile)
        return;
    playback.Stop();
    LCutListAudio file;
    if (!LoadTemporary("Mix File", "InsertFileDir", file))
        return;
    StartModifyCurrentFile("Mix File");
    CmMix("Mix File", file);
}

void MainDialog::CmMix(const std::string& strName, const LCutListAudio& clip)
{
    LOVFile& doc = *pCurrentFile;
    LMixValues values;
    values.Load();
    values.PrepareDialog(doc.HasValidSelection());
    LDialogValues v;
    v.Set("PasteMixVolume", values.iVolume);
    v.Set("LongerSelection", values.iLongerSelection);
    v.Set("FadeOutTime", values.iFadeOutTime);
    v.Set("Pan", values.iPan);
    if (!AskChecked(strName, v, [](const LDialogValues& d) {
            return LMixValues{d.Get("PasteMixVolume"), 0, 0, 50}.Validate();
        }))
        return;
    values.iVolume = v.Get("PasteMixVolume");
    values.iLongerSelection = std::clamp(v.Get("LongerSelection"), 0, 2);
    values.iFadeOutTime = std::max(0, v.Get("FadeOutTime"));
    values.iPan = doc.claAudio.GetChannels() == 2 ? std::clamp(v.Get("Pan"), 0, 100) : 50;
    values.Store();
    int32_t iStart = std::min(doc.sSelStart, doc.sSelEnd);
    EfMixPaste data{&doc.claAudio, std::max(doc.sSelStart, doc.sSelEnd), iStart, &clip, values.iVolume,
                    values.iLongerSelection, values.iFadeOutTime, values.iPan};
    if (RunOperation(strName, data) != 0)
        return;
    // The mixed clip's duration at the document's rate.
    int64_t iClip = int64_t(clip.GetTotalLength()) * doc.claAudio.GetSampleRate() /
                    std::max(1, clip.GetSampleRate());
    doc.sSelStart = iStart;
    doc.sSelEnd = int32_t(std::min<int64_t>(iStart + iClip, doc.GetLength()));
    EndModifyCurrentFile(iStart, OneSecond() / 2);
}

void MainDialog::CmConvertRate()
{
    if (!pCurrentFile)
        return;
    playback.Stop();
    LOVFile& doc = *pCurrentFile;
    const int32_t iOld = doc.claAudio.GetSampleRate();
    LDialogValues v;
    v.Set("SampleRate", iOld);
    if (!AskChecked("Convert Sample Rate", v, [](const LDialogValues& d) {
            int32_t iRate = d.Get("SampleRate");
            return iRate < 6000 || iRate > 96000
                       ? LValueCheck{"Sample rates must be between 6000 and 96000 samples per second.", "Error"}
                       : LValueCheck{};
        }))
        return;
    const int32_t iNew = v.Get("SampleRate");
    if (iNew == iOld)
        return;
    StartModifyCurrentFile("Convert Sample Rate");
    int32_t iStartMs = LSoundTime::FramesToMs(doc.sSelStart, iOld), iEndMs = LSoundTime::FramesToMs(doc.sSelEnd, iOld);
    LCLAConvertRateChannels convert{&doc.claAudio, iNew, doc.claAudio.GetChannels()};
    if (RunOperation("Convert Sample Rate", convert) != 0)
        return;
    doc.sSelStart = std::min(LSoundTime::MsToFrames(iStartMs, iNew), doc.GetLength());
    doc.sSelEnd = std::min(LSoundTime::MsToFrames(iEndMs, iNew), doc.GetLength());
    SetZoomToFull();
    EndModifyCurrentFile(0, 0);
    ui.SetStatusField(0, std::to_string(iNew));
}

void MainDialog::CmConvertMono() { CmConvertChannels(1); }
void MainDialog::CmConvertStereo() { CmConvertChannels(2); }

void MainDialog::CmConvertChannels(int iChannels)
{
    if (!pCurrentFile)
        return;
    playback.Stop();
    LOVFile& doc = *pCurrentFile;
    if (doc.claAudio.GetChannels() == iChannels)
        return;
    StartModifyCurrentFile("Convert Channels");
    LCLAConvertRateChannels convert{&doc.claAudio, doc.claAudio.GetSampleRate(), iChannels};
    if (RunOperation("Convert Channels", convert) != 0)
        return;
    RefreshCurrent();
}

void MainDialog::CmSpeedPitch() { CmChangeSpeed(0); }
void MainDialog::CmPitchSpeed() { CmChangeSpeed(1); }
void MainDialog::CmSpeedConstPitch() { CmChangeSpeed(2); }

void MainDialog::CmChangeSpeed(int iMode)
{
    if (!pCurrentFile || !pCurrentFile->HasValidSelection())
        return;
    playback.Stop();
    LOVFile& doc = *pCurrentFile;
    const std::string strName = LSpeedPitchValues::ModeName(iMode);
    // The undo point comes before the dialog here.
    StartModifyCurrentFile(strName);
    LSpeedPitchValues values;
    values.Load();
    static const char* const aszNames[] = {"SpSpeedPitch", "ConstPitchSpeed", "ConstSpeedPitch"};
    LDialogValues v;
    v.Set(aszNames[iMode], values.Percent(iMode));
    if (!AskChecked(strName, v, [iMode](const LDialogValues& d) {
            LSpeedPitchValues check;
            check.Percent(iMode) = d.Get(aszNames[iMode]);
            return check.Validate(iMode);
        }))
        return;
    values.Percent(iMode) = v.Get(aszNames[iMode]);
    values.Store();
    LEfChangeSpeedPitch data{&doc.claAudio, doc.sSelEnd, doc.sSelStart, values.Percent(iMode), iMode, 0};
    if (RunOperation(strName, data) != 0)
        return;
    doc.sSelEnd = data.iNewEnd;
    EndModifyCurrentFile(doc.sSelStart, OneSecond() / 2);
}
