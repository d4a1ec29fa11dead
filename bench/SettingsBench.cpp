#include "settings/IniFile.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>

// The start-up reads of the settings file: nine lookups, each reloading the file. Target: well
// under a millisecond, so the window opens without a noticeable pause.
static void BM_StartupReads(benchmark::State &state)
{
    const auto path = std::filesystem::temp_directory_path() / "tavrin_bench_confight.ini";
    {
        CIniFile ini;
        ini.SetPath(path.string());
        for (const char *key : {"UartBaud", "WorkMode", "PinTring", "KeyHold", "KeyDelay", "KeyNum"})
            ini.WriteInt("int", key, 40);
        ini.WriteString("String", "man", "示例科技有限公司");
    }
    CIniFile ini;
    ini.SetPath(path.string());
    for (auto _ : state) {
        for (const char *key : {"UartBaud", "WorkMode", "PinTring", "KeyHold", "KeyDelay", "KeyNum"})
            benchmark::DoNotOptimize(ini.ReadInt("int", key, 0));
        for (const char *key : {"man", "phone", "www"})
            benchmark::DoNotOptimize(ini.ReadString("String", key, "  "));
    }
    std::filesystem::remove(path);
}
BENCHMARK(BM_StartupReads);

// Closing the window: the five parameters saved in one atomic rewrite of the file (written,
// flushed to the disk, renamed). Target: one rewrite's time, well under 50 ms on a disk, so the
// window closes at once.
static void BM_CloseSave(benchmark::State &state)
{
    const auto path = std::filesystem::temp_directory_path() / "tavrin_bench_close.ini";
    CIniFile ini;
    ini.SetPath(path.string());
    for (auto _ : state) {
        for (const char *key : {"UartBaud", "WorkMode", "PinTring", "KeyHold", "KeyDelay"})
            ini.SetInt("int", key, 1);
        benchmark::DoNotOptimize(ini.Save());
    }
    std::filesystem::remove(path);
}
BENCHMARK(BM_CloseSave)->Unit(benchmark::kMillisecond);
