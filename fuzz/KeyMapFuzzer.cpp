// Reads arbitrary bytes as a key map and each of its lines as an assignment text: nothing may
// crash, leak or hang; a map that reads is saved and loaded again through the file layer with
// every key record and parameter kept, and its second save equals its first; an assignment text
// that reads gives a key line that reads back to the same record.
#include "common/MessageSink.h"
#include "keymap/AssignmentText.h"
#include "keymap/KeyMap.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <string_view>

namespace {
// Stops the run, so that libFuzzer keeps the input, when a property does not hold.
void Require(bool bHolds)
{
    if (!bHolds)
        std::abort();
}

// Refusals are expected; they would only flood the output.
class CSilentSink final : public IMessageSink {
public:
    void ShowMessage(const UserText &) override {}
};

const std::string &MapPath()
{
    static const std::string path =
        (std::filesystem::temp_directory_path() / ("tavrin-keymap-fuzz-" + std::to_string(std::random_device{}()) + ".txt"))
            .string();
    return path;
}

bool SameContent(const KeyMap &a, const KeyMap &b)
{
    if (a.keys.size() != b.keys.size() || a.longPress != b.longPress || a.debounce != b.debounce)
        return false;
    for (std::size_t i = 0; i < a.keys.size(); ++i) {
        if (a.keys[i].keyIndex != b.keys[i].keyIndex || a.keys[i].record != b.keys[i].record)
            return false;
    }
    return true;
}

void CheckMap(const KeyMap &map, int keyCount)
{
    Require(SaveKeyMapFile(MapPath(), map));
    const std::optional<KeyMap> loaded = LoadKeyMapFile(MapPath(), keyCount);
    Require(loaded && SameContent(*loaded, map));
    Require(FormatKeyMap(*loaded) == FormatKeyMap(map));
}

void CheckAssignment(std::string_view line, std::optional<PageKind> page)
{
    const auto assignment = ParseAssignmentText(line, page);
    if (!assignment)
        return;
    const KeyMapEntry entry{0, MakeKeyRecord(0, assignment->kind, assignment->value1, assignment->value2),
                            std::string(line)};
    const KeyMapResult read = ParseKeyMap(FormatKeyLine(entry), 1);
    Require(read.map && read.map->keys.size() == 1 && read.map->keys[0].record == entry.record);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static CSilentSink sink;
    static CMessageSinkScope scope(sink);
    if (size == 0)
        return 0;
    // The first byte chooses the module's key count, the rest is the file.
    const int keyCount = 1 + data[0] % 64;
    const std::string_view text(reinterpret_cast<const char *>(data) + 1, size - 1);
    const KeyMapResult result = ParseKeyMap(text, keyCount);
    if (result.map)
        CheckMap(*result.map, keyCount);
    for (std::string_view rest = text; !rest.empty();) {
        const std::size_t end = std::min(rest.find('\n'), rest.size());
        const std::string_view line = rest.substr(0, end);
        rest.remove_prefix(std::min(end + 1, rest.size()));
        for (const auto page : {std::optional<PageKind>(), std::optional(PageKind::Keyboard),
                                std::optional(PageKind::Mouse), std::optional(PageKind::GamePad)})
            CheckAssignment(line, page);
    }
    return 0;
}
