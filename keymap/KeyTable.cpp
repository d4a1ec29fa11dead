#include "keymap/KeyTable.h"

#include "keymap/KeyLineSyntax.h"
#include "keymap/KeyMapReader.h"
#include "keymap/KeyMapWriter.h"

namespace {
constexpr std::string_view kEquals = " = ";

bool IsBlank(std::string_view cell)
{
    return cell.find_first_not_of(" \t") == std::string_view::npos;
}

std::string ParameterLine(MapParameter parameter, std::string_view cell)
{
    return std::string(parameter == MapParameter::LongPress ? "long-press" : "debounce") + std::string(kEquals) +
           std::string(cell);
}
} // namespace

std::string KeyCellText(const KeyMapEntry &entry)
{
    const std::string line = FormatKeyLine(entry);
    const std::string_view rest = std::string_view(line).substr(KeyName(entry.keyIndex).size());
    if (!rest.starts_with(kEquals))
        return std::string(rest.substr(1));
    // A text that starts like a qualifier or a blank keeps its page's name in front, so that the
    // cell reads back and is not taken for an empty one.
    const std::string_view text = rest.substr(kEquals.size());
    const unsigned kind = entry.record[0] >> 6;
    if ((text.starts_with('(') || text.starts_with(' ') || text.starts_with('\t')) && kind < std::size(kPageNames))
        return "(" + std::string(kPageNames[kind]) + ")" + std::string(kEquals) + std::string(text);
    return std::string(text);
}

KeyCell ReadKeyCell(int keyIndex, std::string_view cell)
{
    if (cell.empty())
        return {};
    const std::string name = KeyName(keyIndex);
    const std::string line = cell.starts_with('(') ? name + " " + std::string(cell) : name + std::string(kEquals) + std::string(cell);
    KeyMapResult read = ParseTableLine(line);
    if (!read.map || read.map->keys.size() != 1)
        return {CellState::Invalid, {}, std::move(read.error)};
    return {CellState::Valid, read.map->keys.front(), {}};
}

std::string ParameterCellText(const KeyMap &map, MapParameter parameter)
{
    if (parameter == MapParameter::Debounce)
        return map.debounce ? std::to_string(*map.debounce) : std::string();
    if (!map.longPress)
        return {};
    // The words the reader takes.
    for (const char *word : {"yes", "no"}) {
        if (LongPressItem(word) == map.longPress)
            return word;
    }
    return {};
}

CellState ReadParameterCell(MapParameter parameter, std::string_view cell, KeyMap &map, UserText *reason)
{
    auto &longPress = map.longPress;
    auto &debounce = map.debounce;
    if (IsBlank(cell)) {
        parameter == MapParameter::LongPress ? longPress.reset() : debounce.reset();
        return CellState::Empty;
    }
    KeyMapResult read = ParseTableLine(ParameterLine(parameter, cell));
    if (!read.map) {
        if (reason)
            *reason = std::move(read.error);
        return CellState::Invalid;
    }
    if (parameter == MapParameter::LongPress)
        longPress = read.map->longPress;
    else
        debounce = read.map->debounce;
    return CellState::Valid;
}
