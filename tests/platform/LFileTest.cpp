#include "platform/LFile.h"

#include "support/TestSupport.h"

#include <cerrno>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

TEST(LFile, FilePathCatSeparatorsAndLimit)
{
    std::string s = "/tmp";
    LFile::FilePathCat(s, "1.aud");
    EXPECT_EQ(s, "/tmp/1.aud");
    s = "/tmp/";
    LFile::FilePathCat(s, "x", ".grf");
    EXPECT_EQ(s, "/tmp/x.grf");
    s = "";
    LFile::FilePathCat(s, "a");
    EXPECT_EQ(s, "a");
    std::string strLong(LFile::MaxPath - 3, 'd');
    s = strLong;
    LFile::FilePathCat(s, "abcdef");
    EXPECT_EQ(s.size(), LFile::MaxPath);
    EXPECT_EQ(s, strLong + "/ab");
    s = std::string(LFile::MaxPath, 'd');
    LFile::FilePathCat(s, "abc");
    EXPECT_EQ(s, std::string(LFile::MaxPath, 'd'));
    EXPECT_EQ(LFile::GetExtensionLower("/a.b/C.WaV"), ".wav");
    EXPECT_EQ(LFile::GetExtensionLower("/a.b/noext"), "");
}

TEST(LFile, ReadWriteSeekTruncate)
{
    TestSupport::TempDir dir;
    LFile f;
    ASSERT_TRUE(f.Open(dir.File("f"), LFile::Mode::CreateReadWrite));
    EXPECT_EQ(f.Write("abcdefgh", 8), 8);
    EXPECT_TRUE(f.Seek(3));
    EXPECT_TRUE(f.Truncate());
    EXPECT_EQ(f.GetFileSizeBytes(), 3);
    char buf[8] = {};
    EXPECT_EQ(f.ReadAt(buf, 8, 0), 3);
    EXPECT_EQ(std::string(buf, 3), "abc");
    LFile g;
    EXPECT_FALSE(g.Open(dir.File("missing"), LFile::Mode::Read));
    EXPECT_FALSE(g.Open(dir.Path(), LFile::Mode::Read)) << "a folder is not a file";
    EXPECT_EQ(g.Read(buf, 8), 0);
}

// A short write (the file size limit standing in for a full disk) and a
// failed create keep their reason; a create never follows a planted link.
TEST(LFile, FailedWritesKeepTheirReasonAndCreatesFollowNoLink)
{
    TestSupport::TempDir dir;
    struct rlimit old;
    getrlimit(RLIMIT_FSIZE, &old);
    signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = { 100, old.rlim_max };
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    std::vector<char> big(150, 'x');
    LFile f;
    ASSERT_TRUE(f.Open(dir.File("g"), LFile::Mode::CreateWrite));
    EXPECT_EQ(f.Write(big.data(), 150), 100);
    setrlimit(RLIMIT_FSIZE, &old);
    signal(SIGXFSZ, SIG_DFL);
    EXPECT_EQ(f.GetError(), EFBIG);
    EXPECT_FALSE(f.Close());

    TestSupport::WriteAll(dir.File("victim"), { 'v' });
    ASSERT_EQ(symlink(dir.File("victim").c_str(), dir.File("link").c_str()), 0);
    for (LFile::Mode mode :
        { LFile::Mode::CreateWrite, LFile::Mode::CreateReadWrite, LFile::Mode::CreateNew })
        EXPECT_FALSE(f.Open(dir.File("link"), mode));
    EXPECT_EQ(TestSupport::ReadAll(dir.File("victim")), std::vector<uint8_t> { 'v' });
    EXPECT_FALSE(f.Open(dir.Path() + "/none/h", LFile::Mode::CreateWrite));
    EXPECT_EQ(LFile::DescribeError(f.GetError()), "no such file or folder");
}
