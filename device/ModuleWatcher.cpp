#include "device/ModuleWatcher.h"

#include "device/DeviceLink.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace {
bool InSearchList(std::uint16_t vendorId, std::uint16_t productId)
{
    return std::any_of(std::begin(kSearchList), std::end(kSearchList),
                       [&](const ModuleInterfaceId &id) { return id.vendorId == vendorId && id.productId == productId; });
}
} // namespace

bool CModuleSettler::IsComplete(const Module &module)
{
    const InterfaceAnnouncement &first = module.interfaces.front();
    return std::all_of(std::begin(kSearchList), std::end(kSearchList), [&](const ModuleInterfaceId &id) {
        if (id.vendorId != first.vendorId || id.productId != first.productId)
            return true;
        return std::any_of(module.interfaces.begin(), module.interfaces.end(),
                           [&](const InterfaceAnnouncement &present) { return present.interfaceNumber == id.interfaceNumber; });
    });
}

ModuleEvent CModuleSettler::EventOf(ModuleEvent::Kind kind, const std::string &key, const Module &module) const
{
    ModuleEvent event{kind, key, {}};
    for (const InterfaceAnnouncement &present : module.interfaces)
        event.nodes.push_back(present.node);
    return event;
}

void CModuleSettler::Track(const InterfaceAnnouncement &announcement, Clock::time_point now, bool arrived)
{
    if (!InSearchList(announcement.vendorId, announcement.productId) || announcement.node.empty())
        return;
    Module &module = m_modules[announcement.module];
    const bool known = std::any_of(module.interfaces.begin(), module.interfaces.end(),
                                   [&](const InterfaceAnnouncement &present) { return present.node == announcement.node; });
    if (known)
        return;
    module.interfaces.push_back(announcement);
    module.lastAdded = now;
    if (arrived || module.arrived) {
        module.arrived = true;
        return;
    }
    if (IsComplete(module)) {
        module.arrived = true;
        m_events.push_back(EventOf(ModuleEvent::Kind::Arrived, announcement.module, module));
    }
}

void CModuleSettler::Present(const InterfaceAnnouncement &announcement)
{
    Track(announcement, Clock::now(), true);
}

void CModuleSettler::Added(const InterfaceAnnouncement &announcement, Clock::time_point now)
{
    Track(announcement, now, false);
}

void CModuleSettler::Removed(const std::string &node)
{
    for (auto it = m_modules.begin(); it != m_modules.end(); ++it) {
        Module &module = it->second;
        const auto present = std::find_if(module.interfaces.begin(), module.interfaces.end(),
                                          [&](const InterfaceAnnouncement &candidate) { return candidate.node == node; });
        if (present == module.interfaces.end())
            continue;
        // The first interface to go means the module is being pulled out: it is gone as a whole,
        // and the removals of its other interfaces that follow find nothing.
        if (module.arrived)
            m_events.push_back(EventOf(ModuleEvent::Kind::Removed, it->first, module));
        m_modules.erase(it);
        return;
    }
}

std::vector<ModuleEvent> CModuleSettler::TakeDue(Clock::time_point now)
{
    for (auto &[key, module] : m_modules) {
        if (!module.arrived && now - module.lastAdded >= m_settleTime) {
            module.arrived = true;
            m_events.push_back(EventOf(ModuleEvent::Kind::Arrived, key, module));
        }
    }
    return std::exchange(m_events, {});
}

int CModuleSettler::MillisecondsToSettle(Clock::time_point now) const
{
    int soonest = -1;
    for (const auto &[key, module] : m_modules) {
        if (module.arrived)
            continue;
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(module.lastAdded + m_settleTime - now);
        const int milliseconds = static_cast<int>(std::max<std::chrono::milliseconds::rep>(left.count(), 0));
        soonest = soonest < 0 ? milliseconds : std::min(soonest, milliseconds);
    }
    return soonest;
}
