#include "engine/MainDialog.h"
#include "audio/LSoundTime.h"
#include "effects/LCLAConvertRateChannels.h"
#include "engine/LOVSaveToSink.h"
#include "engine/OVLoadFile.h"
#include "platform/LFile.h"
#include "platform/LSettings.h"

#include <algorithm>
#include <strings.h>

namespace {
const char* const kProgram = "Orvenna";
const char* const kLoading = "Loading Audio File Source";
const char* const kRateMessage = "Sample rates must be between 6000 and 96000 samples per second.";

const LMainCommand aCommands[] = {
    {CM_FILENEW, "New File", false},
    {CM_FILEOPEN, "Open File", false},
    {CM_FILECLOSE, "Close File", false},
    {CM_FILESAVE, "Save File", false},
    {CM_FILESAVEAS, "Save File As", false},
    {CM_CONVERTRATE, "Convert Sample Rate", false},
    {CM_CONVERTMONO, "Convert to Mono", false},
    {CM_CONVERTSTEREO, "Convert to Stereo", false},
    {CM_UNDO, "Undo", false},
    {CM_CUT, "Cut", true},
    {CM_COPY, "Copy", true},
    {CM_PASTE, "Paste", false},
    {CM_PASTEMIX, "Paste Mix", false},
    {CM_DELETE, "Delete", true},
    {CM_SELECTALL, "Select All", false},
    {CM_MIXFILE, "Mix File", false},
    {CM_REPEATLOOP, "Repeat Loop", true},
    {CM_TRIM, "Trim", true},
    {CM_TRIMSTART, "Trim Start", false},
    {CM_TRIMEND, "Trim End", false},
    {CM_AUTOTRIM, "Auto Trim", false},
    {CM_SILENCE, "Silence Select Region", true},
    {CM_INSSILENCEBEGIN, "Insert Silence At The Start", false},
    {CM_INSSILENCECURRENT, "Insert Silence At Current Position", false},
    {CM_INSSILENCEEND, "Insert Silence At The End", false},
    {CM_INSFILEBEGIN, "Insert File At Beginning", false},
    {CM_INSFILECURRENT, "Insert File At Current Position", false},
    {CM_INSFILEEND, "Insert File At The End", false},
    {CM_COPYTONEW, "Copy To New", true},
    {CM_AMPLIFY, "Amplify", true},
    {CM_NORMALIZE, "Normalize", true},
    {CM_FADEIN, "Fade In", true},
    {CM_FADEOUT, "Fade Out", true},
    {CM_FADEOUTTRIM, "Fade Out and Trim", true},
    {CM_SPEEDPITCH, "Simple Speed and Pitch Change", true},
    {CM_PITCHSPEED, "Constant Pitch and Speed Change", true},
    {CM_SPEEDCONSTPITCH, "Constant Speed and Pitch Change", true},
    {CM_DCOFFSET, "DC Offset Correction", true},
    {CM_REVERSE, "Reverse", true},
    {CM_PLAY, "Play", false},
    {CM_PLAYSLOW, "Play Slow Speed", false},
    {CM_PLAYNORMAL, "Play Normal Speed", false},
    {CM_PLAYFAST, "Play Fast Speed", false},
    {CM_STOP, "Stop", false},
    {CM_GOTOSTART, "Go To Start", false},
    {CM_REWIND, "Rewind", false},
    {CM_FASTFORWARD, "Fast Forward", false},
    {CM_GOTOEND, "Go To End", false},
    {CM_CLOSEALL, "Close All", false},
};

LFilePrompts::Icon IconFor(const LValueCheck& check)
{
    return check.strTitle == "Error" ? LFilePrompts::Icon::Stop : LFilePrompts::Icon::Information;
}

LValueCheck CheckRate(const LDialogValues& v, const char* szName)
{
    int32_t iRate = v.Get(szName);
    if (iRate < 6000 || iRate > 96000)
        return {kRateMessage, "Error"};
    return {};
}

bool AutoPlayback() { return LSettings::Get().GetBool("Settings", "AutoPlaybackAfterEffects", true); }
} // namespace

