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

// The compression types read, by the AIFC COMM chunk's type (plain AIFF is
// "NONE"). Integer types open by the bytes of a sample (bits rounded up to
// whole bytes, the samples left-justified); the others whatever the bits say.
struct AifCompression {
    char szType[5];
    LRawDataOpener fnAnyBits;
    const LRawDataOpener* pByBytes; // 1 to 4 bytes
};
constexpr LRawDataOpener kBigEndian[4] = { OpenRawData<LEncPcm8S>, OpenRawData<LEncPcm16BE>,
    OpenRawData<LEncPcm24BE>, OpenRawData<LEncPcm32BE> };
constexpr LRawDataOpener kLittleEndian[4] = { OpenRawData<LEncPcm8S>, OpenRawData<LEncPcm16LE>,
    OpenRawData<LEncPcm24LE>, OpenRawData<LEncPcm32LE> };
constexpr AifCompression kCompressions[] = {
    { "NONE", nullptr, kBigEndian },
    { "twos", nullptr, kBigEndian },
    { "sowt", nullptr, kLittleEndian },
    { "fl32", OpenRawData<LEncFloat32BE>, nullptr },
    { "FL32", OpenRawData<LEncFloat32BE>, nullptr },
    { "fl64", OpenRawData<LEncFloat64BE>, nullptr },
    { "FL64", OpenRawData<LEncFloat64BE>, nullptr },
    { "alaw", OpenRawData<LEncAlaw>, nullptr },
    { "ALAW", OpenRawData<LEncAlaw>, nullptr },
    { "ulaw", OpenRawData<LEncUlaw>, nullptr },
    { "ULAW", OpenRawData<LEncUlaw>, nullptr },
};

// Header text for a message: bytes outside printable ASCII become '?'.
std::string Printable(const uint8_t* p, size_t n)
{
    std::string s(p, p + n);
    for (char& c : s)
        c = c >= 0x20 && c < 0x7F ? c : '?';
    return s;
}

// The reader for a COMM chunk's compression type and bits, or null with
// the reason in strWhy (naming the type and its name, when it has one).
LRawDataOpener FindOpener(
    const uint8_t* pType, const std::string& strName, int iBits, std::string& strWhy)
{
    for (const AifCompression& c : kCompressions) {
        if (std::memcmp(c.szType, pType, 4) != 0)
            continue;
        if (c.fnAnyBits)
            return c.fnAnyBits;
        if (iBits >= 1 && iBits <= 32)
            return c.pByBytes[(iBits + 7) / 8 - 1];
        strWhy = "AIFF samples of " + std::to_string(iBits) + " bits are not supported";
        return nullptr;
    }
    strWhy = "the AIFC compression type \"" + Printable(pType, 4) + "\""
        + (strName.empty() ? "" : " (" + strName + ")") + " is not supported";
    return nullptr;
}

// What AIFC adds to the COMM chunk when written: no compression, and its
// name as a Pascal string padded to an even length.
constexpr uint8_t kAifcNone[] = { 'N', 'O', 'N', 'E', 14, 'n', 'o', 't', ' ', 'c', 'o', 'm', 'p',
    'r', 'e', 's', 's', 'e', 'd', 0 };
// The AIFC format version chunk, whole.
constexpr uint8_t kAifcVersion[] = { 'F', 'V', 'E', 'R', 0, 0, 0, 4, 0xA2, 0x80, 0x51, 0x40 };
// Header bytes besides the data that FORM's size counts.
constexpr uint32_t kAiffFormExtra = 46;
constexpr uint32_t kAifcFormExtra = kAiffFormExtra + sizeof kAifcVersion + sizeof kAifcNone;

