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
        std::snprintf(
            sz, sizeof sz, "%s%ld:%.2ld:%.2ld.%.2ld", szSign, lH, lM, lS, long((t % 1000) / 10));
    else
        std::snprintf(sz, sizeof sz, "%s%ld:%.2ld:%.2ld.%.3ld", szSign, lH, lM, lS, long(t % 1000));
    return sz;
}
} // namespace

std::string LSoundTime::GetHundredthsText() const
{
    return Format(iMilliseconds, true);
}
std::string LSoundTime::GetMillisecondsText() const
{
    return Format(iMilliseconds, false);
}

bool LSoundTime::ParseText(const std::string& strText, int32_t& iMs)
{
    if (strText.empty() || strText.size() > 20)
        return false;
    bool bClock = strText.find_first_of(":.") != std::string::npos;
    int64_t iTotal = 0; // whole seconds when bClock, else milliseconds
    int64_t iField = 0;
    int iFields = 0;
    bool bDigits = false;
    size_t i = 0;
    for (; i < strText.size() && strText[i] != '.'; ++i) {
        char c = strText[i];
        if (c == ':') {
            if (!bDigits || ++iFields > 2 || (iFields > 1 && iField >= 60))
                return false;
            iTotal = iTotal * 60 + iField;
            iField = 0;
            bDigits = false;
        } else if (c >= '0' && c <= '9') {
            iField = iField * 10 + (c - '0');
            bDigits = true;
        } else {
            return false;
        }
    }
    if (!bDigits || (iFields > 0 && iField >= 60))
        return false;
    if (!bClock) {
        if (iField > INT32_MAX)
            return false;
        iMs = int32_t(iField);
        return true;
    }
    iTotal = iTotal * 60 + iField;
    // The fraction of a second, to the millisecond.
    int64_t iFraction = 0;
    int iScale = 100;
    if (i < strText.size()) {
        if (i + 1 == strText.size())
            return false;
        for (++i; i < strText.size(); ++i) {
            char c = strText[i];
            if (c < '0' || c > '9')
                return false;
            iFraction += (c - '0') * iScale;
            iScale /= 10;
        }
    }
    int64_t iResult = iTotal * 1000 + iFraction;
    if (iResult > INT32_MAX)
        return false;
    iMs = int32_t(iResult);
    return true;
}
