// The file commands: new, open, save, save as, close and close all, and
// loading a file as a document.
#include "effects/LStoredValues.h"
#include "engine/LOVSaveToSink.h"
#include "engine/MainDialog.h"
#include "engine/OVLoadFile.h"
#include "platform/LFile.h"
#include "platform/LSettings.h"

#include <strings.h>

namespace {
const char* const kProgram = "Orvenna";
const char* const kLoading = "Loading Audio File Source";

// The new file's rate and channels; they are settings of their own.
const LValueForm kNewFileForm = {
    { "SelectedSampleRate", "Sample Rate:", 6000, 96000, 44100, "Hz",
        "Sample rates must be between 6000 and 96000 samples per second.", "Error",
        LValueField::Rate, {}, LValueField::kAlways, false },
    { "SelectedChannels", "Channels", 1, 2, 1, "", nullptr, "", LValueField::Radio,
        { { "Mono (Single)", 1 }, { "Stereo (Dual)", 2 } }, LValueField::kAlways, false },
};
} // namespace

std::vector<LCommand> MainDialog::FileCommands()
{
    return {
        { CM_FILENEW, "New File", "&New File...\tCtrl+N", "Ctrl+N", "Creates a new audio file.",
            kCmdStopsPlayback, nullptr, 0, [this] { CmNew(); } },
        { CM_FILEOPEN, "Open File", "&Open File...\tCtrl+O", "Ctrl+O", "Opens an existing file.",
            kCmdStopsPlayback, nullptr, 0, [this] { CmOpen(); } },
        { CM_FILECLOSE, "Close File", "Close File", nullptr, "Closes the current file.",
            kCmdDocument | kCmdStopsPlayback, nullptr, 0, [this] { CmClose(); } },
        { CM_FILESAVE, "Save File", "&Save File\tCtrl+S", "Ctrl+S", "Saves the current file.",
            kCmdDirty, nullptr, 0, [this] { CmSave(*pCurrentFile); } },
        { CM_FILESAVEAS, "Save File As", "Save File &As...\tCtrl+S", nullptr,
            "Saves the current file with a new name or format.", kCmdDocument, nullptr, 0,
            [this] { CmSaveAs(*pCurrentFile); } },
        { CM_CLOSEALL, "Close All", "Close All", nullptr, "Closes all windows.",
            kCmdDocument | kCmdStopsPlayback, nullptr, 0, [this] { CmCloseAll(); } },
    };
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
        OVLoadFile load { strPath, &pDoc->claAudio, bPrompt, &ui };
        int iResult = RunOperation(kLoading, load);
        if (iResult != 0) {
            if (iResult == 2)
                ui.ShowMessage(load.strError.empty()
                        ? "Unable to open the file \"" + strPath + "\"."
                        : load.strError,
                    kProgram, LFilePrompts::Icon::Stop);
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
    const bool bPlay
        = !pDoc->szFilePath.empty() && LSettings::Get().GetBool("Settings", "PlayWhenOpen", true);
    LOVFile& doc = AddDocument(std::move(pDoc));
    if (!doc.szFilePath.empty())
        Notify([&doc](LDocumentListener& l) { l.DocumentLoaded(doc); });
    if (bPlay)
        playback.PlayCommand(doc, false);
    return true;
}

void MainDialog::CmNew()
{
    LSettings& s = LSettings::Get();
    int32_t iRate = s.GetInt("Settings", "DefaultSampleRate", 44100);
    int iChannels = s.GetInt("Settings", "DefaultChannels", 1);
    if (s.GetBool("Settings", "PromptSampleAndChannels", true)) {
        LDialogValues v = LStoredValues::Load(kNewFileForm);
        v.Set("SelectedSampleRate", s.GetInt("Settings", "SelectedSampleRate", 44100));
        v.Set("SelectedChannels", s.GetInt("Settings", "SelectedChannels", 1));
        if (!AskValues(kNewFileForm, "New File", v))
            return;
        iRate = v.Get("SelectedSampleRate");
        iChannels = v.Get("SelectedChannels") == 1 ? 1 : 2;
        s.SetInt("Settings", "SelectedSampleRate", iRate);
        s.SetInt("Settings", "SelectedChannels", iChannels);
    }
    NewDocument(iRate, iChannels);
}

LOVFile& MainDialog::NewDocument(int32_t iRate, int iChannels)
{
    auto pDoc = std::make_unique<LOVFile>();
    pDoc->claAudio.SetFormat(iRate, iChannels);
    pDoc->iUntitledIdx = GetUntitledIdx();
    return AddDocument(std::move(pDoc));
}

void MainDialog::CmOpen()
{
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
    switch (ui.AskYesNoCancel(
        "Save changes to \"" + doc.GetDisplayName() + "\"?", LFilePrompts::Icon::Question)) {
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

bool MainDialog::CmSave(LOVFile& doc, bool bFromSaveAs, const std::string& strOldName)
{
    if (doc.szFilePath.empty())
        return CmSaveAs(doc);
    std::string strExt = LFile::GetExtensionLower(doc.szFilePath);
    if (strExt == ".ra" || strExt == ".ram" || strExt == ".rm") {
        MainDialogUi::Answer a
            = ui.AskYesNoCancel("Saving in real audio file format is not supported. Do you want "
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
    const std::string strWas = strOldName.empty() ? doc.GetDisplayName() : strOldName;
    Notify([&doc, &strWas](LDocumentListener& l) { l.DocumentSaved(doc, strWas); });
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
    const std::string strOldName = doc.GetDisplayName();
    doc.szPrevFilePath = doc.szFilePath;
    doc.szFilePath = strPath;
    doc.bDirty = 0;
    bool bSaved = CmSave(doc, true, strOldName);
    if (!bSaved)
        doc.bDirty = bWasDirty; // still unsaved: closing must ask again
    DirtyApply();
    ui.DocumentChanged(doc);
    return bSaved;
}

void MainDialog::CmClose()
{
    if (!SaveChanges(*pCurrentFile))
        return;
    if (!pCurrentFile->szFilePath.empty())
        ui.AddRecentFile(pCurrentFile->szFilePath);
    CloseDocument(*pCurrentFile);
}

void MainDialog::CmCloseAll()
{
    while (!lstFiles.empty()) {
        LOVFile& doc = *lstFiles.front();
        if (!SaveChanges(doc))
            return;
        if (!doc.szFilePath.empty())
            ui.AddRecentFile(doc.szFilePath);
        CloseDocument(doc);
    }
    Notify([](LDocumentListener& l) { l.AllClosed(); });
}

bool MainDialog::CanClose()
{
    for (const auto& p : lstFiles) {
        if (!SaveChanges(*p))
            return false;
        if (!p->szFilePath.empty())
            ui.AddRecentFile(p->szFilePath);
    }
    for (LDocumentListener* p : listeners)
        if (!p->CanExit())
            return false;
    return true;
}
