#include "keymap/KeyMapReader.h"

#include "keymap/AssignmentText.h"
#include "keymap/KeyLineSyntax.h"
#include "records/FactoryConfig.h"

#include <algorithm>
#include <charconv>
#include <iterator>
#include <sstream>
#include <system_error>

namespace {
constexpr std::string_view kKeyPrefix = "KEY-";
constexpr std::string_view kBom = "\xEF\xBB\xBF";

// Where a line comes from, which decides how a fix is written: a file's line, a KEY-n TEXT pair
// of the command line, or a cell of the key table (its key's row: no name, no line number).
enum class Form { File, Arguments, Cell };

// The messages of a bad entry: %1 its line or pair number, then the values; "text" is its text quoted.
struct ReaderTexts {
    Form form;
    const char *unreadable;      // %2 text, %3 the forms the line may take
    const char *beyondKeyCount;  // %2 the key, %3 the key count
    const char *twice;           // %2 the key or parameter
    const char *emptyNeedsPage;  // %2 the key
    const char *refused;         // %2 text, %3 the page's reason
    const char *controlByte;     // %2 text
    const char *notAKeyName;     // %2 text, %3 "did you mean …?" or nothing, %4 the field's explicit form
    const char *othersRecord;    // %2 text, %3 the key the index bits name, %4 the line with its own index
    const char *debounceRange;   // %2 the value
};
constexpr ReaderTexts kFileTexts = {
    Form::File,
    QT_TRANSLATE_NOOP("Tavrin", "键值文件第 %1 行无法识别：%2。应写成：%3"),
    QT_TRANSLATE_N_NOOP("Tavrin", "键值文件第 %1 行：%2 超出模块的按键数（%3 个按键）"),
    QT_TRANSLATE_NOOP("Tavrin", "键值文件第 %1 行：%2 在前面已经出现过"),
    QT_TRANSLATE_NOOP("Tavrin", "键值文件第 %1 行：%2 的键值为空，请注明页面，例如 %2 (keyboard) =、(mouse) = 或 (gamepad) ="),
    QT_TRANSLATE_NOOP("Tavrin", "键值文件第 %1 行不能写入：%2（%3）"),
    QT_TRANSLATE_NOOP("Tavrin", "键值文件第 %1 行含有控制字符：%2"),
    QT_TRANSLATE_NOOP("Tavrin", "键值文件第 %1 行不能写入：%2 不是按键名。%3要把这些文字放进字符框（只发送第一个字符），请写：%4"),
    QT_TRANSLATE_NOOP("Tavrin", "键值文件第 %1 行不能写入：%2 的记录字节的按键号是 %3 的。请写：%4"),
    QT_TRANSLATE_NOOP("Tavrin", "键值文件第 %1 行：按键消抖值应在 10 到 255 MS 之间：%2"),
};
constexpr ReaderTexts kArgumentTexts = {
    Form::Arguments,
    QT_TRANSLATE_NOOP("Tavrin", "第 %1 个按键参数无法识别：%2。应写成：%3"),
    QT_TRANSLATE_N_NOOP("Tavrin", "第 %1 个按键参数：%2 超出模块的按键数（%3 个按键）"),
    QT_TRANSLATE_NOOP("Tavrin", "第 %1 个按键参数：%2 在前面已经出现过"),
    QT_TRANSLATE_NOOP("Tavrin", "第 %1 个按键参数：%2 的键值为空，请注明页面，例如 \"%2 (keyboard)\"、\"%2 (mouse)\" 或 \"%2 (gamepad)\""),
    QT_TRANSLATE_NOOP("Tavrin", "第 %1 个按键参数不能写入：%2（%3）"),
    QT_TRANSLATE_NOOP("Tavrin", "第 %1 个按键参数含有控制字符：%2"),
    QT_TRANSLATE_NOOP("Tavrin", "第 %1 个按键参数不能写入：%2 不是按键名。%3要把这些文字放进字符框（只发送第一个字符），请写：%4"),
    QT_TRANSLATE_NOOP("Tavrin", "第 %1 个按键参数不能写入：%2 的记录字节的按键号是 %3 的。请写：%4"),
    kFileTexts.debounceRange, // arguments hold keys only
};
// A cell is its key's row: the reason alone.
constexpr ReaderTexts kCellTexts = {
    Form::Cell,
    QT_TRANSLATE_NOOP("Tavrin", "无法识别。应写成：%3"),
    kFileTexts.beyondKeyCount, // a cell holds its own row's key, once
    kFileTexts.twice,
    QT_TRANSLATE_NOOP("Tavrin", "键值为空，请注明页面：(keyboard) =、(mouse) = 或 (gamepad) ="),
    QT_TRANSLATE_NOOP("Tavrin", "不能写入：%3"),
    QT_TRANSLATE_NOOP("Tavrin", "含有控制字符"),
    QT_TRANSLATE_NOOP("Tavrin", "不是按键名。%3要把这些文字放进字符框（只发送第一个字符），请写：%4"),
    QT_TRANSLATE_NOOP("Tavrin", "记录字节的按键号是 %3 的。请写：%4"),
    QT_TRANSLATE_NOOP("Tavrin", "按键消抖值应在 10 到 255 MS 之间"),
};
constexpr const char *kDidYouMean = QT_TRANSLATE_NOOP("Tavrin", "是不是 %1？");
constexpr const char *kOr = QT_TRANSLATE_NOOP("Tavrin", " 或 ");
// %1 the page named, %2 "did you mean …?" or nothing.
constexpr const char *kNotOfPage = QT_TRANSLATE_NOOP("Tavrin", "%1 页面不记录这个键值。%2");
constexpr const char *kNothing = QT_TRANSLATE_NOOP("Tavrin", "键值文件中没有任何按键或参数");

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

// How a key's line is written in a form: "KEY-1 (mouse) = x", "'KEY-1 (mouse)' 'x'", "(mouse) = x".
std::string Written(Form form, const std::string &key, std::string_view qualifier, std::string_view text)
{
    const std::string named = qualifier.empty() ? std::string() : "(" + std::string(qualifier) + ")";
    switch (form) {
    case Form::Arguments:
        return "'" + key + (named.empty() ? "" : " " + named) + "' '" + std::string(text) + "'";
    case Form::Cell:
        return named.empty() ? std::string(text) : named + " = " + std::string(text);
    case Form::File:
        break;
    }
    return key + (named.empty() ? "" : " " + named) + " = " + std::string(text);
}

// The forms a key's line may take: every one, or those naming a page or the record.
std::string KeyForms(Form form, bool qualifiedOnly)
{
    const std::string key = "KEY-n";
    const std::string named = Written(form, key, "keyboard|mouse|gamepad", "…") + ", " +
                              Written(form, key, "raw b0 b1 b2", "…");
    return qualifiedOnly ? named : Written(form, key, "", "…") + ", " + named;
}

std::string ParameterForm(Parameter parameter)
{
    const ParameterItem &item = ItemOf(parameter);
    const std::string values = parameter == Parameter::LongPress
                                   ? std::string(LongPressWord(0)) + "|" + std::string(LongPressWord(1))
                                   : std::to_string(item.min) + ".." + std::to_string(item.max);
    return std::string(item.name) + " = " + values;
}

std::string AllForms(Form form)
{
    std::string forms = KeyForms(form, false);
    for (const Parameter parameter : kParameters)
        forms += ", " + ParameterForm(parameter);
    return forms;
}

// "did you mean A or B?", or nothing without a close text.
std::string DidYouMean(const std::vector<std::string> &closest)
{
    if (closest.empty())
        return {};
    std::string texts;
    for (const std::string &text : closest)
        texts += (texts.empty() ? "" : TranslateText({kOr, {}})) + text;
    return TranslateText({kDidYouMean, {texts}});
}

std::optional<int> ReadParameterValue(Parameter parameter, std::string_view value)
{
    if (parameter == Parameter::LongPress) {
        const auto item = LongPressItem(value);
        return item ? std::optional<int>(*item) : std::nullopt;
    }
    return ReadNumber<int>(value);
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

// The page a qualifier names, if it names one.
std::optional<PageKind> PageNamed(std::string_view qualifier)
{
    const auto name = std::find(std::begin(kPageNames), std::end(kPageNames), qualifier);
    if (name == std::end(kPageNames))
        return std::nullopt;
    return static_cast<PageKind>(name - std::begin(kPageNames));
}

// Reads line after line; the first bad one sets the error, which names it once: its number, its
// text quoted, and why: the page's own reason, or what to write instead.
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
            return FailQuoting(m_texts.controlByte);
        const std::string_view content = Trim(line);
        if (content.starts_with(kKeyPrefix))
            return ReadKey(line.substr(line.find(kKeyPrefix)));
        if (m_bKeysOnly)
            return Unreadable(KeyForms(m_texts.form, false));
        if (content.empty() || content.starts_with('#'))
            return true;
        return ReadParameter(content);
    }

