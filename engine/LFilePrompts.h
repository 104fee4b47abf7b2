#pragma once

#include "platform/acm/LWaveFormat.h"

#include <cstdint>
#include <string>

// The headerless-file settings of the "File Properties" dialog.
struct LHeaderlessSettings {
    int iFormat = 0; // index into LHeaderlessFormat's table
    int32_t iRate = 8000;
    int iChannels = 1;
};

// The MP3 encoder settings (section MP3Encoder).
struct LMp3EncoderSettings {
    bool bConstantBitRate = false;
    int iCBRBitRate = 128;
    bool bHighQuality = true;
    int iVBRMinBitRate = 24;
    int iVBRMaxBitRate = 128;
    int iVBRQuality = 4;
    bool bErrorProtection = false;
    int iChannelMode = 1;

    // The bit rates the encoder dialog offers (kbit/s), and its "Stereo
    // Encoding" list, whose index is iChannelMode.
    static constexpr int kBitRates[]
        = { 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 192, 224, 256, 320 };
    static constexpr const char* kModeNames[] = { "Stereo", "Joint", "Force", "Mono" };

    static LMp3EncoderSettings Load();
    void Store() const;
};

// What loading and saving ask of a person. The editor window answers with
// its dialogs; tests and the command line answer with fixed values.
class LFilePrompts {
public:
    enum class Icon { Stop, Exclamation, Information, Question };
    virtual ~LFilePrompts() = default;
    // "File Properties": false when cancelled; on true the values are taken.
    virtual bool AskFileProperties(LHeaderlessSettings& settings) = 0;
    // The compressed WAV format chooser, opened on the given format;
    // iChannels 0 = any. False when cancelled.
    virtual bool ChooseWaveFormat(LWaveFormat& format, int iChannels, const std::string& strTitle)
        = 0;
    // "MP3 Encoder Settings": false when cancelled.
    virtual bool AskMp3Settings(LMp3EncoderSettings& settings) = 0;
    virtual void ShowMessage(const std::string& strText, const std::string& strCaption, Icon icon)
        = 0;
};

// Accepts every dialog as it opens and shows messages nowhere (batch work).
class LAcceptingPrompts : public LFilePrompts {
public:
    bool AskFileProperties(LHeaderlessSettings&) override { return true; }
    bool ChooseWaveFormat(LWaveFormat&, int, const std::string&) override { return true; }
    bool AskMp3Settings(LMp3EncoderSettings&) override { return true; }
    void ShowMessage(const std::string& strText, const std::string&, Icon) override
    {
        strLastMessage = strText;
    }
    std::string strLastMessage;
};
