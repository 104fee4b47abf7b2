#pragma once

#include "platform/sound/LSoundOutBackend.h"

#include <portaudio.h>
#include <string>

// An output device of the sound system, through a blocking PortAudio stream.
class LPortAudioOut : public LSoundOutBackend {
public:
    explicit LPortAudioOut(std::string strName)
        : strName(std::move(strName))
    {
    }
    ~LPortAudioOut() override;

protected:
    bool OpenDevice(uint32_t uRate, uint16_t nChannels) override;
    void Play(const int16_t* pFrames, uint32_t nFrames) override;
    void CloseDevice() override;

private:
    std::string strName;
    PaStream* pStream = nullptr;
};
