#pragma once

#include "engine/MainDialog.h"
#include "platform/LChildProcess.h"

#include <string>

// What the outside program commands need from the editor's windows beyond
// MainDialogUi. The editor implements it with widgets; tests and the command
// line with scripted answers.
class LOutsideProgramsUi {
public:
    virtual ~LOutsideProgramsUi() = default;
    // A Yes / No / Cancel question under its own caption.
    virtual MainDialogUi::Answer AskQuestion(
        const std::string& strText, const std::string& strCaption)
        = 0;
    virtual void OpenWebPage(const std::string& strUrl) = 0;
};

// The commands that hand work to programs outside the editor: Send (1009)
// and Tonesmith (7002). Registers their rows with the main window's table.
// User-interface thread.
class LOutsideCommands {
public:
    LOutsideCommands(MainDialog& main, LOutsideProgramsUi& ui);

    // Command 7002: starts the stored tone program and waits for it, or asks
    // to download it when none is set.
    void ProcessTonesmithRunCommandLine();

    static constexpr const char* kTonesmithPage = "https://www.corvatch.com/tonesmith/";

private:
    MainDialog& main;
    LOutsideProgramsUi& ui;
    LChildProcess tonesmith; // kept running after the wait is cancelled
};
