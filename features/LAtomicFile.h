#pragma once

#include "platform/LFile.h"

#include <string>

// A file written under a temporary name beside its target and put in the
// target's place in one step by Commit, so a crash or a failed write never
// leaves half a file where the old one was. Dropped without Commit, the
// temporary file is deleted. One thread at a time.
class LAtomicFile {
public:
    ~LAtomicFile();
    bool Open(const std::string& strTarget);
    LFile& File() { return file; }
    bool Write(const void* p, int64_t iBytes) { return file.Write(p, iBytes) == iBytes; }
    // 0, or the errno of what failed (the target is then as it was).
    // Without bFlush the file takes the target's place without waiting for
    // the disk: a crash of the program keeps it, one of the system may not.
    int Commit(bool bFlush = true);

private:
    LFile file;
    std::string strTarget, strTemp;
};
