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
        { "devices", "devices                 the sound output and input devices by number",
            CliDevices },
        { "effects",
            "effects                 every effect with its keys (for edit), ranges and defaults",
            CliEffects },
        { "batch",
            "batch SCRIPT.ovb FILE... [--format wav|mp3|gsm|vox|raw|aif|au] [--out DIR]\n"
            "                          [--keep-going] [--jobs N]\n"
            "                          run a batch script over the files, one worker per core;\n"
            "                          without options each result replaces its input",
            CliBatch },
        { "script",
            "script make OUT.ovb \"Amplify AmplifyGain=150\" \"Convert Sample Rate "
            "SampleRate=22050\" ...\n"
            "                          write a batch script (a step without values takes the\n"
            "                          stored settings when it runs)\n"
            "  script show SCRIPT.ovb  the numbered commands of a script with their settings\n"
            "  script list             the batch commands with their keys and defaults",
            CliScript },
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
