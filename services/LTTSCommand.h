#pragma once

#include "engine/MainDialog.h"

#include <functional>
#include <string>

// The Text To Speech command (7004), a row the window registers at start.
// fnAsk shows the "Synthesize Speech" dialog, which synthesizes into the
// WAV path it is given (Process(LTTS)) and is true once that succeeded.
// main must outlive the row.
LCommand TextToSpeechCommand(MainDialog& main, std::function<bool(const std::string&)> fnAsk);
