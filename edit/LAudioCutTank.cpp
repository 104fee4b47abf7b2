#include "edit/LAudioCutTank.h"

#include "platform/LFile.h"
#include "platform/LFolders.h"
#include "platform/LTrace.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {
constexpr const char* kFolderPrefix = "orvenna-";

bool IsCutFile(const fs::path& p)
{
    return p.extension() == ".aud" || p.extension() == ".grf";
}

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

LAudioCutTank::LAudioCutTank()
    : counts(new std::atomic<uint32_t>[65536]())
{
    std::string strParent = LFolders::GetWorkingFolder();
    RemoveStaleFolders(strParent);
    strFolder = strParent;
    LFile::FilePathCat(strFolder, kFolderPrefix + std::to_string(getpid()));
    LFolders::Ensure(strFolder);
    // Private: temporary files of saves live here too.
    std::error_code ec;
    fs::permissions(strFolder, fs::perms::owner_all, ec);
}

void LAudioCutTank::RemoveFolder()
{
    DeleteAllFiles();
    // A clean exit: whatever the journal lists was offered for saving.
    std::error_code ec;
    fs::remove(fs::path(strFolder) / kJournalName, ec);
    fs::remove(strFolder, ec);
}

std::vector<std::string> LAudioCutTank::FindOrphanFolders(const std::string& strParent)
{
    std::vector<std::string> out;
    std::error_code ec;
    for (fs::directory_iterator it(strParent, ec), end; !ec && it != end; it.increment(ec)) {
        std::string strName = it->path().filename().string();
        if (strName.rfind(kFolderPrefix, 0) != 0 || !it->is_directory(ec))
            continue;
        char* pEnd = nullptr;
        long lPid = strtol(strName.c_str() + 8, &pEnd, 10);
        if (lPid <= 0 || *pEnd != 0 || lPid == long(getpid()))
            continue;
        if (kill(pid_t(lPid), 0) == 0 || errno != ESRCH)
            continue; // still running (or not ours to judge)
        out.push_back(it->path().string());
    }
    return out;
}

namespace {
bool HasJournal(const std::string& strFolder)
{
    std::error_code ec;
    return fs::exists(fs::path(strFolder) / LAudioCutTank::kJournalName, ec);
}
} // namespace

void LAudioCutTank::RemoveStaleFolders(const std::string& strParent)
{
    // Cut files and the temporary files of saves that were under way; a
    // folder with a journal waits until its documents are recovered or
    // declined.
    for (const std::string& strFolder : FindOrphanFolders(strParent)) {
        if (HasJournal(strFolder))
            continue;
        std::error_code ec;
        fs::remove_all(strFolder, ec);
    }
}

std::vector<std::string> LAudioCutTank::FindJournalFolders()
{
    std::vector<std::string> out = FindOrphanFolders(LFolders::GetWorkingFolder());
    std::erase_if(out, [](const std::string& s) { return !HasJournal(s); });
    return out;
}

uint16_t LAudioCutTank::GetNewRefAndIncRef()
{
    std::lock_guard<std::mutex> lock(mtx);
    for (uint32_t u = 0; u < kSilentCut; ++u) {
        uint32_t uFree = 0;
        if (counts[u].compare_exchange_strong(uFree, 1))
            return uint16_t(u);
    }
    LTrace("LAudioCutTank::GetNewRefAndIncRef() NO MORE FREE CUTS!!!!");
    return kSilentCut;
}

void LAudioCutTank::IncRef(uint16_t wCut)
{
    if (wCut != kSilentCut)
        counts[wCut].fetch_add(1, std::memory_order_relaxed);
}

void LAudioCutTank::DecRef(uint16_t wCut)
{
    if (wCut == kSilentCut)
        return;
    std::atomic<uint32_t>& count = counts[wCut];
    uint32_t u = count.load(std::memory_order_relaxed);
    while (u >= 2 && !count.compare_exchange_weak(u, u - 1, std::memory_order_acq_rel))
        ;
    if (u >= 2)
        return;
    // The last reference: the number is free again once its files are gone.
    std::lock_guard<std::mutex> lock(mtx);
    LFile::Delete(GetAudFilePath(wCut));
    LFile::Delete(GetGrfFilePath(wCut));
    count.store(0);
}

uint32_t LAudioCutTank::GetRefCount(uint16_t wCut)
{
    return counts[wCut].load();
}

int LAudioCutTank::GetUsedCount()
{
    int n = 0;
    for (uint32_t u = 0; u < kSilentCut; ++u)
        n += counts[u].load(std::memory_order_relaxed) != 0;
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

void LAudioCutTank::DeleteAllFiles()
{
    DeleteCutFiles(strFolder);
}
