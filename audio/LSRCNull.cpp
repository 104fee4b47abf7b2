#include "audio/LSRCNull.h"

#include <utility>

LSRCNull::LSRCNull(std::string strWhyIn)
    : LSoundSourceBase(11025, 1, 0x200000)
    , strWhy(std::move(strWhyIn))
{
    SetError();
}
