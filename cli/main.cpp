#include "cli/CliCommand.h"
#include "cli/LConsoleProgressView.h"
#include "services/LOutsideDecoders.h"

#include <cstdio>
#include <cstring>

namespace {
void PrintUsage()
{
    std::fprintf(stderr, "usage: orvenna-cli COMMAND ARGS...\n\ncommands:\n");
    for (const CliCommand& c : GetCliCommands())
        std::fprintf(stderr, "  %s\n", c.szUsage);
    std::fprintf(stderr,
        "\nExit codes: 0 done, 1 cancelled (Ctrl+C), 2 failed (one line on stderr says why).\n");
}
} // namespace

int main(int argc, char** argv)
{
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        PrintUsage();
        return argc < 2 ? kExitFailed : kExitOk;
    }
    LConsoleProgressView::Install();
    RegisterOutsideFormats();
    std::vector<std::string> args(argv + 2, argv + argc);
    for (const CliCommand& c : GetCliCommands()) {
        if (std::strcmp(argv[1], c.szName) != 0)
            continue;
        int iExit = c.fnRun(args);
        // Ctrl+C wherever it landed: a load, an editing step or a save.
        if (iExit != kExitOk && LConsoleProgressView::WasInterrupted()) {
            std::fprintf(stderr, "orvenna-cli: cancelled\n");
            return kExitCancelled;
        }
        return iExit;
    }
    PrintUsage();
    return CliFail(std::string("unknown command \"") + argv[1] + "\"");
}
