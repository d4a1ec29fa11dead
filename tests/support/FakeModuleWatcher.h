#pragma once

#include "device/ModuleWatcher.h"

#include <algorithm>
#include <utility>

// A module watcher under the test's control: Announce() makes an event ready and raises the
// signal, as the system's announcements would; TakeEvents takes them all and clears it. The
// modules it announced answer ModuleOf.
class CFakeModuleWatcher final : public IModuleWatcher {
public:
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
        m_signal.Raise();
    }

    ReadySignal Ready() const override { return m_signal.Signal(); }
    std::vector<ModuleEvent> TakeEvents() override
    {
        m_signal.Clear();
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
    CReadyFlag m_signal;
    std::vector<ModuleEvent> m_ready;
    std::vector<WatchedModule> m_present;
};
