#include "HidrawTestbed.h"
#include "cli/Cli.h"
#include "device/HidapiBackend.h"
#include "device/ModuleWatcher.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <thread>

// From a module's announcement to the end of its query under `tavrin-cli info --wait`, against
// `tavrin-cli info` with the same module present from the start. Target: within a few
// milliseconds of each other, since the wait follows the announcement rather than a poll period
// (which alone would add half of 250 ms on average). Run under umockdev-wrapper.
namespace {
using Clock = std::chrono::steady_clock;

struct HotplugBench {
    CliEnvironment Environment()
    {
        CliEnvironment environment{backend, 8, [](int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); },
                                   [] { return false; }, out};
        environment.makeWatcher = CreateModuleWatcher;
        environment.waitReady = [](ReadySignal watcher, int milliseconds) { WaitForReady({watcher}, milliseconds); };
        return environment;
    }

    CVirtualModule module;
    CHidrawTestbed testbed;
    CHidapiBackend backend;
    std::FILE *out = std::fopen("/dev/null", "w");
};
} // namespace

static void BM_InfoWaitAnnouncedModule(benchmark::State &state)
{
    HotplugBench bench;
    for (auto _ : state) {
        CliEnvironment environment = bench.Environment();
        Clock::time_point announced{};
        const auto wait = environment.waitReady;
        // The module is plugged in once the tool waits for it.
        environment.waitReady = [&](ReadySignal watcher, int milliseconds) {
            if (announced == Clock::time_point{}) {
                AddStandardModule(bench.testbed, bench.module);
                announced = Clock::now();
            }
            wait(watcher, milliseconds);
        };
        if (RunCli({"info", "--wait=5"}, environment) != CliExit::kOk)
            state.SkipWithError("the announced module was not queried");
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - announced).count());
        bench.testbed.Unplug(bench.module);
    }
}
BENCHMARK(BM_InfoWaitAnnouncedModule)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(40);

static void BM_InfoPresentModule(benchmark::State &state)
{
    HotplugBench bench;
    AddStandardModule(bench.testbed, bench.module);
    for (auto _ : state) {
        CliEnvironment environment = bench.Environment();
        const Clock::time_point start = Clock::now();
        if (RunCli({"info"}, environment) != CliExit::kOk)
            state.SkipWithError("the module was not queried");
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
    }
}
BENCHMARK(BM_InfoPresentModule)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(40);
