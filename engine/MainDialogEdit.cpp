// The editing commands: the clipboard, delete, trims, silence, insertions,
// repeat and the mixes. Each changes the cut list and sets the selection,
// position and playback afterwards.
#include "effects/EfMixPaste.h"
#include "effects/EfPasteOver.h"
#include "effects/LCLAConvertRateChannels.h"
#include "effects/LEffectTable.h"
#include "effects/LStoredValues.h"
#include "engine/MainDialog.h"
#include "engine/OVLoadFile.h"
#include "platform/LSettings.h"

#include <algorithm>

namespace {
enum { kAtStart, kAtPosition, kAtEnd };
constexpr unsigned kSelectionEdit = kCmdSelection | kCmdStopsPlayback | kCmdUndoStep;
constexpr unsigned kDocumentEdit = kCmdDocument | kCmdStopsPlayback | kCmdUndoStep;
constexpr unsigned kDialogEdit
    = kCmdDocument | kCmdStopsPlayback; // the undo step follows the dialog
} // namespace

std::vector<LCommand> MainDialog::EditCommands()
{
    return {
        { CM_UNDO, "Undo", "Undo \tCtrl+Z", "Ctrl+Z", "Reverses (undo) the last action.",
            kCmdUndoable | kCmdStopsPlayback, nullptr, 0, [this] { CmUndo(); } },
        { CM_CUT, "Cut", "Cut \tCtrl+X", "Ctrl+X",
            "Cuts the selection and keeps it on the Clipboard.", kSelectionEdit, "Cut", 0,
            [this] { CmCut(); } },
        { CM_COPY, "Copy", "Copy \tCtrl+C", "Ctrl+C", "Copies the selection to the Clipboard.",
            kCmdSelection | kCmdStopsPlayback, nullptr, 0, [this] { CmCopy(); } },
        { CM_PASTE, "Paste", "Paste \tCtrl+V", "Ctrl+V", "Inserts clipboard contents.",
            kDocumentEdit | kCmdClipboard, "Paste", 0, [this] { CmPaste(); } },
        { CM_PASTEMIX, "Paste Mix", "Paste Mix...", nullptr,
            "Mixes the clipboard contents over the current selected region.",
            kDocumentEdit | kCmdClipboard, "Paste Mix", 0, [this] { CmMix(claClipboard); } },
        { CM_DELETE, "Delete", "&Delete", "Delete", nullptr, kSelectionEdit, "Delete", 0,
            [this] { CmDelete(); } },
        { CM_SELECTALL, "Select All", "Select All\tCtrl+A", "Ctrl+A", "Selects the entire file.",
            kCmdDocument, nullptr, 1, [this] { CmSelectAll(); } },
        { CM_MIXFILE, "Mix File", "Mix File...", nullptr,
            "Mixes the current file with another file", kDialogEdit, "Mix File", 0,
            [this] { CmMixFile(); } },
        { CM_REPEATLOOP, "Repeat Loop", "Repeat Loop...", nullptr, "Repeats the selected region.",
            kCmdSelection | kCmdStopsPlayback, "Repeat Loop", 2,
            [this] { CmEffect("Repeat Loop"); } },
        { CM_TRIM, "Trim", "Trim\tCtrl+T", "Ctrl+T", "The selected region becomes the entire file.",
            kSelectionEdit, "Trim", 0, [this] { CmTrim(); } },
        { CM_TRIMSTART, "Trim Start", "Trim Start\tCtrl+M", "Ctrl+M",
            "Deletes everything before the current position.", kDocumentEdit, "Trim Start", 0,
            [this] { CmTrimStart(); } },
        { CM_TRIMEND, "Trim End", "Trim End\tCtrl+E", "Ctrl+E",
            "Deletes everything after the current position.", kDocumentEdit, "Trim End", 0,
            [this] { CmTrimEnd(); } },
        { CM_SILENCE, "Silence Select Region", "Silence Select Region", nullptr,
            "Silences the selected region.", kSelectionEdit, "Edit Silence", 0,
            [this] { CmSilence(); } },
        { CM_INSSILENCEBEGIN, "Insert Silence At The Start", "Begin", nullptr,
            "Inserts silence at the start.", kDialogEdit, "Insert Silence At The Start", 4,
            [this] { CmInsertSilence(kAtStart); } },
        { CM_INSSILENCECURRENT, "Insert Silence At Current Position", "Current", nullptr,
            "Inserts silence at the current position.", kDialogEdit,
            "Insert Silence At Current Position", 5, [this] { CmInsertSilence(kAtPosition); } },
        { CM_INSSILENCEEND, "Insert Silence At The End", "End", nullptr,
            "Inserts silence at the end.", kDialogEdit, "Insert Silence At The End", 6,
            [this] { CmInsertSilence(kAtEnd); } },
        { CM_INSFILEBEGIN, "Insert File At Beginning", "Begin", nullptr,
            "Inserts another file at the start.", kDialogEdit, "Insert File At Beginning", 7,
            [this] { CmInsertFile(kAtStart); } },
        { CM_INSFILECURRENT, "Insert File At Current Position", "Current", nullptr,
            "Inserts another file at the current position.", kDialogEdit,
            "Insert File At Current Position", 8, [this] { CmInsertFile(kAtPosition); } },
        { CM_INSFILEEND, "Insert File At The End", "End", nullptr,
            "Inserts another file at the end.", kDialogEdit, "Insert File At The End", 9,
            [this] { CmInsertFile(kAtEnd); } },
        { CM_COPYTONEW, "Copy To New", "Copy To New", nullptr,
            "Copies the selected region to a new file.", kCmdSelection | kCmdStopsPlayback, nullptr,
            0, [this] { CmCopyToNew(); } },
    };
}

