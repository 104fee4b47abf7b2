#include "audio/LSRCNull.h"

#include <cstring>

LSRCNull::LSRCNull() : LSoundSourceBase(11025, 1, 0x200000) { SetError(); }

void LSRCNull::Read(int32_t* pBuffer, int32_t iFrames)
{
    if (iFrames > 0)
        std::memset(pBuffer, 0, size_t(iFrames) * sizeof(int32_t));
}
