#include "edit/LAudioCutTank.h"
#include "platform/LFile.h"
#include "platform/LFolders.h"
#include "platform/LTrace.h"

#include <cerrno>
#include <cstdlib>
#include <csignal>
#include <filesystem>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {
constexpr const char* kFolderPrefix = "orvenna-";

bool IsCutFile(const fs::path& p) { return p.extension() == ".aud" || p.extension() == ".grf"; }

void DeleteCutFiles(const std::string& strFolder)
{
    std::error_code ec;
    for (fs::directory_iterator it(strFolder, ec), end; !ec && it != end; it.increment(ec))
        if (IsCutFile(it->path()))
            fs::remove(it->path(), ec);
}
} // namespace

// The tank is never destroyed: cut lists held by other static objects may
// still release their cuts during exit. Its files go in an exit handler.
LAudioCutTank& LAudioCutTank::Get()
{
    static LAudioCutTank* pTank = [] {
        auto* p = new LAudioCutTank;
        std::atexit([] { Get().RemoveFolder(); });
        return p;
    }();
    return *pTank;
}

LAudioCutTank::LAudioCutTank() : counts(65536, 0)
{
    std::string strParent = LFolders::GetWorkingFolder();
    RemoveStaleFolders(strParent);
    strFolder = strParent;
    LFile::FilePathCat(strFolder, kFolderPrefix + std::to_string(getpid()));
    LFolders::Ensure(strFolder);
}

void LAudioCutTank::RemoveFolder()
{
    DeleteAllFiles();
    std::error_code ec;
    fs::remove(strFolder, ec);
}

void LAudioCutTank::RemoveStaleFolders(const std::string& strParent)
{
    std::error_code ec;
    for (fs::directory_iterator it(strParent, ec), end; !ec && it != end; it.increment(ec)) {
        std::string strName = it->path().filename().string();
        if (strName.rfind(kFolderPrefix, 0) != 0 || !it->is_directory(ec))
            continue;
        char* pEnd = nullptr;
        long lPid = strtol(strName.c_str() + 8, &pEnd, 10);
        if (lPid <= 0 || *pEnd != 0)
            continue;
        if (kill(pid_t(lPid), 0) == 0 || errno != ESRCH)
            continue; // still running (or not ours to judge)
        DeleteCutFiles(it->path().string());
        std::error_code ecRemove;
        fs::remove(it->path(), ecRemove);
    }
}

uint16_t LAudioCutTank::GetNewRefAndIncRef()
{
    std::lock_guard<std::mutex> lock(mtx);
    for (uint32_t u = 0; u < kSilentCut; ++u)
        if (counts[u] == 0) {
            counts[u] = 1;
            return uint16_t(u);
        }
    LTrace("LAudioCutTank::GetNewRefAndIncRef() NO MORE FREE CUTS!!!!");
    return kSilentCut;
}

void LAudioCutTank::IncRef(uint16_t wCut)
{
    if (wCut == kSilentCut)
        return;
    std::lock_guard<std::mutex> lock(mtx);
    if (counts[wCut] != 65535)
        ++counts[wCut];
}

void LAudioCutTank::DecRef(uint16_t wCut)
{
    if (wCut == kSilentCut)
        return;
    std::lock_guard<std::mutex> lock(mtx);
    if (counts[wCut] < 2) {
        LFile::Delete(GetAudFilePath(wCut));
        LFile::Delete(GetGrfFilePath(wCut));
        counts[wCut] = 0;
    } else {
        --counts[wCut];
    }
}

uint16_t LAudioCutTank::GetRefCount(uint16_t wCut)
{
    std::lock_guard<std::mutex> lock(mtx);
    return counts[wCut];
}

int LAudioCutTank::GetUsedCount()
{
    std::lock_guard<std::mutex> lock(mtx);
    int n = 0;
    for (uint32_t u = 0; u < kSilentCut; ++u)
        n += counts[u] != 0;
    return n;
}

std::string LAudioCutTank::GetAudFilePath(uint16_t wCut) const
{
    if (wCut == kSilentCut) {
        LTrace("LAudioCutTank::GetAudFilePath called on a silent segment");
        return "";
    }
    std::string s = strFolder;
    LFile::FilePathCat(s, std::to_string(wCut) + ".aud");
    return s;
}

std::string LAudioCutTank::GetGrfFilePath(uint16_t wCut) const
{
    if (wCut == kSilentCut) {
        LTrace("LAudioCutTank::GetGrfFilePath called on a silent segment");
        return "";
    }
    std::string s = strFolder;
    LFile::FilePathCat(s, std::to_string(wCut) + ".grf");
    return s;
}

void LAudioCutTank::DeleteAllFiles() { DeleteCutFiles(strFolder); }
