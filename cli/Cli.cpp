#include "cli/Cli.h"

#include "cli/CliArguments.h"
#include "cli/CliJson.h"
#include "cli/ErrorCode.h"
#include "cli/Doctor.h"
#include "cli/ModuleLog.h"
#include "cli/ModuleWait.h"
#include "common/MessageSink.h"
#include "common/TextNumber.h"
#include "common/Version.h"
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

struct Command {
    const char *name;
    int (*run)(class CCliRun &run);
};

constexpr const char *kEachDone = QT_TRANSLATE_NOOP("Tavrin", "第 %1 个模块：写入完成（%2）");
constexpr const char *kEachFailed = QT_TRANSLATE_NOOP("Tavrin", "第 %1 个模块：写入失败（%2）");
constexpr const char *kEachSummary = QT_TRANSLATE_N_NOOP("Tavrin", "共 %1 个模块：完成 %2 个，失败 %3 个");
constexpr const char *kEachWaiting = QT_TRANSLATE_NOOP("Tavrin", "请插入下一个模块（按 Ctrl-C 结束）");
constexpr const char *kEachRefused = QT_TRANSLATE_NOOP("Tavrin", "第 %1 个模块：无法打开（%2）：%3");
constexpr const char *kLogNotWritten = QT_TRANSLATE_NOOP("Tavrin", "日志文件 %1 无法写入：%2");
constexpr const char *kInterfaceLine = QT_TRANSLATE_NOOP("Tavrin", "%1:%2 接口 %3 %4%5");
constexpr const char *kNothingMatches = QT_TRANSLATE_NOOP("Tavrin", "没有与 %1 相符的模块；插着的模块接口：%2");
constexpr const char *kNothingMatchesNone = QT_TRANSLATE_NOOP("Tavrin", "没有与 %1 相符的模块；没有插着的模块");
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

constexpr const char *kStandardInputUnread = QT_TRANSLATE_NOOP("Tavrin", "无法读取标准输入：%1");
// "-" as a file: standard input for a key map read, standard output for a dump.
constexpr const char *kStandardStream = "-";

constexpr const char *kOutputFailed = QT_TRANSLATE_NOOP("Tavrin", "输出没有全部写出（%1）");

// One run of a command: its arguments, the options taken out of them, and the link.
class CCliRun {
public:
    CCliRun(CliEnvironment &environment, const CliArguments &arguments)
        : env(environment), link(environment.backend), args(arguments), name(arguments.command), words(arguments.operands),
          keyCount(ModuleKeyCount(environment.keyCount).count), bWait(arguments.waitMs.has_value()),
          waitMs(arguments.waitMs.value_or(-1)), choice(arguments.choice)
    {
        link.SetFailureReport([](TransportFailure failure) { ShowMessage(kTransportTexts[static_cast<int>(failure)]); });
        link.Choose(choice);
    }

