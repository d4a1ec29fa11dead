#include "sim/VirtualHidBackend.h"
#include "support/CliRun.h"
#include "support/RecordingSink.h"

#include <gtest/gtest.h>

#include <functional>
#include <span>

namespace {
using Strings = std::vector<std::string>;
constexpr const char *kBlockWriteFailed = "无法向模块发送命令，模块是否已拔出？";

struct Case {
    const char *name;
    Strings args;
    std::function<void(CVirtualModule &)> setUp;
    int status;
    std::vector<std::pair<std::size_t, std::vector<std::uint8_t>>> memory; // address, bytes there
    Strings messages;                                                      // leading messages
    const char *output = "";                                               // a line of the output
    int keyCount = 8;
};
// Runs each case against a fresh module. everyMessage: the messages are exactly the case's, not
// just its leading ones; a refused command may reach the module with at most writesOnRefusal
// reports (the query's).
void ExpectCases(std::span<const Case> cases, bool everyMessage, int writesOnRefusal)
{
    for (const Case &c : cases) {
        CRecordingSink sink;
        CVirtualModule module;
        std::string printed;
        EXPECT_EQ(RunCliOnModule(module, c.setUp, c.args, c.keyCount, printed), c.status) << c.name;
        EXPECT_NE(printed.find(c.output), std::string::npos) << c.name << ": " << printed;
        for (const auto &[address, bytes] : c.memory)
            EXPECT_EQ(std::vector(module.Memory().begin() + address, module.Memory().begin() + address + bytes.size()), bytes) << c.name;
        if (c.memory.empty() && c.status != 0 && c.status != 6) {
            EXPECT_LE(module.Writes(), writesOnRefusal) << c.name << ": nothing may reach the module";
        }
        if (!everyMessage)
            sink.messages.resize(std::min(sink.messages.size(), c.messages.size()));
        EXPECT_EQ(sink.messages, c.messages) << c.name;
    }
}
} // namespace

