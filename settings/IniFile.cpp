#include "settings/IniFile.h"

#include "common/TextNumber.h"
#include "common/UserText.h"
#include "settings/IniLine.h"
#include "settings/Utf8Path.h"

#include <algorithm>

namespace {
using Lines = std::vector<std::string>;

// Lines as the platform's text mode would give them, but the same everywhere.
Lines SplitLines(std::string_view bytes)
{
    Lines lines;
    bytes = bytes.substr(0, bytes.find('\x1A'));
    while (!bytes.empty()) {
        const auto end = bytes.find('\n');
        std::string_view line = bytes.substr(0, end);
        if (end != std::string_view::npos && !line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines.emplace_back(line);
        bytes.remove_prefix(end == std::string_view::npos ? bytes.size() : end + 1);
    }
    return lines;
}

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// What the lines cannot give back as it was: a save would destroy it.
FileProblem UnkeepableContent(std::string_view bytes)
{
    if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF") ||
        bytes.find('\0') != std::string_view::npos)
        return FileProblem::Utf16OrNul;
    const auto end = bytes.find('\x1A');
    if (end != std::string_view::npos && end + 1 < bytes.size())
        return FileProblem::TextAfterEnd;
    return FileProblem::None;
}

std::string JoinLines(const Lines &lines, bool bByteOrderMark)
{
    std::string bytes(bByteOrderMark ? kByteOrderMark : std::string_view());
    for (const std::string &line : lines)
        bytes.append(line).append("\r\n");
    return bytes;
}

// Where the key lives in the first section of that name: its line, or the end of the section
// when the section lacks it; bSection is false when there is no such section at all.
template <class Iterator> struct Position {
    bool bSection;
    bool bKey;
    Iterator it;
};

template <class LineList> auto Find(LineList &lines, std::string_view section, std::string_view key)
{
    using Found = Position<decltype(lines.begin())>;
    auto it = std::find_if(lines.begin(), lines.end(), [&](const std::string &line) {
        const auto name = SectionNameOf(line);
        return name && *name == section;
    });
    if (it == lines.end())
        return Found{false, false, it};
    for (++it; it != lines.end() && !SectionNameOf(*it); ++it) {
        if (KeyNameOf(*it) == key)
            return Found{true, true, it};
    }
    return Found{true, false, it};
}

void Apply(Lines &lines, const std::string &section, const std::string &key, const std::string &text)
{
    std::string line = key + "=" + text;
    const auto pos = Find(lines, section, key);
    if (pos.bKey) {
        *pos.it = std::move(line);
    } else if (pos.bSection) {
        lines.insert(pos.it, std::move(line));
    } else {
        lines.push_back("[" + section + "]");
        lines.push_back(std::move(line));
    }
}
} // namespace

FileError CIniFile::TakeBytes(std::string_view bytes)
{
    if (const FileProblem problem = UnkeepableContent(bytes); problem != FileProblem::None)
        return {problem};
    m_bByteOrderMark = bytes.starts_with(kByteOrderMark);
    if (m_bByteOrderMark)
        bytes.remove_prefix(kByteOrderMark.size());
    m_lines = SplitLines(bytes);
    return {};
}

bool CIniFile::Load()
{
    const std::filesystem::path path = PathFromUtf8(m_strPath);
    const std::optional<FileStamp> before = StampOf(path);
    std::string bytes;
    m_error = ReadRegularFile(path, bytes);
    if (!m_error.Failed())
        m_error = TakeBytes(bytes);
    m_bOpen = !m_error.Failed();
    m_loadedStamp = m_bOpen && before && before == StampOf(path) ? before : std::nullopt;
    m_loadedLines = m_loadedStamp ? m_lines : std::vector<std::string>{};
    return m_bOpen;
}

bool CIniFile::HoldsEverySetValue() const
{
    if (!m_loadedStamp || StampOf(PathFromUtf8(m_strPath)) != m_loadedStamp)
        return false;
    std::vector<std::string> lines = m_loadedLines;
    for (const Edit &edit : m_pending)
        Apply(lines, edit.section, edit.key, edit.text);
    return lines == m_loadedLines;
}

