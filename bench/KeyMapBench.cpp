#include "device/DeviceLink.h"
#include "keymap/KeyMap.h"
#include "sim/VirtualHidBackend.h"

#include <benchmark/benchmark.h>

#include <string>

// Applying a 64-key map against replaying the very reports it sends with bare writes. Target: the
// key map within 5 % of the bare loop, so the tool adds nothing a production line would notice.
namespace {
struct Bench {
    Bench()
    {
        AddStandardModule(backend, module);
        link.OpenModule();
        std::string text;
        for (int key = 1; key <= kMaxKeyCount; ++key)
            text += "KEY-" + std::to_string(key) + " = CTRL+ALT+DEL\n";
        map = *ParseKeyMap(text, kMaxKeyCount).map;
        ApplyKeyMap(link, map, {}, {});
        reports = module.Reports();
        module.ClearReports();
    }
    CVirtualModule module;
    CVirtualHidBackend backend;
    CDeviceLink link{backend};
    KeyMap map;
    std::vector<std::vector<std::uint8_t>> reports;
};
} // namespace

static void BM_ApplyKeyMap64(benchmark::State &state)
{
    Bench bench;
    for (auto _ : state) {
        benchmark::DoNotOptimize(ApplyKeyMap(bench.link, bench.map, {}, {}));
        bench.module.ClearReports();
    }
}
BENCHMARK(BM_ApplyKeyMap64);

static void BM_BareReports64(benchmark::State &state)
{
    Bench bench;
    HidHandle device = bench.backend.OpenPath("virtual/1/if2");
    for (auto _ : state) {
        for (const auto &report : bench.reports)
            benchmark::DoNotOptimize(bench.backend.Write(device, report.data(), report.size()));
        bench.module.ClearReports();
    }
}
BENCHMARK(BM_BareReports64);
