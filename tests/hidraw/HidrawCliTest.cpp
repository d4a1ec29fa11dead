#include "HidrawFixture.h"
#include "device/ModuleWatcher.h"
#include "support/CliRun.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <deque>
#include <fstream>
#include <functional>
#include <thread>

namespace {
// tavrin-cli on the real hidapi path, waiting on the module watcher as it does; each wait of the
// tool runs the next step of the scene.
class HidrawCliTest : public CHidrawTest {
protected:
    int Run(const std::vector<std::string> &args)
    {
        CliEnvironment environment{backend, 8, [this](int) { NextStep(); }, [this] { return idleWaits > 40; }};
        environment.makeWatcher = CreateModuleWatcher;
        environment.waitReady = [this](ReadySignal watcher, int milliseconds) {
            NextStep();
            WaitForReady({watcher}, milliseconds < 0 ? 50 : std::min(milliseconds, 1000));
        };
        return RunCliCollecting(args, environment, printed);
    }

    // A scene that has run out ends the tool as Ctrl-C would, rather than letting it wait for ever.
    void NextStep()
    {
        if (scene.empty()) {
            ++idleWaits;
            return;
        }
        scene.front()();
        scene.pop_front();
    }

    const std::string keyMap = KeyMapFile("KEY-1 = CTRL+ALT+DEL\nKEY-2 = MRKey+Wheel BackWard = 3 \nKEY-3 = GameKey4\n"
                                          "long-press = yes\ndebounce = 25\n");

    static std::vector<std::uint8_t> Records(const CVirtualModule &target)
    {
        return {target.Memory().begin() + 28, target.Memory().begin() + 37};
    }

    std::deque<std::function<void()>> scene;
    std::string printed;
    int idleWaits = 0;
    const std::vector<std::uint8_t> written{0x00, 0x05, 0x4C, 0x41, 0x62, 0x03, 0x82, 0x04, 0x00};
};
} // namespace

TEST_F(HidrawCliTest, ApplyWritesTheKeyMapIntoTheModulesMemory)
{
    AddStandardModule(testbed, module);
    EXPECT_EQ(Run({"apply", keyMap}), CliExit::kOk) << printed;
    EXPECT_EQ(Records(module), written);
    EXPECT_EQ(module.Memory()[6], 0x00);
    EXPECT_EQ(module.Memory()[12], 25);
    EXPECT_EQ(printed, "KEY-1 = CTRL+ALT+DEL\nKEY-2 = MRKey+Wheel BackWard = 3 \nKEY-3 = GameKey4\n参数写入完成\n");
    ExpectFullReports(module);
}

TEST_F(HidrawCliTest, DumpThenApplyGivesAnotherModuleTheSameReadableMemory)
{
    // A configured module: factory configuration 1, then three keys and the parameters of the map.
    AddStandardModule(testbed, module);
    ASSERT_EQ(Run({"reset", "1"}), CliExit::kOk) << printed;
    ASSERT_EQ(Run({"apply", keyMap}), CliExit::kOk) << printed;
    const std::string dump = KeyMapFile("");
    ASSERT_EQ(Run({"dump", dump}), CliExit::kOk) << printed;
    testbed.Unplug(module);
    AddStandardModule(testbed, other);
    EXPECT_EQ(Run({"apply", dump, "--verify"}), CliExit::kOk) << printed;
    // Everything up to the last of the eight keys' records (factory reset 1 also fills key 10's).
    const auto end = 28 + 3 * 8;
    EXPECT_EQ(std::vector(module.Memory().begin(), module.Memory().begin() + end),
              std::vector(other.Memory().begin(), other.Memory().begin() + end));
    EXPECT_EQ(Run({"verify", dump}), CliExit::kOk) << printed;
}

