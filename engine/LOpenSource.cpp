#include "engine/LOpenSource.h"

#include "audio/LSRCNull.h"
#include "engine/LFileFormats.h"

SourceHandle OpenSourceByExtension(
    const std::string& strPath, const LHeaderlessSettings& headerless)
{
    const LFileFormat* pFormat = LFileFormats::FindByPath(strPath);
    if (!pFormat)
        return MakeHandle<LSRCNull>();
    return pFormat->fnOpen(strPath, headerless);
}
