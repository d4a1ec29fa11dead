#include "settings/SettingsTool.h"

#include "settings/IniFile.h"
#include "settings/IniLine.h"
#include "settings/ModuleSettings.h"

#include <algorithm>
#include <charconv>
#include <ostream>

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
    "Without --file it works as Tavrin does: the key count and the header lines come from the\n"
    "confight.ini beside this program; the five parameters the window saves come from your own\n"
    "~/.config/tavrin/confight.ini once it exists, and go there where the file beside this\n"
    "program is not yours to write. It says which file it read or wrote.\n"
    "\n"
    "  show   prints every value in clear (with --file: every section and value of FILE)\n"
    "  get    prints one value in clear\n"
    "  set    stores VALUE scrambled; every other line of the file stays as it is.\n"
    "         Values of section \"int\" are decimal integers.\n"
    "\n"
    "Values are UTF-8 text. The header lines of the main window are \"man\", \"phone\" and\n"
    "\"www\" in section \"String\", for example:\n"
    "  tavrin-settings set String man \"示例科技有限公司\"\n"
    "\n"
    "Exit status: 0 done, 1 the file or the value could not be read or written, 2 wrong usage.\n";

struct Command {
    std::string strPath; // empty: the files Tavrin uses
    std::vector<std::string> words; // the command and its arguments
};

bool ParseCommand(const std::vector<std::string> &args, Command &command)
{
    std::size_t first = 0;
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

void Say(std::ostream &stream, const UserText &text)
{
    stream << "tavrin-settings: " << ComposeText(text) << "\n";
}

bool LoadFile(CIniFile &ini, const std::string &strPath, std::ostream &err)
{
    ini.SetPath(strPath);
    if (ini.Load())
        return true;
    if (ini.LastError().IsMissing())
        err << "tavrin-settings: no settings file at " << strPath << "\n";
    else
        Say(err, DescribeFileError(ini.LastError(), FileAction::Read, strPath));
    return false;
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

// Where a value came from, as show prints it after the value.
std::string SourceOf(const SettingValue &value)
{
    return value.strPath.empty() ? ComposeText(QT_TRANSLATE_NOOP("Tavrin", "默认值"), {}) : value.strPath;
}

void ShowResolved(const CSettingsFiles &files, std::ostream &out)
{
    std::string section;
    for (const SettingKey &setting : TavrinSettings()) {
        if (setting.section != section)
            out << "[" << (section = setting.section) << "]\n";
        const SettingValue value = files.Resolve(setting.section, setting.key, setting.defaultText);
        out << setting.key << "=" << value.strText << "    (" << SourceOf(value) << ")\n";
    }
}

const SettingKey *FindTavrinSetting(const std::vector<SettingKey> &settings, const std::string &section,
                                    const std::string &key)
{
    const auto it = std::find_if(settings.begin(), settings.end(),
                                 [&](const SettingKey &s) { return s.section == section && s.key == key; });
    return it == settings.end() ? nullptr : &*it;
}

int Get(const SettingValue *value, const std::string &section, const std::string &key, std::ostream &out,
        std::ostream &err)
{
    if (!value) {
        err << "tavrin-settings: no value \"" << key << "\" in section \"" << section << "\"\n";
        return kFailed;
    }
    out << value->strText << "\n";
    Say(err, {QT_TRANSLATE_NOOP("Tavrin", "读自 %1"), {SourceOf(*value)}});
    return kDone;
}

// Section "int" holds the numbers the tool reads with atoi: anything else would read as a
// different number without a word.
bool IsDecimalInteger(const std::string &text)
{
    int value = 0;
    const char *end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return !text.empty() && ec == std::errc() && ptr == end;
}

const char *WhyNotSettable(const std::string &section, const std::string &key, const std::string &text)
{
    if (section == "int" && !IsDecimalInteger(text))
        return "values of section \"int\" are decimal integers";
    return WhyNotStorable(section, key, text);
}

int Set(CIniFile &ini, const SettingsLocation *location, const std::vector<std::string> &words, std::ostream &err)
{
    const std::string &section = words[1];
    const std::string &key = words[2];
    const std::string &text = words[3];
    if (const char *reason = WhyNotSettable(section, key, text)) {
        err << "tavrin-settings: cannot store this value: " << reason << "\n";
        return kFailed;
    }
    ini.SetString(section, key, text);
    std::string path = ini.GetPath();
    FileError error;
    if (location && IsWindowParameter(section, key))
        error = SaveTo(ini, *location, path);
    else
        error = ini.Save() ? FileError{} : ini.LastError();
    if (error.Failed()) {
        Say(err, DescribeFileError(error, FileAction::Save, path));
        return kFailed;
    }
    Say(err, {QT_TRANSLATE_NOOP("Tavrin", "已写入 %1"), {path}});
    return kDone;
}

// --file FILE: that one file, as it is.
int RunOnFile(const Command &command, std::ostream &out, std::ostream &err)
{
    CIniFile ini;
    if (!LoadFile(ini, command.strPath, err))
        return kFailed;
    const std::vector<std::string> &words = command.words;
    if (words[0] == "show") {
        Show(ini, out);
        return kDone;
    }
    if (words[0] == "get") {
        const std::string stored = ini.LookUp(words[1], words[2]);
        const SettingValue value{CIniFile::Decode(stored), command.strPath};
        return Get(stored == kAbsentValue ? nullptr : &value, words[1], words[2], out, err);
    }
    return Set(ini, nullptr, words, err);
}

// The files Tavrin uses, each value resolved as Tavrin resolves it. Values Tavrin does not know
// live in the shipped file.
int RunAsTavrin(const Command &command, std::ostream &out, std::ostream &err)
{
    const SettingsLocation location = FindSettingsLocation();
    const std::vector<std::string> &words = command.words;
    CIniFile shipped;
    if (!LoadFile(shipped, location.strShippedPath, err))
        return kFailed;
    const CSettingsFiles files(location, false);
    if (words[0] == "show") {
        ShowResolved(files, out);
        return kDone;
    }
    const std::vector<SettingKey> settings = TavrinSettings();
    const SettingKey *known = FindTavrinSetting(settings, words[1], words[2]);
    if (words[0] == "get") {
        const SettingValue value = files.Resolve(words[1], words[2], known ? known->defaultText : kAbsentValue);
        return Get(known || !value.strPath.empty() ? &value : nullptr, words[1], words[2], out, err);
    }
    return Set(shipped, &location, words, err);
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
    return command.strPath.empty() ? RunAsTavrin(command, out, err) : RunOnFile(command, out, err);
}
