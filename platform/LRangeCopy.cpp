#include "platform/LRangeCopy.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {
void CloseFd(int& iFd)
{
    if (iFd >= 0)
        ::close(iFd);
    iFd = -1;
}

// The reasons a kernel gives when it has no copy between two files (another
// file system, an old kernel, a special file); the bytes can still be
// written by hand.
bool CannotCopyHere(int iErrno)
{
    return iErrno == EXDEV || iErrno == EINVAL || iErrno == ENOSYS || iErrno == EOPNOTSUPP
        || iErrno == EBADF || iErrno == ETXTBSY || iErrno == EPERM;
}
} // namespace

LRangeCopy::~LRangeCopy()
{
    CloseFd(iSource);
    CloseFd(iTarget);
}

bool LRangeCopy::OpenSource(const std::string& strPath)
{
    CloseFd(iSource);
    iSource = ::open(strPath.c_str(), O_RDONLY | O_CLOEXEC);
    return iSource >= 0;
}

bool LRangeCopy::OpenTarget(const std::string& strPath)
{
    CloseFd(iTarget);
    iTarget = ::open(strPath.c_str(), O_WRONLY | O_CLOEXEC | O_NOFOLLOW);
    return iTarget >= 0;
}

int64_t LRangeCopy::Copy(int64_t iFrom, int64_t iTo, int64_t iBytes)
{
    if (iSource < 0 || iTarget < 0 || iError != 0)
        return 0;
    off64_t lIn = iFrom, lOut = iTo;
    int64_t iDone = 0;
    while (bKernelCopies && iDone < iBytes) {
        ssize_t n = ::copy_file_range(iSource, &lIn, iTarget, &lOut, size_t(iBytes - iDone), 0);
        if (n > 0) {
            iDone += n;
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        // The source ended early (n == 0) or the kernel has no copy here:
        // the caller writes what it read.
        if (n < 0 && CannotCopyHere(errno))
            bKernelCopies = false;
        else if (n < 0)
            iError = errno;
        break;
    }
    return iDone;
}
