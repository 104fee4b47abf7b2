#pragma once

#include "engine/LDocumentListener.h"
#include "engine/LOVFile.h"
#include "features/LOVBookMark.h"

#include <cstdint>
#include <list>
#include <memory>
#include <string>
#include <vector>

// Keeps the edits of unsaved documents safe from a crash. Cut files are
// written once and never changed, so the documents are fully described by
// their cut lists: after every change the journal beside the cut files
// lists each dirty document (display name, path, format, positions, cuts),
// replaced in one step. A clean exit removes the folder with the journal;
// after a crash the next start finds it and offers the documents back.
// Used on the user-interface thread.
class LRecoveryJournal : public LDocumentListener {
public:
    // pMarks: the bookmarks kept with their documents (may be null).
    explicit LRecoveryJournal(const std::list<std::unique_ptr<LOVFile>>& files,
        const class LBookMarkList* pMarks = nullptr)
        : files(files)
        , pMarks(pMarks)
    {
    }
    // Writes the journal now (or removes it when nothing is dirty); pSkip is
    // a document that is leaving. 0 or the errno of what failed.
    int Write(const LOVFile* pSkip = nullptr);

    void DocumentAdded(LOVFile&) override { Write(); }
    void DocumentSaved(LOVFile&, const std::string&) override { Write(); }
    void DocumentClosing(LOVFile& doc) override { Write(&doc); }
    void DocumentEdited(LOVFile&) override { Write(); }
    // A take in progress is journalled as the document it will make, so
    // that a crash while recording keeps the take up to its last journal
    // point. Those writes are not flushed (the take's cut file is not
    // either); the one when the recording ends is.
    void DocumentRecording(LOVFile& doc, const LCutListAudio* pSoFar) override;

private:
    const std::list<std::unique_ptr<LOVFile>>& files;
    const LBookMarkList* pMarks;
    const LOVFile* pRecordingInto = nullptr;
    LCutListAudio recording;
    std::string strLast; // what the journal holds, to skip writing it again
    bool bFlushed = true; // strLast is on the disk
};

// One document a journal describes.
struct LRecoveredDocument {
    std::string strName; // display name
    std::string strPath;
    int32_t iRate = 44100;
    int iChannels = 1;
    int32_t iSelStart = 0, iSelEnd = 0, iPosition = 0;
    struct Cut {
        uint16_t wCut;
        int32_t iLength, iGain, iOffset;
    };
    std::vector<Cut> cuts;
    int64_t iFrames = 0;
    std::vector<LOVBookMark> marks; // its bookmarks (file = strName)
};

// The journal of a process that ended without closing.
struct LRecoverySet {
    std::string strFolder;
    int64_t iTime = 0; // seconds since 1970 of the last change
    std::vector<LRecoveredDocument> docs;
    std::string strProblem; // a damaged journal says so here
};

class LRecovery {
public:
    // Every journal left by processes that no longer run. Never fails: a
    // damaged journal gives what it can and says what it could not.
    static std::vector<LRecoverySet> Find();
    static LRecoverySet Read(const std::string& strFolder);
    // Builds the document from the old folder's cut files, which join this
    // process's folder (linked, so the old folder stays whole until Discard) (a missing or short
    // one becomes silence, noted in strProblem). The document is dirty and keeps its path; a
    // document never saved needs its untitled number from the caller.
    static std::unique_ptr<LOVFile> Take(
        const LRecoverySet& set, const LRecoveredDocument& doc, std::string& strProblem);
    // Removes the old folder (after the recovered documents were added, so
    // that they are in this session's journal).
    static void Discard(const LRecoverySet& set);
};
