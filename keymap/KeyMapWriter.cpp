#include "keymap/KeyMapWriter.h"

#include "keymap/AssignmentText.h"
#include "keymap/KeyLineSyntax.h"

#include <algorithm>

namespace {
// What the raw form shows of a text that cannot stand in a line.
std::string LineLabel(const std::string &text)
{
    std::string label = text;
    std::replace_if(
        label.begin(), label.end(), [](char c) { return kLineBreaking.find(c) != std::string_view::npos; }, ' ');
    return label;
}

} // namespace

std::string FormatKeyLine(const KeyMapEntry &entry)
{
    const std::string key = KeyName(entry.keyIndex);
    // A line break cannot stay in a line: every form holds the text with blanks for it, so that
    // the text read back chooses the same form again.
    const std::string text = LineLabel(entry.text);
    const auto readsBack = [&](std::optional<PageKind> page) {
        const auto assignment = ParseAssignmentText(text, page);
        return assignment && MakeKeyRecord(entry.keyIndex, assignment->kind, assignment->value1,
                                           assignment->value2) == entry.record;
    };
    // A text ending in a blank names its page: should an editor drop the blank, the line is refused
    // instead of being read as some other key.
    const bool endsInBlank = text.ends_with(' ') || text.ends_with('	');
    if (!endsInBlank && !IsLongCharacterField(text) && readsBack(std::nullopt))
        return key + " = " + text;
    const unsigned kind = entry.record[0] >> 6;
    if (kind < std::size(kPageNames) && readsBack(static_cast<PageKind>(kind)))
        return key + " (" + std::string(kPageNames[kind]) + ") = " + text;
    return key + " (" + RawQualifier(entry.record) + ") = " + text;
}

std::string FormatKeyMap(const KeyMap &map, const std::string &header)
{
    std::string text = "# Tavrin key map\n" + header;
    for (const KeyMapEntry &entry : map.keys)
        text += FormatKeyLine(entry) + "\n";
    for (const Parameter parameter : kParameters) {
        if (const std::optional<int> value = MapValue(map, parameter))
            text += std::string(ItemOf(parameter).name) + " = " + ParameterText(parameter, *value) + "\n";
    }
    return text;
}
