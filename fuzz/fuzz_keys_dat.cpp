#include "features/LKeyMacros.h"

#include <cstdlib>

// Any bytes as keys.dat: reading keeps what is whole and never reads past
// the end; what was read writes back to bytes that read the same.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    LKeyMacros macros;
    if (!macros.Parse(pData, nSize))
        return 0;
    const std::vector<uint8_t> bytes = macros.Serialize();
    LKeyMacros again;
    if (!again.Parse(bytes.data(), bytes.size()) || again.Keys() != macros.Keys())
        std::abort();
    return 0;
}
