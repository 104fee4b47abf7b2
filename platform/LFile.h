#pragma once

#include <cstdint>
#include <string>

// An open file over a POSIX descriptor. Owns the descriptor and closes it on
// destruction; movable, not copyable. All sizes and offsets are 64-bit so
// files beyond 4 GB are handled; the audio formats above cap what they use.
// One thread at a time.
class LFile {
public:
    enum class Mode {
        Read, // existing file, read only
        ReadWrite, // existing file or a new one, kept if it exists
        CreateWrite, // write only, created or truncated
        CreateReadWrite, // read and write, created or truncated
        CreateNew, // write only, a file that does not exist yet
    };
    // The create modes never follow a link at the last part of the path, so a
    // name planted as a link cannot redirect a write to another file.

    LFile() = default;
    ~LFile();
    LFile(LFile&& other) noexcept;
    LFile& operator=(LFile&& other) noexcept;
    LFile(const LFile&) = delete;
    LFile& operator=(const LFile&) = delete;

    bool Open(const std::string& strPath, Mode mode);
    // Creates and opens (read and write) a new private file named strPrefix,
    // six random characters and strSuffix in strFolder; the path goes to
    // strPath.
    bool OpenUnique(const std::string& strFolder, const std::string& strPrefix,
        const std::string& strSuffix, std::string& strPath);
    // False when the system reports that written data was lost.
    bool Close();
    bool IsOpen() const { return iFd >= 0; }

    // The reason (errno) of the first failed open, write, flush or close of
    // this file, 0 while none failed. A write that stops short without a
    // reason counts as out of space. Writers check it to stop at once.
    int GetError() const { return iError; }
    // Flushes the file's data to the disk.
    bool Sync();

    // Bytes actually transferred; short counts at the end of the file, 0 on
    // error. Interrupted calls are resumed.
    int64_t Read(void* pBuffer, int64_t iBytes);
    int64_t Write(const void* pBuffer, int64_t iBytes);

    // Read exactly iBytes at iOffset without moving the file pointer.
    int64_t ReadAt(void* pBuffer, int64_t iBytes, int64_t iOffset);
    int64_t WriteAt(const void* pBuffer, int64_t iBytes, int64_t iOffset);

    bool Seek(int64_t iOffset); // absolute
    bool Skip(int64_t iBytes); // relative to the current position
    int64_t Tell() const;
    bool Truncate(); // cut the file at the file pointer

    // Size of the open file, 0 when it cannot be read.
    int64_t GetFileSizeBytes() const;

    // Path functions. FilePathCat appends a name to a folder, inserting '/'
    // unless the folder is empty or already ends in a separator; the result is
    // limited to MaxPath characters (a folder at the limit stays unchanged,
    // the name is cut).
    static constexpr size_t MaxPath = 4095;
    // Bytes read through any LFile of this process so far (diagnostics, and
    // the proof that an operation reads no audio).
    static int64_t GetBytesRead();
    static void FilePathCat(std::string& strFolder, const std::string& strName);
    static void FilePathCat(
        std::string& strFolder, const std::string& strName, const std::string& strExtension);
    static bool Exists(const std::string& strPath);
    static bool Delete(const std::string& strPath);
    // Puts the finished file strNew in strTarget's place in one step: its data
    // reaches the disk first, strTarget's permission bits (and owner and
    // group where allowed) carry over, and the folder is flushed after the
    // rename. 0, or the errno of what failed (strNew is then left alone).
    static int ReplaceFile(const std::string& strNew, const std::string& strTarget);
    // Extension with the dot, lower case ("" when none): "/a/B.WAV" -> ".wav".
    static std::string GetExtensionLower(const std::string& strPath);
    // The part after the last '/'.
    static std::string GetFileName(const std::string& strPath);
    // A reason for a user: "out of space", "permission denied", ...
    static std::string DescribeError(int iErrno);

    // Test seam: the iNth write of this process from now on (1 = the next)
    // fails with iErrno, as a full disk or a quota would make it fail. 0
    // disarms. Writes are counted only while armed. Returns how many writes
    // the previous arming still had to go (so a test counts the writes of
    // an operation by arming far away).
    static int64_t SetWriteFault(int64_t iNth, int iErrno);

private:
    bool WriteFaulted();
    void Fail(int iErrno);

    int iFd = -1;
    int iError = 0;
};
