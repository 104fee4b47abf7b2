#include "audio/LRawFileDataSoundSinkBase.h"

#include "platform/LTrace.h"

#include <algorithm>

LRawFileDataSoundSinkBase::LRawFileDataSoundSinkBase(const std::string& strPath, int32_t iRate,
    int iChannels, int32_t iStartFrame, int iBytes, HeaderFn fn, Options opt)
    : LSoundSinkBase(iRate, iChannels)
    , fnHeader(fn)
    , options(opt)
    , iBytesPerSample(iBytes)
{
    iBytesPerFrame = GetChannels() * iBytesPerSample;
    LFile::Mode mode
        = options.bKeepExisting ? LFile::Mode::ReadWrite : LFile::Mode::CreateReadWrite;
    if (!file.Open(strPath, mode)) {
        LTrace("LRawFileDataSoundSinkBase::LRawFileDataSoundSinkBase File Open Error:%s",
            strPath.c_str());
        SetError(file.GetError());
        return;
    }
    buffer.resize(size_t(iBytesPerFrame) * kBlockFrames);
    iHeaderBytes = fnHeader ? fnHeader(*this, false) : 0;
    int64_t iOffset = iHeaderBytes;
    if (iStartFrame > 0) {
        int64_t iWanted = iHeaderBytes + int64_t(iStartFrame) * iBytesPerFrame;
        iOffset = std::min(iWanted, std::max<int64_t>(iHeaderBytes, file.GetFileSizeBytes()));
        SetFramesWritten(int32_t((iOffset - iHeaderBytes) / iBytesPerFrame));
        iOffset = iHeaderBytes + int64_t(GetFramesWritten()) * iBytesPerFrame;
    }
    file.Seek(iOffset);
    file.Truncate();
    CheckFile();
}

LRawFileDataSoundSinkBase::~LRawFileDataSoundSinkBase()
{
    Close();
}

bool LRawFileDataSoundSinkBase::CheckFile()
{
    return LSoundSinkBase::CheckFile(file, "LRawFileDataSoundSinkBase");
}

bool LRawFileDataSoundSinkBase::Close()
{
    if (!file.IsOpen())
        return !IsError();
    if (fnHeader && CheckFile()) {
        file.Seek(0);
        fnHeader(*this, true);
    }
    file.Close();
    return CheckFile();
}

int64_t LRawFileDataSoundSinkBase::GetMaxFrames() const
{
    return std::min<int64_t>(
        options.iMaxDataBytes / iBytesPerFrame, LSoundSinkBase::GetMaxFrames());
}

void LRawFileDataSoundSinkBase::Write(const int32_t* pBuffer, int32_t iFrames)
{
    LSoundSinkBase::Write(pBuffer, iFrames);
    if (IsError() || iFrames <= 0)
        return;
    // Past its size fields the header would lie: stop with an error instead.
    if (GetFramesWritten() > GetMaxFrames()) {
        LTrace("LRawFileDataSoundSinkBase::Write the file would pass what its header can hold");
        SetError();
        return;
    }
    // Blocks of at most 8192 frames, the size of the conversion buffer.
    const size_t uChannels = size_t(GetChannels());
    for (int32_t iDone = 0; iDone < iFrames;) {
        int32_t n = std::min(kBlockFrames, iFrames - iDone);
        Convert(pBuffer + size_t(iDone) * uChannels, buffer.data(), size_t(n) * uChannels);
        if (file.Write(buffer.data(), int64_t(n) * iBytesPerFrame) != int64_t(n) * iBytesPerFrame) {
            CheckFile();
            return;
        }
        iDone += n;
    }
}

void LRawFileDataSoundSinkBase::Seek(int32_t iFrame)
{
    if (IsError() || iFrame > GetFramesWritten())
        return;
    SetFramesWritten(std::max(iFrame, 0));
    file.Seek(iHeaderBytes + int64_t(GetFramesWritten()) * iBytesPerFrame);
    if (options.bSeekTruncates)
        file.Truncate();
}
