#include "audio/LWaveFile.h"
#include "engine/LHeaderlessFormat.h"
#include "engine/LOpenSource.h"
#include "cli/CliCommand.h"
#include "edit/LSRCCutListAudio.h"
#include "effects/LCLAConvertRateChannels.h"
#include "effects/LCutListAudioLoadSource.h"
#include "effects/LPRSourceToSink.h"
#include "platform/LFile.h"

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace {
// Loads the file into a cut list, as the editor does when it opens a file.
int Load(const std::string& strPath, LCutListAudio& list)
{
    SourceHandle hSource = OpenSourceByExtension(strPath, LHeaderlessFormat::Load());
    if (hSource->IsError())
        return CliFail("cannot read \"" + strPath + "\": not a supported audio file");
    LCutListAudioLoadSource load{"Loading Audio File Source", &list, hSource};
    Process<LCutListAudioLoadSource> run("Loading Audio File Source", load);
    run.Run();
    if (run.GetResult() == 2)
        return CliFail("cannot read \"" + strPath + "\"");
    return run.GetResult();
}

// Writes the list next to the target and renames it over the target only
// when complete, so a failure or Ctrl+C never leaves a damaged file.
int Save(const LCutListAudio& list, const std::string& strPath, int iBits)
{
    std::string strTemp = strPath + ".part-" + std::to_string(getpid());
    LPRSourceToSink pump;
    pump.strTitle = "Saving...";
    pump.hSource = MakeHandle<LSRCCutListAudio>(list);
    pump.hSink = LWaveFile::OpenSinkPCM(strTemp, list.GetSampleRate(), list.GetChannels(), iBits, 0);
    if (!pump.hSink || pump.hSink->IsError()) {
        pump.hSink.Reset();
        LFile::Delete(strTemp);
        return CliFail("Unable to create file \"" + strPath + "\"for saving.");
    }
    Process<LPRSourceToSink> run("Saving...", pump);
    run.Run();
    if (run.GetResult() != 0) {
        LFile::Delete(strTemp);
        return run.GetResult() == 1 ? kExitCancelled : CliFail("cannot write \"" + strPath + "\"");
    }
    if (std::rename(strTemp.c_str(), strPath.c_str()) != 0) {
        LFile::Delete(strTemp);
        return CliFail("cannot write \"" + strPath + "\"");
    }
    return kExitOk;
}

int InputBits(const std::string& strPath)
{
    LFile file;
    LWaveHeader format;
    uint32_t uData = 0;
    if (file.Open(strPath, LFile::Mode::Read) && LWaveFile::ReadHeader(file, format, uData) &&
        format.wFormatTag == 1 && format.wBitsPerSample <= 8)
        return 8;
    return 16;
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
    return Save(list, files[1], InputBits(files[0]));
}