bool CIniFile::Save()
{
    // Most saves (every close of the window) set the values the file already holds.
    if (HoldsEverySetValue()) {
        m_error = {};
        m_bOpen = true;
        m_pending.clear();
        return true;
    }
    m_error = RewriteFile(PathFromUtf8(m_strPath), [&](const std::string *current, std::string &next) {
        if (current) {
            if (const FileError refused = TakeBytes(*current); refused.Failed())
                return refused;
        } else {
            // A new file holds only what was set.
            m_lines.clear();
            m_bByteOrderMark = false;
        }
        const std::vector<std::string> before = m_lines;
        for (const Edit &edit : m_pending)
            Apply(m_lines, edit.section, edit.key, edit.text);
        // A file that already holds every value stays as it is, line ends and all.
        next = current && m_lines == before ? *current : JoinLines(m_lines, m_bByteOrderMark);
        // What the next load would refuse is not saved.
        return FileError{UnkeepableContent(next)};
    });
    m_bOpen = !m_error.Failed();
    if (m_bOpen)
        m_pending.clear();
    return m_bOpen;
}

std::string CIniFile::GetValue(const std::string &section, const std::string &key)
{
    return Load() ? LookUp(section, key) : kAbsentValue;
}

std::string CIniFile::LookUp(const std::string &section, const std::string &key) const
{
    const auto pos = Find(m_lines, section, key);
    return pos.bKey ? std::string(ValueOf(*pos.it)) : kAbsentValue;
}

void CIniFile::SetValue(const std::string &section, const std::string &key, const std::string &text)
{
    m_pending.push_back({section, key, text});
    Apply(m_lines, section, key, text);
}

std::string CIniFile::ReadString(const std::string &section, const std::string &key, const std::string &defaultText)
{
    const std::string stored = GetValue(section, key);
    return stored == kAbsentValue ? defaultText : Decode(stored);
}

int CIniFile::ReadInt(const std::string &section, const std::string &key, int defaultValue)
{
    const std::string stored = GetValue(section, key);
    return stored == kAbsentValue ? defaultValue : AtoiRule(Decode(stored));
}

bool CIniFile::WriteInt(const std::string &section, const std::string &key, int value)
{
    SetInt(section, key, value);
    return Save();
}

bool CIniFile::WriteString(const std::string &section, const std::string &key, const std::string &text)
{
    SetString(section, key, text);
    return Save();
}

void CIniFile::SetInt(const std::string &section, const std::string &key, int value)
{
    SetString(section, key, std::to_string(value));
}

void CIniFile::SetString(const std::string &section, const std::string &key, const std::string &text)
{
    std::string stored = text;
    Scramble(stored);
    SetValue(section, key, stored);
}

void CIniFile::Scramble(std::string &text)
{
    for (std::size_t i = 0; i < text.size(); ++i)
        text[i] = static_cast<char>(static_cast<std::uint8_t>(text[i]) ^ (i % 2 == 0 ? kScrambleEven : kScrambleOdd));
}

std::string CIniFile::Decode(std::string_view stored)
{
    std::string text(stored);
    Scramble(text);
    return text.substr(0, text.find('\0'));
}

const char *WhyNotStorable(std::string_view section, std::string_view key, std::string_view text)
{
    if (!IsUsableSectionName(section))
        return QT_TRANSLATE_NOOP("Tavrin", "节名不能为空，不能以空白开头或结尾，也不能含有 ']'、LF 或 0x1A");
    if (!IsUsableKeyName(key))
        return QT_TRANSLATE_NOOP("Tavrin", "键名不能为空，不能以 '[' 或空白开头，不能以空白结尾，也不能含有 '='、LF 或 0x1A");
    if (text.find('\0') != std::string_view::npos)
        return QT_TRANSLATE_NOOP("Tavrin", "值不能含有零字节");
    std::string stored(text);
    CIniFile::Scramble(stored);
    if (stored.find_first_of(std::string_view("\r\n\x1A\0", 4)) != std::string::npos ||
        TrimIniSpace(stored).size() != stored.size())
        return QT_TRANSLATE_NOOP("Tavrin", "值含有文件无法保存的控制字符，或者开头或结尾是 '<'");
    if (stored == kAbsentValue)
        return QT_TRANSLATE_NOOP("Tavrin", "值加扰后的形式正好是缺失值的标记");
    return nullptr;
}
