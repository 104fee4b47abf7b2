#include "audio/LSoundSinkBase.h"

#include "platform/LFile.h"
#include "platform/LTrace.h"

LSoundSinkBase::LSoundSinkBase(int32_t iRate, int iChannels)
    : iSampleRate(iRate)
    , bChannels(1)
{
    if (iChannels < 1 || iChannels > 255)
        SetError();
    else
        bChannels = uint8_t(iChannels);
}

bool LSoundSinkBase::CheckFile(const LFile& file, const char* szWho)
{
    if (file.GetError() != 0 && !IsError()) {
        LTrace("%s unable to write the file: %s", szWho,
            LFile::DescribeError(file.GetError()).c_str());
        SetError(file.GetError());
    }
    return !IsError();
}
