#include "common/ControlIds.h"
#include "device/DeviceLink.h"
#include "device/DeviceOperations.h"
#include "device/ModuleSearch.h"
#include "pages/KeyPage.h"
#include "resources/MainTemplate.h"
#include "sim/VirtualHidBackend.h"
#include "support/MapDlgControls.h"
#include "support/RecordingSink.h"

#include <gtest/gtest.h>

#include <map>
#include <type_traits>

namespace {
using Bytes = std::vector<std::uint8_t>;
using Messages = std::vector<std::string>;
constexpr const char *kBlockWriteFailed = "写命令错误，请检查模块是否在线，或者重新点击查找设备再试。";

// A page that answers with fixed bytes and text, or refuses.
class CFixedPage final : public IKeyPage {
public:
    CFixedPage(std::uint8_t v1, std::uint8_t v2, std::string text, bool refuse = false)
        : m_v1(v1), m_v2(v2), m_text(std::move(text)), m_bRefuse(refuse)
    {
    }
    std::string GetKeyAssignment(std::uint8_t &value1, std::uint8_t &value2,
                                 std::optional<UserText> &refusal) override
    {
        seenZero = value1 == 0 && value2 == 0;
        value1 = m_v1;
        value2 = m_v2;
        if (m_bRefuse) {
            refusal = UserText{"拒绝：%1", {"理由"}};
            return {};
        }
        return m_text;
    }
    bool seenZero = false;

private:
    std::uint8_t m_v1, m_v2;
    std::string m_text;
    bool m_bRefuse;
};

class DeviceOperationsTest : public testing::Test {
protected:
    void SetUp() override
    {
        AddStandardModule(backend, module);
        controls.SetLists(MainDlgTemplate());
        controls.SetCurSel(MainId::kBaudRate, 1);
        for (const int id : {MainId::kWorkMode, MainId::kTriggerLevel, MainId::kLongPress})
            controls.SetCurSel(id, 0);
        controls.SetDlgItemText(MainId::kDebounce, "40");
        operations.SetKeyCount(8);
        operations.SetPages(
            [this](PageKind kind) -> IKeyPage * {
                const auto it = pages.find(kind);
                return it == pages.end() ? nullptr : it->second;
            },
            [this] { return currentPage; });
        operations.SetLog([this](const std::string &line) { log.push_back(line); });
    }

    void Connect()
    {
        operations.FindModule();
        ASSERT_TRUE(link.IsOpen());
        sink.messages.clear();
        module.ClearReports();
    }

    // The block and the data report of the n-th command the module received (two reports each).
    Bytes Report(std::size_t n, std::size_t length) const
    {
        const auto &report = module.Reports().at(n);
        return Bytes(report.begin(), report.begin() + static_cast<long>(length));
    }

    static Bytes WriteBlock(std::uint8_t length, std::uint8_t address)
    {
        return {0x00, 'S', 'B', 'C', length, 0, 0, 0, 0x03, 0xFB, 0x00, 0x01, 0, 0, 0, address};
    }

