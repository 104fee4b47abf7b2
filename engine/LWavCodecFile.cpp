#include "engine/LWavCodecFile.h"

#include "platform/LFile.h"
#include "platform/LFolders.h"

std::string LWavCodecFile::GetPath()
{
    std::string strPath = LFolders::GetCurrentFolder();
    LFile::FilePathCat(strPath, "WavCodec.wff");
    return strPath;
}

LWaveFormat LWavCodecFile::Gsm610Default()
{
    LWaveFormat f;
    f.wfx.wFormatTag = WAVE_FORMAT_GSM610;
    f.wfx.nChannels = 1;
    f.wfx.nSamplesPerSec = 8000;
    f.wfx.nAvgBytesPerSec = 1625;
    f.wfx.nBlockAlign = 65;
    f.wfx.wBitsPerSample = 0;
    f.SetExtra({ 320 & 0xFF, 320 >> 8 });
    return f;
}

LWaveFormat LWavCodecFile::Load()
{
    std::vector<uint8_t> buffer(kBytes);
    LFile file;
    LWaveFormat f;
    if (file.Open(GetPath(), LFile::Mode::Read)
        && file.Read(buffer.data(), int64_t(kBytes)) == int64_t(kBytes)
        && LWaveFormat::FromBytes(buffer.data(), kBytes, f, true) && f.wfx.wFormatTag != 0
        && f.wfx.nChannels != 0 && f.wfx.nSamplesPerSec != 0)
        return f;
    return Gsm610Default();
}

bool LWavCodecFile::Store(const LWaveFormat& format)
{
    std::vector<uint8_t> buffer(kBytes, 0);
    if (!format.CopyTo(buffer.data(), kBytes))
        return false;
    LFile file;
    return file.Open(GetPath(), LFile::Mode::CreateWrite)
        && file.Write(buffer.data(), int64_t(kBytes)) == int64_t(kBytes);
}
