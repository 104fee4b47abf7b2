#include "audio/LSoundTime.h"
#include "features/FeaturesTestSupport.h"
#include "features/LBookMarkList.h"
#include "platform/LFile.h"

#include <gtest/gtest.h>

using namespace TestSupport;

namespace {
// Bookmarks at 1 s, 3 s, 5 s and 8 s of a 10 s file at 8000 Hz.
struct Marked : Editor {
    explicit Marked(const TempDir& dir)
    {
        EXPECT_TRUE(main.LoadFile(MakeRampWav(dir, "a.wav", 8000, 1, 80000), false, false));
        for (int32_t iMs : { 1000, 3000, 5000, 8000 })
            project.GetBookMarks().Append(
                { std::to_string(iMs).insert(0, 1, 'm'), "a.wav", iMs, 1, 0 });
    }
    std::vector<int32_t> Positions() const
    {
        std::vector<int32_t> v;
        for (const LOVBookMark& b : const_cast<Marked*>(this)->project.GetBookMarks().Items())
            v.push_back(b.iPosition);
        return v;
    }
    void Select(int32_t iFromMs, int32_t iToMs, int32_t iAtMs = -1)
    {
        main.ModifySelection(iFromMs * 8, iToMs * 8, iAtMs < 0 ? iFromMs * 8 : iAtMs * 8);
    }
};
} // namespace

TEST(BookMarkTest, BookmarksFollowEveryKindOfEditAndUndo)
{
    struct Case {
        const char* szWhat;
        std::function<void(Marked&)> fnEdit;
        std::vector<int32_t> expected;
    } cases[] = {
        { "delete 2-4 s", [](Marked& m) { m.Select(2000, 4000), m.main.EvCommand(CM_DELETE); },
            { 1000, 2000, 3000, 6000 } },
        { "cut 0.5-1.5 s", [](Marked& m) { m.Select(500, 1500), m.main.EvCommand(CM_CUT); },
            { 500, 2000, 4000, 7000 } },
        { "copy 0-2 s, paste at 4 s",
            [](Marked& m) {
                m.Select(0, 2000), m.main.EvCommand(CM_COPY);
                m.Select(4000, 4000), m.main.EvCommand(CM_PASTE);
            },
            { 1000, 3000, 7000, 10000 } },
        { "paste 1 s over 2.5-3.5 s",
            [](Marked& m) {
                m.Select(0, 1000), m.main.EvCommand(CM_COPY);
                m.Select(2500, 3500), m.main.EvCommand(CM_PASTE);
            },
            { 1000, 3000, 5000, 8000 } },
        { "trim to 2-6 s", [](Marked& m) { m.Select(2000, 6000), m.main.EvCommand(CM_TRIM); },
            { 0, 1000, 3000, 4000 } },
        { "silence 2-6 s keeps times",
            [](Marked& m) { m.Select(2000, 6000), m.main.EvCommand(CM_SILENCE); },
            { 1000, 3000, 5000, 8000 } },
        { "delete then undo",
            [](Marked& m) {
                m.Select(2000, 4000), m.main.EvCommand(CM_DELETE);
                m.Select(0, 500), m.main.EvCommand(CM_DELETE);
                m.main.EvCommand(CM_UNDO), m.main.EvCommand(CM_UNDO);
            },
            { 1000, 3000, 5000, 8000 } },
    };
    for (const Case& c : cases) {
        TempDir dir;
        Marked m(dir);
        c.fnEdit(m);
        EXPECT_EQ(m.Positions(), c.expected) << c.szWhat;
    }
}

TEST(BookMarkTest, ObmFollowsSaveAndSaveAsAndIsReadOnOpen)
{
    TempDir dir;
    std::string strWav, strCopy = dir.File("copy.wav");
    {
        Marked m(dir);
        strWav = m.main.GetCurrentFile()->szFilePath;
        m.project.GetBookMarks().Append({ "other", "b.wav", 10, 1, 0 });
        m.Select(0, 1000), m.main.EvCommand(CM_DELETE);
        ASSERT_TRUE(m.main.CmSave(*m.main.GetCurrentFile()));
        m.ui.saveFiles = { strCopy };
        m.ui.chosenFormat = LWaveFormat::Pcm(1, 8000, 16);
        ASSERT_TRUE(m.main.CmSaveAs(*m.main.GetCurrentFile()));
        EXPECT_EQ(m.project.GetBookMarks().OfFile("copy.wav").size(), 4u) << "Save As renames";
    }
    for (const std::string& strPath : { strWav, strCopy }) {
        Editor e;
        ASSERT_TRUE(e.main.LoadFile(strPath, false, false));
        const auto& items = e.project.GetBookMarks().Items();
        ASSERT_EQ(items.size(), 4u) << strPath << ": only the file's own bookmarks";
        EXPECT_EQ(items[0].iPosition, 0);
        EXPECT_EQ(items[3].iPosition, 7000);
        EXPECT_EQ(items[3].szFile, LFile::GetFileName(strPath));
    }
    // The audio file itself stays a plain WAV other programs read.
    REQUIRE_PEER("sox");
    std::string strOut;
    ASSERT_EQ(TestSupport::Run({ "sox", "--i", "-s", strCopy }, &strOut), 0) << strOut;
    EXPECT_EQ(std::stol(strOut), 72000);
}

