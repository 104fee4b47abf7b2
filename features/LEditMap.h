#pragma once

#include "edit/LCutListAudio.h"

#include <cstdint>
#include <vector>

// Where a position of a document lies after an edit, found from the cut
// lists before and after it. Cut files never change, so a frame of audio is
// known by its cut file and frame there wherever the edit moved it. A
// position whose audio is still there follows it (to the copy nearest the
// plain shift when the audio now appears twice); one whose audio was
// removed goes to the place of the removal, or keeps its offset into audio
// that replaced it (a silenced or overwritten stretch). A rate conversion
// keeps times. Both lists must outlive the map; one thread.
class LEditMap {
public:
    LEditMap(const LCutListAudio& before, const LCutListAudio& after);
    // A time of the old audio (ms) in the new one.
    int32_t MapMs(int32_t iMs) const;
    int64_t MapFrame(int64_t iFrame) const;

private:
    struct Piece {
        int64_t iStart; // position in its list
        const LAudioCut* pCut;
    };
    // The new position nearest iNear of a file frame, -1 if it is gone.
    int64_t Find(uint16_t wCut, int32_t iFileFrame, int64_t iNear) const;
    // The old position nearest below iFrame (or from it upwards when
    // bForward) whose audio survived, with its new position; false if none.
    bool Survivor(int64_t iFrame, bool bForward, int64_t& iOld, int64_t& iNew) const;
    // The position after a plain shift: unchanged before the first changed
    // frame, moved by the change of length after the last.
    int64_t Shifted(int64_t iFrame) const;

    const LCutListAudio& before;
    const LCutListAudio& after;
    std::vector<Piece> oldPieces, newPieces;
    int64_t iPrefix = 0, iOldLength = 0, iNewLength = 0;
};
