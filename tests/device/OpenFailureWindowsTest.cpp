#include "device/OpenFailure.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <windows.h>

namespace fs = std::filesystem;

// Each GetLastError of a failed open reads as its kind; the rest in the system's words, without
// the full stop and line break FormatMessageW ends them with, and with the number.
TEST(OpenFailureWindows, EachErrorHasItsReason)
{
    const struct {
        DWORD error;
        OpenFailureKind kind;
        const char *name;
    } cases[] = {
        {ERROR_FILE_NOT_FOUND, OpenFailureKind::Gone, "ERROR_FILE_NOT_FOUND"},
        {ERROR_PATH_NOT_FOUND, OpenFailureKind::Gone, "ERROR_PATH_NOT_FOUND"},
        {ERROR_DEVICE_NOT_CONNECTED, OpenFailureKind::Gone, "ERROR_DEVICE_NOT_CONNECTED"},
        {ERROR_ACCESS_DENIED, OpenFailureKind::Refused, "ERROR_ACCESS_DENIED"},
        {ERROR_SHARING_VIOLATION, OpenFailureKind::InUse, "ERROR_SHARING_VIOLATION"},
        {ERROR_GEN_FAILURE, OpenFailureKind::Other, "ERROR_GEN_FAILURE"},
        {ERROR_NOT_ENOUGH_MEMORY, OpenFailureKind::Other, "8"},
    };
    for (const auto &test : cases) {
        const int error = static_cast<int>(test.error);
        EXPECT_EQ(OpenFailureKindOf(error), test.kind) << test.name;
        EXPECT_EQ(SystemErrorName(error), test.name);
    }
    const std::string other = DescribeOpenFailure({OpenFailureKind::Other, ERROR_GEN_FAILURE});
    EXPECT_NE(other.find("（错误号 31）"), std::string::npos) << other;
    EXPECT_EQ(other.find_first_of("\r\n"), std::string::npos) << other;
    EXPECT_EQ(other.find(".（"), std::string::npos) << other;
}

// The open is asked as hidapi asks it, shared for reading and writing: a file another handle
// holds for itself alone is in use, one that is not there is gone, and a handle hidapi would
// have given without read and write access counts as a failed open.
TEST(OpenFailureWindows, TheOpenIsAskedAgainAsTheLibraryAsksIt)
{
    const fs::path file = fs::temp_directory_path() / ("tavrin-open-" + std::to_string(GetCurrentProcessId()));
    std::ofstream(file) << "held";
    EXPECT_EQ(ReadWriteOpenError(file.string()), 0);
    EXPECT_FALSE(CheckOpened(file.string()));
    HANDLE held = CreateFileW(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_EQ(ReadWriteOpenError(file.string()), ERROR_SHARING_VIOLATION);
    const auto inUse = CheckOpened(file.string());
    ASSERT_TRUE(inUse);
    EXPECT_EQ(inUse->kind, OpenFailureKind::InUse);
    EXPECT_EQ(ExplainFailedOpen(file.string(), 0)->kind, OpenFailureKind::InUse);
    CloseHandle(held);
    EXPECT_EQ(ExplainFailedOpen((file.parent_path() / "tavrin-gone").string(), 0)->kind, OpenFailureKind::Gone);
    fs::remove(file);
}
