#include "device/ReadySignal.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

int WaitForReady(std::initializer_list<ReadySignal> list, int milliseconds)
{
    std::vector<pollfd> waited;
    std::vector<int> positions;
    int position = 0;
    for (const ReadySignal &signal : list) {
        if (!signal.IsNone()) {
            waited.push_back({static_cast<int>(signal.handle), POLLIN, 0});
            positions.push_back(position);
        }
        ++position;
    }
    if (poll(waited.data(), waited.size(), milliseconds) <= 0)
        return -1;
    for (std::size_t i = 0; i < waited.size(); ++i) {
        if (waited[i].revents != 0)
            return positions[i];
    }
    return -1;
}

CReadyFlag::CReadyFlag()
{
    int ends[2];
    if (::pipe2(ends, O_NONBLOCK | O_CLOEXEC) != 0)
        return;
    m_handles[0] = ends[0];
    m_handles[1] = ends[1];
}

CReadyFlag::~CReadyFlag()
{
    for (const std::intptr_t end : m_handles) {
        if (end >= 0)
            ::close(static_cast<int>(end));
    }
}

ReadySignal CReadyFlag::Signal() const
{
    return {m_handles[0]};
}

void CReadyFlag::Raise()
{
    // A full pipe is readable already: a write refused with EAGAIN loses nothing.
    [[maybe_unused]] const ssize_t written = ::write(static_cast<int>(m_handles[1]), "!", 1);
}

void CReadyFlag::Clear()
{
    char drained[64];
    while (::read(static_cast<int>(m_handles[0]), drained, sizeof drained) > 0) {
    }
}
