#include "HidrawTestbed.h"
#include "device/DeviceLink.h"
#include "device/HidapiBackend.h"
#include "device/KeyMapApply.h"
#include "keymap/KeyMap.h"
#include "keymap/KeyMapReader.h"
#include "keymap/ModuleConfig.h"

#include <benchmark/benchmark.h>

#include <string>

// Applying a 64-key map on the real hidapi path over emulated hidraw nodes, against bare hid_write
// calls of the very reports it sends. Target: the key map within 5 % of the bare loop, so the tool
// adds nothing a production line would notice. Run under umockdev-wrapper.
namespace {
constexpr ModuleParameters kKept{0, 0, 0, 40};

struct HidrawBench {
    HidrawBench()
    {
        AddStandardModule(testbed, module);
        link.OpenModule();
        std::string text;
        for (int key = 1; key <= kMaxKeyCount; ++key)
            text += "KEY-" + std::to_string(key) + " = CTRL+ALT+DEL\n";
        map = *ParseKeyMap(text, kMaxKeyCount).map;
        valid = ReadModule(link, kMaxKeyCount).valid;
        module.ClearReports();
        ApplyKeyMap(link, *valid, map, kKept, {});
        reports = module.Reports();
        module.ClearReports();
    }
    CVirtualModule module;
    CHidrawTestbed testbed;
    CHidapiBackend backend;
    CDeviceLink link{backend};
    KeyMap map;
    std::optional<ValidQuery> valid;
    std::vector<std::vector<std::uint8_t>> reports;
};
} // namespace

static void BM_HidrawApplyKeyMap64(benchmark::State &state)
{
    HidrawBench bench;
    for (auto _ : state) {
        benchmark::DoNotOptimize(ApplyKeyMap(bench.link, *bench.valid, bench.map, kKept, {}));
        bench.module.ClearReports();
    }
}
BENCHMARK(BM_HidrawApplyKeyMap64);

static void BM_HidrawBareReports64(benchmark::State &state)
{
    HidrawBench bench;
    HidHandle device = bench.backend.OpenPath(bench.link.OpenPath());
    for (auto _ : state) {
        for (const auto &report : bench.reports)
            benchmark::DoNotOptimize(bench.backend.Write(device, report.data(), report.size()));
        bench.module.ClearReports();
    }
    bench.backend.Close(device);
}
BENCHMARK(BM_HidrawBareReports64);

// apply --verify against apply, for the twelve keys the query reads back. Target: the verify costs
// one query (two reports' worth of time) and nothing more; the counter shows the reports sent.
static void ApplyTwelve(benchmark::State &state, bool verify)
{
    HidrawBench bench;
    std::string text;
    for (int key = 1; key <= kReadableKeys; ++key)
        text += "KEY-" + std::to_string(key) + " = GameKey" + std::to_string(1 + key % 8) + "\n";
    const KeyMap map = *ParseKeyMap(text, kReadableKeys).map;
    std::size_t reports = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(ApplyKeyMap(bench.link, *bench.valid, map, kKept, {}));
        if (verify)
            benchmark::DoNotOptimize(VerifyModule(bench.link, map, kReadableKeys));
        reports += bench.module.Reports().size();
        bench.module.ClearReports();
    }
    state.counters["reports"] = benchmark::Counter(static_cast<double>(reports), benchmark::Counter::kAvgIterations);
}
static void BM_HidrawApply12(benchmark::State &state)
{
    ApplyTwelve(state, false);
}
static void BM_HidrawApply12Verify(benchmark::State &state)
{
    ApplyTwelve(state, true);
}
BENCHMARK(BM_HidrawApply12);
BENCHMARK(BM_HidrawApply12Verify);
