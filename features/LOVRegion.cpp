#include "features/LOVRegion.h"

#include "features/LRecordIo.h"

using namespace LRecordIo;

void LOVRegion::Store(uint8_t* p) const
{
    PutText(p, kTextSize, szName);
    PutText(p + 260, kTextSize, szFile);
    PutI32(p + 520, iStart);
    PutI32(p + 524, iEnd);
}

void LOVRegion::Load(const uint8_t* p)
{
    szName = GetText(p, kTextSize);
    szFile = GetText(p + 260, kTextSize);
    iStart = GetI32(p + 520);
    iEnd = GetI32(p + 524);
}
