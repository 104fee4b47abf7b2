#include "platform/LFile.h"
#include "services/ServicesTestSupport.h"

#include <gtest/gtest.h>

using namespace TestSupport;
using Answer = MainDialogUi::Answer;

// The saved file goes to the mail program as one argument, nothing in its name
// runs and the editor does not wait; without a mail program nothing happens.
TEST(Email, SendHandsTheSavedFileToTheMailProgram)
{
    struct Case {
        const char* szName;
        bool bModified, bUntitled;
        Answer answer;
        int32_t iSentFrames; // as the file is on disk; 0: nothing sent
        bool bMailer = true;
    } aCases[] = {
        { "-x;$(touch pwned) two.wav", false, false, Answer::Cancel, 4000 },
        { "a.wav", true, false, Answer::Cancel, 0 },
        { "a.wav", true, false, Answer::No, 4000 },
        { "a.wav", true, false, Answer::Yes, 3000 },
        { "a.wav", true, true, Answer::No, 0 },
        { "a.wav", false, false, Answer::Cancel, 0, false },
    };
    TempDir dir;
    for (const Case& c : aCases) {
        SCOPED_TRACE(std::string(c.szName) + " " + std::to_string(int(c.answer)));
        TempDir bin;
        ScopedPath path(bin.Path(), !c.bMailer);
        if (c.bMailer)
            FakeProgram(bin, "xdg-email",
                "echo $$ > '" + bin.File("pid")
                    + "'; args \"$@\" > $LOG.part; mv $LOG.part $LOG\n"
                      "while [ -d '"
                    + bin.Path() + "' ] && [ ! -e '" + bin.File("go") + "' ]; do sleep 0.05; done");
        Editor e;
        const std::string strPath = MakeRampWav(dir, c.szName, 8000, 1, 4000);
        ASSERT_TRUE(e.main.LoadFile(strPath, c.bUntitled, false));
        if (c.bModified) {
            e.main.ModifySelection(0, 1000, 0);
            e.main.EvCommand(CM_DELETE);
        }
        e.ui.answers = { c.answer };
        e.main.EvCommand(CM_SEND);
        EXPECT_EQ(e.ui.questions.size(), c.bModified ? 1u : 0u);
        const bool bSent = c.iSentFrames != 0;
        PumpUntil([&] { return LFile::Exists(bin.File("args.txt")); }, [] {}, bSent ? 10000 : 300);
        const std::vector<std::string> sent = { "--attach", strPath };
        EXPECT_EQ(Lines(bin.File("args.txt")), bSent ? sent : std::vector<std::string>());
        EXPECT_EQ(Running(bin.File("pid")), bSent) << "the command waited for the mail program";
        std::ofstream { bin.File("go") };
        EXPECT_EQ(LWaveFile::OpenSource(strPath)->GetLength(), bSent ? c.iSentFrames : 4000);
        EXPECT_TRUE(e.ui.messages.empty());
        EXPECT_FALSE(LFile::Exists(dir.File("pwned")) || LFile::Exists("pwned"));
    }
}