    CRecordingSink sink;
    CMapDlgControls controls;
    CVirtualModule module;
    CVirtualHidBackend backend;
    CDeviceLink link{backend};
    CDeviceOperations operations{link, controls};
    std::map<PageKind, IKeyPage *> pages;
    int currentPage = 0;
    std::vector<std::string> log;
};

TEST_F(DeviceOperationsTest, ValidQueryFillsTheControls)
{
    module.Memory()[3] = 2;
    module.Memory()[5] = 1;
    operations.FindModule();
    EXPECT_TRUE(sink.messages.empty());
    EXPECT_EQ(controls.ListOf(MainId::kModuleName).items, Messages{"KORVA SB V2.2"});
    EXPECT_EQ(controls.GetCurSel(MainId::kModuleName), 0);
    EXPECT_EQ(controls.GetCurSel(MainId::kWorkMode), 2);
    EXPECT_EQ(controls.GetCurSel(MainId::kTriggerLevel), 1);
    EXPECT_EQ(controls.GetCurSel(MainId::kBaudRate), 0);
    EXPECT_FALSE(controls.IsWindowEnabled(MainId::kBaudRate));
    const auto &keys = controls.ListOf(MainId::kKeyList);
    ASSERT_EQ(keys.items.size(), 8u);
    EXPECT_EQ(keys.items.front(), "KEY-1");
    EXPECT_EQ(keys.items.back(), "KEY-8");
    EXPECT_EQ(keys.selection, 0);
    EXPECT_EQ(Report(0, 16), (Bytes{0x00, 'S', 'B', 'C', 64, 0, 0, 0, 0x83, 0xFB, 0x01, 0x01, 0, 0, 0, 0}));
}

TEST_F(DeviceOperationsTest, InvalidReplyChangesNothing)
{
    struct Case {
        const char *name;
        VirtualFaults faults;
        std::uint8_t marker;
        Messages messages;
    };
    const Case cases[] = {
        {"bad marker", {}, 0x00, {"此模块非法，请检查！"}},
        {"time-out", {.readTimeout = true}, 0x5A, {"此模块非法，请检查！"}},
        {"read failure", {.failReads = true}, 0x5A, {"读数据错误", "此模块非法，请检查！"}},
    };
    for (const Case &c : cases) {
        sink.messages.clear();
        module.faults = c.faults;
        module.SetMarker(c.marker);
        operations.FindModule();
        EXPECT_EQ(sink.messages, c.messages) << c.name;
        EXPECT_EQ(controls.ListOf(MainId::kKeyList).items, Messages{""}) << c.name;
        EXPECT_EQ(controls.ListOf(MainId::kModuleName).items, Messages{""}) << c.name;
        EXPECT_EQ(controls.GetCurSel(MainId::kBaudRate), 1) << c.name;
        EXPECT_TRUE(controls.IsWindowEnabled(MainId::kWriteKey)) << c.name;
        // The buttons stay enabled, but nothing is written to a module not found valid.
        module.ClearReports();
        operations.WriteParameters();
        operations.WriteKey();
        EXPECT_TRUE(module.Reports().empty()) << c.name;
    }
}

// Every write takes a valid query's proof, and only a query makes one: a caller that would write
// without asking the module first does not compile.
static_assert(!std::is_default_constructible_v<ValidQuery>);
static_assert(!std::is_constructible_v<ValidQuery, ModuleSnapshot>);

TEST_F(DeviceOperationsTest, KeyCountIsKeptWithinTheIndexField)
{
    struct Case {
        int configured;
        std::size_t listed;
    };
    for (const Case c : {Case{0, 0}, Case{-3, 0}, Case{8, 8}, Case{64, 64}, Case{1000, 64}}) {
        log.clear();
        operations.SetKeyCount(c.configured);
        operations.FindModule();
        operations.FindModule();
        EXPECT_EQ(controls.ListOf(MainId::kKeyList).items.size(), c.listed) << c.configured;
        // A bounded count is told once, in the log.
        const bool bounded = static_cast<std::size_t>(c.configured) != c.listed;
        EXPECT_EQ(log.size(), bounded ? 1u : 0u) << c.configured;
    }
}

TEST_F(DeviceOperationsTest, WriteParametersChecksTheDebounceTime)
{
    struct Case {
        const char *text;
        Messages messages;
        int debounceByte; // -1: nothing sent
    };
    const Case cases[] = {
        {"9", {"注意，按键消抖值不能小于10 MS"}, -1},
        {"abc", {"注意，按键消抖值不能小于10 MS"}, -1},
        {"-40", {"注意，按键消抖值不能小于10 MS"}, -1},
        {"10", {" 配置写入完成"}, 0x0A},
        {" 255ms", {" 配置写入完成"}, 0xFF},
        {"300", {"注意，按键消抖值不能大于255 MS"}, -1},
        {"65546", {"注意，按键消抖值不能大于255 MS"}, -1},
    };
    Connect();
    for (const Case &c : cases) {
        sink.messages.clear();
        module.ClearReports();
        controls.SetDlgItemText(MainId::kDebounce, c.text);
        operations.WriteParameters();
        EXPECT_EQ(sink.messages, c.messages) << c.text;
        if (c.debounceByte < 0) {
            EXPECT_TRUE(module.Reports().empty()) << c.text;
        } else {
            ASSERT_EQ(module.Reports().size(), 2u) << c.text;
            EXPECT_EQ(module.Memory()[2 + 10], c.debounceByte) << c.text;
        }
    }
}

TEST_F(DeviceOperationsTest, WriteParametersSendsTheThirteenBytes)
{
    Connect();
    controls.SetCurSel(MainId::kBaudRate, 3);
    controls.SetCurSel(MainId::kWorkMode, 4);
    controls.SetCurSel(MainId::kLongPress, -1);
    controls.SetDlgItemText(MainId::kDebounce, "25");
    operations.WriteParameters();
    EXPECT_EQ(Report(0, 16), WriteBlock(13, 2));
    EXPECT_EQ(Report(1, 13), (Bytes{0x00, 3, 4, 0, 0, 0xFF, 0, 0x80, 0, 0x38, 0, 25, 0}));
}

TEST_F(DeviceOperationsTest, WriteParametersReportsAFailure)
{
    Connect();
    module.faults.failWriteAt = module.Writes() + 1;
    operations.WriteParameters();
    EXPECT_EQ(sink.messages, (Messages{"写数据错误", "配置写入失败"}));
}

TEST_F(DeviceOperationsTest, FactoryResetsSendTheirConfigurationAndSearchAgain)
{
    struct Case {
        const char *name;
        void (CDeviceOperations::*run)();
        Bytes parameters;
        std::uint8_t keyLength;
        Bytes keyData;
        int workMode;
        const char *done;
    };
    Bytes reset1Keys{0x00};
    for (int i = 0; i < 30; ++i)
        reset1Keys.insert(reset1Keys.end(), {0x03, 0x00, static_cast<std::uint8_t>(0x3A + i)});
    reset1Keys.resize(30);
    const Case cases[] = {
        {"reset 1", &CDeviceOperations::FactoryReset1, {0, 0, 2, 0, 0, 1, 0, 0x80, 0, 0x38, 0, 0x28, 0}, 30,
         reset1Keys, 2, "恢复出厂1设置完成"},
        {"reset 2", &CDeviceOperations::FactoryReset2, {0, 2, 3, 0, 0, 1, 0, 0x80, 0, 0x38, 0, 0x28, 0}, 12,
         {0x00, 0x80, 1, 0, 0x80, 2, 0, 0x80, 3, 0, 0x80, 4}, 3, "恢复出厂2设置完成"},
    };
    for (const Case &c : cases) {
        Connect();
        controls.SetDlgItemText(MainId::kDebounce, "99");
        controls.SetCurSel(MainId::kTriggerLevel, 1);
        controls.SetCurSel(MainId::kLongPress, 0);
        const int initsBefore = backend.InitCalls();
        (operations.*c.run)();
        EXPECT_EQ(sink.messages, Messages{c.done}) << c.name;
        // A query first: nothing is written to a module that is not found valid.
        EXPECT_EQ(module.Reports().at(0)[8], 0x83) << c.name;
        EXPECT_EQ(Report(1, 16), WriteBlock(13, 2)) << c.name;
        EXPECT_EQ(Report(2, 13), c.parameters) << c.name;
        EXPECT_EQ(Report(3, 16), WriteBlock(c.keyLength, 28)) << c.name;
        EXPECT_EQ(Report(4, c.keyLength), c.keyData) << c.name;
        EXPECT_TRUE(std::all_of(module.Reports()[4].begin() + c.keyLength, module.Reports()[4].end(),
                                [](std::uint8_t b) { return b == 0; }))
            << c.name;
        // The search and query that follow: a new hid_init and a query block.
        EXPECT_EQ(backend.InitCalls(), initsBefore + 1) << c.name;
        EXPECT_EQ(module.Reports().at(5)[8], 0x83) << c.name;
        EXPECT_EQ(controls.GetCurSel(MainId::kBaudRate), 0) << c.name; // the query selects item 0
        // The query reads the work mode back from where step 1 stored it.
        EXPECT_EQ(controls.GetCurSel(MainId::kWorkMode), c.workMode) << c.name;
        EXPECT_EQ(controls.GetCurSel(MainId::kTriggerLevel), 0) << c.name;
        EXPECT_EQ(controls.GetCurSel(MainId::kLongPress), 1) << c.name;
        EXPECT_EQ(controls.GetDlgItemText(MainId::kDebounce), "40") << c.name;
        EXPECT_EQ(log, Messages{}) << c.name << ": the module holds what the reset wrote";
    }
}

// A module that acknowledges the reset but keeps none of it: the box as ever, and one log line
// naming what the query after it shows otherwise.
TEST_F(DeviceOperationsTest, AResetTheModuleDoesNotKeepIsOneLogLine)
{
    Connect();
    module.faults.forgetWrites = true;
    operations.FactoryReset2();
    EXPECT_EQ(sink.messages, Messages{"恢复出厂2设置完成"});
    EXPECT_EQ(log, Messages{"恢复出厂2后重新查询：模块中与写入的不同：long-press, debounce, work-mode, baud, "
                            "KEY-1, KEY-2, KEY-3, KEY-4"});
}

TEST_F(DeviceOperationsTest, FailedFirstStepKeepsTheControlsAndTheResetGoesOn)
{
    Connect();
    module.faults.failWriteAt = module.Writes() + 2; // the parameter data of step 1, after the query
    controls.SetDlgItemText(MainId::kDebounce, "99");
    controls.SetCurSel(MainId::kLongPress, 0);
    operations.FactoryReset1();
    EXPECT_EQ(sink.messages, (Messages{"写数据错误", "恢复出厂1设置完成"}));
    EXPECT_EQ(controls.GetDlgItemText(MainId::kDebounce), "99");
    EXPECT_EQ(controls.GetCurSel(MainId::kLongPress), 0);
    // Step 2 went through and the search ran: its query is the last command.
    EXPECT_EQ(Report(3, 16), WriteBlock(30, 28));
    EXPECT_EQ(module.Reports().back()[8], 0x83);
}

TEST_F(DeviceOperationsTest, FailedResetDoesNotSearchAgain)
{
    Connect();
    module.faults.failWriteAt = module.Writes() + 4; // the key data of step 2
    const int initsBefore = backend.InitCalls();
    operations.FactoryReset2();
    EXPECT_EQ(sink.messages, (Messages{"写数据错误", "恢复出厂2失败"}));
    EXPECT_EQ(backend.InitCalls(), initsBefore);
}

TEST_F(DeviceOperationsTest, SearchAfterResetThatFindsNothingDisablesTheButtons)
{
    Connect();
    module.faults.unplugAfterCalls = module.Calls() + 6; // gone right after the reset's query and writes
    operations.FactoryReset1();
    EXPECT_EQ(sink.messages, (Messages{"恢复出厂1设置完成", "模块不在线"}));
    EXPECT_FALSE(controls.IsWindowEnabled(MainId::kWriteKey));
    EXPECT_FALSE(link.IsOpen());
}

TEST_F(DeviceOperationsTest, WriteKeyFromTheMousePageIsTheRoadOfOneKeyWrite)
{
    CFixedPage mouse(0x01, 0x0A, "MLKey+MoveUp(10)Pixel");
    pages[PageKind::Mouse] = &mouse;
    Connect();
    controls.SetCurSel(MainId::kKeyList, 2);
    currentPage = 1;
    operations.WriteKey();
    EXPECT_TRUE(sink.messages.empty());
    EXPECT_TRUE(mouse.seenZero);
    EXPECT_EQ(Report(0, 16), WriteBlock(4, 34));
    EXPECT_EQ(Report(1, 4), (Bytes{0x00, 0x42, 0x01, 0x0A}));
    EXPECT_EQ(log, Messages{"KEY-3 = MLKey+MoveUp(10)Pixel"});
}

TEST_F(DeviceOperationsTest, WriteKeyFromTheGamepadPageWritesKeyOne)
{
    CFixedPage gamepad(0x01, 0x00, "GamePad1");
    pages[PageKind::GamePad] = &gamepad;
    Connect();
    currentPage = 2;
    operations.WriteKey();
    EXPECT_EQ(Report(0, 16), WriteBlock(4, 28));
    EXPECT_EQ(Report(1, 4), (Bytes{0x00, 0x80, 0x01, 0x00}));
    EXPECT_EQ(log, Messages{"KEY-1 = GamePad1"});
}

TEST_F(DeviceOperationsTest, WriteKeySendsNothingWhenItCannotWriteSoundly)
{
    CFixedPage refusing(0x00, 0x80, "", true);
    CFixedPage keyboard(0x20, 0x04, "A");
    struct Case {
        const char *name;
        int keySelection;
        int current;
        Messages messages;
    };
    const Case cases[] = {
        {"no key selected", -1, 0, {"未选择按键，请先查找模块并选择按键！"}},
        {"page missing", 0, 2, {"当前页面不可用，键值未写入！"}},
        // The page's refusal, shown once by the window.
        {"page refused", 0, 1, {"拒绝：理由"}},
    };
    pages[PageKind::Keyboard] = &keyboard;
    pages[PageKind::Mouse] = &refusing;
    Connect();
    for (const Case &c : cases) {
        sink.messages.clear();
        controls.SetCurSel(MainId::kKeyList, c.keySelection);
        currentPage = c.current;
        operations.WriteKey();
        EXPECT_EQ(sink.messages, c.messages) << c.name;
        EXPECT_TRUE(module.Reports().empty()) << c.name;
        EXPECT_TRUE(log.empty()) << c.name;
    }
}

TEST_F(DeviceOperationsTest, UnpluggedModuleShowsTheTransportMessageThenTheOperations)
{
    CFixedPage keyboard(0x20, 0x04, "A");
    pages[PageKind::Keyboard] = &keyboard;
    struct Case {
        const char *name;
        void (CDeviceOperations::*run)();
        const char *message;
    };
    const Case cases[] = {
        {"write key", &CDeviceOperations::WriteKey, "设置失败!!"},
        {"write parameters", &CDeviceOperations::WriteParameters, "配置写入失败"},
        // A reset's query finds no module, so nothing is written.
        {"reset 1", &CDeviceOperations::FactoryReset1, "此模块非法，请检查！"},
        {"reset 2", &CDeviceOperations::FactoryReset2, "此模块非法，请检查！"},
        {"query", &CDeviceOperations::QueryModule, "此模块非法，请检查！"},
    };
    for (const Case &c : cases) {
        module.faults = {};
        Connect();
        module.faults.unplugAfterCalls = 0;
        (operations.*c.run)();
        EXPECT_EQ(sink.messages, (Messages{kBlockWriteFailed, c.message})) << c.name;
        EXPECT_TRUE(log.empty()) << c.name;
    }
}
} // namespace

