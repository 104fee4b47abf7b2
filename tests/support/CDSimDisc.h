#pragma once

#include "support/TestSupport.h"

#include <cstdint>
#include <string>
#include <vector>

// Discs for the simulated CD drive: a raw image whose every byte is known
// and a description file naming it.
namespace CDSimDisc {

// Byte i of sector s of every image written here.
inline uint8_t Byte(uint32_t s, uint32_t i)
{
    return uint8_t(s * 7919u + i * 31u + (i >> 8) * 3u + 1u);
}

// The image's bytes of sectors [uFrom, uFrom + uCount).
inline std::vector<uint8_t> Sectors(uint32_t uFrom, uint32_t uCount)
{
    std::vector<uint8_t> v;
    v.reserve(size_t(uCount) * 2352);
    for (uint32_t s = uFrom; s < uFrom + uCount; ++s)
        for (uint32_t i = 0; i < 2352; ++i)
            v.push_back(Byte(s, i));
    return v;
}

// Writes strName.raw with uSectors sectors and strName.cd describing the
// disc by strLines (after its image line); the description's path.
inline std::string Write(const TestSupport::TempDir& dir, const std::string& strName,
    uint32_t uSectors, const std::string& strLines)
{
    TestSupport::WriteAll(dir.File(strName + ".raw"), Sectors(0, uSectors));
    const std::string strText = "# a test disc\nimage " + strName + ".raw\n" + strLines;
    const std::string strPath = dir.File(strName + ".cd");
    TestSupport::WriteAll(strPath, std::vector<uint8_t>(strText.begin(), strText.end()));
    return strPath;
}

} // namespace CDSimDisc
