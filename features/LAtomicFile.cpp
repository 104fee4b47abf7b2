#include "features/LAtomicFile.h"

#include <cerrno>
#include <cstdio>

LAtomicFile::~LAtomicFile()
{
    if (!strTemp.empty()) {
        file.Close();
        LFile::Delete(strTemp);
    }
}

bool LAtomicFile::Open(const std::string& strPath)
{
    strTarget = strPath;
    size_t iSlash = strPath.find_last_of('/');
    std::string strFolder = iSlash == std::string::npos ? "." : strPath.substr(0, iSlash + 1);
    std::string strPrefix = LFile::GetFileName(strPath);
    strPrefix.insert(0, 1, '.');
    strPrefix += '-';
    return file.OpenUnique(strFolder, strPrefix, ".part", strTemp);
}

int LAtomicFile::Commit(bool bFlush)
{
    if (strTemp.empty())
        return EBADF;
    int iErr = file.GetError();
    if (!file.Close() && iErr == 0)
        iErr = file.GetError() ? file.GetError() : EIO;
    if (iErr == 0 && bFlush)
        iErr = LFile::ReplaceFile(strTemp, strTarget);
    else if (iErr == 0 && std::rename(strTemp.c_str(), strTarget.c_str()) != 0)
        iErr = errno;
    if (iErr != 0)
        LFile::Delete(strTemp);
    strTemp.clear();
    return iErr;
}
