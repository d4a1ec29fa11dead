// tavrin-wine-bed: emulated key modules for a whole Wine session. Started under umockdev-wrapper,
// it plugs and pulls modules on the schedule its arguments give, runs the command after "--" as
// its child (so that wineserver, winedevice and the program all start inside the testbed and
// reach the emulated hidraw nodes), and exits with the child's status. Any command will do: the
// Linux programs run in it as well. Afterwards every module's output reports and memory are in
// the records folder, one file each, as hex lines.
#include "HidrawTestbed.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <fstream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

extern char **environ;

namespace {
constexpr const char *kUsage =
    "usage: tavrin-wine-bed --records DIR [--module SERIAL,PLUG[,PULL]]... -- COMMAND [ARG]...\n"
    "  PLUG  seconds after the start, or +SECONDS after the module before it was pulled\n"
    "  PULL  seconds after plugging in; #N: as soon as it has received N output reports (between\n"
    "        a program's write and the next); #N+SECONDS: that long after its Nth report\n";
constexpr auto kTick = std::chrono::milliseconds(20);
// A module pulled out on the schedule loses its interfaces this far apart, as the kernel takes
// them away one after the other. (Wine 8's HID bus, given both at once, may drop the next module's
// first interface along with the last one's.)
constexpr double kInterfaceGapSeconds = 0.5;
using Clock = std::chrono::steady_clock;

struct ModulePlan {
    std::string serial;
    double plugAt = 0; // seconds
    bool plugAfterPrevious = false;
    std::optional<double> pullAfterSeconds; // after plugging in, or after the reports below
    std::optional<int> pullAfterReports;
};

struct Arguments {
    std::string records;
    std::vector<ModulePlan> modules;
    std::vector<char *> command;
};

std::optional<double> Seconds(const std::string &text)
{
    char *end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || !std::isfinite(value) || value < 0)
        return std::nullopt;
    return value;
}

std::optional<ModulePlan> ParseModule(const std::string &text)
{
    std::vector<std::string> fields;
    for (std::size_t start = 0;;) {
        const std::size_t comma = text.find(',', start);
        fields.push_back(text.substr(start, comma - start));
        if (comma == std::string::npos)
            break;
        start = comma + 1;
    }
    if (fields.size() < 2 || fields.size() > 3 || fields[0].empty())
        return std::nullopt;
    ModulePlan plan;
    plan.serial = fields[0];
    plan.plugAfterPrevious = fields[1].starts_with('+');
    const std::optional<double> plug = Seconds(fields[1].substr(plan.plugAfterPrevious ? 1 : 0));
    if (!plug)
        return std::nullopt;
    plan.plugAt = *plug;
    if (fields.size() == 3 && fields[2].starts_with('#')) {
        const std::size_t plus = fields[2].find('+');
        const std::optional<double> reports = Seconds(fields[2].substr(1, plus - 1));
        if (!reports || *reports < 1 || *reports != static_cast<int>(*reports))
            return std::nullopt;
        plan.pullAfterReports = static_cast<int>(*reports);
        if (plus != std::string::npos && !(plan.pullAfterSeconds = Seconds(fields[2].substr(plus + 1))))
            return std::nullopt;
    } else if (fields.size() == 3) {
        plan.pullAfterSeconds = Seconds(fields[2]);
        if (!plan.pullAfterSeconds)
            return std::nullopt;
    }
    return plan;
}

std::optional<Arguments> Parse(int argc, char *argv[])
{
    Arguments arguments;
    int i = 1;
    for (; i < argc && std::string(argv[i]) != "--"; ++i) {
        const std::string option = argv[i];
        if (i + 1 >= argc)
            return std::nullopt;
        const std::string value = argv[++i];
        if (option == "--records") {
            arguments.records = value;
        } else if (option == "--module") {
            std::optional<ModulePlan> plan = ParseModule(value);
            if (!plan || (plan->plugAfterPrevious && arguments.modules.empty()))
                return std::nullopt;
            arguments.modules.push_back(*plan);
        } else {
            return std::nullopt;
        }
    }
    for (++i; i < argc; ++i)
        arguments.command.push_back(argv[i]);
    if (arguments.records.empty() || arguments.command.empty())
        return std::nullopt;
    arguments.command.push_back(nullptr);
    return arguments;
}

pid_t Start(std::vector<char *> &command)
{
    pid_t child = -1;
    const int error = posix_spawnp(&child, command[0], nullptr, nullptr, command.data(), environ);
    if (error != 0) {
        std::fprintf(stderr, "tavrin-wine-bed: cannot start %s: %s\n", command[0], std::strerror(error));
        return -1;
    }
    return child;
}

