#include "HidrawFixture.h"
#include "device/DeviceOperations.h"
#include "pages/KeyPage.h"
#include "resources/MainTemplate.h"

#include <string>

namespace {
using Bytes = std::vector<std::uint8_t>;
using Messages = std::vector<std::string>;

// The page that is shown, answering with fixed value bytes and text.
class CFixedKeyPage final : public IKeyPage {
public:
    CFixedKeyPage(std::uint8_t value1, std::uint8_t value2, std::string text)
        : m_value1(value1), m_value2(value2), m_text(std::move(text))
    {
    }
    std::string GetKeyAssignment(std::uint8_t &value1, std::uint8_t &value2, std::optional<UserText> &) override
    {
        value1 = m_value1;
        value2 = m_value2;
        return m_text;
    }

private:
    std::uint8_t m_value1;
    std::uint8_t m_value2;
    std::string m_text;
};

class HidrawOperationsTest : public CHidrawTest {
protected:
    void SetUp() override
    {
        AddStandardModule(testbed, module);
        controls.SetLists(MainDlgTemplate());
        controls.SetDlgItemText(MainId::kDebounce, "40");
        operations.SetKeyCount(8);
        operations.SetPages([this](PageKind kind) -> IKeyPage * { return kind == PageKind::Mouse ? &mouse : nullptr; },
                            [this] { return currentPage; });
        operations.SetLog([this](const std::string &line) { log.push_back(line); });
    }

    // The search and its query have run on a valid module; what follows starts from a clean slate.
    void Connect()
    {
        sink.messages.clear();
        operations.FindModule();
        ASSERT_TRUE(link.IsOpen());
        ASSERT_TRUE(sink.messages.empty());
        module.ClearReports();
    }

    Bytes Memory(std::size_t address, std::size_t length) const
    {
        const auto begin = module.Memory().begin() + static_cast<long>(address);
        return Bytes(begin, begin + static_cast<long>(length));
    }

