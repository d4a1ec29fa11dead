#include "HidrawFixture.h"
#include "device/ModuleWatcher.h"

#include <thread>


namespace {
using namespace std::chrono_literals;
using Kind = ModuleEvent::Kind;

// libudev's monitor in this process, told of the emulated nodes as they come and go.
class HidrawWatcherTest : public CHidrawTest {
protected:
    // Waits as the command-line tool does, on the ready signal and the settle time, until events
    // come or the time is up.
    std::vector<ModuleEvent> Wait(std::chrono::milliseconds limit = 2s)
    {
        const auto end = std::chrono::steady_clock::now() + limit;
        for (;;) {
            std::vector<ModuleEvent> events = watcher->TakeEvents();
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
            if (!events.empty() || left <= 0ms)
                return events;
            const int settle = watcher->MillisecondsToSettle();
            WaitForReady({watcher->Ready()},
                         settle < 0 ? static_cast<int>(left.count()) : std::min<int>(settle, left.count()));
        }
    }

    std::unique_ptr<IModuleWatcher> watcher = CreateModuleWatcher();
};
} // namespace

TEST_F(HidrawWatcherTest, AnAnnouncedModuleArrivesWithBothInterfacesAndLeavesWhenUnplugged)
{
    ASSERT_TRUE(watcher);
    AddStandardModule(testbed, module);
    const auto arrived = Wait();
    ASSERT_EQ(arrived.size(), 1u);
    EXPECT_EQ(arrived[0].kind, Kind::Arrived);
    EXPECT_EQ(arrived[0].nodes, (std::vector<std::string>{"/dev/hidraw0", "/dev/hidraw1"}));
    testbed.Unplug(module);
    const auto removed = Wait();
    ASSERT_EQ(removed.size(), 1u);
    EXPECT_EQ(removed[0].kind, Kind::Removed);
    EXPECT_EQ(removed[0].module, arrived[0].module);
    // Plugged in again: a new arrival.
    AddStandardModule(testbed, module);
    const auto again = Wait();
    ASSERT_EQ(again.size(), 1u);
    EXPECT_EQ(again[0].kind, Kind::Arrived);
}

// The second interface comes a while after the first: the module has not arrived in between, and
// the search run on its arrival opens the interface a search opens on a settled module.
TEST_F(HidrawWatcherTest, AModuleWhoseInterfacesComeOneAfterTheOtherArrivesWithTheSecond)
{
    ASSERT_TRUE(watcher);
    testbed.AddInterface(module, 0x0B05, 0x185F, 1);
    EXPECT_EQ(Wait(100ms).size(), 0u);
    const std::string second = testbed.AddInterface(module, 0x0B05, 0x185F, 2);
    const auto arrived = Wait();
    ASSERT_EQ(arrived.size(), 1u);
    ASSERT_TRUE(link.OpenModule());
    EXPECT_EQ(link.OpenPath(), second);
}

// A module with only one of the listed interfaces still arrives, once the settle time is over.
TEST_F(HidrawWatcherTest, AModuleWithOneInterfaceArrivesAfterTheSettleTime)
{
    ASSERT_TRUE(watcher);
    const auto start = std::chrono::steady_clock::now();
    testbed.AddInterface(module, 0x2B05, 0x285F, 1);
    const auto arrived = Wait();
    ASSERT_EQ(arrived.size(), 1u);
    EXPECT_GE(std::chrono::steady_clock::now() - start, kModuleSettleTime);
}

// A module there before the watcher started does not arrive, but its removal is seen; other HID
// devices are not modules.
TEST_F(HidrawWatcherTest, AModulePresentFromTheStartIsSeenLeaving)
{
    AddStandardModule(testbed, module);
    watcher = CreateModuleWatcher();
    ASSERT_TRUE(watcher);
    testbed.AddInterface(other, 0x1234, 0x185F, 2);
    EXPECT_EQ(Wait(kModuleSettleTime + 100ms).size(), 0u);
    testbed.Unplug(module);
    const auto removed = Wait();
    ASSERT_EQ(removed.size(), 1u);
    EXPECT_EQ(removed[0].kind, Kind::Removed);
    EXPECT_EQ(removed[0].nodes, (std::vector<std::string>{"/dev/hidraw0", "/dev/hidraw1"}));
}

// Asked about a node before its events are taken, the watcher reads the announcements that make
// them: it still tells its owner that they wait, else the window would not hear of the module.
TEST_F(HidrawWatcherTest, EventsReadByAQuestionStillWakeTheOwner)
{
    ASSERT_TRUE(watcher);
    AddStandardModule(testbed, module);
    std::this_thread::sleep_for(100ms); // both interfaces announced
    ASSERT_TRUE(watcher->ModuleOf("/dev/hidraw1"));
    EXPECT_EQ(WaitForReady({watcher->Ready()}, 0), 0);
    ASSERT_EQ(watcher->TakeEvents().size(), 1u);
    EXPECT_EQ(WaitForReady({watcher->Ready()}, 0), -1);
}
