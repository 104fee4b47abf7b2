#include "features/LOVBookMark.h"

#include "features/LRecordIo.h"

using namespace LRecordIo;

void LOVBookMark::Store(uint8_t* p) const
{
    PutText(p, kTextSize, szName);
    PutText(p + 260, kTextSize, szFile);
    PutI32(p + 520, iPosition);
    p[524] = bTimesVisited;
    PutU32(p + 525, uLastVisited);
}

void LOVBookMark::Load(const uint8_t* p)
{
    szName = GetText(p, kTextSize);
    szFile = GetText(p + 260, kTextSize);
    iPosition = GetI32(p + 520);
    bTimesVisited = p[524];
    uLastVisited = GetU32(p + 525);
}

void LOVBookMark::Visit(uint32_t uNow)
{
    bTimesVisited = uint8_t(bTimesVisited + 1u);
    uLastVisited = uNow;
}
