// Any bytes as a WAV file: opening must fail cleanly or give a reader that
// reads and seeks within bounds.
#include "audio/LWaveFile.h"

#include <cstdio>
#include <string>
#include <unistd.h>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    static const std::string strPath = "/tmp/orvenna-fuzz-" + std::to_string(getpid()) + ".wav";
    FILE* f = std::fopen(strPath.c_str(), "wb");
    if (!f)
        return 0;
    if (nSize)
        std::fwrite(pData, 1, nSize, f);
    std::fclose(f);
    SourceHandle h = LWaveFile::OpenSource(strPath);
    std::vector<int32_t> buf(size_t(h->GetChannels()) * 1024);
    h->Read(buf.data(), 1024);
    h->Seek(h->GetLength() - 10);
    h->Read(buf.data(), 1024);
    h->Seek(-5);
    h->Read(buf.data(), 7);
    return 0;
}
