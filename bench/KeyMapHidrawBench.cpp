#include "HidrawTestbed.h"
#include "device/DeviceLink.h"
#include "device/HidapiBackend.h"
#include "keymap/KeyMap.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

// Applying a 64-key map on the real hidapi path over emulated hidraw nodes, against bare hid_write
// calls of the very reports it sends. Target: the key map within 5 % of the bare loop, so the tool
// adds nothing a production line would notice. Run under umockdev-wrapper.
namespace {
struct HidrawBench {
    HidrawBench()
    {
        AddStandardModule(testbed, module);
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
    CHidrawTestbed testbed;
    CHidapiBackend backend;
    CDeviceLink link{backend};
    KeyMap map;
    std::vector<std::vector<std::uint8_t>> reports;
};
} // namespace

static void BM_HidrawApplyKeyMap64(benchmark::State &state)
{
    HidrawBench bench;
    for (auto _ : state) {
        benchmark::DoNotOptimize(ApplyKeyMap(bench.link, bench.map, {}, {}));
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

int main(int argc, char **argv)
{
    if (!CHidrawTestbed::IsAvailable()) {
        std::printf("run under umockdev-wrapper: the emulated hidraw nodes exist only there\n");
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
