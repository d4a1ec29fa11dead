#include "keymap/KeyMap.h"

#include "common/MessageSink.h"
#include "keymap/AssignmentText.h"
#include "settings/SafeFile.h"
#include "settings/Utf8Path.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <iterator>
#include <span>
#include <sstream>
#include <system_error>

namespace {
constexpr std::string_view kKeyPrefix = "KEY-";
constexpr std::string_view kRaw = "raw";
constexpr std::string_view kLongPress = "long-press";
constexpr std::string_view kDebounce = "debounce";
constexpr std::string_view kYesNo[] = {"yes", "no"}; // by the long-press item index
constexpr std::string_view kPageNames[] = {"keyboard", "mouse", "gamepad"}; // by PageKind
// The parameters a dump carries besides the two the window writes, as their lists' item indexes.
struct ItemParameter {
    std::string_view name;
    unsigned count;
    std::optional<std::uint8_t> KeyMap::*member;
};
constexpr ItemParameter kItemParameters[] = {
    {"work-mode", 5, &KeyMap::workMode},
    {"baud", 4, &KeyMap::baud},
};
constexpr std::string_view kBom = "\xEF\xBB\xBF";

// Where a bad entry was: a line of a file, or a KEY-n TEXT pair of the command line.
struct ReaderTexts {
    const char *unreadable;
    const char *beyondKeyCount;
    const char *twice;
    const char *emptyNeedsPage;
    const char *refused;
    const char *controlByte;
    const char *firstCharacterOnly;
};
constexpr ReaderTexts kFileTexts = {
    QT_TRANSLATE_NOOP("Tavrin", "键值文件第 %1 行无法识别：%2"),
    QT_TRANSLATE_N_NOOP("Tavrin", "键值文件第 %1 行：%2 超出模块的按键数（%3 个按键）"),
    QT_TRANSLATE_NOOP("Tavrin", "键值文件第 %1 行：%2 在前面已经出现过"),
    QT_TRANSLATE_NOOP("Tavrin", "键值文件第 %1 行：%2 的键值为空，请注明页面，例如 %2 (keyboard) =、(mouse) = 或 (gamepad) ="),
    QT_TRANSLATE_NOOP("Tavrin", "键值文件第 %1 行不能写入：%2（%3）"),
    QT_TRANSLATE_NOOP("Tavrin", "键值文件第 %1 行含有控制字符：%2"),
    QT_TRANSLATE_NOOP("Tavrin", "注意：键值文件第 %1 行“%2”不是按键名，按字符框的文字读取，只发送第一个字符“%3”"),
};
constexpr ReaderTexts kArgumentTexts = {
    QT_TRANSLATE_NOOP("Tavrin", "第 %1 个按键参数无法识别：%2"),
    QT_TRANSLATE_N_NOOP("Tavrin", "第 %1 个按键参数：%2 超出模块的按键数（%3 个按键）"),
    QT_TRANSLATE_NOOP("Tavrin", "第 %1 个按键参数：%2 在前面已经出现过"),
    QT_TRANSLATE_NOOP("Tavrin", "第 %1 个按键参数：%2 的键值为空，请注明页面，例如 \"%2 (keyboard)\"、\"%2 (mouse)\" 或 \"%2 (gamepad)\""),
    QT_TRANSLATE_NOOP("Tavrin", "第 %1 个按键参数不能写入：%2（%3）"),
    QT_TRANSLATE_NOOP("Tavrin", "第 %1 个按键参数含有控制字符：%2"),
    QT_TRANSLATE_NOOP("Tavrin", "注意：第 %1 个按键参数“%2”不是按键名，按字符框的文字读取，只发送第一个字符“%3”"),
};
// A NUL, CR or LF inside a line: each would end the line somewhere else than where it shows.
constexpr std::string_view kLineBreaking("\0\r\n", 3);
constexpr const char *kDebounceRange = QT_TRANSLATE_NOOP("Tavrin", "键值文件第 %1 行：按键消抖值应在 10 到 255 MS 之间：%2");
constexpr const char *kNothing = QT_TRANSLATE_NOOP("Tavrin", "键值文件中没有任何按键或参数");
constexpr const char *kKeyFailed = QT_TRANSLATE_NOOP("Tavrin", "%1 写入失败，其后的按键没有写入");
constexpr const char *kKeyBeyondModule = QT_TRANSLATE_NOOP("Tavrin", "%1 超出模块的按键数，什么都没有写入");
constexpr const char *kParametersFailed = QT_TRANSLATE_NOOP("Tavrin", "配置写入失败");
// %1 the file, %2 why.
constexpr const char *kReadFailed = QT_TRANSLATE_NOOP("Tavrin", "无法读取键值文件 %1：%2");
constexpr const char *kSaveFailed = QT_TRANSLATE_NOOP("Tavrin", "无法保存键值文件 %1：%2");

std::string_view Trim(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

template <typename Number>
std::optional<Number> ReadNumber(std::string_view text, int base = 10)
{
    Number number{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number, base);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return number;
}

std::string Hex(std::uint8_t byte)
{
    char text[4];
    std::snprintf(text, sizeof text, "%02X", byte);
    return text;
}

std::optional<KeyRecord> ReadRawBytes(std::string_view text)
{
    std::istringstream words{std::string(text)};
    KeyRecord record{};
    std::string word;
    for (std::uint8_t &byte : record) {
        if (!(words >> word) || word.size() > 2)
            return std::nullopt;
        const auto value = ReadNumber<unsigned>(word, 16);
        if (!value)
            return std::nullopt;
        byte = static_cast<std::uint8_t>(*value);
    }
    return words >> word ? std::nullopt : std::optional(record);
}

// "KEY-n", an optional "(qualifier)", "=", and the text after one blank, kept as it is.
struct KeyLine {
    int number = 0;
    std::string_view qualifier;
    std::string_view text;
};

std::optional<KeyLine> ReadKeyLine(std::string_view line)
{
    line.remove_prefix(kKeyPrefix.size());
    const std::size_t digits = std::min(line.find_first_not_of("0123456789"), line.size());
    const auto number = ReadNumber<int>(line.substr(0, digits));
    std::string_view rest = line.substr(digits);
    if (!number || (!rest.empty() && rest.front() != ' ' && rest.front() != '\t' && rest.front() != '=' &&
                    rest.front() != '('))
        return std::nullopt;
    KeyLine key{*number, {}, {}};
    rest = rest.substr(std::min(rest.find_first_not_of(" \t"), rest.size()));
    if (rest.starts_with('(')) {
        const std::size_t close = rest.find(')');
        if (close == std::string_view::npos)
            return std::nullopt;
        key.qualifier = Trim(rest.substr(1, close - 1));
        rest = rest.substr(close + 1);
        rest = rest.substr(std::min(rest.find_first_not_of(" \t"), rest.size()));
    }
    if (!rest.starts_with('='))
        return std::nullopt;
    rest.remove_prefix(1);
    if (rest.starts_with(' '))
        rest.remove_prefix(1);
    key.text = rest;
    return key;
}

// Reads line after line; the first bad one sets the error, which names it once: its number, its
// text quoted, and where a page refused the text, the page's own reason.
class CKeyMapReader {
public:
    CKeyMapReader(int keyCount, const ReaderTexts &texts, bool keysOnly)
        : m_nKeyCount(keyCount), m_texts(texts), m_bKeysOnly(keysOnly)
    {
    }

    // False, with the error set, at a bad line.
    bool ReadLine(int number, std::string_view line)
    {
        m_nLine = number;
        m_line = line;
        if (line.find_first_of(kLineBreaking) != std::string_view::npos)
            return Fail(m_texts.controlByte, {QuotedInput(line)});
        const std::string_view content = Trim(line);
        if (content.starts_with(kKeyPrefix))
            return ReadKey(line.substr(line.find(kKeyPrefix)));
        if (m_bKeysOnly)
            return Unreadable();
        if (content.empty() || content.starts_with('#'))
            return true;
        return ReadParameter(content);
    }

    KeyMap map;
    UserText error;
    std::vector<UserText> notices;

private:
    bool Fail(const char *source, std::vector<std::string> more = {}, int count = -1)
    {
        error.source = source;
        error.count = count;
        error.args = {std::to_string(m_nLine)};
        error.args.insert(error.args.end(), std::make_move_iterator(more.begin()), std::make_move_iterator(more.end()));
        return false;
    }
    bool Unreadable() { return Fail(m_texts.unreadable, {QuotedInput(m_line)}); }

    bool ReadKey(std::string_view line)
    {
        const auto key = ReadKeyLine(line);
        if (!key)
            return Unreadable();
        const std::string name = std::string(kKeyPrefix) + std::to_string(key->number);
        if (key->number < 1 || key->number > m_nKeyCount)
            return Fail(m_texts.beyondKeyCount, {name, std::to_string(m_nKeyCount)}, m_nKeyCount);
        const int index = key->number - 1;
        if (std::any_of(map.keys.begin(), map.keys.end(), [&](const KeyMapEntry &entry) { return entry.keyIndex == index; }))
            return Fail(m_texts.twice, {name});
        std::optional<UserText> refusal;
        const auto record = RecordOf(*key, index, refusal);
        if (refusal) // the page's reason is data of this message, translated where it is made
            return Fail(m_texts.refused, {QuotedInput(m_line), TranslateText(*refusal)});
        if (!record)
            return error.source.empty() ? Unreadable() : false;
        map.keys.push_back({index, *record, std::string(key->text)});
        return true;
    }

    std::optional<KeyRecord> RecordOf(const KeyLine &key, int index, std::optional<UserText> &refusal)
    {
        std::optional<PageKind> page;
        if (key.qualifier.starts_with(kRaw))
            return ReadRawBytes(key.qualifier.substr(kRaw.size()));
        if (!key.qualifier.empty()) {
            const auto name = std::find(std::begin(kPageNames), std::end(kPageNames), key.qualifier);
            if (name == std::end(kPageNames))
                return std::nullopt;
            page = static_cast<PageKind>(name - std::begin(kPageNames));
        } else if (key.text.empty()) {
            Fail(m_texts.emptyNeedsPage, {std::string(kKeyPrefix) + std::to_string(key.number)});
            return std::nullopt;
        }
        const auto assignment = ParseAssignmentText(key.text, page, &refusal);
        if (!assignment)
            return std::nullopt;
        // A mistyped key name reads as the field's text: it goes through, but not unnoticed.
        if (!page && IsLongCharacterField(key.text))
            notices.push_back({m_texts.firstCharacterOnly,
                               {std::to_string(m_nLine), QuotedInput(key.text), std::string(1, key.text.front())}});
        return MakeKeyRecord(index, assignment->kind, assignment->value1, assignment->value2);
    }

    bool ReadParameter(std::string_view content)
    {
        const std::size_t equals = content.find('=');
        if (equals == std::string_view::npos)
            return Unreadable();
        const std::string_view name = Trim(content.substr(0, equals));
        const std::string_view value = Trim(content.substr(equals + 1));
        if (name == kLongPress) {
            const auto item = LongPressItem(value);
            if (!item)
                return Unreadable();
            if (map.longPress)
                return Fail(m_texts.twice, {std::string(name)});
            map.longPress = item;
            return true;
        }
        if (name == kDebounce) {
            const auto debounce = ReadNumber<int>(value);
            if (!debounce)
                return Unreadable();
            if (*debounce < kMinDebounce || *debounce > kMaxDebounce)
                return Fail(kDebounceRange, {QuotedInput(value)});
            if (map.debounce)
                return Fail(m_texts.twice, {std::string(name)});
            map.debounce = *debounce;
            return true;
        }
        for (const ItemParameter &item : kItemParameters) {
            if (name != item.name)
                continue;
            const auto index = ReadNumber<unsigned>(value);
            if (!index || *index >= item.count)
                return Unreadable();
            std::optional<std::uint8_t> &held = map.*item.member;
            if (held)
                return Fail(m_texts.twice, {std::string(name)});
            held = static_cast<std::uint8_t>(*index);
            return true;
        }
        return Unreadable();
    }

    int m_nKeyCount;
    const ReaderTexts &m_texts;
    bool m_bKeysOnly;
    int m_nLine = 0;
    std::string_view m_line;
};

// What the raw form shows of a text that cannot stand in a line.
std::string LineLabel(const std::string &text)
{
    std::string label = text;
    std::replace_if(
        label.begin(), label.end(), [](char c) { return kLineBreaking.find(c) != std::string_view::npos; }, ' ');
    return label;
}

KeyMapResult Finish(CKeyMapReader &reader)
{
    if (reader.map.keys.empty() && !reader.map.HasParameters())
        return {std::nullopt, {kNothing, {}}, {}};
    std::sort(reader.map.keys.begin(), reader.map.keys.end(),
              [](const KeyMapEntry &a, const KeyMapEntry &b) { return a.keyIndex < b.keyIndex; });
    return {std::move(reader.map), {}, std::move(reader.notices)};
}
} // namespace

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

KeyMapResult ParseKeyMap(std::string_view text, int keyCount)
{
    if (text.starts_with(kBom))
        text.remove_prefix(kBom.size());
    CKeyMapReader reader(keyCount, kFileTexts, false);
    int number = 0;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        std::string_view line = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        if (!reader.ReadLine(++number, line))
            return {std::nullopt, reader.error, {}};
    }
    return Finish(reader);
}

