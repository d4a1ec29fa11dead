#include "settings/ModuleSettings.h"

#include "common/ControlIds.h"
#include "common/MessageSink.h"
#include "common/TextNumber.h"
#include "settings/Utf8Path.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>

CProgramFolder g_programFolder;
CIniFile g_iniFile;
ModuleSettings g_moduleSettings;

namespace {
constexpr const char *kSectionInt = "int";
constexpr const char *kSectionString = "String";
constexpr const char *kKeyDelay = "KeyDelay";
constexpr const char *kKeyNum = "KeyNum";

struct ComboSetting {
    const char *pszKey;
    int ModuleSettings::*pnValue;
    int nCombo;
};
// In the order they are read and written.
constexpr ComboSetting kComboSettings[] = {
    {"UartBaud", &ModuleSettings::m_nUartBaud, MainId::kBaudRate},
    {"WorkMode", &ModuleSettings::m_nWorkMode, MainId::kWorkMode},
    {"PinTring", &ModuleSettings::m_nPinTring, MainId::kTriggerLevel},
    {"KeyHold", &ModuleSettings::m_nKeyHold, MainId::kLongPress},
};

struct HeaderSetting {
    const char *pszKey;
    std::string ModuleSettings::*pstrValue;
    int nLabel;
};
constexpr HeaderSetting kHeaderSettings[] = {
    {"man", &ModuleSettings::m_strMaker, MainId::kMaker},
    {"phone", &ModuleSettings::m_strContact, MainId::kContact},
    {"www", &ModuleSettings::m_strWeb, MainId::kWeb},
};
SettingsLocation g_settingsLocation{std::string()};

bool FileExists(const std::string &path)
{
    std::error_code ec;
    return std::filesystem::exists(PathFromUtf8(path), ec);
}

// Whether the user may create files in folder: tried, since permissions alone do not tell (an
// administrator, a read-only mount, access lists).
bool IsFolderWritable(const std::string &folder)
{
    const std::filesystem::path probe = PathFromUtf8(folder) / ".tavrin-write-test";
    std::ofstream file(probe, std::ios::binary);
    if (!file)
        return false;
    file.close();
    std::error_code ec;
    std::filesystem::remove(probe, ec);
    return true;
}

std::string UserConfigFolder()
{
#ifdef _WIN32
    const char *appData = std::getenv("APPDATA");
    return appData ? appData : "";
#else
    const char *configHome = std::getenv("XDG_CONFIG_HOME");
    if (configHome && configHome[0] == '/')
        return configHome;
    const char *home = std::getenv("HOME");
    return home && *home ? std::string(home) + "/.config" : std::string();
#endif
}

// The user's file starts as a copy of the shipped one, so that it holds the header lines and the
// key count too. g_iniFile then reloads it, as every write edits the lines of the last load.
bool CreateUserFile(const SettingsLocation &location)
{
    const std::filesystem::path user = PathFromUtf8(location.strUserPath);
    std::error_code ec;
    if (!std::filesystem::exists(user, ec)) {
        std::filesystem::create_directories(user.parent_path(), ec);
        if (ec)
            return false;
        if (FileExists(location.strShippedPath)) {
            std::filesystem::copy_file(PathFromUtf8(location.strShippedPath), user, ec);
            if (ec)
                return false;
            std::filesystem::permissions(user, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write,
                                         std::filesystem::perm_options::add, ec);
        }
    }
    g_iniFile.Load();
    return true;
}
} // namespace

std::string SettingsFilePath()
{
    return Utf8FromPath(PathFromUtf8(g_programFolder.GetFolder()) / kSettingsFileName);
}

SettingsLocation SettingsLocationFor(const std::string &programFolder, bool bFolderWritable,
                                     const std::string &configHome)
{
    const std::filesystem::path folder = PathFromUtf8(programFolder);
    const std::string shipped = Utf8FromPath(folder / kSettingsFileName);
    if (bFolderWritable || configHome.empty())
        return {shipped};
    return {shipped, Utf8FromPath(PathFromUtf8(configHome) / "tavrin" / kSettingsFileName)};
}

SettingsLocation FindSettingsLocation()
{
    const std::string folder = g_programFolder.GetFolder();
    return SettingsLocationFor(folder, IsFolderWritable(folder), UserConfigFolder());
}

bool LoadSettings(IDlgControls &controls, const SettingsLocation &location)
{
    const ModuleSettings defaults;
    ModuleSettings &settings = g_moduleSettings;
    g_settingsLocation = location;
    // The user's file, where there is one, is the document the saves go to; the shipped file
    // supplies whatever it lacks.
    const bool bUserFile = !location.strUserPath.empty();
    g_iniFile.SetPath(bUserFile ? location.strUserPath : location.strShippedPath);
    CIniFile shipped;
    shipped.SetPath(location.strShippedPath);
    const bool bFound = FileExists(location.strShippedPath) || (bUserFile && FileExists(location.strUserPath));
    if (!bFound)
        ShowMessage(kConfigMissing);

    const auto readInt = [&](const char *section, const char *key, int fallback) {
        return bUserFile ? g_iniFile.ReadInt(section, key, shipped.ReadInt(section, key, fallback))
                         : g_iniFile.ReadInt(section, key, fallback);
    };
    const auto readString = [&](const char *section, const char *key, const std::string &fallback) {
        return bUserFile ? g_iniFile.ReadString(section, key, shipped.ReadString(section, key, fallback))
                         : g_iniFile.ReadString(section, key, fallback);
    };
    for (const ComboSetting &combo : kComboSettings)
        settings.*combo.pnValue = readInt(kSectionInt, combo.pszKey, defaults.*combo.pnValue);
    settings.m_nKeyDelay = readInt(kSectionInt, kKeyDelay, defaults.m_nKeyDelay);
    settings.m_nKeyNum = bFound ? readInt(kSectionInt, kKeyNum, defaults.m_nKeyNum) : 0;

    for (const HeaderSetting &header : kHeaderSettings)
        settings.*header.pstrValue = readString(kSectionString, header.pszKey, defaults.*header.pstrValue);
    for (const HeaderSetting &header : kHeaderSettings)
        controls.SetDlgItemText(header.nLabel, settings.*header.pstrValue);
    return bFound;
}

void SaveSettings(const IDlgControls &controls, bool bConfigFound)
{
    if (!bConfigFound)
        return;
    if (!g_settingsLocation.strUserPath.empty() && !CreateUserFile(g_settingsLocation))
        return;
    for (const ComboSetting &combo : kComboSettings)
        g_iniFile.WriteInt(kSectionInt, combo.pszKey, controls.GetCurSel(combo.nCombo) & 0xFF);
    const auto nDelay = static_cast<std::uint16_t>(AtoiRule(controls.GetDlgItemText(MainId::kDebounce)));
    g_iniFile.WriteInt(kSectionInt, kKeyDelay, nDelay);
}
