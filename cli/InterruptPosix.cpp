#include "cli/Interrupt.h"

#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <mutex>
#include <thread>

namespace {
std::atomic<bool> g_bRequested{false};
std::mutex g_lastWordsLock;
std::function<void()> g_lastWords;
CReadyFlag *g_pWake = nullptr; // never freed: the signals' thread outlives main

sigset_t InterruptSignals()
{
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    return signals;
}

void TakeSignals()
{
    const sigset_t signals = InterruptSignals();
    for (;;) {
        int signal = 0;
        if (sigwait(&signals, &signal) != 0)
            continue;
        if (g_bRequested.exchange(true)) {
            // Held to the end, so that the words' owner cannot take them back while they are said.
            g_lastWordsLock.lock();
            if (g_lastWords)
                g_lastWords();
            _exit(128 + signal);
        }
        g_pWake->Raise();
    }
}
} // namespace

void Interrupt::Start()
{
    const sigset_t signals = InterruptSignals();
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    g_pWake = new CReadyFlag;
    std::thread(TakeSignals).detach();
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
