#pragma once

#include "platform/sound/LSoundInBackend.h"

#include <portaudio.h>
#include <string>

// An input device of the sound system, through a blocking PortAudio stream
// that runs from open to close. Nothing is read while the queue is stopped:
// a device that delivers faster than real time (an ALSA file PCM) would
// otherwise be used up before capturing starts; a real device only keeps the
// last moments before the start in its own buffer.
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
    bool HoldsWhileStopped() const override { return true; }
    void CloseDevice() override;

private:
    std::string strName;
    PaStream* pStream = nullptr;
};