    CDeviceOperations operations{link, controls};
    CFixedKeyPage mouse{0x01, 0x0A, "MLKey+MoveUp(10)Pixel"};
    int currentPage = 0;
    Messages log;
};

TEST_F(HidrawOperationsTest, TheSearchQueriesTheModuleAndFillsTheControls)
{
    module.Memory()[3] = 2;
    module.Memory()[5] = 1;
    operations.FindModule();
    EXPECT_TRUE(sink.messages.empty());
    EXPECT_TRUE(ButtonsEnabled(true));
    EXPECT_EQ(controls.ListOf(MainId::kModuleName).items, Messages{"KORVA SB V2.2"});
    EXPECT_EQ(controls.GetCurSel(MainId::kWorkMode), 2);
    EXPECT_EQ(controls.GetCurSel(MainId::kTriggerLevel), 1);
    EXPECT_EQ(controls.GetCurSel(MainId::kBaudRate), 0);
    EXPECT_FALSE(controls.IsWindowEnabled(MainId::kBaudRate));
    const auto &keys = controls.ListOf(MainId::kKeyList);
    EXPECT_EQ(keys.items, (Messages{"KEY-1", "KEY-2", "KEY-3", "KEY-4", "KEY-5", "KEY-6", "KEY-7", "KEY-8"}));
    EXPECT_EQ(keys.selection, 0);
    ASSERT_EQ(module.Reports().size(), 1u);
    ExpectFullReports(module);
}

TEST_F(HidrawOperationsTest, AQueryWithoutAValidReplyLeavesTheListsAsTheyWere)
{
    struct Case {
        const char *name;
        VirtualFaults faults;
        std::uint8_t marker;
        bool waits; // for the answer that never comes
    };
    const Case cases[] = {
        {"no answer", {.readTimeout = true}, 0x5A, true},
        {"wrong marker", {}, 0x00, false},
    };
    for (const Case &c : cases) {
        sink.messages.clear();
        module.faults = c.faults;
        module.SetMarker(c.marker);
        const auto waited = TimeOf([this] { operations.FindModule(); });
        if (c.waits) {
            EXPECT_GE(waited.count(), 900) << c.name;
        }
        EXPECT_EQ(sink.messages, Messages{"此模块非法，请检查！"}) << c.name;
        EXPECT_EQ(controls.ListOf(MainId::kKeyList).items, Messages{""}) << c.name;
        EXPECT_EQ(controls.ListOf(MainId::kModuleName).items, Messages{""}) << c.name;
        EXPECT_TRUE(ButtonsEnabled(true)) << c.name;
    }
}

TEST_F(HidrawOperationsTest, WriteParametersStoresTheParameterBlock)
{
    Connect();
    controls.SetCurSel(MainId::kBaudRate, 2);
    controls.SetCurSel(MainId::kWorkMode, 4);
    controls.SetCurSel(MainId::kLongPress, 1);
    controls.SetDlgItemText(MainId::kDebounce, "25");
    operations.WriteParameters();
    EXPECT_EQ(sink.messages, Messages{" 配置写入完成"});
    EXPECT_EQ(Memory(2, 12), (Bytes{2, 4, 0, 0, 1, 0, 0x80, 0, 0x38, 0, 25, 0}));
    EXPECT_EQ(module.Reports().size(), 2u);
    ExpectFullReports(module);
}

TEST_F(HidrawOperationsTest, FactoryResetsStoreTheirConfigurationAndSearchAgain)
{
    struct Case {
        const char *name;
        void (CDeviceOperations::*run)();
        Bytes parameters; // as stored from address 2
        Bytes keys;       // as stored from address 28
        int workMode;     // read back by the query after the new search
        const char *done;
    };
    Bytes reset1Keys;
    for (int i = 0; i < 10; ++i)
        reset1Keys.insert(reset1Keys.end(), {0x03, 0x00, static_cast<std::uint8_t>(0x3A + i)});
    reset1Keys.resize(29);
    const Case cases[] = {
        {"reset 1", &CDeviceOperations::FactoryReset1, {0, 2, 0, 0, 1, 0, 0x80, 0, 0x38, 0, 0x28, 0}, reset1Keys, 2,
         "恢复出厂1设置完成"},
        {"reset 2", &CDeviceOperations::FactoryReset2, {2, 3, 0, 0, 1, 0, 0x80, 0, 0x38, 0, 0x28, 0},
         {0x80, 1, 0, 0x80, 2, 0, 0x80, 3, 0, 0x80, 4}, 3, "恢复出厂2设置完成"},
    };
    for (const Case &c : cases) {
        Connect();
        controls.SetDlgItemText(MainId::kDebounce, "99");
        (operations.*c.run)();
        EXPECT_EQ(sink.messages, Messages{c.done}) << c.name;
        EXPECT_EQ(Memory(2, 12), c.parameters) << c.name;
        EXPECT_EQ(Memory(28, c.keys.size()), c.keys) << c.name;
        // The check's query, two writes of two reports each, then the new search's query.
        EXPECT_EQ(module.Reports().size(), 6u) << c.name;
        ExpectFullReports(module);
        EXPECT_EQ(controls.GetCurSel(MainId::kWorkMode), c.workMode) << c.name;
        EXPECT_EQ(controls.GetDlgItemText(MainId::kDebounce), "40") << c.name;
        EXPECT_EQ(controls.ListOf(MainId::kKeyList).items.size(), 8u) << c.name;
        module.Memory().fill(0);
        module.SetMarker(0x5A);
    }
}

TEST_F(HidrawOperationsTest, WriteKeyStoresTheRecordOfTheSelectedKeyAndLogsIt)
{
    Connect();
    controls.SetCurSel(MainId::kKeyList, 2);
    currentPage = 1;
    operations.WriteKey();
    EXPECT_TRUE(sink.messages.empty());
    EXPECT_EQ(Memory(34, 3), (Bytes{0x42, 0x01, 0x0A}));
    EXPECT_EQ(log, Messages{"KEY-3 = MLKey+MoveUp(10)Pixel"});
    EXPECT_EQ(module.Reports().size(), 2u);
    ExpectFullReports(module);
}

struct UnpluggedCase {
    const char *name;
    void (CDeviceOperations::*run)();
    Messages messages;
};

// Cases print by name in the test's report.
void PrintTo(const UnpluggedCase &c, std::ostream *os)
{
    *os << c.name;
}

class HidrawUnpluggedTest : public HidrawOperationsTest, public testing::WithParamInterface<UnpluggedCase> {};

TEST_P(HidrawUnpluggedTest, ShowsTheTransportsMessageThenTheOperations)
{
    Connect();
    controls.SetCurSel(MainId::kKeyList, 0);
    currentPage = 1;
    testbed.Unplug(module);
    (operations.*GetParam().run)();
    EXPECT_EQ(sink.messages, GetParam().messages);
    EXPECT_TRUE(log.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HidrawUnpluggedTest,
    testing::Values(UnpluggedCase{"WriteKey", &CDeviceOperations::WriteKey, {kBlockWriteFailed, "设置失败!!"}},
                    UnpluggedCase{"WriteParameters",
                                  &CDeviceOperations::WriteParameters,
                                  {kBlockWriteFailed, "配置写入失败"}},
                    UnpluggedCase{"FactoryReset1",
                                  &CDeviceOperations::FactoryReset1,
                                  {kBlockWriteFailed, "此模块非法，请检查！"}},
                    UnpluggedCase{"FactoryReset2",
                                  &CDeviceOperations::FactoryReset2,
                                  {kBlockWriteFailed, "此模块非法，请检查！"}},
                    UnpluggedCase{"QueryModule",
                                  &CDeviceOperations::QueryModule,
                                  {kBlockWriteFailed, "此模块非法，请检查！"}}),
    [](const testing::TestParamInfo<UnpluggedCase> &info) { return std::string(info.param.name); });
} // namespace
