#pragma once

#include <map>
#include <mutex>
#include <string>

// The program's settings store: one INI file, one [Section] per settings
// group, every value a string. Integers are stored in decimal, booleans as
// "1"/"0"; a missing or empty value yields the caller's default. The file is
// $ORVENNA_CONFIG_DIR/Orvenna.ini, or $XDG_CONFIG_HOME/Corvatch/Orvenna.ini
// (~/.config when unset). Every Set writes the whole file atomically (a
// temporary file renamed over the old one), so a crash never leaves half a
// file. Safe to use from any thread.
class LSettings {
public:
    // The store of this process, loaded on first use.
    static LSettings& Get();

    std::string GetString(const std::string& strSection, const std::string& strName,
        const std::string& strDefault = "");
    int GetInt(const std::string& strSection, const std::string& strName, int iDefault);
    bool GetBool(const std::string& strSection, const std::string& strName, bool bDefault);

    void SetString(
        const std::string& strSection, const std::string& strName, const std::string& strValue);
    void SetInt(const std::string& strSection, const std::string& strName, int iValue);
    void SetBool(const std::string& strSection, const std::string& strName, bool bValue);
    void Remove(const std::string& strSection, const std::string& strName);

    // Re-reads the file (tests change the folder between cases).
    void Reload();
    const std::string& GetFilePath() const { return strFile; }

private:
    LSettings();
    void Load();
    void Save();

    std::mutex mtx;
    std::string strFile;
    std::map<std::string, std::map<std::string, std::string>> sections;
};
