#include "engine/MainDialog.h"

#include "audio/LSoundTime.h"
#include "platform/LSettings.h"

#include <algorithm>

namespace {
LFilePrompts::Icon IconFor(const LValueCheck& check)
{
    return check.strTitle == "Error" ? LFilePrompts::Icon::Stop : LFilePrompts::Icon::Information;
}

bool AutoPlayback()
{
    return LSettings::Get().GetBool("Settings", "AutoPlaybackAfterEffects", true);
}
} // namespace

MainDialog::MainDialog(MainDialogUi& ui, LPlaybackControl& playback)
    : ui(ui)
    , playback(playback)
{
    commands.Register(FileCommands());
    commands.Register(EditCommands());
    commands.Register(EffectCommands());
    commands.Register(TransportCommands());
}

MainDialog::~MainDialog() = default;

LCommandState MainDialog::GetCommandState() const
{
    LCommandState s;
    const LOVFile* pDoc = pCurrentFile;
    s.bDocument = pDoc != nullptr;
    s.bSelection = pDoc && pDoc->HasValidSelection();
    s.bClipboard
        = LSoundTime::FramesToMs(claClipboard.GetTotalLength(), claClipboard.GetSampleRate()) != 0;
    s.bUndoable = pDoc && !pDoc->GetUndoName().empty();
    s.bDirty = pDoc && pDoc->bDirty;
    s.bStereo = pDoc && pDoc->claAudio.GetChannels() == 2;
    return s;
}

bool MainDialog::IsCommandEnabled(int iId) const
{
    const LCommand* p = commands.Find(iId);
    return p && p->fnRun && p->IsEnabled(GetCommandState());
}

bool MainDialog::EvCommand(int iId)
{
    const LCommand* p = commands.Find(iId);
    if (!p || !p->fnRun)
        return false;
    if (p->IsEnabled(GetCommandState())) {
        if (p->uFlags & kCmdStopsPlayback)
            playback.Stop();
        strRunning = p->szUndo ? p->szUndo : p->szName;
        bStepTaken = false;
        if (p->uFlags & kCmdUndoStep)
            TakeUndoStep();
        // The handler may register rows, which moves them: run a copy.
        std::function<void()> fnRun = p->fnRun;
        fnRun();
    }
    ui.EnablingChanged();
    return true;
}

void MainDialog::TakeUndoStep()
{
    StartModifyCurrentFile(strRunning);
    bStepTaken = true;
}

int32_t MainDialog::OneSecond() const
{
    return pCurrentFile ? pCurrentFile->claAudio.GetSampleRate() : 0;
}

bool MainDialog::AskChecked(const std::string& strTitle, LDialogValues& values,
    const std::function<LValueCheck(const LDialogValues&)>& fnCheck)
{
    for (;;) {
        if (!ui.AskDialog(strTitle, values))
            return false;
        LValueCheck check = fnCheck ? fnCheck(values) : LValueCheck {};
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
    Notify([&doc](LDocumentListener& l) { l.DocumentAdded(doc); });
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

void MainDialog::CloseDocument(LOVFile& doc)
{
    Notify([&doc](LDocumentListener& l) { l.DocumentClosing(doc); });
    ui.DocumentClosing(doc);
    lstFiles.remove_if([&doc](const std::unique_ptr<LOVFile>& p) { return p.get() == &doc; });
    Activate(lstFiles.empty() ? nullptr : lstFiles.front().get());
}

// ---- selection and undo ------------------------------------------------------

void MainDialog::StartModifyCurrentFile(const std::string& strName)
{
    pCurrentFile->TakeUndoStep(strName);
    LOVFile& doc = *pCurrentFile;
    Notify([&doc](LDocumentListener& l) { l.StepTaken(doc); });
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
    Notify([&doc](LDocumentListener& l) { l.DocumentEdited(doc); });
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
    auto Text = [iRate](int32_t iFrames) {
        return LSoundTime(LSoundTime::FramesToMs(iFrames, iRate)).GetMillisecondsText();
    };
    ui.SetStatusField(106, Text(doc.sSelStart));
    ui.SetStatusField(107, Text(doc.sSelEnd));
    ui.SetStatusField(108, Text(std::max(0, doc.sSelEnd - doc.sSelStart)));
    ui.SetStatusField(109, Text(doc.sPosition));
    ui.SelectionChanged(doc);
    bool bSelection = doc.HasValidSelection();
    if (bSelection != bHadSelection) {
        bHadSelection = bSelection;
        ui.EnablingChanged();
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
    if (!pCurrentFile || pCurrentFile->GetUndoName().empty())
        return;
    LOVFile& doc = *pCurrentFile;
    Notify([&doc](LDocumentListener& l) { l.UndoTaking(doc); });
    if (!doc.Undo())
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
    ui.EnablingChanged();
}

void MainDialog::DirtyApply()
{
    if (pCurrentFile)
        ui.EnablingChanged();
}
