#include "cli/Interrupt.h"
#include "cli/InterruptParts.h"

#include <atomic>
#include <cstdlib>
#include <mutex>

namespace {
std::atomic<bool> g_bRequested{false};
std::mutex g_lastWordsLock;
std::function<void()> g_lastWords;
CReadyFlag *g_pWake = nullptr; // never freed: an interrupt may be taken while the process ends
} // namespace

void InterruptParts::MakeWakeSignal()
{
    g_pWake = new CReadyFlag;
}

void InterruptParts::Take(int exitStatus)
{
    if (g_bRequested.exchange(true))
        End(exitStatus);
    g_pWake->Raise();
}

void InterruptParts::End(int exitStatus)
{
    // Held to the end, so that the words' owner cannot take them back while they are said.
    g_lastWordsLock.lock();
    if (g_lastWords)
        g_lastWords();
    std::_Exit(exitStatus);
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
