#include "settings/ModuleSettings.h"

#include "common/ControlIds.h"
#include "common/MessageSink.h"
#include "common/TextNumber.h"
#include "settings/Utf8Path.h"

#include <cstdint>
#include <filesystem>
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
} // namespace

std::string SettingsFilePath()
{
    return Utf8FromPath(PathFromUtf8(g_programFolder.GetFolder()) / kSettingsFileName);
}

bool LoadSettings(IDlgControls &controls, const std::string &strPath)
{
    const ModuleSettings defaults;
    ModuleSettings &settings = g_moduleSettings;
    g_iniFile.SetPath(strPath);
    std::error_code ec;
    const bool bFound = std::filesystem::exists(PathFromUtf8(strPath), ec);
    if (!bFound)
        ShowMessage(kConfigMissing);

    for (const ComboSetting &combo : kComboSettings)
        settings.*combo.pnValue = g_iniFile.ReadInt(kSectionInt, combo.pszKey, defaults.*combo.pnValue);
    settings.m_nKeyDelay = g_iniFile.ReadInt(kSectionInt, kKeyDelay, defaults.m_nKeyDelay);
    settings.m_nKeyNum = bFound ? g_iniFile.ReadInt(kSectionInt, kKeyNum, defaults.m_nKeyNum) : 0;

    for (const HeaderSetting &header : kHeaderSettings)
        settings.*header.pstrValue = g_iniFile.ReadString(kSectionString, header.pszKey, defaults.*header.pstrValue);
    for (const HeaderSetting &header : kHeaderSettings)
        controls.SetDlgItemText(header.nLabel, settings.*header.pstrValue);
    return bFound;
}

void SaveSettings(const IDlgControls &controls, bool bConfigFound)
{
    if (!bConfigFound)
        return;
    for (const ComboSetting &combo : kComboSettings)
        g_iniFile.WriteInt(kSectionInt, combo.pszKey, controls.GetCurSel(combo.nCombo) & 0xFF);
    const auto nDelay = static_cast<std::uint16_t>(AtoiRule(controls.GetDlgItemText(MainId::kDebounce)));
    g_iniFile.WriteInt(kSectionInt, kKeyDelay, nDelay);
}
