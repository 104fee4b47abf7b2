#pragma once
// Keeps both cores of the machine busy for as long as it lives: two `yes`
// processes writing to /dev/null, stopped and reaped on destruction. The
// real-time benches run under it to show that load does not cost audio.
// Used from the bench's main thread only.
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

class BusyCores {
public:
    BusyCores()
    {
        for (pid_t& pid : aPids)
            pid = Spawn();
    }
    ~BusyCores()
    {
        for (pid_t pid : aPids)
            if (pid > 0) {
                kill(pid, SIGTERM);
                waitpid(pid, nullptr, 0);
            }
    }
    BusyCores(const BusyCores&) = delete;
    BusyCores& operator=(const BusyCores&) = delete;

private:
    static pid_t Spawn()
    {
        posix_spawn_file_actions_t fa;
        posix_spawn_file_actions_init(&fa);
        posix_spawn_file_actions_addopen(&fa, 1, "/dev/null", O_WRONLY, 0);
        char szYes[] = "yes";
        char* argv[] = { szYes, nullptr };
        pid_t pid = -1;
        if (posix_spawnp(&pid, "yes", &fa, nullptr, argv, environ) != 0)
            pid = -1;
        posix_spawn_file_actions_destroy(&fa);
        return pid;
    }
    pid_t aPids[2] = { -1, -1 };
};
