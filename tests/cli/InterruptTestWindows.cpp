#include "cli/Interrupt.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {
// Set for the child: the handles of its two pipes, which it inherits with the same values.
constexpr char kChildVariable[] = "TAVRIN_INTERRUPT_CHILD";

char ReadByte(HANDLE from)
{
    char byte = 0;
    DWORD read = 0;
    return ReadFile(from, &byte, 1, &read, nullptr) && read == 1 ? byte : 0;
}

void WriteByte(HANDLE to, char byte)
{
    DWORD written = 0;
    WriteFile(to, &byte, 1, &written, nullptr);
}

// An inheritable pipe: its reading and writing ends.
std::pair<HANDLE, HANDLE> Pipe()
{
    SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
    HANDLE ends[2] = {};
    CreatePipe(&ends[0], &ends[1], &inherited, 0);
    return {ends[0], ends[1]};
}
} // namespace

// The child's side, run by the test below in a process of its own: a read that waits for its
// reply gets it though Ctrl-Break came meanwhile; then the child idles until the second one.
TEST(InterruptTest, Child)
{
    if (!std::getenv(kChildVariable))
        GTEST_SKIP() << "run by TheFirstBreakLetsAReadFinishAndTheSecondEndsAtOnce";
    unsigned long long handles[2] = {};
    ASSERT_EQ(std::sscanf(std::getenv(kChildVariable), "%llu,%llu", &handles[0], &handles[1]), 2);
    const auto in = reinterpret_cast<HANDLE>(handles[0]);
    const auto out = reinterpret_cast<HANDLE>(handles[1]);
    Interrupt::Start();
    WriteByte(out, 'r');
    if (ReadByte(in) != 'x')
        ExitProcess(1);
    if (!Interrupt::Requested() || WaitForReady({Interrupt::WakeSignal()}, 0) != 0)
        ExitProcess(2);
    WriteByte(out, 'k');
    Sleep(5000);
    ExitProcess(3); // the second break did not end it
}

TEST(InterruptTest, TheFirstBreakLetsAReadFinishAndTheSecondEndsAtOnce)
{
    if (std::getenv(kChildVariable))
        GTEST_SKIP() << "the child runs its own side only";
    const auto [childIn, toChild] = Pipe();
    const auto [fromChild, childOut] = Pipe();
    SetHandleInformation(toChild, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(fromChild, HANDLE_FLAG_INHERIT, 0);
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring command = L"\"" + std::wstring(self) + L"\" --gtest_filter=InterruptTest.Child";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION child{};
    const std::string handles = std::to_string(reinterpret_cast<std::uintptr_t>(childIn)) + "," +
                                std::to_string(reinterpret_cast<std::uintptr_t>(childOut));
    SetEnvironmentVariableA(kChildVariable, handles.c_str());
    const bool started = CreateProcessW(self, command.data(), nullptr, nullptr, TRUE, CREATE_NEW_PROCESS_GROUP,
                                        nullptr, nullptr, &startup, &child);
    SetEnvironmentVariableA(kChildVariable, nullptr);
    ASSERT_TRUE(started);
    CloseHandle(childIn);
    CloseHandle(childOut); // only the child writes it: a child that ends early gives end of file
    ASSERT_EQ(ReadByte(fromChild), 'r');
    if (!GenerateConsoleCtrlEvent(CTRL_BREAK_EVENT, child.dwProcessId)) {
        TerminateProcess(child.hProcess, 0);
        GTEST_SKIP() << "no console to send Ctrl-Break through";
    }
    Sleep(100);
    WriteByte(toChild, 'x');
    EXPECT_EQ(ReadByte(fromChild), 'k');
    GenerateConsoleCtrlEvent(CTRL_BREAK_EVENT, child.dwProcessId);
    ASSERT_EQ(WaitForSingleObject(child.hProcess, 10000), WAIT_OBJECT_0);
    DWORD status = 0;
    GetExitCodeProcess(child.hProcess, &status);
    EXPECT_EQ(status, static_cast<DWORD>(128 + SIGBREAK));
    for (const HANDLE handle : {child.hProcess, child.hThread, toChild, fromChild})
        CloseHandle(handle);
}
