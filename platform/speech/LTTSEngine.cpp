#include "platform/speech/LTTSEngine.h"

#include "platform/LTrace.h"
#include "platform/acm/LWaveFormat.h"

#include <algorithm>
#include <espeak-ng/speak_lib.h>
#include <mutex>

namespace {
// The library keeps one state per process: every call into it holds this.
std::mutex& EngineMutex()
{
    static std::mutex mtx;
    return mtx;
}
int iEngineRate = 0; // 0 not started yet, -1 failed to start
LTTSCentral* pSpeaking = nullptr; // the central whose text the library speaks

int SynthCallback(short* pWav, int iCount, espeak_EVENT*)
{
    if (!pWav || !pSpeaking)
        return 0;
    return pSpeaking->Deliver(pWav, iCount) ? 0 : 1;
}

// Under the engine mutex.
bool StartEngine()
{
    if (iEngineRate == 0) {
        // DONT_EXIT: without its data the library would end the process.
        iEngineRate
            = espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 0, nullptr, espeakINITIALIZE_DONT_EXIT);
        if (iEngineRate <= 0) {
            LTrace("LTTSEnum::Create the speech engine did not start");
            iEngineRate = -1;
        } else {
            espeak_SetSynthCallback(SynthCallback);
        }
    }
    return iEngineRate > 0;
}
} // namespace

bool LTTSEnum::Create()
{
    std::lock_guard lock(EngineMutex());
    modes.clear();
    iNext = 0;
    if (!StartEngine())
        return false;
    // Listing reads every voice file; the installed voices do not change
    // while the program runs.
    static std::vector<LTTSModeInfo> installed;
    static bool bListed = false;
    if (!bListed) {
        const espeak_VOICE** ppVoices = espeak_ListVoices(nullptr);
        for (size_t i = 0; ppVoices && ppVoices[i]; ++i)
            if (ppVoices[i]->name && ppVoices[i]->identifier)
                installed.push_back({ ppVoices[i]->name, ppVoices[i]->identifier });
        bListed = true;
    }
    modes = installed;
    return true;
}

bool LTTSEnum::Next(LTTSModeInfo& mode)
{
    if (iNext >= modes.size())
        return false;
    mode = modes[iNext++];
    return true;
}

LResult LTTSEnum::Select(
    const LTTSModeInfo& mode, IAudio* pAudio, std::unique_ptr<LTTSCentral>& pOut)
{
    pOut.reset();
    bool bKnown = std::any_of(modes.begin(), modes.end(),
        [&mode](const LTTSModeInfo& m) { return m.strIdentifier == mode.strIdentifier; });
    if (!bKnown || !pAudio)
        return kEFail;
    void* pv = nullptr;
    LResult hr = pAudio->QueryInterface(IID_IAudioDest, &pv);
    if (hr != kSOk)
        return hr;
    int iRate = 0;
    {
        std::lock_guard lock(EngineMutex());
        iRate = iEngineRate;
    }
    std::vector<uint8_t> format = LWaveFormat::Pcm(1, uint32_t(iRate), 16).ToBytes();
    hr = pAudio->WaveFormatSet({ format.data(), uint32_t(format.size()) });
    if (hr != kSOk)
        return hr;
    pOut = std::make_unique<LTTSCentral>(mode, pAudio, static_cast<IAudioDest*>(pv));
    return kSOk;
}

LTTSCentral::LTTSCentral(LTTSModeInfo mode, IAudio* pAudio, IAudioDest* pDest)
    : mode(std::move(mode))
    , pAudio(pAudio)
    , pDest(pDest)
{
}

LTTSCentral::~LTTSCentral()
{
    AudioReset();
}

LResult LTTSCentral::TextData(const std::string& strText)
{
    if (strText.empty() || worker.joinable())
        return kEFail;
    bAbort = false;
    hrSpeak = kSOk;
    worker = std::thread([this, strText]() { Speak(strText); });
    return kSOk;
}

LResult LTTSCentral::AudioReset()
{
    bAbort = true;
    if (worker.joinable())
        worker.join();
    return kSOk;
}

// The engine thread.
void LTTSCentral::Speak(std::string strText)
{
    std::lock_guard lock(EngineMutex());
    pAudio->Claim();
    if (espeak_SetVoiceByName(mode.strIdentifier.c_str()) != EE_OK) {
        LTrace("LTTSCentral::Speak voice '%s' did not load", mode.strIdentifier.c_str());
        hrSpeak = kEFail;
    } else if (!bAbort) {
        pSpeaking = this;
        // A sentence pause at the end, as the engine's own program ends.
        espeak_ERROR e = espeak_Synth(strText.c_str(), strText.size() + 1, 0, POS_CHARACTER, 0,
            espeakCHARS_UTF8 | espeakENDPAUSE, nullptr, nullptr);
        pSpeaking = nullptr;
        if (e != EE_OK && hrSpeak == kSOk && !bAbort)
            hrSpeak = kEFail;
    }
    pAudio->UnClaim();
}

// The engine thread, inside espeak_Synth.
bool LTTSCentral::Deliver(const int16_t* pSamples, int iCount)
{
    const auto* pBytes = reinterpret_cast<const uint8_t*>(pSamples);
    uint32_t uLeft = uint32_t(std::max(iCount, 0)) * 2u;
    while (uLeft > 0) {
        if (bAbort)
            return false;
        uint32_t uFree = 0;
        int bEnd = 0;
        if (pDest->FreeSpace(&uFree, &bEnd) != kSOk || bEnd || uFree == 0) {
            hrSpeak = kEFail;
            return false;
        }
        uint32_t uPart = std::min(uLeft, uFree);
        LResult hr = pDest->DataSet(pBytes, uPart);
        if (hr != kSOk) {
            hrSpeak = hr;
            return false;
        }
        pBytes += uPart;
        uLeft -= uPart;
    }
    return !bAbort;
}
