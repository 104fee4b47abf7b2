#include "audio/LAifFile.h"

#include "audio/LBigEndian.h"
#include "audio/LRawFileDataSoundSinkBase.h"
#include "audio/LSRCNull.h"
#include "audio/LSRCPCMFileBase.h"
#include "platform/LTrace.h"

#include <algorithm>
#include <cstring>

namespace {

bool FindChunk(LFile& file, const char* szId, uint32_t& uSize)
{
    for (;;) {
        uint8_t h[8];
        if (file.Read(h, 8) < 8) {
            LTrace("AIFFFindChunk end of file reached before chunk found");
            return false;
        }
        uSize = GetBE32(h + 4);
        if (std::memcmp(h, szId, 4) == 0)
            return true;
        if (int32_t(uSize) < 0) {
            LTrace("AIFFFindChunk pChunk->ckSize < 0");
            return false;
        }
        file.Skip((int64_t(uSize) + 1) & ~int64_t(1));
    }
}

int WriteHeaderAIFF(LRawFileDataSoundSinkBase& sink, bool bFinal)
{
    uint32_t uData = bFinal ? uint32_t(sink.GetDataBytes()) : 0;
    std::vector<uint8_t> v = { 'F', 'O', 'R', 'M' };
    PutBE32(v, uData + 46);
    v.insert(v.end(), { 'A', 'I', 'F', 'F', 'C', 'O', 'M', 'M' });
    PutBE32(v, 18);
    PutBE16(v, uint32_t(sink.GetChannels()));
    PutBE32(v, bFinal ? uint32_t(sink.GetFramesWritten()) : 0);
    PutBE16(v, 16);
    uint8_t aRate[10];
    LAifFile::EncodeRate(sink.GetSampleRate(), aRate);
    v.insert(v.end(), aRate, aRate + 10);
    v.insert(v.end(), { 'S', 'S', 'N', 'D' });
    PutBE32(v, bFinal ? uData + 8 : 0xFFFFFFFFu);
    PutBE32(v, 0);
    PutBE32(v, 0);
    sink.GetFile().Write(v.data(), int64_t(v.size()));
    return int(v.size());
}

} // namespace

void LAifFile::EncodeRate(int32_t iRate, uint8_t a[10])
{
    std::memset(a, 0, 10);
    if (iRate < 1)
        return;
    uint32_t uMant = uint32_t(iRate);
    int iLog2 = 31;
    while (!(uMant & 0x80000000u)) {
        uMant <<= 1;
        --iLog2;
    }
    a[0] = 0x40;
    a[1] = uint8_t(iLog2 - 1);
    for (int i = 0; i < 4; ++i)
        a[2 + i] = uint8_t(uMant >> (24 - 8 * i));
}

int32_t LAifFile::DecodeRate(const uint8_t a[10])
{
    int iShift = 30 - a[1];
    uint32_t uMant = GetBE32(a + 2);
    if (a[0] != 0x40 || iShift < 0 || iShift > 31)
        return 0;
    uint32_t uRate = iShift == 0 ? uMant : (uMant >> iShift) + ((uMant >> (iShift - 1)) & 1);
    return uRate > 0x7FFFFFFF ? 0 : int32_t(uRate);
}

SourceHandle LAifFile::OpenSource(const std::string& strPath)
{
    LFile file;
    uint8_t h[18];
    if (!file.Open(strPath, LFile::Mode::Read) || file.Read(h, 12) < 12) {
        LTrace("AIFFOpenHeader unable to read the first 12 bytes so failed");
        return MakeHandle<LSRCNull>();
    }
    if (std::memcmp(h, "FORM", 4) != 0 || std::memcmp(h + 8, "AIFF", 4) != 0) {
        LTrace("AIFFOpenHeader FORM header not found");
        return MakeHandle<LSRCNull>();
    }
    uint32_t uSize = 0;
    if (!FindChunk(file, "COMM", uSize))
        return MakeHandle<LSRCNull>();
    if (uSize < 18 || file.Read(h, 18) < 18) {
        LTrace("AIFFOpenHeader COMM header does not contain 18 bytes");
        return MakeHandle<LSRCNull>();
    }
    file.Skip(((int64_t(uSize) + 1) & ~int64_t(1)) - 18);
    int iChannels = GetBE16(h);
    int iBits = GetBE16(h + 6);
    int32_t iRate = DecodeRate(h + 8);
    uint32_t uSsnd = 0;
    uint8_t aOffset[8];
    if (!FindChunk(file, "SSND", uSsnd) || file.Read(aOffset, 8) < 8)
        return MakeHandle<LSRCNull>();
    // The sound data begins "offset" bytes after the offset and block-size
    // fields; files that use it (for alignment) would otherwise start with
    // those bytes as samples.
    const uint32_t uOffset = GetBE32(aOffset);
    if (uOffset > 0 && !file.Seek(file.Tell() + uOffset))
        return MakeHandle<LSRCNull>();
    int64_t iData = uSsnd == 0xFFFFFFFFu
        ? LSRCPCMFileBase::kFollowFile
        : std::max<int64_t>(0, int64_t(uSsnd) - 8 - int64_t(uOffset));
    if (iBits > 16) {
        LTrace("LAifFile::OpenSource Does not yet support 32 bit samples");
        return MakeHandle<LSRCNull>();
    }
    if (iBits <= 8)
        return MakeHandle<LRawFileDataSoundSource<LEncPcm8S>>(
            std::move(file), iRate, iChannels, iData);
    return MakeHandle<LRawFileDataSoundSource<LEncPcm16BE>>(
        std::move(file), iRate, iChannels, iData);
}

SinkHandle LAifFile::OpenSink(const std::string& strPath, int32_t iRate, int iChannels)
{
    // Chunk sizes are signed 32-bit (readers refuse negative ones), and FORM
    // counts 46 bytes of header besides the data.
    constexpr LRawFileDataSoundSinkBase::Options kAiffOptions { false, false, INT32_MAX - 46 };
    return MakeHandle<LRawFileDataSoundSink<LEncPcm16BE>>(
        strPath, iRate, iChannels, 0, WriteHeaderAIFF, kAiffOptions);
}
