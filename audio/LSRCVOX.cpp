#include "audio/LSRCVOX.h"

#include "platform/LTrace.h"

#include <algorithm>

LSRCVOX::LSRCVOX(const std::string& strPath, int32_t iRate)
    : LSoundSourceBase(iRate, 1, 0x200000)
{
    if (!file.Open(strPath, LFile::Mode::Read))
        LTrace("LSRCVOX::LSRCVOX unable to open file:%s", strPath.c_str());
    CheckLength(file.GetFileSizeBytes() * 2);
    buffer.resize(kBlockFrames / 2 + 1);
}

int32_t LSRCVOX::GetLength()
{
    return int32_t(std::min<int64_t>(file.GetFileSizeBytes() * 2, kMaxFrames));
}

int32_t LSRCVOX::ReadAudio(int32_t* p, int32_t iFrames)
{
    // The file's end, not the whole request: a file that grows while it is
    // read still stops at what the engine counts.
    iFrames = std::clamp(GetLength() - GetPosition(), 0, iFrames);
    int32_t i = 0;
    if (iPending >= 0 && iFrames > 0) {
        p[i++] = codec.Decode(uint32_t(iPending));
        iPending = -1;
    }
    int32_t iBytes = (iFrames - i + 1) / 2;
    int64_t iGot = file.Read(buffer.data(), iBytes);
    for (int64_t b = 0; b < iGot && i < iFrames; ++b) {
        p[i++] = codec.Decode(buffer[size_t(b)] >> 4);
        if (i < iFrames)
            p[i++] = codec.Decode(buffer[size_t(b)] & 15);
        else
            iPending = buffer[size_t(b)] & 15;
    }
    return i;
}

void LSRCVOX::Seek(int32_t iFrame)
{
    SetPosition(iFrame);
    iPending = -1;
    int32_t iAt = std::max(iFrame, 0);
    file.Seek(iAt / 2);
    // An odd frame starts in the low nibble of its byte.
    uint8_t b;
    if ((iAt & 1) && file.Read(&b, 1) == 1)
        iPending = b & 15;
}

LSNKVOX::LSNKVOX(const std::string& strPath, int32_t iRate)
    : LSoundSinkBase(iRate, 1)
{
    if (!file.Open(strPath, LFile::Mode::CreateReadWrite)) {
        LTrace("LSNKVOX::LSNKVOX unable to open file:%s", strPath.c_str());
        SetError(file.GetError());
    }
    buffer.resize(kBlockFrames / 2 + 1);
}

LSNKVOX::~LSNKVOX()
{
    Close();
}

bool LSNKVOX::Close()
{
    file.Close();
    if (file.GetError() != 0)
        SetError(file.GetError());
    return !IsError();
}

void LSNKVOX::Write(const int32_t* p, int32_t iFrames)
{
    LSoundSinkBase::Write(p, iFrames);
    if (IsError())
        return;
    size_t n = 0;
    for (int32_t i = 0; i < iFrames; ++i) {
        uint32_t uCode = codec.Encode(p[i]);
        if (iHalf < 0) {
            iHalf = int(uCode);
        } else {
            buffer[n++] = uint8_t((iHalf << 4) | int(uCode));
            iHalf = -1;
        }
    }
    if (file.Write(buffer.data(), int64_t(n)) != int64_t(n))
        SetError(file.GetError());
}
