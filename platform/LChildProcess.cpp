#include "platform/LChildProcess.h"

#include "platform/LTrace.h"

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

LChildProcess::~LChildProcess()
{
    if (pid > 0)
        Kill();
}

namespace {
// In the child between fork and exec: only calls that are safe there.
[[noreturn]] void ExecChild(const char* szPath, char* const* argv, pid_t parent, int iReport)
{
    // The program ends with us, even when we are killed.
    if (::prctl(PR_SET_PDEATHSIG, SIGKILL) != 0 || ::getppid() != parent)
        ::_exit(127);
    int iNull = ::open("/dev/null", O_RDWR);
    if (iNull >= 0) {
        ::dup2(iNull, 0);
        ::dup2(iNull, 1);
        ::dup2(iNull, 2);
    }
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    ::execv(szPath, argv);
    int iErr = errno;
    ssize_t r = ::write(iReport, &iErr, sizeof iErr);
    (void)r;
    ::_exit(127);
}
} // namespace

bool LChildProcess::Start(const std::vector<std::string>& args)
{
    if (args.empty() || pid > 0)
        return false;
    const std::string strPath = FindOnPath(args[0]);
    if (strPath.empty()) {
        LTrace("LChildProcess::Start unable to find %s", args[0].c_str());
        return false;
    }
    std::vector<char*> argv;
    for (const std::string& s : args)
        argv.push_back(const_cast<char*>(s.c_str()));
    argv.push_back(nullptr);
    // A pipe closed by a successful exec: anything read from it is the errno
    // of a failed one.
    int aPipe[2];
    if (::pipe2(aPipe, O_CLOEXEC) != 0)
        return false;
    const pid_t parent = ::getpid();
    pid = ::fork();
    if (pid == 0)
        ExecChild(strPath.c_str(), argv.data(), parent, aPipe[1]);
    ::close(aPipe[1]);
    int iErr = 0;
    ssize_t r;
    do {
        r = ::read(aPipe[0], &iErr, sizeof iErr);
    } while (r < 0 && errno == EINTR);
    ::close(aPipe[0]);
    if (pid < 0 || r > 0) {
        LTrace("LChildProcess::Start unable to start %s", args[0].c_str());
        if (pid > 0)
            ::waitpid(pid, nullptr, 0);
        pid = -1;
        return false;
    }
    return true;
}

bool LChildProcess::HasEnded()
{
    if (pid <= 0)
        return true;
    int iStatus = 0;
    if (waitpid(pid, &iStatus, WNOHANG) != pid)
        return false;
    iExitCode = WIFEXITED(iStatus) ? WEXITSTATUS(iStatus) : 128 + WTERMSIG(iStatus);
    pid = -1;
    return true;
}

void LChildProcess::Kill()
{
    if (pid <= 0)
        return;
    kill(pid, SIGTERM);
    int iStatus = 0;
    waitpid(pid, &iStatus, 0);
    iExitCode = -1;
    pid = -1;
}

std::string LChildProcess::FindOnPath(const std::string& strName)
{
    if (strName.find('/') != std::string::npos)
        return access(strName.c_str(), X_OK) == 0 ? strName : "";
    const char* sz = getenv("PATH");
    std::string strAll = sz ? sz : "/usr/bin:/bin";
    size_t uStart = 0;
    while (uStart <= strAll.size()) {
        size_t uEnd = strAll.find(':', uStart);
        if (uEnd == std::string::npos)
            uEnd = strAll.size();
        std::string strPath = strAll.substr(uStart, uEnd - uStart) + "/" + strName;
        if (uEnd > uStart && access(strPath.c_str(), X_OK) == 0)
            return strPath;
        uStart = uEnd + 1;
    }
    return "";
}