const MainDialog::Entry MainDialog::aHandlers[] = {
    {CM_FILENEW, &MainDialog::CmNew},
    {CM_FILEOPEN, &MainDialog::CmOpen},
    {CM_FILECLOSE, &MainDialog::CmClose},
    {CM_FILESAVE, &MainDialog::CmSaveCurrent},
    {CM_FILESAVEAS, &MainDialog::CmSaveAsCurrent},
    {CM_CONVERTRATE, &MainDialog::CmConvertRate},
    {CM_CONVERTMONO, &MainDialog::CmConvertMono},
    {CM_CONVERTSTEREO, &MainDialog::CmConvertStereo},
    {CM_UNDO, &MainDialog::CmUndo},
    {CM_CUT, &MainDialog::CmCut},
    {CM_COPY, &MainDialog::CmCopy},
    {CM_PASTE, &MainDialog::CmPaste},
    {CM_PASTEMIX, &MainDialog::CmPasteMix},
    {CM_DELETE, &MainDialog::CmDelete},
    {CM_SELECTALL, &MainDialog::CmSelectAll},
    {CM_MIXFILE, &MainDialog::CmMixFile},
    {CM_REPEATLOOP, &MainDialog::CmRepeatLoop},
    {CM_TRIM, &MainDialog::CmTrim},
    {CM_TRIMSTART, &MainDialog::CmTrimStart},
    {CM_TRIMEND, &MainDialog::CmTrimEnd},
    {CM_AUTOTRIM, &MainDialog::CmAutoTrim},
    {CM_SILENCE, &MainDialog::CmSilence},
    {CM_INSSILENCEBEGIN, &MainDialog::CmInsertSilenceBegin},
    {CM_INSSILENCECURRENT, &MainDialog::CmInsertSilenceCurrent},
    {CM_INSSILENCEEND, &MainDialog::CmInsertSilenceEnd},
    {CM_INSFILEBEGIN, &MainDialog::CmInsertFileBegin},
    {CM_INSFILECURRENT, &MainDialog::CmInsertFileCurrent},
    {CM_INSFILEEND, &MainDialog::CmInsertFileEnd},
    {CM_COPYTONEW, &MainDialog::CmCopyToNew},
    {CM_AMPLIFY, &MainDialog::CmAmplify},
    {CM_NORMALIZE, &MainDialog::CmNormalize},
    {CM_FADEIN, &MainDialog::CmFadeIn},
    {CM_FADEOUT, &MainDialog::CmFadeOut},
    {CM_FADEOUTTRIM, &MainDialog::CmFadeOutTrim},
    {CM_SPEEDPITCH, &MainDialog::CmSpeedPitch},
    {CM_PITCHSPEED, &MainDialog::CmPitchSpeed},
    {CM_SPEEDCONSTPITCH, &MainDialog::CmSpeedConstPitch},
    {CM_DCOFFSET, &MainDialog::CmDCOffset},
    {CM_REVERSE, &MainDialog::CmReverse},
    {CM_PLAY, &MainDialog::CmPlay},
    {CM_PLAYSLOW, &MainDialog::CmPlaySlow},
    {CM_PLAYNORMAL, &MainDialog::CmPlayNormal},
    {CM_PLAYFAST, &MainDialog::CmPlayFast},
    {CM_STOP, &MainDialog::CmStop},
    {CM_GOTOSTART, &MainDialog::CmGoToStart},
    {CM_REWIND, &MainDialog::CmRewind},
    {CM_FASTFORWARD, &MainDialog::CmFastForward},
    {CM_GOTOEND, &MainDialog::CmGoToEnd},
    {CM_CLOSEALL, &MainDialog::CmCloseAll},
};