bool MainDialog::ConvertToDocument(const std::string& strCaption, LCutListAudio& list)
{
    LCLAConvertRateChannels convert { &list, pCurrentFile->claAudio.GetSampleRate(),
        pCurrentFile->claAudio.GetChannels() };
    return RunOperation(strCaption, convert) == 0;
}

bool MainDialog::LoadTemporary(
    const std::string& strTitle, const char* szFolderSetting, LCutListAudio& list)
{
    LSettings& s = LSettings::Get();
    std::string strFolder = s.GetString("Settings", szFolderSetting);
    std::vector<std::string> files = ui.ChooseOpenFiles(strTitle, strFolder);
    if (files.empty())
        return false;
    s.SetString("Settings", szFolderSetting, strFolder);
    return LoadInto(files.front(), list);
}

bool MainDialog::LoadInto(const std::string& strPath, LCutListAudio& list)
{
    OVLoadFile load { strPath, &list, true, &ui };
    const int iResult = RunOperation("Loading Audio File Source", load);
    if (iResult == 2)
        ui.ShowMessage(
            load.strError.empty() ? "Unable to open the file \"" + strPath + "\"." : load.strError,
            "Orvenna", LFilePrompts::Icon::Stop);
    return iResult == 0;
}

void MainDialog::CmCut()
{
    LOVFile& doc = *pCurrentFile;
    int32_t iStart = doc.sSelStart;
    doc.claAudio.EfCut(iStart, doc.sSelEnd, claClipboard);
    doc.sSelEnd = iStart;
    EndModifyCurrentFile(iStart, OneSecond());
}

void MainDialog::CmCopy()
{
    pCurrentFile->claAudio.EfCopy(pCurrentFile->sSelStart, pCurrentFile->sSelEnd, claClipboard);
}

void MainDialog::CmPaste()
{
    LOVFile& doc = *pCurrentFile;
    const int32_t iStart = std::min(doc.sSelStart, doc.sSelEnd),
                  iEnd = std::max(doc.sSelStart, doc.sSelEnd);
    const int32_t iKept = doc.GetLength() - (iEnd - iStart);
    EfPasteOver paste { &doc.claAudio, iEnd, iStart, &claClipboard };
    if (RunOperation("Paste", paste) != 0)
        return;
    // The pasted clip is what the document grew by, at the document's rate.
    doc.sSelStart = iStart;
    doc.sSelEnd = iStart + (doc.GetLength() - iKept);
    EndModifyCurrentFile(iStart, OneSecond() / 2);
}

