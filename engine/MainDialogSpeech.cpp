// Text To Speech: synthesized speech goes into the current document as
// pasted audio does.
#include "effects/EfPasteOver.h"
#include "engine/MainDialog.h"
#include "platform/LFile.h"
#include "platform/LFolders.h"

#include <algorithm>

void MainDialog::CmTextToSpeech(const std::function<bool(const std::string&)>& fnSynthesize)
{
    if (!pCurrentFile) {
        CmNew();
        if (!pCurrentFile)
            return;
    }
    // The data folder, not the current directory, which may not be writable.
    std::string strPath = LFolders::GetCurrentFolder();
    LFile::FilePathCat(strPath, "Synthesized.wav");
    LCutListAudio speech;
    const bool bLoaded = fnSynthesize(strPath) && LoadInto(strPath, speech);
    LFile::Delete(strPath);
    if (!bLoaded)
        return;
    LOVFile& doc = *pCurrentFile;
    const bool bReplace = doc.HasValidSelection();
    // Converted before the undo step, so a cancelled conversion leaves none.
    if (!ConvertToDocument(bReplace ? "Paste" : "Text To Speech", speech))
        return;
    StartModifyCurrentFile("Text To Speech");
    const int32_t iStart = bReplace ? doc.sSelStart : std::clamp(doc.sPosition, 0, doc.GetLength());
    if (bReplace) {
        EfPasteOver paste { &doc.claAudio, doc.sSelEnd, iStart, &speech };
        if (RunOperation("Paste", paste) != 0)
            return;
    } else {
        doc.claAudio.EfInsert(iStart, speech);
    }
    doc.sSelStart = iStart;
    doc.sSelEnd = iStart + speech.GetTotalLength();
    EndModifyCurrentFile(bReplace ? doc.sPosition : iStart, OneSecond() / 2);
}
