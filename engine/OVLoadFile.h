#pragma once

#include "edit/LCutListAudio.h"
#include "engine/LFilePrompts.h"
#include "process/LProgressDialog.h"

#include <optional>
#include <string>

// Reads a file of any supported format, chosen by its extension, into a cut
// list at the file's own rate and channels.
struct OVLoadFile {
    std::string strPath;
    LCutListAudio* pTarget = nullptr;
    // Ask for the properties of headerless (.vox, .raw) files.
    bool bPrompt = false;
    LFilePrompts* pPrompts = nullptr;
    // Out: the whole message when the load failed for a reason other than an
    // unsupported file (too long to edit, the audio working folder not
    // writable); "" otherwise.
    std::string strError {};
    // Headerless files read with these, without asking (a batch asks once).
    std::optional<LHeaderlessSettings> fixedHeaderless {};
};

// 0 loaded, 1 cancelled (also "File Properties" cancelled), 2 unsupported or
// unreadable. The target changes only on 0.
int ProcessBody(LProgressDialog& dlg, OVLoadFile& data);
