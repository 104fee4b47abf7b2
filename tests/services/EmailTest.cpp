#include "platform/LFile.h"
#include "services/ServicesTestSupport.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace TestSupport;
using Answer = MainDialogUi::Answer;

namespace {
// A fake xdg-email first on PATH: writes its arguments, one a line, then
// waits for the test to let it go (a mail program open beside the editor).
struct FakeMailer {
    TempDir bin;
    std::string strLog = bin.File("args.txt");
    std::string strRelease = bin.File("release");
    ScopedPath path { bin.Path() + ":" + getenv("PATH") };

    FakeMailer()
    {
        FakeProgram(bin, "xdg-email",
            "echo $$ > '" + bin.File("pid")
                + "'\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > '" + strLog + ".part'\nmv '"
                + strLog + ".part' '" + strLog + "'\nfor i in $(seq 600); do [ -e '" + strRelease
                + "' ] && exit 0; sleep 0.1; done");
    }
    ~FakeMailer() { std::ofstream(strRelease) << ""; }
    // The arguments it was given; none when it did not run.
    std::vector<std::string> Args()
    {
        PumpUntil([&] { return LFile::Exists(strLog); }, [] {}, 10000);
        return Lines(strLog);
    }
};

std::string MakeDocument(const TempDir& dir, const std::string& strName)
{
    return MakeRampWav(dir, strName, 8000, 1, 4000);
}
} // namespace

// The saved file goes as one argument, whatever its name holds, nothing in
// it runs, and the editor does not wait for the mail program.
TEST(Email, TheFileGoesToTheMailProgramAsOneArgument)
{
    TempDir dir;
    for (const char* szName :
        { "plain.wav", "two words.wav", "-x.wav", "a;b.wav", "$(touch pwned).wav" }) {
        SCOPED_TRACE(szName);
        FakeMailer mailer;
        Editor e;
        const std::string strPath = MakeDocument(dir, szName);
        ASSERT_TRUE(e.main.LoadFile(strPath, false, false));
        EXPECT_TRUE(e.main.EvCommand(CM_SEND));
        EXPECT_EQ(mailer.Args(), (std::vector<std::string> { "--attach", strPath }));
        EXPECT_TRUE(Running(mailer.bin.File("pid"))) << "the command waited for the mail program";
        EXPECT_TRUE(e.ui.questions.empty());
        EXPECT_TRUE(e.ui.messages.empty());
    }
    EXPECT_FALSE(LFile::Exists(dir.File("pwned")));
    EXPECT_FALSE(LFile::Exists("pwned"));
}

// A modified document: Cancel sends nothing, No sends the file as it is on
// disk, Yes saves it first; an untitled document not saved sends nothing.
TEST(Email, TheSaveQuestionComesFirst)
{
    TempDir dir;
    struct Case {
        Answer answer;
        bool bUntitled;
        bool bSent;
        int32_t iFramesOnDisk;
    } aCases[] = {
        { Answer::Cancel, false, false, 4000 },
        { Answer::No, false, true, 4000 },
        { Answer::Yes, false, true, 3000 },
        { Answer::No, true, false, 0 },
    };
    for (const Case& c : aCases) {
        SCOPED_TRACE(int(c.answer) * 10 + c.bUntitled);
        FakeMailer mailer;
        Editor e;
        const std::string strPath = MakeDocument(dir, "doc.wav");
        ASSERT_TRUE(e.main.LoadFile(strPath, c.bUntitled, false));
        e.main.ModifySelection(0, 1000, 0);
        e.main.EvCommand(CM_DELETE);
        e.ui.answers = { c.answer };
        e.main.EvCommand(CM_SEND);
        ASSERT_EQ(e.ui.questions.size(), 1u);
        EXPECT_EQ(e.ui.questions[0].rfind("Save changes to \"", 0), 0u);
        if (c.bSent) {
            EXPECT_EQ(mailer.Args(), (std::vector<std::string> { "--attach", strPath }));
        } else {
            // The mail program would have run at once.
            PumpUntil([&] { return LFile::Exists(mailer.strLog); }, [] {}, 500);
            EXPECT_FALSE(LFile::Exists(mailer.strLog));
        }
        if (!c.bUntitled) {
            EXPECT_EQ(LWaveFile::OpenSource(strPath)->GetLength(), c.iFramesOnDisk);
        }
        EXPECT_TRUE(e.ui.messages.empty());
    }
}

// Without a mail program nothing happens and nothing is said.
TEST(Email, WithoutAMailProgramNothingHappens)
{
    TempDir dir, empty;
    ScopedPath path(empty.Path());
    Editor e;
    ASSERT_TRUE(e.main.LoadFile(MakeDocument(dir, "doc.wav"), false, false));
    EXPECT_TRUE(e.main.IsCommandEnabled(CM_SEND));
    e.main.EvCommand(CM_SEND);
    EXPECT_TRUE(e.ui.questions.empty());
    EXPECT_TRUE(e.ui.messages.empty());
}
