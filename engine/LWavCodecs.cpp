#include "engine/LWavCodecs.h"

#include "audio/LWaveFileFormat.h"
#include "platform/acm/LAcm.h"

#include <cctype>
#include <cstdlib>

namespace {
// Short names of the known tags; bBits appends the sample size (pcm16).
struct TagName {
    uint16_t wTag;
    const char* szName;
    bool bBits;
};
const TagName kTagNames[] = {
    { WAVE_FORMAT_PCM, "pcm", true },
    { WAVE_FORMAT_IEEE_FLOAT, "float", true },
    { WAVE_FORMAT_ALAW, "alaw", false },
    { WAVE_FORMAT_MULAW, "ulaw", false },
    { WAVE_FORMAT_IMA_ADPCM, "ima-adpcm", false },
    { WAVE_FORMAT_ADPCM, "ms-adpcm", false },
    { WAVE_FORMAT_GSM610, "gsm610", false },
    { WAVE_FORMAT_MPEGLAYER3, "mp3", false },
};

// A tag without a short name is named after its chooser text.
std::string NameOf(const LAcmFormatChoice& c)
{
    for (const TagName& t : kTagNames)
        if (t.wTag == c.wfx.wfx.wFormatTag)
            return t.bBits ? t.szName + std::to_string(c.wfx.wfx.wBitsPerSample) : t.szName;
    std::string s;
    for (unsigned char ch : c.strFormatTag)
        s += std::isalnum(ch) ? char(std::tolower(ch)) : '-';
    return s;
}

// The same format at another rate; the average rate follows.
LWaveFormat AtRate(LWaveFormat f, int32_t iRate)
{
    f.wfx.nAvgBytesPerSec
        = uint32_t((uint64_t(f.wfx.nAvgBytesPerSec) * uint32_t(iRate) + f.wfx.nSamplesPerSec / 2)
            / f.wfx.nSamplesPerSec);
    f.wfx.nSamplesPerSec = uint32_t(iRate);
    return f;
}
} // namespace

std::vector<LWavCodec> LWavCodecs::List()
{
    std::vector<LWavCodec> v;
    for (const LAcmFormatChoice& c : LAcmFormatList(0)) {
        std::string strName = NameOf(c);
        bool bListed = false;
        for (const LWavCodec& w : v)
            bListed = bListed || w.strName == strName;
        if (!bListed && LWaveFileFormat::TestSupportedRecord(c.wfx))
            v.push_back(
                { strName, c.strFormatTag, c.wfx.wfx.wFormatTag, c.wfx.wfx.wBitsPerSample });
    }
    return v;
}

bool LWavCodecs::FindFormat(
    const std::string& strName, int32_t iRate, int iChannels, LWaveFormat& format)
{
    const std::vector<LAcmFormatChoice> list = LAcmFormatList(0);
    const LAcmFormatChoice* pBest = nullptr;
    int64_t iBestCost = 0;
    for (const LAcmFormatChoice& c : list) {
        if (NameOf(c) != strName || !LWaveFileFormat::TestSupportedRecord(c.wfx))
            continue;
        // Keeping the channels first, then the rate as close as listed.
        int64_t iCost = std::llabs(int64_t(c.wfx.wfx.nSamplesPerSec) - iRate)
            + (c.wfx.wfx.nChannels == iChannels ? 0 : int64_t(1) << 40);
        if (!pBest || iCost < iBestCost) {
            pBest = &c;
            iBestCost = iCost;
        }
    }
    if (!pBest)
        return false;
    format = pBest->wfx;
    if (int32_t(format.wfx.nSamplesPerSec) != iRate && iRate > 0
        && LWaveFileFormat::TestSupportedRecord(AtRate(format, iRate)))
        format = AtRate(format, iRate);
    return true;
}
