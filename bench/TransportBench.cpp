#include "device/DeviceLink.h"
#include "sim/VirtualHidBackend.h"

#include <benchmark/benchmark.h>

#include <array>

// The tool's own share of one key write (block, padding, data piece) without the USB round trip.
// Target: far below a millisecond, so a write is bound by the module, never by the tool.
static void BM_WriteKeyCommand(benchmark::State &state)
{
    CVirtualModule module;
    CVirtualHidBackend backend;
    AddStandardModule(backend, module);
    CDeviceLink link(backend);
    link.OpenModule();
    std::array<std::uint8_t, 4> record{0x00, 0x42, 0x01, 0x0A};
    for (auto _ : state) {
        benchmark::DoNotOptimize(link.SendCommand(MakeWriteCommand(4, 34), record.data()));
        module.ClearReports();
    }
}
BENCHMARK(BM_WriteKeyCommand);
