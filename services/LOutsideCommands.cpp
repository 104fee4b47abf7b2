#include "services/LOutsideCommands.h"

#include "platform/LSettings.h"
#include "services/Email.h"
#include "services/LTonesmith.h"

LOutsideCommands::LOutsideCommands(MainDialog& main, LOutsideProgramsUi& ui)
    : main(main)
    , ui(ui)
{
    main.GetCommands().Register({
        { CM_SEND, "Send", "Send...", nullptr, "Sends the file by email.",
            kCmdDocument | kCmdStopsPlayback, nullptr, 0,
            [this] { Email::SendMAPIDocument(this->main, *this->main.GetCurrentFile()); } },
        { CM_TONESMITH, "Tonesmith", "Tonesmith", nullptr, "Creates new tones.", kCmdStopsPlayback,
            nullptr, 0, [this] { ProcessTonesmithRunCommandLine(); } },
    });
}

void LOutsideCommands::ProcessTonesmithRunCommandLine()
{
    const std::string strLine = LSettings::Get().GetString("Tonesmith\\Settings", "RunTonesmith");
    if (strLine.empty()) {
        if (ui.AskQuestion("The free plugin Tonesmith is required to generate tones. Do you want "
                           "to download it now?",
                "Tonesmith Required")
            == MainDialogUi::Answer::Yes)
            ui.OpenWebPage(kTonesmithPage);
        return;
    }
    LTonesmithRun run { strLine, tonesmith };
    Process<LTonesmithRun> process("Tonesmith", run);
    process.Run(&main);
}
