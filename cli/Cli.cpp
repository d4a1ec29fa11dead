#include "cli/Cli.h"

#include "cli/CliArguments.h"
#include "cli/CliJson.h"
#include "cli/CliRun.h"
#include "cli/Doctor.h"
#include "cli/ExitStatus.h"
#include "cli/ProductionLine.h"
#include "common/MessageSink.h"
#include "common/Version.h"
#include "device/HidBackend.h"
#include "device/ModuleCommands.h"
#include "device/ModuleSearch.h"
#include "keymap/KeyMapFile.h"
#include "keymap/KeyMapReader.h"
#include "keymap/KeyMapWriter.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>

namespace {
using namespace CliExit;

struct Command {
    const char *name;
    int (*run)(class CCliRun &run);
};

constexpr const char *kInterfaceLine = QT_TRANSLATE_NOOP("Tavrin", "%1:%2 接口 %3 %4%5");
constexpr const char *kSerialPart = QT_TRANSLATE_NOOP("Tavrin", "（序列号 %1）");
constexpr const char *kOpensThis = QT_TRANSLATE_NOOP("Tavrin", "  查找模块时打开此接口");
constexpr const char *kCannotOpen = QT_TRANSLATE_NOOP("Tavrin", "  无法打开：%1");
constexpr const char *kNotTried = QT_TRANSLATE_NOOP("Tavrin", "  查找模块时不使用此接口");
constexpr const char *kInfoLines = QT_TRANSLATE_NOOP("Tavrin", "接口：%1\n工作模式：%2\n触发电平：%3\n按键数：%4");
constexpr const char *kResetParameters = QT_TRANSLATE_NOOP("Tavrin", "恢复出厂%1：参数%2");
constexpr const char *kResetKeys = QT_TRANSLATE_NOOP("Tavrin", "恢复出厂%1：按键%2");
constexpr const char *kStepDone = QT_TRANSLATE_NOOP("Tavrin", "写入完成");
constexpr const char *kStepFailed = QT_TRANSLATE_NOOP("Tavrin", "写入失败");
constexpr const char *kResetQueried = QT_TRANSLATE_NOOP("Tavrin", "恢复出厂%1完成，重新查询模块：有效");
constexpr const char *kResetDiffers = QT_TRANSLATE_NOOP("Tavrin", "恢复出厂%1后重新查询：%2 不同：写入 %3，模块 %4");
constexpr const char *kResetNotKept = QT_TRANSLATE_NOOP("Tavrin", "恢复出厂%1失败：模块中有 %2 处与写入的不同");
constexpr const char *kDumpUnreadable = QT_TRANSLATE_NOOP("Tavrin", "模块的应答只包含 KEY-1 到 KEY-%1，%2 无法读出");


constexpr const char *kOutputFailed = QT_TRANSLATE_NOOP("Tavrin", "输出没有全部写出（%1）");

int RunList(CCliRun &run)
{
    IHidBackend &backend = run.env.backend;
    if (backend.Init() != 0)
        ShowMessage(QT_TRANSLATE_NOOP("Tavrin", "设备初始化失败"));
    const std::vector<ModuleInterface> interfaces = ListModuleInterfaces(backend, run.choice);
    std::vector<ListedInterface> listed;
    for (const ModuleInterface &candidate : interfaces)
        listed.push_back({candidate.info, candidate.searchOrder, false, false, false, {}});
    const OpenedInterface opened = OpenInSearchOrder(backend, interfaces, [&](const ModuleInterface &candidate) {
        ListedInterface &tried = listed[static_cast<std::size_t>(&candidate - interfaces.data())];
        tried.tried = true;
        tried.openError = backend.Error(nullptr);
        tried.denied = backend.LastOpenDenied();
    });
    if (opened.device)
        backend.Close(opened.device);
    for (ListedInterface &interface : listed)
        interface.opens = interface.info.path == opened.path && opened.device;
    run.result = JsonOfInterfaces(listed);
    for (const ListedInterface &interface : listed) {
        const HidDeviceInfo &info = interface.info;
        // The serial and the path are the device's words: escaped, so that none reaches the terminal
        // as a control sequence.
        const std::string serial = info.serial.empty() ? std::string() : TranslateText({kSerialPart, {QuotedInput(info.serial)}});
        run.Print(kInterfaceLine, {Hex4(info.vendor_id), Hex4(info.product_id), std::to_string(info.interface_number),
                                   QuotedInput(info.path), serial});
        if (info.path == opened.path)
            run.Print(kOpensThis);
        else if (interface.tried)
            run.Print(kCannotOpen, {interface.denied ? TranslateText({kAccessDeniedMessage, {}}) : interface.openError});
        else if (interface.searchOrder < 0)
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

int RunApply(CCliRun &run)
{
    std::string bytes;
    const std::optional<KeyMap> map = LoadKeyMap(run, run.words.front(), &bytes);
    if (!map)
        return run.Fail(CliError::BadKeyMap);
    if (run.args.each)
        return RunProductionLine(run, {*map, run.words.front(), std::move(bytes), run.args.count.value_or(0), run.args.verify, run.args.log});
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
    const bool toStandardOutput = run.words.empty() || run.words.front() == kStandardStream;
    run.result["file"] = toStandardOutput ? nlohmann::json() : nlohmann::json(run.words.front());
    if (toStandardOutput) {
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
    const int configuration = number == "2" ? 2 : 1;
    const FactoryResetResult result = FactoryReset(run.link, configuration);
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
    const std::vector<ConfigDifference> differences = FactoryResetDifferences(configuration, module);
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
        std::fprintf(environment.out, "%s\n", JsonResult(std::move(run.result), status, run.ErrorOf(status), shown->Texts()).c_str());
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
