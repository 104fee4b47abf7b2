#include "platform/LSettings.h"

#include "platform/LFolders.h"
#include "platform/LTrace.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace {

std::string SettingsFilePath()
{
    if (const char* sz = getenv("ORVENNA_CONFIG_DIR"); sz && *sz)
        return std::string(sz) + "/Orvenna.ini";
    return LFolders::XdgBase("XDG_CONFIG_HOME", "/.config") + "/Corvatch/Orvenna.ini";
}

std::string Trim(const std::string& s)
{
    size_t b = s.find_first_not_of(" \t\r");
    if (b == std::string::npos)
        return "";
    size_t e = s.find_last_not_of(" \t\r");
    return s.substr(b, e - b + 1);
}

// Values are written on one line; line breaks and backslashes are escaped
// so that any text survives a round trip.
std::string Escape(const std::string& s)
{
    std::string r;
    for (char c : s) {
        if (c == '\\')
            r += "\\\\";
        else if (c == '\n')
            r += "\\n";
        else if (c == '\r')
            r += "\\r";
        else
            r += c;
    }
    return r;
}

std::string Unescape(const std::string& s)
{
    std::string r;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 1 < s.size()) {
            char n = s[++i];
            r += n == 'n' ? '\n' : n == 'r' ? '\r' : n;
        } else {
            r += s[i];
        }
    }
    return r;
}

} // namespace

LSettings& LSettings::Get()
{
    static LSettings settings;
    return settings;
}

LSettings::LSettings()
{
    Load();
}

void LSettings::Reload()
{
    std::lock_guard<std::mutex> lock(mtx);
    Load();
}

void LSettings::Load()
{
    strFile = SettingsFilePath();
    sections.clear();
    std::ifstream in(strFile);
    std::string strLine, strSection;
    while (std::getline(in, strLine)) {
        std::string t = Trim(strLine);
        if (t.empty() || t[0] == ';' || t[0] == '#')
            continue;
        if (t.front() == '[' && t.back() == ']') {
            strSection = t.substr(1, t.size() - 2);
            continue;
        }
        size_t uEq = t.find('=');
        if (uEq == std::string::npos)
            continue;
        sections[strSection][Trim(t.substr(0, uEq))] = Unescape(Trim(t.substr(uEq + 1)));
    }
}

void LSettings::Save()
{
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(strFile).parent_path(), ec);
    std::string strTemp = strFile + ".tmp" + std::to_string(getpid());
    {
        std::ofstream out(strTemp, std::ios::trunc);
        for (const auto& [strSection, values] : sections) {
            out << '[' << strSection << "]\n";
            for (const auto& [strName, strValue] : values)
                out << strName << '=' << Escape(strValue) << '\n';
            out << '\n';
        }
        if (!out) {
            LTrace("LSettings::Save unable to write %s", strTemp.c_str());
            return;
        }
    }
    std::filesystem::rename(strTemp, strFile, ec);
    if (ec)
        LTrace("LSettings::Save unable to replace %s", strFile.c_str());
}

std::string LSettings::GetString(
    const std::string& strSection, const std::string& strName, const std::string& strDefault)
{
    std::lock_guard<std::mutex> lock(mtx);
    auto s = sections.find(strSection);
    if (s == sections.end())
        return strDefault;
    auto v = s->second.find(strName);
    if (v == s->second.end() || v->second.empty())
        return strDefault;
    return v->second;
}

int LSettings::GetInt(const std::string& strSection, const std::string& strName, int iDefault)
{
    std::string s = GetString(strSection, strName);
    if (s.empty())
        return iDefault;
    char* pEnd = nullptr;
    long l = strtol(s.c_str(), &pEnd, 10);
    if (pEnd == s.c_str() || l < INT32_MIN || l > INT32_MAX)
        return iDefault;
    return int(l);
}

bool LSettings::GetBool(const std::string& strSection, const std::string& strName, bool bDefault)
{
    return GetInt(strSection, strName, bDefault ? 1 : 0) != 0;
}

void LSettings::SetString(
    const std::string& strSection, const std::string& strName, const std::string& strValue)
{
    std::lock_guard<std::mutex> lock(mtx);
    sections[strSection][strName] = strValue;
    Save();
}

void LSettings::SetInt(const std::string& strSection, const std::string& strName, int iValue)
{
    SetString(strSection, strName, std::to_string(iValue));
}

void LSettings::SetBool(const std::string& strSection, const std::string& strName, bool bValue)
{
    SetString(strSection, strName, bValue ? "1" : "0");
}

void LSettings::Remove(const std::string& strSection, const std::string& strName)
{
    std::lock_guard<std::mutex> lock(mtx);
    auto s = sections.find(strSection);
    if (s != sections.end() && s->second.erase(strName) != 0)
        Save();
}
