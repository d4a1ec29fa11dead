#include "cli/Cli.h"

#include "common/MessageSink.h"
#include "common/TextNumber.h"
#include "device/DeviceLink.h"
#include "device/HidBackend.h"
#include "device/ModuleCommands.h"
#include "device/ModuleSearch.h"
#include "keymap/KeyMap.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <optional>

namespace {
using namespace CliExit;

constexpr int kPollMs = 250;

constexpr const char *kUsageText = QT_TRANSLATE_NOOP("Tavrin",
    "用法：tavrin-cli 命令 [参数]\n"
    "  list                              列出已连接的模块接口，以及查找模块时会打开哪一个\n"
    "  info                              查找并查询模块：是否有效、工作模式、触发电平、按键数\n"
    "  write KEY-n 键值 [KEY-n 键值 ...]   写入按键，键值与日志中 \"KEY-n = \" 之后的文字相同\n"
    "  apply 文件 [--each [--count N]]     写入键值文件中的按键和参数\n"
    "  params --long-press yes|no --debounce 毫秒\n"
    "                                    写入长按连发和按键消抖参数\n"
    "  reset 1|2                         恢复出厂设置 1 或 2\n"
    "除 list 外的命令都可加 --wait [秒]：等待模块插入，而不是立即失败。\n"
    "所有命令都可加 --lang en|zh 选择输出的语言（也可以用环境变量 TAVRIN_LANG 选择）。\n"
    "每个命令的说明：tavrin-cli 命令 --help\n"
    "退出状态：0 成功，2 用法错误，3 没有模块或没有权限，4 模块非法，5 写入失败。");

struct Command {
    const char *name;
    const char *help;
    int (*run)(class CCliRun &run);
};

constexpr const char *kUnknownCommand = QT_TRANSLATE_NOOP("Tavrin", "未知的命令：%1（见 tavrin-cli --help）");
constexpr const char *kBadArguments = QT_TRANSLATE_NOOP("Tavrin", "%1 的参数不对：%2（见 tavrin-cli %1 --help）");
constexpr const char *kEachDone = QT_TRANSLATE_NOOP("Tavrin", "第 %1 个模块：写入完成（%2）");
constexpr const char *kEachFailed = QT_TRANSLATE_NOOP("Tavrin", "第 %1 个模块：写入失败（%2）");
constexpr const char *kEachSummary = QT_TRANSLATE_NOOP("Tavrin", "共 %1 个模块：完成 %2 个，失败 %3 个");
constexpr const char *kEachWaiting = QT_TRANSLATE_NOOP("Tavrin", "请插入下一个模块（按 Ctrl-C 结束）");
constexpr const char *kInterfaceLine = QT_TRANSLATE_NOOP("Tavrin", "%1:%2 接口 %3 %4");
constexpr const char *kOpensThis = QT_TRANSLATE_NOOP("Tavrin", "  查找模块时打开此接口");
constexpr const char *kCannotOpen = QT_TRANSLATE_NOOP("Tavrin", "  无法打开：%1");
constexpr const char *kNotTried = QT_TRANSLATE_NOOP("Tavrin", "  查找模块时不使用此接口");
constexpr const char *kInfoLines = QT_TRANSLATE_NOOP("Tavrin", "接口：%1\n工作模式：%2\n触发电平：%3\n按键数：%4");

bool IsNumber(const std::string &text)
{
    return !text.empty() && text.size() < 10 &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// One run of a command: its arguments, the options taken out of them, and the link.
class CCliRun {
public:
    CCliRun(CliEnvironment &environment, std::string command, std::vector<std::string> args)
        : env(environment), link(environment.backend), name(std::move(command)), words(std::move(args))
    {
    }

    void Print(const char *source, std::vector<std::string> values = {}) const
    {
        std::fprintf(env.out, "%s\n", TranslateText({source, std::move(values)}).c_str());
        std::fflush(env.out);
    }

    int Usage(const std::string &what) const
    {
        ShowMessage(kBadArguments, {name, what});
        return kUsage;
    }

    // Takes "--option VALUE" out of the words; nullopt when absent, "" when the value is missing.
    std::optional<std::string> TakeOption(const std::string &option)
    {
        const auto it = std::find(words.begin(), words.end(), option);
        if (it == words.end())
            return std::nullopt;
        std::string value = it + 1 != words.end() ? *(it + 1) : std::string();
        words.erase(it, it + 1 != words.end() ? it + 2 : it + 1);
        return value;
    }

    // "--wait [SECONDS]": wait forever without a number.
    void TakeWait()
    {
        const auto it = std::find(words.begin(), words.end(), "--wait");
        if (it == words.end())
            return;
        bWait = true;
        const auto next = it + 1;
        const bool number = next != words.end() && IsNumber(*next);
        if (number)
            waitMs = static_cast<long long>(AtoiRule(*next)) * 1000;
        words.erase(it, number ? next + 1 : next);
    }

    bool TakeFlag(const std::string &flag)
    {
        const auto it = std::find(words.begin(), words.end(), flag);
        if (it == words.end())
            return false;
        words.erase(it);
        return true;
    }

    // A search, repeated while waiting; shows the window's message when nothing opened.
    bool Connect(bool quiet = false)
    {
        long long waited = 0;
        while (!link.OpenModule()) {
            const bool timeLeft = bWait && (waitMs < 0 || waited < waitMs);
            if (!timeLeft || env.interrupted()) {
                if (!quiet)
                    ShowSearchFailure(link);
                return false;
            }
            env.sleep(kPollMs);
            waited += kPollMs;
        }
        return true;
    }

    // A search and a valid query, with the exit status when there is none.
    std::optional<int> ConnectValid(ModuleQuery &query)
    {
        if (!Connect())
            return kNoModule;
        query = QueryModule(link);
        if (!query.bValid)
            return kInvalid;
        return std::nullopt;
    }

    // What the window sends beside the long-press and debounce values after a query.
    static ModuleParameters BaseParameters(const ModuleQuery &query) { return {0, query.workMode, 0, 0}; }

    CliEnvironment &env;
    CDeviceLink link;
    std::string name;
    std::vector<std::string> words;
    bool bWait = false;
    long long waitMs = -1;
};

int StatusOf(WriteResult result)
{
    return result == WriteResult::Done ? kOk : result == WriteResult::Refused ? kUsage : kFailed;
}

int RunList(CCliRun &run)
{
    if (!run.words.empty())
        return run.Usage(run.words.front());
    IHidBackend &backend = run.env.backend;
    if (backend.Init() != 0)
        ShowMessage(QT_TRANSLATE_NOOP("Tavrin", "设备初始化失败"));
    const std::vector<ModuleInterface> interfaces = ListModuleInterfaces(backend);
    std::map<std::string, std::string> reasons;
    const OpenedInterface opened = OpenInSearchOrder(backend, interfaces, [&](const ModuleInterface &candidate) {
        const std::string error = backend.Error(nullptr);
        reasons[candidate.info.path] = backend.LastOpenDenied() ? kAccessDeniedMessage : error;
    });
    if (opened.device)
        backend.Close(opened.device);
    for (const ModuleInterface &candidate : interfaces) {
        char vendor[8];
        char product[8];
        std::snprintf(vendor, sizeof vendor, "%04x", candidate.info.vendor_id);
        std::snprintf(product, sizeof product, "%04x", candidate.info.product_id);
        run.Print(kInterfaceLine, {vendor, product, std::to_string(candidate.info.interface_number), candidate.info.path});
        const auto reason = reasons.find(candidate.info.path);
        if (candidate.info.path == opened.path)
            run.Print(kOpensThis);
        else if (reason != reasons.end())
            run.Print(kCannotOpen, {reason->second});
        else if (candidate.searchOrder < 0)
            run.Print(kNotTried);
    }
    if (interfaces.empty())
        ShowMessage(QT_TRANSLATE_NOOP("Tavrin", "模块不在线"));
    return opened.device ? kOk : kNoModule;
}

int RunInfo(CCliRun &run)
{
    if (!run.words.empty())
        return run.Usage(run.words.front());
    ModuleQuery query;
    if (const auto status = run.ConnectValid(query))
        return *status;
    run.Print(kInfoLines, {run.link.OpenPath(), std::to_string(query.workMode), std::to_string(query.triggerLevel),
                           std::to_string(run.env.keyCount)});
    return kOk;
}

// Writes a checked key map to a module that was found valid, printing each key's log line.
int ApplyTo(CCliRun &run, const KeyMap &map, const ModuleQuery &query)
{
    return StatusOf(ApplyKeyMap(run.link, map, CCliRun::BaseParameters(query), [&](const KeyMapEntry &entry) {
        std::fprintf(run.env.out, "%s\n", KeyLogLine(entry.keyIndex, entry.text).c_str());
    }));
}

int RunWrite(CCliRun &run)
{
    if (run.words.empty() || run.words.size() % 2 != 0)
        return run.Usage(run.words.empty() ? std::string() : run.words.back());
    KeyMapResult result = ParseKeyArguments(run.words, run.env.keyCount);
    if (!result.map) {
        ShowMessage(result.error);
        return kUsage;
    }
    ModuleQuery query;
    if (const auto status = run.ConnectValid(query))
        return *status;
    return ApplyTo(run, *result.map, query);
}

// The production line: module after module until the count is reached or Ctrl-C.
int ApplyEach(CCliRun &run, const KeyMap &map, int count)
{
    run.bWait = true;
    run.waitMs = -1;
    int done = 0;
    int failed = 0;
    while (!run.env.interrupted() && (count <= 0 || done + failed < count)) {
        run.Print(kEachWaiting);
        if (!run.Connect(true))
            break;
        const std::string path = run.link.OpenPath();
        ModuleQuery query = QueryModule(run.link);
        const bool good = query.bValid && ApplyTo(run, map, query) == kOk;
        ++(good ? done : failed);
        run.Print(good ? kEachDone : kEachFailed, {std::to_string(done + failed), path});
        if (count > 0 && done + failed >= count)
            break;
        auto present = [&] {
            const auto interfaces = ListModuleInterfaces(run.env.backend);
            return std::any_of(interfaces.begin(), interfaces.end(),
                               [&](const ModuleInterface &candidate) { return candidate.info.path == path; });
        };
        while (!run.env.interrupted() && present())
            run.env.sleep(kPollMs);
    }
    run.Print(kEachSummary, {std::to_string(done + failed), std::to_string(done), std::to_string(failed)});
    return failed > 0 ? kFailed : kOk;
}

int RunApply(CCliRun &run)
{
    const bool each = run.TakeFlag("--each");
    const std::optional<std::string> count = run.TakeOption("--count");
    if (run.words.size() != 1 || (count && (!each || AtoiRule(*count) <= 0)))
        return run.Usage(run.words.size() == 1 ? "--count" : std::string());
    const std::optional<KeyMap> map = LoadKeyMapFile(run.words.front(), run.env.keyCount);
    if (!map)
        return kUsage;
    if (each)
        return ApplyEach(run, *map, count ? AtoiRule(*count) : 0);
    ModuleQuery query;
    if (const auto status = run.ConnectValid(query))
        return *status;
    return ApplyTo(run, *map, query);
}

int RunParams(CCliRun &run)
{
    const std::optional<std::string> longPress = run.TakeOption("--long-press");
    const std::optional<std::string> debounce = run.TakeOption("--debounce");
    if (!run.words.empty())
        return run.Usage(run.words.front());
    const std::optional<std::uint8_t> longPressItem = longPress ? LongPressItem(*longPress) : std::nullopt;
    if (!longPressItem)
        return run.Usage("--long-press");
    if (!debounce || !IsNumber(*debounce))
        return run.Usage("--debounce");
    if (!CheckDebounce(AtoiRule(*debounce)))
        return kUsage;
    ModuleQuery query;
    if (const auto status = run.ConnectValid(query))
        return *status;
    ModuleParameters parameters = CCliRun::BaseParameters(query);
    parameters.longPress = *longPressItem;
    parameters.debounce = AtoiRule(*debounce);
    return StatusOf(WriteParameters(run.link, parameters));
}

int RunReset(CCliRun &run)
{
    if (run.words.size() != 1 || (run.words.front() != "1" && run.words.front() != "2"))
        return run.Usage(run.words.empty() ? std::string() : run.words.front());
    if (!run.Connect())
        return kNoModule;
    const FactoryConfig &config = FactoryConfigOf(run.words.front() == "2" ? 2 : 1);
    WriteFactoryParameters(run.link, config);
    return WriteFactoryKeys(run.link, config) ? kOk : kFailed;
}

constexpr Command kCommands[] = {
    {"list", QT_TRANSLATE_NOOP("Tavrin",
                               "用法：tavrin-cli list\n"
                               "列出已连接的模块接口（厂商:产品、接口号、设备路径），标出查找模块时会打开的接口；\n"
                               "无法打开的接口给出原因。"),
     RunList},
    {"info", QT_TRANSLATE_NOOP("Tavrin",
                               "用法：tavrin-cli info [--wait [秒]]\n"
                               "查找并查询模块，显示接口、工作模式、触发电平和按键数。模块非法时退出状态为 4。"),
     RunInfo},
    {"write", QT_TRANSLATE_NOOP("Tavrin",
                                "用法：tavrin-cli write KEY-n 键值 [KEY-n 键值 ...] [--wait [秒]]\n"
                                "键值与日志中 \"KEY-n = \" 之后的文字相同，例如：tavrin-cli write KEY-3 'CTRL+ALT+DEL'\n"
                                "文字不能确定页面时，在按键后注明：'KEY-4 (mouse)' ''；"
                                "或直接给出记录字节：'KEY-5 (raw 41 41 00)' MLKey。\n"
                                "所有按键先全部检查，有一个不对就什么都不写。"),
     RunWrite},
    {"apply", QT_TRANSLATE_NOOP("Tavrin",
                                "用法：tavrin-cli apply 文件 [--wait [秒]] [--each [--count N]]\n"
                                "写入键值文件中的按键和参数；文件先整体检查，有一行不对就什么都不写。\n"
                                "--each：生产线用法，等待模块插入、写入、打印一行结果和计数、等待拔出，然后是下一个；\n"
                                "写入失败的模块会报告，循环继续；--count N 写完 N 个模块后结束；Ctrl-C 结束并打印汇总。"),
     RunApply},
    {"params", QT_TRANSLATE_NOOP("Tavrin",
                                 "用法：tavrin-cli params --long-press yes|no --debounce 毫秒 [--wait [秒]]\n"
                                 "写入长按连发和按键消抖时间（10 到 255 毫秒），与窗口的 \"参数写入\" 相同。"),
     RunParams},
    {"reset", QT_TRANSLATE_NOOP("Tavrin",
                                "用法：tavrin-cli reset 1|2 [--wait [秒]]\n"
                                "恢复出厂设置 1 或 2，与窗口的 \"恢复出厂1\"、\"恢复出厂2\" 相同。"),
     RunReset},
};
} // namespace

int RunCli(const std::vector<std::string> &args, CliEnvironment &environment)
{
    if (args.empty() || args.front() == "--help" || args.front() == "-h" || args.front() == "help") {
        std::fprintf(environment.out, "%s\n", TranslateText({kUsageText, {}}).c_str());
        return args.empty() ? kUsage : kOk;
    }
    const auto command = std::find_if(std::begin(kCommands), std::end(kCommands),
                                      [&](const Command &candidate) { return args.front() == candidate.name; });
    if (command == std::end(kCommands)) {
        ShowMessage(kUnknownCommand, {args.front()});
        return kUsage;
    }
    CCliRun run(environment, command->name, std::vector<std::string>(args.begin() + 1, args.end()));
    if (run.TakeFlag("--help") || run.TakeFlag("-h")) {
        run.Print(command->help);
        return kOk;
    }
    if (command->run != RunList)
        run.TakeWait();
    return command->run(run);
}
