#include "platform/sound/LPortAudioOut.h"

#include "platform/LTrace.h"
#include "platform/sound/LPortAudio.h"

LPortAudioOut::~LPortAudioOut()
{
    Stop();
}

bool LPortAudioOut::OpenDevice(uint32_t uRate, uint16_t nChannels)
{
    pStream = LPortAudio::OpenStream(strName, false, uRate, nChannels);
    return pStream != nullptr;
}

void LPortAudioOut::Play(const int16_t* pFrames, uint32_t nFrames)
{
    // An underflow (we starved the device) is reported but the frames are
    // still written.
    PaError err = Pa_WriteStream(pStream, pFrames, nFrames);
    if (err != paNoError && err != paOutputUnderflowed)
        LTrace("LPortAudioOut::Play '%s': %s", strName.c_str(), Pa_GetErrorText(err));
}

void LPortAudioOut::CloseDevice()
{
    LPortAudio::CloseStream(pStream);
    pStream = nullptr;
}
