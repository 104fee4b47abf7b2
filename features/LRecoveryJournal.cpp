#include "features/LRecoveryJournal.h"

#include "audio/LSoundSourceBase.h"
#include "edit/LAudioCutTank.h"
#include "features/LAtomicFile.h"
#include "features/LBookMarkList.h"
#include "platform/LFile.h"

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <filesystem>
#include <map>
#include <sstream>

namespace fs = std::filesystem;

namespace {
constexpr const char* kMagic = "orvenna-journal 1";

std::string Hex(const std::string& s)
{
    static const char kDigits[] = "0123456789abcdef";
    std::string out = "x";
    for (unsigned char c : s) {
        out += kDigits[c >> 4];
        out += kDigits[c & 15];
    }
    return out;
}

bool Unhex(const std::string& s, std::string& out)
{
    if (s.empty() || s[0] != 'x' || s.size() % 2 == 0)
        return false;
    out.clear();
    for (size_t i = 1; i + 1 < s.size(); i += 2) {
        auto Digit = [](char c) {
            return c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
        };
        int hi = Digit(s[i]), lo = Digit(s[i + 1]);
        if (hi < 0 || lo < 0)
            return false;
        out += char(hi * 16 + lo);
    }
    return true;
}

std::string JournalPath(const std::string& strFolder)
{
    std::string s = strFolder;
    LFile::FilePathCat(s, LAudioCutTank::kJournalName);
    return s;
}

std::string CutPath(const std::string& strFolder, uint16_t wCut, const char* szExt)
{
    std::string s = strFolder;
    LFile::FilePathCat(s, std::to_string(wCut) + szExt);
    return s;
}

void Describe(std::ostringstream& out, const LOVFile& doc, const LCutListAudio& audio,
    int32_t iSelStart, int32_t iSelEnd, int32_t iPosition, const LBookMarkList* pMarks)
{
    out << "doc " << Hex(doc.GetDisplayName()) << ' ' << Hex(doc.szFilePath) << ' '
        << audio.GetSampleRate() << ' ' << audio.GetChannels() << ' ' << iSelStart << ' ' << iSelEnd
        << ' ' << iPosition << '\n';
    for (const LAudioCut& c : audio.GetCuts())
        out << "cut " << c.wCut << ' ' << c.iLength << ' ' << c.iGain << ' ' << c.iOffset << '\n';
    if (!pMarks)
        return;
    for (const LOVBookMark& b : pMarks->Items())
        if (LSameName(b.szFile, doc.GetDisplayName()))
            out << "mark " << Hex(b.szName) << ' ' << b.iPosition << ' ' << int(b.bTimesVisited)
                << ' ' << b.uLastVisited << '\n';
}

// The document as the recording will leave it: the take in place of the
// selection, selected.
void DescribeRecording(std::ostringstream& out, const LOVFile& doc, const LCutListAudio& recording,
    const LBookMarkList* pMarks)
{
    LCutListAudio audio = doc.claAudio;
    const int32_t iStart = std::min(doc.sSelStart, doc.sSelEnd);
    audio.EfReplace(iStart, std::max(doc.sSelStart, doc.sSelEnd), recording);
    Describe(out, doc, audio, iStart, iStart + recording.GetTotalLength(), iStart, pMarks);
}

// The old folder keeps its files until the documents are in this session's
// journal: a crash while recovering loses nothing either.
void ShareFile(const std::string& strFrom, const std::string& strTo, std::error_code& ec)
{
    fs::create_hard_link(strFrom, strTo, ec);
    if (ec)
        fs::copy_file(strFrom, strTo, fs::copy_options::overwrite_existing, ec);
}

// Reads one "doc" line and its cuts; false when the line is not one.
bool ParseDoc(std::istringstream& line, LRecoveredDocument& d)
{
    std::string strName, strPath;
    line >> strName >> strPath >> d.iRate >> d.iChannels >> d.iSelStart >> d.iSelEnd >> d.iPosition;
    return line && Unhex(strName, d.strName) && Unhex(strPath, d.strPath) && d.iRate > 0
        && (d.iChannels == 1 || d.iChannels == 2);
}
} // namespace