MainDialog::MainDialog(MainDialogUi& ui, LPlaybackControl& playback) : ui(ui), playback(playback) {}

MainDialog::~MainDialog() = default;

const LMainCommand* MainDialog::FindCommand(const std::string& strName)
{
    for (const LMainCommand& c : aCommands)
        if (strcasecmp(c.szName, strName.c_str()) == 0)
            return &c;
    return nullptr;
}

const LMainCommand* MainDialog::FindCommand(int iId)
{
    for (const LMainCommand& c : aCommands)
        if (c.iId == iId)
            return &c;
    return nullptr;
}

bool MainDialog::IsCommandEnabled(int iId) const
{
    const LMainCommand* pCommand = FindCommand(iId);
    if (!pCommand)
        return false;
    if (iId == CM_FILENEW || iId == CM_FILEOPEN)
        return true;
    if (!pCurrentFile)
        return false;
    if (iId == CM_UNDO)
        return !pCurrentFile->GetUndoName().empty();
    if (iId == CM_PASTE || iId == CM_PASTEMIX)
        return claClipboard.GetTotalLength() > 0;
    return !pCommand->bNeedsSelection || pCurrentFile->HasValidSelection();
}

bool MainDialog::EvCommand(int iId)
{
    for (const Entry& e : aHandlers) {
        if (e.iId == iId) {
            (this->*e.handler)();
            return true;
        }
    }
    return false;
}

int32_t MainDialog::OneSecond() const { return pCurrentFile ? pCurrentFile->claAudio.GetSampleRate() : 0; }

bool MainDialog::AskChecked(const std::string& strTitle, LDialogValues& values,
                            const std::function<LValueCheck(const LDialogValues&)>& fnCheck)
{
    for (;;) {
        if (!ui.AskDialog(strTitle, values))
            return false;
        LValueCheck check = fnCheck ? fnCheck(values) : LValueCheck{};
        if (check.IsValid())
            return true;
        ui.ShowMessage(check.strText, check.strTitle, IconFor(check));
    }
}

// ---- documents -------------------------------------------------------------

LOVFile& MainDialog::AddDocument(std::unique_ptr<LOVFile> pDoc)
{
    LOVFile& doc = *pDoc;
    lstFiles.push_back(std::move(pDoc));
    ui.DocumentOpened(doc);
    Activate(&doc);
    return doc;
}

void MainDialog::Activate(LOVFile* pDoc)
{
    pCurrentFile = pDoc;
    ui.CurrentChanged(pDoc);
    if (pDoc) {
        UpdateUndoMenuItem();
        DirtyApply();
        ApplySelection();
    }
}

int MainDialog::GetUntitledIdx() const
{
    for (int i = 1; i <= 19; ++i) {
        bool bUsed = std::any_of(lstFiles.begin(), lstFiles.end(),
                                 [i](const std::unique_ptr<LOVFile>& p) { return p->iUntitledIdx == i; });
        if (!bUsed)
            return i;
    }
    return 1;
}

bool MainDialog::LoadFile(const std::string& strPath, bool bOpenAsNew, bool bPrompt)
{
    for (const auto& p : lstFiles) {
        if (!strPath.empty() && strcasecmp(p->szFilePath.c_str(), strPath.c_str()) == 0) {
            Activate(p.get());
            return true;
        }
    }
    auto pDoc = std::make_unique<LOVFile>();
    if (strPath.empty()) {
        pDoc->iUntitledIdx = GetUntitledIdx();
    } else {
        OVLoadFile load{strPath, &pDoc->claAudio, bPrompt, &ui};
        int iResult = RunOperation(kLoading, load);
        if (iResult != 0) {
            if (iResult == 2) {
                std::string strWhy = load.strError.empty() ? "" : ": " + load.strError;
                ui.ShowMessage("Unable to open the file \"" + strPath + "\"" + strWhy + ".",
                               kProgram, LFilePrompts::Icon::Stop);
            }
            return false;
        }
        pDoc->szFilePath = strPath;
    }
    if (bOpenAsNew) {
        pDoc->szFilePath.clear();
        pDoc->bDirty = 1;
        pDoc->iUntitledIdx = GetUntitledIdx();
    }
    pDoc->sViewEnd = pDoc->GetLength();
    AddDocument(std::move(pDoc));
    return true;
}