TEST(Cli, CommandsDoWhatTheWindowDoesAndExitWithTheirStatus)
{
    const std::string good = KeyMapFile("# two keys\nKEY-1 = GameKey2\nKEY-8 (raw 07 00 3A) = x\ndebounce = 20\n");
    const auto invalid = [](CVirtualModule &m) { m.SetMarker(0x00); };
    const auto absent = [](CVirtualModule &m) { m.faults.absent = true; };
    const auto denied = [](CVirtualModule &m) { m.faults.denyOpen = true; };
    const Case cases[] = {
        {"write", {"write", "KEY-3", "CTRL+ALT+DEL", "KEY-4", "MLKey"}, {}, 0,
         {{34, {0x02, 0x05, 0x4C}}, {37, {0x43, 0x01, 0x00}}}, {}, "KEY-3 = CTRL+ALT+DEL"},
        {"write page form", {"write", "KEY-2 (mouse)", ""}, {}, 0, {{31, {0x41, 0x00, 0x00}}}, {}, "KEY-2 = "},
        {"apply", {"apply", good}, {}, 0, {{28, {0x80, 0x02, 0x00}}, {49, {0x07, 0x00, 0x3A}}, {12, {20}}},
         {}, "KEY-8 = x"},
        {"key count", {"write", "KEY-9", "ENTER"}, {}, 2, {}, {"第 1 个按键参数：KEY-9 超出模块的按键数（8 个按键）"}},
        {"params", {"params", "--debounce", "30", "--long-press", "no"}, [](CVirtualModule &m) { m.Memory()[3] = 2; }, 0, {{2, {0, 2, 0, 0, 1}}, {12, {30}}},
         {}, "参数写入完成"},
        {"debounce", {"params", "--long-press", "yes", "--debounce", "256"}, {}, 2, {}, {"注意，按键消抖值不能大于255 MS"}},
        // A parameter a command leaves out keeps the module's value, or the settings' where the
        // module holds none a write could have stored; never zero.
        {"long-press only", {"params", "--long-press", "no"}, [](CVirtualModule &m) { m.Memory()[12] = 30; }, 0,
         {{6, {1}}, {12, {30}}}, {}},
        {"map keeps debounce", {"apply", KeyMapFile("KEY-1 = ENTER\nlong-press = no\n")}, {}, 0,
         {{28, {0x00, 0x00, 0x28}}, {6, {1}}, {12, {40}}}, {}},
        {"map keeps long-press", {"apply", KeyMapFile("KEY-1 = ENTER\ndebounce = 30\n")},
         [](CVirtualModule &m) { m.Memory()[6] = 1; }, 0, {{6, {1}}, {12, {30}}}, {}},
        {"reset", {"reset", "2"}, {}, 0, {{2, {2, 3}}, {28, {0x80, 0x01, 0x00, 0x80, 0x02}}}, {}, "恢复出厂2完成，重新查询模块：有效"},
        {"reset invalid", {"reset", "1"}, invalid, 4, {}, {"此模块非法，请检查！"}},
        {"reset not kept", {"reset", "1"}, [](CVirtualModule &m) { m.faults.forgetWrites = true; }, 6, {},
         {"恢复出厂1失败：模块中有 11 处与写入的不同"}, "恢复出厂1后重新查询：KEY-2 不同：写入 (raw 03 00 3B) =，模块 (raw 00 00 00) ="},
        {"reset step fails", {"reset", "1"}, [](CVirtualModule &m) { m.faults.failWriteAt = 2; }, 5,
         {{28, {0x03, 0x00, 0x3A}}}, {"向模块写数据失败"}, "恢复出厂1：参数写入失败"},
        {"no reply", {"info"}, [](CVirtualModule &m) { m.faults.readTimeout = true; }, 3, {}, {"模块没有应答"}},
        {"beyond 64 keys", {"write", "KEY-70", "ENTER"}, {}, 2, {},
         {"设置文件中的按键数 100 超出模块的范围，按 64 个按键处理", "第 1 个按键参数：KEY-70 超出模块的按键数（64 个按键）"}, "", 100},
        {"verify", {"verify", KeyMapFile("KEY-2 = GameKey2\nKEY-13 = ENTER\ndebounce = 40\n")},
         [](CVirtualModule &m) { m.Memory()[31] = 0x81; }, 6, {}, {"校验失败：模块中有 2 处与文件不同"},
         "校验：KEY-2 不同：文件 GameKey2，模块 (gamepad) =", 13},
        {"apply forgotten", {"apply", good, "--verify"}, [](CVirtualModule &m) { m.faults.forgetWrites = true; }, 6, {},
         {"校验失败：模块中有 3 处与文件不同"}, "校验：KEY-8 不同：文件 (raw 07 00 3A) = x，模块 (raw 00 00 00) ="},
        {"apply verified", {"apply", good, "--verify"}, {}, 0, {}, {}, "校验：2 个按键和参数与模块一致"},
        {"info", {"info"}, {}, 0, {}, {}, "按键数：8"},
        {"invalid", {"write", "KEY-1", "ENTER"}, invalid, 4, {}, {"此模块非法，请检查！"}},
        {"absent", {"info"}, absent, 3, {}, {"模块不在线"}},
        {"unmatched serial", {"info", "--serial", "NOPE"}, {}, 3, {},
         {"没有与 --serial NOPE 相符的模块；插着的模块接口：virtual/0/if1, virtual/1/if2"}},
        {"denied", {"list"}, denied, 3, {}, {}, "  无法打开：模块已连接，但没有权限打开它。"},
        {"list", {"list"}, {}, 0, {}, {}, "  查找模块时打开此接口"},
        {"failed write", {"write", "KEY-1", "ENTER", "KEY-2", "ESC"}, [](CVirtualModule &m) { m.faults.failWritesFrom = 3; },
         5, {{28, {0x00, 0x00, 0x28}}}, {kBlockWriteFailed, "KEY-2 写入失败，其后的按键没有写入"}, "KEY-1 = ENTER"},
        {"usage", {"write", "KEY-1"}, {}, 2, {}, {"write 的参数不对：KEY-1（见 tavrin-cli write --help）"}},
        {"unknown", {"flash"}, {}, 2, {}, {"未知的命令：flash（见 tavrin-cli --help）"}},
        {"help", {"apply", "--help"}, {}, 0, {}, {}, "--each"},
    };
    ExpectCases(cases, false, 1);
}

