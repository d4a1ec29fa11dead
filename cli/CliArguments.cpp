#include "cli/CliArguments.h"

#include "common/TextNumber.h"
#include "device/ModuleCommands.h"
#include "keymap/KeyMap.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <array>

namespace {
constexpr const char *kOverview = QT_TRANSLATE_NOOP("Tavrin",
    "用法：tavrin-cli 命令 [参数]\n"
    "  list [--json]                     列出已连接的模块接口，以及查找模块时会打开哪一个\n"
    "  info [--json]                     查找并查询模块：是否有效、工作模式、触发电平、按键数\n"
    "  write KEY-n 键值 [KEY-n 键值 ...]   写入按键，键值与日志中 \"KEY-n = \" 之后的文字相同\n"
    "  apply 文件 [--verify] [--each [--count N] [--log 日志文件]]\n"
    "                                    写入键值文件中的按键和参数；--verify：写入后读回校验\n"
    "  dump [文件] [--json]               读出模块中可读的配置（参数和 KEY-1 到 KEY-12），保存为键值文件\n"
    "  verify 文件 [--json]               读出模块的配置，与键值文件比较，列出不同之处\n"
    "  params [--long-press yes|no] [--debounce 毫秒]\n"
    "                                    写入长按连发和按键消抖参数\n"
    "  reset 1|2                         恢复出厂设置 1 或 2\n"
    "  doctor [--json]                   检查模块为什么打不开（权限、udev 规则、会话），并给出解决办法\n"
    "除 list 和 doctor 外的命令都可加 --wait[=秒]：等待模块插入，而不是立即失败。\n"
    "插着几个模块时，用 --device 设备路径 或 --serial 序列号 选择其中一个（list 列出两者）。\n"
    "--json：结果是一个 JSON 对象，键和值不翻译，失败时给出固定的错误代码（error_code）。\n"
    "文件为 - 时，apply 和 verify 读标准输入，dump 写标准输出；-- 之后的词都不是选项。\n"
    "所有命令都可加 --lang en|zh 选择输出的语言（也可以用环境变量 TAVRIN_LANG 选择）。\n"
    "每个命令的说明：tavrin-cli 命令 --help；版本：tavrin-cli --version\n"
    "退出状态：0 成功，2 用法错误，3 没有模块、没有权限或模块没有应答，4 模块非法，5 写入失败，\n"
    "6 写入都已完成，但读回的配置与要写入的不同。");

constexpr const char *kUnknownOption = QT_TRANSLATE_NOOP("Tavrin", "未知的选项：%1（见 tavrin-cli --help）");
constexpr const char *kUnknownCommand = QT_TRANSLATE_NOOP("Tavrin", "未知的命令：%1（见 tavrin-cli --help）");
constexpr const char *kBadArguments = QT_TRANSLATE_NOOP("Tavrin", "%1 的参数不对：%2（见 tavrin-cli %1 --help）");
constexpr const char *kBothSelectors = QT_TRANSLATE_NOOP("Tavrin", "--device 和 --serial 只能用一个");

// What a command takes besides --help and --lang.
enum Takes : unsigned {
    kJson = 1,
    kWait = 2,
    kChoice = 4,     // --device, --serial
    kProduction = 8, // apply: --verify, --each, --count, --log
    kParameters = 16 // params: --long-press, --debounce
};

struct CommandForm {
    const char *name;
    unsigned takes;
    std::size_t minOperands;
    std::size_t maxOperands;
    const char *help;
};

constexpr std::size_t kAny = 1024;

const std::array<CommandForm, 9> kCommands = {{
    {"list", kJson | kChoice, 0, 0,
     QT_TRANSLATE_NOOP("Tavrin",
                       "用法：tavrin-cli list [--json] [--device 设备路径 | --serial 序列号]\n"
                       "列出已连接的模块接口（厂商:产品、接口号、设备路径），标出查找模块时会打开的接口；\n"
                       "无法打开的接口给出原因。")},
    {"info", kJson | kWait | kChoice, 0, 0,
     QT_TRANSLATE_NOOP("Tavrin",
                       "用法：tavrin-cli info [--json] [--wait[=秒]] [--device 设备路径 | --serial 序列号]\n"
                       "查找并查询模块，显示接口、工作模式、触发电平和按键数。模块非法时退出状态为 4。")},
    {"write", kWait | kChoice, 2, kAny,
     QT_TRANSLATE_NOOP("Tavrin",
                       "用法：tavrin-cli write KEY-n 键值 [KEY-n 键值 ...] [--wait[=秒]] [--device 设备路径 | --serial 序列号]\n"
                       "键值与日志中 \"KEY-n = \" 之后的文字相同，例如：tavrin-cli write KEY-3 'CTRL+ALT+DEL'\n"
                       "文字不能确定页面时，在按键后注明：'KEY-4 (mouse)' ''；"
                       "或直接给出记录字节：'KEY-5 (raw 44 41 00)' MLKey。\n"
                       "所有按键先全部检查，有一个不对就什么都不写。")},
    {"apply", kWait | kChoice | kProduction, 1, 1,
     QT_TRANSLATE_NOOP("Tavrin",
                       "用法：tavrin-cli apply 文件 [--verify] [--wait[=秒]] [--device 设备路径 | --serial 序列号]\n"
                       "                       [--each [--count N] [--log 日志文件]]\n"
                       "写入键值文件中的按键和参数；文件和要写入的参数先整体检查，有一处不对就什么都不写。\n"
                       "文件没有给出的参数保持模块中的值。文件为 - 时读标准输入。\n"
                       "--verify：写入后重新查询模块，比较能读出的按键（KEY-1 到 KEY-12）和参数；\n"
                       "有不同时列出并以状态 6 退出。\n"
                       "--each：生产线用法，等待模块插入、写入、打印一行结果和计数、等待拔出，然后是下一个；\n"
                       "写入失败的模块会报告，循环继续；插着却打不开的模块报告一次，算作失败；\n"
                       "--count N 写完 N 个模块后结束；--log 日志文件：每个模块追加一行 JSON（时间、用时、设备路径、\n"
                       "序列号、结果、错误代码和原因、写入的内容、校验结果、工具版本、键值文件及其 SHA-256），\n"
                       "写完一个模块就存盘；日志文件在第一个模块之前就检查能否写入。\n"
                       "第一次 Ctrl-C 在当前模块完成后结束并打印汇总，第二次记下当前模块被中断，然后立即结束。")},
    {"params", kWait | kChoice | kParameters, 0, 0,
     QT_TRANSLATE_NOOP("Tavrin",
                       "用法：tavrin-cli params [--long-press yes|no] [--debounce 毫秒] [--wait[=秒]]\n"
                       "                        [--device 设备路径 | --serial 序列号]\n"
                       "写入长按连发和按键消抖时间（10 到 255 毫秒），与窗口的 \"参数写入\" 相同；\n"
                       "没有给出的参数保持模块中的值。")},
    {"dump", kJson | kWait | kChoice, 0, 1,
     QT_TRANSLATE_NOOP("Tavrin",
                       "用法：tavrin-cli dump [文件] [--json] [--wait[=秒]] [--device 设备路径 | --serial 序列号]\n"
                       "查询模块，把它的参数和能读出的按键写成键值文件：没有文件或文件为 - 时输出到标准输出。\n"
                       "模块的查询应答只包含 KEY-1 到 KEY-12，其后的按键无法读出，文件中的注释会列出它们。\n"
                       "把这个文件 apply 到另一个模块，能读出的配置就完全相同。\n"
                       "--json：输出读到的内容（参数、每个按键的文字和记录字节）；给出文件时键值文件照常保存。")},
    {"verify", kJson | kWait | kChoice, 1, 1,
     QT_TRANSLATE_NOOP("Tavrin",
                       "用法：tavrin-cli verify 文件 [--json] [--wait[=秒]] [--device 设备路径 | --serial 序列号]\n"
                       "查询模块，与键值文件比较，列出每个不同的按键和参数（文件的值，模块的值）。文件为 - 时读标准输入。\n"
                       "一致时状态为 0，有不同时为 6；KEY-12 之后的按键无法读出，会列出但不算不同。")},
    {"reset", kWait | kChoice, 1, 1,
     QT_TRANSLATE_NOOP("Tavrin",
                       "用法：tavrin-cli reset 1|2 [--wait[=秒]] [--device 设备路径 | --serial 序列号]\n"
                       "先查询模块（模块非法时什么都不写），恢复出厂设置 1 或 2，报告参数和按键两步各自的结果，\n"
                       "然后重新查找和查询模块，与窗口的 \"恢复出厂1\"、\"恢复出厂2\" 相同。任何一步失败时状态为 5；\n"
                       "重新查询到的参数或按键（KEY-1 到 KEY-12 中恢复出厂写入的）与写入的不同时，列出它们，状态为 6。")},
    {"doctor", kJson, 0, 0,
     QT_TRANSLATE_NOOP("Tavrin",
                       "用法：tavrin-cli doctor [--json]\n"
                       "对每个插着的模块：列出它的接口（Linux 上是 hidraw 设备节点），本用户能否打开每一个；\n"
                       "Linux 上还检查本工具的 udev 规则是否已安装、装在哪里，本用户对节点有没有读写权限，本用户\n"
                       "有没有活动会话；Windows 上还检查模块的设备是否已启用、驱动是否正常、是否被其他程序占用；\n"
                       "然后给出确切的解决办法。查找模块能打开模块时状态为 0，否则为 3。\n"
                       "--json：以一个 JSON 对象输出同样的结果（键名固定，值不翻译）。")},
}};

// "--" ends the options: every word after it is an operand, even one that starts with "-".
constexpr const char *kEndOfOptions = "--";
// The value --wait holds when it is given without seconds.
constexpr const char *kWaitForever = "forever";

// The one reader of every number an option takes: decimal digits and nothing else, at most nine,
// so that "1x", " 1", "+1" or "0x10" is refused instead of being read as some other number.
std::optional<int> ReadOptionNumber(const std::string &text)
{
    if (text.empty() || text.size() > 9 || !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    return AtoiRule(text);
}

// The words CLI11 read as options or values of one command, kept as text so that each value is
// checked by this tool's own rules and refused with its option named.
struct OptionTexts {
    std::string wait, count, log, longPress, debounce, device, serial;
};

UserText BadArgument(const std::string &command, const std::string &word)
{
    return command.empty() ? UserText{kUnknownOption, {QuotedInput(word)}} : UserText{kBadArguments, {command, QuotedInput(word)}};
}

void AddCommandOptions(CLI::App &sub, unsigned takes, CliArguments &arguments, OptionTexts &texts)
{
    // A flag takes no value: "--verify=no" is refused rather than read as either.
    const auto flag = [&](const char *name, bool &value) { sub.add_flag(name, value)->disable_flag_override(); };
    const auto option = [&](const char *name, std::string &value) { sub.add_option(name, value); };
    if (takes & kJson)
        flag("--json", arguments.json);
    if (takes & kWait) // a flag, so that it never takes the next word: "dump --wait 5" writes a file 5
        sub.add_flag(std::string("--wait{") + kWaitForever + "}", texts.wait);
    if (takes & kChoice) {
        option("--device", texts.device);
        option("--serial", texts.serial);
    }
    if (takes & kProduction) {
        flag("--verify", arguments.verify);
        flag("--each", arguments.each);
        option("--count", texts.count);
        option("--log", texts.log);
    }
    if (takes & kParameters) {
        option("--long-press", texts.longPress);
        option("--debounce", texts.debounce);
    }
    sub.add_option("operands", arguments.operands)->expected(0, -1);
}

// The checks of the values CLI11 read as text; the first refusal, named by its option.
std::optional<UserText> CheckValues(const CLI::App &sub, const CommandForm &form, const OptionTexts &texts,
                                    CliArguments &arguments)
{
    const auto given = [&](const char *name) { return sub.get_option_no_throw(name) && sub.count(name) > 0; };
    const auto bad = [&](const char *word) { return BadArgument(form.name, word); };
    if (given("--wait")) {
        const std::optional<int> seconds = ReadOptionNumber(texts.wait);
        if (texts.wait != kWaitForever && !seconds)
            return bad("--wait");
        arguments.waitMs = seconds ? static_cast<long long>(*seconds) * 1000 : -1;
    }
    if (given("--device") || given("--serial")) {
        if (given("--device") && given("--serial"))
            return UserText{kBothSelectors, {}};
        if (texts.device.empty() && texts.serial.empty())
            return bad(given("--device") ? "--device" : "--serial");
        arguments.choice = {texts.device, texts.serial};
    }
    if (given("--count")) {
        arguments.count = ReadOptionNumber(texts.count);
        if (!arguments.count || *arguments.count <= 0 || !arguments.each)
            return bad("--count");
    }
    if (given("--log")) {
        if (texts.log.empty() || !arguments.each)
            return bad("--log");
        arguments.log = texts.log;
    }
    if (given("--long-press") && !(arguments.longPress = LongPressItem(texts.longPress)))
        return bad("--long-press");
    if (given("--debounce")) {
        arguments.debounce = ReadOptionNumber(texts.debounce);
        if (!arguments.debounce)
            return bad("--debounce");
        if (const DebounceCheck check = CheckDebounce(*arguments.debounce); check != DebounceCheck::Ok)
            return UserText{DebounceRefusal(check), {}};
    }
    if ((form.takes & kParameters) && !given("--long-press") && !given("--debounce"))
        return bad("--long-press, --debounce");
    return std::nullopt;
}

std::optional<UserText> CheckOperands(const CommandForm &form, const CliArguments &arguments)
{
    const std::vector<std::string> &operands = arguments.operands;
    const bool pairs = form.maxOperands == kAny && operands.size() % 2 != 0;
    const bool resetNumber = form.name != std::string_view("reset") || operands.empty() || operands[0] == "1" || operands[0] == "2";
    if (operands.size() >= form.minOperands && operands.size() <= form.maxOperands && !pairs && resetNumber)
        return std::nullopt;
    if (!resetNumber)
        return BadArgument(form.name, operands[0]);
    return BadArgument(form.name, operands.size() > form.maxOperands ? operands[form.maxOperands]
                                  : operands.empty()                ? std::string()
                                                                    : operands.back());
}

// The first word CLI11 could not place: an unknown option, or a word where none is taken.
std::optional<UserText> CheckLeftOver(const CLI::App &app, const CLI::App *sub)
{
    const std::vector<std::string> left = app.remaining(true);
    if (left.empty())
        return std::nullopt;
    if (sub)
        return BadArgument(sub->get_name(), left.front());
    if (left.front().rfind('-', 0) == 0)
        return UserText{kUnknownOption, {QuotedInput(left.front())}};
    return UserText{kUnknownCommand, {QuotedInput(left.front())}};
}
} // namespace

const char *CliOverview()
{
    return kOverview;
}

const char *CliCommandHelp(const std::string &command)
{
    const auto form = std::find_if(kCommands.begin(), kCommands.end(), [&](const CommandForm &c) { return command == c.name; });
    return form == kCommands.end() ? nullptr : form->help;
}

CliArguments ReadCliArguments(const std::vector<std::string> &args)
{
    CliArguments arguments;
    const auto end = std::find(args.begin(), args.end(), kEndOfOptions);
    std::vector<std::string> options(args.begin(), end);
    if (!options.empty() && options.front() == "help")
        options.front() = "--help";

    CLI::App app;
    // The tool prints its own translated help and words its own refusals.
    app.set_help_flag();
    app.allow_extras();
    app.fallthrough();
    std::string language;
    app.add_option("--lang", language);
    app.add_flag("-h,--help", arguments.help)->disable_flag_override();
    app.add_flag("--version", arguments.version)->disable_flag_override();
    std::array<OptionTexts, kCommands.size()> texts;
    for (std::size_t i = 0; i < kCommands.size(); ++i) {
        CLI::App *sub = app.add_subcommand(kCommands[i].name);
        sub->allow_extras();
        AddCommandOptions(*sub, kCommands[i].takes, arguments, texts[i]);
    }
    app.require_subcommand(0, 1);

    // CLI11 reads the words last to first.
    std::reverse(options.begin(), options.end());
    try {
        app.parse(options);
    } catch (const CLI::ParseError &error) {
        // A value missing or given twice, or a value given to a flag: CLI11's message starts with
        // the option's name ("--log: 1 required TEXT missing", "verify was given a disallowed …").
        const std::string what = error.what();
        std::string option = what.substr(0, what.find_first_of(": "));
        if (option.rfind('-', 0) != 0)
            option = "--" + option;
        const CLI::App *sub = app.get_subcommands().empty() ? nullptr : app.get_subcommands().front();
        arguments.error = BadArgument(sub ? sub->get_name() : std::string(), option);
        return arguments;
    }
    if (app.count("--lang"))
        arguments.language = language;
    const CLI::App *sub = app.get_subcommands().empty() ? nullptr : app.get_subcommands().front();
    if (sub)
        arguments.command = sub->get_name();
    if (end != args.end())
        arguments.operands.insert(arguments.operands.end(), end + 1, args.end());
    if ((arguments.error = CheckLeftOver(app, sub)))
        return arguments;
    if (!sub) {
        if (!arguments.operands.empty())
            arguments.error = UserText{kUnknownCommand, {QuotedInput(arguments.operands.front())}};
        return arguments;
    }
    if (arguments.help)
        return arguments;
    const std::size_t index = static_cast<std::size_t>(
        std::find_if(kCommands.begin(), kCommands.end(), [&](const CommandForm &c) { return arguments.command == c.name; }) -
        kCommands.begin());
    if (!(arguments.error = CheckValues(*sub, kCommands[index], texts[index], arguments)))
        arguments.error = CheckOperands(kCommands[index], arguments);
    return arguments;
}
