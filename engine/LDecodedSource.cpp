#include "engine/LDecodedSource.h"

#include "audio/LSRCFilterBase.h"
#include "audio/LWaveFile.h"
#include "platform/LFile.h"
#include "platform/LFolders.h"

#include <filesystem>

namespace {
// A WAV reader that owns its file: the file goes with the last handle. Used
// on the thread that reads it.
class LSRCTemporaryWave : public LSRCFilterBase {
public:
    explicit LSRCTemporaryWave(const std::string& strPath)
        : LSRCFilterBase(LWaveFile::OpenSource(strPath))
        , strFile(strPath)
    {
    }
    ~LSRCTemporaryWave() override
    {
        hSource.Reset(); // closes the file before it is deleted
        LFile::Delete(strFile);
    }
    std::string GetErrorText() const override { return hSource->GetErrorText(); }

protected:
    int32_t ReadAudio(int32_t* pBuffer, int32_t iFrames) override
    {
        hSource->Read(pBuffer, iFrames);
        return iFrames;
    }

private:
    std::string strFile;
};
} // namespace

std::string DecodedWavPath(const std::string& strPath)
{
    std::string strName = std::filesystem::path(strPath).stem().string();
    std::string strWav = LFolders::GetCurrentFolder();
    LFile::FilePathCat(strWav, strName, ".wav");
    std::error_code ec;
    std::string strAbsolute = std::filesystem::absolute(strWav, ec).string();
    return ec ? strWav : strAbsolute;
}

int OpenDecodedSource(
    LProgressDialog& dlg, const LFileFormat& format, const std::string& strPath, SourceHandle& hOut)
{
    const std::string strWav = DecodedWavPath(strPath);
    // A WAV of an earlier run must never pass for this one's.
    LFile::Delete(strWav);
    int iResult = format.fnDecode ? format.fnDecode(dlg, strPath, strWav) : 2;
    if (iResult != 0) {
        LFile::Delete(strWav);
        return iResult;
    }
    hOut = MakeHandle<LSRCTemporaryWave>(strWav);
    return 0;
}
