#include "app/EntryWords.h"

#include "common/UserText.h"
#include "translations/Translation.h"

#include <iterator>

namespace {
constexpr const char *kEmptyRecord = QT_TRANSLATE_NOOP("Tavrin", "(空)");
constexpr const char *kLongPressWords[] = {QT_TRANSLATE_NOOP("Tavrin", "是"), QT_TRANSLATE_NOOP("Tavrin", "否")};
constexpr const char *kParameterNames[] = {QT_TRANSLATE_NOOP("Tavrin", "长按连击"), QT_TRANSLATE_NOOP("Tavrin", "按键消抖")};
constexpr const char *kTableName = QT_TRANSLATE_NOOP("Tavrin", "键值表");
} // namespace

QString EntryWords(const KeyMapEntry &entry)
{
    return entry.text.empty() ? TranslatedText(kEmptyRecord) : QString::fromStdString(entry.text);
}

QString PlainWords(const std::optional<MapParameter> &parameter, int keyIndex, const std::string &cell)
{
    if (parameter) {
        KeyMap read;
        if (*parameter == MapParameter::LongPress && ReadParameterCell(*parameter, cell, read) == CellState::Valid &&
            read.longPress && *read.longPress < std::size(kLongPressWords))
            return TranslatedText(kLongPressWords[*read.longPress]);
        return QString::fromStdString(cell);
    }
    const KeyCell read = ReadKeyCell(keyIndex, cell);
    return read.state == CellState::Valid ? EntryWords(read.entry) : QString::fromStdString(cell);
}

QString ParameterName(MapParameter parameter)
{
    return TranslatedText(kParameterNames[static_cast<int>(parameter)]);
}

QString KeyTableName()
{
    return TranslatedText(kTableName);
}
