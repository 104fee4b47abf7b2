#pragma once

#include <cstdint>
#include <string>

// Copies byte ranges from one file into another inside the kernel
// (copy_file_range: the bytes never pass through this process, and a file
// system that can share blocks may share them). Where the kernel cannot copy
// between the two files the caller writes the bytes itself. Owns its two
// descriptors; one thread at a time.
class LRangeCopy {
public:
    LRangeCopy() = default;
    ~LRangeCopy();
    LRangeCopy(const LRangeCopy&) = delete;
    LRangeCopy& operator=(const LRangeCopy&) = delete;

    // The file read from (read only). False when it cannot be opened.
    bool OpenSource(const std::string& strPath);
    // The existing file written to, in place (closes the previous one).
    bool OpenTarget(const std::string& strPath);

    // Copies iBytes from iFrom of the source to iTo of the target and
    // returns how many were copied. Fewer than iBytes: either the kernel
    // cannot copy between these files (GetError() is 0, the caller writes
    // the rest, and later calls copy nothing) or a write failed (GetError()
    // says why, as a full disk).
    int64_t Copy(int64_t iFrom, int64_t iTo, int64_t iBytes);
    int GetError() const { return iError; }

private:
    int iSource = -1;
    int iTarget = -1;
    int iError = 0;
    bool bKernelCopies = true;
};
