#include "tools/SettingsTool.h"

#include "common/UserText.h"
#include "common/Version.h"
#include "settings/IniFile.h"
#include "settings/IniLine.h"
#include "settings/ModuleSettings.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <charconv>
#include <ostream>
#include <utility>
#include <vector>

namespace {
constexpr int kDone = 0;
constexpr int kFailed = 1;
constexpr int kUsage = 2;

constexpr const char *kHelp = QT_TRANSLATE_NOOP(
    "Tavrin",
    "用法：tavrin-settings [--file FILE] show\n"
    "      tavrin-settings [--file FILE] get SECTION KEY\n"
    "      tavrin-settings [--file FILE] set SECTION KEY VALUE\n"
    "      tavrin-settings --help | --version\n"
    "\n"
    "显示和修改 Tavrin 设置文件中的值，文件里的值是加扰保存的。\n"
    "不带 --file 时，与 Tavrin 的读取方式相同：按键数和三行标题来自本程序旁边的 confight.ini，\n"
    "没有时来自安装的 /etc/tavrin/confight.ini；窗口保存的五个参数在您自己的\n"
    "~/.config/tavrin/confight.ini 存在后从那里读取，设置文件是安装的文件或您无权写入时也写到那里。\n"
    "每次都说明读取或写入了哪个文件。\n"
    "\n"
    "  show   以明文列出每个值（带 --file 时：文件的所有节和值）\n"
    "  get    以明文显示一个值\n"
    "  set    加扰保存 VALUE；文件的其他各行保持不变。\n"
    "         节 \"int\" 中的值是十进制整数。\n"
    "\n"
    "  --file FILE    只处理这一个文件，原样读写（可以写在命令前后任何位置）\n"
    "  --lang en|zh   输出的语言（也可以用环境变量 TAVRIN_LANG 选择）\n"
    "  --version      显示版本\n"
    "  --             其后的词都不是选项，例如以 - 开头的值\n"
    "\n"
    "值是 UTF-8 文本。主窗口的三行标题是节 \"String\" 中的 \"man\"、\"phone\" 和 \"www\"，例如：\n"
    "  tavrin-settings set String man \"示例科技有限公司\"\n"
    "\n"
    "退出状态：0 完成，1 无法读写文件或值，2 用法错误。\n");

constexpr const char *kUsageError = QT_TRANSLATE_NOOP("Tavrin", "用法错误，请参阅 tavrin-settings --help");
constexpr const char *kUsageErrorAt = QT_TRANSLATE_NOOP("Tavrin", "用法错误：%1（请参阅 tavrin-settings --help）");
constexpr const char *kOutputFailed = QT_TRANSLATE_NOOP("Tavrin", "输出没有全部写出");

using Command = SettingsToolArguments;

// The command's words, or the word where they go wrong.
std::optional<UserText> CheckWords(const std::vector<std::string> &words)
{
    if (words.empty())
        return UserText{kUsageError, {}};
    const std::string &verb = words[0];
    const std::size_t wanted = verb == "show" ? 1 : verb == "get" ? 3 : verb == "set" ? 4 : 0;
    if (wanted == words.size())
        return std::nullopt;
    return UserText{kUsageErrorAt, {QuotedInput(wanted == 0 || words.size() < wanted ? verb : words[wanted])}};
}

void Say(std::ostream &stream, const UserText &text)
{
    stream << "tavrin-settings: " << TranslateText(text) << "\n";
}

bool LoadFile(CIniFile &ini, const std::string &strPath, std::ostream &err)
{
    ini.SetPath(strPath);
    if (ini.Load())
        return true;
    if (ini.LastError().IsMissing())
        Say(err, {QT_TRANSLATE_NOOP("Tavrin", "没有设置文件：%1"), {QuotedInput(strPath)}});
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
    return value.strPath.empty() ? TranslateText({QT_TRANSLATE_NOOP("Tavrin", "默认值"), {}}) : value.strPath;
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
        Say(err, {QT_TRANSLATE_NOOP("Tavrin", "节 \"%1\" 中没有值 \"%2\""), {QuotedInput(section), QuotedInput(key)}});
        return kFailed;
    }
    out << value->strText << "\n";
    Say(err, {QT_TRANSLATE_NOOP("Tavrin", "读自 %1"), {QuotedInput(SourceOf(*value))}});
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
        return QT_TRANSLATE_NOOP("Tavrin", "节 \"int\" 中的值是十进制整数");
    return WhyNotStorable(section, key, text);
}

