// Loads arbitrary bytes as a settings document, looks up every entry it names, and writes values
// back: nothing may crash, leak or hang, a save followed by a load must give the same lines, and
// every value written must read back equal.
#include "settings/IniFile.h"
#include "settings/IniLine.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace {
constexpr std::size_t kMaxEntries = 8;

// Stops the run, so that libFuzzer keeps the input, when a property does not hold.
void Require(bool bHolds)
{
    if (!bHolds)
        std::abort();
}

const std::string &DocumentPath()
{
    static const std::string path =
        (std::filesystem::temp_directory_path() / ("tavrin-ini-fuzz-" + std::to_string(std::random_device{}()) + ".ini"))
            .string();
    return path;
}

std::vector<std::string> LoadLines()
{
    CIniFile ini;
    ini.SetPath(DocumentPath());
    Require(ini.Load());
    return ini.Lines();
}

// The section and key of the document's first entries, as the lookups would name them.
std::vector<std::pair<std::string, std::string>> EntriesOf(const std::vector<std::string> &lines)
{
    std::vector<std::pair<std::string, std::string>> entries;
    std::string section;
    for (const std::string &line : lines) {
        if (const auto name = SectionNameOf(line))
            section = *name;
        else if (!KeyNameOf(line).empty() && entries.size() < kMaxEntries)
            entries.emplace_back(section, KeyNameOf(line));
    }
    entries.emplace_back("fuzz", "new key");
    return entries;
}

void WriteAndReadBack(CIniFile &ini, const std::string &section, const std::string &key, const std::string &text,
                      int number)
{
    CIniFile reader;
    reader.SetPath(DocumentPath());
    if (WhyNotStorable(section, key, text) == nullptr) {
        Require(ini.WriteString(section, key, text));
        Require(reader.ReadString(section, key, "") == text);
    }
    if (WhyNotStorable(section, key, "0") == nullptr) {
        Require(ini.WriteInt(section, key, number));
        Require(reader.ReadInt(section, key, 0) == number);
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    {
        std::ofstream file(DocumentPath(), std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char *>(data), static_cast<std::streamsize>(size));
    }
    CIniFile ini;
    ini.SetPath(DocumentPath());
    if (!ini.Load()) {
        // Refused content is refused by a save too, and keeps every byte.
        Require(!ini.WriteInt("fuzz", "k", 1));
        std::ifstream file(DocumentPath(), std::ios::binary);
        Require(std::string(std::istreambuf_iterator<char>(file), {}) ==
                std::string(reinterpret_cast<const char *>(data), size));
        return 0;
    }
    const std::vector<std::string> lines = ini.Lines();
    Require(ini.Save());
    Require(LoadLines() == lines);

    const auto entries = EntriesOf(lines);
    int number = static_cast<int>(size * 2654435761u);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const auto &[section, key] = entries[i];
        ini.ReadString(section, key, "");
        ini.ReadInt(section, key, 0);
        const std::string &text = lines.empty() ? key : lines[(i * 7) % lines.size()];
        WriteAndReadBack(ini, section, key, text, number);
        number = -number ^ static_cast<int>(i);
    }
    return 0;
}
