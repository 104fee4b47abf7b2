#include "features/LAssembleRegions.h"

#include "audio/LSoundTime.h"
#include "effects/LCLAConvertRateChannels.h"

#include <algorithm>

int RunAssembly(LAssembleRegions& d, void* pOwner)
{
    if (d.regions.empty())
        return 2;
    LCutListAudio result = d.regions.front()->claAudio;
    const int32_t iRate = result.GetSampleRate();
    const int iChannels = result.GetChannels();
    const int32_t iGap = d.bAutoGap ? LSoundTime::MsToFrames(std::max(0, d.iGapMs), iRate) : 0;
    for (size_t i = 1; i < d.regions.size(); ++i) {
        LCutListAudio part = d.regions[i]->claAudio;
        if (part.GetSampleRate() != iRate || part.GetChannels() != iChannels) {
            LCLAConvertRateChannels convert { &part, iRate, iChannels };
            Process<LCLAConvertRateChannels> run("Insert File", convert);
            run.Run(pOwner);
            if (run.GetResult() != 0)
                return run.GetResult();
        }
        const int64_t iTotal = int64_t(result.GetTotalLength()) + iGap + part.GetTotalLength();
        if (iTotal > kMaxFrames) {
            d.strError = "The assembled regions would be longer than a file can be.";
            return 2;
        }
        if (iGap > 0)
            result.EfInsertSilence(result.GetTotalLength(), iGap);
        result.EfInsert(result.GetTotalLength(), part);
    }
    d.result = std::move(result);
    return 0;
}