KeyMapResult ParseKeyArguments(std::span<const std::string> words, int keyCount)
{
    CKeyMapReader reader(keyCount, kArgumentTexts, true);
    for (std::size_t i = 0; i + 1 < words.size(); i += 2) {
        if (!reader.ReadLine(static_cast<int>(i / 2 + 1), words[i] + " = " + words[i + 1]))
            return {std::nullopt, reader.error, {}};
    }
    return Finish(reader);
}

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
    return key + " (" + std::string(kRaw) + " " + Hex(entry.record[0]) + " " + Hex(entry.record[1]) + " " +
           Hex(entry.record[2]) + ") = " + text;
}

std::string FormatKeyMap(const KeyMap &map, const std::string &header)
{
    std::string text = "# Tavrin key map\n" + header;
    for (const KeyMapEntry &entry : map.keys)
        text += FormatKeyLine(entry) + "\n";
    if (map.longPress)
        text += std::string(kLongPress) + " = " + std::string(LongPressWord(*map.longPress)) + "\n";
    if (map.debounce)
        text += std::string(kDebounce) + " = " + std::to_string(*map.debounce) + "\n";
    for (const ItemParameter &item : kItemParameters) {
        if (const std::optional<std::uint8_t> &held = map.*item.member)
            text += std::string(item.name) + " = " + std::to_string(*held) + "\n";
    }
    return text;
}

