#include "cli/Cli.h"

#include "cli/Doctor.h"
#include "cli/ModuleLog.h"
#include "cli/ModuleWait.h"
#include "common/MessageSink.h"
#include "common/TextNumber.h"
#include "device/DeviceLink.h"
#include "device/HidBackend.h"
#include "device/ModuleCommands.h"
#include "device/ModuleSearch.h"
#include "keymap/KeyMap.h"
#include "keymap/ModuleConfig.h"
#include "settings/SafeFile.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <map>
#include <optional>
#include <sstream>

namespace {
using namespace CliExit;

constexpr const char *kUsageText = QT_TRANSLATE_NOOP("Tavrin",
    "用法：tavrin-cli 命令 [参数]\n"
    "  list                              列出已连接的模块接口，以及查找模块时会打开哪一个\n"
    "  info                              查找并查询模块：是否有效、工作模式、触发电平、按键数\n"
    "  write KEY-n 键值 [KEY-n 键值 ...]   写入按键，键值与日志中 \"KEY-n = \" 之后的文字相同\n"
    "  apply 文件 [--verify] [--each [--count N]]\n"
    "                                    写入键值文件中的按键和参数；--verify：写入后读回校验\n"
    "  dump [文件]                        读出模块中可读的配置（参数和 KEY-1 到 KEY-12），保存为键值文件\n"
    "  verify 文件                        读出模块的配置，与键值文件比较，列出不同之处\n"
    "  params [--long-press yes|no] [--debounce 毫秒]\n"
    "                                    写入长按连发和按键消抖参数\n"
    "  reset 1|2                         恢复出厂设置 1 或 2\n"
    "  doctor                            检查模块为什么打不开（权限、udev 规则、会话），并给出解决办法\n"
    "除 list 和 doctor 外的命令都可加 --wait [秒]：等待模块插入，而不是立即失败。\n"
    "插着几个模块时，用 --device 设备路径 或 --serial 序列号 选择其中一个（list 列出两者）。\n"
    "所有命令都可加 --lang en|zh 选择输出的语言（也可以用环境变量 TAVRIN_LANG 选择）。\n"
    "每个命令的说明：tavrin-cli 命令 --help\n"
    "退出状态：0 成功，2 用法错误，3 没有模块、没有权限或模块没有应答，4 模块非法，5 写入失败，\n"
    "6 写入都已完成，但读回的配置与要写入的不同。");

struct Command {
    const char *name;
    const char *help;
    int (*run)(class CCliRun &run);
};

constexpr const char *kUnknownCommand = QT_TRANSLATE_NOOP("Tavrin", "未知的命令：%1（见 tavrin-cli --help）");
constexpr const char *kBadArguments = QT_TRANSLATE_NOOP("Tavrin", "%1 的参数不对：%2（见 tavrin-cli %1 --help）");
constexpr const char *kEachDone = QT_TRANSLATE_NOOP("Tavrin", "第 %1 个模块：写入完成（%2）");
constexpr const char *kEachFailed = QT_TRANSLATE_NOOP("Tavrin", "第 %1 个模块：写入失败（%2）");
constexpr const char *kEachSummary = QT_TRANSLATE_N_NOOP("Tavrin", "共 %1 个模块：完成 %2 个，失败 %3 个");
constexpr const char *kEachWaiting = QT_TRANSLATE_NOOP("Tavrin", "请插入下一个模块（按 Ctrl-C 结束）");
constexpr const char *kEachRefused = QT_TRANSLATE_NOOP("Tavrin", "第 %1 个模块：无法打开（%2）：%3");
constexpr const char *kLogNotWritten = QT_TRANSLATE_NOOP("Tavrin", "日志文件 %1 无法写入：%2");
constexpr const char *kInterfaceLine = QT_TRANSLATE_NOOP("Tavrin", "%1:%2 接口 %3 %4%5");
constexpr const char *kSerialPart = QT_TRANSLATE_NOOP("Tavrin", "（序列号 %1）");
constexpr const char *kOpensThis = QT_TRANSLATE_NOOP("Tavrin", "  查找模块时打开此接口");
constexpr const char *kCannotOpen = QT_TRANSLATE_NOOP("Tavrin", "  无法打开：%1");
constexpr const char *kNotTried = QT_TRANSLATE_NOOP("Tavrin", "  查找模块时不使用此接口");
constexpr const char *kInfoLines = QT_TRANSLATE_NOOP("Tavrin", "接口：%1\n工作模式：%2\n触发电平：%3\n按键数：%4");
constexpr const char *kNoReply = QT_TRANSLATE_NOOP("Tavrin", "模块没有应答");
constexpr const char *kModuleNotOpened = QT_TRANSLATE_NOOP("Tavrin", "模块已连接，但无法打开（%1）：%2");
constexpr const char *kParametersDone = QT_TRANSLATE_NOOP("Tavrin", "参数写入完成");
constexpr const char *kResetParameters = QT_TRANSLATE_NOOP("Tavrin", "恢复出厂%1：参数%2");
constexpr const char *kResetKeys = QT_TRANSLATE_NOOP("Tavrin", "恢复出厂%1：按键%2");
constexpr const char *kStepDone = QT_TRANSLATE_NOOP("Tavrin", "写入完成");
constexpr const char *kStepFailed = QT_TRANSLATE_NOOP("Tavrin", "写入失败");
constexpr const char *kResetQueried = QT_TRANSLATE_NOOP("Tavrin", "恢复出厂%1完成，重新查询模块：有效");
constexpr const char *kResetDiffers = QT_TRANSLATE_NOOP("Tavrin", "恢复出厂%1后重新查询：%2 不同：写入 %3，模块 %4");
constexpr const char *kResetNotKept = QT_TRANSLATE_NOOP("Tavrin", "恢复出厂%1失败：模块中有 %2 处与写入的不同");
constexpr const char *kDumpUnreadable = QT_TRANSLATE_NOOP("Tavrin", "模块的应答只包含 KEY-1 到 KEY-%1，%2 无法读出");
constexpr const char *kVerifyMatches = QT_TRANSLATE_NOOP("Tavrin", "校验：%1 个按键和参数与模块一致");
constexpr const char *kVerifyDiffers = QT_TRANSLATE_NOOP("Tavrin", "校验：%1 不同：文件 %2，模块 %3");
constexpr const char *kVerifyFailed = QT_TRANSLATE_NOOP("Tavrin", "校验失败：模块中有 %1 处与文件不同");
constexpr const char *kVerifyUnreadable = QT_TRANSLATE_NOOP("Tavrin", "校验：%1 超出模块应答能读出的按键，未能校验");
constexpr const char *kTransportTexts[] = {
    QT_TRANSLATE_NOOP("Tavrin", "无法向模块发送命令，模块是否已拔出？"),
    QT_TRANSLATE_NOOP("Tavrin", "向模块写数据失败"),
    QT_TRANSLATE_NOOP("Tavrin", "从模块读数据失败"),
};

constexpr const char *kOutputFailed = QT_TRANSLATE_NOOP("Tavrin", "输出没有全部写出（%1）");

// The one reader of every number an option takes: decimal digits and nothing else, at most nine,
// so that "1x", " 1", "+1" or "0x10" is refused instead of being read as some other number.
std::optional<int> ReadOptionNumber(const std::string &text)
{
    if (text.empty() || text.size() > 9 || !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    return AtoiRule(text);
}

// "--" ends the options: every word after it is an operand, even one that starts with "--".
constexpr const char *kEndOfOptions = "--";

// One run of a command: its arguments, the options taken out of them, and the link.
class CCliRun {
public:
    CCliRun(CliEnvironment &environment, std::string command, std::vector<std::string> args)
        : env(environment), link(environment.backend), name(std::move(command)), words(std::move(args)),
          keyCount(ModuleKeyCount(environment.keyCount).count)
    {
        const auto end = std::find(words.begin(), words.end(), kEndOfOptions);
        optionEnd = static_cast<std::size_t>(end - words.begin());
        if (end != words.end())
            words.erase(end);
        link.SetFailureReport([](TransportFailure failure) { ShowMessage(kTransportTexts[static_cast<int>(failure)]); });
    }

    void Print(const char *source, std::vector<std::string> values = {}, int count = -1) const
    {
        std::fprintf(env.out, "%s\n", TranslateText({source, std::move(values), count}).c_str());
        std::fflush(env.out);
    }

    int Usage(const std::string &what) const
    {
        ShowMessage(kBadArguments, {name, QuotedInput(what)});
        return kUsage;
    }

    // Takes "--option VALUE" out of the options; nullopt when absent, "" when the value is missing.
    std::optional<std::string> TakeOption(const std::string &option)
    {
        const auto it = FindOption(option);
        if (it == OptionsEnd())
            return std::nullopt;
        const bool hasValue = it + 1 != OptionsEnd();
        std::string value = hasValue ? *(it + 1) : std::string();
        Erase(it, hasValue ? 2 : 1);
        return value;
    }

    // Takes "--option NUMBER" out of the options: nullopt when absent; a value that is no number
    // is a usage error, which bad tells.
    std::optional<int> TakeNumber(const std::string &option, bool &bad)
    {
        const std::optional<std::string> text = TakeOption(option);
        const std::optional<int> number = text ? ReadOptionNumber(*text) : std::nullopt;
        bad = bad || (text && !number);
        return number;
    }

    // "--wait [SECONDS]": wait forever without a number.
    void TakeWait()
    {
        const auto it = FindOption("--wait");
        if (it == OptionsEnd())
            return;
        bWait = true;
        const std::optional<int> seconds = it + 1 != OptionsEnd() ? ReadOptionNumber(*(it + 1)) : std::nullopt;
        if (seconds)
            waitMs = static_cast<long long>(*seconds) * 1000;
        Erase(it, seconds ? 2 : 1);
    }

    bool TakeFlag(const std::string &flag)
    {
        const auto it = FindOption(flag);
        if (it == OptionsEnd())
            return false;
        Erase(it, 1);
        return true;
    }

    // "--device PATH" and "--serial TEXT": the module the searches may open. False after a
    // usage error.
    bool TakeChoice()
    {
        const std::optional<std::string> device = TakeOption("--device");
        const std::optional<std::string> serial = TakeOption("--serial");
        if ((device && device->empty()) || (serial && serial->empty())) {
            Usage(device && device->empty() ? "--device" : "--serial");
            return false;
        }
        choice = {device.value_or(""), serial.value_or("")};
        link.Choose(choice);
        return true;
    }

    // The wait, its watcher started on first use, so that a run that finds its module at once
    // pays nothing for it.
    CModuleWait &Wait()
    {
        if (!wait) {
            watcher = env.makeWatcher ? env.makeWatcher() : nullptr;
            wait.emplace(watcher.get(), env.waitReadable, env.sleep, env.interrupted);
        }
        return *wait;
    }

    // A search, and while waiting another each time a module arrives; the last one's result.
    // While waiting, the watcher starts before the first search, so that no module that search
    // finds or misses goes unseen. afterRemoval: a module was just pulled out, and the first
    // search waits for the next arrival, so that a node of the leaving module is never taken for
    // a new one.
    SearchResult Search(bool afterRemoval = false)
    {
        if (bWait)
            Wait().SetLimit(waitMs);
        if (afterRemoval && !wait->ForArrival())
            return {};
        for (;;) {
            const SearchResult result = link.Search();
            if (result.initFailed)
                ShowMessage(QT_TRANSLATE_NOOP("Tavrin", "设备初始化失败"));
            if (result.status == SearchStatus::Opened || !bWait)
                return result;
            // A module that is there but will not open: the production line tells of it. A node
            // gone by now was a module leaving, not one refusing.
            if (bReportRefused && !result.refusedPath.empty() && Listed({result.refusedPath}))
                return result;
            if (!wait->ForArrival())
                return result;
        }
    }

    // A search, repeated while waiting; says why when nothing opened: no module, no permission,
    // or a module there that would not open, with the reason.
    bool Connect(bool quiet = false)
    {
        const SearchResult result = Search();
        if (result.status == SearchStatus::Opened)
            return true;
        if (quiet)
            return false;
        if (result.status == SearchStatus::Absent && !result.refusedPath.empty())
            ShowMessage(kModuleNotOpened, {result.refusedPath, result.refusedError});
        else
            ShowSearchFailure(link);
        return false;
    }

    // Whether an interface with one of these nodes is still listed.
    bool Listed(const std::vector<std::string> &nodes)
    {
        const auto interfaces = ListModuleInterfaces(env.backend, choice);
        return std::any_of(interfaces.begin(), interfaces.end(), [&](const ModuleInterface &candidate) {
            return std::find(nodes.begin(), nodes.end(), candidate.info.path) != nodes.end();
        });
    }

    // A search and a valid query, with the exit status when there is none.
    std::optional<int> ConnectValid(ModuleSnapshot &module)
    {
        if (!Connect())
            return kNoModule;
        return Query(module);
    }

    // A query of the module that is open.
    std::optional<int> Query(ModuleSnapshot &module)
    {
        const ModuleReading reading = ReadModule(link, keyCount);
        module = reading.snapshot;
        return Refusal(reading.status);
    }

    // Says why a module that did not answer validly cannot be used, with the exit status.
    static std::optional<int> Refusal(QueryStatus status)
    {
        if (status == QueryStatus::NoReply) {
            ShowMessage(kNoReply);
            return kNoModule;
        }
        if (status == QueryStatus::Invalid) {
            ShowMessage(QT_TRANSLATE_NOOP("Tavrin", "此模块非法，请检查！"));
            return kInvalid;
        }
        return std::nullopt;
    }

    // What a write sends for the parameters a command leaves out.
    ModuleParameters Kept(const ModuleSnapshot &module) const
    {
        return KeptParameters(module, env.settingsParameters);
    }

    CliEnvironment &env;
    CDeviceLink link;
    std::string name;
    std::vector<std::string> words;
    int keyCount;
    bool bWait = false;
    long long waitMs = -1;
    bool bReportRefused = false; // a search while waiting returns on a module that will not open
    ModuleChoice choice;
    std::unique_ptr<IModuleWatcher> watcher;
    std::optional<CModuleWait> wait;

private:
    std::vector<std::string>::iterator OptionsEnd() { return words.begin() + static_cast<std::ptrdiff_t>(optionEnd); }
    std::vector<std::string>::iterator FindOption(const std::string &option)
    {
        return std::find(words.begin(), OptionsEnd(), option);
    }
    void Erase(std::vector<std::string>::iterator first, std::size_t count)
    {
        words.erase(first, first + static_cast<std::ptrdiff_t>(count));
        optionEnd -= count;
    }

    std::size_t optionEnd = 0; // the words before it may be options
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
    const std::vector<ModuleInterface> interfaces = ListModuleInterfaces(backend, run.choice);
    std::map<std::string, std::string> reasons;
    const OpenedInterface opened = OpenInSearchOrder(backend, interfaces, [&](const ModuleInterface &candidate) {
        const std::string error = backend.Error(nullptr);
        reasons[candidate.info.path] = backend.LastOpenDenied() ? TranslateText({kAccessDeniedMessage, {}}) : error;
    });
    if (opened.device)
        backend.Close(opened.device);
    for (const ModuleInterface &candidate : interfaces) {
        char vendor[8];
        char product[8];
        std::snprintf(vendor, sizeof vendor, "%04x", candidate.info.vendor_id);
        std::snprintf(product, sizeof product, "%04x", candidate.info.product_id);
        const std::string serial =
            candidate.info.serial.empty() ? std::string() : TranslateText({kSerialPart, {candidate.info.serial}});
        run.Print(kInterfaceLine,
                  {vendor, product, std::to_string(candidate.info.interface_number), candidate.info.path, serial});
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
    ModuleSnapshot module;
    if (const auto status = run.ConnectValid(module))
        return *status;
    run.Print(kInfoLines, {run.link.OpenPath(), std::to_string(module.parameters.workMode),
                           std::to_string(module.triggerLevel), std::to_string(run.keyCount)});
    return kOk;
}

// Lists what differs between the map and the module; kOk when every readable item matches.
int ReportVerify(CCliRun &run, const VerifyReport &report)
{
    for (const int key : report.unreadableKeys)
        run.Print(kVerifyUnreadable, {KeyName(key)});
    for (const ConfigDifference &difference : report.differences)
        run.Print(kVerifyDiffers, {difference.item, difference.expected, difference.actual});
    if (report.Matches()) {
        run.Print(kVerifyMatches, {std::to_string(report.comparedKeys)});
        return kOk;
    }
    ShowMessage(kVerifyFailed, {std::to_string(report.differences.size())});
    return kMismatch;
}

// The parameter lines of a key map, as it writes them.
std::vector<std::string> ParameterLines(KeyMap map)
{
    map.keys.clear();
    std::vector<std::string> lines;
    std::istringstream text(FormatKeyMap(map));
    for (std::string line; std::getline(text, line);) {
        if (!line.empty() && line.front() != '#')
            lines.push_back(line);
    }
    return lines;
}

// The read-back's verdict for the log: "match", or each difference.
std::string VerifyVerdict(const VerifyReport &report)
{
    if (report.Matches())
        return "match";
    std::string verdict;
    for (const ConfigDifference &difference : report.differences) {
        if (!verdict.empty())
            verdict += "; ";
        verdict += difference.item + ": " + difference.expected + " -> " + difference.actual;
    }
    return verdict;
}

// Writes a key map to a module that was found valid, printing each key's log line; with verify,
// queries again and compares what can be read. entry, when given, keeps what was written and the
// verdict.
int ApplyTo(CCliRun &run, const KeyMap &map, const ModuleSnapshot &module, bool verify, ModuleLogEntry *entry = nullptr)
{
    const ApplyOutcome outcome = ApplyKeyMap(run.link, map, run.keyCount, run.Kept(module), [&](const KeyMapEntry &key) {
        const std::string line = KeyLogLine(key.keyIndex, key.text);
        std::fprintf(run.env.out, "%s\n", line.c_str());
        if (entry)
            entry->written.push_back(line);
    });
    if (outcome.result != WriteResult::Done) {
        ShowMessage(DescribeApplyFailure(outcome));
        return StatusOf(outcome.result);
    }
    if (outcome.parameters) {
        run.Print(kParametersDone);
        if (entry) {
            const std::vector<std::string> parameters = ParameterLines(map);
            entry->written.insert(entry->written.end(), parameters.begin(), parameters.end());
        }
    }
    if (!verify)
        return kOk;
    const ModuleVerification verification = VerifyModule(run.link, map, run.keyCount);
    if (const auto status = CCliRun::Refusal(verification.status))
        return *status;
    if (entry)
        entry->verify = VerifyVerdict(verification.report);
    return ReportVerify(run, verification.report);
}

int RunWrite(CCliRun &run)
{
    if (run.words.empty() || run.words.size() % 2 != 0)
        return run.Usage(run.words.empty() ? std::string() : run.words.back());
    KeyMapResult result = ParseKeyArguments(run.words, run.keyCount);
    if (!result.map) {
        ShowMessage(result.error);
        return kUsage;
    }
    ModuleSnapshot module;
    if (const auto status = run.ConnectValid(module))
        return *status;
    return ApplyTo(run, *result.map, module, false);
}

// Appends the module's line to the log; a failure is told, and the line goes on without it, but
// the run then ends as failed. False when the line was not written.
bool AppendLog(const std::optional<std::string> &logFile, const ModuleLogEntry &entry)
{
    if (!logFile)
        return true;
    const FileError error = AppendToFile(*logFile, JsonLine(entry));
    if (error.Failed())
        ShowMessage(kLogNotWritten, {QuotedInput(*logFile), TranslateText(FileErrorReason(error))});
    return !error.Failed();
}

// One module of the production line: the search found it open, or there but refusing to open.
// The texts shown meanwhile are its error when it fails.
bool ServeModule(CCliRun &run, const KeyMap &map, bool verify, const SearchResult &found, int number,
                 ModuleLogEntry &entry)
{
    const CMessageRecorder shown(true);
    bool good = false;
    if (found.status == SearchStatus::Opened) {
        entry.node = run.link.OpenPath();
        entry.serial = run.link.OpenSerial();
        ModuleSnapshot module;
        good = !run.Query(module) && ApplyTo(run, map, module, verify, &entry) == kOk;
        run.Print(good ? kEachDone : kEachFailed, {std::to_string(number), entry.node});
    } else {
        entry.node = found.refusedPath;
        entry.error = found.status == SearchStatus::AccessDenied ? TranslateText({kAccessDeniedMessage, {}})
                                                                  : found.refusedError;
        run.Print(kEachRefused, {std::to_string(number), entry.node, entry.error});
    }
    if (!good) {
        for (const UserText &text : shown.Texts()) {
            if (!entry.error.empty())
                entry.error += "; ";
            entry.error += TranslateText(text);
        }
    }
    return good;
}

// The production line: module after module until the count is reached or Ctrl-C. A module that
// is there but cannot be opened is told of once and counted as failed; after each module the line
// waits for it to be pulled out.
int ApplyEach(CCliRun &run, const KeyMap &map, int count, bool verify, const std::optional<std::string> &logFile)
{
    run.bWait = true;
    run.waitMs = -1;
    run.bReportRefused = true;
    int done = 0;
    int failed = 0;
    bool logged = true;
    bool afterRemoval = false;
    while (!run.env.interrupted() && (count <= 0 || done + failed < count)) {
        run.Print(kEachWaiting);
        const SearchResult found = run.Search(afterRemoval);
        if (found.status != SearchStatus::Opened && found.refusedPath.empty())
            break;
        ModuleLogEntry entry;
        entry.time = std::chrono::system_clock::now();
        entry.keyCount = run.keyCount;
        // Its nodes as the watcher knows them now, while they are all there.
        const WatchedModule served =
            run.Wait().ModuleOf(found.status == SearchStatus::Opened ? run.link.OpenPath() : found.refusedPath);
        ++(ServeModule(run, map, verify, found, done + failed + 1, entry) ? done : failed);
        logged = AppendLog(logFile, entry) && logged;
        if (count > 0 && done + failed >= count)
            break;
        run.link.Close();
        run.Wait().ForRemoval([&] { return run.Listed(served.nodes); });
        afterRemoval = true;
    }
    run.Print(kEachSummary, {std::to_string(done + failed), std::to_string(done), std::to_string(failed)}, done + failed);
    return failed > 0 || !logged ? kFailed : kOk;
}

int RunApply(CCliRun &run)
{
    const bool each = run.TakeFlag("--each");
    const bool verify = run.TakeFlag("--verify");
    bool badCount = false;
    const std::optional<int> count = run.TakeNumber("--count", badCount);
    const std::optional<std::string> logFile = run.TakeOption("--log");
    if (logFile && (!each || logFile->empty()))
        return run.Usage("--log");
    if (run.words.size() != 1 || badCount || (count && (!each || *count <= 0)))
        return run.Usage(run.words.size() == 1 ? "--count" : std::string());
    const std::optional<KeyMap> map = LoadKeyMapFile(run.words.front(), run.keyCount);
    if (!map)
        return kUsage;
    if (each)
        return ApplyEach(run, *map, count.value_or(0), verify, logFile);
    ModuleSnapshot module;
    if (const auto status = run.ConnectValid(module))
        return *status;
    return ApplyTo(run, *map, module, verify);
}

int RunVerify(CCliRun &run)
{
    if (run.words.size() != 1)
        return run.Usage(run.words.empty() ? std::string() : run.words.back());
    const std::optional<KeyMap> map = LoadKeyMapFile(run.words.front(), run.keyCount);
    if (!map)
        return kUsage;
    ModuleSnapshot module;
    if (const auto status = run.ConnectValid(module))
        return *status;
    return ReportVerify(run, CompareWithModule(*map, module));
}

// The readable configuration as a key map; a comment names the keys the reply does not reach.
int RunDump(CCliRun &run)
{
    if (run.words.size() > 1)
        return run.Usage(run.words.back());
    ModuleSnapshot module;
    if (const auto status = run.ConnectValid(module))
        return *status;
    const KeyMap map = KeyMapOfModule(module);
    std::string note;
    if (module.keyCount > module.ReadableKeys()) {
        const std::string unreadable = KeyName(module.ReadableKeys()) +
                                       (module.keyCount - module.ReadableKeys() > 1 ? "–" + KeyName(module.keyCount - 1) : "");
        note = "# " + TranslateText({kDumpUnreadable, {std::to_string(module.ReadableKeys()), unreadable}}) + "\n";
    }
    if (run.words.empty()) {
        std::fprintf(run.env.out, "%s", FormatKeyMap(map, note).c_str());
        return kOk;
    }
    return SaveKeyMapFile(run.words.front(), map, note) ? kOk : kFailed;
}

int RunParams(CCliRun &run)
{
    const std::optional<std::string> longPress = run.TakeOption("--long-press");
    bool badDebounce = false;
    const std::optional<int> debounce = run.TakeNumber("--debounce", badDebounce);
    if (!run.words.empty())
        return run.Usage(run.words.front());
    if (badDebounce)
        return run.Usage("--debounce");
    if (!longPress && !debounce)
        return run.Usage("--long-press, --debounce");
    KeyMap map;
    if (longPress && !(map.longPress = LongPressItem(*longPress)))
        return run.Usage("--long-press");
    map.debounce = debounce;
    ModuleSnapshot module;
    if (const auto status = run.ConnectValid(module))
        return *status;
    return ApplyTo(run, map, module, false);
}

int RunDoctorCommand(CCliRun &run)
{
    const bool json = run.TakeFlag("--json");
    if (!run.words.empty())
        return run.Usage(run.words.front());
    return RunDoctor(run.env.backend, run.env.out, json);
}

// Checks the module, writes both steps and tells each, then searches and queries again.
int RunReset(CCliRun &run)
{
    if (run.words.size() != 1 || (run.words.front() != "1" && run.words.front() != "2"))
        return run.Usage(run.words.empty() ? std::string() : run.words.front());
    if (!run.Connect())
        return kNoModule;
    const std::string number = run.words.front();
    const FactoryResetResult result = FactoryReset(run.link, number == "2" ? 2 : 1);
    if (const auto status = CCliRun::Refusal(result.module))
        return *status;
    run.Print(kResetParameters, {number, TranslateText({result.parametersWritten ? kStepDone : kStepFailed, {}})});
    run.Print(kResetKeys, {number, TranslateText({result.keysWritten ? kStepDone : kStepFailed, {}})});
    if (!result.Done())
        return kFailed;
    ModuleSnapshot module;
    if (const auto status = run.ConnectValid(module))
        return *status;
    // Acknowledged writes are not kept ones: the query after them tells.
    const std::vector<ConfigDifference> differences = FactoryResetDifferences(number == "2" ? 2 : 1, module);
    for (const ConfigDifference &difference : differences)
        run.Print(kResetDiffers, {number, difference.item, difference.expected, difference.actual});
    if (!differences.empty()) {
        ShowMessage(kResetNotKept, {number, std::to_string(differences.size())});
        return kMismatch;
    }
    run.Print(kResetQueried, {number});
    return kOk;
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
                                "或直接给出记录字节：'KEY-5 (raw 44 41 00)' MLKey。\n"
                                "所有按键先全部检查，有一个不对就什么都不写。"),
     RunWrite},
    {"apply", QT_TRANSLATE_NOOP("Tavrin",
                                "用法：tavrin-cli apply 文件 [--verify] [--wait [秒]] [--each [--count N] [--log 日志文件]]\n"
                                "写入键值文件中的按键和参数；文件和要写入的参数先整体检查，有一处不对就什么都不写。\n"
                                "文件没有给出的参数保持模块中的值。\n"
                                "--verify：写入后重新查询模块，比较能读出的按键（KEY-1 到 KEY-12）和参数；\n"
                                "有不同时列出并以状态 6 退出。\n"
                                "--each：生产线用法，等待模块插入、写入、打印一行结果和计数、等待拔出，然后是下一个；\n"
                                "写入失败的模块会报告，循环继续；插着却打不开的模块报告一次，算作失败；\n"
                                "--count N 写完 N 个模块后结束；--log 日志文件：每个模块追加一行 JSON（时间、设备路径、序列号、\n"
                                "按键数、写入的内容、校验结果、失败原因），写完一个模块就存盘；\n"
                                "第一次 Ctrl-C 在当前模块完成后结束并打印汇总，第二次立即结束。"),
     RunApply},
    {"params", QT_TRANSLATE_NOOP("Tavrin",
                                 "用法：tavrin-cli params [--long-press yes|no] [--debounce 毫秒] [--wait [秒]]\n"
                                 "写入长按连发和按键消抖时间（10 到 255 毫秒），与窗口的 \"参数写入\" 相同；\n"
                                 "没有给出的参数保持模块中的值。"),
     RunParams},
    {"dump", QT_TRANSLATE_NOOP("Tavrin",
                               "用法：tavrin-cli dump [文件] [--wait [秒]]\n"
                               "查询模块，把它的参数和能读出的按键写成键值文件：没有文件时输出到标准输出。\n"
                               "模块的查询应答只包含 KEY-1 到 KEY-12，其后的按键无法读出，文件中的注释会列出它们。\n"
                               "把这个文件 apply 到另一个模块，能读出的配置就完全相同。"),
     RunDump},
    {"verify", QT_TRANSLATE_NOOP("Tavrin",
                                 "用法：tavrin-cli verify 文件 [--wait [秒]]\n"
                                 "查询模块，与键值文件比较，列出每个不同的按键和参数（文件的值，模块的值）。\n"
                                 "一致时状态为 0，有不同时为 6；KEY-12 之后的按键无法读出，会列出但不算不同。"),
     RunVerify},
    {"reset", QT_TRANSLATE_NOOP("Tavrin",
                                "用法：tavrin-cli reset 1|2 [--wait [秒]]\n"
                                "先查询模块（模块非法时什么都不写），恢复出厂设置 1 或 2，报告参数和按键两步各自的结果，\n"
                                "然后重新查找和查询模块，与窗口的 \"恢复出厂1\"、\"恢复出厂2\" 相同。任何一步失败时状态为 5；\n"
                                "重新查询到的参数或按键（KEY-1 到 KEY-12 中恢复出厂写入的）与写入的不同时，列出它们，状态为 6。"),
     RunReset},
    {"doctor", QT_TRANSLATE_NOOP("Tavrin",
                                 "用法：tavrin-cli doctor [--json]\n"
                                 "对每个插着的模块：列出它的 hidraw 设备节点，本用户能否打开每一个；本工具的 udev 规则\n"
                                 "是否已安装、装在哪里；本用户对节点有没有读写权限；本用户有没有活动会话；\n"
                                 "然后给出确切的解决办法。查找模块能打开模块时状态为 0，否则为 3。\n"
                                 "--json：以一个 JSON 对象输出同样的结果（键名固定，值不翻译）。"),
     RunDoctorCommand},
};
} // namespace