void MainDialog::CmNew()
{
    playback.Stop();
    LSettings& s = LSettings::Get();
    int32_t iRate = s.GetInt("Settings", "DefaultSampleRate", 44100);
    int iChannels = s.GetInt("Settings", "DefaultChannels", 1);
    if (s.GetBool("Settings", "PromptSampleAndChannels", true)) {
        LDialogValues v;
        v.Set("SelectedSampleRate", s.GetInt("Settings", "SelectedSampleRate", 44100));
        v.Set("SelectedChannels", s.GetInt("Settings", "SelectedChannels", 1));
        if (!AskChecked("New File", v, [](const LDialogValues& d) { return CheckRate(d, "SelectedSampleRate"); }))
            return;
        iRate = v.Get("SelectedSampleRate");
        iChannels = v.Get("SelectedChannels") == 1 ? 1 : 2;
        s.SetInt("Settings", "SelectedSampleRate", iRate);
        s.SetInt("Settings", "SelectedChannels", iChannels);
    }
    auto pDoc = std::make_unique<LOVFile>();
    pDoc->claAudio.SetFormat(iRate, iChannels);
    pDoc->iUntitledIdx = GetUntitledIdx();
    AddDocument(std::move(pDoc));
}

void MainDialog::CmOpen()
{
    playback.Stop();
    LSettings& s = LSettings::Get();
    std::string strFolder = s.GetString("Settings", "OpenFileDir");
    std::vector<std::string> files = ui.ChooseOpenFiles("Open Audio Files", strFolder);
    if (files.empty())
        return;
    s.SetString("Settings", "OpenFileDir", strFolder);
    bool bPrompt = true;
    for (const std::string& strPath : files)
        if (LoadFile(strPath, false, bPrompt))
            bPrompt = false;
}

bool MainDialog::SaveChanges(LOVFile& doc)
{
    if (!doc.bDirty)
        return true;
    switch (ui.AskYesNoCancel("Save changes to \"" + doc.GetDisplayName() + "\"?", LFilePrompts::Icon::Question)) {
    case MainDialogUi::Answer::Cancel:
        return false;
    case MainDialogUi::Answer::No:
        return true;
    case MainDialogUi::Answer::Yes:
        break;
    }
    // A save that fails or is cancelled keeps the document open.
    return doc.szFilePath.empty() ? CmSaveAs(doc) : CmSave(doc);
}

bool MainDialog::CmSave(LOVFile& doc, bool bFromSaveAs)
{
    if (doc.szFilePath.empty())
        return CmSaveAs(doc);
    std::string strExt = LFile::GetExtensionLower(doc.szFilePath);
    if (strExt == ".ra" || strExt == ".ram" || strExt == ".rm") {
        MainDialogUi::Answer a = ui.AskYesNoCancel("Saving in real audio file format is not supported. Do you want "
                                                   "to save in another format (wav, mp3, gsm, vox) instead?",
                                                   LFilePrompts::Icon::Question);
        return a == MainDialogUi::Answer::Yes && CmSaveAs(doc);
    }
    LOVSaveToSink save;
    save.pSource = &doc.claAudio;
    save.strPath = doc.szFilePath;
    save.uPromptMode = bFromSaveAs ? LOVSaveToSink::kAsk : LOVSaveToSink::kPcmWithoutAsking;
    save.pPrompts = &ui;
    if (RunOperation("Saving...", save) != 0) {
        doc.szFilePath = doc.szPrevFilePath;
        ui.DocumentChanged(doc);
        return false;
    }
    doc.bDirty = 0;
    DirtyApply();
    ui.DocumentChanged(doc);
    return true;
}

