#include "engine/LDecodedSource.h"
#include "engine/OVLoadFile.h"
#include "platform/LFile.h"
#include "services/LOutsideDecoders.h"
#include "services/ServicesTestSupport.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace TestSupport;

namespace {
// Loads as the editor opens a file: the result and the text shown.
int Load(const std::string& strPath, LCutListAudio& list, std::string& strShown)
{
    RegisterOutsideFormats();
    LSilentProgressView::LastError().clear();
    OVLoadFile load { strPath, &list };
    Process<OVLoadFile> run("Loading Audio File Source", load);
    run.Run();
    strShown = LSilentProgressView::LastError();
    return run.GetResult();
}

void SetConverter(const std::string& strComponent, const std::string& strPath)
{
    LSettings::Get().SetString("Components\\" + strComponent, "Path", strPath);
}
} // namespace

// CONVERTER INPUT WAV: its output loaded then deleted, never an earlier run's
// WAV; each failure has its text.
TEST(OutsideDecoders, TheConverterItsArgumentsResultsAndTexts)
{
    TempDir dir;
    const std::string strWav = MakeRampWav(dir, "made.wav", 22050, 2, 3000, 5);
    const std::string strCopy = "args \"$@\" > $LOG; cp '" + strWav + "' \"$2\"; ";
    struct Case {
        const char* szComponent;
        const char* szExt;
        std::string strBody; // "" = no converter at that path
        int iResult;
        const char* szShown; // the start of the text shown
    } aCases[] = {
        { "dsscmp", ".DSS", strCopy + "exit 0", 0, "" },
        { "wmacmp", ".wma", "args \"$@\" > $LOG", 2, "" }, // wrote nothing
        { "wmacmp", ".wma", "", 2, "The wma decoder component has not yet been installed" },
        // The helper's code for "ffmpeg cannot be started".
        { "wmacmp", ".wma", strCopy + "exit 127", 2, "The wma decoder component has not" },
        { "wmacmp", ".wma", strCopy + "exit 1", 2, "" },
        { "dsscmp", ".dss", strCopy + "exit 1", 2, "Unable to open DSS file.\n" },
        // An error, not a cancel.
        { "racmp", ".ram", strCopy + "exit 1", 2, "Unable to open file with Real Player.\n\n" },
    };
    for (const Case& c : aCases) {
        SCOPED_TRACE(std::string(c.szExt) + " " + c.strBody);
        std::remove(dir.File("args.txt").c_str());
        SetConverter(c.szComponent,
            c.strBody.empty() ? dir.File("none") : FakeProgram(dir, "my conv", c.strBody));
        const std::string strIn = dir.File(std::string("-a $(b);c") + c.szExt);
        std::ofstream(strIn) << "x";
        const std::string strTemp = DecodedWavPath(strIn);
        EXPECT_EQ(LFile::GetFileName(strTemp), "-a $(b);c.wav");
        std::filesystem::copy_file(
            strWav, strTemp, std::filesystem::copy_options::overwrite_existing);
        LCutListAudio list;
        std::string strShown;
        EXPECT_EQ(Load(strIn, list, strShown), c.iResult);
        EXPECT_EQ(list.GetTotalLength(), c.iResult ? 0 : 3000);
        EXPECT_EQ(strShown.rfind(c.szShown, 0), 0u) << strShown;
        EXPECT_EQ(strShown.empty(), !*c.szShown);
        if (!c.strBody.empty()) {
            EXPECT_EQ(Lines(dir.File("args.txt")), (std::vector<std::string> { strIn, strTemp }));
        }
        EXPECT_FALSE(LFile::Exists(strTemp));
    }
}

namespace {
// Cancels once the converter below has started what it runs.
std::string strStartedFile;
struct CancelWhenStarted : LSilentProgressView {
    bool Pump() override { return LFile::Exists(strStartedFile); }
};
} // namespace

// Cancel stops the converter and its children and deletes its half-written WAV.
TEST(OutsideDecoders, CancelStopsTheConverterAndDeletesItsOutput)
{
    TempDir dir;
    strStartedFile = dir.File("child.pid");
    SetConverter("wmacmp",
        FakeProgram(dir, "slow",
            "echo $$ > $LOG; cp '" + MakeRampWav(dir, "half.wav", 8000, 1, 800)
                + "' \"$2\"; sleep 60 & echo $! > '" + strStartedFile + "'; wait"));
    std::ofstream(dir.File("a.wma")) << "x";
    LProgressView::SetFactory(
        []() -> std::unique_ptr<LProgressView> { return std::make_unique<CancelWhenStarted>(); });
    LCutListAudio list;
    std::string strShown;
    EXPECT_EQ(Load(dir.File("a.wma"), list, strShown), 1);
    LProgressView::SetFactory(nullptr);
    EXPECT_EQ(list.GetTotalLength(), 0);
    EXPECT_FALSE(LFile::Exists(DecodedWavPath(dir.File("a.wma"))));
    EXPECT_FALSE(Running(dir.File("args.txt")));
    // The orphaned sleep is reaped by init; allow for that.
    EXPECT_TRUE(PumpUntil([&] { return !Running(strStartedFile); }, [] {}));
}
