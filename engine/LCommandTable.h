#pragma once

#include "engine/LCommandIds.h"

#include <functional>
#include <string>
#include <vector>

// What a command needs before it runs, and what is done for it first.
enum LCommandFlag : unsigned {
    kCmdDocument = 1u << 0, // an open document
    kCmdSelection = 1u << 1, // a valid selection (and so a document)
    kCmdClipboard = 1u << 2, // a clipboard holding at least a millisecond
    kCmdUndoable = 1u << 3, // an undo step to go back to
    kCmdDirty = 1u << 4, // unsaved changes
    kCmdStereo = 1u << 5, // a stereo document
    kCmdStopsPlayback = 1u << 6,
    kCmdUndoStep = 1u << 7, // the undo step is taken before the handler runs
};

// The state the enabling of every command is computed from.
struct LCommandState {
    bool bDocument = false;
    bool bSelection = false;
    bool bClipboard = false;
    bool bUndoable = false;
    bool bDirty = false;
    bool bStereo = false;
};

// One command of the main window. Its name is the one menus, key macros,
// batch scripts and the command line use; szUndo names its undo step (taken
// by EvCommand with kCmdUndoStep, else by the handler after its dialog).
struct LCommand {
    int iId = 0;
    const char* szName = "";
    const char* szMenuText = "";
    const char* szKey = nullptr;
    const char* szHint = nullptr;
    unsigned uFlags = 0;
    const char* szUndo = nullptr;
    // Place in the key macros' command list (1 first), 0 when not offered.
    int iMacro = 0;
    std::function<void()> fnRun;

    bool IsEnabled(const LCommandState& state) const;
};

// The commands of one main window. The engine fills in its own; the layers
// above add theirs by calling Register at start (no static self-registration:
// a static library drops objects nothing refers to). A command without a row
// is neither shown nor run.
class LCommandTable {
public:
    // Appends the rows; a row with an id already there replaces that row.
    void Register(std::vector<LCommand> rows);
    const LCommand* Find(int iId) const;
    // Names compared without regard to case; null when unknown.
    const LCommand* Find(const std::string& strName) const;
    const std::vector<LCommand>& Rows() const { return rows; }
    // The commands a key macro can run, in the macro list's order.
    std::vector<const LCommand*> MacroCommands() const;

private:
    std::vector<LCommand> rows;
};
