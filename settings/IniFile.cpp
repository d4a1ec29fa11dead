#include "settings/IniFile.h"

#include "common/TextNumber.h"
#include "common/UserText.h"
#include "settings/IniLine.h"
#include "settings/Utf8Path.h"

#include <algorithm>
#include <fstream>
#include <system_error>

namespace fs = std::filesystem;

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

bool ReadBytes(const fs::path &path, std::string &bytes)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return false;
    char buffer[4096];
    do {
        file.read(buffer, sizeof buffer);
        bytes.append(buffer, static_cast<std::size_t>(file.gcount()));
    } while (file);
    return !file.bad();
}

// Creates or truncates the file; a half-written file is removed again.
bool WriteLines(const fs::path &path, const Lines &lines)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (!file)
        return false;
    for (const std::string &line : lines) {
        file.write(line.data(), static_cast<std::streamsize>(line.size()));
        file.write("\r\n", 2);
    }
    file.close();
    if (!file.fail())
        return true;
    std::error_code ignored;
    fs::remove(path, ignored);
    return false;
}

// A rename would replace even a file the user made read-only; an existing target has to be
// writable in place, as truncating it would require.
bool MayReplace(const fs::path &target)
{
    std::error_code ec;
    if (!fs::exists(target, ec))
        return !ec;
    std::fstream probe(target, std::ios::in | std::ios::out | std::ios::binary);
    return probe.is_open();
}

bool ReplaceFile(const fs::path &target, const Lines &lines)
{
    if (!MayReplace(target))
        return false;
    fs::path temp = target;
    temp += ".tmp";
    if (!WriteLines(temp, lines))
        return false;
    std::error_code ec;
    const fs::file_status status = fs::status(target, ec);
    if (fs::exists(status))
        fs::permissions(temp, status.permissions(), ec);
    fs::rename(temp, target, ec);
    if (!ec)
        return true;
    fs::remove(temp, ec);
    return false;
}

// Where the key lives in the first section of that name: its line, or the end of the section
// when the section lacks it; bSection is false when there is no such section at all.
struct Position {
    bool bSection;
    bool bKey;
    Lines::iterator it;
};

Position Find(Lines &lines, std::string_view section, std::string_view key)
{
    auto it = std::find_if(lines.begin(), lines.end(), [&](const std::string &line) {
        const auto name = SectionNameOf(line);
        return name && *name == section;
    });
    if (it == lines.end())
        return {false, false, it};
    for (++it; it != lines.end() && !SectionNameOf(*it); ++it) {
        if (KeyNameOf(*it) == key)
            return {true, true, it};
    }
    return {true, false, it};
}
} // namespace

bool CIniFile::Load()
{
    std::string bytes;
    m_bOpen = ReadBytes(PathFromUtf8(m_strPath), bytes);
    if (m_bOpen)
        m_lines = SplitLines(bytes);
    return m_bOpen;
}

bool CIniFile::Save()
{
    m_bOpen = ReplaceFile(PathFromUtf8(m_strPath), m_lines);
    return m_bOpen;
}

std::string CIniFile::GetValue(const std::string &section, const std::string &key)
{
    if (!Load())
        return kAbsentValue;
    const Position pos = Find(m_lines, section, key);
    return pos.bKey ? std::string(ValueOf(*pos.it)) : kAbsentValue;
}

void CIniFile::SetValue(const std::string &section, const std::string &key, const std::string &text)
{
    std::string line = key + "=" + text;
    const Position pos = Find(m_lines, section, key);
    if (pos.bKey) {
        *pos.it = std::move(line);
    } else if (pos.bSection) {
        m_lines.insert(pos.it, std::move(line));
    } else {
        m_lines.push_back("[" + section + "]");
        m_lines.push_back(std::move(line));
    }
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
    return WriteString(section, key, std::to_string(value));
}

bool CIniFile::WriteString(const std::string &section, const std::string &key, const std::string &text)
{
    std::string stored = text;
    Scramble(stored);
    SetValue(section, key, stored);
    return Save();
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
