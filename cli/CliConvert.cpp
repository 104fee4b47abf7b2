#include "audio/LWaveFile.h"
#include "engine/LHeaderlessFormat.h"
#include "engine/LOpenSource.h"
#include "cli/CliCommand.h"
#include "edit/LSRCCutListAudio.h"
#include "effects/LCutListAudioLoadSource.h"
#include "effects/LPRSourceToSink.h"
#include "platform/LFile.h"

#include <cstdio>
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
} // namespace

int CliConvert(const std::vector<std::string>& args)
{
    if (args.size() != 2)
        return CliFail("usage: orvenna-cli convert IN OUT");
    LCutListAudio list;
    if (int i = Load(args[0], list); i != kExitOk)
        return i;
    return Save(list, args[1], InputBits(args[0]));
}
