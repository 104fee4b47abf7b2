// orvenna-cli spectrum IN [--at MS] [--four-times]: the levels the
// "Frequency Analysis" dialog shows, one "Hz dB" line per bin.
#include "audio/LSoundTime.h"
#include "cli/CliCommand.h"
#include "effects/LSpectrum.h"
#include "engine/LOpenSource.h"

#include <cstdio>

int CliSpectrum(const std::vector<std::string>& args)
{
    if (args.empty())
        return CliFail("usage: orvenna-cli spectrum IN [--at MS] [--four-times]");
    int32_t iMs = 0;
    bool bFourTimes = false;
    for (size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "--four-times") {
            bFourTimes = true;
        } else if (args[i] == "--at" && i + 1 < args.size()) {
            if (!LSoundTime::ParseText(args[++i], iMs))
                return CliFail("\"" + args[i] + "\" is not a time (milliseconds, or h:mm:ss.mmm)");
        } else {
            return CliFail("unknown option \"" + args[i] + "\"");
        }
    }
    SourceHandle hSource = OpenSourceByExtension(args[0], LHeaderlessSettings {});
    if (hSource->IsError())
        return CliFail(CliReadError(*hSource));
    const int32_t iRate = hSource->GetSampleRate();
    const LSpectrumValues values = LSpectrum::At(*hSource, LSoundTime::MsToFrames(iMs, iRate));
    const int nBins = bFourTimes ? 512 : int(values.size());
    for (int k = 0; k < nBins; ++k)
        std::printf("%d %d\n", LSpectrum::BinHz(k, iRate), int(values[size_t(k)]));
    return kExitOk;
}
