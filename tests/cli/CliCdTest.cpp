#include "support/CDSimDisc.h"
#include "support/CliRun.h"

#include <cstdlib>
#include <gtest/gtest.h>

using TestSupport::TempDir;

TEST(CliCd, ListsDrivesAndTracksAndRipsOnlyWhatReadsRight)
{
    TempDir dir;
    const std::string strDisc = CDSimDisc::Write(dir, "disc", 40,
        "track 1 audio 0\ntrack 2 audio 18000\ntrack 3 data 30000\nleadout 31000\nfail 18030\n");
    const std::string strEmpty = CDSimDisc::Write(dir, "empty", 0, "leadout 500\n");
    setenv("ORVENNA_CDROM_SIM", (strDisc + ":" + strEmpty).c_str(), 1);
    std::string strOut;
    EXPECT_EQ(Cli(dir, { "cd", "list" }, &strOut), 0);
    EXPECT_EQ(strOut,
        "drive 0  " + strDisc
            + "\n  Track 1\t4:00\n  Track 2\t0:08\n  Track 3\t0:13\tdata\n"
              "drive 1  "
            + strEmpty + "  the table of contents lists no tracks\n");

    struct Case {
        std::vector<std::string> args;
        int iExit;
        const char* szOutput;
    } cases[] = {
        { { "0", "1" }, 0, "Track 1: 18000 sectors written to " },
        { { "0", "1", "--verify" }, 0, "AccurateRip v1 " },
        { { "0", "3" }, 2, "Track 3 is a data track" },
        { { "0", "2", "--verify" }, 2, "Track 2 could not be read at 0:00:30 (medium error)" },
        { { "1", "1" }, 2, "lists no tracks" },
        { { "2", "1" }, 2, "there is no CD-ROM drive 2" },
        { { "0", "0" }, 2, "TRACK must be" },
    };
    const std::string strWav = dir.File("out.wav");
    for (const Case& c : cases) {
        std::vector<std::string> args = { "cd", "rip" };
        args.insert(args.end(), c.args.begin(), c.args.end());
        args.insert(args.begin() + 4, strWav);
        SCOPED_TRACE(args[2] + " " + args[3]);
        EXPECT_EQ(Cli(dir, args, &strOut), c.iExit) << strOut;
        EXPECT_NE(strOut.find(c.szOutput), std::string::npos) << strOut;
        EXPECT_EQ(TestSupport::ReadAll(strWav).size(), c.iExit ? 0 : 46 + 18000 * 2352u);
        std::remove(strWav.c_str());
    }
    unsetenv("ORVENNA_CDROM_SIM");
}
