#pragma once

#include "engine/LSoundLevels.h"

#include <algorithm>
#include <poll.h>
#include <string>
#include <termios.h>
#include <unistd.h>

// What play and record show and read on a terminal.
// The terminal in single-key mode while playing or recording, restored
// afterwards.
class RawTerminal {
public:
    RawTerminal()
    {
        bActive = isatty(STDIN_FILENO) && tcgetattr(STDIN_FILENO, &saved) == 0;
        if (!bActive)
            return;
        termios raw = saved;
        raw.c_lflag &= tcflag_t(~(ICANON | ECHO));
        raw.c_cc[VMIN] = 0;
        raw.c_cc[VTIME] = 0;
        tcsetattr(STDIN_FILENO, TCSANOW, &raw);
    }
    ~RawTerminal()
    {
        if (bActive)
            tcsetattr(STDIN_FILENO, TCSANOW, &saved);
    }
    // The key pressed, or -1.
    int Key() const
    {
        pollfd p { STDIN_FILENO, POLLIN, 0 };
        unsigned char c = 0;
        if (!bActive || poll(&p, 1, 0) <= 0 || read(STDIN_FILENO, &c, 1) != 1)
            return -1;
        return c;
    }

private:
    termios saved {};
    bool bActive = false;
};

inline std::string LevelBar(const LSoundLevels& levels)
{
    std::string s;
    for (int c = 0; c < levels.bChannels && c < 2; ++c) {
        int iDb = levels.aLevels[c];
        int n = std::clamp((iDb + 45) / 3, 0, 20); // -45..+15 dB over 20 cells
        if (c)
            s += ' ';
        s.append(size_t(n), '#');
        s.append(size_t(20 - n), '.');
    }
    return s;
}
