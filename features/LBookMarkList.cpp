#include "features/LBookMarkList.h"

#include "features/LAtomicFile.h"
#include "platform/LFile.h"

#include <algorithm>
#include <cerrno>
#include <strings.h>

bool LSameName(const std::string& a, const std::string& b)
{
    return strcasecmp(a.c_str(), b.c_str()) == 0;
}

LOVBookMark& LBookMarkList::Append(LOVBookMark bookmark)
{
    bookmark.uSerial = uNextSerial++;
    items.push_back(std::move(bookmark));
    return items.back();
}

int LBookMarkList::FindName(const std::string& strName) const
{
    for (size_t i = 0; i < items.size(); ++i)
        if (LSameName(items[i].szName, strName))
            return int(i);
    return -1;
}

std::vector<LOVBookMark*> LBookMarkList::OfFile(const std::string& strDisplayName)
{
    std::vector<LOVBookMark*> out;
    for (LOVBookMark& b : items)
        if (LSameName(b.szFile, strDisplayName))
            out.push_back(&b);
    return out;
}

void LBookMarkList::RemoveFile(const std::string& strDisplayName)
{
    std::erase_if(items, [&](const LOVBookMark& b) { return LSameName(b.szFile, strDisplayName); });
}

void LBookMarkList::RenameFile(const std::string& strOld, const std::string& strNew)
{
    for (LOVBookMark* p : OfFile(strOld))
        p->szFile = strNew;
}

std::string LBookMarkList::ObmPath(const std::string& strAudioPath)
{
    std::string strName = LFile::GetFileName(strAudioPath);
    size_t iDot = strName.find_last_of('.');
    std::string strBase = iDot == std::string::npos || iDot == 0
        ? strAudioPath
        : strAudioPath.substr(0, strAudioPath.size() - (strName.size() - iDot));
    return strBase + ".obm";
}

bool LBookMarkList::Parse(const uint8_t* p, size_t iBytes, std::vector<LOVBookMark>& out)
{
    if (iBytes < 1)
        return false;
    const size_t iCount = p[0];
    size_t iAt = 1;
    for (size_t i = 0; i < iCount; ++i, iAt += LOVBookMark::kRecordSize) {
        if (iBytes - iAt < LOVBookMark::kRecordSize)
            return false;
        out.emplace_back().Load(p + iAt);
    }
    return true;
}

LBookMarkList::LoadResult LBookMarkList::LoadFile(const std::string& strPath)
{
    LFile file;
    if (!file.Open(strPath, LFile::Mode::Read))
        return LoadResult::Missing;
    // At most a version byte, a count and 255 records.
    std::vector<uint8_t> data(2 + kMaxCount * LOVBookMark::kRecordSize);
    const int64_t iRead = file.Read(data.data(), int64_t(data.size()));
    if (iRead < 1 || data[0] != 0)
        return LoadResult::WrongVersion;
    std::vector<LOVBookMark> read;
    bool bWhole = Parse(data.data() + 1, size_t(iRead - 1), read);
    for (LOVBookMark& b : read)
        Append(std::move(b));
    return bWhole ? LoadResult::Loaded : LoadResult::Damaged;
}

int LBookMarkList::SaveFile(
    const std::string& strPath, const std::string& strDisplayName, std::string& strWarning) const
{
    if (items.empty()) {
        LFile::Delete(strPath);
        return 0;
    }
    std::vector<uint8_t> data(2);
    size_t iCount = 0;
    for (const LOVBookMark& b : items) {
        if (!LSameName(b.szFile, strDisplayName))
            continue;
        if (++iCount > kMaxCount)
            continue;
        data.resize(data.size() + LOVBookMark::kRecordSize);
        b.Store(data.data() + data.size() - LOVBookMark::kRecordSize);
    }
    if (iCount > kMaxCount)
        strWarning = "Only the first 255 of the " + std::to_string(iCount) + " bookmarks of \""
            + strDisplayName + "\" were saved.";
    data[1] = uint8_t(std::min(iCount, kMaxCount));
    LAtomicFile file;
    if (!file.Open(strPath))
        return file.File().GetError() ? file.File().GetError() : EACCES;
    file.Write(data.data(), int64_t(data.size()));
    return file.Commit();
}
