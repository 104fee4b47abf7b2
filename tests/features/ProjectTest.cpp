#include "edit/LAudioCutTank.h"
#include "edit/LSNKCutListAudio.h"
#include "features/FeaturesTestSupport.h"
#include "features/LAudioBlock.h"
#include "features/LOVProject.h"
#include "features/LRecordIo.h"
#include "process/LProgressView.h"

#include <fstream>
#include <gtest/gtest.h>

using namespace TestSupport;
using Answer = MainDialogUi::Answer;

namespace {
// Two documents of different formats, each with a position, bookmark and region.
void BuildState(Editor& e, const TempDir& dir)
{
    ASSERT_TRUE(e.main.LoadFile(MakeRampWav(dir, "mono.wav", 8000, 1, 30000), false, false));
    e.main.ModifySelection(1000, 5000, 3000);
    e.main.EvCommand(CM_ADDREGION);
    e.main.EvCommand(CM_SETBOOKMARK);
    ASSERT_TRUE(e.main.LoadFile(MakeRampWav(dir, "stereo.wav", 22050, 2, 50000, 7), false, false));
    e.main.ModifySelection(100, 40000, 200);
    e.main.GetCurrentFile()->sViewStart = 50;
    e.main.GetCurrentFile()->sViewEnd = 45000;
    e.main.EvCommand(CM_ADDREGION);
    e.main.EvCommand(CM_SETBOOKMARK);
    e.main.Activate(e.main.GetFiles().front().get());
}

// A hand-made project of one document with the given audio block fields.
std::vector<uint8_t> HandMade(uint32_t uRate, uint8_t bChannels, int32_t iLength, size_t iSamples,
    uint8_t bMarks = 0, size_t iMarkRecords = 0)
{
    std::vector<uint8_t> v { 0, 1 };
    v.resize(v.size() + 540, 0);
    LRecordIo::PutI32(v.data() + 2 + 520, 99999); // cursor beyond the audio: clamped
    Put32(v, uRate);
    v.push_back(bChannels);
    Put32(v, uint32_t(iLength));
    for (size_t i = 0; i < iSamples; ++i)
        Put32(v, uint32_t(int32_t(i) * 16));
    v.push_back(0);
    v.push_back(bMarks);
    v.resize(v.size() + iMarkRecords * LOVBookMark::kRecordSize, 0);
    v.push_back(0);
    return v;
}
} // namespace

TEST(ProjectTest, SaveAndOpenGiveTheSameState)
{
    TempDir dir;
    const std::string strProject = dir.File("p.ovp");
    std::vector<std::vector<int32_t>> samples;
    {
        Editor e;
        BuildState(e, dir);
        for (const auto& p : e.main.GetFiles())
            samples.push_back(Samples(p->claAudio));
        // A never-saved "Untitled 2" with a bookmark ("Untitled 1" closed).
        e.main.EvCommand(CM_FILENEW);
        LOVFile& first = *e.main.GetCurrentFile();
        e.main.EvCommand(CM_FILENEW);
        e.main.EvCommand(CM_SETBOOKMARK);
        e.main.CloseDocument(first);
        e.main.Activate(e.main.GetFiles().front().get());
        e.ui.saveFiles = { strProject };
        e.main.EvCommand(CM_SAVEPROJECT);
        ASSERT_EQ(e.project.GetProjectPath(), strProject);
        EXPECT_TRUE(e.ui.messages.empty());
    }
    Editor e;
    ASSERT_TRUE(e.project.LoadProject(strProject));
    ASSERT_EQ(e.main.GetNoFiles(), 3);
    const LOVFile& a = *e.main.GetFiles().front();
    const LOVFile& b = **std::next(e.main.GetFiles().begin());
    EXPECT_EQ(e.main.GetFiles().back()->GetDisplayName(), "Untitled 2") << "keeps its own name";
    EXPECT_EQ(e.main.GetCurrentFile(), &a) << "the active index";
    EXPECT_EQ(Samples(a.claAudio), samples[0]);
    EXPECT_EQ(Samples(b.claAudio), samples[1]);
    EXPECT_EQ(
        std::make_tuple(b.GetDisplayName(), b.claAudio.GetSampleRate(), b.claAudio.GetChannels(),
            b.sPosition, b.sSelStart, b.sSelEnd, b.sViewStart, b.sViewEnd),
        std::make_tuple(std::string("stereo.wav"), 22050, 2, 200, 100, 40000, 50, 45000));
    const auto& marks = e.project.GetBookMarks().Items();
    ASSERT_EQ(marks.size(), 3u);
    EXPECT_EQ(std::tie(marks[0].szName, marks[1].iPosition, marks[2].szFile),
        std::make_tuple(std::string("mono.wav@0:00:00.38"), 9, std::string("Untitled 2")));
    const auto& regions = e.project.GetRegions();
    ASSERT_EQ(regions.size(), 2u);
    EXPECT_EQ(
        std::tie(regions[0].szFile, regions[0].iEnd), std::make_tuple(dir.File("mono.wav"), 625));
    EXPECT_EQ(Samples(regions[1].claAudio),
        std::vector<int32_t>(samples[1].begin() + 200, samples[1].begin() + 80000));

    // The same project again does nothing; Close asks and empties it all.
    EXPECT_TRUE(e.project.LoadProject(strProject));
    EXPECT_TRUE(e.ui.questions.empty());
    e.ui.answers = { Answer::No };
    e.main.EvCommand(CM_CLOSEPROJECT);
    EXPECT_EQ(e.main.GetNoFiles(), 0);
    EXPECT_TRUE(e.project.GetRegions().empty());
    EXPECT_EQ(e.project.GetProjectPath(), "");
}

