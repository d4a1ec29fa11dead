#include "HidrawTestbed.h"

#include <benchmark/benchmark.h>

#include <cstdio>

// The main of the benchmarks on emulated hidraw nodes, which exist only under umockdev-wrapper.
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
