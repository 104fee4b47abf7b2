#include "cli/CliCommand.h"
#include "engine/LFileFormats.h"
#include "engine/LHeaderlessFormat.h"
#include "engine/LWavCodecs.h"

#include <cstdio>

int CliFormats(const std::vector<std::string>& args)
{
    if (!args.empty())
        return CliFail("formats takes no arguments");
    std::printf("file types (by extension, case ignored)\n");
    for (const LFileFormat& f : LFileFormats::All()) {
        std::string strExt;
        for (const char* szExt : f.aExt)
            if (szExt)
                strExt += (strExt.empty() ? "" : " ") + std::string(szExt);
        std::printf("  %-5s %-13s read%s%s\n", f.szName, strExt.c_str(),
            f.bWritable ? " write" : "",
            f.NeedsHeaderless() ? "  (--raw-format, --raw-rate, --raw-channels)"
                : f.fnDecode    ? "  (through an outside decoder)"
                                : "");
    }
    std::printf("wav codecs (convert --wav-format NAME)\n");
    for (const LWavCodec& c : LWavCodecs::List())
        std::printf("  %-10s %s%s\n", c.strName.c_str(), c.strTagName.c_str(),
            c.wBitsPerSample >= 8 ? (", " + std::to_string(c.wBitsPerSample) + " bit").c_str()
                                  : "");
    std::printf("headerless formats of .vox and .raw (--raw-format N)\n");
    for (int i = 0; i < LHeaderlessFormat::kCount; ++i)
        std::printf("  %d  %s\n", i, LHeaderlessFormat::GetName(i));
    return kExitOk;
}
