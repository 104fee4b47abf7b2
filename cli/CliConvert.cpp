#include "engine/LOVSaveToSink.h"
#include "engine/OVLoadFile.h"
#include "cli/CliCommand.h"
#include "effects/LCLAConvertRateChannels.h"

#include <cstdio>
#include <cstdlib>

namespace {
// Loads the file into a cut list, as the editor does when it opens a file.
int Load(const std::string& strPath, LCutListAudio& list)
{
    OVLoadFile load{strPath, &list, false, nullptr};
    Process<OVLoadFile> run("Loading...", load);
    run.Run();
    if (run.GetResult() == 2)
        return CliFail("cannot read \"" + strPath + "\": not a supported audio file");
    return run.GetResult();
}

// Saves as Save does: 16-bit PCM for WAV, the stored settings for the other
// formats, and the target replaced only by a complete file.
int Save(const LCutListAudio& list, const std::string& strPath)
{
    LAcceptingPrompts prompts;
    LOVSaveToSink save{&list, strPath, LOVSaveToSink::kPcmWithoutAsking, &prompts, {}};
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

// Converts the loaded list to the rate and channels asked for, if any.
int ConvertList(LCutListAudio& list, int32_t iRate, int iChannels)
{
    LCLAConvertRateChannels data{&list, iRate ? iRate : list.GetSampleRate(),
                                 iChannels ? iChannels : list.GetChannels()};
    Process<LCLAConvertRateChannels> run("Converting rate or channels...", data);
    run.Run();
    if (run.GetResult() == 1)
        return kExitCancelled;
    return run.GetResult() == 0 ? kExitOk : CliFail("cannot convert to that rate and channel count");
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
    LCutListAudio list;
    if (int i = Load(files[0], list); i != kExitOk)
        return i;
    if (int i = ConvertList(list, iRate, iChannels); i != kExitOk)
        return i;
    return Save(list, files[1]);
}
