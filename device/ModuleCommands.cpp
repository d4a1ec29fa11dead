#include "device/ModuleCommands.h"

#include "common/UserText.h"
#include "device/DeviceLink.h"

#include <algorithm>
#include <cstdio>

namespace {
constexpr std::uint8_t kValidMarker = 0x5A;
constexpr std::uint32_t kParameterAddress = 2;
constexpr std::uint32_t kParameterLength = 13;
constexpr std::size_t kTriggerLevelAddress = 5;
// By Parameter: the long-press list has two items, the work-mode list five, the baud list four.
constexpr std::array<ParameterItem, std::size(kParameters)> kParameterItems{{
    {"long-press", 0, 1},
    {"debounce", kMinDebounce, kMaxDebounce},
    {"work-mode", 0, 4},
    {"baud", 0, 3},
}};

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
};

const char *const kKeyCountClamped =
    QT_TRANSLATE_NOOP("Tavrin", "设置文件中的按键数 %1 超出模块的范围，按 %2 个按键处理");

BoundedKeyCount ModuleKeyCount(int configured)
{
    const int count = std::clamp(configured, 0, kMaxKeyCount);
    return {count, count != configured};
}

ModuleSnapshot DecodeModuleMemory(const std::array<std::uint8_t, kQueryLength> &memory, int keyCount)
{
    // A block written to address 2 lands without its report-ID byte: block byte k at address 1 + k.
    constexpr std::size_t kBlockAt = kParameterAddress - 1;
    ModuleSnapshot snapshot;
    snapshot.parameters = {memory[kBlockAt + 1], memory[kBlockAt + 2], memory[kBlockAt + 5], memory[kBlockAt + 11]};
    snapshot.triggerLevel = memory[kTriggerLevelAddress];
    snapshot.keyCount = ModuleKeyCount(keyCount).count;
    for (int key = 0; key < std::min(snapshot.keyCount, kReadableKeys); ++key) {
        const std::size_t at = kKeyRecordBase + 3 * static_cast<std::size_t>(key);
        snapshot.keys.push_back({memory[at], memory[at + 1], memory[at + 2]});
    }
    return snapshot;
}

ModuleReading ReadModule(CDeviceLink &link, int keyCount)
{
    std::array<std::uint8_t, 128> reply{};
    if (link.SendCommand(MakeQueryCommand(), reply.data()) <= 0)
        return {QueryStatus::NoReply, std::nullopt};
    if (reply[0] != kValidMarker)
        return {QueryStatus::Invalid, std::nullopt};
    std::array<std::uint8_t, kQueryLength> memory{};
    std::copy_n(reply.begin(), kQueryLength, memory.begin());
    return {QueryStatus::Valid, ValidQuery(DecodeModuleMemory(memory, keyCount))};
}

const ParameterItem &ItemOf(Parameter parameter)
{
    return kParameterItems.at(static_cast<std::size_t>(parameter));
}

int ParameterValue(const ModuleParameters &parameters, Parameter parameter)
{
    switch (parameter) {
    case Parameter::LongPress:
        return parameters.longPress;
    case Parameter::Debounce:
        return parameters.debounce;
    case Parameter::WorkMode:
        return parameters.workMode;
    case Parameter::Baud:
        return parameters.baud;
    }
    return 0;
}

void SetParameterValue(ModuleParameters &parameters, Parameter parameter, int value)
{
    const auto byte = static_cast<std::uint8_t>(value);
    switch (parameter) {
    case Parameter::LongPress:
        parameters.longPress = byte;
        break;
    case Parameter::Debounce:
        parameters.debounce = value;
        break;
    case Parameter::WorkMode:
        parameters.workMode = byte;
        break;
    case Parameter::Baud:
        parameters.baud = byte;
        break;
    }
}

ModuleParameters KeptParameters(const ModuleSnapshot &module, const ModuleParameters &fallback)
{
    ModuleParameters kept = fallback;
    for (const Parameter parameter : kParameters) {
        const int held = ParameterValue(module.parameters, parameter);
        if (ItemOf(parameter).Holds(held))
            SetParameterValue(kept, parameter, held);
    }
    return kept;
}

DebounceCheck CheckDebounce(int debounce)
{
    if (debounce < kMinDebounce)
        return DebounceCheck::TooSmall;
    if (debounce > kMaxDebounce)
        return DebounceCheck::TooLarge;
    return DebounceCheck::Ok;
}

