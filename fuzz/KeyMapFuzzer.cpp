// Reads arbitrary bytes as a key map and each of its lines as an assignment text: nothing may
// crash, leak or hang; a map that reads is written out and read back with every key record and
// parameter kept, and written out again to the same text; an assignment text that reads gives a
// key line that reads back to the same record. All in memory: the file layer has its own fuzzer
// and tests, and a save's fsync would cut the inputs a second a hundredfold.
#include "keymap/AssignmentText.h"
#include "keymap/KeyMapReader.h"
#include "keymap/KeyMapWriter.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {
// Stops the run, so that libFuzzer keeps the input, when a property does not hold.
void Require(bool bHolds)
{
    if (!bHolds)
        std::abort();
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
    const std::string text = FormatKeyMap(map);
    const KeyMapResult loaded = ParseKeyMap(text, keyCount);
    Require(loaded.map && SameContent(*loaded.map, map));
    Require(FormatKeyMap(*loaded.map) == text);
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

// Allocation stacks cost a third of the run: a crash is reproduced with them, by setting
// ASAN_OPTIONS=malloc_context_size=30, which overrides this.
extern "C" const char *__asan_default_options()
{
    return "malloc_context_size=0";
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    // The first byte chooses the module's key count and the page the first line is read for as
    // an assignment text (none, or one of the three); the rest is the file. Every line is read
    // by the key-map reader; one line as an assignment text per input is enough, since the
    // fuzzer's mutations bring any line to the front.
    const int keyCount = 1 + data[0] % 64;
    const std::optional<PageKind> pages[] = {std::nullopt, PageKind::Keyboard, PageKind::Mouse, PageKind::GamePad};
    const std::string_view text(reinterpret_cast<const char *>(data) + 1, size - 1);
    const KeyMapResult result = ParseKeyMap(text, keyCount);
    if (result.map)
        CheckMap(*result.map, keyCount);
    CheckAssignment(text.substr(0, text.find('\n')), pages[data[0] / 64]);
    return 0;
}
