#include "audio/LWaveHeader.h"

#include <algorithm>

namespace {
uint16_t Get16(const uint8_t* p)
{
    return uint16_t(p[0] | (p[1] << 8));
}
uint32_t Get32(const uint8_t* p)
{
    return uint32_t(Get16(p)) | (uint32_t(Get16(p + 2)) << 16);
}
void Put16(std::vector<uint8_t>& v, uint32_t x)
{
    v.push_back(uint8_t(x));
    v.push_back(uint8_t(x >> 8));
}
void Put32(std::vector<uint8_t>& v, uint32_t x)
{
    Put16(v, x & 0xFFFF);
    Put16(v, x >> 16);
}
void Put64(std::vector<uint8_t>& v, uint64_t x)
{
    Put32(v, uint32_t(x));
    Put32(v, uint32_t(x >> 32));
}
void PutTag(std::vector<uint8_t>& v, const char* sz)
{
    v.insert(v.end(), sz, sz + 4);
}
constexpr uint32_t kDs64Bytes = 28; // RIFF size, data size, frame count, table length 0
} // namespace

bool LWaveHeader::Parse(const uint8_t* p, size_t nBytes)
{
    if (nBytes < 14)
        return false;
    wFormatTag = Get16(p);
    nChannels = Get16(p + 2);
    nSamplesPerSec = Get32(p + 4);
    nAvgBytesPerSec = Get32(p + 8);
    nBlockAlign = Get16(p + 12);
    wBitsPerSample = nBytes >= 16 ? Get16(p + 14) : 0;
    extra.clear();
    if (nBytes >= 18) {
        size_t nExtra = Get16(p + 16);
        if (nExtra > nBytes - 18)
            nExtra = nBytes - 18;
        extra.assign(p + 18, p + 18 + nExtra);
    }
    return true;
}

std::vector<uint8_t> LWaveHeader::FormatBytes() const
{
    std::vector<uint8_t> v;
    Put16(v, wFormatTag);
    Put16(v, nChannels);
    Put32(v, nSamplesPerSec);
    Put32(v, nAvgBytesPerSec);
    Put16(v, nBlockAlign);
    Put16(v, wBitsPerSample);
    Put16(v, uint32_t(extra.size()));
    v.insert(v.end(), extra.begin(), extra.end());
    return v;
}

std::vector<uint8_t> LWaveHeader::Build(int64_t iDataBytes, int64_t iFrames) const
{
    std::vector<uint8_t> fmt = FormatBytes();
    const uint64_t uRiff
        = 4 + 8 + kDs64Bytes + 8 + fmt.size() + 8 + uint64_t(std::max<int64_t>(iDataBytes, 0));
    const bool bOpen = iDataBytes < 0;
    const bool bRF64 = !bOpen && uRiff >= 0xFFFFFFFFu;
    std::vector<uint8_t> v;
    v.reserve(64 + fmt.size());
    PutTag(v, bRF64 ? "RF64" : "RIFF");
    Put32(v, bOpen || bRF64 ? 0xFFFFFFFFu : uint32_t(uRiff));
    PutTag(v, "WAVE");
    PutTag(v, bRF64 ? "ds64" : "JUNK");
    Put32(v, kDs64Bytes);
    Put64(v, bRF64 ? uRiff : 0);
    Put64(v, bRF64 ? uint64_t(iDataBytes) : 0);
    Put64(v, bRF64 ? uint64_t(iFrames) : 0);
    Put32(v, 0);
    PutTag(v, "fmt ");
    Put32(v, uint32_t(fmt.size()));
    v.insert(v.end(), fmt.begin(), fmt.end());
    PutTag(v, "data");
    Put32(v, bOpen || bRF64 ? 0xFFFFFFFFu : uint32_t(iDataBytes));
    return v;
}

LWaveFormat LWaveHeader::ToFormat() const
{
    LWaveFormat wf;
    wf.wfx.wFormatTag = wFormatTag;
    wf.wfx.nChannels = nChannels;
    wf.wfx.nSamplesPerSec = nSamplesPerSec;
    wf.wfx.nAvgBytesPerSec = nAvgBytesPerSec;
    wf.wfx.nBlockAlign = nBlockAlign;
    wf.wfx.wBitsPerSample = wBitsPerSample;
    wf.SetExtra(extra);
    return wf;
}

LWaveHeader LWaveHeader::FromFormat(const LWaveFormat& wf)
{
    LWaveHeader h;
    h.wFormatTag = wf.wfx.wFormatTag;
    h.nChannels = wf.wfx.nChannels;
    h.nSamplesPerSec = wf.wfx.nSamplesPerSec;
    h.nAvgBytesPerSec = wf.wfx.nAvgBytesPerSec;
    h.nBlockAlign = wf.wfx.nBlockAlign;
    h.wBitsPerSample = wf.wfx.wBitsPerSample;
    h.extra = wf.vExtra;
    return h;
}
