#pragma once

#include "device/ModuleWatcher.h"

#include <algorithm>
#include <fcntl.h>
#include <unistd.h>
#include <utility>

// A module watcher under the test's control: Announce() makes an event ready and the descriptor
// readable, as the system's announcements would; the modules it announced answer ModuleOf.
class CFakeModuleWatcher final : public IModuleWatcher {
public:
    CFakeModuleWatcher() { [[maybe_unused]] const int made = ::pipe2(m_pipe, O_NONBLOCK | O_CLOEXEC); }
    ~CFakeModuleWatcher() override
    {
        ::close(m_pipe[0]);
        ::close(m_pipe[1]);
    }

    void Announce(ModuleEvent::Kind kind, const ModuleIdentity &module, std::vector<std::string> nodes)
    {
        ModuleEvent event;
        event.kind = kind;
        event.module = module;
        event.nodes = std::move(nodes);
        std::erase_if(m_present, [&](const WatchedModule &present) { return present.module == module; });
        if (kind == ModuleEvent::Kind::Arrived)
            m_present.push_back(event);
        m_ready.push_back(std::move(event));
        [[maybe_unused]] const ssize_t written = ::write(m_pipe[1], "!", 1);
    }

    int FileDescriptor() const override { return m_pipe[0]; }
    std::vector<ModuleEvent> TakeEvents() override
    {
        for (char drained[16]; ::read(m_pipe[0], drained, sizeof drained) > 0;) {
        }
        return std::exchange(m_ready, {});
    }
    int MillisecondsToSettle() const override { return -1; }
    std::optional<WatchedModule> ModuleOf(const std::string &node) override
    {
        for (const WatchedModule &present : m_present) {
            if (std::find(present.nodes.begin(), present.nodes.end(), node) != present.nodes.end())
                return present;
        }
        return std::nullopt;
    }

private:
    int m_pipe[2] = {-1, -1};
    std::vector<ModuleEvent> m_ready;
    std::vector<WatchedModule> m_present;
};
