#include "cli/CliCommand.h"

#include <cstdio>

const std::vector<CliCommand>& GetCliCommands()
{
    static const std::vector<CliCommand> commands = {
        {"info", "info FILE...            rate, channels, length and peak of audio files", CliInfo},
        {"convert", kConvertUsage, CliConvert},
        {"formats", "formats                 file types, WAV codec names, headerless formats", CliFormats},
        {"edit", "edit IN [-o OUT] COMMAND...\n                          run editing commands on IN, e.g. \"select 0 1500\" \"Cut\"\n                          \"Amplify AmplifyGain=150\"; saves to OUT, or over IN", CliEdit},
        {"play", "play FILE [--device N] [--speed slow|normal|fast] [--from MS] [--selection START END]\n                          play through a sound device; Space scrubs, Esc or Ctrl+C stops", CliPlay},
        {"devices", "devices                 the sound output and input devices by number", CliDevices},
    };
    return commands;
}

int CliFail(const std::string& strText)
{
    std::fprintf(stderr, "orvenna-cli: %s\n", strText.c_str());
    return kExitFailed;
}
