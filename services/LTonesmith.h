#pragma once

#include "platform/LChildProcess.h"
#include "process/LProgressDialog.h"

#include <string>
#include <vector>

// The separate tone program: its command line is stored in the setting
// Tonesmith\Settings RunTonesmith.
struct LTonesmithRun {
    std::string strCommandLine;
    // The program; it belongs to the caller and may outlive the wait.
    LChildProcess& child;
    std::vector<std::string> args {}; // out: what it was started with
};

// Starts the command line (unless the program of an earlier run still runs)
// and waits, showing "Please close Tonesmith", until it ends, an hour has
// passed or the user cancels; the program then keeps running. 0, or 2 when
// it cannot be started (with a message).
int ProcessBody(LProgressDialog& dlg, LTonesmithRun& data);

// A command line split into arguments as a shell would split it, without
// running one: blanks separate, single and double quotes group (and are
// removed), a backslash outside single quotes keeps the next character as it
// is. False for an unterminated quote or no arguments.
bool SplitCommandLine(const std::string& strLine, std::vector<std::string>& args);

constexpr uint32_t kTonesmithWaitMs = 3600000;
