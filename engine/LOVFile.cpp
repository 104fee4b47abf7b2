#include "engine/LOVFile.h"

#include "platform/LFile.h"

std::string LOVFile::GetDisplayName() const
{
    if (szFilePath.empty())
        return "Untitled " + std::to_string(iUntitledIdx);
    return LFile::GetFileName(szFilePath).substr(0, 259);
}

void LOVFile::TakeUndoStep(const std::string& strName)
{
    iUndoIdx = (iUndoIdx + 1) % kUndoSteps;
    LOVUndoStep& step = aUndo[size_t(iUndoIdx)];
    step.bDirty = bDirty;
    step.claAudio = claAudio;
    step.sPosition = sPosition;
    step.sSelStart = sSelStart;
    step.sSelEnd = sSelEnd;
    step.sViewStart = sViewStart;
    step.sViewEnd = sViewEnd;
    step.szName = strName;
    bDirty = 1;
}

bool LOVFile::Undo()
{
    LOVUndoStep& step = aUndo[size_t(iUndoIdx)];
    if (step.szName.empty())
        return false;
    bDirty = step.bDirty;
    claAudio = step.claAudio;
    step.claAudio = LCutListAudio();
    sPosition = step.sPosition;
    sSelStart = step.sSelStart;
    sSelEnd = step.sSelEnd;
    sViewStart = step.sViewStart;
    sViewEnd = step.sViewEnd;
    step.szName.clear();
    iUndoIdx = (iUndoIdx + kUndoSteps - 1) % kUndoSteps;
    return true;
}