// A wineserver started before the testbed would serve the session from outside it, and one left
// running afterwards would outlive the nodes: the prefix's server is ended before and after the
// command. Without WINEPREFIX there is no session's prefix, and the user's own is left alone.
void EndWineServer()
{
    if (!std::getenv("WINEPREFIX"))
        return;
    std::vector<char *> kill{const_cast<char *>("wineserver"), const_cast<char *>("-k"), nullptr};
    const pid_t server = Start(kill);
    int status = 0;
    if (server > 0)
        waitpid(server, &status, 0);
}

std::string Hex(const std::uint8_t *bytes, std::size_t size)
{
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string hex;
    for (std::size_t i = 0; i < size; ++i) {
        hex += kDigits[bytes[i] >> 4];
        hex += kDigits[bytes[i] & 0x0F];
    }
    return hex;
}

bool WriteRecords(const std::string &folder, const std::string &serial, const CVirtualModule &module)
{
    std::ofstream reports(folder + "/" + serial + ".reports");
    for (const std::vector<std::uint8_t> &report : module.Reports())
        reports << Hex(report.data(), report.size()) << '\n';
    std::ofstream memory(folder + "/" + serial + ".memory");
    memory << Hex(module.Memory().data(), module.Memory().size()) << '\n';
    return reports.good() && memory.good();
}

// One module's way through the schedule.
struct Scheduled {
    ModulePlan plan;
    CVirtualModule module;
    std::optional<Clock::time_point> pluggedAt;
    std::optional<Clock::time_point> reportsAt; // when it had received the reports it waits for
    std::optional<Clock::time_point> firstGoneAt; // its first interface taken away
    std::optional<Clock::time_point> pulledAt;
    std::string firstNode;
};

// Plugs and pulls what is due by now.
void RunDue(CHidrawTestbed &testbed, std::deque<Scheduled> &modules, Clock::time_point start)
{
    const auto now = Clock::now();
    const auto after = [](Clock::time_point from, double seconds) {
        return from + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
    };
    for (std::size_t i = 0; i < modules.size(); ++i) {
        Scheduled &entry = modules[i];
        if (entry.pluggedAt && !entry.pulledAt && !testbed.IsPlugged(entry.module))
            entry.pulledAt = now; // pulled by the handlers, after its reports
        if (!entry.pluggedAt) {
            const std::optional<Clock::time_point> from =
                entry.plan.plugAfterPrevious ? modules[i - 1].pulledAt : std::optional(start);
            if (!from || now < after(*from, entry.plan.plugAt))
                continue;
            testbed.SetSerial(entry.module, entry.plan.serial);
            entry.firstNode = testbed.AddInterface(entry.module, 0x0B05, 0x185F, 1);
            testbed.AddInterface(entry.module, 0x0B05, 0x185F, 2);
            if (entry.plan.pullAfterReports && !entry.plan.pullAfterSeconds)
                testbed.PullAfterReports(entry.module, *entry.plan.pullAfterReports);
            entry.pluggedAt = now;
            continue;
        }
        if (entry.pulledAt || !entry.plan.pullAfterSeconds)
            continue;
        if (entry.plan.pullAfterReports && !entry.reportsAt &&
            testbed.ReportsReceived(entry.module) >= *entry.plan.pullAfterReports)
            entry.reportsAt = now;
        const std::optional<Clock::time_point> from = entry.plan.pullAfterReports ? entry.reportsAt : entry.pluggedAt;
        if (!entry.firstGoneAt && from && now >= after(*from, *entry.plan.pullAfterSeconds)) {
            testbed.RemoveInterface(entry.firstNode);
            entry.firstGoneAt = now;
        } else if (entry.firstGoneAt && now >= after(*entry.firstGoneAt, kInterfaceGapSeconds)) {
            testbed.Unplug(entry.module);
            entry.pulledAt = now;
        }
    }
}
} // namespace

int main(int argc, char *argv[])
{
    std::optional<Arguments> arguments = Parse(argc, argv);
    if (!arguments) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    if (!CHidrawTestbed::IsAvailable()) {
        std::fputs("tavrin-wine-bed: start it under umockdev-wrapper\n", stderr);
        return 2;
    }
    // Declared before the testbed that points at them, so that they outlive it.
    std::deque<Scheduled> modules;
    for (const ModulePlan &plan : arguments->modules)
        modules.emplace_back().plan = plan;
    int status = 0;
    {
        CHidrawTestbed testbed;
        const auto start = Clock::now();
        RunDue(testbed, modules, start);
        EndWineServer();
        const pid_t child = Start(arguments->command);
        if (child < 0)
            return 2;
        while (waitpid(child, &status, WNOHANG) == 0) {
            std::this_thread::sleep_for(kTick);
            RunDue(testbed, modules, start);
        }
        EndWineServer();
    }
    bool recorded = true;
    for (const Scheduled &entry : modules)
        recorded = WriteRecords(arguments->records, entry.plan.serial, entry.module) && recorded;
    if (!recorded) {
        std::fprintf(stderr, "tavrin-wine-bed: cannot write the records into %s\n", arguments->records.c_str());
        return 2;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}
