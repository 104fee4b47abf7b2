#include "platform/sound/LNullSoundOut.h"

#include <atomic>
#include <cstdlib>
#include <mutex>

namespace {
struct MemoryCapture {
    std::mutex mLock;
    bool bEnabled = false;
    std::vector<int16_t> vSamples;
};
MemoryCapture& Capture()
{
    static MemoryCapture capture;
    return capture;
}
} // namespace

LNullSoundOut::~LNullSoundOut()
{
    Stop();
}

void LNullSoundOut::SetCaptureEnabled(bool bEnabled)
{
    std::lock_guard<std::mutex> lock(Capture().mLock);
    Capture().bEnabled = bEnabled;
    Capture().vSamples.clear();
}

std::vector<int16_t> LNullSoundOut::TakeCapture()
{
    std::lock_guard<std::mutex> lock(Capture().mLock);
    return std::move(Capture().vSamples);
}

bool LNullSoundOut::OpenDevice(uint32_t uRate, uint16_t nChannelsIn)
{
    nChannels = nChannelsIn;
    pPacer = std::make_unique<LRealTimePacer>(uRate);
    if (const char* szPath = std::getenv("ORVENNA_NULL_DEVICE_CAPTURE"); szPath && *szPath)
        wavCapture.Open(szPath, uRate, nChannels);
    return true;
}

namespace {
std::atomic<uint32_t> uStarvations { 0 };
}

uint32_t LNullSoundOut::GetStarvations()
{
    return uStarvations.load();
}
uint32_t LNullSoundOut::GetWorstLatenessUs()
{
    return LRealTimePacer::GetWorstLatenessUs();
}

void LNullSoundOut::Play(const int16_t* pFrames, uint32_t nFrames)
{
    bPlaying = true;
    wavCapture.Write(pFrames, nFrames);
    {
        std::lock_guard<std::mutex> lock(Capture().mLock);
        if (Capture().bEnabled)
            Capture().vSamples.insert(
                Capture().vSamples.end(), pFrames, pFrames + size_t(nFrames) * nChannels);
    }
    pPacer->Advance(nFrames);
}

void LNullSoundOut::Idle()
{
    if (bPlaying)
        ++uStarvations;
    bPlaying = false;
    pPacer->Rebase();
}

void LNullSoundOut::CloseDevice()
{
    wavCapture.Close();
}
