#include "device/ModuleWatcher.h"

#include <gtest/gtest.h>

namespace {
using namespace std::chrono_literals;
using Clock = CModuleSettler::Clock;
using Kind = ModuleEvent::Kind;

InterfaceAnnouncement Interface(const std::string &module, int number, std::uint16_t vendorId = 0x0B05,
                                std::uint16_t productId = 0x185F)
{
    return {{"/sys/usb1/" + module, {}}, "/dev/" + module + "-" + std::to_string(number), vendorId, productId, number};
}

std::vector<std::string> Kinds(const std::vector<ModuleEvent> &events)
{
    std::vector<std::string> result;
    for (const ModuleEvent &event : events)
        result.push_back((event.kind == Kind::Arrived ? "arrived " : "removed ") +
                         event.module.usbDevice.substr(event.module.usbDevice.rfind('/') + 1));
    return result;
}
} // namespace

// A module arrives once every interface the search list names for it is there, or after the
// settle time; never before, so that a search does not open it half-announced.
TEST(ModuleSettlerTest, AModuleArrivesOnceItsInterfacesHaveSettled)
{
    const struct {
        const char *name;
        std::vector<InterfaceAnnouncement> interfaces;
        std::chrono::milliseconds checkedAfter;
        std::vector<std::string> expected;
    } cases[] = {
        {"both interfaces", {Interface("a", 1), Interface("a", 2)}, 0ms, {"arrived a"}},
        {"second product", {Interface("a", 2, 0x2B05, 0x285F), Interface("a", 1, 0x2B05, 0x285F)}, 0ms, {"arrived a"}},
        {"first interface only, settling", {Interface("a", 1)}, 299ms, {}},
        {"first interface only, settled", {Interface("a", 1)}, 300ms, {"arrived a"}},
        {"interface 2 only, settled", {Interface("a", 2)}, 300ms, {"arrived a"}},
        {"interfaces of two modules", {Interface("a", 1), Interface("b", 2)}, 10ms, {}},
        {"an interface the list does not name", {Interface("a", 1), Interface("a", 0)}, 10ms, {}},
        {"another product", {Interface("a", 1, 0x0B05, 0x285F), Interface("a", 2, 0x0B05, 0x285F)}, 1s, {}},
        {"the same node twice", {Interface("a", 1), Interface("a", 1)}, 10ms, {}},
    };
    for (const auto &test : cases) {
        CModuleSettler settler;
        const Clock::time_point start{};
        for (const InterfaceAnnouncement &announcement : test.interfaces)
            settler.Added(announcement, start);
        EXPECT_EQ(Kinds(settler.TakeDue(start + test.checkedAfter)), test.expected) << test.name;
    }
}

// The settle time counts from the last interface, and the caller learns when to look again.
TEST(ModuleSettlerTest, TheSettleTimeRunsFromTheLastInterface)
{
    CModuleSettler settler;
    const Clock::time_point start{};
    settler.Added(Interface("a", 1), start);
    EXPECT_EQ(settler.MillisecondsToSettle(start + 100ms), 200);
    settler.Added(Interface("a", 0), start + 200ms);
    EXPECT_EQ(Kinds(settler.TakeDue(start + 400ms)), std::vector<std::string>{});
    EXPECT_EQ(settler.MillisecondsToSettle(start + 400ms), 100);
    EXPECT_EQ(Kinds(settler.TakeDue(start + 500ms)), std::vector<std::string>{"arrived a"});
    EXPECT_EQ(settler.MillisecondsToSettle(start + 500ms), -1);
    EXPECT_EQ(Kinds(settler.TakeDue(start + 2s)), std::vector<std::string>{});
}

// A module goes once, with the nodes it had, when its last interface goes; one that was there
// before watching began goes the same way; one that never arrived goes unreported.
TEST(ModuleSettlerTest, AModuleIsRemovedOnceWithItsNodes)
{
    CModuleSettler settler;
    const Clock::time_point start{};
    settler.Present(Interface("old", 2));
    settler.Added(Interface("a", 1), start);
    settler.Added(Interface("a", 2), start);
    settler.Added(Interface("half", 1), start);
    settler.Removed("/dev/a-2");
    settler.Removed("/dev/a-1");
    settler.Removed("/dev/half-1");
    settler.Removed("/dev/old-2");
    const std::vector<ModuleEvent> events = settler.TakeDue(start + 1s);
    EXPECT_EQ(Kinds(events), (std::vector<std::string>{"arrived a", "removed a", "removed old"}));
    EXPECT_EQ(events.at(1).nodes, (std::vector<std::string>{"/dev/a-1", "/dev/a-2"}));
    // Plugged in again, it arrives again.
    settler.Added(Interface("a", 1), start + 2s);
    settler.Added(Interface("a", 2), start + 2s);
    EXPECT_EQ(Kinds(settler.TakeDue(start + 2s)), std::vector<std::string>{"arrived a"});
}

// A module is one thing while its nodes come and go: it leaves with its last node, and no node of
// it makes a second module.
TEST(ModuleSettlerTest, AModuleLeavesWithItsLastNode)
{
    const struct {
        const char *name;
        std::vector<std::string> steps; // "+a1": interface 1 of module a added, "-a1" removed
        std::vector<std::string> expected;
    } cases[] = {
        {"siblings leaving one by one", {"+a1", "+a2", "-a1"}, {"arrived a"}},
        {"an interface leaving and coming back", {"+a1", "+a2", "-a2", "+a2"}, {"arrived a"}},
        {"a new node of a module leaving", {"+a1", "+a2", "-a1", "+a3"}, {"arrived a"}},
        {"two modules without serials", {"+a1", "+a2", "+b1", "+b2", "-a2", "-a1"}, {"arrived a", "arrived b", "removed a"}},
    };
    for (const auto &test : cases) {
        CModuleSettler settler;
        for (const std::string &step : test.steps) {
            const InterfaceAnnouncement announcement = Interface(step.substr(1, 1), step[2] - '0');
            step[0] == '+' ? settler.Added(announcement, {}) : settler.Removed(announcement.node);
        }
        EXPECT_EQ(Kinds(settler.TakeDue(Clock::time_point{} + 1s)), test.expected) << test.name;
    }
}

// A node tells its module's other nodes, also while the module is leaving; after announcements
// were lost, a fresh list gives the events they would have given.
TEST(ModuleSettlerTest, NodesTellTheirModuleAndARelistCatchesUp)
{
    CModuleSettler settler;
    for (const char *node : {"a1", "a2", "b1", "b2"})
        settler.Added(Interface(std::string(1, node[0]), node[1] - '0'), {});
    settler.Removed("/dev/a-1");
    EXPECT_EQ(settler.ModuleOf("/dev/a-2")->nodes, (std::vector<std::string>{"/dev/a-1", "/dev/a-2"}));
    settler.TakeDue({});
    settler.Relist({Interface("b", 1), Interface("b", 2), Interface("c", 1), Interface("c", 2)}, {});
    EXPECT_EQ(Kinds(settler.TakeDue({})), (std::vector<std::string>{"removed a", "arrived c"}));
}