bool MainDialog::CmSaveAs(LOVFile& doc)
{
    playback.Stop();
    LSettings& s = LSettings::Get();
    std::string strFolder = s.GetString("Settings", "SaveAsDir");
    std::string strPath;
    for (;;) {
        strPath = ui.ChooseSaveFile("Save File As", strFolder);
        if (strPath.empty())
            return false;
        if (!LFile::Exists(strPath))
            break;
        MainDialogUi::Answer a = ui.AskYesNoCancel(
            "Another file with the same name already exists. Do you want to replace it?",
            LFilePrompts::Icon::Exclamation);
        if (a == MainDialogUi::Answer::Cancel)
            return false;
        if (a == MainDialogUi::Answer::Yes)
            break;
    }
    s.SetString("Settings", "SaveAsDir", strFolder);
    const uint8_t bWasDirty = doc.bDirty;
    doc.szPrevFilePath = doc.szFilePath;
    doc.szFilePath = strPath;
    doc.bDirty = 0;
    bool bSaved = CmSave(doc, true);
    if (!bSaved)
        doc.bDirty = bWasDirty; // still unsaved: closing must ask again
    DirtyApply();
    ui.DocumentChanged(doc);
    return bSaved;
}

void MainDialog::CmSaveCurrent()
{
    if (pCurrentFile)
        CmSave(*pCurrentFile);
}

void MainDialog::CmSaveAsCurrent()
{
    if (pCurrentFile)
        CmSaveAs(*pCurrentFile);
}

void MainDialog::CloseDocument(LOVFile& doc)
{
    ui.DocumentClosing(doc);
    lstFiles.remove_if([&doc](const std::unique_ptr<LOVFile>& p) { return p.get() == &doc; });
    Activate(lstFiles.empty() ? nullptr : lstFiles.front().get());
}

void MainDialog::CmClose()
{
    playback.Stop();
    if (!pCurrentFile || !SaveChanges(*pCurrentFile))
        return;
    if (!pCurrentFile->szFilePath.empty())
        ui.AddRecentFile(pCurrentFile->szFilePath);
    CloseDocument(*pCurrentFile);
}

void MainDialog::CmCloseAll()
{
    playback.Stop();
    while (!lstFiles.empty()) {
        LOVFile& doc = *lstFiles.front();
        if (!SaveChanges(doc))
            return;
        if (!doc.szFilePath.empty())
            ui.AddRecentFile(doc.szFilePath);
        CloseDocument(doc);
    }
}

bool MainDialog::CanClose()
{
    for (const auto& p : lstFiles) {
        if (!SaveChanges(*p))
            return false;
        if (!p->szFilePath.empty())
            ui.AddRecentFile(p->szFilePath);
    }
    return true;
}

// ---- selection and undo ------------------------------------------------------

void MainDialog::StartModifyCurrentFile(const std::string& strName)
{
    pCurrentFile->TakeUndoStep(strName);
    DirtyApply();
    UpdateUndoMenuItem();
}

void MainDialog::EndModifyCurrentFile(int32_t iPosition, int32_t iPreRoll)
{
    LOVFile& doc = *pCurrentFile;
    doc.sPosition = iPosition;
    RefreshCurrent();
    if (AutoPlayback()) {
        doc.sPosition = std::max(0, iPosition - iPreRoll);
        playback.Play(doc, doc.sPosition);
    }
}

void MainDialog::RefreshCurrent()
{
    LOVFile& doc = *pCurrentFile;
    int32_t iLength = doc.GetLength();
    doc.sViewEnd = std::min(doc.sViewEnd, iLength);
    doc.sViewStart = std::clamp(doc.sViewStart, 0, doc.sViewEnd);
    if (doc.sViewEnd <= doc.sViewStart)
        SetZoomToFull();
    ui.DocumentChanged(doc);
    ApplySelection();
}