    KeyMap map;
    UserText error;

private:
    // The message of the line: its number, then more.
    bool Fail(const char *source, std::vector<std::string> more = {}, int count = -1)
    {
        error.source = source;
        error.count = count;
        error.args = {std::to_string(m_nLine)};
        error.args.insert(error.args.end(), std::make_move_iterator(more.begin()), std::make_move_iterator(more.end()));
        return false;
    }
    // The message with the line's text quoted, then more.
    bool FailQuoting(const char *source, std::vector<std::string> more = {})
    {
        more.insert(more.begin(), QuotedInput(m_line));
        return Fail(source, std::move(more));
    }
    bool Unreadable(std::string forms) { return FailQuoting(m_texts.unreadable, {std::move(forms)}); }

    bool ReadKey(std::string_view line)
    {
        const auto key = ReadKeyLine(line);
        if (!key)
            return Unreadable(KeyForms(m_texts.form, false));
        const std::string name = std::string(kKeyPrefix) + std::to_string(key->number);
        if (key->number < 1 || key->number > m_nKeyCount)
            return Fail(m_texts.beyondKeyCount, {name, std::to_string(m_nKeyCount)}, m_nKeyCount);
        const int index = key->number - 1;
        if (std::any_of(map.keys.begin(), map.keys.end(), [&](const KeyMapEntry &entry) { return entry.keyIndex == index; }))
            return Fail(m_texts.twice, {name});
        const auto record = RecordOf(*key, name);
        if (!record)
            return false;
        map.keys.push_back({index, *record, std::string(key->text)});
        return true;
    }

