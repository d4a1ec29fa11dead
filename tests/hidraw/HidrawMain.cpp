#include "HidrawTestbed.h"

#include <gtest/gtest.h>

#include <cstdio>

// The exit code ctest counts as a skip for these programs.
constexpr int kSkipped = 77;

int main(int argc, char **argv)
{
    testing::InitGoogleTest(&argc, argv);
    if (!CHidrawTestbed::IsAvailable()) {
        std::printf("SKIPPED: the emulated hidraw nodes exist only in a program started by umockdev-wrapper\n");
        return kSkipped;
    }
    return RUN_ALL_TESTS();
}
