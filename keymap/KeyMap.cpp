#include "keymap/KeyMap.h"

#include <algorithm>
#include <iterator>

namespace {
constexpr std::string_view kYesNo[] = {"yes", "no"}; // by the long-press item index
} // namespace

std::optional<int> MapValue(const KeyMap &map, Parameter parameter)
{
    switch (parameter) {
    case Parameter::LongPress:
        return map.longPress;
    case Parameter::Debounce:
        return map.debounce;
    case Parameter::WorkMode:
        return map.workMode;
    case Parameter::Baud:
        return map.baud;
    }
    return std::nullopt;
}

void SetMapValue(KeyMap &map, Parameter parameter, std::optional<int> value)
{
    const auto byte = value ? std::optional(static_cast<std::uint8_t>(*value)) : std::nullopt;
    switch (parameter) {
    case Parameter::LongPress:
        map.longPress = byte;
        break;
    case Parameter::Debounce:
        map.debounce = value;
        break;
    case Parameter::WorkMode:
        map.workMode = byte;
        break;
    case Parameter::Baud:
        map.baud = byte;
        break;
    }
}

std::string ParameterText(Parameter parameter, int value)
{
    if (parameter == Parameter::LongPress && ItemOf(parameter).Holds(value))
        return std::string(LongPressWord(static_cast<std::uint8_t>(value)));
    return std::to_string(value);
}

std::optional<std::uint8_t> LongPressItem(std::string_view word)
{
    const auto it = std::find(std::begin(kYesNo), std::end(kYesNo), word);
    if (it == std::end(kYesNo))
        return std::nullopt;
    return static_cast<std::uint8_t>(it - std::begin(kYesNo));
}

std::string_view LongPressWord(std::uint8_t item)
{
    return kYesNo[item != 0];
}

void SetKey(KeyMap &map, KeyMapEntry entry)
{
    const auto place = std::lower_bound(map.keys.begin(), map.keys.end(), entry.keyIndex,
                                        [](const KeyMapEntry &held, int index) { return held.keyIndex < index; });
    if (place != map.keys.end() && place->keyIndex == entry.keyIndex)
        *place = std::move(entry);
    else
        map.keys.insert(place, std::move(entry));
}
