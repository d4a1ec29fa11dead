#include <benchmark/benchmark.h>

#include <spawn.h>
#include <sys/wait.h>

#include <fcntl.h>

#include <string>
#include <vector>

// tavrin-cli against bare hidapi programs doing the same, as whole processes: start-up, library
// loading and exit included, which is what a script calling the tool pays. Targets: `info` within
// 1.5 x the bare query program, `list` and a search without a module within 1.5 x one bare
// enumeration. With no module plugged in, info and the bare query are both one search.
extern char **environ;

namespace {
void RunProcess(benchmark::State &state, std::vector<std::string> words)
{
    std::vector<char *> argv;
    for (std::string &word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    for (auto _ : state) {
        pid_t pid = 0;
        if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
            state.SkipWithError("cannot start the program");
            break;
        }
        int status = 0;
        waitpid(pid, &status, 0);
    }
    posix_spawn_file_actions_destroy(&actions);
}
} // namespace

static void BM_CliInfo(benchmark::State &state)
{
    RunProcess(state, {TAVRIN_CLI, "info"});
}
BENCHMARK(BM_CliInfo)->Unit(benchmark::kMillisecond)->UseRealTime();

static void BM_CliInfoEnglish(benchmark::State &state)
{
    RunProcess(state, {TAVRIN_CLI, "--lang", "en", "info"});
}
BENCHMARK(BM_CliInfoEnglish)->Unit(benchmark::kMillisecond)->UseRealTime();

static void BM_RawHidInfo(benchmark::State &state)
{
    RunProcess(state, {RAW_HID_INFO});
}
BENCHMARK(BM_RawHidInfo)->Unit(benchmark::kMillisecond)->UseRealTime();

static void BM_CliList(benchmark::State &state)
{
    RunProcess(state, {TAVRIN_CLI, "list"});
}
BENCHMARK(BM_CliList)->Unit(benchmark::kMillisecond)->UseRealTime();

static void BM_RawHidEnumerate(benchmark::State &state)
{
    RunProcess(state, {RAW_HID_ENUMERATE});
}
BENCHMARK(BM_RawHidEnumerate)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