void MainDialog::ModifySelection(int32_t iStart, int32_t iEnd, int32_t iPosition)
{
    if (!pCurrentFile)
        return;
    pCurrentFile->sSelStart = iStart;
    pCurrentFile->sSelEnd = iEnd;
    pCurrentFile->sPosition = iPosition;
    ApplySelection();
}

void MainDialog::ApplySelection()
{
    if (!pCurrentFile)
        return;
    LOVFile& doc = *pCurrentFile;
    const int32_t iRate = doc.claAudio.GetSampleRate();
    auto Text = [iRate](int32_t iFrames) { return LSoundTime(LSoundTime::FramesToMs(iFrames, iRate)).GetMillisecondsText(); };
    ui.SetStatusField(106, Text(doc.sSelStart));
    ui.SetStatusField(107, Text(doc.sSelEnd));
    ui.SetStatusField(108, Text(std::max(0, doc.sSelEnd - doc.sSelStart)));
    ui.SetStatusField(109, Text(doc.sPosition));
    ui.SelectionChanged(doc);
    bool bSelection = doc.HasValidSelection();
    if (bSelection != bHadSelection) {
        bHadSelection = bSelection;
        for (const LMainCommand& c : aCommands)
            if (c.bNeedsSelection)
                ui.EnableCommand(c.iId, bSelection);
    }
}

void MainDialog::SetZoomToFull()
{
    if (!pCurrentFile)
        return;
    pCurrentFile->sViewStart = 0;
    pCurrentFile->sViewEnd = pCurrentFile->GetLength();
}

void MainDialog::CmUndo()
{
    playback.Stop();
    if (!pCurrentFile || !pCurrentFile->Undo())
        return;
    UpdateUndoMenuItem();
    DirtyApply();
    RefreshCurrent();
}

void MainDialog::UpdateUndoMenuItem()
{
    if (!pCurrentFile)
        return;
    const std::string& strName = pCurrentFile->GetUndoName();
    ui.SetMenuItem(CM_UNDO, "Undo " + strName + "\tCtrl+Z", !strName.empty());
    ui.EnableCommand(CM_UNDO, !strName.empty());
}

void MainDialog::DirtyApply()
{
    if (pCurrentFile)
        ui.EnableCommand(CM_FILESAVE, pCurrentFile->bDirty != 0);
}

// ---- transport -----------------------------------------------------------------

void MainDialog::CmPlay()
{
    if (pCurrentFile)
        playback.PlayCommand(*pCurrentFile, false);
}

void MainDialog::CmPlaySlow() { playback.SetSpeed(LPlaybackControl::kSlow); }
void MainDialog::CmPlayNormal() { playback.SetSpeed(LPlaybackControl::kNormal); }
void MainDialog::CmPlayFast() { playback.SetSpeed(LPlaybackControl::kFast); }

void MainDialog::CmStop() { playback.Stop(); }

void MainDialog::CmScrub()
{
    if (pCurrentFile)
        playback.Scrub(*pCurrentFile);
}

void MainDialog::CmGoToStart()
{
    if (!pCurrentFile)
        return;
    playback.GoToStart(*pCurrentFile);
    ApplySelection();
}

void MainDialog::CmGoToEnd()
{
    if (!pCurrentFile)
        return;
    playback.GoToEnd(*pCurrentFile);
    ApplySelection();
}

// From the menu a scan is a press and release at once.
void MainDialog::CmRewind()
{
    ScanPressed(false);
    ScanReleased();
}

void MainDialog::CmFastForward()
{
    ScanPressed(true);
    ScanReleased();
}

void MainDialog::ScanPressed(bool bForward)
{
    if (pCurrentFile)
        playback.StartScan(*pCurrentFile, bForward);
}

void MainDialog::ScanReleased()
{
    if (pCurrentFile)
        playback.EndScan(*pCurrentFile);
}
