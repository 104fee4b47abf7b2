#include "platform/LFile.h"

#include "platform/LTrace.h"

#include <atomic>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

LFile::~LFile()
{
    Close();
}

LFile::LFile(LFile&& other) noexcept
    : iFd(other.iFd)
    , iError(other.iError)
{
    other.iFd = -1;
}

LFile& LFile::operator=(LFile&& other) noexcept
{
    if (this != &other) {
        Close();
        iFd = other.iFd;
        iError = other.iError;
        other.iFd = -1;
    }
    return *this;
}

void LFile::Fail(int iErrno)
{
    if (iError == 0)
        iError = iErrno != 0 ? iErrno : EIO;
}

bool LFile::Open(const std::string& strPath, Mode mode)
{
    Close();
    iError = 0;
    int iFlags = O_CLOEXEC;
    switch (mode) {
    case Mode::Read:
        iFlags |= O_RDONLY;
        break;
    case Mode::ReadWrite:
        iFlags |= O_RDWR | O_CREAT;
        break;
    case Mode::CreateWrite:
        iFlags |= O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW;
        break;
    case Mode::CreateReadWrite:
        iFlags |= O_RDWR | O_CREAT | O_TRUNC | O_NOFOLLOW;
        break;
    case Mode::CreateNew:
        iFlags |= O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW;
        break;
    }
    do {
        iFd = ::open(strPath.c_str(), iFlags, 0666);
    } while (iFd < 0 && errno == EINTR);
    if (iFd < 0)
        Fail(errno);
    if (iFd >= 0 && mode == Mode::Read) {
        struct stat st;
        if (::fstat(iFd, &st) != 0 || S_ISDIR(st.st_mode)) {
            Close();
            return false;
        }
    }
    return iFd >= 0;
}

bool LFile::OpenUnique(const std::string& strFolder, const std::string& strPrefix,
    const std::string& strSuffix, std::string& strPath)
{
    Close();
    iError = 0;
    strPath = strFolder;
    FilePathCat(strPath, strPrefix + "XXXXXX" + strSuffix);
    iFd = ::mkostemps(strPath.data(), int(strSuffix.size()), O_CLOEXEC);
    if (iFd < 0)
        Fail(errno);
    return iFd >= 0;
}

bool LFile::Close()
{
    if (iFd >= 0) {
        // NFS and some others report a lost write only here; EINTR still
        // closed the descriptor.
        if (::close(iFd) != 0 && errno != EINTR)
            Fail(errno);
        iFd = -1;
    }
    return iError == 0;
}

bool LFile::Sync()
{
    if (iFd < 0)
        return false;
    if (::fsync(iFd) != 0)
        Fail(errno);
    return iError == 0;
}

namespace {
std::atomic<int64_t> iBytesReadTotal { 0 };
std::atomic<int64_t> iFaultCountdown { 0 };
std::atomic<int> iFaultErrno { 0 };
} // namespace

int64_t LFile::SetWriteFault(int64_t iNth, int iErrno)
{
    iFaultErrno.store(iErrno);
    return iFaultCountdown.exchange(iNth > 0 ? iNth : 0);
}

bool LFile::WriteFaulted()
{
    if (iFaultCountdown.load(std::memory_order_relaxed) <= 0 || iFaultCountdown.fetch_sub(1) != 1)
        return false;
    errno = iFaultErrno.load();
    return true;
}

int64_t LFile::GetBytesRead()
{
    return iBytesReadTotal.load(std::memory_order_relaxed);
}

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
    if (iFd < 0 || iBytes <= 0) {
        if (iBytes > 0)
            Fail(EBADF);
        return 0;
    }
    auto* p = static_cast<const char*>(pBuffer);
    int64_t iDone = 0;
    while (iDone < iBytes) {
        ssize_t r = WriteFaulted() ? -1 : ::write(iFd, p + iDone, size_t(iBytes - iDone));
        if (r < 0 && errno == EINTR)
            continue;
        if (r <= 0) {
            Fail(r < 0 ? errno : ENOSPC);
            break;
        }
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
    if (iFd < 0 || iBytes <= 0 || iOffset < 0) {
        if (iBytes > 0)
            Fail(iFd < 0 ? EBADF : EINVAL);
        return 0;
    }
    auto* p = static_cast<const char*>(pBuffer);
    int64_t iDone = 0;
    while (iDone < iBytes) {
        ssize_t r = WriteFaulted()
            ? -1
            : ::pwrite(iFd, p + iDone, size_t(iBytes - iDone), iOffset + iDone);
        if (r < 0 && errno == EINTR)
            continue;
        if (r <= 0) {
            Fail(r < 0 ? errno : ENOSPC);
            break;
        }
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
    if (iFd >= 0 && ::ftruncate(iFd, Tell()) == 0)
        return true;
    Fail(iFd >= 0 ? errno : EBADF);
    return false;
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

void LFile::FilePathCat(
    std::string& strFolder, const std::string& strName, const std::string& strExtension)
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

bool LFile::Delete(const std::string& strPath)
{
    return ::unlink(strPath.c_str()) == 0;
}

namespace {
std::string FolderOf(const std::string& strPath)
{
    size_t i = strPath.find_last_of('/');
    return i == std::string::npos ? "." : i == 0 ? "/" : strPath.substr(0, i);
}
} // namespace

int LFile::ReplaceFile(const std::string& strNew, const std::string& strTarget)
{
    int iFd = ::open(strNew.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (iFd < 0)
        return errno;
    struct stat st;
    if (::stat(strTarget.c_str(), &st) == 0) {
        // Owner first: a change of owner may clear the set-id bits.
        if (::fchown(iFd, st.st_uid, st.st_gid) != 0 && ::fchown(iFd, geteuid(), st.st_gid) != 0)
            LTrace("LFile::ReplaceFile cannot keep the owner of %s", strTarget.c_str());
        if (::fchmod(iFd, st.st_mode & 07777) != 0)
            LTrace("LFile::ReplaceFile cannot keep the permissions of %s", strTarget.c_str());
    }
    int iErr = ::fsync(iFd) == 0 ? 0 : errno;
    ::close(iFd);
    if (iErr == 0 && ::rename(strNew.c_str(), strTarget.c_str()) != 0)
        iErr = errno;
    if (iErr != 0)
        return iErr;
    // The rename itself is on the disk only once the folder is.
    int iDir = ::open(FolderOf(strTarget).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (iDir >= 0) {
        if (::fsync(iDir) != 0)
            LTrace("LFile::ReplaceFile cannot flush the folder of %s", strTarget.c_str());
        ::close(iDir);
    }
    return 0;
}

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

std::string LFile::DescribeError(int iErrno)
{
    switch (iErrno) {
    case ENOSPC:
    case EDQUOT:
        return "out of space";
    case EFBIG:
        return "the file is too large for this disk";
    case EACCES:
    case EPERM:
        return "permission denied";
    case EROFS:
        return "the disk is read-only";
    case ENOENT:
        return "no such file or folder";
    case EIO:
        return "input/output error";
    default:
        return std::strerror(iErrno);
    }
}
