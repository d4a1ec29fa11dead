#include "device/KeyMapApply.h"

namespace {
constexpr const char *kKeyFailed = QT_TRANSLATE_NOOP("Tavrin", "%1 写入失败，其后的按键没有写入");
constexpr const char *kKeyBeyondModule = QT_TRANSLATE_NOOP("Tavrin", "%1 超出模块的按键数，什么都没有写入");
constexpr const char *kParametersFailed = QT_TRANSLATE_NOOP("Tavrin", "配置写入失败");

// The parameters a map sends: those it names, the others as kept gives them.
ModuleParameters ParametersToSend(const KeyMap &map, const ModuleParameters &kept)
{
    ModuleParameters sent = kept;
    for (const Parameter parameter : kParameters) {
        if (const std::optional<int> value = MapValue(map, parameter))
            SetParameterValue(sent, parameter, *value);
    }
    return sent;
}

ApplyOutcome CheckKeyMap(const KeyMap &map, int keyCount, const ModuleParameters &kept)
{
    ApplyOutcome outcome;
    for (const KeyMapEntry &entry : map.keys) {
        if (entry.keyIndex < 0 || entry.keyIndex >= keyCount) {
            outcome.result = WriteResult::Refused;
            outcome.refusal = ApplyRefusal::KeyBeyondCount;
            outcome.key = entry.keyIndex;
            return outcome;
        }
    }
    if (!map.HasParameters())
        return outcome;
    outcome.parameters = ParametersToSend(map, kept);
    const DebounceCheck debounce = CheckDebounce(outcome.parameters->debounce);
    if (debounce != DebounceCheck::Ok) {
        outcome.result = WriteResult::Refused;
        outcome.refusal = debounce == DebounceCheck::TooSmall ? ApplyRefusal::DebounceTooSmall : ApplyRefusal::DebounceTooLarge;
    }
    return outcome;
}
} // namespace

ApplyOutcome ApplyKeyMap(CDeviceLink &link, const ValidQuery &valid, const KeyMap &map, const ModuleParameters &kept,
                         const std::function<void(const KeyMapEntry &)> &written)
{
    ApplyOutcome outcome = CheckKeyMap(map, valid.KeyCount(), kept);
    if (outcome.result != WriteResult::Done)
        return outcome;
    for (const KeyMapEntry &entry : map.keys) {
        outcome.result = SendKeyRecord(link, valid, entry.keyIndex, entry.record);
        if (outcome.result != WriteResult::Done) {
            outcome.key = entry.keyIndex;
            return outcome;
        }
        if (written)
            written(entry);
    }
    if (outcome.parameters)
        outcome.result = WriteParameters(link, valid, *outcome.parameters).result;
    return outcome;
}

UserText DescribeApplyFailure(const ApplyOutcome &outcome)
{
    switch (outcome.refusal) {
    case ApplyRefusal::KeyBeyondCount:
        return {kKeyBeyondModule, {KeyName(outcome.key)}};
    case ApplyRefusal::DebounceTooSmall:
        return {DebounceRefusal(DebounceCheck::TooSmall), {}};
    case ApplyRefusal::DebounceTooLarge:
        return {DebounceRefusal(DebounceCheck::TooLarge), {}};
    case ApplyRefusal::None:
        break;
    }
    if (outcome.key >= 0)
        return {kKeyFailed, {KeyName(outcome.key)}};
    return {kParametersFailed, {}};
}

ModuleVerification VerifyModule(CDeviceLink &link, const KeyMap &expected, int keyCount)
{
    const ModuleReading reading = ReadModule(link, keyCount);
    if (!reading.valid)
        return {reading.status, {}};
    return {QueryStatus::Valid, CompareWithModule(expected, reading.valid->Snapshot())};
}
