#include "records/ModuleRecords.h"

#include "common/UserText.h"

#include <algorithm>
#include <cstdio>
#include <iterator>

namespace {
constexpr std::size_t kTriggerLevelAddress = 5;
// By Parameter: the long-press list has two items, the work-mode list five, the baud list four.
constexpr std::array<ParameterItem, std::size(kParameters)> kParameterItems{{
    {"long-press", 0, 1},
    {"debounce", kMinDebounce, kMaxDebounce},
    {"work-mode", 0, 4},
    {"baud", 0, 3},
}};
} // namespace

const char *const kKeyCountClamped =
    QT_TRANSLATE_NOOP("Tavrin", "设置文件中的按键数 %1 超出模块的范围，按 %2 个按键处理");

KeyRecord MakeKeyRecord(int keyIndex, PageKind kind, std::uint8_t value1, std::uint8_t value2)
{
    const auto type = static_cast<unsigned>(kind) << 6;
    return {static_cast<std::uint8_t>((static_cast<unsigned>(keyIndex) & 0x3F) | type), value1, value2};
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

BoundedKeyCount ModuleKeyCount(int configured)
{
    const int count = std::clamp(configured, 0, kMaxKeyCount);
    return {count, count != configured};
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

// Parameter bytes 7 and 9 have no control; both factory configurations put these values there,
// so writing the parameters keeps the module's own defaults.
ParameterBlock MakeParameterBlock(const ModuleParameters &parameters)
{
    return {0x00, parameters.baud, parameters.workMode, 0x00, 0x00, parameters.longPress, 0x00, 0x80,
            0x00, 0x38, 0x00, static_cast<std::uint8_t>(parameters.debounce), 0x00};
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
