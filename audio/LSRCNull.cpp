#include "audio/LSRCNull.h"

LSRCNull::LSRCNull()
    : LSoundSourceBase(11025, 1, 0x200000)
{
    SetError();
}
