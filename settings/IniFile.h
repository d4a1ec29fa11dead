#pragma once

#include "settings/SafeFile.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The key of the settings format: every stored value is combined byte by byte with these, the
// first at even positions, the second at odd ones. Both are 0x1C on purpose. The reader trims
// white space off a value's ends, so no byte a value may hold may scramble into white space, CR,
// LF, NUL or 0x1A. Only a constant below 0x20 keeps all printable ASCII and every byte from 0x80
// clear of those, and each such constant still turns exactly one printable character
// (0x20 ^ constant) into a blank. Two different constants would lose two characters; one shared
// constant loses only '<', which is then unsafe as a value's first or last character.
inline constexpr std::uint8_t kScrambleEven = 0x1C;
inline constexpr std::uint8_t kScrambleOdd = 0x1C;

// The raw text GetValue returns for a value that is not there. A stored value of exactly this
// text therefore reads as absent.
inline constexpr const char *kAbsentValue = "NULL";

// An INI-style document kept as its list of lines, so that a write changes one line and leaves
// order, comments, blank lines and unknown entries exactly as they were.
//
// Files are read and written as bytes with the same rules on every platform: a line ends at LF,
// a CR right before the LF is dropped, a byte 0x1A ends the file; every line is written with
// CR LF. A UTF-8 byte-order mark is read past and written back. What the lines cannot hold
// faithfully is refused, never rewritten: text after the 0x1A, UTF-16 or zero bytes, anything
// that is not a regular file of at most kMaxSettingsFileSize bytes. Section and key names match case-sensitively after trimming the line's text; only the
// first header of a section counts and its section ends at the next header.
//
// Typical use: SetPath, then ReadString/ReadInt (each reloads the file), then WriteInt or
// WriteString (each edits one line and saves the whole file), or SetInt for several values and
// one Save. A save applies the values set since the last successful save to the file as it is
// at that moment, under a lock, so values another process saved in between are kept.
class CIniFile {
public:
    CIniFile() = default;
    virtual ~CIniFile() = default;
    CIniFile(const CIniFile &) = delete;
    CIniFile &operator=(const CIniFile &) = delete;

    // A relative path is taken relative to the working folder at each load and save.
    void SetPath(const std::string &strPath)
    {
        if (strPath != m_strPath)
            m_loadedStamp.reset();
        m_strPath = strPath;
    }
    const std::string &GetPath() const { return m_strPath; }

    // The unscrambled value, or the default when the file, the section or the key is missing.
    std::string ReadString(const std::string &section, const std::string &key, const std::string &defaultText);
    // The unscrambled value read like atoi (0 for text that is not a number), or the default.
    int ReadInt(const std::string &section, const std::string &key, int defaultValue);
    // Stores the value scrambled and saves the file; false when the save failed, in which case
    // the file keeps its old content and the lines keep the change. WriteString expects text
    // that WhyNotStorable accepts.
    bool WriteInt(const std::string &section, const std::string &key, int value);
    bool WriteString(const std::string &section, const std::string &key, const std::string &text);
    // Store the value scrambled in the lines only, for the next Save.
    void SetInt(const std::string &section, const std::string &key, int value);
    void SetString(const std::string &section, const std::string &key, const std::string &text);

    // Replaces the lines by the file's. On a missing, unreadable or refused file returns false
    // and keeps the lines it had.
    bool Load();
    // Reloads the file under the folder's lock, applies the values set since the last successful
    // save and replaces the file atomically (see RewriteFile); a link's target is written. On
    // failure the file keeps every byte and the values stay set for the next save. A file still
    // as loaded (by its stamp) that already holds every value set is left alone without a lock.
    bool Save();
    // Outcome of the most recent Load or Save, and why it failed.
    bool IsOpen() const { return m_bOpen; }
    const FileError &LastError() const { return m_error; }

    // Loads, then the stored (still scrambled) value, or kAbsentValue.
    std::string GetValue(const std::string &section, const std::string &key);
    // The same in the lines as they are, without loading.
    std::string LookUp(const std::string &section, const std::string &key) const;
    // Edits the lines only: replaces the key's first line in the section's first header,
    // inserts the line at the end of that section, or appends the header and the line. The
    // edit is kept for the next Save.
    void SetValue(const std::string &section, const std::string &key, const std::string &text);
    const std::vector<std::string> &Lines() const { return m_lines; }

    // Scrambles in place; applying it twice restores the text.
    static void Scramble(std::string &text);
    // A stored value in clear, ending at its first zero byte should unscrambling produce one.
    static std::string Decode(std::string_view stored);

private:
    struct Edit {
        std::string section;
        std::string key;
        std::string text;
    };
    // Takes the file's bytes as the lines, or says why the lines could not keep them.
    FileError TakeBytes(std::string_view bytes);
    // The file is still as loaded and already holds every value set since.
    bool HoldsEverySetValue() const;

    std::string m_strPath = "ini.ini";
    bool m_bOpen = false;
    bool m_bByteOrderMark = false;
    FileError m_error;
    std::vector<std::string> m_lines;
    std::vector<Edit> m_pending; // set since the last successful save
    // The file as the last load read it, when nothing replaced it during the read.
    std::optional<FileStamp> m_loadedStamp;
    std::vector<std::string> m_loadedLines;
};

// Why a value cannot be written under the section and key so that it reads back unchanged (a text
// to translate), or nullptr when it can. Every decimal integer, every byte from 0x80 and every
// printable ASCII character except '<' at either end can be stored.
const char *WhyNotStorable(std::string_view section, std::string_view key, std::string_view text);
