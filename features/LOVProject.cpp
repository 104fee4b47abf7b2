#include "features/LOVProject.h"

#include "features/LAtomicFile.h"
#include "features/LAudioBlock.h"
#include "features/LBookMarkList.h"
#include "features/LRecordIo.h"

#include <algorithm>
#include <cerrno>

using namespace LRecordIo;

namespace {
constexpr size_t kMaxCount = 255;
constexpr size_t kPathField = 260;

// ---- saving ---------------------------------------------------------------

// A path the record cannot hold whole is not stored: cut, it could name
// another file, which a later Save would overwrite.
std::string StorablePath(const std::string& strPath, std::string& strWarning)
{
    if (strPath.size() < kPathField)
        return strPath;
    strWarning += "The path of \"" + LFile::GetFileName(strPath)
        + "\" is too long for a project; it opens as a new file.\n";
    return "";
}

void StoreDocument(uint8_t* p, const LOVFile& doc, std::string& strWarning)
{
    PutText(p, kPathField, StorablePath(doc.szFilePath, strWarning));
    // A never-saved document has no previous path: the field keeps its
    // "Untitled N" name, so that it and its bookmarks come back under it.
    const std::string strPrev = doc.szFilePath.empty() ? doc.GetDisplayName() : doc.szPrevFilePath;
    PutText(p + 260, kPathField, strPrev.size() < kPathField ? strPrev : std::string());
    PutI32(p + 520, doc.sPosition);
    PutI32(p + 524, doc.sSelStart);
    PutI32(p + 528, doc.sSelEnd);
    PutI32(p + 532, doc.sViewStart);
    PutI32(p + 536, doc.sViewEnd);
}

// The bookmarks as written: for each document once (two with one display
// name share the group), its bookmarks in list order.
std::vector<const LOVBookMark*> GroupBookmarks(const LOVSaveProject& d)
{
    std::vector<const LOVBookMark*> out;
    std::vector<std::string> done;
    for (const LOVFile* pDoc : d.files) {
        const std::string strName = pDoc->GetDisplayName();
        if (std::any_of(done.begin(), done.end(),
                [&](const std::string& s) { return LSameName(s, strName); }))
            continue;
        done.push_back(strName);
        for (const LOVBookMark& b : *d.pBookmarks)
            if (LSameName(b.szFile, strName))
                out.push_back(&b);
    }
    return out;
}

uint8_t Count(size_t iCount, const char* szWhat, std::string& strWarning)
{
    if (iCount > kMaxCount)
        strWarning += "A project holds at most 255 " + std::string(szWhat)
            + "; only the first 255 of " + std::to_string(iCount) + " were saved.\n";
    return uint8_t(std::min(iCount, kMaxCount));
}

int WriteBody(LProgressDialog& dlg, LFile& file, LOVSaveProject& d)
{
    LAudioBlock::Progress pr;
    pr.iTotal = 0;
    for (const LOVFile* p : d.files)
        pr.iTotal += LAudioBlock::BytesOf(p->claAudio);
    for (const LOVRegion& r : *d.pRegions)
        pr.iTotal += LAudioBlock::BytesOf(r.claAudio);

    dlg.SetText("Saving files...", 1);
    const uint8_t bFiles = Count(d.files.size(), "files", d.strWarning);
    uint8_t head[2] = { 0, bFiles };
    if (file.Write(head, 2) != 2)
        return 2;
    for (size_t i = 0; i < bFiles; ++i) {
        uint8_t rec[kDocumentRecordSize];
        StoreDocument(rec, *d.files[i], d.strWarning);
        if (file.Write(rec, sizeof rec) != int64_t(sizeof rec))
            return 2;
        if (int r = LAudioBlock::Write(dlg, file, d.files[i]->claAudio, pr); r != 0)
            return r;
    }
    dlg.SetText("Saving bookmarks...", 1);
    std::vector<const LOVBookMark*> marks = GroupBookmarks(d);
    const uint8_t bMarks = Count(marks.size(), "bookmarks", d.strWarning);
    std::vector<uint8_t> data { uint8_t(d.bActive < bFiles ? d.bActive : 0), bMarks };
    for (size_t i = 0; i < bMarks; ++i) {
        data.resize(data.size() + LOVBookMark::kRecordSize);
        marks[i]->Store(data.data() + data.size() - LOVBookMark::kRecordSize);
    }
    dlg.SetText("Saving regions...", 1);
    const uint8_t bRegions = Count(d.pRegions->size(), "regions", d.strWarning);
    data.push_back(bRegions);
    if (file.Write(data.data(), int64_t(data.size())) != int64_t(data.size()))
        return 2;
    for (size_t i = 0; i < bRegions; ++i) {
        uint8_t rec[LOVRegion::kRecordSize];
        (*d.pRegions)[i].Store(rec);
        if (file.Write(rec, sizeof rec) != int64_t(sizeof rec))
            return 2;
        if (int r = LAudioBlock::Write(dlg, file, (*d.pRegions)[i].claAudio, pr); r != 0)
            return r;
    }
    return 0;
}

// ---- loading --------------------------------------------------------------

// Reads exactly iBytes, counting them off what the file has left.
bool ReadExact(LFile& file, int64_t& iLeft, void* p, int64_t iBytes)
{
    if (iLeft < iBytes || file.Read(p, iBytes) != iBytes)
        return false;
    iLeft -= iBytes;
    return true;
}

void FitDocument(LOVFile& doc)
{
    const int32_t iLength = doc.GetLength();
    auto Clamp = [iLength](int32_t i) { return std::clamp(i, 0, iLength); };
    doc.sPosition = Clamp(doc.sPosition);
    doc.sSelStart = Clamp(doc.sSelStart);
    doc.sSelEnd = std::clamp(doc.sSelEnd, doc.sSelStart, iLength);
    if (doc.sViewEnd > iLength || doc.sViewEnd <= 0)
        doc.sViewEnd = iLength > 0 ? iLength : doc.claAudio.GetSampleRate();
    if (doc.sViewStart < 0 || doc.sViewStart >= doc.sViewEnd)
        doc.sViewStart = 0;
}

// N of "Untitled N" (1 to 999), else 0.
int32_t UntitledNumber(const std::string& strName)
{
    const std::string strPrefix = "Untitled ";
    if (strName.size() <= strPrefix.size() || strName.size() > strPrefix.size() + 3
        || strName.compare(0, strPrefix.size(), strPrefix) != 0)
        return 0;
    int32_t n = 0;
    for (size_t i = strPrefix.size(); i < strName.size(); ++i) {
        if (strName[i] < '0' || strName[i] > '9')
            return 0;
        n = n * 10 + (strName[i] - '0');
    }
    return n;
}

int ReadDocuments(
    LProgressDialog& dlg, LFile& file, int64_t& iLeft, LOVLoadProject& d, LAudioBlock::Progress& pr)
{
    dlg.SetText("Loading files...", 1);
    uint8_t bCount = 0;
    if (!ReadExact(file, iLeft, &bCount, 1)) {
        d.strWhy = "the file ends before its list of files";
        return 2;
    }
    for (int i = 0; i < bCount; ++i) {
        uint8_t rec[kDocumentRecordSize];
        if (!ReadExact(file, iLeft, rec, sizeof rec)) {
            d.strWhy = "the record of file " + std::to_string(i + 1) + " is cut short";
            return 2;
        }
        auto pDoc = std::make_unique<LOVFile>();
        pDoc->szFilePath = GetText(rec, kPathField);
        pDoc->szPrevFilePath = GetText(rec + 260, kPathField);
        if (pDoc->szFilePath.empty()) {
            pDoc->iUntitledIdx = UntitledNumber(pDoc->szPrevFilePath);
            pDoc->szPrevFilePath.clear();
        }
        pDoc->sPosition = GetI32(rec + 520);
        pDoc->sSelStart = GetI32(rec + 524);
        pDoc->sSelEnd = GetI32(rec + 528);
        pDoc->sViewStart = GetI32(rec + 532);
        pDoc->sViewEnd = GetI32(rec + 536);
        if (int r = LAudioBlock::Read(dlg, file, iLeft, pDoc->claAudio, pr, d.strWhy); r != 0)
            return r;
        FitDocument(*pDoc);
        d.pData->files.push_back(std::move(pDoc));
    }
    return 0;
}

int ReadRest(
    LProgressDialog& dlg, LFile& file, int64_t& iLeft, LOVLoadProject& d, LAudioBlock::Progress& pr)
{
    uint8_t two[2];
    if (!ReadExact(file, iLeft, two, 2)) {
        d.strWhy = "the file ends before its bookmarks";
        return 2;
    }
    d.pData->bActive = two[0];
    dlg.SetText("Loading bookmark...", 1);
    std::vector<uint8_t> marks(1 + size_t(two[1]) * LOVBookMark::kRecordSize);
    marks[0] = two[1];
    if (!ReadExact(file, iLeft, marks.data() + 1, int64_t(marks.size() - 1))
        || !LBookMarkList::Parse(marks.data(), marks.size(), d.pData->bookmarks)) {
        d.strWhy = "the file holds fewer bookmarks than it counts";
        return 2;
    }
    dlg.SetText("Loading region...", 1);
    uint8_t bRegions = 0;
    if (!ReadExact(file, iLeft, &bRegions, 1)) {
        d.strWhy = "the file ends before its regions";
        return 2;
    }
    for (int i = 0; i < bRegions; ++i) {
        uint8_t rec[LOVRegion::kRecordSize];
        if (!ReadExact(file, iLeft, rec, sizeof rec)) {
            d.strWhy = "the file holds fewer regions than it counts";
            return 2;
        }
        LOVRegion& r = d.pData->regions.emplace_back();
        r.Load(rec);
        if (int iRes = LAudioBlock::Read(dlg, file, iLeft, r.claAudio, pr, d.strWhy); iRes != 0)
            return iRes;
    }
    return 0;
}
} // namespace

