#pragma once

#include "edit/LCutListAudio.h"
#include "engine/LOVUndoStep.h"

#include <array>
#include <cstdint>
#include <string>

// One open document: its audio, file path, selection, position, view range,
// dirty flag and a ring of eight undo steps. Positions are frames at the
// document's own rate; a selection is valid when start < end.
class LOVFile {
public:
    static constexpr int kUndoSteps = 8;

    virtual ~LOVFile() = default;

    // The file name of the path, or "Untitled N".
    std::string GetDisplayName() const;
    bool HasValidSelection() const { return sSelStart < sSelEnd; }
    int32_t GetLength() const { return claAudio.GetTotalLength(); }

    // Records the current state under the command's name in the next step
    // (the ninth in a row overwrites the oldest) and marks the document dirty.
    void TakeUndoStep(const std::string& strName);
    // Restores the most recent step; false when there is none.
    bool Undo();
    const std::string& GetUndoName() const { return aUndo[size_t(iUndoIdx)].szName; }

    std::string szFilePath;
    std::string szPrevFilePath;
    int32_t sPosition = 0;
    int32_t sSelStart = 0;
    int32_t sSelEnd = 0;
    int32_t sViewStart = 0;
    int32_t sViewEnd = 0;
    uint8_t bDirty = 0;
    uint8_t bVerticalZoom = 0;
    int32_t iWavDisplayMode = 0;
    int32_t iUntitledIdx = 0;
    LCutListAudio claAudio;
    std::array<LOVUndoStep, kUndoSteps> aUndo;
    int32_t iUndoIdx = 0;
};

// Frames and milliseconds at a rate, in integer arithmetic that cannot
// overflow; a rate of 0 or less leaves the value as it was.
int32_t FramesToMs(int32_t iFrames, int32_t iRate);
int32_t MsToFrames(int32_t iMs, int32_t iRate);
