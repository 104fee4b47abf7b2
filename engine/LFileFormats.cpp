#include "engine/LFileFormats.h"

#include "audio/LAifFile.h"
#include "audio/LAuFile.h"
#include "audio/LGSMFileSink.h"
#include "audio/LGSMFileSource.h"
#include "audio/LMP3Source.h"
#include "audio/LWaveFile.h"
#include "engine/LHeaderlessFormat.h"
#include "platform/LFile.h"

#include <algorithm>
#include <cctype>

namespace {
using Headerless = const LHeaderlessSettings&;
using Request = const LSinkRequest&;

SourceHandle OpenWav(const std::string& s, Headerless)
{
    return LWaveFile::OpenSource(s);
}
SourceHandle OpenMp3(const std::string& s, Headerless)
{
    return MakeHandle<LMP3Source>(s);
}
SourceHandle OpenAif(const std::string& s, Headerless)
{
    return LAifFile::OpenSource(s);
}
SourceHandle OpenAu(const std::string& s, Headerless)
{
    return LAuFile::OpenSource(s);
}
SourceHandle OpenGsm(const std::string& s, Headerless)
{
    return MakeHandle<LGSMFileSource>(s);
}

SinkHandle WavSink(const std::string& s, Request r)
{
    return LWaveFile::OpenSink(s, LWaveHeader::FromFormat(r.wavFormat));
}
SinkHandle HeaderlessSink(const std::string& s, Request r)
{
    return LHeaderlessFormat::OpenSink(s, r.headerless, r.iRate);
}
SinkHandle GsmSink(const std::string& s, Request)
{
    return MakeHandle<LGSMFileSink>(s);
}
SinkHandle AifSink(const std::string& s, Request r)
{
    return LAifFile::OpenSink(s, r.iRate, r.iChannels);
}
SinkHandle AifcSink(const std::string& s, Request r)
{
    return LAifFile::OpenSink(s, r.iRate, r.iChannels, LAifFile::Form::Aifc);
}
SinkHandle AuSink(const std::string& s, Request r)
{
    return LAuFile::OpenSink(s, r.iRate, r.iChannels);
}

std::string Upper(std::string s)
{
    std::transform(
        s.begin(), s.end(), s.begin(), [](unsigned char c) { return char(std::toupper(c)); });
    return s;
}

std::vector<std::string> Filters(bool bWriting)
{
    std::string strLower, strUpper;
    std::vector<std::string> v { "" };
    for (const LFileFormat& f : LFileFormats::All()) {
        if (bWriting && !f.bWritable)
            continue;
        for (const char* szExt : f.aExt) {
            if (szExt) {
                strLower += std::string(" *") + szExt;
                strUpper += " *" + Upper(szExt);
            }
        }
        v.push_back(f.szFilter);
    }
    v.front() = "Audio Files (" + strLower.substr(1) + strUpper + ")";
    return v;
}

std::vector<LFileFormat>& Rows()
{
    using S = LFormatSettings;
    static std::vector<LFileFormat> rows = {
        { "wav", { ".wav" }, "Wave Files(*.wav)", S::WaveFormat, true, OpenWav, WavSink },
        { "mp3", { ".mp3" }, "MPEG Layer-3 Files(*.mp3)", S::Mp3Encoder, true, OpenMp3, nullptr },
        { "vox", { ".vox" }, "Vox Files(*.vox)", S::Headerless, true, LHeaderlessFormat::OpenSource,
            HeaderlessSink },
        { "raw", { ".raw" }, "Raw Audio Files(*.raw)", S::Headerless, true,
            LHeaderlessFormat::OpenSource, HeaderlessSink },
        { "gsm", { ".gsm" }, "GSM Files(*.gsm)", S::None, true, OpenGsm, GsmSink },
        { "aiff", { ".aif", ".aiff" }, "Apple AIF Files(*.aif)", S::None, true, OpenAif, AifSink },
        { "au", { ".au" }, "Sun AU Files(*.au)", S::None, true, OpenAu, AuSink },
        { "aifc", { ".aifc" }, "Apple AIFC Files(*.aifc)", S::None, true, OpenAif, AifcSink },
    };
    return rows;
}
} // namespace

const std::vector<LFileFormat>& LFileFormats::All()
{
    return Rows();
}

void LFileFormats::Register(const std::vector<LFileFormat>& added)
{
    std::vector<LFileFormat>& rows = Rows();
    for (const LFileFormat& row : added) {
        auto it = std::find_if(rows.begin(), rows.end(),
            [&row](const LFileFormat& f) { return std::string(f.szName) == row.szName; });
        if (it != rows.end())
            *it = row;
        else
            rows.push_back(row);
    }
}

const LFileFormat* LFileFormats::FindByPath(const std::string& strPath)
{
    const std::string strExt = LFile::GetExtensionLower(strPath);
    for (const LFileFormat& f : All())
        for (const char* szExt : f.aExt)
            if (szExt && strExt == szExt)
                return &f;
    return nullptr;
}

std::vector<std::string> LFileFormats::OpenFilters()
{
    return Filters(false);
}

std::vector<std::string> LFileFormats::SaveFilters()
{
    return Filters(true);
}