int Set(CIniFile &ini, const SettingsLocation *location, const std::vector<std::string> &words, std::ostream &err)
{
    const std::string &section = words[1];
    const std::string &key = words[2];
    const std::string &text = words[3];
    if (const char *reason = WhyNotSettable(section, key, text)) {
        Say(err, {QT_TRANSLATE_NOOP("Tavrin", "无法保存这个值：%1"), {TranslateText({reason, {}})}});
        return kFailed;
    }
    ini.SetString(section, key, text);
    std::string path = ini.GetPath();
    FileError error;
    if (location && IsWindowParameter(section, key)) {
        error = SaveTo(ini, *location, path);
    } else {
        ini.Save();
        error = ini.LastError();
    }
    if (error.Failed()) {
        Say(err, DescribeFileError(error, FileAction::Save, path));
        return kFailed;
    }
    Say(err, {QT_TRANSLATE_NOOP("Tavrin", "已写入 %1"), {QuotedInput(path)}});
    if (const auto warning = DescribeFileWarning(error, path))
        Say(err, *warning);
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

SettingsToolArguments ReadSettingsToolArguments(const std::vector<std::string> &args)
{
    SettingsToolArguments arguments;
    // "--" ends the options: the words after it are the command's, even one that starts with "-".
    const auto end = std::find(args.begin(), args.end(), "--");
    std::vector<std::string> options(args.begin(), end);
    CLI::App app;
    app.set_help_flag();
    app.allow_extras();
    app.add_option("--file", arguments.strPath);
    std::string language;
    app.add_option("--lang", language);
    app.add_flag("-h,--help", arguments.help)->disable_flag_override();
    app.add_flag("--version", arguments.version)->disable_flag_override();
    app.add_option("words", arguments.words)->expected(0, -1);
    // CLI11 reads the words last to first.
    std::reverse(options.begin(), options.end());
    try {
        app.parse(options);
    } catch (const CLI::ParseError &error) {
        // A value missing or given twice: CLI11's message starts with the option's name.
        const std::string what = error.what();
        arguments.error = UserText{kUsageErrorAt, {QuotedInput(what.substr(0, what.find(':')))}};
        return arguments;
    }
    if (app.count("--lang"))
        arguments.language = language;
    arguments.words.insert(arguments.words.end(), end == args.end() ? end : end + 1, args.end());
    if (const std::vector<std::string> left = app.remaining(); !left.empty())
        arguments.error = UserText{kUsageErrorAt, {QuotedInput(left.front())}};
    else if (app.count("--file") && arguments.strPath.empty())
        arguments.error = UserText{kUsageErrorAt, {"--file"}};
    else if (!arguments.help && !arguments.version)
        arguments.error = CheckWords(arguments.words);
    return arguments;
}

int RunSettingsTool(const SettingsToolArguments &arguments, std::ostream &out, std::ostream &err)
{
    int status = kDone;
    if (arguments.error) {
        Say(err, *arguments.error);
        return kUsage;
    }
    if (arguments.help)
        out << TranslateText({kHelp, {}});
    else if (arguments.version)
        out << "tavrin-settings " << TavrinVersion() << "\n";
    else
        status = arguments.strPath.empty() ? RunAsTavrin(arguments, out, err) : RunOnFile(arguments, out, err);
    // What was shown must have reached its reader (a full disk, a closed pipe).
    if (out.flush())
        return status;
    Say(err, {kOutputFailed, {}});
    return kFailed;
}

int RunSettingsTool(const std::vector<std::string> &args, std::ostream &out, std::ostream &err)
{
    return RunSettingsTool(ReadSettingsToolArguments(args), out, err);
}
