#include "device/ReadySignal.h"

#include <windows.h>

#include <vector>

int WaitForReady(std::initializer_list<ReadySignal> list, int milliseconds)
{
    std::vector<HANDLE> waited;
    std::vector<int> positions;
    int position = 0;
    for (const ReadySignal &signal : list) {
        if (!signal.IsNone()) {
            waited.push_back(reinterpret_cast<HANDLE>(signal.handle));
            positions.push_back(position);
        }
        ++position;
    }
    const DWORD timeout = milliseconds < 0 ? INFINITE : static_cast<DWORD>(milliseconds);
    if (waited.empty()) {
        Sleep(timeout);
        return -1;
    }
    const DWORD result = WaitForMultipleObjects(static_cast<DWORD>(waited.size()), waited.data(), FALSE, timeout);
    if (result - WAIT_OBJECT_0 < waited.size())
        return positions[result - WAIT_OBJECT_0];
    return -1;
}

CReadyFlag::CReadyFlag()
{
    // Manual reset: it stays signalled for every waiter until its owner has taken what is ready.
    if (const HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr))
        m_handles[0] = reinterpret_cast<std::intptr_t>(event);
}

CReadyFlag::~CReadyFlag()
{
    if (m_handles[0] != -1)
        CloseHandle(reinterpret_cast<HANDLE>(m_handles[0]));
}

ReadySignal CReadyFlag::Signal() const
{
    return {m_handles[0]};
}

void CReadyFlag::Raise()
{
    SetEvent(reinterpret_cast<HANDLE>(m_handles[0]));
}

void CReadyFlag::Clear()
{
    ResetEvent(reinterpret_cast<HANDLE>(m_handles[0]));
}
