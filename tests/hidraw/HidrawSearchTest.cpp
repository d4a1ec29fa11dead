#include "HidrawFixture.h"
#include "device/ModuleSearch.h"

#include <string>

namespace {
using Messages = std::vector<std::string>;

struct Interface {
    int module; // 0 or 1: which of two modules it belongs to
    std::uint16_t vendorId;
    std::uint16_t productId;
    int number;
};

class HidrawSearchTest : public CHidrawTest {
protected:
    // The node the open handle leads to, found by sending a block through it.
    std::string OpenedNode()
    {
        if (link.SendCommand(MakeWriteCommand(0, 0), nullptr) <= 0)
            return {};
        return testbed.LastWrittenNode();
    }
};

TEST_F(HidrawSearchTest, EnumerationListsTheInterfacesOfOneProductInOrder)
{
    const std::string first = testbed.AddInterface(module, 0x0B05, 0x185F, 1);
    testbed.AddInterface(other, 0x2B05, 0x285F, 2);
    const std::string second = testbed.AddInterface(module, 0x0B05, 0x185F, 2);
    ASSERT_EQ(backend.Init(), 0);

    const auto list = backend.Enumerate(0x0B05, 0x185F);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].path, first);
    EXPECT_EQ(list[0].interface_number, 1);
    EXPECT_EQ(list[1].path, second);
    EXPECT_EQ(list[1].interface_number, 2);
    for (const auto &entry : list) {
        EXPECT_EQ(entry.vendor_id, 0x0B05);
        EXPECT_EQ(entry.product_id, 0x185F);
    }
}

struct SearchCase {
    const char *name;
    std::vector<Interface> interfaces; // in enumeration order
    int opened;                        // index into interfaces, -1 for none
};

// Cases print by name in the test's report.
void PrintTo(const SearchCase &c, std::ostream *os)
{
    *os << c.name;
}

class HidrawSearchOrderTest : public HidrawSearchTest, public testing::WithParamInterface<SearchCase> {};

TEST_P(HidrawSearchOrderTest, OpensTheFirstInterfaceOfTheSearchListThatIsThere)
{
    CVirtualModule *modules[] = {&module, &other};
    std::vector<std::string> nodes;
    for (const Interface &i : GetParam().interfaces)
        nodes.push_back(testbed.AddInterface(*modules[i.module], i.vendorId, i.productId, i.number));

    FindModule(link, controls, {});
    if (GetParam().opened < 0) {
        EXPECT_FALSE(link.IsOpen());
        EXPECT_TRUE(ButtonsEnabled(false));
        EXPECT_EQ(sink.messages, Messages{"模块不在线"});
        return;
    }
    EXPECT_TRUE(sink.messages.empty());
    EXPECT_TRUE(ButtonsEnabled(true));
    EXPECT_EQ(OpenedNode(), nodes.at(static_cast<std::size_t>(GetParam().opened)));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HidrawSearchOrderTest,
    testing::Values(
        SearchCase{"Interface2BeforeInterface1", {{0, 0x0B05, 0x185F, 1}, {0, 0x0B05, 0x185F, 2}}, 1},
        SearchCase{"OnlyInterface1", {{0, 0x0B05, 0x185F, 0}, {0, 0x0B05, 0x185F, 1}, {0, 0x0B05, 0x185F, 3}}, 1},
        SearchCase{"FirstProductBeforeSecond", {{1, 0x2B05, 0x285F, 2}, {0, 0x0B05, 0x185F, 1}}, 1},
        SearchCase{"SecondProductInterface2BeforeInterface1", {{0, 0x2B05, 0x285F, 1}, {0, 0x2B05, 0x285F, 2}}, 1},
        SearchCase{"SecondProductOnlyInterface1", {{0, 0x2B05, 0x285F, 1}}, 0},
        SearchCase{"TwoIdenticalInterfaces", {{0, 0x0B05, 0x185F, 2}, {1, 0x0B05, 0x185F, 2}}, 0},
        SearchCase{"IdentifiersMustAllMatch",
                   {{0, 0x0B05, 0x185F, 0}, {0, 0x0B05, 0x185F, 3}, {1, 0x0B05, 0x285F, 2}, {1, 0x2B05, 0x185F, 1}},
                   -1},
        SearchCase{"NoModule", {}, -1}),
    [](const testing::TestParamInfo<SearchCase> &info) { return std::string(info.param.name); });

TEST_F(HidrawSearchTest, TheSecondProductIsOpenedOnlyOnceTheFirstIsGone)
{
    const std::string secondProduct = testbed.AddInterface(other, 0x2B05, 0x285F, 2);
    const std::string firstProduct = testbed.AddInterface(module, 0x0B05, 0x185F, 1);
    FindModule(link, controls, {});
    EXPECT_EQ(OpenedNode(), firstProduct);

    testbed.Unplug(module);
    FindModule(link, controls, {});
    EXPECT_EQ(OpenedNode(), secondProduct);
    EXPECT_TRUE(sink.messages.empty());
    EXPECT_TRUE(ButtonsEnabled(true));
}

TEST_F(HidrawSearchTest, AModuleUnpluggedBetweenSearchesIsNotFoundAgain)
{
    AddStandardModule(testbed, module);
    FindModule(link, controls, {});
    ASSERT_TRUE(ButtonsEnabled(true));

    testbed.Unplug(module);
    FindModule(link, controls, {});
    EXPECT_FALSE(link.IsOpen());
    EXPECT_TRUE(ButtonsEnabled(false));
    EXPECT_EQ(sink.messages, Messages{"模块不在线"});
}
} // namespace
