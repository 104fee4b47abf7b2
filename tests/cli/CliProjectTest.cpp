#include "SoxPeer.h"
#include "support/CliRun.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace TestSupport;

// Bookmarks written by edit, carried into a project, the project's parts
// written back out sample for sample, and assembly read by sox.
TEST(CliProject, BookmarksProjectsAndAssemblyRoundTrip)
{
    REQUIRE_PEER("sox");
    TempDir dir;
    const std::string strA = Sox::Tone(dir, "a.wav", "2"),
                      strB
        = Sox::Synth(dir, "b.wav", "8000", "1", { "1", "sine", "440", "vol", "0.5" });
    std::string strOut;
    // Each run's output alone (the runner appends).
    auto CliOut = [&dir, &strOut](std::vector<std::string> args, std::string* pOut = nullptr) {
        strOut.clear();
        return Cli(dir, std::move(args), pOut);
    };
    ASSERT_EQ(
        Cli(dir,
            { "edit", strA, "position", "1500", "Set Bookmark", "select", "0", "500", "Delete" },
            &strOut),
        0)
        << strOut;
    ASSERT_EQ(CliOut({ "bookmarks", dir.File("a.obm") }, &strOut), 0) << strOut;
    EXPECT_NE(strOut.find("bookmarks 1"), std::string::npos) << strOut;
    EXPECT_NE(strOut.find("\"a.wav@0:00:01.50\" in \"a.wav\" at 0:00:01.000"), std::string::npos)
        << "moved back with the delete: " << strOut;
    ASSERT_EQ(CliOut({ "info", strA }, &strOut), 0) << strOut;
    EXPECT_NE(strOut.find("bookmarks 1\n  bookmark \"a.wav@0:00:01.50\""), std::string::npos)
        << "info lists the file's bookmarks: " << strOut;

    const std::string strProject = dir.File("p.ovp");
    ASSERT_EQ(CliOut({ "project", "save", strProject, strA, strB }, &strOut), 0) << strOut;
    ASSERT_EQ(CliOut({ "project", "info", strProject }, &strOut), 0) << strOut;
    EXPECT_NE(strOut.find("44100 Hz, 2 channel(s), 66150 frames"), std::string::npos) << strOut;
    EXPECT_NE(strOut.find("8000 Hz, 1 channel(s), 8000 frames"), std::string::npos) << strOut;
    EXPECT_NE(strOut.find("bookmarks 1"), std::string::npos) << strOut;
    const std::string strBack = dir.File("back.wav");
    ASSERT_EQ(CliOut({ "project", "extract", strProject, "--document", "2", strBack }), 0);
    const std::string strRawBack = Sox::Raw(strBack);
    EXPECT_EQ(strRawBack.size(), 16000u);
    EXPECT_TRUE(Sox::Raw(strB) == strRawBack) << "the same samples again";
    EXPECT_EQ(CliOut({ "project", "extract", strProject, "--region", "1", strBack }, &strOut), 2);
    EXPECT_NE(strOut.find("has 0 region(s)"), std::string::npos) << strOut;

    const std::string strJoined = dir.File("j.wav");
    ASSERT_EQ(CliOut({ "assemble", strJoined, strB + "@0-500", strA, "--gap", "250" }, &strOut), 0)
        << strOut;
    strOut.clear();
    ASSERT_EQ(TestSupport::Run({ "sox", "--i", "-s", strJoined }, &strOut), 0) << strOut;
    EXPECT_NEAR(std::stol(strOut), 4000 + 2000 + 1.5 * 8000, 2) << "8000 Hz mono, as the first";

    ASSERT_TRUE(WriteAll(dir.File("bad.ovp"), { 0, 1, 0 }));
    EXPECT_EQ(CliOut({ "project", "info", dir.File("bad.ovp") }, &strOut), 2);
    EXPECT_NE(strOut.find("cannot load the project"), std::string::npos) << strOut;
    EXPECT_EQ(CliOut({ "recover", "--list" }, &strOut), 0);
    EXPECT_NE(strOut.find("nothing to recover"), std::string::npos) << strOut;
}
