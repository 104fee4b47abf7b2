#pragma once

#include "audio/LSoundSourceBase.h"
#include "edit/LCutListAudio.h"
#include "process/LProgressDialog.h"

#include <string>

// Turns a source into a cut list: the source is pumped into a new cut file,
// which becomes the target's only cut. The target changes only when the
// whole source went in; after a cancel or an error it is as it was, and no
// cut file is left.
struct LCutListAudioLoadSource {
    std::string strTitle;
    LCutListAudio* pTarget = nullptr;
    SourceHandle hSource;
    // Out: why the cut file could not be written (errno), 0 when it could.
    int iWriteErrno = 0;
};

int ProcessBody(LProgressDialog& dlg, LCutListAudioLoadSource& data);
