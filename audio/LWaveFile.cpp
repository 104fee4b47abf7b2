#include "audio/LWaveFile.h"

#include "audio/LSNKACMFile.h"
#include "audio/LSNKPCMFile.h"
#include "audio/LSRCACMWave.h"
#include "audio/LSRCNull.h"
#include "audio/LSRCPCMFileBase.h"
#include "platform/LTrace.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr int64_t kMaxFormatBytes = 8192;

uint32_t Get32(const uint8_t* p)
{
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

bool IsTag(const uint8_t* p, const char* sz)
{
    return std::memcmp(p, sz, 4) == 0;
}

// Chunk sizes are skipped rounded up to even (RIFF pads odd chunks).
int64_t Padded(uint32_t uSize)
{
    return (int64_t(uSize) + 1) & ~int64_t(1);
}

uint64_t Get64(const uint8_t* p)
{
    return uint64_t(Get32(p)) | (uint64_t(Get32(p + 4)) << 32);
}

// The RIFF WAVE form, or its 64-bit variants RF64 and BW64; bWide for those.
bool FindRiffWave(LFile& file, bool& bWide)
{
    for (;;) {
        uint8_t head[12];
        if (file.Read(head, 12) < 12) {
            LTrace("LWaveFile::OpenSource No RIFF WAVE chunk found");
            return false;
        }
        bWide = IsTag(head, "RF64") || IsTag(head, "BW64");
        if ((bWide || IsTag(head, "RIFF")) && IsTag(head + 8, "WAVE"))
            return true;
        int64_t iSize = Padded(Get32(head + 4));
        if (iSize < 5) {
            LTrace("LWaveFile::OpenSource chunk too short!");
            return false;
        }
        file.Skip(iSize - 4);
    }
}

// The data size of a 64-bit file, from the "ds64" chunk that comes first;
// 0 when it does not say (the chunk walk then goes on from where it was).
uint64_t ReadDs64(LFile& file)
{
    uint8_t head[8 + 24];
    const int64_t iAt = file.Tell();
    if (file.Read(head, 8) < 8 || !IsTag(head, "ds64") || Get32(head + 4) < 24
        || file.Read(head + 8, 24) < 24) {
        LTrace("LWaveFile::OpenSource RF64 without a ds64 chunk");
        file.Seek(iAt);
        return 0;
    }
    file.Skip(Padded(Get32(head + 4)) - 24);
    return Get64(head + 16);
}

// Walks to the chunk with the given id; the file is left at its body.
bool FindChunk(LFile& file, const char* szId, uint32_t& uSize, const char* szNotFound)
{
    for (;;) {
        uint8_t head[8];
        if (file.Read(head, 8) < 8) {
            LTrace("%s", szNotFound);
            return false;
        }
        uSize = Get32(head + 4);
        if (IsTag(head, szId))
            return true;
        if (int32_t(uSize) < 0) {
            LTrace("LWaveFile::OpenSource subchunk too short (< 0)!");
            return false;
        }
        file.Skip(Padded(uSize));
    }
}

} // namespace

bool LWaveFile::ReadHeader(LFile& file, LWaveHeader& format, int64_t& iDataBytes)
{
    bool bWide = false;
    if (!FindRiffWave(file, bWide))
        return false;
    uint64_t uWideData = bWide ? ReadDs64(file) : 0;
    uint32_t uFmtSize = 0;
    if (!FindChunk(file, "fmt ", uFmtSize, "LWaveFile::OpenSource 'fmt ' subchunk not found!"))
        return false;
    if (uFmtSize < 14 || uFmtSize > kMaxFormatBytes) {
        LTrace("LWaveFile::OpenSource fmt too short or too long!");
        return false;
    }
    uint8_t body[kMaxFormatBytes];
    if (file.Read(body, uFmtSize) < int64_t(uFmtSize) || !format.Parse(body, uFmtSize)) {
        LTrace("LWaveFile::OpenSource fmt error!");
        return false;
    }
    if (uFmtSize & 1)
        file.Skip(1);
    uint32_t uDataBytes = 0;
    if (!FindChunk(file, "data", uDataBytes, "LWaveFile::OpenSource 'data' subchunk not found!"))
        return false;
    // In a 64-bit file 0xFFFFFFFF points at ds64; without a size there the
    // data runs to the end of the file, as in a file still being written.
    iDataBytes = uDataBytes == 0xFFFFFFFFu && uWideData > 0
        ? int64_t(std::min<uint64_t>(uWideData, INT64_MAX))
        : int64_t(uDataBytes);
    if (format.nChannels < 1 || format.nChannels > 255 || format.nSamplesPerSec < 1
        || format.nSamplesPerSec > 196000) {
        LTrace("LWaveFile::OpenSource nChannels or nSamplesPerSec is invalid");
        return false;
    }
    return true;
}

SourceHandle LWaveFile::OpenSource(const std::string& strPath)
{
    LFile file;
    if (!file.Open(strPath, LFile::Mode::Read)) {
        LTrace("LWaveFile::OpenSource Unable to Open File:%s", strPath.c_str());
        return MakeHandle<LSRCNull>();
    }
    LWaveHeader format;
    int64_t iDataBytes = 0;
    if (!ReadHeader(file, format, iDataBytes))
        return MakeHandle<LSRCNull>();
    int32_t iRate = int32_t(format.nSamplesPerSec);
    if (format.wFormatTag == 1 && format.wBitsPerSample <= 8)
        return MakeHandle<LSRCPCMFile8>(std::move(file), iRate, format.nChannels, iDataBytes);
    if (format.wFormatTag == 1 && format.wBitsPerSample <= 16)
        return MakeHandle<LSRCPCMFile16>(std::move(file), iRate, format.nChannels, iDataBytes);
    return MakeHandle<LSRCACMWave>(std::move(file), format.ToFormat(), iDataBytes);
}

SinkHandle LWaveFile::OpenSinkPCM(const std::string& strPath, int32_t iRate, int iChannels,
    int iBitsPerSample, int32_t iStartFrame)
{
    if (iBitsPerSample <= 8)
        return MakeHandle<LSNKPCMFile8>(strPath, iRate, iChannels, iStartFrame);
    if (iBitsPerSample <= 16)
        return MakeHandle<LSNKPCMFile16>(strPath, iRate, iChannels, iStartFrame);
    LTrace("LWaveFile::OpenSinkPCM BitsPerSample too large - use BUILD_SUPPORT_32BITSAMPLEFORMATS");
    return SinkHandle();
}

SinkHandle LWaveFile::OpenSink(const std::string& strPath, const LWaveHeader& format)
{
    // Wider PCM goes through the codec manager's PCM converter.
    if (format.wFormatTag == 1 && format.wBitsPerSample <= 16)
        return OpenSinkPCM(
            strPath, int32_t(format.nSamplesPerSec), format.nChannels, format.wBitsPerSample, 0);
    return MakeHandle<LSNKACMFile>(strPath, format.ToFormat());
}
