#include "audio/LGSMFileSink.h"

#include "platform/LTrace.h"

#include <algorithm>
#include <cstring>

LGSMFileSink::LGSMFileSink(const std::string& strPath)
    : LSoundSinkBase(8000, 1)
{
    if (!file.Open(strPath, LFile::Mode::CreateWrite)) {
        LTrace("LGSMFileSink::LGSMFileSink unable to open file:%s", strPath.c_str());
        SetError(file.GetError());
    }
}

LGSMFileSink::~LGSMFileSink()
{
    Close();
}

bool LGSMFileSink::Close()
{
    if (!file.IsOpen())
        return !IsError();
    if (!IsError() && iFill > 0) {
        std::fill(aPending + iFill, aPending + LGSMFrame::kSamples, 0);
        Encode(aPending);
        iFill = 0;
    }
    Flush();
    file.Close();
    if (file.GetError() != 0)
        SetError(file.GetError());
    return !IsError();
}

void LGSMFileSink::Encode(const int32_t* pIn)
{
    codec.EncodeNormal(pIn, aOut + LGSMFrame::kBytes * iOutFrames);
    if (++iOutFrames == kRun)
        Flush();
}

void LGSMFileSink::Flush()
{
    int64_t iBytes = int64_t(LGSMFrame::kBytes) * iOutFrames;
    if (iBytes > 0 && !IsError() && file.Write(aOut, iBytes) != iBytes) {
        LTrace("LGSMFileSink::Write unable to write file");
        SetError(file.GetError());
    }
    iOutFrames = 0;
}

void LGSMFileSink::Write(const int32_t* pBuffer, int32_t iFrames)
{
    LSoundSinkBase::Write(pBuffer, iFrames);
    if (IsError() || iFrames <= 0)
        return;
    int32_t iDone = 0;
    if (iFill > 0) {
        int32_t n = std::min(iFrames, LGSMFrame::kSamples - iFill);
        std::memcpy(aPending + iFill, pBuffer, size_t(n) * sizeof(int32_t));
        iFill += n;
        iDone = n;
        if (iFill < LGSMFrame::kSamples)
            return;
        Encode(aPending);
        iFill = 0;
    }
    for (; iFrames - iDone >= LGSMFrame::kSamples; iDone += LGSMFrame::kSamples)
        Encode(pBuffer + iDone);
    iFill = iFrames - iDone;
    std::memcpy(aPending, pBuffer + iDone, size_t(iFill) * sizeof(int32_t));
    Flush();
}

void LGSMFileSink::Seek(int32_t iFrame)
{
    LTrace("LGSMFileSink::Seek Function not implemented");
}