void MainDialog::CmDelete()
{
    LOVFile& doc = *pCurrentFile;
    doc.claAudio.EfDelete(doc.sSelStart, doc.sSelEnd);
    doc.sSelEnd = doc.sSelStart;
    EndModifyCurrentFile(doc.sSelStart, OneSecond());
}

void MainDialog::CmSelectAll()
{
    pCurrentFile->sSelStart = 0;
    pCurrentFile->sSelEnd = pCurrentFile->GetLength();
    SetZoomToFull();
    RefreshCurrent();
}

void MainDialog::CmTrim()
{
    LOVFile& doc = *pCurrentFile;
    doc.claAudio.EfTrim(doc.sSelStart, doc.sSelEnd);
    doc.sSelStart = doc.sSelEnd = 0;
    SetZoomToFull();
    EndModifyCurrentFile(0, 0);
}

void MainDialog::CmTrimStart()
{
    LOVFile& doc = *pCurrentFile;
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
    LOVFile& doc = *pCurrentFile;
    doc.claAudio.EfDeleteAfter(doc.sSelEnd);
    SetZoomToFull();
    EndModifyCurrentFile(0, 0);
}

void MainDialog::CmSilence()
{
    LOVFile& doc = *pCurrentFile;
    doc.claAudio.EfSilence(doc.sSelStart, doc.sSelEnd);
    EndModifyCurrentFile(doc.sSelStart, OneSecond());
}

void MainDialog::CmInsertSilence(int iWhere)
{
    const LOVFile& doc = *pCurrentFile;
    CmEffect("Insert Silence",
        iWhere == kAtStart          ? 0
            : iWhere == kAtPosition ? doc.sPosition
                                    : doc.GetLength());
}

void MainDialog::CmInsertFile(int iWhere)
{
    LCutListAudio file;
    if (!LoadTemporary("Insert File", "InsertFileDir", file))
        return;
    TakeUndoStep();
    if (!ConvertToDocument("Insert File", file))
        return;
    LOVFile& doc = *pCurrentFile;
    int32_t iAt = iWhere == kAtStart ? 0 : iWhere == kAtPosition ? doc.sPosition : doc.GetLength();
    doc.claAudio.EfInsert(iAt, file);
    EndModifyCurrentFile(doc.sSelStart, OneSecond());
}

void MainDialog::CmCopyToNew()
{
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

void MainDialog::CmMixFile()
{
    LCutListAudio file;
    if (!LoadTemporary("Mix File", "InsertFileDir", file))
        return;
    TakeUndoStep();
    CmMix(file);
}

void MainDialog::CmMix(const LCutListAudio& clip)
{
    LOVFile& doc = *pCurrentFile;
    const LValueForm& form = FindEffect("Mix")->form;
    LDialogValues values = LStoredValues::Load(form);
    // Without a selection the clip can only increase it.
    if (!doc.HasValidSelection())
        values.Set("LongerSelection", MIXMODE_EXTENDSELECTION);
    if (!AskValues(form, RunningName(), values))
        return;
    const int iPan = doc.claAudio.GetChannels() == 2 ? values.Get("Pan") : 50;
    int32_t iStart = std::min(doc.sSelStart, doc.sSelEnd);
    EfMixPaste data { &doc.claAudio, std::max(doc.sSelStart, doc.sSelEnd), iStart, &clip,
        values.Get("PasteMixVolume"), values.Get("LongerSelection"), values.Get("FadeOutTime"),
        iPan };
    if (RunOperation(RunningName(), data) != 0)
        return;
    // The mixed clip's duration at the document's rate.
    int64_t iClip = int64_t(clip.GetTotalLength()) * doc.claAudio.GetSampleRate()
        / std::max(1, clip.GetSampleRate());
    doc.sSelStart = iStart;
    doc.sSelEnd = int32_t(std::min<int64_t>(iStart + iClip, doc.GetLength()));
    EndModifyCurrentFile(iStart, OneSecond() / 2);
}
