// Compressed WAV files with fuzzed format fields, extra bytes and data: the
// codec manager must refuse bad formats or decode within bounds, and reads
// and seeks of the reader stay inside its buffers.
#include "audio/LWaveFile.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

const uint16_t kTags[] = { 0x0001, 0x0002, 0x0003, 0x0006, 0x0007, 0x0011, 0x0031, 0x0055, 0xFFFE };

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

} // namespace

// Input: tag selector, channels, block align (2), bits, extra size, extra
// bytes, then the data chunk's bytes.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    if (nSize < 6)
        return 0;
    uint16_t wTag = kTags[pData[0] % (sizeof kTags / sizeof kTags[0])];
    uint16_t nCh = uint16_t(pData[1] % 3 + 1);
    uint16_t nBlockAlign = uint16_t(pData[2] | (pData[3] << 8));
    uint16_t wBits = pData[4];
    size_t nExtra = std::min<size_t>(pData[5], nSize - 6);
    std::vector<uint8_t> v; // the file
    v.insert(v.end(), { 'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ' });
    Put32(v, uint32_t(18 + nExtra));
    Put16(v, wTag);
    Put16(v, nCh);
    Put32(v, 8000);
    Put32(v, 4000);
    Put16(v, nBlockAlign);
    Put16(v, wBits);
    Put16(v, uint32_t(nExtra));
    v.insert(v.end(), pData + 6, pData + 6 + nExtra);
    if (nExtra & 1)
        v.push_back(0);
    size_t nBody = nSize - 6 - nExtra;
    v.insert(v.end(), { 'd', 'a', 't', 'a' });
    Put32(v, uint32_t(nBody));
    v.insert(v.end(), pData + 6 + nExtra, pData + nSize);

    static const std::string strPath = "/tmp/orvenna-fuzz-acm-" + std::to_string(getpid()) + ".wav";
    FILE* f = std::fopen(strPath.c_str(), "wb");
    if (!f)
        return 0;
    std::fwrite(v.data(), 1, v.size(), f);
    std::fclose(f);
    SourceHandle h = LWaveFile::OpenSource(strPath);
    std::vector<int32_t> buf(size_t(h->GetChannels()) * 8192);
    h->Read(buf.data(), 8192);
    h->Seek(h->GetLength() / 2);
    h->Read(buf.data(), 3000);
    h->Seek(h->GetLength() + 5);
    h->Read(buf.data(), 10);
    h->Seek(-5);
    h->Read(buf.data(), 8192);
    while (h->GetPosition() < h->GetLength())
        h->Read(buf.data(), 8192);
    return 0;
}