int ProcessBody(LProgressDialog& dlg, LOVSaveProject& d)
{
    dlg.SetText("Saving project", 0);
    static const std::vector<LOVBookMark> kNoMarks;
    static const std::vector<LOVRegion> kNoRegions;
    if (!d.pBookmarks)
        d.pBookmarks = &kNoMarks;
    if (!d.pRegions)
        d.pRegions = &kNoRegions;
    LAtomicFile file;
    if (!file.Open(d.strPath)) {
        d.iErrno = file.File().GetError() ? file.File().GetError() : EACCES;
        return 2;
    }
    int iResult = WriteBody(dlg, file.File(), d);
    if (iResult == 2)
        d.iErrno = file.File().GetError() ? file.File().GetError() : EIO;
    if (iResult != 0)
        return iResult; // the old file stays as it was
    d.iErrno = file.Commit();
    return d.iErrno == 0 ? 0 : 2;
}

int ProcessBody(LProgressDialog& dlg, LOVLoadProject& d)
{
    dlg.SetText("Loading Project", 0);
    LFile file;
    uint8_t bVersion = 255;
    if (!file.Open(d.strPath, LFile::Mode::Read) || file.Read(&bVersion, 1) != 1 || bVersion != 0) {
        d.bWrongVersion = true;
        return 2;
    }
    int64_t iLeft = file.GetFileSizeBytes() - 1;
    LAudioBlock::Progress pr;
    pr.iTotal = std::max<int64_t>(1, iLeft);
    int iResult = ReadDocuments(dlg, file, iLeft, d, pr);
    if (iResult == 0)
        iResult = ReadRest(dlg, file, iLeft, d, pr);
    if (iResult != 0)
        *d.pData = LOVProjectData();
    return iResult;
}
