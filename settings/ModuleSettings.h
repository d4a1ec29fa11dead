#pragma once

#include "common/DlgControls.h"
#include "common/UserText.h"
#include "settings/IniFile.h"
#include "settings/ProgramFolder.h"

#include <string>
#include <utility>
#include <vector>

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

// Where the settings are read and saved. The shipped file beside the executable is the
// deployer's: it alone gives the key count and the header lines, and it holds the window's five
// parameters too where the user may write it (a portable install). Otherwise (a system-wide
// install) the five parameters go to the user's own file, which then holds only them and gives
// them first from then on.
struct SettingsLocation {
    SettingsLocation(std::string shipped, std::string user = {}, bool installed = false)
        : strShippedPath(std::move(shipped)), strUserPath(std::move(user)), bInstalled(installed)
    {
    }
    std::string strShippedPath;
    std::string strUserPath; // empty: there is no user's file
    // The shipped file is the installed one, the package's configuration file: no program saves
    // it, so that an upgrade need not ask about it; the parameters go to the user's file, root's
    // as anyone's.
    bool bInstalled = false;
};

// The location for a program in programFolder: the shipped file is confight.ini there where it
// exists (a build, a portable copy), else installedFile where given, an absolute path compiled in
// (so a program that cannot tell its folder still finds it); the user's file is
// configHome/tavrin/confight.ini, none when configHome is empty.
SettingsLocation SettingsLocationFor(const std::string &programFolder, const std::string &configHome,
                                     const std::string &installedFile = {});
// The same for the running executable and the platform's configuration folder ($XDG_CONFIG_HOME,
// else ~/.config; the roaming application data folder on Windows).
SettingsLocation FindSettingsLocation();

// Every value the tool reads, in the shipped file's order, with the default of a missing one.
struct SettingKey {
    std::string section;
    std::string key;
    std::string defaultText;
};
std::vector<SettingKey> TavrinSettings();

// Whether the window saves a value (section "int", the five parameters); the user's file holds
// only these.
bool IsWindowParameter(const std::string &section, const std::string &key);

// One value as the tool resolves it, and the file it came from (empty: the default).
struct SettingValue {
    std::string strText;
    std::string strPath;
};

// The shipped file and the user's file, each loaded once, and the values resolved from them.
class CSettingsFiles {
public:
    // Messages for a file that exists but cannot be read go through ShowMessage when bReport.
    CSettingsFiles(const SettingsLocation &location, bool bReport);
    // The shipped file was read: without it there is no key count and nothing is saved.
    bool ShippedFound() const { return m_bShipped; }
    // A window parameter from the user's file, else the shipped file; any other value from the
    // shipped file only; else the default.
    SettingValue Resolve(const std::string &section, const std::string &key, const std::string &defaultText) const;

private:
    SettingsLocation m_location;
    CIniFile m_shipped;
    CIniFile m_user;
    bool m_bShipped = false;
    bool m_bUser = false;
};

// The file the window's parameters are saved to: the user's file once it exists, else the
// shipped file where the user may write it and it is not the installed one, else the user's file
// (the shipped one when there is no user's file and it is not the installed one; none when it is).
std::string SaveTargetFor(const SettingsLocation &location);

// Sets the values in doc and saves it to the location's target; when the user may not write the
// shipped file after all, to the user's file instead. Returns the error and sets strPath to the
// file last tried.
FileError SaveTo(CIniFile &doc, const SettingsLocation &location, std::string &strPath);

// Fills g_moduleSettings from the settings files. A missing shipped file shows kConfigMissing, a
// file that cannot be read says why; without the shipped file the key count is 0 and the result
// false, which the main window keeps as m_bConfigFound. Ends by writing the three header texts into
// labels 1100, 1101 and 1102. Tests and embedders pass their own location.
bool LoadSettings(IDlgControls &controls, const SettingsLocation &location = FindSettingsLocation());

// The main window's cancel path. When bConfigFound, sets in section "int" of g_iniFile, in this
// order: "UartBaud", "WorkMode", "PinTring", "KeyHold" from the selections of combos 1002,
// 1003, 1006, 1008 (low 8 bits, so no selection stores 255), then "KeyDelay" from the leading
// number of edit 1096 (low 16 bits, unsigned), and saves them in one go (see SaveTo). A failed
// save is shown once, with the reason and the file. Otherwise writes nothing. "KeyNum" and
// section "String" are never written.
void SaveSettings(const IDlgControls &controls, bool bConfigFound);
