#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Page kinds, in tab order; also the assignment type in a key record's top two bits.
enum class PageKind : int { Keyboard = 0, Mouse = 1, GamePad = 2 };

// The module's record of one key sits at 28 + 3 × key index; the index field has six bits.
inline constexpr std::uint32_t kKeyRecordBase = 28;
inline constexpr int kMaxKeyCount = 64;
// The module keeps the debounce time in one byte and needs at least this much.
inline constexpr int kMinDebounce = 10;
inline constexpr int kMaxDebounce = 255;

// The 3-byte record of one key: index and type, then the page's two value bytes.
using KeyRecord = std::array<std::uint8_t, 3>;

KeyRecord MakeKeyRecord(int keyIndex, PageKind kind, std::uint8_t value1, std::uint8_t value2);
// "KEY-3": how the key list and the log name key index 2.
std::string KeyName(int keyIndex);
// The log line of a written key: "KEY-3 = CTRL+ALT+DEL".
std::string KeyLogLine(int keyIndex, const std::string &text);

// The key count of the settings file, bounded to what a record's six index bits can address.
struct BoundedKeyCount {
    int count = 0;
    bool clamped = false; // the settings asked for more (or fewer) keys than a module can have
};
BoundedKeyCount ModuleKeyCount(int configured);
// What each program says once of a bounded count: the settings' count, then the count used.
extern const char *const kKeyCountClamped;

// The four values that write parameters sends (item indexes and the debounce time in ms).
struct ModuleParameters {
    std::uint8_t baud = 0;
    std::uint8_t workMode = 0;
    std::uint8_t longPress = 0; // 0 "是", 1 "否"
    int debounce = 0;
    bool operator==(const ModuleParameters &) const = default;
};

// The four parameters one by one, in the order a key map writes them: what the key-map reader,
// a dump, a verify and a factory reset's check all go through.
enum class Parameter { LongPress, Debounce, WorkMode, Baud };
inline constexpr Parameter kParameters[] = {Parameter::LongPress, Parameter::Debounce, Parameter::WorkMode,
                                            Parameter::Baud};
// A parameter's name in key maps, reports and log lines, and the values a write may send: item
// indexes of its list, or the debounce time in ms.
struct ParameterItem {
    std::string_view name;
    int min;
    int max;
    bool Holds(int value) const { return value >= min && value <= max; }
};
const ParameterItem &ItemOf(Parameter parameter);
int ParameterValue(const ModuleParameters &parameters, Parameter parameter);
void SetParameterValue(ModuleParameters &parameters, Parameter parameter, int value);

enum class DebounceCheck { Ok, TooSmall, TooLarge };
// Whether the module can keep a debounce time, the window's low-16-bit rule included.
DebounceCheck CheckDebounce(int debounce);
// The window's words for a debounce time refused: "注意，按键消抖值不能小于10 MS" or "…大于255 MS".
const char *DebounceRefusal(DebounceCheck check);

// The query reads the setting memory from address 0; the keys whose records lie inside its reply.
inline constexpr int kReadableKeys = 12;
inline constexpr std::size_t kQueryLength = 64;

// The module's configuration as its setting memory holds it.
struct ModuleSnapshot {
    ModuleParameters parameters;
    std::uint8_t triggerLevel = 0;
    int keyCount = 0;            // the module's keys, as the settings give them (0..64)
    std::vector<KeyRecord> keys; // the records of keys 1..min(keyCount, kReadableKeys)
    // Keys from here on are not in the reply.
    int ReadableKeys() const { return static_cast<int>(keys.size()); }
};

// The setting memory's layout, both ways. The reply: the parameter block's bytes from address 2,
// key i's record at 28 + 3 × i.
ModuleSnapshot DecodeModuleMemory(const std::array<std::uint8_t, kQueryLength> &memory, int keyCount);
// The parameter block a write sends to kParameterAddress, report-ID byte first.
inline constexpr std::uint32_t kParameterAddress = 2;
inline constexpr std::uint32_t kParameterLength = 13;
using ParameterBlock = std::array<std::uint8_t, kParameterLength>;
ParameterBlock MakeParameterBlock(const ModuleParameters &parameters);

// The parameters a write sends where a key map or command names only some: each value the module
// holds where it is one a write could have stored, else the fallback (what the window would show
// from the settings file).
ModuleParameters KeptParameters(const ModuleSnapshot &module, const ModuleParameters &fallback);
