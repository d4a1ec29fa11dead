#pragma once

#include "device/ReadySignal.h"

#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// What makes a module one thing, shared by the window and the command-line tool: the USB device
// its HID interfaces hang from, and its serial number where it has one.
struct ModuleIdentity {
    std::string usbDevice; // the USB device's path or instance id; the same for every interface of one module
    std::string serial;    // empty when the module has none
    bool operator==(const ModuleIdentity &) const = default;
    // Whether this is the same module plugged in again: the same serial, or, for modules without
    // one, the same USB path (the same port).
    bool IsSameModule(const ModuleIdentity &other) const;
};

// One HID interface node of a module as the system announces it.
struct InterfaceAnnouncement {
    ModuleIdentity module;
    std::string node; // the path a search opens: a hidraw node, or an interface path on Windows
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    int interfaceNumber = -1;
};

// A module and its interface nodes as they were announced.
struct WatchedModule {
    ModuleIdentity module;
    std::vector<std::string> nodes;
};

// A module that came or went. Arrived only once its interfaces have settled, so that a search
// run on it never opens a half-announced module; removed once all of its nodes have gone.
struct ModuleEvent : WatchedModule {
    enum class Kind { Arrived, Removed };
    Kind kind = Kind::Arrived;
};

// A module whose interfaces do not all show up (one the search list names is missing) counts as
// arrived this long after its last interface appeared.
inline constexpr std::chrono::milliseconds kModuleSettleTime{300};

// Turns interface announcements into module events. A module of the search list's vendor and
// product counts as arrived once every interface the search list names for it is present, or
// kModuleSettleTime after its last interface appeared; it counts as removed when the last of its
// nodes has gone. A module whose nodes are going one by one stays the module it was: a node of
// it never makes a new arrival. Announcements of other devices are ignored.
class CModuleSettler {
public:
    using Clock = std::chrono::steady_clock;

    explicit CModuleSettler(std::chrono::milliseconds settleTime = kModuleSettleTime) : m_settleTime(settleTime) {}

    // An interface that was there before watching began: its module counts as arrived already.
    void Present(const InterfaceAnnouncement &announcement);
    void Added(const InterfaceAnnouncement &announcement, Clock::time_point now);
    void Removed(const std::string &node);
    // After announcements were lost: the interfaces listed now, compared with those tracked.
    void Relist(const std::vector<InterfaceAnnouncement> &present, Clock::time_point now);
    // The tracked module one of whose present nodes this is.
    std::optional<WatchedModule> ModuleOf(const std::string &node) const;
    // The events due by now, in the order they happened.
    std::vector<ModuleEvent> TakeDue(Clock::time_point now);
    // Whether events wait for TakeDue without any more time passing.
    bool HasEvents() const { return !m_events.empty(); }
    // How long until a module still settling counts as arrived; -1 when none is settling.
    int MillisecondsToSettle(Clock::time_point now) const;

private:
    struct Interface {
        InterfaceAnnouncement announcement;
        bool present = true;
    };
    struct Module {
        ModuleIdentity identity;
        std::vector<Interface> interfaces; // every node it had since it came, in order
        Clock::time_point lastAdded;
        bool arrived = false;
    };
    static bool IsComplete(const Module &module);
    static ModuleEvent EventOf(ModuleEvent::Kind kind, const Module &module);
    void Track(const InterfaceAnnouncement &announcement, Clock::time_point now, bool arrived);

    std::chrono::milliseconds m_settleTime;
    std::map<std::string, Module> m_modules; // by USB device
    std::vector<ModuleEvent> m_events; // removals, and arrivals of complete modules, not yet taken
};

// Where the system announces HID devices as they come and go. It raises its ready signal when
// announcements, or events made of them, wait to be taken, and clears it once TakeEvents has
// taken them all; the window and the command-line tool each wait on it with their own loop. Platforms without such a
// watcher search on demand only.
class IModuleWatcher {
public:
    virtual ~IModuleWatcher() = default;
    // Ready while announcements or events wait to be taken (also those a ModuleOf read).
    virtual ReadySignal Ready() const = 0;
    // Reads the waiting announcements; the module events due now, in order.
    virtual std::vector<ModuleEvent> TakeEvents() = 0;
    // When to call TakeEvents again without the signal becoming ready; -1 for never.
    virtual int MillisecondsToSettle() const = 0;
    // The module a node belongs to, with its other nodes, as far as the announcements read so
    // far tell; the events they make wait for TakeEvents.
    virtual std::optional<WatchedModule> ModuleOf(const std::string &node) = 0;
};

// The platform's watcher, or nullptr where there is none (or it cannot be started).
std::unique_ptr<IModuleWatcher> CreateModuleWatcher();

// The module a present interface node belongs to, as the watcher identifies it; an empty USB
// device where the platform cannot tell.
ModuleIdentity ModuleOfNode(const std::string &node);

// A node as watchers spell it in their events and modules, to compare a node a search found with
// them: an interface path that the system spells in more than one way (Windows paths differ in
// case) in one spelling, any other node as it is.
std::string WatchedNode(const std::string &node);

// Whether modules of this vendor and product are searched for, and so watched.
bool IsSearchedProduct(std::uint16_t vendorId, std::uint16_t productId);
