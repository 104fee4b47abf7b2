#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

// An outside program started with an argument vector (never a shell, so no
// file name can inject a command), its output discarded. The program is
// killed when the thread that started it ends, so a program that is killed
// leaves none behind; start it from the thread that lives as long as it
// should (the user-interface thread). It runs in a process group of its
// own, which Kill ends as a whole.
class LChildProcess {
public:
    LChildProcess() = default;
    ~LChildProcess();
    LChildProcess(const LChildProcess&) = delete;
    LChildProcess& operator=(const LChildProcess&) = delete;

    // args[0] is the program: a path, or a name looked up on PATH.
    bool Start(const std::vector<std::string>& args);
    // True once the program has ended (its exit code is then known).
    bool HasEnded();
    int GetExitCode() const { return iExitCode; }
    // Ends the program and whatever it started (on Cancel) and waits for it.
    void Kill();

    // Hands a program off: started as Start does, but nobody waits for it
    // and it outlives this process (a mail composer). True once it runs.
    static bool StartDetached(const std::vector<std::string>& args);

    // Full path of a program on PATH, or "" when not found.
    static std::string FindOnPath(const std::string& strName);

private:
    pid_t pid = -1;
    int iExitCode = -1;
};
