#include "device/ModuleCommands.h"

#include "common/MessageSink.h"
#include "device/DeviceLink.h"

#include <cstdio>

namespace {
constexpr std::uint8_t kValidMarker = 0x5A;
constexpr std::uint32_t kParameterAddress = 2;
constexpr std::uint32_t kParameterLength = 13;

using ParameterBlock = std::array<std::uint8_t, kParameterLength>;

// Parameter bytes 7 and 9 have no control; both factory configurations put these values there,
// so writing the parameters keeps the module's own defaults.
ParameterBlock MakeParameterBlock(const ModuleParameters &parameters)
{
    return {0x00, parameters.baud, parameters.workMode, 0x00, 0x00, parameters.longPress, 0x00, 0x80,
            0x00, 0x38, 0x00, static_cast<std::uint8_t>(parameters.debounce), 0x00};
}

int Send(CDeviceLink &link, std::uint32_t dataLength, std::uint32_t address, std::uint8_t *data)
{
    return link.SendCommand(MakeWriteCommand(dataLength, address), data);
}

std::vector<std::uint8_t> FactoryKeys1()
{
    // Thirty records 0x03, 0x00, 0x3A + i, of which the data phase carries the first 30 bytes.
    std::vector<std::uint8_t> keyData(1 + 3 * 30, 0x00);
    for (std::size_t i = 0; i < 30; ++i) {
        keyData[1 + 3 * i] = 0x03;
        keyData[3 + 3 * i] = static_cast<std::uint8_t>(0x3A + i);
    }
    return keyData;
}

std::vector<std::uint8_t> FactoryKeys2()
{
    // Four gamepad records 0x80, k, 0x00; the last byte reaches the module as report padding.
    std::vector<std::uint8_t> keyData(1 + 3 * 4, 0x00);
    for (std::size_t k = 1; k <= 4; ++k) {
        keyData[3 * k - 2] = 0x80;
        keyData[3 * k - 1] = static_cast<std::uint8_t>(k);
    }
    return keyData;
}
} // namespace

// One factory configuration: its parameters, its key records and its texts.
struct FactoryConfig {
    ModuleParameters parameters;
    std::vector<std::uint8_t> keyData; // report-ID byte and the records
    std::uint32_t keyDataLength;       // what the data phase carries of keyData
    const char *done;
    const char *failed;
};

ModuleQuery QueryModule(CDeviceLink &link)
{
    std::array<std::uint8_t, 128> reply{};
    // The reply decides, not the command's result: a failed or timed-out read leaves it zero.
    link.SendCommand(MakeQueryCommand(), reply.data());
    if (reply[0] != kValidMarker) {
        ShowMessage(QT_TRANSLATE_NOOP("Tavrin", "此模块非法，请检查！"));
        return {};
    }
    return {true, reply[3], reply[5]};
}

bool CheckDebounce(int debounce)
{
    if (debounce < kMinDebounce) {
        ShowMessage(QT_TRANSLATE_NOOP("Tavrin", "注意，按键消抖值不能小于10 MS"));
        return false;
    }
    if (debounce > kMaxDebounce) {
        ShowMessage(QT_TRANSLATE_NOOP("Tavrin", "注意，按键消抖值不能大于255 MS"));
        return false;
    }
    return true;
}

WriteResult WriteParameters(CDeviceLink &link, const ModuleParameters &parameters)
{
    if (!CheckDebounce(parameters.debounce))
        return WriteResult::Refused;
    ParameterBlock block = MakeParameterBlock(parameters);
    if (Send(link, kParameterLength, kParameterAddress, block.data()) > 0) {
        ShowMessage(QT_TRANSLATE_NOOP("Tavrin", " 配置写入完成"));
        return WriteResult::Done;
    }
    ShowMessage(QT_TRANSLATE_NOOP("Tavrin", "配置写入失败"));
    return WriteResult::Failed;
}

const FactoryConfig &FactoryConfigOf(int number)
{
    static const FactoryConfig configs[] = {
        {{0x00, 0x02, 0x01, 0x28}, FactoryKeys1(), 30, QT_TRANSLATE_NOOP("Tavrin", "恢复出厂1设置完成"), QT_TRANSLATE_NOOP("Tavrin", "恢复出厂1失败")},
        {{0x02, 0x03, 0x01, 0x28}, FactoryKeys2(), 12, QT_TRANSLATE_NOOP("Tavrin", "恢复出厂2设置完成"), QT_TRANSLATE_NOOP("Tavrin", "恢复出厂2失败")},
    };
    return configs[number == 2 ? 1 : 0];
}

ModuleParameters FactoryParameters(const FactoryConfig &config)
{
    return config.parameters;
}

bool WriteFactoryParameters(CDeviceLink &link, const FactoryConfig &config)
{
    ParameterBlock block = MakeParameterBlock(config.parameters);
    return Send(link, kParameterLength, kParameterAddress, block.data()) > 0;
}

bool WriteFactoryKeys(CDeviceLink &link, const FactoryConfig &config)
{
    std::vector<std::uint8_t> keyData = config.keyData;
    if (Send(link, config.keyDataLength, kKeyRecordBase, keyData.data()) > 0) {
        ShowMessage(config.done);
        return true;
    }
    ShowMessage(config.failed);
    return false;
}

KeyRecord MakeKeyRecord(int keyIndex, PageKind kind, std::uint8_t value1, std::uint8_t value2)
{
    const auto type = static_cast<unsigned>(kind) << 6;
    return {static_cast<std::uint8_t>((static_cast<unsigned>(keyIndex) & 0x3F) | type), value1, value2};
}

bool SendKeyRecord(CDeviceLink &link, int keyIndex, const KeyRecord &record)
{
    std::array<std::uint8_t, 4> data{0x00, record[0], record[1], record[2]};
    return Send(link, data.size(), kKeyRecordBase + 3u * static_cast<std::uint32_t>(keyIndex), data.data()) > 0;
}

bool WriteKeyRecord(CDeviceLink &link, int keyIndex, const KeyRecord &record)
{
    if (SendKeyRecord(link, keyIndex, record))
        return true;
    ShowMessage(QT_TRANSLATE_NOOP("Tavrin", "设置失败!!"));
    return false;
}

std::string KeyName(int keyIndex)
{
    char text[16];
    std::snprintf(text, sizeof text, "KEY-%d", keyIndex + 1);
    return text;
}

std::string KeyLogLine(int keyIndex, const std::string &text)
{
    return KeyName(keyIndex) + " = " + text;
}
