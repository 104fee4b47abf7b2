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
// In the child between fork and exec: only calls that are safe there. The
// program gets a process group of its own, so that stopping it stops what it
// started too, and a terminal's Ctrl+C reaches us rather than it.
[[noreturn]] void ExecChild(const char* szPath, char* const* argv, pid_t parent, int iReport)
{
    // A program we wait for ends with us, even when we are killed; a handed
    // off one (parent 0) lives on.
    if (parent != 0 && (::prctl(PR_SET_PDEATHSIG, SIGKILL) != 0 || ::getppid() != parent))
        ::_exit(127);
    if (parent != 0)
        ::setpgid(0, 0);
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

// The errno a failed exec wrote into the pipe, 0 when the exec succeeded
// (which closed the pipe).
int ReadExecError(int iPipe)
{
    int iErr = 0;
    ssize_t r;
    do {
        r = ::read(iPipe, &iErr, sizeof iErr);
    } while (r < 0 && errno == EINTR);
    ::close(iPipe);
    return r > 0 ? (iErr ? iErr : EIO) : 0;
}

// What both starts share: the program found on PATH, its argument vector,
// and a pipe closed by a successful exec, so anything read from it is the
// errno of a failed one.
struct ExecPlan {
    bool Prepare(const std::vector<std::string>& args, const char* szWho)
    {
        if (args.empty())
            return false;
        strPath = LChildProcess::FindOnPath(args[0]);
        if (strPath.empty()) {
            LTrace("%s unable to find %s", szWho, args[0].c_str());
            return false;
        }
        for (const std::string& s : args)
            argv.push_back(const_cast<char*>(s.c_str()));
        argv.push_back(nullptr);
        return ::pipe2(aPipe, O_CLOEXEC) == 0;
    }
    [[noreturn]] void Exec(pid_t parent)
    {
        ExecChild(strPath.c_str(), argv.data(), parent, aPipe[1]);
    }
    // In the parent once forked: true when the program runs.
    bool Started(bool bForked, const char* szWho)
    {
        ::close(aPipe[1]);
        const int iErr = ReadExecError(aPipe[0]);
        if (bForked && iErr == 0)
            return true;
        LTrace("%s unable to start %s", szWho, argv[0]);
        return false;
    }
    std::string strPath;
    std::vector<char*> argv;
    int aPipe[2] = { -1, -1 };
};
} // namespace

bool LChildProcess::Start(const std::vector<std::string>& args)
{
    ExecPlan plan;
    if (pid > 0 || !plan.Prepare(args, "LChildProcess::Start"))
        return false;
    const pid_t parent = ::getpid();
    pid = ::fork();
    if (pid == 0)
        plan.Exec(parent);
    if (pid > 0)
        ::setpgid(pid, pid); // either side may come first
    if (plan.Started(pid > 0, "LChildProcess::Start"))
        return true;
    if (pid > 0)
        ::waitpid(pid, nullptr, 0);
    pid = -1;
    return false;
}

bool LChildProcess::StartDetached(const std::vector<std::string>& args)
{
    ExecPlan plan;
    if (!plan.Prepare(args, "LChildProcess::StartDetached"))
        return false;
    // The program is the child of a child that ends at once: nobody waits for
    // it and it outlives us, in a session of its own.
    const pid_t middle = ::fork();
    if (middle == 0) {
        ::setsid();
        const pid_t program = ::fork();
        if (program == 0)
            plan.Exec(0);
        if (program < 0) {
            int iErr = errno;
            ssize_t r = ::write(plan.aPipe[1], &iErr, sizeof iErr);
            (void)r;
        }
        ::_exit(0);
    }
    const bool bStarted = plan.Started(middle > 0, "LChildProcess::StartDetached");
    if (middle > 0)
        ::waitpid(middle, nullptr, 0);
    return bStarted;
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
    // The whole group: a script's own children go with it.
    ::kill(-pid, SIGTERM);
    ::kill(pid, SIGTERM);
    int iStatus = 0;
    // A program that ignores the request is ended after two seconds.
    for (int i = 0; i < 200 && ::waitpid(pid, &iStatus, WNOHANG) == 0; ++i)
        ::usleep(10000);
    ::kill(-pid, SIGKILL);
    if (::waitpid(pid, &iStatus, WNOHANG) == 0) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, &iStatus, 0);
    }
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
