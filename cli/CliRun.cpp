#include "cli/CliRun.h"

#include "cli/ExitStatus.h"
#include "common/MessageSink.h"
#include "device/KeyMapApply.h"
#include "device/ModuleSearch.h"
#include "keymap/KeyMapFile.h"
#include "keymap/KeyMapReader.h"
#include "keymap/KeyMapWriter.h"
#include "settings/SafeFile.h"
#include "settings/Utf8Path.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <sstream>

namespace {
using namespace CliExit;

constexpr const char *kTransportTexts[] = {
    QT_TRANSLATE_NOOP("Tavrin", "无法向模块发送命令，模块是否已拔出？"),
    QT_TRANSLATE_NOOP("Tavrin", "向模块写数据失败"),
    QT_TRANSLATE_NOOP("Tavrin", "从模块读数据失败"),
};
constexpr const char *kNoReply = QT_TRANSLATE_NOOP("Tavrin", "模块没有应答");
constexpr const char *kModuleNotOpened = QT_TRANSLATE_NOOP("Tavrin", "模块已连接，但无法打开（%1）：%2");
constexpr const char *kNothingMatches = QT_TRANSLATE_NOOP("Tavrin", "没有与 %1 相符的模块；插着的模块接口：%2");
constexpr const char *kNothingMatchesNone = QT_TRANSLATE_NOOP("Tavrin", "没有与 %1 相符的模块；没有插着的模块");
constexpr const char *kSerialPart = QT_TRANSLATE_NOOP("Tavrin", "（序列号 %1）");
constexpr const char *kParametersDone = QT_TRANSLATE_NOOP("Tavrin", "参数写入完成");
constexpr const char *kVerifyMatches = QT_TRANSLATE_NOOP("Tavrin", "校验：%1 个按键和参数与模块一致");
constexpr const char *kVerifyDiffers = QT_TRANSLATE_NOOP("Tavrin", "校验：%1 不同：文件 %2，模块 %3");
constexpr const char *kVerifyFailed = QT_TRANSLATE_NOOP("Tavrin", "校验失败：模块中有 %1 处与文件不同");
constexpr const char *kVerifyUnreadable = QT_TRANSLATE_NOOP("Tavrin", "校验：%1 超出模块应答能读出的按键，未能校验");
constexpr const char *kStandardInputUnread = QT_TRANSLATE_NOOP("Tavrin", "无法读取标准输入：%1");
constexpr const char *kReadFailed = QT_TRANSLATE_NOOP("Tavrin", "无法读取键值文件 %1：%2");

int StatusOf(WriteResult result)
{
    return result == WriteResult::Done ? kOk : result == WriteResult::Refused ? kUsage : kFailed;
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

// Standard input, up to the size a key-map file may have.
FileError ReadStandardInput(std::FILE *in, std::string &content)
{
    char buffer[4096];
    for (std::size_t read; content.size() <= kMaxKeyMapFileSize && (read = std::fread(buffer, 1, sizeof buffer, in)) > 0;)
        content.append(buffer, read);
    if (std::ferror(in))
        return {FileProblem::System, EIO};
    if (content.size() > kMaxKeyMapFileSize)
        return {FileProblem::TooLarge, 0, kMaxKeyMapFileSize};
    return {};
}
} // namespace

CCliRun::CCliRun(CliEnvironment &environment, const CliArguments &arguments)
    : env(environment), link(environment.backend), args(arguments), words(arguments.operands),
      keyCount(ModuleKeyCount(environment.keyCount).count), bWait(arguments.waitMs.has_value()),
      waitMs(arguments.waitMs.value_or(-1)), choice(arguments.choice)
{
    link.SetFailureReport([](TransportFailure failure) { ShowMessage(kTransportTexts[static_cast<int>(failure)]); });
    link.Choose(choice);
}

void CCliRun::Print(const char *source, std::vector<std::string> values, int count) const
{
    if (args.json)
        return;
    std::fprintf(env.out, "%s\n", TranslateText({source, std::move(values), count}).c_str());
    std::fflush(env.out);
}

CModuleWait &CCliRun::Wait()
{
    if (!wait) {
        watcher = env.makeWatcher ? env.makeWatcher() : nullptr;
        wait.emplace(watcher.get(), env.waitReady, env.sleep, env.interrupted);
    }
    return *wait;
}

SearchResult CCliRun::Search(bool afterRemoval)
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

bool CCliRun::Connect()
{
    const SearchResult found = Search();
    if (found.status == SearchStatus::Opened)
        return true;
    Fail(link.AccessDenied() || !found.refusedPath.empty() ? CliError::OpenFailed : CliError::NoModule);
    if (found.status == SearchStatus::Absent && !found.refusedPath.empty())
        ShowMessage(kModuleNotOpened, {found.refusedPath, found.refusedError});
    else if (!link.AccessDenied() && (!choice.node.empty() || !choice.serial.empty()))
        ShowUnmatched();
    else
        ShowSearchFailure(link);
    return false;
}

void CCliRun::ShowUnmatched()
{
    std::string present;
    for (const ModuleInterface &candidate : ListModuleInterfaces(env.backend)) {
        present += (present.empty() ? "" : ", ") + QuotedInput(candidate.info.path);
        if (!candidate.info.serial.empty())
            present += TranslateText({kSerialPart, {QuotedInput(candidate.info.serial)}});
    }
    const std::string selector =
        choice.node.empty() ? "--serial " + QuotedInput(choice.serial) : "--device " + QuotedInput(choice.node);
    if (present.empty())
        ShowMessage(kNothingMatchesNone, {selector});
    else
        ShowMessage(kNothingMatches, {selector, present});
}

int CCliRun::Fail(CliError failure)
{
    if (error == CliError::None)
        error = failure;
    return ErrorCodeOf(failure).exitStatus;
}

CliError CCliRun::ErrorOf(int status) const
{
    if (status == kOk)
        return CliError::None;
    if (error != CliError::None)
        return error;
    switch (status) {
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

bool CCliRun::Listed(const std::vector<std::string> &nodes)
{
    const auto interfaces = ListModuleInterfaces(env.backend, choice);
    return std::any_of(interfaces.begin(), interfaces.end(), [&](const ModuleInterface &candidate) {
        // The watcher's spelling of a node may differ from the search's (Windows paths in case).
        return std::any_of(nodes.begin(), nodes.end(), [&](const std::string &node) {
            return WatchedNode(node) == WatchedNode(candidate.info.path);
        });
    });
}

std::optional<int> CCliRun::ConnectValid(std::optional<ValidQuery> &valid)
{
    if (!Connect())
        return kNoModule;
    return Query(valid);
}

std::optional<int> CCliRun::Query(std::optional<ValidQuery> &valid)
{
    ModuleReading reading = ReadModule(link, keyCount);
    valid = std::move(reading.valid);
    return Refusal(reading.status);
}

std::optional<int> CCliRun::Refusal(QueryStatus status)
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

ModuleParameters CCliRun::Kept(const ModuleSnapshot &module) const
{
    return KeptParameters(module, env.settingsParameters);
}

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

int ApplyTo(CCliRun &run, const KeyMap &map, const ValidQuery &valid, bool verify, AppliedMap *applied)
{
    const ApplyOutcome outcome = ApplyKeyMap(run.link, valid, map, run.Kept(valid.Snapshot()), [&](const KeyMapEntry &key) {
        const std::string line = KeyLogLine(key.keyIndex, key.text);
        std::fprintf(run.env.out, "%s\n", line.c_str());
        if (applied)
            applied->written.push_back(line);
    });
    if (outcome.result != WriteResult::Done) {
        ShowMessage(DescribeApplyFailure(outcome));
        return StatusOf(outcome.result);
    }
    if (outcome.parameters) {
        run.Print(kParametersDone);
        if (applied) {
            const std::vector<std::string> parameters = ParameterLines(map);
            applied->written.insert(applied->written.end(), parameters.begin(), parameters.end());
        }
    }
    if (!verify)
        return kOk;
    const ModuleVerification verification = VerifyModule(run.link, map, run.keyCount);
    if (const auto status = run.Refusal(verification.status))
        return *status;
    if (applied)
        applied->differences = verification.report.differences;
    return ReportVerify(run, verification.report);
}

std::optional<KeyMap> LoadKeyMap(CCliRun &run, const std::string &path, std::string *bytes)
{
    std::string content;
    const bool standardInput = path == kStandardStream;
    const FileError error = standardInput ? ReadStandardInput(run.env.in, content)
                                          : ReadRegularFile(PathFromUtf8(path), content, kMaxKeyMapFileSize);
    if (error.Failed()) {
        const std::string reason = TranslateText(FileErrorReason(error));
        if (standardInput)
            ShowMessage(kStandardInputUnread, {reason});
        else
            ShowMessage(kReadFailed, {QuotedInput(path), reason});
        return std::nullopt;
    }
    KeyMapResult result = ParseKeyMap(content, run.keyCount);
    if (!result.map)
        ShowMessage(result.error);
    if (bytes)
        *bytes = std::move(content);
    return std::move(result.map);
}