namespace {
// The parameters a map sends: those it names, the others as kept gives them.
ModuleParameters ParametersToSend(const KeyMap &map, const ModuleParameters &kept)
{
    return {map.baud.value_or(kept.baud), map.workMode.value_or(kept.workMode), map.longPress.value_or(kept.longPress),
            map.debounce.value_or(kept.debounce)};
}

ApplyOutcome CheckKeyMap(const KeyMap &map, int keyCount, const ModuleParameters &kept)
{
    ApplyOutcome outcome;
    const int count = ModuleKeyCount(keyCount).count;
    for (const KeyMapEntry &entry : map.keys) {
        if (entry.keyIndex < 0 || entry.keyIndex >= count) {
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

ApplyOutcome ApplyKeyMap(CDeviceLink &link, const KeyMap &map, int keyCount, const ModuleParameters &kept,
                         const std::function<void(const KeyMapEntry &)> &written)
{
    ApplyOutcome outcome = CheckKeyMap(map, keyCount, kept);
    if (outcome.result != WriteResult::Done)
        return outcome;
    for (const KeyMapEntry &entry : map.keys) {
        if (!SendKeyRecord(link, entry.keyIndex, entry.record)) {
            outcome.result = WriteResult::Failed;
            outcome.key = entry.keyIndex;
            return outcome;
        }
        if (written)
            written(entry);
    }
    if (outcome.parameters)
        outcome.result = WriteParameters(link, *outcome.parameters);
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

std::optional<KeyMap> LoadKeyMapFile(const std::string &path, int keyCount)
{
    std::string content;
    if (const FileError error = ReadRegularFile(PathFromUtf8(path), content, kMaxKeyMapFileSize); error.Failed()) {
        ShowMessage(kReadFailed, {QuotedInput(path), TranslateText(FileErrorReason(error))});
        return std::nullopt;
    }
    KeyMapResult result = ParseKeyMap(content, keyCount);
    for (const UserText &notice : result.notices)
        ShowMessage(notice);
    if (!result.map)
        ShowMessage(result.error);
    return std::move(result.map);
}

bool SaveKeyMapFile(const std::string &path, const KeyMap &map, const std::string &header)
{
    const std::string content = FormatKeyMap(map, header);
    // What the loader would refuse is not saved: a map that reads back as no map at all.
    const int keyCount = map.keys.empty() ? 1 : map.keys.back().keyIndex + 1;
    if (const KeyMapResult readBack = ParseKeyMap(content, keyCount); !readBack.map) {
        ShowMessage(readBack.error);
        return false;
    }
    const FileError error = SaveWholeFile(PathFromUtf8(path), content, kMaxKeyMapFileSize);
    if (error.Failed()) {
        ShowMessage(kSaveFailed, {QuotedInput(path), TranslateText(FileErrorReason(error))});
        return false;
    }
    if (const auto warning = DescribeFileWarning(error, path))
        ShowMessage(*warning);
    return true;
}
