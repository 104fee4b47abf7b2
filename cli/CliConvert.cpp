#include "engine/LOVSaveToSink.h"
#include "engine/LHeaderlessFormat.h"
#include "engine/LOpenSource.h"
#include "cli/CliCommand.h"

#include <cstdio>
#include <cstdlib>

namespace {
// Saves as Save does: 16-bit PCM for WAV, the stored settings for the other
// formats, and the target replaced only by a complete file. Rate and
// channels are converted on the way when asked (0 = keep).
int Save(SourceHandle hSource, const std::string& strPath, int32_t iRate, int iChannels)
{
    LAcceptingPrompts prompts;
    LOVSaveToSink save;
    save.strPath = strPath;
    save.pPrompts = &prompts;
    save.iRate = iRate;
    save.iChannels = iChannels;
    save.hStream = std::move(hSource);
    Process<LOVSaveToSink> run("Saving...", save);
    run.Run();
    if (run.GetResult() == 1)
        return kExitCancelled;
    if (run.GetResult() != 0) {
        std::string strWhy = !save.strError.empty() ? save.strError : prompts.strLastMessage;
        return CliFail(strWhy.empty() ? "cannot write \"" + strPath + "\"" : strWhy);
    }
    return kExitOk;
}

bool ParseOption(const std::vector<std::string>& args, size_t& i, const char* szName, int lo, int hi,
                 int& iValue)
{
    if (args[i] != szName)
        return false;
    char* pEnd = nullptr;
    long l = i + 1 < args.size() ? std::strtol(args[i + 1].c_str(), &pEnd, 10) : 0;
    if (!pEnd || *pEnd || l < lo || l > hi) {
        iValue = -1;
    } else {
        iValue = int(l);
    }
    i += 2;
    return true;
}
} // namespace

int CliConvert(const std::vector<std::string>& args)
{
    std::vector<std::string> files;
    int iRate = 0;
    int iChannels = 0;
    for (size_t i = 0; i < args.size();) {
        if (ParseOption(args, i, "--rate", 6000, 96000, iRate) ||
            ParseOption(args, i, "--channels", 1, 2, iChannels)) {
            if (iRate < 0 || iChannels < 0)
                return CliFail(std::string("bad value for ") + args[i - 2] +
                               " (rates 6000..96000, channels 1 or 2)");
            continue;
        }
        files.push_back(args[i++]);
    }
    if (files.size() != 2)
        return CliFail("usage: orvenna-cli convert IN OUT [--rate HZ] [--channels 1|2]");
    // Straight from the reader to the writer: a conversion needs no edit store.
    SourceHandle hSource = OpenSourceByExtension(files[0], LHeaderlessFormat::Load());
    if (hSource->IsError())
        return CliFail("cannot read \"" + files[0] + "\": " + CliReadError(*hSource));
    return Save(std::move(hSource), files[1], iRate, iChannels);
}
