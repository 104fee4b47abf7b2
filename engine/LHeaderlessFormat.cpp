#include "engine/LHeaderlessFormat.h"
#include "audio/LRawFileDataSoundSinkBase.h"
#include "audio/LSRCNull.h"
#include "audio/LSRCPCMFileBase.h"
#include "audio/LSRCVOX.h"
#include "platform/LSettings.h"

#include <algorithm>

namespace {
const char* const kNames[LHeaderlessFormat::kCount] = {
    "Dialogic ADPCM", "G711 uLaw", "G711 aLaw", "16 bit PCM (LE)", "8 bit unsigned", "8 bit signed",
    "16 bit PCM (BE)"};

template <class Enc>
SourceHandle Raw(LFile&& file, const LHeaderlessSettings& s)
{
    return MakeHandle<LRawFileDataSoundSource<Enc>>(std::move(file), s.iRate, s.iChannels,
                                                   LSRCPCMFileBase::kFollowFile);
}

template <class Enc>
SinkHandle RawSink(const std::string& strPath, const LHeaderlessSettings& s, int32_t iRate)
{
    return MakeHandle<LRawFileDataSoundSink<Enc>>(strPath, iRate, s.iChannels, 0);
}
} // namespace

const char* LHeaderlessFormat::GetName(int iFormat)
{
    return iFormat >= 0 && iFormat < kCount ? kNames[iFormat] : "";
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
    if (s.iFormat == 0)
        return MakeHandle<LSRCVOX>(strPath, s.iRate);
    LFile file;
    file.Open(strPath, LFile::Mode::Read);
    switch (s.iFormat) {
    case 1: return Raw<LEncUlaw>(std::move(file), s);
    case 2: return Raw<LEncAlaw>(std::move(file), s);
    case 3: return Raw<LEncPcm16LE>(std::move(file), s);
    case 4: return Raw<LEncPcm8U>(std::move(file), s);
    case 5: return Raw<LEncPcm8S>(std::move(file), s);
    case 6: return Raw<LEncPcm16BE>(std::move(file), s);
    default: return MakeHandle<LSRCNull>();
    }
}

SinkHandle LHeaderlessFormat::OpenSink(const std::string& strPath, const LHeaderlessSettings& s,
                                       int32_t iRate)
{
    switch (s.iFormat) {
    case 0: return MakeHandle<LSNKVOX>(strPath, s.iRate);
    case 1: return RawSink<LEncUlaw>(strPath, s, iRate);
    case 2: return RawSink<LEncAlaw>(strPath, s, iRate);
    case 3: return RawSink<LEncPcm16LE>(strPath, s, iRate);
    case 4: return RawSink<LEncPcm8U>(strPath, s, iRate);
    case 5: return RawSink<LEncPcm8S>(strPath, s, iRate);
    case 6: return RawSink<LEncPcm16BE>(strPath, s, iRate);
    default: return SinkHandle();
    }
}