TEST(BookMarkTest, HandMadeAndDamagedObmFiles)
{
    TempDir dir;
    LOVBookMark b { "x", "a.wav", -5, 255, 1234567890u };
    std::vector<uint8_t> rec(LOVBookMark::kRecordSize, 0xAB); // no NUL in the text fields
    b.Store(rec.data());
    EXPECT_EQ(rec[0], 'x');
    EXPECT_EQ(rec[1], 0) << "text fields are zero-padded";
    std::vector<uint8_t> bad = rec;
    std::fill(bad.begin(), bad.begin() + 520, 'A');
    auto File = [](uint8_t bCount, std::vector<std::vector<uint8_t>> records) {
        std::vector<uint8_t> v { 0, bCount };
        for (const auto& r : records)
            v.insert(v.end(), r.begin(), r.end());
        return v;
    };
    const struct Case {
        const char* szWhat;
        std::vector<uint8_t> data;
        LBookMarkList::LoadResult result;
        size_t iCount;
    } cases[] = {
        { "two records", File(2, { rec, rec }), LBookMarkList::LoadResult::Loaded, 2 },
        { "names without NUL", File(1, { bad }), LBookMarkList::LoadResult::Loaded, 1 },
        { "version 1", { 1, 0 }, LBookMarkList::LoadResult::WrongVersion, 0 },
        { "empty", {}, LBookMarkList::LoadResult::WrongVersion, 0 },
        { "count 3, two records", File(3, { rec, rec }), LBookMarkList::LoadResult::Damaged, 2 },
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(WriteAll(dir.File("t.obm"), c.data));
        LBookMarkList list;
        EXPECT_EQ(list.LoadFile(dir.File("t.obm")), c.result) << c.szWhat;
        ASSERT_EQ(list.Items().size(), c.iCount) << c.szWhat;
        if (c.iCount && c.data[3] == 'A') {
            EXPECT_EQ(list.Items()[0].szName, std::string(259, 'A'));
            EXPECT_EQ(list.Items()[0].szFile, std::string(259, 'A'));
        } else if (c.iCount) {
            const LOVBookMark& r = list.Items()[1];
            EXPECT_EQ(std::tie(r.szName, r.szFile, r.iPosition, r.bTimesVisited, r.uLastVisited),
                std::tie(b.szName, b.szFile, b.iPosition, b.bTimesVisited, b.uLastVisited))
                << c.szWhat;
        }
    }
    // A damaged list file next to the audio: the audio still opens, with a message.
    std::string strWav = MakeRampWav(dir, "w.wav", 8000, 1, 800);
    ASSERT_TRUE(WriteAll(dir.File("w.obm"), { 7 }));
    Editor e;
    EXPECT_TRUE(e.main.LoadFile(strWav, false, false));
    EXPECT_EQ(e.ui.messages.size(), 1u);
    EXPECT_TRUE(e.project.GetBookMarks().Items().empty());
}

TEST(BookMarkTest, SetGoToAndRegionQuestions)
{
    TempDir dir;
    Marked m(dir);
    m.project.GetBookMarks().Clear();
    m.Select(0, 0, 1500);
    m.ui.texts = { "one", "one" };
    m.ui.answers = { MainDialogUi::Answer::Yes };
    m.main.EvCommand(CM_SETBOOKMARK);
    m.main.EvCommand(CM_SETBOOKMARK);
    ASSERT_EQ(m.project.GetBookMarks().Items().size(), 1u) << "Yes replaced the first";
    m.Select(0, 0, 0);
    m.project.GoToBookMark(0);
    EXPECT_EQ(m.main.GetCurrentFile()->sPosition, 12000);
    EXPECT_EQ(m.project.GetBookMarks().Items()[0].bTimesVisited, 2);
    EXPECT_EQ(m.playback.iPlayedFrom, -1);
    // Playing from a bookmark starts there, not at a selection.
    LSettings::Get().SetBool("Settings", "PlayBookMark", true);
    m.Select(100, 900, 500);
    m.project.GoToBookMark(0);
    LSettings::Get().Remove("Settings", "PlayBookMark");
    EXPECT_EQ(m.playback.iPlayedFrom, 12000);
    EXPECT_FALSE(m.main.GetCurrentFile()->HasValidSelection());

    // Region names: No asks again, Cancel stops, the region keeps its audio.
    m.Select(1000, 2000);
    m.ui.texts = { "r", "r", "s" };
    m.ui.answers = { MainDialogUi::Answer::No };
    m.main.EvCommand(CM_ADDREGION);
    m.main.EvCommand(CM_ADDREGION);
    ASSERT_EQ(m.project.GetRegions().size(), 2u);
    EXPECT_EQ(m.project.GetRegions()[1].szName, "s");
    EXPECT_EQ(m.project.GetRegions()[0].claAudio.GetTotalLength(), 8000);
    m.main.EvCommand(CM_SELECTALL), m.main.EvCommand(CM_DELETE);
    EXPECT_EQ(m.project.GetRegions()[0].claAudio.GetTotalLength(), 8000);
}