    // A line of the text result; with --json the result is the JSON object alone.
    void Print(const char *source, std::vector<std::string> values = {}, int count = -1) const
    {
        if (args.json)
            return;
        std::fprintf(env.out, "%s\n", TranslateText({source, std::move(values), count}).c_str());
        std::fflush(env.out);
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
    // a module there that would not open, with the reason, or which modules are there when none
    // matches --device or --serial.
    bool Connect(bool quiet = false)
    {
        const SearchResult result = Search();
        if (result.status == SearchStatus::Opened)
            return true;
        Fail(link.AccessDenied() || !result.refusedPath.empty() ? CliError::OpenFailed : CliError::NoModule);
        if (quiet)
            return false;
        if (result.status == SearchStatus::Absent && !result.refusedPath.empty())
            ShowMessage(kModuleNotOpened, {result.refusedPath, result.refusedError});
        else if (!link.AccessDenied() && (!choice.node.empty() || !choice.serial.empty()))
            ShowUnmatched();
        else
            ShowSearchFailure(link);
        return false;
    }

    // Names the selector that matched nothing, and the interfaces that are there.
    void ShowUnmatched()
    {
        std::string present;
        for (const ModuleInterface &candidate : ListModuleInterfaces(env.backend)) {
            present += (present.empty() ? "" : ", ") + QuotedInput(candidate.info.path);
            if (!candidate.info.serial.empty())
                present += TranslateText({kSerialPart, {QuotedInput(candidate.info.serial)}});
        }
        const std::string selector = choice.node.empty() ? "--serial " + QuotedInput(choice.serial) : "--device " + QuotedInput(choice.node);
        if (present.empty())
            ShowMessage(kNothingMatchesNone, {selector});
        else
            ShowMessage(kNothingMatches, {selector, present});
    }

    // Keeps the first reason the run failed; its exit status.
    int Fail(CliError failure)
    {
        if (error == CliError::None)
            error = failure;
        return ErrorCodeOf(failure).exitStatus;
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
    std::optional<int> ConnectValid(std::optional<ValidQuery> &valid)
    {
        if (!Connect())
            return kNoModule;
        return Query(valid);
    }

    // A query of the module that is open; valid holds its proof when it is valid.
    std::optional<int> Query(std::optional<ValidQuery> &valid)
    {
        ModuleReading reading = ReadModule(link, keyCount);
        valid = std::move(reading.valid);
        return Refusal(reading.status);
    }

    // Says why a module that did not answer validly cannot be used, with the exit status.
    std::optional<int> Refusal(QueryStatus status)
    {
        if (status == QueryStatus::NoReply) {
            ShowMessage(kNoReply);
            return Fail(CliError::NoReply);
        }
        if (status == QueryStatus::Invalid) {
            ShowMessage(QT_TRANSLATE_NOOP("Tavrin", "此模块非法，请检查！"));
            return Fail(CliError::InvalidMarker);
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
    const CliArguments &args;
    std::string name;
    std::vector<std::string> words;
    int keyCount;
    bool bWait;
    long long waitMs;
    bool bReportRefused = false; // a search while waiting returns on a module that will not open
    ModuleChoice choice;
    std::unique_ptr<IModuleWatcher> watcher;
    std::optional<CModuleWait> wait;
    CliError error = CliError::None; // the first reason the run failed, where one is known
    nlohmann::json result;           // what the command tells a script (--json)

};

int StatusOf(WriteResult result)
{
    return result == WriteResult::Done ? kOk : result == WriteResult::Refused ? kUsage : kFailed;
}

int RunList(CCliRun &run)
{
    IHidBackend &backend = run.env.backend;
    if (backend.Init() != 0)
        ShowMessage(QT_TRANSLATE_NOOP("Tavrin", "设备初始化失败"));
    const std::vector<ModuleInterface> interfaces = ListModuleInterfaces(backend, run.choice);
    std::map<std::string, std::string> reasons;
    std::vector<ListedInterface> listed;
    for (const ModuleInterface &candidate : interfaces)
        listed.push_back({candidate.info, candidate.searchOrder, false, false, false, {}});
    const OpenedInterface opened = OpenInSearchOrder(backend, interfaces, [&](const ModuleInterface &candidate) {
        const std::string error = backend.Error(nullptr);
        reasons[candidate.info.path] = backend.LastOpenDenied() ? TranslateText({kAccessDeniedMessage, {}}) : error;
        const auto tried = &candidate - interfaces.data();
        listed[static_cast<std::size_t>(tried)].tried = true;
        listed[static_cast<std::size_t>(tried)].denied = backend.LastOpenDenied();
        listed[static_cast<std::size_t>(tried)].openError = error;
    });
    if (opened.device)
        backend.Close(opened.device);
    for (ListedInterface &interface : listed)
        interface.opens = interface.info.path == opened.path && opened.device;
    run.result = JsonOfInterfaces(listed);
    for (const ModuleInterface &candidate : interfaces) {
        char vendor[8];
        char product[8];
        std::snprintf(vendor, sizeof vendor, "%04x", candidate.info.vendor_id);
        std::snprintf(product, sizeof product, "%04x", candidate.info.product_id);
        // The serial and the path are the device's words: escaped, so that none reaches the terminal
        // as a control sequence.
        const std::string serial =
            candidate.info.serial.empty() ? std::string() : TranslateText({kSerialPart, {QuotedInput(candidate.info.serial)}});
        run.Print(kInterfaceLine, {vendor, product, std::to_string(candidate.info.interface_number),
                                   QuotedInput(candidate.info.path), serial});
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
    return opened.device ? kOk : run.Fail(interfaces.empty() ? CliError::NoModule : CliError::OpenFailed);
}

int RunInfo(CCliRun &run)
{
    std::optional<ValidQuery> valid;
    if (const auto status = run.ConnectValid(valid))
        return *status;
    const ModuleSnapshot &module = valid->Snapshot();
    run.Print(kInfoLines, {run.link.OpenPath(), std::to_string(module.parameters.workMode),
                           std::to_string(module.triggerLevel), std::to_string(run.keyCount)});
    run.result = JsonOfModule(run.link.OpenPath(), run.link.OpenSerial(), module, run.keyCount);
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
    return run.Fail(CliError::Mismatch);
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
int ApplyTo(CCliRun &run, const KeyMap &map, const ValidQuery &valid, bool verify, ModuleLogEntry *entry = nullptr)
{
    const ApplyOutcome outcome = ApplyKeyMap(run.link, valid, map, run.Kept(valid.Snapshot()), [&](const KeyMapEntry &key) {
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
    if (const auto status = run.Refusal(verification.status))
        return *status;
    if (entry)
        entry->verify = VerifyVerdict(verification.report);
    return ReportVerify(run, verification.report);
}

int RunWrite(CCliRun &run)
{
    KeyMapResult result = ParseKeyArguments(run.words, run.keyCount);
    if (!result.map) {
        ShowMessage(result.error);
        return run.Fail(CliError::BadKeyMap);
    }
    std::optional<ValidQuery> valid;
    if (const auto status = run.ConnectValid(valid))
        return *status;
    return ApplyTo(run, *result.map, *valid, false);
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
        std::optional<ValidQuery> valid;
        good = !run.Query(valid) && ApplyTo(run, map, *valid, verify, &entry) == kOk;
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

// A key map from a file, or from standard input for "-"; what is wrong with it is shown.
std::optional<KeyMap> LoadKeyMap(CCliRun &run, const std::string &path)
{
    if (path != kStandardStream)
        return LoadKeyMapFile(path, run.keyCount);
    std::string content;
    char buffer[4096];
    for (std::size_t read; content.size() <= kMaxKeyMapFileSize && (read = std::fread(buffer, 1, sizeof buffer, run.env.in)) > 0;)
        content.append(buffer, read);
    if (std::ferror(run.env.in) || content.size() > kMaxKeyMapFileSize) {
        const FileError error = std::ferror(run.env.in) ? FileError{FileProblem::System, EIO} : FileError{FileProblem::TooLarge, 0, kMaxKeyMapFileSize};
        ShowMessage(kStandardInputUnread, {TranslateText(FileErrorReason(error))});
        return std::nullopt;
    }
    KeyMapResult result = ParseKeyMap(content, run.keyCount);
    if (!result.map)
        ShowMessage(result.error);
    return std::move(result.map);
}

int RunApply(CCliRun &run)
{
    const std::optional<KeyMap> map = LoadKeyMap(run, run.words.front());
    if (!map)
        return run.Fail(CliError::BadKeyMap);
    if (run.args.each)
        return ApplyEach(run, *map, run.args.count.value_or(0), run.args.verify, run.args.log);
    std::optional<ValidQuery> valid;
    if (const auto status = run.ConnectValid(valid))
        return *status;
    return ApplyTo(run, *map, *valid, run.args.verify);
}

int RunVerify(CCliRun &run)
{
    const std::optional<KeyMap> map = LoadKeyMap(run, run.words.front());
    if (!map)
        return run.Fail(CliError::BadKeyMap);
    std::optional<ValidQuery> valid;
    if (const auto status = run.ConnectValid(valid))
        return *status;
    const VerifyReport report = CompareWithModule(*map, valid->Snapshot());
    run.result = JsonOfVerify(report);
    return ReportVerify(run, report);
}

// The readable configuration as a key map; a comment names the keys the reply does not reach.
int RunDump(CCliRun &run)
{
    std::optional<ValidQuery> valid;
    if (const auto status = run.ConnectValid(valid))
        return *status;
    const ModuleSnapshot &module = valid->Snapshot();
    const KeyMap map = KeyMapOfModule(module);
    std::string note;
    if (module.keyCount > module.ReadableKeys()) {
        const std::string unreadable = KeyName(module.ReadableKeys()) +
                                       (module.keyCount - module.ReadableKeys() > 1 ? "–" + KeyName(module.keyCount - 1) : "");
        note = "# " + TranslateText({kDumpUnreadable, {std::to_string(module.ReadableKeys()), unreadable}}) + "\n";
    }
    run.result = JsonOfDump(map, module);
    run.result["file"] = run.words.empty() || run.words.front() == kStandardStream ? nlohmann::json() : nlohmann::json(run.words.front());
    if (run.words.empty() || run.words.front() == kStandardStream) {
        if (!run.args.json)
            std::fprintf(run.env.out, "%s", FormatKeyMap(map, note).c_str());
        return kOk;
    }
    return SaveKeyMapFile(run.words.front(), map, note) ? kOk : run.Fail(CliError::OutputFailed);
}

int RunParams(CCliRun &run)
{
    KeyMap map;
    map.longPress = run.args.longPress;
    map.debounce = run.args.debounce;
    std::optional<ValidQuery> valid;
    if (const auto status = run.ConnectValid(valid))
        return *status;
    return ApplyTo(run, map, *valid, false);
}

int RunDoctorCommand(CCliRun &run)
{
    return RunDoctor(run.env.backend, run.env.out, run.args.json);
}

// Checks the module, writes both steps and tells each, then searches and queries again.
int RunReset(CCliRun &run)
{
    if (!run.Connect())
        return kNoModule;
    const std::string number = run.words.front();
    const FactoryResetResult result = FactoryReset(run.link, number == "2" ? 2 : 1);
    if (const auto status = run.Refusal(result.module))
        return *status;
    run.Print(kResetParameters, {number, TranslateText({result.parametersWritten ? kStepDone : kStepFailed, {}})});
    run.Print(kResetKeys, {number, TranslateText({result.keysWritten ? kStepDone : kStepFailed, {}})});
    if (!result.Done())
        return kFailed;
    std::optional<ValidQuery> valid;
    if (const auto status = run.ConnectValid(valid))
        return *status;
    const ModuleSnapshot &module = valid->Snapshot();
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
    {"list", RunList},   {"info", RunInfo},     {"write", RunWrite}, {"apply", RunApply},         {"params", RunParams},
    {"dump", RunDump},   {"verify", RunVerify}, {"reset", RunReset}, {"doctor", RunDoctorCommand},
};
} // namespace

namespace {
// The reason a run failed, where the command did not name one: its exit status's.
CliError ErrorOfStatus(int status)
{
    switch (status) {
    case kOk:
        return CliError::None;
    case kUsage:
        return CliError::Usage;
    case kNoModule:
        return CliError::NoModule;
    case kInvalid:
        return CliError::InvalidMarker;
    case kMismatch:
        return CliError::Mismatch;
    default:
        return CliError::WriteFailed;
    }
}

int RunCommand(const CliArguments &arguments, CliEnvironment &environment)
{
    if (arguments.error) {
        ShowMessage(*arguments.error);
        if (arguments.json)
            std::fprintf(environment.out, "%s\n", JsonResult({}, kUsage, CliError::Usage, {*arguments.error}).c_str());
        return kUsage;
    }
    if (arguments.version) {
        std::fprintf(environment.out, "tavrin-cli %s\n", TavrinVersion());
        return kOk;
    }
    if (arguments.command.empty()) {
        // Asked for, the overview is the result; given instead of a command, it is a usage error.
        std::fprintf(arguments.help ? environment.out : stderr, "%s\n", TranslateText({CliOverview(), {}}).c_str());
        return arguments.help ? kOk : kUsage;
    }
    if (arguments.help) {
        std::fprintf(environment.out, "%s\n", TranslateText({CliCommandHelp(arguments.command), {}}).c_str());
        return kOk;
    }
    const auto command = std::find_if(std::begin(kCommands), std::end(kCommands),
                                      [&](const Command &candidate) { return arguments.command == candidate.name; });
    // With --json, what was said on standard error goes into the result as well; doctor words its
    // own result.
    const bool json = arguments.json && command->run != RunDoctorCommand;
    std::optional<CMessageRecorder> shown;
    if (json)
        shown.emplace(true);
    CCliRun run(environment, arguments);
    if (ModuleKeyCount(environment.keyCount).clamped)
        ShowMessage(kKeyCountClamped, {std::to_string(environment.keyCount), std::to_string(run.keyCount)});
    const int status = command->run(run);
    if (json) {
        const CliError error = status == kOk ? CliError::None : run.error != CliError::None ? run.error : ErrorOfStatus(status);
        std::fprintf(environment.out, "%s\n", JsonResult(std::move(run.result), status, error, shown->Texts()).c_str());
    }
    return status;
}
} // namespace

int RunCli(const std::vector<std::string> &args, CliEnvironment &environment)
{
    return RunCliCommand(ReadCliArguments(args), environment);
}

int RunCliCommand(const CliArguments &arguments, CliEnvironment &environment)
{
    const int status = RunCommand(arguments, environment);
    // A result that did not reach its reader (a full disk, a closed pipe) is no success.
    const bool flushed = std::fflush(environment.out) == 0;
    const int error = errno;
    if (flushed && !std::ferror(environment.out))
        return status;
    ShowMessage(kOutputFailed, {std::strerror(flushed ? EIO : error)});
    return status == kOk ? kFailed : status;
}