int LRecoveryJournal::Write(const LOVFile* pSkip)
{
    std::ostringstream out;
    out << kMagic << '\n';
    bool bAny = false;
    for (const auto& p : files) {
        if (p.get() == pSkip)
            continue;
        if (p.get() == pRecordingInto && recording.GetTotalLength() > 0)
            DescribeRecording(out, *p, recording, pMarks);
        else if (p->bDirty)
            Describe(out, *p, p->claAudio, p->sSelStart, p->sSelEnd, p->sPosition, pMarks);
        else
            continue;
        bAny = true;
    }
    const std::string strPath = JournalPath(LAudioCutTank::Get().GetFolder());
    if (!bAny) {
        if (!strLast.empty())
            LFile::Delete(strPath);
        strLast.clear();
        return 0;
    }
    std::string strText = out.str();
    const bool bFlush = pRecordingInto == nullptr;
    if (strText == strLast && (bFlushed || !bFlush))
        return 0;
    out << "time " << int64_t(std::time(nullptr)) << '\n';
    strText = out.str();
    LAtomicFile file;
    if (!file.Open(strPath))
        return EACCES;
    file.Write(strText.data(), int64_t(strText.size()));
    int iErr = file.Commit(bFlush);
    if (iErr == 0) {
        strLast = strText.substr(0, strText.rfind("time "));
        bFlushed = bFlush;
    }
    return iErr;
}

void LRecoveryJournal::DocumentRecording(LOVFile& doc, const LCutListAudio* pSoFar)
{
    pRecordingInto = pSoFar ? &doc : nullptr;
    recording = pSoFar ? *pSoFar : LCutListAudio();
    Write();
}

// ---- recovery ------------------------------------------------------------------

std::vector<LRecoverySet> LRecovery::Find()
{
    std::vector<LRecoverySet> sets;
    for (const std::string& strFolder : LAudioCutTank::FindJournalFolders())
        sets.push_back(Read(strFolder));
    return sets;
}

LRecoverySet LRecovery::Read(const std::string& strFolder)
{
    LRecoverySet set;
    set.strFolder = strFolder;
    LFile file;
    std::string strText;
    if (file.Open(JournalPath(strFolder), LFile::Mode::Read)) {
        strText.resize(size_t(std::min<int64_t>(file.GetFileSizeBytes(), 64 << 20)));
        strText.resize(
            size_t(std::max<int64_t>(0, file.Read(strText.data(), int64_t(strText.size())))));
    }
    std::istringstream in(strText);
    std::string strLine;
    if (!std::getline(in, strLine) || strLine != kMagic) {
        set.strProblem = "The recovery journal in \"" + strFolder + "\" is damaged.";
        return set;
    }
    int iBad = 0;
    while (std::getline(in, strLine)) {
        std::istringstream line(strLine);
        std::string strWord;
        line >> strWord;
        if (strWord == "doc") {
            LRecoveredDocument d;
            if (ParseDoc(line, d))
                set.docs.push_back(std::move(d));
            else
                ++iBad;
        } else if (strWord == "cut" && !set.docs.empty()) {
            LRecoveredDocument::Cut c {};
            line >> c.wCut >> c.iLength >> c.iGain >> c.iOffset;
            if (!line || c.iLength < 0 || c.iOffset < 0
                || set.docs.back().iFrames + c.iLength > kMaxFrames)
                ++iBad;
            else {
                set.docs.back().cuts.push_back(c);
                set.docs.back().iFrames += c.iLength;
            }
        } else if (strWord == "mark" && !set.docs.empty()) {
            LOVBookMark b;
            std::string strName;
            int iVisits = 0;
            line >> strName >> b.iPosition >> iVisits >> b.uLastVisited;
            b.bTimesVisited = uint8_t(iVisits);
            b.szFile = set.docs.back().strName;
            if (line && Unhex(strName, b.szName))
                set.docs.back().marks.push_back(b);
            else
                ++iBad;
        } else if (strWord == "time") {
            line >> set.iTime;
        } else if (!strWord.empty()) {
            ++iBad;
        }
    }
    if (iBad)
        set.strProblem
            = std::to_string(iBad) + " damaged line(s) of the recovery journal were left out.";
    return set;
}