    // The key's record, or nullopt with the error set.
    std::optional<KeyRecord> RecordOf(const KeyLine &key, const std::string &name)
    {
        const int index = key.number - 1;
        if (key.qualifier.starts_with(kRaw))
            return RawRecord(key, name);
        std::optional<PageKind> page;
        if (!key.qualifier.empty() && !(page = PageNamed(key.qualifier))) {
            Unreadable(KeyForms(m_texts.form, true));
            return std::nullopt;
        }
        if (!page && !NamesPageInText(key, name))
            return std::nullopt;
        if (!page && key.text.empty()) {
            Fail(m_texts.emptyNeedsPage, {name});
            return std::nullopt;
        }
        std::optional<UserText> refusal;
        const auto assignment = ParseAssignmentText(key.text, page, &refusal);
        if (refusal) { // the page's reason is data of this message, translated where it is made
            FailQuoting(m_texts.refused, {TranslateText(*refusal)});
            return std::nullopt;
        }
        if (!assignment) {
            const std::string hint = DidYouMean(ClosestKeyTexts(key.text, page));
            FailQuoting(m_texts.refused, {TranslateText({kNotOfPage, {std::string(key.qualifier), hint}})});
            return std::nullopt;
        }
        // Several characters that name no key: only the first would be sent, so the line is not
        // taken unless it names the keyboard page.
        if (!page && IsLongCharacterField(key.text)) {
            const std::string field = Written(m_texts.form, name, kPageNames[0], QuotedInput(key.text));
            FailQuoting(m_texts.notAKeyName, {DidYouMean(ClosestKeyTexts(key.text)), field});
            return std::nullopt;
        }
        return MakeKeyRecord(index, assignment->kind, assignment->value1, assignment->value2);
    }

