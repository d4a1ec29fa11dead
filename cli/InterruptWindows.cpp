#include "cli/Interrupt.h"
#include "cli/InterruptParts.h"

#include <windows.h>

#include <csignal>

namespace {
// Closing the console gives a program about five seconds before the system ends it: most of them
// go to the module in hand, the rest to the last words.
constexpr DWORD kCloseGraceMs = 4000;

// The status a shell reports for the signal the C library makes of the event.
int ExitStatusOf(DWORD event)
{
    switch (event) {
    case CTRL_C_EVENT:
        return 128 + SIGINT;
    case CTRL_BREAK_EVENT:
        return 128 + SIGBREAK;
    default:
        return 128 + SIGTERM;
    }
}

// Runs on a thread the system starts for each console event.
BOOL WINAPI TakeConsoleEvent(DWORD event)
{
    const bool closing = event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT;
    if (!closing && event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT)
        return FALSE;
    InterruptParts::Take(ExitStatusOf(event));
    // The system ends a closing program once this returns: the tool finishes in the meantime, or
    // the last words are said before the system's deadline.
    if (closing) {
        Sleep(kCloseGraceMs);
        InterruptParts::End(ExitStatusOf(event));
    }
    return TRUE;
}
} // namespace

void Interrupt::Start()
{
    InterruptParts::MakeWakeSignal();
    SetConsoleCtrlHandler(TakeConsoleEvent, TRUE);
}