TEST(ProjectTest, EmptyProjectIsFiveBytesAndOneByteCountsAreKept)
{
    TempDir dir;
    Editor e;
    e.ui.answers = { Answer::Yes };
    e.ui.saveFiles = { dir.File("e.ovp") };
    e.main.EvCommand(CM_SAVEPROJECT);
    EXPECT_EQ(ReadAll(dir.File("e.ovp")), std::vector<uint8_t>({ 0, 0, 0, 0, 0 }));

    // Two documents named alike share one group of bookmarks, written once.
    ASSERT_TRUE(e.main.LoadFile(MakeRampWav(dir, "x.wav", 8000, 1, 100), false, false));
    TempDir other;
    ASSERT_TRUE(e.main.LoadFile(MakeRampWav(other, "x.wav", 8000, 1, 100), false, false));
    for (int i = 0; i < 300; ++i)
        e.project.GetBookMarks().Append({ std::to_string(i), "x.wav", 0, 1, 0 });
    ASSERT_TRUE(e.project.SaveProject(dir.File("m.ovp")));
    EXPECT_EQ(e.ui.messages.size(), 1u) << "said that 45 bookmarks were left out";
    Editor f;
    ASSERT_TRUE(f.project.LoadProject(dir.File("m.ovp")));
    EXPECT_EQ(f.project.GetBookMarks().Items().size(), 255u);
}

TEST(ProjectTest, DamagedProjectsAreRefusedAndNothingOpenIsLost)
{
    TempDir dir;
    struct Case {
        const char* szWhat;
        std::vector<uint8_t> data;
        bool bLoads;
    } cases[] = {
        { "hand-made, whole", HandMade(8000, 2, 3, 6), true },
        { "version 1", { 1, 0, 0, 0, 0 }, false },
        { "empty file", {}, false },
        { "rate 0", HandMade(0, 1, 3, 3), false },
        { "3 channels", HandMade(8000, 3, 3, 9), false },
        { "negative length", HandMade(8000, 1, -1, 0), false },
        { "huge length", HandMade(8000, 2, 0x7FFFFFFF, 4), false },
        { "short audio", HandMade(8000, 1, 10, 9), false },
        { "more bookmarks than records", HandMade(8000, 1, 1, 1, 2, 1), false },
        { "cut inside the record", std::vector<uint8_t>({ 0, 1, 0, 0 }), false },
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(WriteAll(dir.File("d.ovp"), c.data));
        Editor e;
        ASSERT_TRUE(e.main.LoadFile(MakeRampWav(dir, "keep.wav", 8000, 1, 100), false, false));
        e.main.GetCurrentFile()->bDirty = 1;
        e.ui.answers = { Answer::No, Answer::No };
        EXPECT_EQ(e.project.LoadProject(dir.File("d.ovp")), c.bLoads) << c.szWhat;
        if (c.bLoads) {
            ASSERT_EQ(e.main.GetNoFiles(), 1);
            const LOVFile& doc = *e.main.GetFiles().front();
            EXPECT_EQ(Samples(doc.claAudio), std::vector<int32_t>({ 0, 16, 32, 48, 64, 80 }));
            EXPECT_EQ(doc.sPosition, 3) << "clamped into the audio";
            continue;
        }
        EXPECT_TRUE(e.ui.questions.empty()) << c.szWhat << ": nothing asked, nothing closed";
        ASSERT_EQ(e.main.GetNoFiles(), 1) << c.szWhat;
        EXPECT_EQ(e.main.GetFiles().front()->GetDisplayName(), "keep.wav");
        ASSERT_FALSE(e.ui.messages.empty()) << c.szWhat;
        EXPECT_NE(e.ui.messages.back().find("Orvenna cannot load the project"), std::string::npos);
    }
}

