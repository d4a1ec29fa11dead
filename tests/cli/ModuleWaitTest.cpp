#include "cli/ModuleWait.h"
#include "support/FakeModuleWatcher.h"

#include <gtest/gtest.h>

#include <deque>
#include <optional>

namespace {
using Kind = ModuleEvent::Kind;
const ModuleIdentity kModule{"/sys/usb1/1-1", "S1"};

// A wait on the fake watcher and a fake clock: a wait for its signal is woken 300 ms into it
// by the scene's next step, or, with no step left, lets all the time it was given pass.
struct WaitScene {
    CFakeModuleWatcher watcher;
    std::deque<std::function<void()>> steps;
    std::vector<int> waits; // the milliseconds each wait was given
    int interruptAfter = -1; // Ctrl-C once this many waits have passed
    CModuleWait::Clock::time_point now{};
    CModuleWait wait{&watcher,
                     [this](ReadySignal, int milliseconds) {
                         waits.push_back(milliseconds);
                         if (steps.empty()) {
                             now += std::chrono::milliseconds(std::max(milliseconds, 0));
                             return;
                         }
                         now += std::chrono::milliseconds(300);
                         steps.front()();
                         steps.pop_front();
                     },
                     [](int) {}, [this] { return interruptAfter >= 0 && static_cast<int>(waits.size()) >= interruptAfter; },
                     [this] { return now; }};
};
} // namespace

// A wait for a module ends at its limit, never after it, and at once when the limit is used up;
// without a limit only an arrival or Ctrl-C ends it.
TEST(ModuleWaitTest, AWaitForAModuleKeepsToItsLimit)
{
    const struct {
        const char *name;
        long long limit;
        std::optional<Kind> announced; // 300 ms into the first wait
        bool arrived;
        std::vector<int> waits;
    } cases[] = {
        {"no time", 0, std::nullopt, false, {}},
        {"nothing comes", 1000, std::nullopt, false, {1000}},
        {"a module comes", 1000, Kind::Arrived, true, {1000}},
        {"a removal is no arrival", 1000, Kind::Removed, false, {1000, 700}},
        {"no limit, then Ctrl-C", -1, std::nullopt, false, {-1, -1, -1}},
    };
    for (const auto &test : cases) {
        WaitScene scene;
        scene.interruptAfter = 3;
        if (test.announced)
            scene.steps.push_back([&] { scene.watcher.Announce(*test.announced, kModule, {"/dev/hidraw1"}); });
        scene.wait.SetLimit(test.limit);
        EXPECT_EQ(scene.wait.ForArrival(), test.arrived) << test.name;
        EXPECT_EQ(scene.waits, test.waits) << test.name;
    }
}

// A removal taken before the wait for it began (a search's wait read it) does not keep the line
// waiting; one sibling gone leaves the module there; an arrival meanwhile is the next module.
TEST(ModuleWaitTest, AWaitForARemovalLooksAtTheListFirstAndAfterEachAnnouncement)
{
    WaitScene scene;
    bool listed = false;
    scene.watcher.Announce(Kind::Removed, kModule, {"/dev/hidraw0", "/dev/hidraw1"});
    scene.wait.SetLimit(0);
    EXPECT_FALSE(scene.wait.ForArrival()); // takes the removal
    scene.wait.ForRemoval([&] { return listed; });
    EXPECT_TRUE(scene.waits.empty());

    listed = true;
    scene.steps = {
        [&] { scene.watcher.Announce(Kind::Arrived, {"/sys/usb1/1-2", "S2"}, {"/dev/hidraw2"}); },
        [&] { listed = false; }, // the first interface went: no announcement yet
        [&] { scene.watcher.Announce(Kind::Removed, kModule, {"/dev/hidraw0", "/dev/hidraw1"}); },
    };
    scene.wait.ForRemoval([&] { return listed; });
    EXPECT_TRUE(scene.steps.empty());
    EXPECT_TRUE(scene.wait.ForArrival());
    EXPECT_EQ(scene.waits.size(), 3u);
}
