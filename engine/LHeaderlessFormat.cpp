#include "engine/LHeaderlessFormat.h"

#include "audio/LRawFileDataSoundSinkBase.h"
#include "audio/LSRCNull.h"
#include "audio/LSRCPCMFileBase.h"
#include "audio/LSRCVOX.h"
#include "platform/LSettings.h"

#include <algorithm>

namespace {
template <class Enc> SourceHandle Raw(const std::string& strPath, const LHeaderlessSettings& s)
{
    LFile file;
    file.Open(strPath, LFile::Mode::Read);
    return MakeHandle<LRawFileDataSoundSource<Enc>>(
        std::move(file), s.iRate, s.iChannels, LSRCPCMFileBase::kFollowFile);
}

template <class Enc>
SinkHandle RawSink(const std::string& strPath, const LHeaderlessSettings& s, int32_t iRate)
{
    return MakeHandle<LRawFileDataSoundSink<Enc>>(strPath, iRate, s.iChannels, 0);
}

SourceHandle Vox(const std::string& strPath, const LHeaderlessSettings& s)
{
    return MakeHandle<LSRCVOX>(strPath, s.iRate);
}

SinkHandle VoxSink(const std::string& strPath, const LHeaderlessSettings& s, int32_t)
{
    return MakeHandle<LSNKVOX>(strPath, s.iRate);
}

// One row per entry of the "File Properties" list, in its order.
struct Row {
    const char* szName;
    SourceHandle (*fnOpen)(const std::string&, const LHeaderlessSettings&);
    SinkHandle (*fnOpenSink)(const std::string&, const LHeaderlessSettings&, int32_t);
};
const Row kRows[LHeaderlessFormat::kCount] = {
    { "Dialogic ADPCM", Vox, VoxSink },
    { "G711 uLaw", Raw<LEncUlaw>, RawSink<LEncUlaw> },
    { "G711 aLaw", Raw<LEncAlaw>, RawSink<LEncAlaw> },
    { "16 bit PCM (LE)", Raw<LEncPcm16LE>, RawSink<LEncPcm16LE> },
    { "8 bit unsigned", Raw<LEncPcm8U>, RawSink<LEncPcm8U> },
    { "8 bit signed", Raw<LEncPcm8S>, RawSink<LEncPcm8S> },
    { "16 bit PCM (BE)", Raw<LEncPcm16BE>, RawSink<LEncPcm16BE> },
};

bool IsRow(int iFormat)
{
    return iFormat >= 0 && iFormat < LHeaderlessFormat::kCount;
}
} // namespace

const char* LHeaderlessFormat::GetName(int iFormat)
{
    return IsRow(iFormat) ? kRows[iFormat].szName : "";
}

LHeaderlessSettings LHeaderlessFormat::Load()
{
    LSettings& st = LSettings::Get();
    LHeaderlessSettings s;
    s.iRate = st.GetInt("Settings", "VoxRawSampleRate", 8000);
    s.iFormat = std::clamp(st.GetInt("Settings", "VoxRawFileFormat", 0), 0, kCount - 1);
    s.iChannels = std::clamp(st.GetInt("Settings", "VoxRawFileChannels", 1), 1, 2);
    return s;
}

void LHeaderlessFormat::Store(const LHeaderlessSettings& s)
{
    LSettings& st = LSettings::Get();
    st.SetInt("Settings", "VoxRawSampleRate", s.iRate);
    st.SetInt("Settings", "VoxRawFileFormat", s.iFormat);
    st.SetInt("Settings", "VoxRawFileChannels", s.iChannels);
}

SourceHandle LHeaderlessFormat::OpenSource(const std::string& strPath, const LHeaderlessSettings& s)
{
    if (!IsRow(s.iFormat))
        return MakeHandle<LSRCNull>();
    return kRows[s.iFormat].fnOpen(strPath, s);
}

SinkHandle LHeaderlessFormat::OpenSink(
    const std::string& strPath, const LHeaderlessSettings& s, int32_t iRate)
{
    return IsRow(s.iFormat) ? kRows[s.iFormat].fnOpenSink(strPath, s, iRate) : SinkHandle();
}
