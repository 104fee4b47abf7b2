#include "features/LBatchStream.h"

#include "audio/LSoundTime.h"
#include "audio/LWaveFile.h"
#include "edit/LAudioCut.h"
#include "edit/LGainMultiply.h"
#include "effects/LCLAConvertRateChannels.h"
#include "effects/LEfChangeSpeedPitch.h"
#include "effects/LSRCPeakLimit.h"
#include "engine/LFileFormats.h"
#include "features/LBatchScript.h"

#include <algorithm>
#include <cstring>

namespace {
// The edit store reader's bound: stages over a pad are built as over a document.
constexpr uint32_t kStorePeak = 0x200000;

int32_t ClampFrames(int64_t i)
{
    return int32_t(std::clamp<int64_t>(i, 0, kMaxFrames));
}

bool AddSilence(LBatchStream& s, const LBatchStep& step, std::string&)
{
    const int32_t iFrames
        = LSoundTime::MsToFrames(step.values.Get("SilenceTimes"), s.Pad().GetSampleRate());
    s.Pad().InsertSilence(step.pCommand->eWhere == LBatchCommand::kAtStart, iFrames);
    return true;
}

bool AddAmplify(LBatchStream& s, const LBatchStep& step, std::string&)
{
    s.Pad().Amplify(step.values.Get("AmplifyGain"));
    return true;
}

// The effect rendered over the whole audio: its first L frames replace it.
bool AddEffect(LBatchStream& s, const LBatchStep& step, std::string& strError)
{
    const int32_t iLength = s.Pad().GetLength();
    if (iLength == 0)
        return true;
    if (!step.pEffect->fnFactory) {
        strError = std::string("\"") + step.pCommand->szName + "\" cannot run in a chain";
        return false;
    }
    s.Render(step.pEffect->fnFactory(step.values)->Open(s.GetSource()), iLength);
    return true;
}

bool AddSpeed(LBatchStream& s, const LBatchStep& step, std::string& strError)
{
    // The speed commands' value names, in the order of their modes.
    static const char* const kModeKeys[] = { "SpSpeedPitch", "ConstPitchSpeed", "ConstSpeedPitch" };
    const char* szKey = step.pCommand->params.front().szKey;
    const auto it = std::find_if(std::begin(kModeKeys), std::end(kModeKeys),
        [szKey](const char* sz) { return std::strcmp(sz, szKey) == 0; });
    SourceHandle h;
    if (it != std::end(kModeKeys))
        h = OpenSpeedPitchSource(
            s.GetSource(), step.values.Get(szKey), int(it - std::begin(kModeKeys)));
    if (!h) {
        strError = std::string("\"") + step.pCommand->szName + "\" did not complete";
        return false;
    }
    s.Pump(std::move(h));
    return true;
}

bool AddConvert(LBatchStream& s, const LBatchStep& step, std::string& strError)
{
    const LDialogValues& v = step.values;
    const int32_t iRate = v.Has("SampleRate") ? v.Get("SampleRate") : s.Pad().GetSampleRate();
    const int iChannels
        = v.Has("ConvertChannel") ? int(v.Get("ConvertChannel")) : s.Pad().GetChannels();
    if (iRate == s.Pad().GetSampleRate() && iChannels == s.Pad().GetChannels())
        return true;
    SourceHandle h = ConvertRateChannels(s.GetSource(), iRate, iChannels);
    if (h->GetSampleRate() != iRate || h->GetChannels() != iChannels) {
        strError = std::string("\"") + step.pCommand->szName + "\" did not complete";
        return false;
    }
    s.Pump(std::move(h));
    return true;
}
} // namespace

const LBatchStreamer kStreamSilence { true, AddSilence };
const LBatchStreamer kStreamAmplify { true, AddAmplify };
const LBatchStreamer kStreamEffect { false, AddEffect };
const LBatchStreamer kStreamSpeed { false, AddSpeed };
const LBatchStreamer kStreamConvert { false, AddConvert };

LSRCBatchPad::LSRCBatchPad(SourceHandle hUpstream, int32_t iLen)
    : LSRCFilterBase(std::move(hUpstream))
    , iAudio(ClampFrames(iLen))
    , iLength(iAudio)
    , iGain(LAudioCut::kUnityGain)
{
    SetPeak(kStorePeak);
}

