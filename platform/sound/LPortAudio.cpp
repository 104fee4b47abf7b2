#include "platform/sound/LPortAudio.h"

#include "platform/LTrace.h"

#include <alsa/asoundlib.h>
#include <cstdarg>
#include <cstdio>
#include <dlfcn.h>
#include <mutex>

namespace {
std::mutex& PaLock()
{
    static std::mutex m;
    return m;
}
bool bInitialized = false;
int iOpenStreams = 0;

void AlsaErrorToTrace(
    const char* szFile, int iLine, const char* szFunction, int iErr, const char* szFormat, ...)
{
    if (!LTraceEnabled())
        return;
    char szText[512];
    va_list args;
    va_start(args, szFormat);
    std::vsnprintf(szText, sizeof szText, szFormat, args);
    va_end(args);
    LTrace("ALSA %s: %s", szFunction, szText);
}

void JackMessageToTrace(const char* szText)
{
    LTrace("JACK: %s", szText);
}

// PortAudio probes for a JACK server, and the JACK library prints to stderr
// when there is none; when that library is loaded, its messages go to the
// trace instead.
void QuietJack()
{
    using SetFunction = void (*)(void (*)(const char*));
    for (const char* szSetter : { "jack_set_error_function", "jack_set_info_function" })
        if (void* p = dlsym(RTLD_DEFAULT, szSetter))
            reinterpret_cast<SetFunction>(p)(JackMessageToTrace);
}

// Caller holds PaLock.
bool EnsureInitialized(bool bRescan)
{
    if (bInitialized && bRescan && iOpenStreams == 0) {
        Pa_Terminate();
        bInitialized = false;
    }
    if (bInitialized)
        return true;
    snd_lib_error_set_handler(AlsaErrorToTrace);
    QuietJack();
    PaError err = Pa_Initialize();
    if (err != paNoError) {
        LTrace("LPortAudio::Initialize %s", Pa_GetErrorText(err));
        return false;
    }
    bInitialized = true;
    return true;
}

bool IsKind(const PaDeviceInfo* pInfo, bool bInput)
{
    return pInfo && (bInput ? pInfo->maxInputChannels : pInfo->maxOutputChannels) > 0;
}

PaDeviceIndex FindByName(const std::string& strName, bool bInput)
{
    for (PaDeviceIndex i = 0; i < Pa_GetDeviceCount(); ++i) {
        const PaDeviceInfo* pInfo = Pa_GetDeviceInfo(i);
        if (IsKind(pInfo, bInput) && strName == pInfo->name)
            return i;
    }
    return paNoDevice;
}
} // namespace

std::vector<std::string> LPortAudio::ListDevices(bool bInput, bool bRescan)
{
    std::lock_guard<std::mutex> lock(PaLock());
    std::vector<std::string> names;
    if (!EnsureInitialized(bRescan))
        return names;
    PaDeviceIndex iDefault = bInput ? Pa_GetDefaultInputDevice() : Pa_GetDefaultOutputDevice();
    if (IsKind(Pa_GetDeviceInfo(iDefault), bInput))
        names.push_back(Pa_GetDeviceInfo(iDefault)->name);
    for (PaDeviceIndex i = 0; i < Pa_GetDeviceCount(); ++i)
        if (i != iDefault && IsKind(Pa_GetDeviceInfo(i), bInput))
            names.push_back(Pa_GetDeviceInfo(i)->name);
    return names;
}

PaStream* LPortAudio::OpenStream(
    const std::string& strName, bool bInput, uint32_t uRate, uint16_t nChannels)
{
    std::lock_guard<std::mutex> lock(PaLock());
    if (!EnsureInitialized(false))
        return nullptr;
    PaDeviceIndex iDevice = FindByName(strName, bInput);
    if (iDevice == paNoDevice) {
        LTrace("LPortAudio::OpenStream no device '%s'", strName.c_str());
        return nullptr;
    }
    const PaDeviceInfo* pInfo = Pa_GetDeviceInfo(iDevice);
    PaStreamParameters params {};
    params.device = iDevice;
    params.channelCount = nChannels;
    params.sampleFormat = paInt16;
    params.suggestedLatency
        = bInput ? pInfo->defaultHighInputLatency : pInfo->defaultHighOutputLatency;
    PaStream* pStream = nullptr;
    PaError err = Pa_OpenStream(&pStream, bInput ? &params : nullptr, bInput ? nullptr : &params,
        uRate, paFramesPerBufferUnspecified, paClipOff, nullptr, nullptr);
    if (err == paNoError && (err = Pa_StartStream(pStream)) != paNoError)
        Pa_CloseStream(pStream);
    if (err != paNoError) {
        LTrace("LPortAudio::OpenStream '%s' %u Hz %u channels: %s", strName.c_str(), uRate,
            unsigned(nChannels), Pa_GetErrorText(err));
        return nullptr;
    }
    ++iOpenStreams;
    return pStream;
}

void LPortAudio::CloseStream(PaStream* pStream)
{
    std::lock_guard<std::mutex> lock(PaLock());
    Pa_StopStream(pStream);
    Pa_CloseStream(pStream);
    --iOpenStreams;
}
