#include "settings/SettingsTool.h"

#include "settings/IniFile.h"
#include "settings/IniLine.h"
#include "settings/ModuleSettings.h"
#include "settings/Utf8Path.h"

#include <filesystem>
#include <ostream>
#include <system_error>

namespace {
constexpr int kDone = 0;
constexpr int kFailed = 1;
constexpr int kUsage = 2;

constexpr const char *kHelp =
    "Usage: tavrin-settings [--file FILE] show\n"
    "       tavrin-settings [--file FILE] get SECTION KEY\n"
    "       tavrin-settings [--file FILE] set SECTION KEY VALUE\n"
    "       tavrin-settings --help\n"
    "\n"
    "Shows and changes the values of a Tavrin settings file, which keeps them scrambled.\n"
    "Without --file it works on the confight.ini beside this program, the file Tavrin reads.\n"
    "\n"
    "  show   prints every section and value in clear\n"
    "  get    prints one value in clear\n"
    "  set    stores VALUE scrambled; every other line of the file stays as it is\n"
    "\n"
    "Values are UTF-8 text. The header lines of the main window are \"man\", \"phone\" and\n"
    "\"www\" in section \"String\", for example:\n"
    "  tavrin-settings set String man \"示例科技有限公司\"\n"
    "\n"
    "Exit status: 0 done, 1 the file or the value could not be read or written, 2 wrong usage.\n";

struct Command {
    std::string strPath;
    std::vector<std::string> words; // the command and its arguments
};

bool ParseCommand(const std::vector<std::string> &args, Command &command)
{
    std::size_t first = 0;
    command.strPath = SettingsFilePath();
    if (!args.empty() && args[0] == "--file") {
        if (args.size() < 2)
            return false;
        command.strPath = args[1];
        first = 2;
    }
    command.words.assign(args.begin() + static_cast<std::ptrdiff_t>(first), args.end());
    if (command.words.empty())
        return false;
    const std::string &verb = command.words[0];
    const std::size_t count = command.words.size();
    return (verb == "show" && count == 1) || (verb == "get" && count == 3) || (verb == "set" && count == 4);
}

bool LoadFile(CIniFile &ini, const std::string &strPath, std::ostream &err)
{
    ini.SetPath(strPath);
    std::error_code ec;
    if (!std::filesystem::exists(PathFromUtf8(strPath), ec)) {
        err << "tavrin-settings: no settings file at " << strPath << "\n";
        return false;
    }
    if (!ini.Load()) {
        err << "tavrin-settings: cannot read the settings file " << strPath << "\n";
        return false;
    }
    return true;
}

// Lines before the first header belong to no section, and lines without '=' hold no value.
void Show(const CIniFile &ini, std::ostream &out)
{
    bool bInSection = false;
    for (const std::string &line : ini.Lines()) {
        if (const auto section = SectionNameOf(line)) {
            out << "[" << *section << "]\n";
            bInSection = true;
        } else if (bInSection && !KeyNameOf(line).empty()) {
            out << KeyNameOf(line) << "=" << CIniFile::Decode(ValueOf(line)) << "\n";
        }
    }
}

int Get(CIniFile &ini, const std::string &section, const std::string &key, std::ostream &out, std::ostream &err)
{
    const std::string stored = ini.GetValue(section, key);
    if (stored == kAbsentValue) {
        err << "tavrin-settings: no value \"" << key << "\" in section \"" << section << "\"\n";
        return kFailed;
    }
    out << CIniFile::Decode(stored) << "\n";
    return kDone;
}

int Set(CIniFile &ini, const std::string &section, const std::string &key, const std::string &text,
        std::ostream &err)
{
    if (const char *reason = WhyNotStorable(section, key, text)) {
        err << "tavrin-settings: cannot store this value: " << reason << "\n";
        return kFailed;
    }
    if (!ini.WriteString(section, key, text)) {
        err << "tavrin-settings: cannot write the settings file " << ini.GetPath() << "; it is unchanged\n";
        return kFailed;
    }
    return kDone;
}
} // namespace

int RunSettingsTool(const std::vector<std::string> &args, std::ostream &out, std::ostream &err)
{
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        out << kHelp;
        return kDone;
    }
    Command command;
    if (!ParseCommand(args, command)) {
        err << "tavrin-settings: wrong usage; see tavrin-settings --help\n";
        return kUsage;
    }
    CIniFile ini;
    if (!LoadFile(ini, command.strPath, err))
        return kFailed;
    const std::vector<std::string> &words = command.words;
    if (words[0] == "show") {
        Show(ini, out);
        return kDone;
    }
    if (words[0] == "get")
        return Get(ini, words[1], words[2], out, err);
    return Set(ini, words[1], words[2], words[3], err);
}
