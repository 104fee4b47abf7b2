#include "engine/LFilePrompts.h"

#include "platform/LSettings.h"

LMp3EncoderSettings LMp3EncoderSettings::Load()
{
    LSettings& s = LSettings::Get();
    LMp3EncoderSettings m;
    m.bConstantBitRate = s.GetBool("MP3Encoder", "ConstantBitRate", m.bConstantBitRate);
    m.iCBRBitRate = s.GetInt("MP3Encoder", "CBRBitRate", m.iCBRBitRate);
    m.bHighQuality = s.GetBool("MP3Encoder", "HighQuality", m.bHighQuality);
    m.iVBRMinBitRate = s.GetInt("MP3Encoder", "VBRMinBitRate", m.iVBRMinBitRate);
    m.iVBRMaxBitRate = s.GetInt("MP3Encoder", "VBRMaxBitRate", m.iVBRMaxBitRate);
    m.iVBRQuality = s.GetInt("MP3Encoder", "VBRQuality", m.iVBRQuality);
    m.bErrorProtection = s.GetBool("MP3Encoder", "ErrorProtection", m.bErrorProtection);
    m.iChannelMode = s.GetInt("MP3Encoder", "ChannelMode", m.iChannelMode);
    return m;
}

void LMp3EncoderSettings::Store() const
{
    LSettings& s = LSettings::Get();
    s.SetBool("MP3Encoder", "ConstantBitRate", bConstantBitRate);
    s.SetInt("MP3Encoder", "CBRBitRate", iCBRBitRate);
    s.SetBool("MP3Encoder", "HighQuality", bHighQuality);
    s.SetInt("MP3Encoder", "VBRMinBitRate", iVBRMinBitRate);
    s.SetInt("MP3Encoder", "VBRMaxBitRate", iVBRMaxBitRate);
    s.SetInt("MP3Encoder", "VBRQuality", iVBRQuality);
    s.SetBool("MP3Encoder", "ErrorProtection", bErrorProtection);
    s.SetInt("MP3Encoder", "ChannelMode", iChannelMode);
}
