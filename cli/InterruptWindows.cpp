#include "cli/Interrupt.h"

#include <windows.h>

#include <atomic>
#include <csignal>
#include <mutex>

namespace {
// Closing the console gives a program about five seconds before the system ends it: most of them
// go to the module in hand, the rest to the last words.
constexpr DWORD kCloseGraceMs = 4000;

std::atomic<bool> g_bRequested{false};
std::mutex g_lastWordsLock;
std::function<void()> g_lastWords;
CReadyFlag *g_pWake = nullptr; // never freed: a console event may come while the process ends

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

[[noreturn]] void EndNow(DWORD event)
{
    // Held to the end, so that the words' owner cannot take them back while they are said.
    g_lastWordsLock.lock();
    if (g_lastWords)
        g_lastWords();
    ExitProcess(static_cast<UINT>(ExitStatusOf(event)));
}

// Runs on a thread the system starts for each console event.
BOOL WINAPI TakeConsoleEvent(DWORD event)
{
    const bool closing = event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT;
    if (!closing && event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT)
        return FALSE;
    if (g_bRequested.exchange(true))
        EndNow(event);
    g_pWake->Raise();
    // The system ends a closing program once this returns: the tool finishes in the meantime, or
    // the last words are said before the system's deadline.
    if (closing) {
        Sleep(kCloseGraceMs);
        EndNow(event);
    }
    return TRUE;
}
} // namespace

void Interrupt::Start()
{
    g_pWake = new CReadyFlag;
    SetConsoleCtrlHandler(TakeConsoleEvent, TRUE);
}

bool Interrupt::Requested()
{
    return g_bRequested.load();
}

void Interrupt::SetLastWords(std::function<void()> words)
{
    const std::lock_guard lock(g_lastWordsLock);
    g_lastWords = std::move(words);
}

ReadySignal Interrupt::WakeSignal()
{
    return g_pWake ? g_pWake->Signal() : ReadySignal{};
}
