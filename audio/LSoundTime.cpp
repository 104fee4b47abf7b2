#include "audio/LSoundTime.h"
#include "platform/LTrace.h"

#include <cstdio>

int32_t LSoundTime::FramesToMs(int32_t iFrames, int32_t iRate)
{
    if (iRate <= 0)
        return 0;
    return (iFrames / iRate) * 1000 + ((iFrames % iRate) * 1000) / iRate;
}

int32_t LSoundTime::MsToFrames(int32_t iMs, int32_t iRate)
{
    if (iRate <= 0)
        return 0;
    return (iMs / 1000) * iRate + int32_t((int64_t(iMs % 1000) * iRate) / 1000);
}

void LSoundTime::SetSamples(int32_t iSamples, int32_t iRate)
{
    if (iRate <= 0) {
        LTrace("LSoundTime::SetSamples samplerate <= 0");
        return;
    }
    iMilliseconds = FramesToMs(iSamples, iRate);
}

namespace {
std::string Format(int64_t iMs, bool bHundredths)
{
    const char* szSign = iMs < 0 ? "-" : "";
    int64_t t = iMs < 0 ? -iMs : iMs;
    if (bHundredths)
        t += 5;
    char sz[48];
    long lH = long(t / 3600000), lM = long((t / 60000) % 60), lS = long((t / 1000) % 60);
    if (bHundredths)
        std::snprintf(sz, sizeof sz, "%s%ld:%.2ld:%.2ld.%.2ld", szSign, lH, lM, lS, long((t % 1000) / 10));
    else
        std::snprintf(sz, sizeof sz, "%s%ld:%.2ld:%.2ld.%.3ld", szSign, lH, lM, lS, long(t % 1000));
    return sz;
}
} // namespace

std::string LSoundTime::GetHundredthsText() const { return Format(iMilliseconds, true); }
std::string LSoundTime::GetMillisecondsText() const { return Format(iMilliseconds, false); }
