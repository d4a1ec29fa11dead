#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class CDeviceLink;

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

// The typed device operations: plain values in and out, nothing shown. The window's controls, the
// command line and the key table are adapters over them and word the results. The one exception
// is the transport (CDeviceLink), which reports its own failures when they happen.

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

// What a module query found: a valid marker, another marker, or no reply at all.
enum class QueryStatus { Valid, Invalid, NoReply };

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
struct ModuleReading;

// The one read of 64 bytes at address 0, decoded.
ModuleReading ReadModule(CDeviceLink &link, int keyCount);

// Proof that the module answered a query with the valid marker, and what it answered. Only
// ReadModule makes one and every write takes one, so that no caller (window, key table,
// tavrin-cli) can write to a module it has not found valid, nor to a key the query did not list.
class ValidQuery {
public:
    const ModuleSnapshot &Snapshot() const { return m_snapshot; }
    // The keys the query listed: those a write may address.
    int KeyCount() const { return m_snapshot.keyCount; }

private:
    friend ModuleReading ReadModule(CDeviceLink &link, int keyCount);
    explicit ValidQuery(ModuleSnapshot snapshot) : m_snapshot(std::move(snapshot)) {}
    ModuleSnapshot m_snapshot;
};

struct ModuleReading {
    QueryStatus status = QueryStatus::NoReply;
    std::optional<ValidQuery> valid; // with status Valid only
};
// The reply's layout: the parameter block's bytes from address 2, key i's record at 28 + 3 × i.
ModuleSnapshot DecodeModuleMemory(const std::array<std::uint8_t, kQueryLength> &memory, int keyCount);

// The parameters a write sends where a key map or command names only some: each value the module
// holds where it is one a write could have stored, else the fallback (what the window would show
// from the settings file).
ModuleParameters KeptParameters(const ModuleSnapshot &module, const ModuleParameters &fallback);

enum class DebounceCheck { Ok, TooSmall, TooLarge };
// Whether the module can keep a debounce time, the window's low-16-bit rule included.
DebounceCheck CheckDebounce(int debounce);
// The window's words for a debounce time refused: "注意，按键消抖值不能小于10 MS" or "…大于255 MS".
const char *DebounceRefusal(DebounceCheck check);

enum class WriteResult { Done, Refused, Failed };
// Sends the parameter block; Refused, with nothing sent and the reason, for a debounce time the
// module cannot keep.
struct ParameterWrite {
    WriteResult result = WriteResult::Done;
    DebounceCheck refusal = DebounceCheck::Ok;
};
ParameterWrite WriteParameters(CDeviceLink &link, const ValidQuery &valid, const ModuleParameters &parameters);

// The two factory configurations (1 and 2). A reset checks the module with a query, then makes two
// writes: the parameters, then the key records. Nothing is written to a module that is not valid.
struct FactoryConfig;
const FactoryConfig &FactoryConfigOf(int number);
// The parameter values step 1 sends, as the window's controls show them afterwards.
ModuleParameters FactoryParameters(const FactoryConfig &config);
struct FactoryResetResult {
    QueryStatus module = QueryStatus::NoReply;
    bool parametersWritten = false;
    bool keysWritten = false;
    bool Done() const { return parametersWritten && keysWritten; }
};
FactoryResetResult FactoryReset(CDeviceLink &link, int number);

// What a factory configuration writes to a key's record: its first count bytes (none: 0).
struct WrittenRecord {
    KeyRecord bytes{};
    int count = 0;
    bool IsIn(const KeyRecord &record) const;
};
WrittenRecord FactoryRecord(const FactoryConfig &config, int keyIndex);
// Whether a module may hold a record without any write naming its key: erased (FF FF FF),
// cleared (00 00 00), or what a factory configuration writes there. Its index bits need not be
// the key's (the factory records' first byte is 0x03 or 0x80 at every key).
bool IsUnnamedRecord(int keyIndex, const KeyRecord &record);

// What a query after writing shows unlike what was written: the parameters and keys that differ.
struct ModuleDifference {
    std::vector<Parameter> parameters;
    std::vector<int> keys; // key indexes
    bool Empty() const { return parameters.empty() && keys.empty(); }
};
// Compares the query after a factory reset with what the reset wrote: its parameters, and the
// bytes it wrote to each key the reply reaches. Taking the query's snapshot, it cannot be asked
// before a valid query.
ModuleDifference CompareFactoryReset(int number, const ModuleSnapshot &after);

KeyRecord MakeKeyRecord(int keyIndex, PageKind kind, std::uint8_t value1, std::uint8_t value2);
// Sends one key record to its key's address; Refused, with nothing sent, for a key the query did
// not list. A failure is shown by the transport only.
WriteResult SendKeyRecord(CDeviceLink &link, const ValidQuery &valid, int keyIndex, const KeyRecord &record);
// "KEY-3": how the key list and the log name key index 2.
std::string KeyName(int keyIndex);
// The log line of a written key: "KEY-3 = CTRL+ALT+DEL".
std::string KeyLogLine(int keyIndex, const std::string &text);
