#include "audio/LAuFile.h"

#include "audio/LBigEndian.h"
#include "audio/LRawFileDataSoundSinkBase.h"
#include "audio/LSRCNull.h"
#include "audio/LSRCPCMFileBase.h"
#include "platform/LTrace.h"

#include <algorithm>
#include <cstring>

namespace {
constexpr uint32_t kHeaderBytes = 24;

// The encodings read, by the header's code.
struct AuEncoding {
    uint32_t uCode;
    LRawDataOpener fnOpen;
};
constexpr AuEncoding kEncodings[] = {
    { 1, OpenRawData<LEncUlaw> },
    { 2, OpenRawData<LEncPcm8S> },
    { 3, OpenRawData<LEncPcm16BE> },
    { 4, OpenRawData<LEncPcm24BE> },
    { 5, OpenRawData<LEncPcm32BE> },
    { 6, OpenRawData<LEncFloat32BE> },
    { 7, OpenRawData<LEncFloat64BE> },
    { 27, OpenRawData<LEncAlaw> },
};

int WriteHeaderAU(LRawFileDataSoundSinkBase& sink, bool bFinal)
{
    std::vector<uint8_t> v = { '.', 's', 'n', 'd' };
    PutBE32(v, kHeaderBytes);
    PutBE32(v, bFinal ? uint32_t(sink.GetDataBytes()) : 0xFFFFFFFFu);
    PutBE32(v, 3);
    PutBE32(v, uint32_t(sink.GetSampleRate()));
    PutBE32(v, uint32_t(sink.GetChannels()));
    sink.GetFile().Write(v.data(), int64_t(v.size()));
    return int(v.size());
}
} // namespace

SourceHandle LAuFile::OpenSource(const std::string& strPath)
{
    LFile file;
    uint8_t h[kHeaderBytes];
    if (!file.Open(strPath, LFile::Mode::Read) || file.Read(h, kHeaderBytes) < kHeaderBytes) {
        LTrace("LAuFile::OpenSource unable to read the first 24 bytes so failed");
        return MakeHandle<LSRCNull>();
    }
    if (std::memcmp(h, ".snd", 4) != 0) {
        LTrace("LAuFile::OpenSource auHeader.magic_Hdr != AUMAGICHEADER");
        return MakeHandle<LSRCNull>();
    }
    uint32_t uOffset = GetBE32(h + 4), uSize = GetBE32(h + 8), uEncoding = GetBE32(h + 12);
    uint32_t uRate = GetBE32(h + 16), uChannels = GetBE32(h + 20);
    int32_t iRate = uRate > 0x7FFFFFFF ? 0 : int32_t(uRate);
    int iChannels = uChannels > 255 ? 0 : int(uChannels);
    file.Seek(std::max(uOffset, kHeaderBytes));
    int64_t iData = uSize == 0xFFFFFFFFu ? LSRCPCMFileBase::kFollowFile : int64_t(uSize);
    for (const AuEncoding& e : kEncodings)
        if (e.uCode == uEncoding)
            return e.fnOpen(std::move(file), iRate, iChannels, iData);
    LTrace("LAuFile::OpenSource unsupported au encoding format =%u", uEncoding);
    return MakeHandle<LSRCNull>(
        "the AU encoding " + std::to_string(uEncoding) + " is not supported");
}

SinkHandle LAuFile::OpenSink(const std::string& strPath, int32_t iRate, int iChannels)
{
    // 0xFFFFFFFF in the size field means "unknown": one byte less is the most.
    constexpr LRawFileDataSoundSinkBase::Options kAuOptions { false, false, 0xFFFFFFFE };
    return MakeHandle<LRawFileDataSoundSink<LEncPcm16BE>>(
        strPath, iRate, iChannels, 0, WriteHeaderAU, kAuOptions);
}