int WriteHeader(LRawFileDataSoundSinkBase& sink, bool bFinal, bool bAifc)
{
    uint32_t uData = bFinal ? uint32_t(sink.GetDataBytes()) : 0;
    std::vector<uint8_t> v = { 'F', 'O', 'R', 'M' };
    PutBE32(v, uData + (bAifc ? kAifcFormExtra : kAiffFormExtra));
    v.insert(v.end(), { 'A', 'I', 'F', bAifc ? uint8_t('C') : uint8_t('F') });
    if (bAifc)
        v.insert(v.end(), std::begin(kAifcVersion), std::end(kAifcVersion));
    v.insert(v.end(), { 'C', 'O', 'M', 'M' });
    PutBE32(v, 18 + (bAifc ? sizeof kAifcNone : 0));
    PutBE16(v, uint32_t(sink.GetChannels()));
    PutBE32(v, bFinal ? uint32_t(sink.GetFramesWritten()) : 0);
    PutBE16(v, 16);
    uint8_t aRate[10];
    LAifFile::EncodeRate(sink.GetSampleRate(), aRate);
    v.insert(v.end(), aRate, aRate + 10);
    if (bAifc)
        v.insert(v.end(), std::begin(kAifcNone), std::end(kAifcNone));
    v.insert(v.end(), { 'S', 'S', 'N', 'D' });
    PutBE32(v, bFinal ? uData + 8 : 0xFFFFFFFFu);
    PutBE32(v, 0);
    PutBE32(v, 0);
    sink.GetFile().Write(v.data(), int64_t(v.size()));
    return int(v.size());
}
int WriteHeaderAIFF(LRawFileDataSoundSinkBase& sink, bool bFinal)
{
    return WriteHeader(sink, bFinal, false);
}
int WriteHeaderAIFC(LRawFileDataSoundSinkBase& sink, bool bFinal)
{
    return WriteHeader(sink, bFinal, true);
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
    // COMM: 18 bytes, then in AIFC the compression type and its name.
    uint8_t h[18 + 4 + 256];
    if (!file.Open(strPath, LFile::Mode::Read) || file.Read(h, 12) < 12) {
        LTrace("AIFFOpenHeader unable to read the first 12 bytes so failed");
        return MakeHandle<LSRCNull>();
    }
    const bool bAifc = std::memcmp(h + 8, "AIFC", 4) == 0;
    if (std::memcmp(h, "FORM", 4) != 0 || (!bAifc && std::memcmp(h + 8, "AIFF", 4) != 0)) {
        LTrace("AIFFOpenHeader FORM header not found");
        return MakeHandle<LSRCNull>();
    }
    uint32_t uSize = 0;
    if (!FindChunk(file, "COMM", uSize))
        return MakeHandle<LSRCNull>();
    const uint32_t uNeed = bAifc ? 22 : 18, uTake = std::min<uint32_t>(uSize, sizeof h);
    if (uSize < uNeed || file.Read(h, uTake) < uTake) {
        LTrace("AIFFOpenHeader COMM header does not contain %u bytes", uNeed);
        return MakeHandle<LSRCNull>();
    }
    file.Skip(((int64_t(uSize) + 1) & ~int64_t(1)) - uTake);
    int iChannels = GetBE16(h);
    int iBits = GetBE16(h + 6);
    int32_t iRate = DecodeRate(h + 8);
    const std::string strName
        = bAifc && uTake > 22 ? Printable(h + 23, std::min<size_t>(h[22], uTake - 23)) : "";
    std::string strWhy;
    LRawDataOpener fnOpen = FindOpener(
        bAifc ? h + 18 : reinterpret_cast<const uint8_t*>("NONE"), strName, iBits, strWhy);
    if (!fnOpen) {
        LTrace("LAifFile::OpenSource %s", strWhy.c_str());
        return MakeHandle<LSRCNull>(strWhy);
    }
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
    return fnOpen(std::move(file), iRate, iChannels, iData);
}

SinkHandle LAifFile::OpenSink(const std::string& strPath, int32_t iRate, int iChannels, Form form)
{
    // Chunk sizes are signed 32-bit (readers refuse negative ones), and FORM
    // counts the header besides the data.
    const bool bAifc = form == Form::Aifc;
    const LRawFileDataSoundSinkBase::Options options { false, false,
        INT32_MAX - int64_t(bAifc ? kAifcFormExtra : kAiffFormExtra) };
    return MakeHandle<LRawFileDataSoundSink<LEncPcm16BE>>(
        strPath, iRate, iChannels, 0, bAifc ? WriteHeaderAIFC : WriteHeaderAIFF, options);
}
