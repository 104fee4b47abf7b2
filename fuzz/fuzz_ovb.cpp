// Batch scripts: any bytes are read, resolved and described without a
// crash, an allocation beyond the input or a read past the command table.
#include "features/LBatchScript.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    std::vector<CommandDataItem> items;
    std::string strError;
    if (ParseBatchScript(std::vector<uint8_t>(pData, pData + nSize), items, strError) != 0)
        return 0;
    for (const CommandDataItem& item : items) {
        LBatchStep step;
        LBatchCommands::Resolve(item, step, strError);
        LBatchCommands::Describe(item);
    }
    return 0;
}
