#include "cli/ProductionLine.h"

#include "cli/CliRun.h"
#include "cli/ExitStatus.h"
#include "cli/ModuleLog.h"
#include "common/MessageSink.h"
#include "common/Sha256.h"
#include "device/ModuleSearch.h"
#include "settings/SafeFile.h"
#include "settings/Utf8Path.h"

#include <chrono>
#include <mutex>

namespace {
using namespace CliExit;

constexpr const char *kEachDone = QT_TRANSLATE_NOOP("Tavrin", "第 %1 个模块：写入完成（%2）");
constexpr const char *kEachFailed = QT_TRANSLATE_NOOP("Tavrin", "第 %1 个模块：写入失败（%2）");
constexpr const char *kEachSummary = QT_TRANSLATE_N_NOOP("Tavrin", "共 %1 个模块：完成 %2 个，失败 %3 个");
constexpr const char *kEachWaiting = QT_TRANSLATE_NOOP("Tavrin", "请插入下一个模块（按 Ctrl-C 结束）");
constexpr const char *kEachRefused = QT_TRANSLATE_NOOP("Tavrin", "第 %1 个模块：无法打开（%2）：%3");
constexpr const char *kLogNotWritten = QT_TRANSLATE_NOOP("Tavrin", "日志文件 %1 无法写入：%2");
constexpr const char *kInterrupted = QT_TRANSLATE_NOOP("Tavrin", "写入中被第二次 Ctrl-C 中断，模块的状态不明");

// Appends a line to the log, or says why it could not: false then. An empty line only checks that
// the log can take lines.
bool AppendToLog(const std::string &logFile, std::string_view line)
{
    const FileError error = AppendLineToFile(PathFromUtf8(logFile), line);
    if (error.Failed())
        ShowMessage(kLogNotWritten, {QuotedInput(logFile), TranslateText(FileErrorReason(error))});
    return !error.Failed();
}

// The production log's line for the module in hand, written once: by the line when the module is
// done, or by the second Ctrl-C's last words when they end the process first.
class CModuleInHand {
public:
    explicit CModuleInHand(const std::optional<std::string> &logFile) : m_logFile(logFile) {}

    void Begin(const ModuleLogEntry &start)
    {
        const std::lock_guard lock(m_lock);
        m_start = start;
        m_bLogged = false;
    }

    // False when the line could not be written (and said so).
    bool Log(const ModuleLogEntry &entry)
    {
        const std::lock_guard lock(m_lock);
        return std::exchange(m_bLogged, true) || Append(entry);
    }

    void LogInterrupted()
    {
        const std::lock_guard lock(m_lock);
        if (std::exchange(m_bLogged, true))
            return;
        ModuleLogEntry entry = m_start;
        entry.durationMs = MillisecondsSince(entry.time);
        entry.error = CliError::Interrupted;
        entry.exitStatus = ErrorCodeOf(entry.error).exitStatus;
        entry.errorText = ComposeText({kInterrupted, {}});
        Append(entry);
    }

    static long long MillisecondsSince(std::chrono::system_clock::time_point start)
    {
        return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::system_clock::now() - start).count();
    }

private:
    bool Append(const ModuleLogEntry &entry) const { return !m_logFile || AppendToLog(*m_logFile, JsonLine(entry)); }

    std::mutex m_lock;
    const std::optional<std::string> &m_logFile;
    ModuleLogEntry m_start;
    bool m_bLogged = true;
};

// One module of the production line: the search found it open, or there but refusing to open.
// The messages shown meanwhile are its error when it fails. The exit status it stands for.
int ServeModule(CCliRun &run, const ProductionLine &line, const SearchResult &found, int number, ModuleLogEntry &entry)
{
    const CMessageRecorder shown(true);
    run.error = CliError::None;
    int status = kOk;
    if (found.status == SearchStatus::Opened) {
        std::optional<ValidQuery> valid;
        AppliedMap applied;
        const std::optional<int> refused = run.Query(valid);
        status = refused ? *refused : ApplyTo(run, line.map, *valid, line.verify, &applied);
        entry.written = applied.written;
        entry.verify = applied.differences;
        run.Print(status == kOk ? kEachDone : kEachFailed, {std::to_string(number), entry.node});
    } else {
        status = run.Fail(CliError::OpenFailed);
        const UserText reason = found.status == SearchStatus::AccessDenied ? UserText{kAccessDeniedMessage, {}}
                                                                            : UserText{"%1", {found.refusedError}};
        run.Print(kEachRefused, {std::to_string(number), entry.node, TranslateText(reason)});
        entry.errorText = ComposeText(reason);
    }
    if (status != kOk) {
        entry.error = run.ErrorOf(status);
        for (const UserText &text : shown.Texts())
            entry.errorText += (entry.errorText.empty() ? "" : "; ") + ComposeText(text);
    }
    entry.exitStatus = status;
    return status;
}
} // namespace

// Module after module until the count is reached or Ctrl-C. A module that is there but cannot be
// opened is told of once and counted as failed; after each module the line waits for it to be
// pulled out. The log is checked before the first module, and a second Ctrl-C logs the module in
// hand as interrupted before the process ends.
int RunProductionLine(CCliRun &run, const ProductionLine &line)
{
    if (line.logFile && !AppendToLog(*line.logFile, {}))
        return run.Fail(CliError::LogFailed);
    CModuleInHand inHand(line.logFile);
    if (run.env.setLastWords)
        run.env.setLastWords([&inHand] { inHand.LogInterrupted(); });
    const std::string mapSha256 = Sha256Hex(line.mapBytes);
    run.bWait = true;
    run.waitMs = -1;
    run.bReportRefused = true;
    int done = 0;
    int failed = 0;
    bool logged = true;
    bool afterRemoval = false;
    while (!run.env.interrupted() && (line.count <= 0 || done + failed < line.count)) {
        run.Print(kEachWaiting);
        const SearchResult found = run.Search(afterRemoval);
        if (found.status != SearchStatus::Opened && found.refusedPath.empty())
            break;
        ModuleLogEntry entry;
        entry.time = std::chrono::system_clock::now();
        entry.node = found.status == SearchStatus::Opened ? run.link.OpenPath() : found.refusedPath;
        entry.serial = found.status == SearchStatus::Opened ? run.link.OpenSerial() : std::string();
        entry.mapFile = line.mapFile;
        entry.mapSha256 = mapSha256;
        inHand.Begin(entry);
        // Its nodes as the watcher knows them now, while they are all there.
        const WatchedModule served = run.Wait().ModuleOf(entry.node);
        ++(ServeModule(run, line, found, done + failed + 1, entry) == kOk ? done : failed);
        entry.durationMs = CModuleInHand::MillisecondsSince(entry.time);
        logged = inHand.Log(entry) && logged;
        if (line.count > 0 && done + failed >= line.count)
            break;
        run.link.Close();
        run.Wait().ForRemoval([&] { return run.Listed(served.nodes); });
        afterRemoval = true;
    }
    if (run.env.setLastWords)
        run.env.setLastWords(nullptr);
    run.Print(kEachSummary, {std::to_string(done + failed), std::to_string(done), std::to_string(failed)}, done + failed);
    if (!logged)
        return run.Fail(CliError::LogFailed);
    return failed > 0 ? run.Fail(CliError::WriteFailed) : kOk;
}
