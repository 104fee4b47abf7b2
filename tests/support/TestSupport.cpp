#include "support/TestSupport.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace TestSupport {

TempDir::TempDir()
{
    std::string strTemplate
        = (std::filesystem::temp_directory_path() / "orvenna-test-XXXXXX").string();
    std::vector<char> buf(strTemplate.begin(), strTemplate.end());
    buf.push_back('\0');
    if (mkdtemp(buf.data()))
        strPath = buf.data();
}

TempDir::~TempDir()
{
    std::error_code ec;
    if (!strPath.empty())
        std::filesystem::remove_all(strPath, ec);
}

std::string TempDir::File(const std::string& strName) const
{
    return strPath + "/" + strName;
}

std::string FindProgram(const std::string& strName)
{
    const char* szPath = getenv("PATH");
    std::string strAll = szPath ? szPath : "/usr/bin:/bin";
    size_t uStart = 0;
    while (uStart <= strAll.size()) {
        size_t uEnd = strAll.find(':', uStart);
        if (uEnd == std::string::npos)
            uEnd = strAll.size();
        std::string strCandidate = strAll.substr(uStart, uEnd - uStart) + "/" + strName;
        if (access(strCandidate.c_str(), X_OK) == 0)
            return strCandidate;
        uStart = uEnd + 1;
    }
    return "";
}

bool HavePeer(const std::string& strName)
{
    if (!FindProgram(strName).empty())
        return true;
    const char* szRequire = getenv("ORVENNA_REQUIRE_PEERS");
    if (szRequire && strcmp(szRequire, "1") == 0)
        ADD_FAILURE() << "peer program '" << strName << "' is required but missing";
    return false;
}

int Run(const std::vector<std::string>& args, std::string* pOut)
{
    std::vector<char*> argv;
    for (const std::string& s : args)
        argv.push_back(const_cast<char*>(s.c_str()));
    argv.push_back(nullptr);

    int fds[2];
    if (pipe(fds) != 0)
        return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 2);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    pid_t pid = 0;
    int iErr = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    if (iErr != 0) {
        close(fds[0]);
        return -1;
    }
    char buf[4096];
    ssize_t n;
    while ((n = read(fds[0], buf, sizeof buf)) > 0)
        if (pOut)
            pOut->append(buf, size_t(n));
    close(fds[0]);
    int iStatus = 0;
    waitpid(pid, &iStatus, 0);
    if (WIFEXITED(iStatus))
        return WEXITSTATUS(iStatus);
    return 128 + (WIFSIGNALED(iStatus) ? WTERMSIG(iStatus) : 0);
}

std::vector<uint8_t> ReadAll(const std::string& strPath)
{
    std::vector<uint8_t> data;
    FILE* f = fopen(strPath.c_str(), "rb");
    if (!f)
        return data;
    uint8_t buf[65536];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0)
        data.insert(data.end(), buf, buf + n);
    fclose(f);
    return data;
}

bool WriteAll(const std::string& strPath, const std::vector<uint8_t>& data)
{
    FILE* f = fopen(strPath.c_str(), "wb");
    if (!f)
        return false;
    bool bOk = data.empty() || fwrite(data.data(), 1, data.size(), f) == data.size();
    return fclose(f) == 0 && bOk;
}

void Put16(std::vector<uint8_t>& v, uint32_t x)
{
    v.push_back(uint8_t(x));
    v.push_back(uint8_t(x >> 8));
}

void Put32(std::vector<uint8_t>& v, uint32_t x)
{
    Put16(v, x & 0xFFFF);
    Put16(v, x >> 16);
}

void PutTag(std::vector<uint8_t>& v, const char* szTag)
{
    v.insert(v.end(), szTag, szTag + 4);
}

std::vector<int16_t> MakeSignal(int32_t iFrames, int iChannels, int32_t iRate, uint32_t uSeed)
{
    std::vector<int16_t> v(size_t(iFrames) * size_t(iChannels));
    uint32_t uNoise = uSeed * 2654435761u + 1;
    for (int32_t i = 0; i < iFrames; ++i)
        for (int c = 0; c < iChannels; ++c) {
            uNoise = uNoise * 1664525u + 1013904223u;
            double t = double(i) / iRate;
            double x = 9000 * sin(2 * M_PI * (440 + 110 * c) * t) + 5000 * sin(2 * M_PI * 1375 * t)
                + double(int32_t(uNoise >> 16) - 32768) / 32;
            v[size_t(i) * size_t(iChannels) + size_t(c)] = int16_t(lrint(x));
        }
    return v;
}

} // namespace TestSupport