    // "KEY-2 = (mouse) x": the page belongs before "=". False, with the error set, for such a text.
    bool NamesPageInText(const KeyLine &key, const std::string &name)
    {
        if (!key.text.starts_with('('))
            return true;
        const std::size_t close = key.text.find(')');
        const std::string_view qualifier = Trim(key.text.substr(1, close == std::string_view::npos ? 0 : close - 1));
        if (close == std::string_view::npos || (!PageNamed(qualifier) && !qualifier.starts_with(kRaw)))
            return true;
        std::string_view text = key.text.substr(close + 1);
        text = Trim(text.starts_with(" =") ? text.substr(2) : text);
        return Unreadable(Written(m_texts.form, name, qualifier, QuotedInput(text)));
    }

    // The record bytes as given, when their index bits name this key (or the module may hold them
    // unwritten); Page bits stay free, so that whatever a module holds can be written back.
    std::optional<KeyRecord> RawRecord(const KeyLine &key, const std::string &name)
    {
        const int index = key.number - 1;
        const auto record = ReadRawBytes(key.qualifier.substr(kRaw.size()));
        if (!record) {
            Unreadable(Written(m_texts.form, "KEY-n", "raw b0 b1 b2", "…"));
            return std::nullopt;
        }
        constexpr std::uint8_t kIndexBits = 0x3F;
        if (((*record)[0] & kIndexBits) == (index & kIndexBits) || IsUnnamedRecord(index, *record))
            return record;
        KeyRecord own = *record;
        own[0] = static_cast<std::uint8_t>((own[0] & ~kIndexBits) | (index & kIndexBits));
        const std::string fixed = Written(m_texts.form, name, RawQualifier(own), QuotedInput(key.text));
        FailQuoting(m_texts.othersRecord, {KeyName((*record)[0] & kIndexBits), fixed});
        return std::nullopt;
    }

    bool ReadParameter(std::string_view content)
    {
        const std::size_t equals = content.find('=');
        const std::string_view name = Trim(content.substr(0, equals));
        const auto parameter = std::find_if(std::begin(kParameters), std::end(kParameters),
                                            [&](Parameter candidate) { return ItemOf(candidate).name == name; });
        if (equals == std::string_view::npos || parameter == std::end(kParameters))
            return Unreadable(AllForms(m_texts.form));
        const std::string_view value = Trim(content.substr(equals + 1));
        const std::optional<int> read = ReadParameterValue(*parameter, value);
        if (read && !ItemOf(*parameter).Holds(*read) && *parameter == Parameter::Debounce)
            return Fail(m_texts.debounceRange, {QuotedInput(value)});
        if (!read || !ItemOf(*parameter).Holds(*read))
            return Unreadable(ParameterForm(*parameter));
        if (MapValue(map, *parameter))
            return Fail(m_texts.twice, {std::string(name)});
        SetMapValue(map, *parameter, read);
        return true;
    }

    int m_nKeyCount;
    const ReaderTexts &m_texts;
    bool m_bKeysOnly;
    int m_nLine = 0;
    std::string_view m_line;
};

KeyMapResult Finish(CKeyMapReader &reader)
{
    if (reader.map.keys.empty() && !reader.map.HasParameters())
        return {std::nullopt, {kNothing, {}}};
    std::sort(reader.map.keys.begin(), reader.map.keys.end(),
              [](const KeyMapEntry &a, const KeyMapEntry &b) { return a.keyIndex < b.keyIndex; });
    return {std::move(reader.map), {}};
}
} // namespace

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
            return {std::nullopt, reader.error};
    }
    return Finish(reader);
}

KeyMapResult ParseTableLine(std::string_view line)
{
    // One line whatever it holds: a line break in a cell is refused, not read as a second line.
    CKeyMapReader reader(kMaxKeyCount, kCellTexts, false);
    if (!reader.ReadLine(1, line))
        return {std::nullopt, reader.error};
    return Finish(reader);
}

KeyMapResult ParseKeyArguments(std::span<const std::string> words, int keyCount)
{
    CKeyMapReader reader(keyCount, kArgumentTexts, true);
    for (std::size_t i = 0; i + 1 < words.size(); i += 2) {
        if (!reader.ReadLine(static_cast<int>(i / 2 + 1), words[i] + " = " + words[i + 1]))
            return {std::nullopt, reader.error};
    }
    return Finish(reader);
}
