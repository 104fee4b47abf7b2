#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>

// Every test program keeps its settings and data folders in a private
// temporary folder, so no test touches the user's files.
int main(int argc, char** argv)
{
    std::string strBase
        = (std::filesystem::temp_directory_path() / ("orvenna-env-" + std::to_string(getpid())))
              .string();
    std::filesystem::create_directories(strBase + "/config");
    std::filesystem::create_directories(strBase + "/data");
    // Files opened by tests do not start playing unless a test asks for it.
    std::ofstream(strBase + "/config/Orvenna.ini") << "[Settings]\nPlayWhenOpen=0\n";
    setenv("ORVENNA_CONFIG_DIR", (strBase + "/config").c_str(), 1);
    setenv("XDG_DATA_HOME", (strBase + "/data").c_str(), 1);
    testing::InitGoogleTest(&argc, argv);
    int iResult = RUN_ALL_TESTS();
    std::error_code ec;
    std::filesystem::remove_all(strBase, ec);
    return iResult;
}
