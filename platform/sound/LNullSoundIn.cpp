#include "platform/sound/LNullSoundIn.h"

#include "platform/LTrace.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <mutex>
#include <thread>

namespace {
std::mutex csFaults;
LNullSoundIn::Faults nextFaults;
} // namespace

void LNullSoundIn::SetFaults(const Faults& f)
{
    std::lock_guard<std::mutex> lock(csFaults);
    nextFaults = f;
}

LNullSoundIn::~LNullSoundIn()
{
    Stop();
}

bool LNullSoundIn::OpenDevice(uint32_t uRate, uint16_t nChannelsIn)
{
    {
        std::lock_guard<std::mutex> lock(csFaults);
        faults = nextFaults;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(faults.uOpenDelayMs));
    if (!faults.bOpens)
        return false;
    iDelivered = 0;
    nChannels = nChannelsIn;
    pPacer = std::make_unique<LRealTimePacer>(uRate);
    bHaveInput = false;
    if (const char* szPath = std::getenv("ORVENNA_NULL_DEVICE_INPUT"); szPath && *szPath) {
        bHaveInput = wavInput.Open(szPath);
        if (bHaveInput && wavInput.GetRate() != uRate)
            LTrace("LNullSoundIn::OpenDevice '%s' is %u Hz, delivered at %u Hz", szPath,
                wavInput.GetRate(), uRate);
    }
    return true;
}

bool LNullSoundIn::Capture(int16_t* pFrames, uint32_t nFrames)
{
    if (faults.iFailAfterFrames >= 0 && iDelivered >= faults.iFailAfterFrames)
        return false;
    iDelivered += nFrames;
    std::fill(pFrames, pFrames + size_t(nFrames) * nChannels, int16_t(0));
    if (bHaveInput) {
        uint16_t nFileChannels = wavInput.GetChannels();
        vFileFrames.resize(size_t(nFrames) * nFileChannels);
        uint32_t nGot = wavInput.Read(vFileFrames.data(), nFrames);
        for (uint32_t f = 0; f < nGot; ++f)
            for (uint16_t c = 0; c < nChannels; ++c)
                pFrames[size_t(f) * nChannels + c] = vFileFrames[size_t(f) * nFileChannels
                    + std::min<uint16_t>(c, nFileChannels - 1)];
    }
    pPacer->Advance(nFrames);
    return true;
}

void LNullSoundIn::Resume()
{
    pPacer->Rebase();
}