// A module plugged in is searched for and queried by itself: what was found goes into one log
// line, never into a message box.
TEST_F(DeviceOperationsTest, AnArrivingModuleIsSearchedForWithoutAMessageBox)
{
    const struct {
        const char *name;
        VirtualFaults faults;
        std::uint8_t marker;
        std::string line; // "%1" stands for the opened path
        bool listed;
    } cases[] = {
        {"valid", {}, 0x5A, "模块已插入：KORVA SB V2.2（%1），8 个按键", true},
        {"denied", {.denyOpen = true}, 0x5A, std::string("模块已插入，但无法打开：") + kAccessDeniedMessage, false},
        {"invalid", {}, 0x00, "模块已插入：%1，但查询失败：此模块非法，请检查！", false},
        {"read failure", {.failReads = true}, 0x5A, "模块已插入：%1，但查询失败：读数据错误", false},
    };
    for (const auto &test : cases) {
        link.Close();
        log.clear();
        module.faults = test.faults;
        module.SetMarker(test.marker);
        EXPECT_EQ(operations.ModuleArrived(), test.listed) << test.name;
        EXPECT_EQ(log, Messages{ComposeText(test.line, {link.OpenPath()})}) << test.name;
        EXPECT_EQ(sink.messages, Messages{}) << test.name;
        EXPECT_EQ(controls.IsWindowEnabled(MainId::kWriteKey), link.IsOpen()) << test.name;
        EXPECT_EQ(operations.ListedKeys(), test.listed ? 8 : 0) << test.name;
    }
    // With a module open, another arriving is left alone.
    log.clear();
    module.ClearReports();
    EXPECT_FALSE(operations.ModuleArrived());
    EXPECT_EQ(log, Messages{});
    EXPECT_TRUE(module.Reports().empty());
}

// A removal closes the link and names the module that went; afterwards no operation reaches a
// stale handle.
TEST_F(DeviceOperationsTest, RemovingTheOpenModuleClosesItsHandleAndDisablesTheButtons)
{
    Connect();
    const std::string path = link.OpenPath();
    operations.ModuleRemoved("EMU0001", path);
    EXPECT_FALSE(link.IsOpen());
    EXPECT_EQ(log, Messages{"模块已拔出：KORVA SB V2.2 EMU0001（" + path + "），设备操作按钮已禁用"});
    EXPECT_EQ(controls.ListOf(MainId::kModuleName).items, Messages{"KORVA SB V2.2（已拔出）"});
    for (const int id : MainId::kDeviceButtons)
        EXPECT_FALSE(controls.IsWindowEnabled(id)) << id;
    operations.WriteKey();
    EXPECT_EQ(sink.messages, Messages{"未选择按键，请先查找模块并选择按键！"});
    EXPECT_TRUE(module.Reports().empty());
}
