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
        Read,          // existing file, read only
        ReadWrite,     // existing file or a new one, kept if it exists
        CreateWrite,   // write only, created or truncated
        CreateReadWrite, // read and write, created or truncated
    };

    LFile() = default;
    ~LFile();
    LFile(LFile&& other) noexcept;
    LFile& operator=(LFile&& other) noexcept;
    LFile(const LFile&) = delete;
    LFile& operator=(const LFile&) = delete;

    bool Open(const std::string& strPath, Mode mode);
    void Close();
    bool IsOpen() const { return iFd >= 0; }

    // Bytes actually transferred; short counts at the end of the file, 0 on
    // error. Interrupted calls are resumed.
    int64_t Read(void* pBuffer, int64_t iBytes);
    int64_t Write(const void* pBuffer, int64_t iBytes);

    // Read exactly iBytes at iOffset without moving the file pointer.
    int64_t ReadAt(void* pBuffer, int64_t iBytes, int64_t iOffset);
    int64_t WriteAt(const void* pBuffer, int64_t iBytes, int64_t iOffset);

    bool Seek(int64_t iOffset);           // absolute
    bool Skip(int64_t iBytes);            // relative to the current position
    int64_t Tell() const;
    bool Truncate();                      // cut the file at the file pointer

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
    static void FilePathCat(std::string& strFolder, const std::string& strName,
                            const std::string& strExtension);
    static bool Exists(const std::string& strPath);
    static bool Delete(const std::string& strPath);
    // Extension with the dot, lower case ("" when none): "/a/B.WAV" -> ".wav".
    static std::string GetExtensionLower(const std::string& strPath);
    // The part after the last '/'.
    static std::string GetFileName(const std::string& strPath);

private:
    int iFd = -1;
};
