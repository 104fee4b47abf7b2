#include "edit/LSRCCutListAudio.h"

#include "edit/LAudioCutTank.h"
#include "edit/LGainMultiply.h"

#include <algorithm>
#include <cstring>

LSRCCutListAudio::LSRCCutListAudio(const LCutListAudio& src)
    : LSoundSourceBase(src.GetSampleRate(), src.GetChannels(), 0x200000)
    , list(src)
    , iLength(src.GetTotalLength())
{
}

void LSRCCutListAudio::EnterCut(size_t uIndex, int32_t iSkip)
{
    file.Close();
    uCut = uIndex;
    bStarted = true;
    if (uCut >= list.GetCuts().size()) {
        iLeft = 0;
        return;
    }
    const LAudioCut& c = list.GetCuts()[uCut];
    iLeft = c.iLength - iSkip;
    iGain = c.iGain;
    if (!c.IsSilent() && file.Open(LAudioCutTank::Get().GetAudFilePath(c.wCut), LFile::Mode::Read))
        file.Seek((int64_t(c.iOffset) + iSkip) * GetChannels() * 4);
}

int32_t LSRCCutListAudio::ReadAudio(int32_t* pBuffer, int32_t iFrames)
{
    const size_t uCh = size_t(GetChannels());
    if (!bStarted)
        EnterCut(0, 0);
    int32_t iDone = 0;
    while (iDone < iFrames) {
        while (iLeft <= 0 && uCut < list.GetCuts().size())
            EnterCut(uCut + 1, 0);
        if (uCut >= list.GetCuts().size())
            break;
        int32_t n = std::min(iLeft, iFrames - iDone);
        int32_t* p = pBuffer + size_t(iDone) * uCh;
        size_t nBytes = size_t(n) * uCh * 4;
        int64_t iGot = file.IsOpen() ? file.Read(p, int64_t(nBytes)) : 0;
        // A missing or short file reads as silence.
        std::memset(reinterpret_cast<uint8_t*>(p) + iGot, 0, nBytes - size_t(iGot));
        if (iGain != LAudioCut::kUnityGain)
            GainMultiplyBlock(p, size_t(n) * uCh, iGain);
        iLeft -= n;
        iDone += n;
    }
    return iDone;
}

void LSRCCutListAudio::Seek(int32_t iFrame)
{
    file.Close();
    SetPosition(iFrame);
    if (iFrame <= 0) {
        bStarted = false;
        return;
    }
    int64_t iRest = iFrame;
    const auto& cuts = list.GetCuts();
    size_t i = 0;
    while (i < cuts.size() && iRest >= cuts[i].iLength)
        iRest -= cuts[i++].iLength;
    EnterCut(i, int32_t(iRest));
}
