#include "settings/ModuleSettings.h"

#include "common/ControlIds.h"
#include "common/MessageSink.h"
#include "common/TextNumber.h"
#include "settings/UserFolder.h"
#include "settings/Utf8Path.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <iterator>
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

// A file that exists but cannot be read is worth a word; a missing one is not, except the
// shipped file, which LoadSettings reports itself.
bool LoadFile(CIniFile &doc, const std::string &path, bool bReport)
{
    doc.SetPath(path);
    if (doc.Load())
        return true;
    if (bReport && !doc.LastError().IsMissing())
        ShowMessage(DescribeFileError(doc.LastError(), FileAction::Read, path));
    return false;
}
} // namespace

SettingsLocation SettingsLocationFor(const std::string &programFolder, const std::string &configHome,
                                     const std::string &installedFile)
{
    const std::string beside =
        programFolder.empty() ? std::string() : Utf8FromPath(PathFromUtf8(programFolder) / kSettingsFileName);
    const bool installed = !installedFile.empty() && (beside.empty() || !FileExists(beside));
    const std::string shipped = installed ? installedFile : beside;
    const std::string user =
        configHome.empty() ? std::string() : Utf8FromPath(PathFromUtf8(configHome) / "tavrin" / kSettingsFileName);
    return {shipped, user, installed};
}

SettingsLocation FindSettingsLocation()
{
    return SettingsLocationFor(g_programFolder.GetFolder(), UserConfigFolder(), TAVRIN_INSTALLED_SETTINGS);
}

std::vector<SettingKey> TavrinSettings()
{
    const ModuleSettings defaults;
    std::vector<SettingKey> keys;
    for (const ComboSetting &combo : kComboSettings)
        keys.push_back({kSectionInt, combo.pszKey, std::to_string(defaults.*combo.pnValue)});
    keys.push_back({kSectionInt, kKeyDelay, std::to_string(defaults.m_nKeyDelay)});
    keys.push_back({kSectionInt, kKeyNum, std::to_string(defaults.m_nKeyNum)});
    for (const HeaderSetting &header : kHeaderSettings)
        keys.push_back({kSectionString, header.pszKey, defaults.*header.pstrValue});
    return keys;
}

bool IsWindowParameter(const std::string &section, const std::string &key)
{
    if (section != kSectionInt)
        return false;
    return key == kKeyDelay || std::any_of(std::begin(kComboSettings), std::end(kComboSettings),
                                           [&](const ComboSetting &combo) { return key == combo.pszKey; });
}

CSettingsFiles::CSettingsFiles(const SettingsLocation &location, bool bReport) : m_location(location)
{
    m_bShipped = LoadFile(m_shipped, location.strShippedPath, bReport);
    m_bUser = !location.strUserPath.empty() && LoadFile(m_user, location.strUserPath, bReport);
}

SettingValue CSettingsFiles::Resolve(const std::string &section, const std::string &key,
                                     const std::string &defaultText) const
{
    if (m_bUser && IsWindowParameter(section, key)) {
        if (const std::string stored = m_user.LookUp(section, key); stored != kAbsentValue)
            return {CIniFile::Decode(stored), m_location.strUserPath};
    }
    if (m_bShipped) {
        if (const std::string stored = m_shipped.LookUp(section, key); stored != kAbsentValue)
            return {CIniFile::Decode(stored), m_location.strShippedPath};
    }
    return {defaultText, {}};
}

std::string SaveTargetFor(const SettingsLocation &location)
{
    const std::string &user = location.strUserPath;
    if (location.bInstalled)
        return user;
    if (user.empty() || (!FileExists(user) && MayReplaceFile(PathFromUtf8(location.strShippedPath))))
        return location.strShippedPath;
    return user;
}

FileError SaveTo(CIniFile &doc, const SettingsLocation &location, std::string &strPath)
{
    const auto saveAs = [&](const std::string &path) {
        strPath = path;
        doc.SetPath(path);
        if (path == location.strUserPath) {
            std::error_code ec;
            std::filesystem::create_directories(PathFromUtf8(path).parent_path(), ec);
        }
        doc.Save();
        return doc.LastError();
    };
    const std::string target = SaveTargetFor(location);
    // The installed file and no user's file: nowhere the parameters may go.
    if (target.empty()) {
        strPath = location.strShippedPath;
        return {FileProblem::System, EACCES};
    }
    const FileError error = saveAs(target);
    if (error.IsRefusal() && strPath != location.strUserPath && !location.strUserPath.empty())
        return saveAs(location.strUserPath);
    return error;
}

bool LoadSettings(IDlgControls &controls, const SettingsLocation &location)
{
    const ModuleSettings defaults;
    ModuleSettings &settings = g_moduleSettings;
    g_settingsLocation = location;
    const CSettingsFiles files(location, true);
    const bool bFound = files.ShippedFound();
    if (!bFound && !FileExists(location.strShippedPath))
        ShowMessage(kConfigMissing);

    const auto readInt = [&](const char *key, int fallback) {
        const SettingValue value = files.Resolve(kSectionInt, key, {});
        return value.strPath.empty() ? fallback : AtoiRule(value.strText);
    };
    for (const ComboSetting &combo : kComboSettings)
        settings.*combo.pnValue = readInt(combo.pszKey, defaults.*combo.pnValue);
    settings.m_nKeyDelay = readInt(kKeyDelay, defaults.m_nKeyDelay);
    settings.m_nKeyNum = bFound ? readInt(kKeyNum, defaults.m_nKeyNum) : 0;

    for (const HeaderSetting &header : kHeaderSettings)
        settings.*header.pstrValue = files.Resolve(kSectionString, header.pszKey, defaults.*header.pstrValue).strText;
    for (const HeaderSetting &header : kHeaderSettings)
        controls.SetDlgItemText(header.nLabel, settings.*header.pstrValue);
    // The file the parameters go back to, as it is now: a close that changed none of them then
    // only looks at the file's stamp.
    g_iniFile.SetPath(SaveTargetFor(location));
    g_iniFile.Load();
    return bFound;
}

void SaveSettings(const IDlgControls &controls, bool bConfigFound)
{
    if (!bConfigFound)
        return;
    for (const ComboSetting &combo : kComboSettings)
        g_iniFile.SetInt(kSectionInt, combo.pszKey, controls.GetCurSel(combo.nCombo) & 0xFF);
    const auto nDelay = static_cast<std::uint16_t>(AtoiRule(controls.GetDlgItemText(MainId::kDebounce)));
    g_iniFile.SetInt(kSectionInt, kKeyDelay, nDelay);
    std::string path;
    const FileError error = SaveTo(g_iniFile, g_settingsLocation, path);
    if (error.Failed())
        ShowMessage(DescribeFileError(error, FileAction::Save, path));
    else if (const auto warning = DescribeFileWarning(error, path))
        ShowMessage(*warning);
}
