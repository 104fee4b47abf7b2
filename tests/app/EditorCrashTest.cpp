#include "app/LMDIMainWindow.h"
#include "audio/LWaveFile.h"
#include "edit/LAudioCutTank.h"
#include "edit/LSRCCutListAudio.h"
#include "support/AudioTestSupport.h"
#include "support/TestSupport.h"

#include <csignal>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace TestSupport;

namespace {
// The keys pressed in the editor and their commands: the file pasted over
// with itself, changed, with new cuts.
const std::vector<std::pair<const char*, int>> kKeys = {
    { "ctrl+a", CM_SELECTALL },
    { "ctrl+c", CM_COPY },
    { "ctrl+v", CM_PASTE },
    { "ctrl+v", CM_PASTE },
};

// A child that is killed with SIGKILL when it goes.
struct Child {
    // env: NAME=value settings of its own.
    explicit Child(std::vector<std::string> args, const std::vector<std::string>& env = {})
    {
        pid = fork();
        if (pid == 0) {
            for (const std::string& s : env)
                putenv(strdup(s.c_str()));
            std::vector<char*> argv;
            for (std::string& s : args)
                argv.push_back(s.data());
            argv.push_back(nullptr);
            execvp(argv[0], argv.data());
            _exit(127);
        }
    }
    ~Child() { Kill(); }
    // True when it was running until killed.
    bool Kill()
    {
        if (pid <= 0)
            return false;
        kill(pid, SIGKILL);
        int iStatus = 0;
        waitpid(pid, &iStatus, 0);
        pid = -1;
        return WIFSIGNALED(iStatus) && WTERMSIG(iStatus) == SIGKILL;
    }
    pid_t pid = -1;
};

// The display number a server writes to FD, or "" after iMaxMs.
std::string ReadDisplayNumber(int fd, int iMaxMs)
{
    std::string str;
    pollfd p { fd, POLLIN, 0 };
    char c = 0;
    while (poll(&p, 1, iMaxMs) == 1 && read(fd, &c, 1) == 1 && c != '\n')
        str += c;
    return c == '\n' ? str : std::string();
}

// True once the working folder holds a cut file of uAudBytes with its whole
// graph: the file has been read in and the load has ended.
bool HasCut(const std::string& strFolder, uintmax_t uAudBytes, uintmax_t uGrfBytes)
{
    std::error_code ec;
    for (const auto& e : fs::recursive_directory_iterator(strFolder, ec)) {
        fs::path grf = e.path();
        if (e.path().extension() == ".aud" && fs::file_size(e.path(), ec) == uAudBytes
            && fs::file_size(grf.replace_extension(".grf"), ec) == uGrfBytes)
            return true;
    }
    return false;
}

bool HasJournal(const std::string& strFolder)
{
    std::error_code ec;
    for (const auto& e : fs::recursive_directory_iterator(strFolder, ec))
        if (e.path().filename() == LAudioCutTank::kJournalName)
            return true;
    return false;
}
} // namespace

// The real editor on an X server of its own, edited by keys and killed once
// its journal is written: recovery writes the edited document back exactly.
TEST(EditorCrash, KilledEditorComesBackSampleForSample)
{
    REQUIRE_PEER("Xvfb");
    REQUIRE_PEER("xdotool");
    TempDir dir, data, out;
    const std::string strWav = MakeRampWav(dir, "a.wav", 8000, 1, 12000);
    // The server writes its display number once it takes connections (a
    // socket file may be stale); -noreset, as each xdotool call is a client
    // whose leaving would reset it under the starting editor.
    int aiPipe[2];
    ASSERT_EQ(pipe(aiPipe), 0);
    Child xserver({ "Xvfb", "-displayfd", std::to_string(aiPipe[1]), "-noreset", "-screen", "0",
        "1024x768x24", "-nolisten", "tcp" });
    close(aiPipe[1]);
    const std::string strDisplay = ":" + ReadDisplayNumber(aiPipe[0], 15000);
    close(aiPipe[0]);
    ASSERT_NE(strDisplay, ":") << "Xvfb did not start";
    // Opening the file plays nothing (no message about a missing device).
    std::ofstream(dir.File("Orvenna.ini")) << "[Settings]\nPlayWhenOpen=0\n";
    {
        Child editor({ ORVENNA_APP_PATH, strWav },
            { "DISPLAY=" + strDisplay, "QT_QPA_PLATFORM=xcb", "ORVENNA_CONFIG_DIR=" + dir.Path(),
                "XDG_DATA_HOME=" + data.Path(),
                "TMPDIR=" + dir.Path() }); // a single-instance socket of its own
        const std::string strEnvDisplay = "DISPLAY=" + strDisplay; // for xdotool
        std::string strWindow;
        ASSERT_TRUE(PumpUntil(
            [&] {
                strWindow.clear();
                TestSupport::Run({ "env", strEnvDisplay, "xdotool", "search", "--onlyvisible",
                                     "--name", "Orvenna" },
                    &strWindow);
                return !strWindow.empty();
            },
            [] {}, 20000))
            << "no editor window";
        strWindow = strWindow.substr(0, strWindow.find('\n'));
        // 12000 mono frames of 4 bytes; one graph record of 2 bytes per 256 frames.
        ASSERT_TRUE(PumpUntil([&] { return HasCut(data.Path(), 48000, 94); }, [] {}, 30000))
            << "the file was not opened";
        std::this_thread::sleep_for(std::chrono::milliseconds(500)); // its window made
        TestSupport::Run({ "env", strEnvDisplay, "xdotool", "windowfocus", "--sync", strWindow });
        std::vector<std::string> args
            = { "env", strEnvDisplay, "xdotool", "key", "--delay", "300" };
        for (const auto& [szKey, iCommand] : kKeys)
            args.push_back(szKey);
        EXPECT_EQ(TestSupport::Run(args), 0);
        ASSERT_TRUE(PumpUntil([&] { return HasJournal(data.Path()); }, [] {}, 30000))
            << "no journal";
        std::this_thread::sleep_for(std::chrono::seconds(1)); // the last paste journalled
        EXPECT_TRUE(editor.Kill()) << "the editor was still running";
    }
    xserver.Kill();

    std::string strOut;
    ASSERT_EQ(TestSupport::Run(
                  { "env", "ORVENNA_CONFIG_DIR=" + dir.Path(), "XDG_DATA_HOME=" + data.Path(),
                      ORVENNA_CLI_PATH, "recover", "--save", out.Path() },
                  &strOut),
        0)
        << strOut;
    SourceHandle hBack = LWaveFile::OpenSource(out.File("1-a.wav.wav"));
    ASSERT_FALSE(hBack->IsError()) << strOut;
    // What the keys make of the file, done by the controller here.
    LMDIMainWindow w;
    ASSERT_TRUE(w.GetController().LoadFile(strWav, false, false));
    for (const auto& [szKey, iCommand] : kKeys)
        w.GetController().EvCommand(iCommand);
    const LCutListAudio& edited = w.GetController().GetCurrentFile()->claAudio;
    EXPECT_NE(strOut.find("a.wav: 8000 Hz, 1 channel(s), 12000 frames"), std::string::npos)
        << "the pasted-over file was journalled: " << strOut;
    LSRCCutListAudio expected(edited);
    EXPECT_EQ(
        ReadFrames(*hBack, hBack->GetLength()), ReadFrames(expected, edited.GetTotalLength()));
}