void LSRCBatchPad::InsertSilence(bool bAtStart, int32_t iFrames)
{
    if (iFrames <= 0)
        return;
    if (bAtStart)
        iLead = ClampFrames(int64_t(iLead) + iFrames);
    iLength = ClampFrames(int64_t(iLength) + iFrames);
}

void LSRCBatchPad::Amplify(int iPercent)
{
    // As a cut's gain changes: exact in 64 bits, held within 32 bits.
    if (iPercent != 100)
        iGain = int32_t(
            std::clamp<int64_t>(int64_t(iGain) * iPercent / 100, -0x7FFFFFFF, 0x7FFFFFFF));
}

void LSRCBatchPad::Seek(int32_t iFrame)
{
    iPosition = iFrame;
    iUpstream = std::clamp(iFrame - iLead, 0, iAudio);
    hSource->Seek(iUpstream);
}

int32_t LSRCBatchPad::ReadAudio(int32_t* pBuffer, int32_t iFrames)
{
    const size_t uCh = size_t(GetChannels());
    const int32_t iFrom = iPosition;
    iPosition = int32_t(std::min<int64_t>(int64_t(iFrom) + iFrames, INT32_MAX));
    const int32_t iHave = int32_t(std::clamp<int64_t>(int64_t(iLength) - iFrom, 0, iFrames));
    // Silence, audio, silence, each clipped to what this read covers.
    const int32_t iAudioFrom = std::clamp(iLead - iFrom, 0, iHave);
    const int32_t iAudioTo
        = int32_t(std::clamp<int64_t>(int64_t(iLead) + iAudio - iFrom, iAudioFrom, iHave));
    std::memset(pBuffer, 0, size_t(iHave) * uCh * sizeof(int32_t));
    if (iAudioTo > iAudioFrom) {
        const int32_t iWant = iFrom + iAudioFrom - iLead;
        if (iWant != iUpstream)
            hSource->Seek(iWant);
        // Callers may ask a pad for more than a block (as of a document
        // reader); the sources before it are asked a block at a time.
        for (int32_t iDone = iAudioFrom; iDone < iAudioTo;) {
            int32_t* p = pBuffer + size_t(iDone) * uCh;
            const int32_t n = std::min(iAudioTo - iDone, kBlockFrames);
            hSource->Read(p, n);
            if (iGain != LAudioCut::kUnityGain)
                GainMultiplyBlock(p, size_t(n) * uCh, iGain);
            iDone += n;
        }
        iUpstream = iWant + (iAudioTo - iAudioFrom);
    }
    return iHave;
}

LBatchStream::LBatchStream(SourceHandle hStart)
{
    const int32_t iLength = hStart->GetLength();
    Render(std::move(hStart), iLength);
}

void LBatchStream::Render(SourceHandle hStage, int32_t iLength)
{
    auto h = MakeHandle<LSRCBatchPad>(std::move(hStage), iLength);
    pPad = h.Get();
    hPad = SourceHandle(h);
}

void LBatchStream::Pump(SourceHandle hStage)
{
    // A pump limits what it writes to a document as the save would.
    hStage = LSRCPeakLimit::OpenSource(std::move(hStage));
    const int32_t iLength = hStage->GetLength();
    Render(std::move(hStage), iLength);
}

bool LBatchStream::Add(const LBatchStep& step, std::string& strError)
{
    const LBatchStreamer* p = step.pCommand ? step.pCommand->pStream : nullptr;
    if (!p) {
        strError = "a command that needs the whole audio cannot run in a chain";
        return false;
    }
    return p->fnAdd(*this, step, strError);
}

bool StreamsFromReader(const std::string& strPath)
{
    const LFileFormat* pRow = LFileFormats::FindByPath(strPath);
    if (!pRow || pRow->settings == LFormatSettings::Mp3Encoder
        || std::strcmp(pRow->szName, "aifc") == 0)
        return false;
    if (pRow->settings != LFormatSettings::WaveFormat)
        return true;
    // 8- and 16-bit PCM are read directly; the codecs decode to find the end.
    LFile file;
    LWaveHeader format;
    int64_t iBytes = 0;
    return file.Open(strPath, LFile::Mode::Read) && LWaveFile::ReadHeader(file, format, iBytes)
        && format.wFormatTag == 1 && format.wBitsPerSample <= 16;
}
