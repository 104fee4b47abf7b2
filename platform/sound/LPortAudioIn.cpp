#include "platform/sound/LPortAudioIn.h"

#include "platform/LTrace.h"
#include "platform/sound/LPortAudio.h"
#include "platform/sound/LWaveInQueue.h"

LPortAudioIn::~LPortAudioIn()
{
    Stop();
}

bool LPortAudioIn::OpenDevice(uint32_t uRate, uint16_t nChannels)
{
    pStream = LPortAudio::OpenStream(strName, true, uRate, nChannels);
    return pStream != nullptr;
}

bool LPortAudioIn::Capture(int16_t* pFrames, uint32_t nFrames)
{
    // An overflow (frames lost before these) still delivers these frames.
    PaError err = Pa_ReadStream(pStream, pFrames, nFrames);
    if (err == paInputOverflowed)
        pQueue->CountDropout();
    if (err == paNoError || err == paInputOverflowed)
        return true;
    LTrace("LPortAudioIn::Capture '%s': %s", strName.c_str(), Pa_GetErrorText(err));
    return false;
}

void LPortAudioIn::CloseDevice()
{
    LPortAudio::CloseStream(pStream);
    pStream = nullptr;
}
