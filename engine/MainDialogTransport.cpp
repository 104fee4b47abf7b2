// The transport commands: play, the speeds, stop, the moves and the scans.
#include "engine/LOVRecordInfo.h"
#include "engine/MainDialog.h"

#include <algorithm>

std::vector<LCommand> MainDialog::TransportCommands()
{
    using P = LPlaybackControl;
    return {
        { CM_RECORD, "Record", "&Record\tF5", "F5",
            "Records at the current position (or over selection).", kCmdStopsPlayback, "Record", 0,
            [this] { CmRecord(); } },
        { CM_PLAY, "Play", "&Play\tF9", "F9", "Plays the current file from the current position.",
            kCmdDocument, nullptr, 0, [this] { CmPlay(); } },
        { CM_PLAYSLOW, "Play Slow Speed", "Play Slow Speed\tF11", "F11", nullptr, kCmdDocument,
            nullptr, 0, [this] { playback.SetSpeed(P::kSlow); } },
        { CM_PLAYNORMAL, "Play Normal Speed", "Play Normal Speed\tF10", "F10", nullptr,
            kCmdDocument, nullptr, 0, [this] { playback.SetSpeed(P::kNormal); } },
        { CM_PLAYFAST, "Play Fast Speed", "Play Fast Speed\tF12", "F12", nullptr, kCmdDocument,
            nullptr, 0, [this] { playback.SetSpeed(P::kFast); } },
        { CM_STOP, "Stop", "&Stop\tEsc", "Esc", "Stops playback.", kCmdDocument, nullptr, 0,
            [this] { playback.Stop(); } },
        { CM_GOTOSTART, "Go To Start", "Go To Start\tHome", "Home",
            "Moves to the start of the file.", kCmdDocument, nullptr, 0,
            [this] { CmGoToStart(); } },
        { CM_REWIND, "Rewind", "Rewind\tF7", "F7", "Rewinds", kCmdDocument, nullptr, 0,
            [this] { CmScan(false); } },
        { CM_FASTFORWARD, "Fast Forward", "Fast Forward\tF8", "F8", "Fast-forwards", kCmdDocument,
            nullptr, 0, [this] { CmScan(true); } },
        { CM_GOTOEND, "Go To End", "Go To End\tEnd", "End", "Moves to the end of the current file.",
            kCmdDocument, nullptr, 0, [this] { CmGoToEnd(); } },
    };
}

void MainDialog::CmPlay()
{
    playback.PlayCommand(*pCurrentFile, false);
}

void MainDialog::CmScrub()
{
    if (pCurrentFile)
        playback.Scrub(*pCurrentFile);
}

void MainDialog::CmGoToStart()
{
    playback.GoToStart(*pCurrentFile);
    ApplySelection();
}

void MainDialog::CmGoToEnd()
{
    playback.GoToEnd(*pCurrentFile);
    ApplySelection();
}

// From the menu a scan is a press and release at once.
void MainDialog::CmScan(bool bForward)
{
    ScanPressed(bForward);
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

void MainDialog::RecordFromKey()
{
    bRecordFromKey = true;
    EvCommand(CM_RECORD);
    bRecordFromKey = false;
}

// Without a document a new one is made first; Record Next goes on in
// another new one.
void MainDialog::CmRecord()
{
    const bool bPlayAfter = bRecordFromKey;
    if (!pCurrentFile)
        CmNew();
    while (pCurrentFile) {
        LOVFile& doc = *pCurrentFile;
        int iResult = RecordInto(doc);
        if (iResult != 0 && bPlayAfter)
            playback.Play(doc, doc.sSelStart);
        if (iResult != 2)
            return;
        CmNew();
        if (pCurrentFile == &doc)
            return;
    }
}

int MainDialog::RecordInto(LOVFile& doc)
{
    LOVRecordInfo target(doc.claAudio.GetSampleRate(), doc.claAudio.GetChannels());
    target.fnProgress = [this, &doc, &target] {
        const LCutListAudio soFar = target.GetSoFar();
        Notify([&](LDocumentListener& l) { l.DocumentRecording(doc, &soFar); });
    };
    int iResult = ui.RunRecordDialog(target);
    target.fnProgress = nullptr;
    const LCutListAudio& recording = target.GetRecording();
    // A dialog closed without a take leaves the document as it was.
    if (iResult == 0 || recording.GetTotalLength() == 0) {
        Notify([&doc](LDocumentListener& l) { l.DocumentRecording(doc, nullptr); });
        return iResult == 2 ? 2 : 0;
    }
    TakeUndoStep();
    int32_t iStart = std::min(doc.sSelStart, doc.sSelEnd);
    doc.claAudio.EfReplace(iStart, std::max(doc.sSelStart, doc.sSelEnd), recording);
    doc.sSelStart = iStart;
    doc.sSelEnd = iStart + recording.GetTotalLength();
    doc.sPosition = iStart;
    Notify([&doc](LDocumentListener& l) { l.DocumentRecording(doc, nullptr); });
    RefreshCurrent();
    return iResult;
}
