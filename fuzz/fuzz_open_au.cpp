#include "fuzz/FuzzOpen.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    return FuzzOpen(pData, nSize, ".au");
}
