#include "device/ModuleWatcher.h"

#include "device/DeviceLink.h"
#include "device/HidInterfacePath.h"

#include <algorithm>
#include <iterator>
#include <utility>

bool IsSearchedProduct(std::uint16_t vendorId, std::uint16_t productId)
{
    return std::any_of(std::begin(kSearchList), std::end(kSearchList),
                       [&](const ModuleInterfaceId &id) { return id.vendorId == vendorId && id.productId == productId; });
}

std::string WatchedNode(const std::string &node)
{
    return NormalisedInterfacePath(node);
}

bool ModuleIdentity::IsSameModule(const ModuleIdentity &other) const
{
    if (!serial.empty() || !other.serial.empty())
        return serial == other.serial;
    return !usbDevice.empty() && usbDevice == other.usbDevice;
}

bool CModuleSettler::IsComplete(const Module &module)
{
    const InterfaceAnnouncement &first = module.interfaces.front().announcement;
    return std::all_of(std::begin(kSearchList), std::end(kSearchList), [&](const ModuleInterfaceId &id) {
        if (id.vendorId != first.vendorId || id.productId != first.productId)
            return true;
        return std::any_of(module.interfaces.begin(), module.interfaces.end(), [&](const Interface &present) {
            return present.present && present.announcement.interfaceNumber == id.interfaceNumber;
        });
    });
}

ModuleEvent CModuleSettler::EventOf(ModuleEvent::Kind kind, const Module &module)
{
    ModuleEvent event;
    event.kind = kind;
    event.module = module.identity;
    for (const Interface &known : module.interfaces)
        event.nodes.push_back(known.announcement.node);
    return event;
}

void CModuleSettler::Track(const InterfaceAnnouncement &announcement, Clock::time_point now, bool arrived)
{
    if (!IsSearchedProduct(announcement.vendorId, announcement.productId) || announcement.node.empty())
        return;
    Module &module = m_modules[announcement.module.usbDevice];
    module.identity = announcement.module;
    const auto known = std::find_if(module.interfaces.begin(), module.interfaces.end(),
                                    [&](const Interface &candidate) { return candidate.announcement.node == announcement.node; });
    if (known != module.interfaces.end()) {
        known->present = true; // an interface of a module that stayed came back
        return;
    }
    module.interfaces.push_back({announcement, true});
    module.lastAdded = now;
    if (arrived || module.arrived) {
        module.arrived = true;
        return;
    }
    if (IsComplete(module)) {
        module.arrived = true;
        m_events.push_back(EventOf(ModuleEvent::Kind::Arrived, module));
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
        const auto known = std::find_if(module.interfaces.begin(), module.interfaces.end(),
                                        [&](const Interface &candidate) { return candidate.announcement.node == node; });
        if (known == module.interfaces.end())
            continue;
        known->present = false;
        // A module being pulled out loses its interfaces one by one: it has gone with the last.
        const bool gone = std::none_of(module.interfaces.begin(), module.interfaces.end(),
                                       [](const Interface &candidate) { return candidate.present; });
        if (!gone)
            return;
        if (module.arrived)
            m_events.push_back(EventOf(ModuleEvent::Kind::Removed, module));
        m_modules.erase(it);
        return;
    }
}

void CModuleSettler::Relist(const std::vector<InterfaceAnnouncement> &present, Clock::time_point now)
{
    std::vector<std::string> lost;
    for (const auto &[key, module] : m_modules) {
        for (const Interface &known : module.interfaces) {
            const bool listed = std::any_of(present.begin(), present.end(), [&](const InterfaceAnnouncement &candidate) {
                return candidate.node == known.announcement.node;
            });
            if (known.present && !listed)
                lost.push_back(known.announcement.node);
        }
    }
    for (const std::string &node : lost)
        Removed(node);
    for (const InterfaceAnnouncement &announcement : present)
        Added(announcement, now);
}

std::optional<WatchedModule> CModuleSettler::ModuleOf(const std::string &node) const
{
    for (const auto &[key, module] : m_modules) {
        const bool holds = std::any_of(module.interfaces.begin(), module.interfaces.end(), [&](const Interface &known) {
            return known.present && known.announcement.node == node;
        });
        if (holds)
            return EventOf(ModuleEvent::Kind::Arrived, module);
    }
    return std::nullopt;
}

std::vector<ModuleEvent> CModuleSettler::TakeDue(Clock::time_point now)
{
    for (auto &[key, module] : m_modules) {
        if (!module.arrived && now - module.lastAdded >= m_settleTime) {
            module.arrived = true;
            m_events.push_back(EventOf(ModuleEvent::Kind::Arrived, module));
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
