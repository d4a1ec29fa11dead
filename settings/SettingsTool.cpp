#include "settings/SettingsTool.h"

#include "common/UserText.h"
#include "settings/IniFile.h"
#include "settings/IniLine.h"
#include "settings/ModuleSettings.h"
#include "settings/Utf8Path.h"

#include <filesystem>
#include <ostream>
#include <system_error>
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
    "      tavrin-settings --help\n"
    "\n"
    "显示和修改 Tavrin 设置文件中的值，文件里的值是加扰保存的。\n"
    "不带 --file 时，处理本程序旁边的 confight.ini，也就是 Tavrin 读取的文件。\n"
    "\n"
    "  show   以明文列出所有节和值\n"
    "  get    以明文显示一个值\n"
    "  set    加扰保存 VALUE；文件的其他各行保持不变\n"
    "\n"
    "  --lang en|zh   输出的语言（也可以用环境变量 TAVRIN_LANG 选择）\n"
    "\n"
    "值是 UTF-8 文本。主窗口的三行标题是节 \"String\" 中的 \"man\"、\"phone\" 和 \"www\"，例如：\n"
    "  tavrin-settings set String man \"示例科技有限公司\"\n"
    "\n"
    "退出状态：0 完成，1 无法读写文件或值，2 用法错误。\n");

// Every message names the program first, as command-line tools do.
void Report(std::ostream &err, const char *source, std::vector<std::string> args = {})
{
    err << "tavrin-settings: " << TranslateText({source, std::move(args)}) << "\n";
}

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
        Report(err, QT_TRANSLATE_NOOP("Tavrin", "没有设置文件：%1"), {strPath});
        return false;
    }
    if (!ini.Load()) {
        Report(err, QT_TRANSLATE_NOOP("Tavrin", "无法读取设置文件 %1"), {strPath});
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
        Report(err, QT_TRANSLATE_NOOP("Tavrin", "节 \"%1\" 中没有值 \"%2\""), {section, key});
        return kFailed;
    }
    out << CIniFile::Decode(stored) << "\n";
    return kDone;
}

int Set(CIniFile &ini, const std::string &section, const std::string &key, const std::string &text,
        std::ostream &err)
{
    if (const char *reason = WhyNotStorable(section, key, text)) {
        Report(err, QT_TRANSLATE_NOOP("Tavrin", "无法保存这个值：%1"), {TranslateText({reason, {}})});
        return kFailed;
    }
    if (!ini.WriteString(section, key, text)) {
        Report(err, QT_TRANSLATE_NOOP("Tavrin", "无法写入设置文件 %1，文件保持不变"), {ini.GetPath()});
        return kFailed;
    }
    return kDone;
}
} // namespace

int RunSettingsTool(const std::vector<std::string> &args, std::ostream &out, std::ostream &err)
{
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        out << TranslateText({kHelp, {}});
        return kDone;
    }
    Command command;
    if (!ParseCommand(args, command)) {
        Report(err, QT_TRANSLATE_NOOP("Tavrin", "用法错误，请参阅 tavrin-settings --help"));
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
