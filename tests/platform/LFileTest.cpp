#include "platform/LFile.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

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
