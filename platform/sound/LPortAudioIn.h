#pragma once

#include "platform/sound/LSoundInBackend.h"

#include <portaudio.h>
#include <string>

// An input device of the sound system, through a blocking PortAudio stream
// that runs from open to close (the queue drops what comes while stopped).
class LPortAudioIn : public LSoundInBackend {
public:
    explicit LPortAudioIn(std::string strName)
        : strName(std::move(strName))
    {
    }
    ~LPortAudioIn() override;

protected:
    bool OpenDevice(uint32_t uRate, uint16_t nChannels) override;
    bool Capture(int16_t* pFrames, uint32_t nFrames) override;
    void CloseDevice() override;

private:
    std::string strName;
    PaStream* pStream = nullptr;
};