namespace {
int RunCommand(const std::vector<std::string> &args, CliEnvironment &environment)
{
    if (args.empty() || args.front() == "--help" || args.front() == "-h" || args.front() == "help") {
        std::fprintf(environment.out, "%s\n", TranslateText({kUsageText, {}}).c_str());
        return args.empty() ? kUsage : kOk;
    }
    const auto command = std::find_if(std::begin(kCommands), std::end(kCommands),
                                      [&](const Command &candidate) { return args.front() == candidate.name; });
    if (command == std::end(kCommands)) {
        ShowMessage(kUnknownCommand, {QuotedInput(args.front())});
        return kUsage;
    }
    CCliRun run(environment, command->name, std::vector<std::string>(args.begin() + 1, args.end()));
    if (ModuleKeyCount(environment.keyCount).clamped)
        ShowMessage(kKeyCountClamped, {std::to_string(environment.keyCount), std::to_string(run.keyCount)});
    if (run.TakeFlag("--help") || run.TakeFlag("-h")) {
        run.Print(command->help);
        return kOk;
    }
    if (command->run != RunList && command->run != RunDoctorCommand)
        run.TakeWait();
    if (!run.TakeChoice())
        return kUsage;
    return command->run(run);
}
} // namespace

int RunCli(const std::vector<std::string> &args, CliEnvironment &environment)
{
    const int status = RunCommand(args, environment);
    // A result that did not reach its reader (a full disk, a closed pipe) is no success.
    const bool flushed = std::fflush(environment.out) == 0;
    const int error = errno;
    if (flushed && !std::ferror(environment.out))
        return status;
    ShowMessage(kOutputFailed, {std::strerror(flushed ? EIO : error)});
    return status == kOk ? kFailed : status;
}
