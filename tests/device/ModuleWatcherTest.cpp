#include "device/ModuleWatcher.h"

#include <gtest/gtest.h>

namespace {
using namespace std::chrono_literals;
using Clock = CModuleSettler::Clock;
using Kind = ModuleEvent::Kind;

InterfaceAnnouncement Interface(const std::string &module, int number, std::uint16_t vendorId = 0x0B05,
                                std::uint16_t productId = 0x185F)
{
    return {module, "/dev/" + module + "-" + std::to_string(number), vendorId, productId, number};
}

std::vector<std::string> Kinds(const std::vector<ModuleEvent> &events)
{
    std::vector<std::string> result;
    for (const ModuleEvent &event : events)
        result.push_back((event.kind == Kind::Arrived ? "arrived " : "removed ") + event.module);
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

// A module goes once, with the nodes it had, when its first interface goes; one that was there
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
