#include "engine/LOpenSource.h"

#include "audio/LSRCNull.h"
#include "engine/LDecodedSource.h"
#include "engine/LFileFormats.h"

namespace {
// The outside decoder's run, with a progress view of its own.
struct LDecodeToSource {
    const LFileFormat& format;
    std::string strPath;
    SourceHandle hSource {};
};

int ProcessBody(LProgressDialog& dlg, LDecodeToSource& d)
{
    return OpenDecodedSource(dlg, d.format, d.strPath, d.hSource);
}

SourceHandle OpenDecoded(const LFileFormat& format, const std::string& strPath)
{
    LDecodeToSource decode { format, strPath };
    Process<LDecodeToSource> run("Loading Audio File Source", decode);
    run.Run();
    if (run.GetResult() != 0)
        return MakeHandle<LSRCNull>();
    return decode.hSource;
}
} // namespace

SourceHandle OpenSourceByExtension(
    const std::string& strPath, const LHeaderlessSettings& headerless)
{
    const LFileFormat* pFormat = LFileFormats::FindByPath(strPath);
    if (!pFormat)
        return MakeHandle<LSRCNull>();
    if (pFormat->fnDecode)
        return OpenDecoded(*pFormat, strPath);
    return pFormat->fnOpen(strPath, headerless);
}
