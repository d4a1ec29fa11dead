#include "device/OpenFailure.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

// Each errno of a failed open reads as its kind; the rest in the system's words with the number.
TEST(OpenFailureLinux, EachErrnoHasItsReason)
{
    const struct {
        int error;
        OpenFailureKind kind;
        const char *text;
    } cases[] = {
        {ENOENT, OpenFailureKind::Gone, "设备节点已不存在（模块是否已拔出？）"},
        {ENODEV, OpenFailureKind::Gone, "设备节点已不存在（模块是否已拔出？）"},
        {ENXIO, OpenFailureKind::Gone, "设备节点已不存在（模块是否已拔出？）"},
        {EACCES, OpenFailureKind::Denied, "没有读写设备节点的权限"},
        {EPERM, OpenFailureKind::Denied, "没有读写设备节点的权限"},
        {EBUSY, OpenFailureKind::Busy, "设备节点正被占用"},
        {EMFILE, OpenFailureKind::Other, "Too many open files（错误号 24）"},
    };
    for (const auto &test : cases) {
        EXPECT_EQ(OpenFailureKindOf(test.error), test.kind) << test.error;
        EXPECT_EQ(DescribeOpenFailure({OpenFailureKindOf(test.error), test.error}), test.text) << test.error;
    }
    EXPECT_EQ(SystemErrorName(EACCES), "EACCES");
}

// hidapi leaves no errno, or one of its question to an opened node: a second open tells a node
// that opens (not a HID device) from one that does not, and why.
TEST(OpenFailureLinux, ASecondOpenTellsWhatTheLibraryLeftOut)
{
    const fs::path file = fs::temp_directory_path() / ("tavrin-open-" + std::to_string(::getpid()));
    std::ofstream(file) << "not a hidraw node";
    const auto opened = ExplainFailedOpen(file.string(), ENOTTY);
    ASSERT_TRUE(opened);
    EXPECT_EQ(opened->kind, OpenFailureKind::NotHid);
    const auto gone = ExplainFailedOpen(file.string() + "-gone", 0);
    ASSERT_TRUE(gone);
    EXPECT_EQ(gone->kind, OpenFailureKind::Gone);
    // The errno of the open itself is the reason; the node is not asked again.
    EXPECT_EQ(ExplainFailedOpen(file.string(), EACCES)->kind, OpenFailureKind::Denied);
    EXPECT_FALSE(CheckOpened(file.string()));
    fs::remove(file);
}