const char *DebounceRefusal(DebounceCheck check)
{
    return check == DebounceCheck::TooSmall ? QT_TRANSLATE_NOOP("Tavrin", "注意，按键消抖值不能小于10 MS")
                                            : QT_TRANSLATE_NOOP("Tavrin", "注意，按键消抖值不能大于255 MS");
}

ParameterWrite WriteParameters(CDeviceLink &link, const ValidQuery &, const ModuleParameters &parameters)
{
    if (const DebounceCheck check = CheckDebounce(parameters.debounce); check != DebounceCheck::Ok)
        return {WriteResult::Refused, check};
    ParameterBlock block = MakeParameterBlock(parameters);
    return {Send(link, kParameterLength, kParameterAddress, block.data()) > 0 ? WriteResult::Done : WriteResult::Failed};
}

const FactoryConfig &FactoryConfigOf(int number)
{
    static const FactoryConfig configs[] = {
        {{0x00, 0x02, 0x01, 0x28}, FactoryKeys1(), 30},
        {{0x02, 0x03, 0x01, 0x28}, FactoryKeys2(), 12},
    };
    return configs[number == 2 ? 1 : 0];
}

ModuleParameters FactoryParameters(const FactoryConfig &config)
{
    return config.parameters;
}

FactoryResetResult FactoryReset(CDeviceLink &link, int number)
{
    FactoryResetResult result;
    result.module = ReadModule(link, 0).status;
    if (result.module != QueryStatus::Valid)
        return result;
    const FactoryConfig &config = FactoryConfigOf(number);
    ParameterBlock block = MakeParameterBlock(config.parameters);
    result.parametersWritten = Send(link, kParameterLength, kParameterAddress, block.data()) > 0;
    // The key records go whatever the parameters gave, as the window always did.
    std::vector<std::uint8_t> keyData = config.keyData;
    result.keysWritten = Send(link, config.keyDataLength, kKeyRecordBase, keyData.data()) > 0;
    return result;
}

bool WrittenRecord::IsIn(const KeyRecord &record) const
{
    return std::equal(bytes.begin(), bytes.begin() + count, record.begin());
}

WrittenRecord FactoryRecord(const FactoryConfig &config, int keyIndex)
{
    // The data phase puts keyData[1 ..] from the records' base, keyDataLength - 1 bytes of it.
    WrittenRecord written;
    for (std::size_t byte = 0; byte < written.bytes.size(); ++byte) {
        const std::size_t at = 1 + 3 * static_cast<std::size_t>(keyIndex) + byte;
        if (keyIndex < 0 || at >= config.keyDataLength || at >= config.keyData.size())
            break;
        written.bytes[byte] = config.keyData[at];
        written.count = static_cast<int>(byte) + 1;
    }
    return written;
}

bool IsUnnamedRecord(int keyIndex, const KeyRecord &record)
{
    if (record == KeyRecord{0xFF, 0xFF, 0xFF} || record == KeyRecord{0x00, 0x00, 0x00})
        return true;
    for (const int number : {1, 2}) {
        const WrittenRecord factory = FactoryRecord(FactoryConfigOf(number), keyIndex);
        if (factory.count > 0 && factory.IsIn(record))
            return true;
    }
    return false;
}

ModuleDifference CompareFactoryReset(int number, const ModuleSnapshot &after)
{
    const FactoryConfig &config = FactoryConfigOf(number);
    ModuleDifference difference;
    for (const Parameter parameter : kParameters) {
        if (ParameterValue(config.parameters, parameter) != ParameterValue(after.parameters, parameter))
            difference.parameters.push_back(parameter);
    }
    for (int key = 0; key < after.ReadableKeys(); ++key) {
        if (!FactoryRecord(config, key).IsIn(after.keys[static_cast<std::size_t>(key)]))
            difference.keys.push_back(key);
    }
    return difference;
}

KeyRecord MakeKeyRecord(int keyIndex, PageKind kind, std::uint8_t value1, std::uint8_t value2)
{
    const auto type = static_cast<unsigned>(kind) << 6;
    return {static_cast<std::uint8_t>((static_cast<unsigned>(keyIndex) & 0x3F) | type), value1, value2};
}

WriteResult SendKeyRecord(CDeviceLink &link, const ValidQuery &valid, int keyIndex, const KeyRecord &record)
{
    if (keyIndex < 0 || keyIndex >= valid.KeyCount())
        return WriteResult::Refused;
    std::array<std::uint8_t, 4> data{0x00, record[0], record[1], record[2]};
    return Send(link, data.size(), kKeyRecordBase + 3u * static_cast<std::uint32_t>(keyIndex), data.data()) > 0
               ? WriteResult::Done
               : WriteResult::Failed;
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
