#include "codecs/mp3/MP3InfoFrame.h"

#include <cstring>
#include <initializer_list>

namespace {

bool TagAt(const uint8_t* pFrame, size_t nBytes, size_t iOffset, const char* szTag)
{
    return iOffset + 4 <= nBytes && std::memcmp(pFrame + iOffset, szTag, 4) == 0;
}

} // namespace

bool MP3IsInfoFrame(const uint8_t* pFrame, size_t nBytes, const MP3Header& params)
{
    // Xing and Info follow the side information; encoders place them there
    // with or without a CRC before it. VBRI sits 32 bytes after the header.
    size_t iSide = 4 + size_t(params.SideInfoBytes());
    for (size_t iOffset : { iSide, iSide + (params.iProtection ? 0 : 2) })
        if (TagAt(pFrame, nBytes, iOffset, "Xing") || TagAt(pFrame, nBytes, iOffset, "Info"))
            return true;
    return TagAt(pFrame, nBytes, 36, "VBRI");
}