std::unique_ptr<LOVFile> LRecovery::Take(
    const LRecoverySet& set, const LRecoveredDocument& d, std::string& strProblem)
{
    LAudioCutTank& tank = LAudioCutTank::Get();
    auto pDoc = std::make_unique<LOVFile>();
    pDoc->claAudio.SetFormat(d.iRate, d.iChannels);
    std::map<uint16_t, uint16_t> moved; // old number -> new, kSilentCut when lost
    LCutListAudio silence(d.iRate, d.iChannels);
    LCutListAudio& audio = pDoc->claAudio;
    int iLost = 0;
    for (const LRecoveredDocument::Cut& c : d.cuts) {
        uint16_t wNew = LAudioCutTank::kSilentCut;
        if (c.wCut != LAudioCutTank::kSilentCut) {
            auto it = moved.find(c.wCut);
            if (it == moved.end()) {
                const std::string strAud = CutPath(set.strFolder, c.wCut, ".aud");
                std::error_code ec;
                uint16_t w = fs::exists(strAud, ec) ? tank.GetNewRefAndIncRef()
                                                    : LAudioCutTank::kSilentCut;
                if (w != LAudioCutTank::kSilentCut) {
                    ShareFile(strAud, tank.GetAudFilePath(w), ec);
                    if (!ec)
                        ShareFile(
                            CutPath(set.strFolder, c.wCut, ".grf"), tank.GetGrfFilePath(w), ec);
                    if (ec) {
                        tank.DecRef(w);
                        w = LAudioCutTank::kSilentCut;
                    }
                }
                it = moved.emplace(c.wCut, w).first;
            }
            wNew = it->second;
            // The file must hold every frame the cut names.
            std::error_code ec;
            const uintmax_t uHave = wNew == LAudioCutTank::kSilentCut
                ? 0
                : fs::file_size(tank.GetAudFilePath(wNew), ec);
            const uintmax_t uNeed
                = (uintmax_t(c.iOffset) + uintmax_t(c.iLength)) * uintmax_t(d.iChannels) * 4u;
            if (wNew == LAudioCutTank::kSilentCut || ec || uHave < uNeed) {
                ++iLost;
                wNew = LAudioCutTank::kSilentCut;
            }
        }
        LCutListAudio piece(d.iRate, d.iChannels);
        piece.SetSingleCut(wNew == LAudioCutTank::kSilentCut
                ? LAudioCut::Silence(c.iLength)
                : LAudioCut(wNew, c.iLength, c.iGain, c.iOffset));
        audio.EfInsert(audio.GetTotalLength(), piece);
    }
    // The numbers were handed out with a count of one; the cuts hold them now.
    for (const auto& [wOld, wNew] : moved)
        tank.DecRef(wNew);
    if (iLost)
        strProblem = std::to_string(iLost) + " part(s) of \"" + d.strName
            + "\" could not be recovered and are silence.";
    pDoc->szFilePath = d.strPath;
    const int32_t iLength = pDoc->GetLength();
    pDoc->sSelStart = std::clamp(d.iSelStart, 0, iLength);
    pDoc->sSelEnd = std::clamp(d.iSelEnd, pDoc->sSelStart, iLength);
    pDoc->sPosition = std::clamp(d.iPosition, 0, iLength);
    pDoc->sViewEnd = iLength;
    pDoc->bDirty = 1;
    return pDoc;
}

void LRecovery::Discard(const LRecoverySet& set)
{
    std::error_code ec;
    fs::remove_all(set.strFolder, ec);
}
