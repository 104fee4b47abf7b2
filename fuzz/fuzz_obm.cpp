// Any bytes as a bookmark list file: read whole records only, never past
// the text fields.
#include "features/LBookMarkList.h"
#include "fuzz/FuzzFile.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    LBookMarkList list;
    list.LoadFile(FuzzFile(pData, nSize, ".obm"));
    for (const LOVBookMark& b : list.Items())
        if (b.szName.size() > 259 || b.szFile.size() > 259)
            std::abort();
    return 0;
}
