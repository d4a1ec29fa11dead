#include "device/DeviceLink.h"
#include "device/ModuleCommands.h"
#include "sim/VirtualHidBackend.h"
#include "support/RecordingSink.h"

#include <gtest/gtest.h>

#include <numeric>
#include <vector>

namespace {
constexpr const char *kBlockWriteFailed = "写命令错误，请检查模块是否在线，或者重新点击查找设备再试。";

class SendCommandTest : public testing::Test {
protected:
    void SetUp() override
    {
        AddStandardModule(backend, module);
        ASSERT_TRUE(link.OpenModule());
    }

    // Counting bytes, with the report-ID byte 0 at the start of every 64-byte piece.
    static std::vector<std::uint8_t> Data(std::size_t length)
    {
        std::vector<std::uint8_t> data(length);
        std::iota(data.begin(), data.end(), std::uint8_t{0});
        for (std::size_t i = 0; i < length; i += kPieceSize)
            data[i] = 0x00;
        return data;
    }

    CRecordingSink sink;
    CVirtualModule module;
    CVirtualHidBackend backend;
    CDeviceLink link{backend};
};

TEST_F(SendCommandTest, NoDataPhaseSendsTheBlockAlone)
{
    EXPECT_EQ(link.SendCommand(MakeWriteCommand(0, 40), nullptr), 65);
    ASSERT_EQ(module.Reports().size(), 1u);
    EXPECT_TRUE(sink.messages.empty());
}

TEST_F(SendCommandTest, DataIsCutIntoPiecesOfAtMost64Bytes)
{
    struct Case {
        std::uint32_t length;
        std::size_t reports;
    };
    for (const Case c : {Case{4, 2}, Case{64, 2}, Case{65, 3}}) {
        module.ClearReports();
        auto data = Data(c.length);
        EXPECT_GT(link.SendCommand(MakeWriteCommand(c.length, 100), data.data()), 0) << c.length;
        ASSERT_EQ(module.Reports().size(), c.reports) << c.length;
        for (const auto &report : module.Reports())
            EXPECT_EQ(report.size(), kOutputReportSize) << c.length;
    }
}

TEST_F(SendCommandTest, ShortPiecesArePaddedWithZeros)
{
    std::uint8_t data[4] = {0x00, 0x42, 0x01, 0x0A};
    ASSERT_GT(link.SendCommand(MakeWriteCommand(4, 34), data), 0);
    const auto &piece = module.Reports().at(1);
    EXPECT_EQ(std::vector<std::uint8_t>(piece.begin(), piece.begin() + 4), std::vector<std::uint8_t>(data, data + 4));
    EXPECT_TRUE(std::all_of(piece.begin() + 4, piece.end(), [](std::uint8_t b) { return b == 0; }));
    EXPECT_EQ(module.Memory()[34], 0x42);
    EXPECT_EQ(module.Memory()[35], 0x01);
    EXPECT_EQ(module.Memory()[36], 0x0A);
}

TEST_F(SendCommandTest, The65thByteTravelsAsAOneBytePiece)
{
    auto data = Data(65);
    ASSERT_GT(link.SendCommand(MakeWriteCommand(65, 0), data.data()), 0);
    const auto &last = module.Reports().at(2);
    EXPECT_TRUE(std::all_of(last.begin(), last.end(), [](std::uint8_t b) { return b == 0; }));
    EXPECT_EQ(module.Memory()[0], 1);
    EXPECT_EQ(module.Memory()[62], 63);
    EXPECT_EQ(module.Memory()[63], 0);
}

TEST_F(SendCommandTest, QueryReadsOneReportOf64Bytes)
{
    module.Memory()[3] = 2;
    std::vector<std::uint8_t> reply(128, 0);
    EXPECT_EQ(link.SendCommand(MakeQueryCommand(), reply.data()), 64);
    EXPECT_EQ(reply[0], 0x5A);
    EXPECT_EQ(reply[3], 2);
}

// A read that times out and a report cut short are both no reply, which the query reports as
// such instead of decoding zeros.
TEST_F(SendCommandTest, ReadTimeOutOrAShortReportIsNoReply)
{
    for (const VirtualFaults faults : {VirtualFaults{.readTimeout = true}, VirtualFaults{.cutReplies = 63}}) {
        module.faults = faults;
        std::vector<std::uint8_t> reply(128, 0);
        EXPECT_EQ(link.SendCommand(MakeQueryCommand(), reply.data()), 0);
        EXPECT_TRUE(sink.messages.empty());
        EXPECT_EQ(ReadModule(link, 8).status, QueryStatus::NoReply);
    }
}

TEST_F(SendCommandTest, EachFailureShowsItsMessageAndReturnsTheNegativeResult)
{
    struct Case {
        const char *name;
        VirtualFaults faults;
        CommandBlock block;
        const char *message;
        std::size_t reports;
    };
    const Case cases[] = {
        {"block write", {.failWritesFrom = 0}, MakeWriteCommand(4, 28), kBlockWriteFailed, 1},
        {"data write", {.failWritesFrom = 1}, MakeWriteCommand(65, 28), "写数据错误", 2},
        {"data read", {.failReads = true}, MakeQueryCommand(), "读数据错误", 1},
        {"unplugged", {.unplugAfterCalls = 0}, MakeWriteCommand(4, 28), kBlockWriteFailed, 0},
    };
    for (const Case &c : cases) {
        CVirtualModule failing;
        CVirtualHidBackend hid;
        AddStandardModule(hid, failing);
        CDeviceLink failingLink{hid};
        ASSERT_TRUE(failingLink.OpenModule()) << c.name;
        failing.faults = c.faults;
        sink.messages.clear();
        std::vector<std::uint8_t> data(128, 0);
        EXPECT_LT(failingLink.SendCommand(c.block, data.data()), 0) << c.name;
        EXPECT_EQ(sink.messages, std::vector<std::string>{c.message}) << c.name;
        EXPECT_EQ(failing.Reports().size(), c.reports) << c.name;
    }
}

TEST(SendCommandWithoutModule, FailsLikeAnUnpluggedModule)
{
    CRecordingSink sink;
    CVirtualHidBackend backend;
    CDeviceLink link{backend};
    std::uint8_t data[4] = {};
    EXPECT_LT(link.SendCommand(MakeWriteCommand(4, 28), data), 0);
    EXPECT_EQ(sink.messages, std::vector<std::string>{kBlockWriteFailed});
}
} // namespace
