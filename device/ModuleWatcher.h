#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

// One HID interface node of a module as the system announces it.
struct InterfaceAnnouncement {
    std::string module; // the USB device it belongs to: the same for all interfaces of one module
    std::string node;   // its hidraw node, the path a search opens
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    int interfaceNumber = -1;
};

// A module that came or went. Arrived only once its interfaces have settled, so that a search
// run on it never opens a half-announced module.
struct ModuleEvent {
    enum class Kind { Arrived, Removed };
    Kind kind = Kind::Arrived;
    std::string module;
    std::vector<std::string> nodes; // its interface nodes as they were announced
};

// A module whose interfaces do not all show up (one the search list names is missing) counts as
// arrived this long after its last interface appeared.
inline constexpr std::chrono::milliseconds kModuleSettleTime{300};

// Turns interface announcements into module events. A module of the search list's vendor and
// product counts as arrived once every interface the search list names for it is present, or
// kModuleSettleTime after its last interface appeared; it counts as removed when its first
// interface goes. Announcements of other devices are ignored.
class CModuleSettler {
public:
    using Clock = std::chrono::steady_clock;

    explicit CModuleSettler(std::chrono::milliseconds settleTime = kModuleSettleTime) : m_settleTime(settleTime) {}

    // An interface that was there before watching began: its module counts as arrived already.
    void Present(const InterfaceAnnouncement &announcement);
    void Added(const InterfaceAnnouncement &announcement, Clock::time_point now);
    void Removed(const std::string &node);
    // The events due by now, in the order they happened.
    std::vector<ModuleEvent> TakeDue(Clock::time_point now);
    // How long until a module still settling counts as arrived; -1 when none is settling.
    int MillisecondsToSettle(Clock::time_point now) const;

private:
    struct Module {
        std::vector<InterfaceAnnouncement> interfaces;
        Clock::time_point lastAdded;
        bool arrived = false;
    };
    static bool IsComplete(const Module &module);
    ModuleEvent EventOf(ModuleEvent::Kind kind, const std::string &key, const Module &module) const;
    void Track(const InterfaceAnnouncement &announcement, Clock::time_point now, bool arrived);

    std::chrono::milliseconds m_settleTime;
    std::map<std::string, Module> m_modules;
    std::vector<ModuleEvent> m_events; // removals, and arrivals of complete modules, not yet taken
};

// Where the system announces HID devices as they come and go: the announcements arrive on a file
// descriptor, so the window waits for them with its event loop and the command-line tool with
// poll(). Platforms without such a watcher search on demand only.
class IModuleWatcher {
public:
    virtual ~IModuleWatcher() = default;
    // Readable when announcements wait to be taken.
    virtual int FileDescriptor() const = 0;
    // Reads the waiting announcements; the module events due now, in order.
    virtual std::vector<ModuleEvent> TakeEvents() = 0;
    // When to call TakeEvents again without the descriptor becoming readable; -1 for never.
    virtual int MillisecondsToSettle() const = 0;
};

// The platform's watcher, or nullptr where there is none (or it cannot be started).
std::unique_ptr<IModuleWatcher> CreateModuleWatcher();

// The module a present hidraw node belongs to, as the watcher names it (the module of its
// announcement); empty where the platform cannot tell.
std::string ModuleOfNode(const std::string &node);
