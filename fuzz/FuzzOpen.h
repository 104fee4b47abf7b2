#pragma once

// Any bytes as a file of one format: opening must fail cleanly or give a
// reader that reads and seeks within bounds.
#include "engine/LOpenSource.h"

#include <cstdio>
#include <string>
#include <unistd.h>
#include <vector>

inline int FuzzOpen(const uint8_t* pData, size_t nSize, const char* szExtension)
{
    static const std::string strPath
        = "/tmp/orvenna-fuzz-" + std::to_string(getpid()) + szExtension;
    FILE* f = std::fopen(strPath.c_str(), "wb");
    if (!f)
        return 0;
    if (nSize)
        std::fwrite(pData, 1, nSize, f);
    std::fclose(f);
    LHeaderlessSettings headerless;
    headerless.iFormat = nSize ? pData[0] % 7 : 0;
    headerless.iChannels = nSize > 1 ? 1 + pData[1] % 2 : 1;
    SourceHandle h = OpenSourceByExtension(strPath, headerless);
    std::vector<int32_t> buf(size_t(h->GetChannels()) * 2048);
    for (int i = 0; i < 4; ++i)
        h->Read(buf.data(), 2048);
    h->Seek(h->GetLength() - 10);
    h->Read(buf.data(), 2048);
    h->Seek(h->GetLength() / 2);
    h->Read(buf.data(), 1000);
    h->Seek(-5);
    h->Read(buf.data(), 7);
    return 0;
}
