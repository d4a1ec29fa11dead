#include "device/HidInterfacePath.h"
#include "device/ModuleWatcher.h"
#include "device/QueuedModuleWatcher.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <thread>
#include <tuple>

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

namespace {
// Interface paths as Windows spells them: the device list in lower case, notices in upper case.
const std::string kHidClass = "#{4d1e55b2-f16f-11cf-88cb-001111000030}";

std::string ListedPath(const std::string &serial, int number)
{
    return R"(\\?\hid#vid_0b05&pid_185f&mi_0)" + std::to_string(number) + "#256&" + serial + "&0&0" + kHidClass;
}

std::string Upper(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](char c) { return std::toupper(c); });
    return text;
}

std::string NoticePath(const std::string &serial, int number)
{
    return Upper(ListedPath(serial, number));
}

// The watcher's shared half, driven as the Windows half drives it.
class CTestQueuedWatcher : public CQueuedModuleWatcher {
public:
    using CQueuedModuleWatcher::Present;
};

bool IsReady(const IModuleWatcher &watcher)
{
    return WaitForReady({watcher.Ready()}, 0) == 0;
}
} // namespace

TEST(HidInterfacePathTest, ReadsVendorProductAndInterfaceFromAPath)
{
    const struct {
        std::string path;
        std::optional<std::tuple<std::uint16_t, std::uint16_t, int>> expected;
    } cases[] = {
        {NoticePath("n1", 1), std::tuple{0x0B05, 0x185F, 1}},
        {ListedPath("n1", 2), std::tuple{0x0B05, 0x185F, 2}},
        {R"(\\?\HID#VID_2B05&PID_285F&MI_0A&Col01#8&2f3&0&0000)" + kHidClass, std::tuple{0x2B05, 0x285F, 10}},
        {R"(\\?\HID#VID_046D&PID_C077#7&1a&0&0000)" + kHidClass, std::tuple{0x046D, 0xC077, -1}},
        {R"(\\?\HID#{00001124-0000-1000-8000-00805f9b34fb}_VID&0002046d_PID&b014#9&1&0&0000)" + kHidClass, {}},
        {R"(\\?\HID#VID_0B05&PID_185#1&0)" + kHidClass, {}},
        {R"(\\?\HID#VID_0B05&PID_18G5#1&0)" + kHidClass, {}},
        {R"(\\?\HID#VID_0B05&PID_185F&MI_1#1&0)" + kHidClass, {}},
        {R"(\\?\HID#VID_0B05&VID_0B06&PID_185F#1&0)" + kHidClass, {}},
        {R"(\\?\HID#VID_0B05&PID_185F##{4d1e55b2-f16f-11cf-88cb-001111000030})", {}},
        {R"(\\?\HID#VID_0B05&PID_185F&MI_01#1&0)", {}},
        {R"(\\?\HID#VID_0B05&PID_185F&MI_01#1&0#4d1e55b2)", {}},
        {R"(\\?\USB#VID_0B05&PID_185F#N1#{a5dcbf10-6530-11d2-901f-00c04fb951ed})", {}},
        {"/dev/hidraw0", {}},
        {"", {}},
    };
    for (const auto &test : cases) {
        const std::optional<HidInterfacePath> parsed = ParseHidInterfacePath(test.path);
        ASSERT_EQ(parsed.has_value(), test.expected.has_value()) << test.path;
        if (!parsed)
            continue;
        EXPECT_EQ(std::tuple(parsed->vendorId, parsed->productId, parsed->interfaceNumber), *test.expected)
            << test.path;
        EXPECT_EQ(parsed->node, WatchedNode(test.path)) << test.path;
    }
    // One node, however spelt; a node that is not an interface path is left as it is.
    EXPECT_EQ(WatchedNode(NoticePath("n1", 1)), ListedPath("n1", 1));
    EXPECT_EQ(WatchedNode("/dev/HIDRAW0"), "/dev/HIDRAW0");
}

// The USB device a module's interfaces hang from is the device itself: not one of its interfaces,
// a hub, or a device of another bus (Wine's).
TEST(HidInterfacePathTest, OnlyAUsbDeviceOwnIdNamesAModule)
{
    const std::pair<const char *, bool> cases[] = {
        {R"(USB\VID_0B05&PID_185F\N1)", true},
        {R"(usb\vid_0b05&pid_185f\6&1a2b3c&0&2)", true},
        {R"(USB\VID_0B05&PID_185F&MI_01\7&2a&0&0001)", false},
        {R"(USB\ROOT_HUB30\4&1b&0&0)", false},
        {R"(WINEBUS\VID_0B05&PID_185F&MI_01\256&N1&0)", false},
        {R"(HID\VID_0B05&PID_185F&MI_01\8&3c&0&0000)", false},
        {R"(USB\VID_0B05&PID_185F\)", false},
        {"", false},
    };
    for (const auto &[id, expected] : cases)
        EXPECT_EQ(IsUsbDeviceId(id), expected) << id;
}

