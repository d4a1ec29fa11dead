#include "HidrawFixture.h"

#include <algorithm>
#include <numeric>
#include <string>

namespace {
using Bytes = std::vector<std::uint8_t>;
using Messages = std::vector<std::string>;

class HidrawTransportTest : public CHidrawTest {
protected:
    void SetUp() override
    {
        AddStandardModule(testbed, module);
        ASSERT_TRUE(link.OpenModule());
    }

    // What a read command of 64 bytes at address brings back, in a zeroed 128-byte buffer.
    Bytes ReadBack(std::uint32_t address, int *result = nullptr)
    {
        Bytes reply(128, 0);
        const int n = link.SendCommand(MakeCommandBlock(64, kDirFromModule, 0x01, address), reply.data());
        if (result)
            *result = n;
        return reply;
    }

    static bool AllZero(Bytes::const_iterator begin, Bytes::const_iterator end)
    {
        return std::all_of(begin, end, [](std::uint8_t b) { return b == 0; });
    }
};

TEST_F(HidrawTransportTest, TheQueryBringsBackTheFirst64BytesOfTheSettingMemory)
{
    std::iota(module.Memory().begin(), module.Memory().end(), std::uint8_t{0x10});
    module.SetMarker(0x5A);
    Bytes reply(128, 0);
    EXPECT_EQ(link.SendCommand(MakeQueryCommand(), reply.data()), 64);
    EXPECT_EQ(Bytes(reply.begin(), reply.begin() + 64), Bytes(module.Memory().begin(), module.Memory().begin() + 64));
    EXPECT_TRUE(AllZero(reply.begin() + 64, reply.end()));
    EXPECT_TRUE(sink.messages.empty());
}

TEST_F(HidrawTransportTest, EveryReportTheModuleGetsIsFullSizeWithReportIdZero)
{
    Bytes record{0x00, 0x42, 0x01, 0x0A};
    Bytes long65(65, 0x77);
    long65[0] = 0x00;
    long65[64] = 0x00;
    EXPECT_GT(link.SendCommand(MakeWriteCommand(0, 0), nullptr), 0);
    EXPECT_GT(link.SendCommand(MakeWriteCommand(4, 34), record.data()), 0);
    EXPECT_GT(link.SendCommand(MakeWriteCommand(65, 100), long65.data()), 0);
    ReadBack(0);

    ASSERT_EQ(module.Reports().size(), 1u + 2u + 3u + 1u);
    ExpectFullReports(module);
    const Bytes &piece = module.Reports().at(2);
    EXPECT_EQ(Bytes(piece.begin(), piece.begin() + 4), record);
    EXPECT_TRUE(AllZero(piece.begin() + 4, piece.end()));
}

TEST_F(HidrawTransportTest, WrittenBytesAreStoredAndReadBack)
{
    struct Case {
        const char *name;
        std::uint32_t address;
        Bytes data; // report-ID byte first in every 64-byte piece
        Bytes stored;
    };
    Bytes twoPieces(66, 0);
    std::iota(twoPieces.begin() + 1, twoPieces.begin() + 64, std::uint8_t{1});
    twoPieces[65] = 0xEE; // the second piece: its report-ID byte, then 0xEE
    Bytes storedTwoPieces(twoPieces.begin() + 1, twoPieces.begin() + 64);
    storedTwoPieces.push_back(0xEE);
    const Case cases[] = {
        {"key record", 34, {0x00, 0x42, 0x01, 0x0A}, {0x42, 0x01, 0x0A}},
        {"two pieces", 128, twoPieces, storedTwoPieces},
    };
    for (const Case &c : cases) {
        Bytes data = c.data;
        EXPECT_GT(link.SendCommand(MakeWriteCommand(static_cast<std::uint32_t>(data.size()), c.address), data.data()),
                  0)
            << c.name;
        const Bytes reply = ReadBack(c.address);
        EXPECT_EQ(Bytes(reply.begin(), reply.begin() + static_cast<long>(c.stored.size())), c.stored) << c.name;
    }
    EXPECT_TRUE(sink.messages.empty());
}

TEST_F(HidrawTransportTest, AReadWithoutAnswerReturnsZeroAfterTheWait)
{
    module.faults.readTimeout = true;
    int result = -1;
    Bytes reply;
    const auto waited = TimeOf([&] { reply = ReadBack(0, &result); });
    EXPECT_EQ(result, 0);
    EXPECT_GE(waited.count(), 900);
    EXPECT_TRUE(AllZero(reply.begin(), reply.end()));
    EXPECT_TRUE(sink.messages.empty());

    // Once the module answers again, the next query gets its own reply, not a stale one.
    module.faults.readTimeout = false;
    module.Memory()[1] = 0x33;
    reply = ReadBack(0, &result);
    EXPECT_EQ(result, 64);
    EXPECT_EQ(reply[0], 0x5A);
    EXPECT_EQ(reply[1], 0x33);
}

struct FailureCase {
    const char *name;
    VirtualFaults faults;
    bool removeNode; // the module is pulled out: its node leaves sysfs and /dev
    CommandBlock block;
    const char *message;
};

// Cases print by name in the test's report.
void PrintTo(const FailureCase &c, std::ostream *os)
{
    *os << c.name;
}

class HidrawTransportFailureTest : public HidrawTransportTest, public testing::WithParamInterface<FailureCase> {};

TEST_P(HidrawTransportFailureTest, ShowsTheTransportsMessageAndReturnsANegativeResult)
{
    module.faults = GetParam().faults;
    if (GetParam().removeNode)
        testbed.Unplug(module);
    Bytes data(128, 0);
    EXPECT_LT(link.SendCommand(GetParam().block, data.data()), 0);
    EXPECT_EQ(sink.messages, Messages{GetParam().message});
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HidrawTransportFailureTest,
    testing::Values(FailureCase{"BlockWrite", {.failWritesFrom = 0}, false, MakeWriteCommand(4, 28), kBlockWriteFailed},
                    FailureCase{"DataWrite", {.failWritesFrom = 1}, false, MakeWriteCommand(65, 28), "写数据错误"},
                    FailureCase{"DataRead", {.failReads = true}, false, MakeQueryCommand(), "读数据错误"},
                    FailureCase{"WritesFailingAfterTheSearch", {.unplugAfterCalls = 0}, false,
                                MakeWriteCommand(4, 28), kBlockWriteFailed},
                    FailureCase{"NodeRemovedAfterTheSearch", {}, true, MakeQueryCommand(), kBlockWriteFailed}),
    [](const testing::TestParamInfo<FailureCase> &info) { return std::string(info.param.name); });
} // namespace
