#pragma once

#include "common/DlgControls.h"
#include "common/UserText.h"
#include "settings/IniFile.h"
#include "settings/ProgramFolder.h"

#include <string>
#include <utility>

inline constexpr const char *kSettingsFileName = "confight.ini";
inline constexpr const char *kConfigMissing = QT_TRANSLATE_NOOP("Tavrin", "配置文件丢失,请检查!");

// What the settings file gives one run of the tool. The member initialisers are the defaults of
// a key the file lacks; the section "int" defaults are also what factory reset 1 writes.
struct ModuleSettings {
    int m_nUartBaud = 0; // item index of combo 1002: "禁用", "4800", "9600", "115200"
    int m_nWorkMode = 2; // item index of combo 1003: "单键盘" … "键鼠游戏柄组合"
    int m_nPinTring = 0; // item index of combo 1006: "低电平", "高电平"
    int m_nKeyHold = 1;  // item index of combo 1008: "是", "否"
    int m_nKeyDelay = 40; // debounce time in ms, shown in edit 1096 with "%d"
    int m_nKeyNum = 8;    // number of module keys; 0 when the file was missing at load
    std::string m_strMaker = "  ";   // header label 1100
    std::string m_strContact = "  "; // header label 1101
    std::string m_strWeb = "  ";     // header label 1102
};

// Process-wide, defined in this order so the folder exists before the document.
extern CProgramFolder g_programFolder;
extern CIniFile g_iniFile;
// Filled by LoadSettings; the main window applies the five parameters to its controls once its
// pages are set up, and the module query lists m_nKeyNum keys.
extern ModuleSettings g_moduleSettings;

// The one place that decides where the settings file lives: confight.ini in the executable's
// folder, as a full path, whatever the working folder is.
std::string SettingsFilePath();

// Where the settings are read and saved. A portable install (the executable's folder writable by
// the user) keeps everything in the shipped file beside the executable. A system-wide install
// also has the user's own file: its values win over the shipped ones at load, and the saves go
// to it, created from the shipped file on the first save, so the shipped file is never written.
struct SettingsLocation {
    SettingsLocation(std::string shipped, std::string user = {})
        : strShippedPath(std::move(shipped)), strUserPath(std::move(user))
    {
    }
    std::string strShippedPath;
    std::string strUserPath; // empty: portable
};

// The location for a program in programFolder: portable when the folder is writable, or when
// there is no configuration folder (configHome empty); otherwise configHome/tavrin/confight.ini.
SettingsLocation SettingsLocationFor(const std::string &programFolder, bool bFolderWritable,
                                     const std::string &configHome);
// The same for the running executable: its folder tried for writing, and the platform's
// configuration folder ($XDG_CONFIG_HOME, else ~/.config; %APPDATA% on Windows).
SettingsLocation FindSettingsLocation();

// Binds g_iniFile to the settings file and fills g_moduleSettings from it. A missing file (no
// shipped and no user file) shows kConfigMissing, gives the key count 0 and returns false; the
// main window keeps the result as m_bConfigFound. Ends by writing the three header texts into
// labels 1100, 1101 and 1102. Tests and embedders pass their own location.
bool LoadSettings(IDlgControls &controls, const SettingsLocation &location = FindSettingsLocation());

// The main window's cancel path. When bConfigFound, writes to section "int" of the file that
// LoadSettings bound (the user's file, made first from the shipped one, when there is one), in
// this order: "UartBaud", "WorkMode", "PinTring", "KeyHold" from the
// selections of combos 1002, 1003, 1006, 1008 (low 8 bits, so no selection stores 255), then
// "KeyDelay" from the leading number of edit 1096 (low 16 bits, unsigned). Otherwise writes
// nothing. "KeyNum" and section "String" are never written. A failed save is not reported.
void SaveSettings(const IDlgControls &controls, bool bConfigFound);
