#pragma once

#include <string>
#include <vector>

// The desktop's mail program in the place of Simple MAPI: xdg-email opens a
// new message in the user's mail program with the files attached. Called on
// the user-interface thread; nothing waits for the mail program.
class LMapi {
public:
    // A mail program can be reached: xdg-email is found on PATH.
    static bool IsPresent();
    // Hands the files (made absolute, each one argument) to a new message.
    // 0 once xdg-email runs, 1 when it cannot be started.
    static int MAPISendDocuments(const std::vector<std::string>& paths);
};
