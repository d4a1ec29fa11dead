#include "cli/Interrupt.h"
#include "cli/InterruptParts.h"

#include <pthread.h>
#include <signal.h>

#include <thread>

namespace {
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
        if (sigwait(&signals, &signal) == 0)
            InterruptParts::Take(128 + signal);
    }
}
} // namespace

void Interrupt::Start()
{
    const sigset_t signals = InterruptSignals();
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    InterruptParts::MakeWakeSignal();
    std::thread(TakeSignals).detach();
}
