#include "platform/LFile.h"
#include "services/LTonesmith.h"
#include "services/ServicesTestSupport.h"

#include <gtest/gtest.h>

using namespace TestSupport;
using Answer = MainDialogUi::Answer;

// The stored command line is split into arguments (quotes kept together,
// nothing a shell would run) and started; the command waits for it.
TEST(Tonesmith, TheStoredCommandLineStartsWithItsArguments)
{
    TempDir dir;
    const std::string strLog = dir.File("args.txt");
    FakeProgram(
        dir, "tone smith", "for a in \"$@\"; do printf '%s\\n' \"$a\"; done > '" + strLog + "'");
    LSettings::Get().SetString("Tonesmith\\Settings", "RunTonesmith",
        "\"" + dir.File("tone smith") + "\" -a 'two words' \"x;y\" $(touch pwned) \\$HOME");
    Editor e;
    EXPECT_TRUE(e.main.IsCommandEnabled(CM_TONESMITH)) << "no document needed";
    e.main.EvCommand(CM_TONESMITH);
    EXPECT_EQ(Lines(strLog),
        (std::vector<std::string> { "-a", "two words", "x;y", "$(touch", "pwned)", "$HOME" }));
    EXPECT_EQ(LSilentProgressView::LastText(0), "Please close Tonesmith");
    EXPECT_EQ(LSilentProgressView::LastText(1), "to continue...");
    EXPECT_FALSE(LFile::Exists("pwned"));
    EXPECT_TRUE(e.ui.questions.empty());
}

// Not set: the question, and its Yes opens the download page.
TEST(Tonesmith, NotSetItAsksToDownloadIt)
{
    LSettings::Get().Remove("Tonesmith\\Settings", "RunTonesmith");
    for (Answer a : { Answer::Yes, Answer::No, Answer::Cancel }) {
        Editor e;
        e.ui.answers = { a };
        e.main.EvCommand(CM_TONESMITH);
        ASSERT_EQ(e.ui.questions.size(), 1u);
        EXPECT_EQ(e.ui.questions[0],
            "The free plugin Tonesmith is required to generate tones. Do you want to download it "
            "now?");
        EXPECT_EQ(e.ui.captions[0], "Tonesmith Required");
        EXPECT_EQ(e.ui.pages.size(), a == Answer::Yes ? 1u : 0u);
    }
}

// A command line that cannot be split or started fails with a message.
TEST(Tonesmith, CommandLinesThatCannotStart)
{
    for (const char* sz : { "'unterminated", "   ", "/no/such/program -x" }) {
        SCOPED_TRACE(sz);
        LSettings::Get().SetString("Tonesmith\\Settings", "RunTonesmith", sz);
        LSilentProgressView::LastError().clear();
        Editor e;
        e.main.EvCommand(CM_TONESMITH);
        EXPECT_EQ(LSilentProgressView::LastError().rfind("Unable to start Tonesmith", 0), 0u)
            << LSilentProgressView::LastError();
    }
}
