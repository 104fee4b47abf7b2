#include "audio/LSNKACMFile.h"

#include "audio/LSampleConvert.h"
#include "audio/LSoundSourceBase.h"
#include "audio/LWaveHeader.h"
#include "platform/LTrace.h"

#include <algorithm>
#include <cstring>

LSNKACMFile::LSNKACMFile(const std::string& strPath, const LWaveFormat& format)
    : LSoundSinkBase(int32_t(format.wfx.nSamplesPerSec), format.wfx.nChannels)
    , wf(format)
{
    if (!file.Open(strPath, LFile::Mode::CreateReadWrite)) {
        LTrace("LSNKACMFile::LSNKACMFile unable to open file:%s", strPath.c_str());
        SetError(file.GetError());
    }
    if (IsError() || !OpenStream()) {
        SetError();
        return;
    }
    WriteHeader(LWaveHeader::kOpen);
    CheckFile();
}

bool LSNKACMFile::CheckFile()
{
    return LSoundSinkBase::CheckFile(file, "LSNKACMFile");
}

bool LSNKACMFile::OpenStream()
{
    uint16_t nCh = wf.wfx.nChannels ? wf.wfx.nChannels : 1;
    LWaveFormat pcm = LWaveFormat::Pcm(nCh, wf.wfx.nSamplesPerSec, 16);
    if (acmStreamOpenAnyDriver(&has, &pcm, &wf) != MMSYSERR_NOERROR) {
        LTrace("LSNKACMFile::LSNKACMFile acmStreamOpen failed for format tag %u",
            unsigned(wf.wfx.wFormatTag));
        has = nullptr;
        return false;
    }
    cbSrc = uint32_t(nCh) * 2 * uint32_t(kBlockFrames);
    if (acmStreamSize(has, cbSrc, &cbDst, ACM_STREAMSIZEF_SOURCE) != MMSYSERR_NOERROR
        || cbDst == 0) {
        LTrace("LSNKACMFile::LSNKACMFile acmStreamSize gives no destination size");
        return false;
    }
    vSrc.resize(cbSrc);
    vDst.resize(cbDst);
    ash.pbSrc = vSrc.data();
    ash.cbSrcLength = cbSrc;
    ash.pbDst = vDst.data();
    ash.cbDstLength = cbDst;
    if (acmStreamPrepareHeader(has, &ash, 0) != MMSYSERR_NOERROR) {
        LTrace("LSNKACMFile::LSNKACMFile acmStreamPrepareHeader failed");
        return false;
    }
    return true;
}

void LSNKACMFile::WriteHeader(int64_t iDataBytes)
{
    if (!file.IsOpen())
        return;
    std::vector<uint8_t> v = LWaveHeader::FromFormat(wf).Build(iDataBytes, GetFramesWritten());
    file.WriteAt(v.data(), int64_t(v.size()), 0);
    if (file.Tell() < int64_t(v.size()))
        file.Seek(int64_t(v.size()));
}

bool LSNKACMFile::Convert(uint32_t fdwConvert)
{
    ash.cbSrcLength = cbSrcFill;
    ash.cbDstLength = cbDst;
    if (acmStreamConvert(has, &ash, fdwConvert) != MMSYSERR_NOERROR) {
        LTrace("LSNKACMFile::Write acmStreamConvert failed");
        return false;
    }
    uint32_t cbUsed = std::min(ash.cbSrcLengthUsed, cbSrcFill);
    if (cbUsed == 0 && cbSrcFill == cbSrc) {
        LTrace("LSNKACMFile::Write acmStreamConvert is not using the src!");
        return false;
    }
    if (ash.cbDstLengthUsed && file.Write(vDst.data(), ash.cbDstLengthUsed) != ash.cbDstLengthUsed)
        return CheckFile();
    iCompressedBytes += ash.cbDstLengthUsed;
    std::memmove(vSrc.data(), vSrc.data() + cbUsed, cbSrcFill - cbUsed);
    cbSrcFill -= cbUsed;
    return true;
}

void LSNKACMFile::Write(const int32_t* pBuffer, int32_t iFrames)
{
    LSoundSinkBase::Write(pBuffer, iFrames);
    if (IsError() || iFrames <= 0)
        return;
    size_t nLeft = size_t(iFrames) * size_t(GetChannels());
    while (nLeft > 0) {
        size_t nTake = std::min<size_t>(nLeft, (cbSrc - cbSrcFill) / 2);
        LSampleConvert::InternalToPcm16(pBuffer, vSrc.data() + cbSrcFill, nTake);
        cbSrcFill += uint32_t(nTake * 2);
        pBuffer += nTake;
        nLeft -= nTake;
        if (!Convert(ACM_STREAMCONVERTF_BLOCKALIGN))
            return;
    }
}

LSNKACMFile::~LSNKACMFile()
{
    Close();
}

bool LSNKACMFile::Close()
{
    if (has) {
        if (ash.fdwStatus & ACMSTREAMHEADER_STATUSF_PREPARED) {
            if (!IsError())
                Convert(ACM_STREAMCONVERTF_END);
            acmStreamUnprepareHeader(has, &ash, 0);
        }
        acmStreamClose(has, 0);
        has = nullptr;
    }
    if (file.IsOpen()) {
        if (!IsError())
            WriteHeader(iCompressedBytes);
        file.Close();
    }
    return CheckFile();
}
