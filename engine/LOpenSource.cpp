#include "engine/LOpenSource.h"
#include "audio/LAifFile.h"
#include "audio/LAuFile.h"
#include "audio/LGSMFileSource.h"
#include "audio/LMP3Source.h"
#include "audio/LSRCNull.h"
#include "audio/LWaveFile.h"
#include "engine/LHeaderlessFormat.h"
#include "platform/LFile.h"

SourceHandle OpenSourceByExtension(const std::string& strPath, const LHeaderlessSettings& headerless)
{
    std::string strExt = LFile::GetExtensionLower(strPath);
    if (strExt == ".wav")
        return LWaveFile::OpenSource(strPath);
    if (strExt == ".mp3")
        return MakeHandle<LMP3Source>(strPath);
    if (strExt == ".aif" || strExt == ".aiff")
        return LAifFile::OpenSource(strPath);
    if (strExt == ".au")
        return LAuFile::OpenSource(strPath);
    if (strExt == ".gsm")
        return MakeHandle<LGSMFileSource>(strPath);
    if (strExt == ".vox" || strExt == ".raw")
        return LHeaderlessFormat::OpenSource(strPath, headerless);
    return MakeHandle<LSRCNull>();
}