TEST(ProjectTest, ClearingTheProjectAsksForDirtyDocumentsAndCancelKeepsAll)
{
    TempDir dir;
    Editor e;
    BuildState(e, dir);
    e.main.GetCurrentFile()->bDirty = 1;
    e.ui.answers = { Answer::No, Answer::Cancel }; // the project: No; the document: Cancel
    e.main.EvCommand(CM_OPENPROJECT); // no file chosen: nothing
    e.ui.openFiles = { { dir.File("none.ovp") } };
    ASSERT_TRUE(e.project.SaveProject(dir.File("none.ovp")));
    e.main.EvCommand(CM_OPENPROJECT);
    EXPECT_EQ(e.main.GetNoFiles(), 2) << "Cancel on the document stopped it";
    EXPECT_EQ(e.project.GetRegions().size(), 2u);
    EXPECT_EQ(e.ui.questions.back(), "Save changes to \"mono.wav\"?");
}

TEST(ProjectTest, AssemblyConvertsToTheFirstRegionAndPutsGapsBetween)
{
    TempDir dir;
    Editor e;
    ASSERT_TRUE(e.main.LoadFile(MakeRampWav(dir, "s.wav", 16000, 2, 16000, 7), false, false));
    e.main.EvCommand(CM_SELECTALL), e.main.EvCommand(CM_ADDREGION);
    ASSERT_TRUE(e.main.LoadFile(MakeRampWav(dir, "m.wav", 8000, 1, 4000), false, false));
    e.main.EvCommand(CM_SELECTALL), e.main.EvCommand(CM_ADDREGION);
    LSettings::Get().SetInt("Settings", "AutoGapTime", 250);
    for (bool bGap : { true, false }) {
        LSettings::Get().SetBool("Settings", "AutoGap", bGap);
        ASSERT_TRUE(e.project.Assemble(e.project.GetRegions()));
        const LCutListAudio& a = e.main.GetCurrentFile()->claAudio;
        EXPECT_EQ(std::make_pair(a.GetSampleRate(), a.GetChannels()), std::make_pair(16000, 2));
        EXPECT_NEAR(a.GetTotalLength(), 16000 + (bGap ? 4000 : 0) + 8000, 2);
        EXPECT_TRUE(!bGap || Samples(a)[size_t(16000 + 2000) * 2] == 0) << "silence between";
    }
    LSettings::Get().Remove("Settings", "AutoGap");
    LSettings::Get().Remove("Settings", "AutoGapTime");
}

// Samples and graph are the document's after an open of several pieces; a
// Cancel between pieces leaves no cut file.
TEST(ProjectTest, OpenKeepsSamplesAndGraphAndCancelLeavesNoCutFile)
{
    TempDir dir;
    LOVFile doc;
    const int32_t iFrames = 2 * LAudioBlock::kPieceFrames + 1;
    {
        LSNKCutListAudio sink(doc.claAudio, 22050, 2);
        std::vector<int32_t> v(2 * size_t(iFrames));
        for (size_t i = 0; i < v.size(); ++i)
            v[i] = int32_t(i * 7919 % 65536) * 4000 - 131072000;
        for (int32_t f = 0; f < iFrames; f += 70000)
            sink.Write(v.data() + 2 * f, std::min(70000, iFrames - f));
    }
    auto Graph = [](const LCutListAudio& a) {
        std::ifstream in(LAudioCutTank::Get().GetGrfFilePath(a.GetCuts().at(0).wCut));
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    const int iCuts = LAudioCutTank::Get().GetUsedCount();
    LOVSaveProject save { dir.File("p.ovp"), { &doc } };
    Process<LOVSaveProject> runSave("Saving Project", save);
    ASSERT_TRUE(runSave.Run());
    LOVProjectData data;
    LOVLoadProject load { save.strPath, &data };
    Process<LOVLoadProject> runLoad("Loading Project", load);
    ASSERT_TRUE(runLoad.Run());
    EXPECT_EQ(Samples(data.files.at(0)->claAudio), Samples(doc.claAudio));
    EXPECT_EQ(Graph(data.files[0]->claAudio), Graph(doc.claAudio));
    data = LOVProjectData();
    LSilentProgressView::SetCancelAfterPumps(2);
    EXPECT_FALSE(runLoad.Run());
    LSilentProgressView::SetCancelAfterPumps(0);
    EXPECT_EQ(runLoad.GetResult(), 1);
    EXPECT_EQ(LAudioCutTank::Get().GetUsedCount(), iCuts);
}
