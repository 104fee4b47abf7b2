#pragma once

#include "features/LOVBookMark.h"

#include <string>
#include <vector>

// The main window's bookmarks of every open document, in the order they
// were added, and the bookmark list file (".obm") kept beside each saved
// audio file: version 0, a one-byte count, the records of that file.
// Used on the user-interface thread.
class LBookMarkList {
public:
    enum class LoadResult { Missing, Loaded, WrongVersion, Damaged };
    static constexpr size_t kMaxCount = 255;

    std::vector<LOVBookMark>& Items() { return items; }
    const std::vector<LOVBookMark>& Items() const { return items; }
    // Appends and returns the new bookmark (with its serial).
    LOVBookMark& Append(LOVBookMark bookmark);
    // Index of the first bookmark of that name (case ignored), -1 if none.
    int FindName(const std::string& strName) const;
    std::vector<LOVBookMark*> OfFile(const std::string& strDisplayName);
    void RemoveFile(const std::string& strDisplayName);
    void RenameFile(const std::string& strOld, const std::string& strNew);
    void Clear() { items.clear(); }

    // The audio file's path with its extension replaced by ".obm".
    static std::string ObmPath(const std::string& strAudioPath);
    // Appends the file's records; a record cut short ends the reading.
    LoadResult LoadFile(const std::string& strPath);
    // Writes the bookmarks of strDisplayName (at most 255; strWarning says
    // when more were left out), or deletes the file when the list is empty.
    // 0 or the errno of what failed.
    int SaveFile(const std::string& strPath, const std::string& strDisplayName,
        std::string& strWarning) const;

    // The records of a list file or a project's bookmark section, read from
    // bytes: count, then the records. False when the data ends inside them.
    static bool Parse(const uint8_t* p, size_t iBytes, std::vector<LOVBookMark>& out);

private:
    std::vector<LOVBookMark> items;
    uint32_t uNextSerial = 1;
};

// Case-insensitive comparison of names, as every name of the program.
bool LSameName(const std::string& a, const std::string& b);