TEST_F(HidrawCliTest, AModuleThatDoesNotKeepTheWritesFailsVerification)
{
    AddStandardModule(testbed, module);
    module.faults.forgetWrites = true;
    EXPECT_EQ(Run({"apply", keyMap, "--verify"}), CliExit::kMismatch) << printed;
    EXPECT_NE(printed.find("校验：KEY-1 不同：文件 CTRL+ALT+DEL，模块 (keyboard) ="), std::string::npos) << printed;
    EXPECT_NE(printed.find("校验：debounce 不同：文件 25，模块 0"), std::string::npos) << printed;
    EXPECT_EQ(Run({"verify", keyMap}), CliExit::kMismatch) << printed;
}

TEST_F(HidrawCliTest, EachGoesOnFromModuleToModuleAndReportsTheFailedOne)
{
    // Outlives the testbed, as the fixture's modules do.
    static CVirtualModule third;
    AddStandardModule(testbed, module);
    other.faults.failWritesFrom = 2;
    scene = {
        [&] { testbed.Unplug(module); },
        [&] { AddStandardModule(testbed, other); },
        [&] { testbed.Unplug(other); },
        [&] { AddStandardModule(testbed, third); },
    };
    const std::string log = KeyMapFile("");
    EXPECT_EQ(Run({"apply", keyMap, "--each", "--count", "3", "--log", log}), CliExit::kFailed) << printed;
    EXPECT_TRUE(scene.empty());
    EXPECT_EQ(Records(module), written);
    EXPECT_EQ(Records(third), written);
    EXPECT_NE(printed.find("第 1 个模块：写入完成"), std::string::npos) << printed;
    EXPECT_NE(printed.find("第 2 个模块：写入失败"), std::string::npos) << printed;
    EXPECT_NE(printed.find("第 3 个模块：写入完成"), std::string::npos) << printed;
    EXPECT_NE(printed.find("共 3 个模块：完成 2 个，失败 1 个"), std::string::npos) << printed;
    EXPECT_NE(std::find(sink.messages.begin(), sink.messages.end(), "KEY-1 写入失败，其后的按键没有写入"), sink.messages.end());
    // One line a module, each flushed as it was done.
    std::ifstream lines(log);
    std::vector<std::string> entries;
    for (std::string line; std::getline(lines, line);)
        entries.push_back(line);
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_NE(entries[0].find(R"("node":"/dev/hidraw1","ok":true,"serial":"EMU0001")"), std::string::npos) << entries[0];
    EXPECT_NE(entries[0].find(R"("written":["KEY-1 = CTRL+ALT+DEL")"), std::string::npos) << entries[0];
    EXPECT_NE(entries[1].find(R"("error":")"), std::string::npos) << entries[1];
    EXPECT_NE(entries[1].find(R"("error_code":"write_failed")"), std::string::npos) << entries[1];
    EXPECT_NE(entries[2].find(R"("error":null)"), std::string::npos) << entries[2];
}

// A module pulled out loses its interfaces one after the other: the line, watching the module it
// found at the start, waits until the last interface has gone, takes none for a new module, and
// serves the next module that arrives.
TEST_F(HidrawCliTest, EachWaitsForAModulesLastInterfaceToGo)
{
    AddStandardModule(testbed, module);
    scene = {
        [&] { testbed.RemoveInterface("/dev/hidraw1"); },
        [&] { testbed.Unplug(module); },
        [&] { AddStandardModule(testbed, other); },
    };
    EXPECT_EQ(Run({"apply", keyMap, "--each", "--count", "2"}), CliExit::kOk) << printed;
    EXPECT_TRUE(scene.empty());
    EXPECT_EQ(Records(other), written);
    EXPECT_NE(printed.find("第 1 个模块：写入完成（/dev/hidraw1）"), std::string::npos) << printed;
    EXPECT_NE(printed.find("第 2 个模块：写入完成（/dev/hidraw3）"), std::string::npos) << printed;
    EXPECT_EQ(sink.messages, std::vector<std::string>{});
}

// A node that opens but does not answer as a HID device is said to be so, by list and by info,
// instead of "Success" or "模块不在线".
TEST_F(HidrawCliTest, AModuleThatDoesNotAnswerAsAHidDeviceIsSaidToBeSo)
{
    AddStandardModule(testbed, module);
    testbed.RefuseHidQueries(module);
    const std::string reason = "设备节点能打开，但不响应 HID 设备的查询";
    EXPECT_EQ(Run({"list"}), CliExit::kNoModule);
    EXPECT_NE(printed.find("/dev/hidraw1（序列号 EMU0001）\n  无法打开：" + reason + "\n"), std::string::npos) << printed;
    EXPECT_EQ(Run({"info"}), CliExit::kNoModule);
    EXPECT_EQ(sink.messages, std::vector<std::string>{"模块已连接，但无法打开（/dev/hidraw1）：" + reason});
}

// The second interface comes a while after the first: the tool waits for it and opens the one a
// search of the whole module opens, not the first to appear.
TEST_F(HidrawCliTest, AModuleWhoseInterfacesComeOneAfterTheOtherIsOpenedOnTheSearchesInterface)
{
    std::string second;
    scene = {
        [&] { testbed.AddInterface(module, 0x0B05, 0x185F, 1); },
        [&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(30));
            second = testbed.AddInterface(module, 0x0B05, 0x185F, 2);
        },
    };
    EXPECT_EQ(Run({"info", "--wait=5"}), CliExit::kOk) << printed;
    EXPECT_NE(printed.find("接口：" + second + "\n"), std::string::npos) << printed;
}

