#pragma once

#include "edit/LCutListAudio.h"
#include "platform/LFile.h"
#include "process/LProgressDialog.h"

#include <cstdint>
#include <string>

// The audio block of a project file: rate (u32), channels (u8), length in
// frames (i32), then the frames as signed 32-bit samples in the internal
// scale. Runs inside a project operation on its thread; the file and lists
// are the caller's.
class LAudioBlock {
public:
    static constexpr int64_t kHeaderSize = 9;
    // Frames per read or write: 1 MiB of stereo. Pieces of 64 KiB made save
    // and open about a third slower, the time going to the calls.
    static constexpr int32_t kPieceFrames = 131072;

    // Bytes done and to do, for the progress bar of the whole file.
    struct Progress {
        int64_t iDone = 0;
        int64_t iTotal = 1;
    };
    static int64_t BytesOf(const LCutListAudio& audio);

    // 0 written, 1 cancelled, 2 the file could not be written.
    static int Write(LProgressDialog& dlg, LFile& file, const LCutListAudio& audio, Progress& pr);
    // 0 read, 1 cancelled, 2 damaged (strWhy says how) or the working
    // folder could not take it. iLeft is what remains of the file and is
    // checked before anything is allocated.
    static int Read(LProgressDialog& dlg, LFile& file, int64_t& iLeft, LCutListAudio& audio,
        Progress& pr, std::string& strWhy);
};
