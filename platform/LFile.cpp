#include "platform/LFile.h"
#include "platform/LTrace.h"

#include <atomic>
#include <cerrno>
#include <cctype>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

LFile::~LFile() { Close(); }

LFile::LFile(LFile&& other) noexcept : iFd(other.iFd) { other.iFd = -1; }

LFile& LFile::operator=(LFile&& other) noexcept
{
    if (this != &other) {
        Close();
        iFd = other.iFd;
        other.iFd = -1;
    }
    return *this;
}

bool LFile::Open(const std::string& strPath, Mode mode)
{
    Close();
    int iFlags = O_CLOEXEC;
    switch (mode) {
    case Mode::Read: iFlags |= O_RDONLY; break;
    case Mode::ReadWrite: iFlags |= O_RDWR | O_CREAT; break;
    case Mode::CreateWrite: iFlags |= O_WRONLY | O_CREAT | O_TRUNC; break;
    case Mode::CreateReadWrite: iFlags |= O_RDWR | O_CREAT | O_TRUNC; break;
    }
    do {
        iFd = ::open(strPath.c_str(), iFlags, 0666);
    } while (iFd < 0 && errno == EINTR);
    if (iFd >= 0 && mode == Mode::Read) {
        struct stat st;
        if (::fstat(iFd, &st) != 0 || S_ISDIR(st.st_mode)) {
            Close();
            return false;
        }
    }
    return iFd >= 0;
}

void LFile::Close()
{
    if (iFd >= 0) {
        ::close(iFd);
        iFd = -1;
    }
}

namespace {
std::atomic<int64_t> iBytesReadTotal{0};
}

int64_t LFile::GetBytesRead() { return iBytesReadTotal.load(std::memory_order_relaxed); }

int64_t LFile::Read(void* pBuffer, int64_t iBytes)
{
    if (iFd < 0 || iBytes <= 0)
        return 0;
    auto* p = static_cast<char*>(pBuffer);
    int64_t iDone = 0;
    while (iDone < iBytes) {
        ssize_t r = ::read(iFd, p + iDone, size_t(iBytes - iDone));
        if (r < 0 && errno == EINTR)
            continue;
        if (r <= 0)
            break;
        iDone += r;
    }
    iBytesReadTotal.fetch_add(iDone, std::memory_order_relaxed);
    return iDone;
}

int64_t LFile::Write(const void* pBuffer, int64_t iBytes)
{
    if (iFd < 0 || iBytes <= 0)
        return 0;
    auto* p = static_cast<const char*>(pBuffer);
    int64_t iDone = 0;
    while (iDone < iBytes) {
        ssize_t r = ::write(iFd, p + iDone, size_t(iBytes - iDone));
        if (r < 0 && errno == EINTR)
            continue;
        if (r <= 0)
            break;
        iDone += r;
    }
    return iDone;
}

int64_t LFile::ReadAt(void* pBuffer, int64_t iBytes, int64_t iOffset)
{
    if (iFd < 0 || iBytes <= 0 || iOffset < 0)
        return 0;
    auto* p = static_cast<char*>(pBuffer);
    int64_t iDone = 0;
    while (iDone < iBytes) {
        ssize_t r = ::pread(iFd, p + iDone, size_t(iBytes - iDone), iOffset + iDone);
        if (r < 0 && errno == EINTR)
            continue;
        if (r <= 0)
            break;
        iDone += r;
    }
    iBytesReadTotal.fetch_add(iDone, std::memory_order_relaxed);
    return iDone;
}

int64_t LFile::WriteAt(const void* pBuffer, int64_t iBytes, int64_t iOffset)
{
    if (iFd < 0 || iBytes <= 0 || iOffset < 0)
        return 0;
    auto* p = static_cast<const char*>(pBuffer);
    int64_t iDone = 0;
    while (iDone < iBytes) {
        ssize_t r = ::pwrite(iFd, p + iDone, size_t(iBytes - iDone), iOffset + iDone);
        if (r < 0 && errno == EINTR)
            continue;
        if (r <= 0)
            break;
        iDone += r;
    }
    return iDone;
}

bool LFile::Seek(int64_t iOffset)
{
    return iFd >= 0 && iOffset >= 0 && ::lseek(iFd, iOffset, SEEK_SET) == iOffset;
}

bool LFile::Skip(int64_t iBytes)
{
    if (iFd < 0)
        return false;
    int64_t iTarget = Tell() + iBytes;
    return iTarget >= 0 && ::lseek(iFd, iBytes, SEEK_CUR) == iTarget;
}

int64_t LFile::Tell() const
{
    if (iFd < 0)
        return 0;
    off_t o = ::lseek(iFd, 0, SEEK_CUR);
    return o < 0 ? 0 : int64_t(o);
}

bool LFile::Truncate()
{
    return iFd >= 0 && ::ftruncate(iFd, Tell()) == 0;
}

int64_t LFile::GetFileSizeBytes() const
{
    struct stat st;
    if (iFd < 0 || ::fstat(iFd, &st) != 0) {
        LTrace("LFile::GetFileSizeBytes() FAILED");
        return 0;
    }
    return int64_t(st.st_size);
}

void LFile::FilePathCat(std::string& strFolder, const std::string& strName)
{
    if (strFolder.size() >= MaxPath) {
        LTrace("LFile::FilePathCat szFolderPath too long");
        return;
    }
    if (!strFolder.empty() && strFolder.back() != '/' && strFolder.back() != '\\')
        strFolder += '/';
    strFolder += strName;
    if (strFolder.size() > MaxPath)
        strFolder.resize(MaxPath);
}

void LFile::FilePathCat(std::string& strFolder, const std::string& strName,
                        const std::string& strExtension)
{
    FilePathCat(strFolder, strName);
    if (strFolder.size() < MaxPath) {
        strFolder += strExtension;
        if (strFolder.size() > MaxPath)
            strFolder.resize(MaxPath);
    }
}

bool LFile::Exists(const std::string& strPath)
{
    struct stat st;
    return ::stat(strPath.c_str(), &st) == 0;
}

bool LFile::Delete(const std::string& strPath) { return ::unlink(strPath.c_str()) == 0; }

std::string LFile::GetFileName(const std::string& strPath)
{
    size_t i = strPath.find_last_of('/');
    return i == std::string::npos ? strPath : strPath.substr(i + 1);
}

std::string LFile::GetExtensionLower(const std::string& strPath)
{
    std::string strName = GetFileName(strPath);
    size_t i = strName.find_last_of('.');
    if (i == std::string::npos || i == 0)
        return std::string();
    std::string strExt = strName.substr(i);
    for (char& c : strExt)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return strExt;
}