// With two modules plugged in, --device or --serial chooses one; list shows both.
TEST_F(HidrawCliTest, DeviceAndSerialChooseOneOfTwoModules)
{
    AddStandardModule(testbed, module);
    AddStandardModule(testbed, other);
    EXPECT_EQ(Run({"list"}), CliExit::kOk) << printed;
    EXPECT_NE(printed.find("0b05:185f 接口 2 /dev/hidraw3（序列号 EMU0002）"), std::string::npos) << printed;
    const struct {
        std::vector<std::string> args;
        int status;
        const char *opened;
    } cases[] = {
        {{"info", "--device", "/dev/hidraw2"}, CliExit::kOk, "/dev/hidraw2"},
        {{"info", "--serial", "EMU0002"}, CliExit::kOk, "/dev/hidraw3"},
        {{"info", "--serial", "EMU0003"}, CliExit::kNoModule, ""},
        {{"info", "--serial", "EMU0001", "--device", "/dev/hidraw0"}, CliExit::kUsage, ""}, // one selector at a time
        {{"info", "--device"}, CliExit::kUsage, ""},
    };
    for (const auto &test : cases) {
        printed.clear();
        EXPECT_EQ(Run(test.args), test.status) << test.args.back() << printed;
        if (*test.opened) {
            EXPECT_NE(printed.find(std::string("接口：") + test.opened), std::string::npos) << test.args.back() << printed;
        }
    }
}

// doctor counts modules as the watcher does: two modules of one product are two, each with both
// of its interfaces, whatever their serials.
TEST_F(HidrawCliTest, DoctorGroupsTheInterfacesByTheirUsbDevice)
{
    AddStandardModule(testbed, module);
    AddStandardModule(testbed, other);
    Run({"doctor", "--json"});
    EXPECT_EQ(std::count(printed.begin(), printed.end(), '\n'), 1) << "one object a line, as every --json result";
    const nlohmann::json report = nlohmann::json::parse(printed, nullptr, false);
    ASSERT_TRUE(report.contains("modules")) << printed;
    ASSERT_EQ(report["modules"].size(), 2u) << printed;
    for (const auto &found : report["modules"]) {
        EXPECT_EQ(found["interfaces"].size(), 2u) << printed;
        EXPECT_TRUE(found["usb_device"].is_string()) << printed;
    }
}
