#include "platform/LChildProcess.h"
#include "platform/LTrace.h"

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

LChildProcess::~LChildProcess()
{
    if (pid > 0)
        Kill();
}

bool LChildProcess::Start(const std::vector<std::string>& args)
{
    if (args.empty() || pid > 0)
        return false;
    std::vector<char*> argv;
    for (const std::string& s : args)
        argv.push_back(const_cast<char*>(s.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    int iErr = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (iErr != 0) {
        LTrace("LChildProcess::Start unable to start %s", args[0].c_str());
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
