#include "cli/CliCommand.h"
#include "cli/LConsoleProgressView.h"

#include <cstdio>

const std::vector<CliCommand>& GetCliCommands()
{
    static const std::vector<CliCommand> commands = {
        { "info", "info FILE...            rate, channels, length and peak of audio files",
            CliInfo },
        { "convert", kConvertUsage, CliConvert },
        { "formats", "formats                 file types, WAV codec names, headerless formats",
            CliFormats },
        { "edit",
            "edit IN [-o OUT] COMMAND...\n                          run editing commands on IN, "
            "e.g. \"select 0 1500\" \"Cut\"\n                          \"Amplify "
            "AmplifyGain=150\"; saves to OUT, or over IN",
            CliEdit },
        { "play",
            "play FILE [--device N] [--speed slow|normal|fast] [--from MS] [--selection START "
            "END]\n                          play through a sound device; Space scrubs, Esc or "
            "Ctrl+C stops",
            CliPlay },
        { "record",
            "record OUT [--device N|NAME] [--rate R] [--channels 1|2] [--seconds S]\n"
            "                          [--autotrim|--no-autotrim] [--voice|--no-voice] "
            "[--threshold DB]\n                          record from an input device into OUT; "
            "Esc or Ctrl+C ends the\n                          take and keeps it",
            CliRecord },
        { "devices", "devices                 the sound output and input devices by number",
            CliDevices },
        { "effects",
            "effects                 every effect with its keys (for edit), ranges and defaults",
            CliEffects },
    };
    return commands;
}

int CliFail(const std::string& strText)
{
    // An interrupt is the cause of whatever fails after it: main says so.
    if (LConsoleProgressView::WasInterrupted())
        return kExitCancelled;
    // The error an operation showed names the file and the reason best.
    std::string strShown = LConsoleProgressView::TakeError();
    std::fprintf(stderr, "orvenna-cli: %s\n", (strShown.empty() ? strText : strShown).c_str());
    return kExitFailed;
}
