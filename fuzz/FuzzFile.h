#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

// Writes the fuzzer's bytes to a private file of the given extension.
inline std::string FuzzFile(const uint8_t* pData, size_t nSize, const char* szExtension)
{
    const std::string strPath = "/tmp/orvenna-fuzz-" + std::to_string(getpid()) + szExtension;
    if (FILE* f = std::fopen(strPath.c_str(), "wb")) {
        if (nSize)
            std::fwrite(pData, 1, nSize, f);
        std::fclose(f);
    }
    return strPath;
}