// A key text reads as the page logs it; a text the page refuses, or a pair that would spill into
// another line, is one message, and nothing reaches the module.
TEST(Cli, KeyTextsReadAsThePagesLogThemAndARefusalIsOneMessage)
{
    const std::string oneBadLine = KeyMapFile("KEY-1 = ENTER\nKEY-2 = MoveUp(300)Pixel\nKEY-3 = ESC\n");
    const Case cases[] = {
        {"field text", {"write", "KEY-3 (keyboard)", "ab+CTRL"}, {}, 0, {{34, {0x02, 0x41, 0x04}}}, {}, "KEY-3 = ab+CTRL"},
        {"one bad line", {"apply", oneBadLine}, {}, 2, {},
         {"键值文件第 2 行不能写入：KEY-2 = MoveUp(300)Pixel（向上像素移动数值设置过大,设置值不应超过127）"}},
        // A mistyped key name is refused with the fix, never sent as its first character.
        {"typo", {"write", "KEY-1", "CTRL+ALT+DELL"}, {}, 2, {},
         {"第 1 个按键参数不能写入：KEY-1 = CTRL+ALT+DELL 不是按键名。是不是 CTRL+ALT+DEL？要把这些文字放进字符框"
          "（只发送第一个字符），请写：'KEY-1 (keyboard)' 'CTRL+ALT+DELL'"}},
        {"wheel limit", {"write", "KEY-1", "MRKey+Wheel Forward = -200"}, {}, 2, {},
         {"第 1 个按键参数不能写入：KEY-1 = MRKey+Wheel Forward = -200（滚动刻度数值设置过小,设置值不应小于-128）"}},
        {"line break", {"write", "KEY-1", "ENTER\nKEY-2 = ESC"}, {}, 2, {},
         {"第 1 个按键参数含有控制字符：KEY-1 = ENTER\\x0AKEY-2 = ESC"}},
    };
    ExpectCases(cases, true, 0);
}

TEST(Cli, WaitsForAModuleToBePluggedIn)
{
    CRecordingSink sink;
    CVirtualModule module;
    module.SetMarker(CVirtualModule::kValidMarker);
    module.faults.absent = true;
    CVirtualHidBackend backend;
    AddStandardModule(backend, module);
    int slept = 0;
    CliEnvironment environment{backend, 8, [&](int) { module.faults.absent = ++slept < 3; }, [] { return false; },
                               std::tmpfile()};
    EXPECT_EQ(RunCli({"write", "KEY-1", "ENTER", "--wait=2"}, environment), 0);
    EXPECT_EQ(slept, 3);
    module.faults.absent = true;
    slept = -100;
    EXPECT_EQ(RunCli({"write", "KEY-1", "ENTER", "--wait=1"}, environment), 3);
    EXPECT_EQ(slept, -96) << "one second of 250 ms polls";
    EXPECT_EQ(sink.messages, Strings{"模块不在线"});
}

// On a production line, a module that is there but may not be opened is told of once and counted
// as failed; the line goes on with the next module once it has been pulled out.
TEST(Cli, EachTellsOnceOfAModuleItCannotOpen)
{
    CRecordingSink sink;
    CVirtualModule denied;
    denied.faults.denyOpen = true;
    CVirtualModule good;
    good.SetMarker(CVirtualModule::kValidMarker);
    good.faults.absent = true;
    CVirtualHidBackend backend;
    AddStandardModule(backend, denied);
    AddStandardModule(backend, good);
    int slept = 0;
    const auto swap = [&](int) {
        if (++slept == 4)
            std::swap(denied.faults.absent, good.faults.absent);
    };
    std::string printed;
    EXPECT_EQ(RunCliCollecting({"apply", KeyMapFile("KEY-1 = ENTER\n"), "--each", "--count", "2"},
                               {backend, 8, swap, [&] { return slept > 20; }}, printed),
              CliExit::kFailed);
    EXPECT_EQ(printed.find("无法打开"), printed.rfind("无法打开")) << printed;
    EXPECT_NE(printed.find("第 1 个模块：无法打开（virtual/1/if2）：模块已连接，但没有权限打开它。"), std::string::npos) << printed;
    EXPECT_NE(printed.find("第 2 个模块：写入完成"), std::string::npos) << printed;
    EXPECT_NE(printed.find("共 2 个模块：完成 1 个，失败 1 个"), std::string::npos) << printed;
}
