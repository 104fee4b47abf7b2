#include "platform/LFile.h"
#include "services/ServicesTestSupport.h"

#include <gtest/gtest.h>

using namespace TestSupport;
using Answer = MainDialogUi::Answer;

namespace {
void SetCommandLine(const std::string& strLine)
{
    LSettings::Get().SetString("Tonesmith\\Settings", "RunTonesmith", strLine);
}
} // namespace

// The command line is split as quoted, run by no shell, and waited for.
TEST(Tonesmith, TheStoredCommandLineStartsWithItsArguments)
{
    TempDir dir;
    const std::string strProgram = FakeProgram(dir, "tone smith", "args \"$@\" > $LOG");
    SetCommandLine("\"" + strProgram + "\" -a 'two words' \"x;y\" $(touch pwned) \\$HOME");
    Editor e;
    e.main.EvCommand(CM_TONESMITH);
    EXPECT_EQ(Lines(dir.File("args.txt")),
        (std::vector<std::string> { "-a", "two words", "x;y", "$(touch", "pwned)", "$HOME" }));
    EXPECT_EQ(LSilentProgressView::LastText(0), "Please close Tonesmith");
    EXPECT_EQ(LSilentProgressView::LastText(1), "to continue...");
    EXPECT_FALSE(LFile::Exists("pwned"));
    for (const std::string& strLine : { "'" + strProgram, std::string("/no/such -x") }) {
        SetCommandLine(strLine);
        LSilentProgressView::LastError().clear();
        e.main.EvCommand(CM_TONESMITH);
        EXPECT_EQ(LSilentProgressView::LastError(),
            "Unable to start Tonesmith with \"" + strLine + "\".");
    }
    EXPECT_TRUE(e.ui.questions.empty());
    // Not set: the question, and its Yes opens the download page.
    SetCommandLine("");
    for (Answer a : { Answer::Yes, Answer::No }) {
        e.ui.questions.clear();
        e.ui.captions.clear();
        e.ui.pages.clear();
        e.ui.answers = { a };
        e.main.EvCommand(CM_TONESMITH);
        EXPECT_EQ(e.ui.questions,
            std::vector<std::string> { "The free plugin Tonesmith is required "
                                       "to generate tones. Do you want to "
                                       "download it now?" });
        EXPECT_EQ(e.ui.captions, std::vector<std::string> { "Tonesmith Required" });
        EXPECT_EQ(e.ui.pages.size(), a == Answer::Yes ? 1u : 0u);
    }
}