// Windows announces each interface on its own, spelt in another case than its device list, and
// under Wine names no USB device: the same settler still makes one module of two interfaces and
// tells two modules of one product apart.
TEST(QueuedModuleWatcherTest, WindowsNoticesMakeTheSameModuleEvents)
{
    const std::string usb = R"(USB\VID_0B05&PID_185F\6&1a2b&0&)";
    const struct {
        const char *name;
        // "=n1.1": interface 1 of the module with serial n1 listed at start; "+n1.1": noticed
        // arriving; "-n1.1": noticed going; "+a.1 <id>": of a module without a serial on USB
        // device <id>; "|": the events taken, each as its USB device's last part and node count.
        std::vector<std::string> steps;
        std::vector<std::string> expected;
    } cases[] = {
        {"two interfaces, two notices", {"+n1.1", "|", "+n1.2", "|"}, {"|", "arrived N1 2", "|"}},
        {"listed, then noticed in another case", {"=n1.1", "=n1.2", "+n1.1", "|", "-n1.2", "-n1.1", "|"},
         {"|", "removed N1 2", "|"}},
        {"one interface goes, then the other", {"+n1.1", "+n1.2", "|", "-n1.1", "|", "-n1.2", "|"},
         {"arrived N1 2", "|", "|", "removed N1 2", "|"}},
        {"two modules told by serial", {"+n1.1", "+n2.1", "+n2.2", "+n1.2", "|", "-n2.2", "-n2.1", "|"},
         {"arrived N2 2", "arrived N1 2", "|", "removed N2 2", "|"}},
        {"two modules without serials told by USB device",
         {"+a.1 " + usb + "1", "+a.2 " + usb + "1", "+b.1 " + usb + "2", "+b.2 " + usb + "2", "|"},
         {"arrived 6&1a2b&0&1 2", "arrived 6&1a2b&0&2 2", "|"}},
    };
    for (const auto &test : cases) {
        CTestQueuedWatcher watcher;
        std::vector<std::string> seen;
        for (const std::string &step : test.steps) {
            if (step == "|") {
                for (const ModuleEvent &event : watcher.TakeEvents())
                    seen.push_back((event.kind == Kind::Arrived ? "arrived " : "removed ") +
                                   event.module.usbDevice.substr(event.module.usbDevice.rfind('\\') + 1) + " " +
                                   std::to_string(event.nodes.size()));
                seen.push_back("|");
                continue;
            }
            const std::size_t dot = step.find('.');
            const std::string instance = step.substr(1, dot - 1);
            const std::string usbDevice = step.size() > dot + 3 ? step.substr(dot + 3) : "";
            const std::string serial = usbDevice.empty() ? Upper(instance) : "";
            const int number = step[dot + 1] - '0';
            const std::string path = step[0] == '=' ? ListedPath(instance, number) : NoticePath(instance, number);
            const InterfaceAnnouncement announcement =
                AnnouncementOfInterface(*ParseHidInterfacePath(path), usbDevice, serial);
            if (step[0] == '=')
                watcher.Present(announcement);
            else if (step[0] == '+')
                watcher.QueueAdded(announcement, Clock::now());
            else
                watcher.QueueRemoved(path);
        }
        EXPECT_EQ(seen, test.expected) << test.name;
    }
}

// The owner is woken by a notice queued on the watcher's thread, and the signal stays ready while
// events wait: also when ModuleOf, not TakeEvents, read the notices that made them.
TEST(QueuedModuleWatcherTest, TheSignalIsReadyWhileEventsWait)
{
    CTestQueuedWatcher watcher;
    EXPECT_FALSE(IsReady(watcher));
    std::thread notices([&] {
        for (int number : {1, 2})
            watcher.QueueAdded(AnnouncementOfInterface(*ParseHidInterfacePath(NoticePath("n1", number)), {}, "N1"),
                               Clock::now());
    });
    EXPECT_EQ(WaitForReady({watcher.Ready()}, 5000), 0);
    notices.join();
    const std::optional<WatchedModule> module = watcher.ModuleOf(NoticePath("n1", 2));
    ASSERT_TRUE(module);
    EXPECT_EQ(module->nodes, (std::vector<std::string>{ListedPath("n1", 1), ListedPath("n1", 2)}));
    EXPECT_TRUE(IsReady(watcher));
    EXPECT_EQ(watcher.TakeEvents().size(), 1u);
    EXPECT_FALSE(IsReady(watcher));
}

// A flag raised twice is cleared at once; a wait tells which signal is ready, past one that is
// none (the interrupt's before it starts).
TEST(ReadySignalTest, AWaitNamesTheReadySignal)
{
    CReadyFlag first, second;
    second.Raise();
    second.Raise();
    EXPECT_EQ(WaitForReady({ReadySignal{}, first.Signal(), second.Signal()}, 0), 2);
    second.Clear();
    EXPECT_EQ(WaitForReady({first.Signal(), second.Signal()}, 10), -1);
    first.Raise();
    EXPECT_EQ(WaitForReady({ReadySignal{}, first.Signal(), second.Signal()}, -1), 1);
}
