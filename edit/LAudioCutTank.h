#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

// Hands out cut numbers, counts the references to each, and deletes a cut's
// audio file (n.aud) and graph file (n.grf) when its last reference goes.
// One per process; every count change takes the lock, so any thread may
// create, copy or release cuts.
//
// The files live in a folder of this process's own under the audio working
// folder ("orvenna-<pid>"), so two programs sharing a working folder never
// delete each other's files. The folder and its files are removed at exit,
// and folders left by processes that no longer run are removed on start,
// except those holding a recovery journal (their documents are offered back).
class LAudioCutTank {
public:
    static constexpr uint16_t kSilentCut = 65535;
    // The file beside the cut files that lists the documents made of them.
    static constexpr const char* kJournalName = "journal";

    static LAudioCutTank& Get();

    // A free number with its count set to 1, or kSilentCut when all are taken.
    uint16_t GetNewRefAndIncRef();
    void IncRef(uint16_t wCut);
    // A count below 2 frees the number and deletes its files.
    void DecRef(uint16_t wCut);
    uint32_t GetRefCount(uint16_t wCut);

    // "" for the silent cut.
    std::string GetAudFilePath(uint16_t wCut) const;
    std::string GetGrfFilePath(uint16_t wCut) const;

    const std::string& GetFolder() const { return strFolder; }
    // Number of cuts with a non-zero count.
    int GetUsedCount();
    // Deletes every cut and graph file of this process's folder.
    void DeleteAllFiles();

    // Deletes the files and this process's folder (at exit, and on a
    // signal that ends the program).
    void RemoveFolder();

    // The folders under the audio working folder left by processes that no
    // longer run and holding a journal.
    static std::vector<std::string> FindJournalFolders();

private:
    LAudioCutTank();
    static void RemoveStaleFolders(const std::string& strParent);
    // The folders of processes that no longer run under strParent.
    static std::vector<std::string> FindOrphanFolders(const std::string& strParent);

    // Numbers are handed out and freed under the lock; counts change without
    // it (every edit copies cuts, so this is the hot path). 32-bit counts: a
    // cut repeated many times is named by far more than 65535 cut records.
    std::mutex mtx;
    std::string strFolder;
    std::unique_ptr<std::atomic<uint32_t>[]> counts;
};
