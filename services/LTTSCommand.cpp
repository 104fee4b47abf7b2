#include "services/LTTSCommand.h"

LCommand TextToSpeechCommand(MainDialog& main, std::function<bool(const std::string&)> fnAsk)
{
    return { CM_TTS, "Text To Speech", "Text To Speech", nullptr, "Converts text to audio.",
        kCmdStopsPlayback, "Text To Speech", 0,
        [&main, fnAsk = std::move(fnAsk)] { main.CmTextToSpeech(fnAsk); } };
}
