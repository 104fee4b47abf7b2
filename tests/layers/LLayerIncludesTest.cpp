// Includes reach only the own layer or those beneath, Qt only app/ and
// platform/qt; unlike the build's own check this covers every header.

#include "support/TestSupport.h"

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// Rank of each layer, lowest first; layers of one rank do not include each other.
const std::map<std::string, int> kRank = {
    { "codecs", 0 },
    { "platform", 1 },
    { "audio", 2 },
    { "edit", 3 },
    { "process", 4 },
    { "effects", 5 },
    { "engine", 6 },
    { "features", 7 },
    { "cd", 7 },
    { "services", 7 },
    { "app", 8 },
    { "cli", 8 },
};

bool MayInclude(const std::string& strFrom, const std::string& strTo)
{
    return strFrom == strTo || kRank.at(strTo) < kRank.at(strFrom);
}

// What an include line names (between its quotes or angle brackets, bAngle
// telling which); empty for any other line.
std::string IncludedName(const std::string& strLine, bool& bAngle)
{
    char cOpen = 0, szName[512] = "";
    if (std::sscanf(strLine.c_str(), " # include %c%511[^\">]", &cOpen, szName) != 2
        || (cOpen != '<' && cOpen != '"'))
        return {};
    bAngle = cOpen == '<';
    return szName;
}

// Faults of one file of layer strLayer; bQtAllowed for app/ and platform/qt.
void CheckFile(
    const fs::path& file, const std::string& strLayer, bool bQtAllowed, std::vector<std::string>& v)
{
    std::ifstream in(file);
    std::string line;
    while (std::getline(in, line)) {
        bool bAngle = false;
        const std::string strName = IncludedName(line, bAngle);
        const std::string strTop = strName.substr(0, strName.find('/'));
        const bool bOurs = !bAngle && strTop.size() < strName.size() && kRank.count(strTop);
        const bool bQt = bAngle && strName.size() > 1 && strName[0] == 'Q'
            && (std::isupper(strName[1]) || strName[1] == 't');
        if ((bOurs && !MayInclude(strLayer, strTop)) || (bQt && !bQtAllowed))
            v.push_back(file.string() + ": " + line);
    }
}

// The sources of every layer folder, and the tests of each under tests/.
std::vector<std::string> CheckTree(const fs::path& root)
{
    std::vector<std::string> v;
    for (const auto& [strLayer, iRank] : kRank) {
        for (const fs::path& dir : { root / strLayer, root / "tests" / strLayer }) {
            if (!fs::is_directory(dir))
                continue;
            for (const auto& e : fs::recursive_directory_iterator(dir)) {
                const std::string strExt = e.path().extension().string();
                if (!e.is_regular_file() || (strExt != ".h" && strExt != ".cpp"))
                    continue;
                const bool bQt = strLayer == "app"
                    || e.path().string().find("/platform/qt/") != std::string::npos;
                CheckFile(e.path(), strLayer, bQt, v);
            }
        }
    }
    return v;
}

} // namespace

TEST(LayerIncludes, NoFileIncludesALayerAboveItsOwn)
{
    const fs::path root = ORVENNA_SOURCE_DIR;
    ASSERT_TRUE(fs::is_directory(root / "audio")) << root;
    for (const std::string& strFault : CheckTree(root))
        ADD_FAILURE() << strFault;
}

// The rule itself, on a made-up tree, so the check above cannot pass vacuously.
TEST(LayerIncludes, CatchesUpwardSiblingAndQtIncludes)
{
    TestSupport::TempDir dir;
    const fs::path root = dir.Path();
    struct Case {
        const char* szFile;
        const char* szText;
        bool bFault;
    };
    const Case aCases[] = {
        { "audio/A.cpp", "#include \"engine/LPlayer.h\"\n", true },
        { "audio/B.cpp", "#include \"platform/LFile.h\"\n#include \"codecs/mp3/MP3Header.h\"\n",
            false },
        { "codecs/C.cpp", "#include \"platform/LTrace.h\"\n", true },
        { "features/D.cpp", "#include \"cd/LCdDrive.h\"\n", true },
        { "engine/E.cpp", "#include <QString>\n", true },
        { "effects/I.cpp", "#include <QtCore/QObject>\n", true },
        { "platform/qt/F.cpp", "#include <QWidget>\n#include \"platform/LFile.h\"\n", false },
        { "tests/edit/G.cpp", "#include \"effects/LEcho.h\"\n", true },
        { "app/H.cpp", "#include <QWidget>\n#include \"features/LBookmarks.h\"\n", false },
    };
    for (const Case& c : aCases) {
        fs::create_directories((root / c.szFile).parent_path());
        std::ofstream(root / c.szFile) << c.szText;
    }
    const std::vector<std::string> v = CheckTree(root);
    for (const Case& c : aCases) {
        bool bFound = false;
        for (const std::string& s : v)
            bFound |= s.rfind((root / c.szFile).string() + ": ", 0) == 0;
        EXPECT_EQ(bFound, c.bFault) << c.szFile;
    }
}
