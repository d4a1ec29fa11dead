#pragma once

#include <array>
#include <cstdint>
#include <string>
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

// The typed device operations: plain values in and out, failures shown through the message sink
// with the window's own texts. The window's controls and the command line are adapters over them.

// What a module query found.
struct ModuleQuery {
    bool bValid = false;
    std::uint8_t workMode = 0;     // item index of the work-mode list
    std::uint8_t triggerLevel = 0; // item index of the trigger-level list
};

// The four values that write parameters sends (item indexes and the debounce time in ms).
struct ModuleParameters {
    std::uint8_t baud = 0;
    std::uint8_t workMode = 0;
    std::uint8_t longPress = 0; // 0 "是", 1 "否"
    int debounce = 0;
};

enum class WriteResult { Done, Refused, Failed };

// One read of 64 bytes at address 0; an invalid marker shows "此模块非法，请检查！".
ModuleQuery QueryModule(CDeviceLink &link);

// Refuses a debounce time the module cannot keep, with its message; true when it can.
bool CheckDebounce(int debounce);
// Checks the debounce time, then sends the parameter block and shows its outcome.
WriteResult WriteParameters(CDeviceLink &link, const ModuleParameters &parameters);

// The two factory configurations (1 and 2). A reset is two writes: the parameters, which set the
// controls when they went through, then the key records, which decide the outcome message.
struct FactoryConfig;
const FactoryConfig &FactoryConfigOf(int number);
// The parameter values step 1 sends, as the window's controls show them afterwards.
ModuleParameters FactoryParameters(const FactoryConfig &config);
bool WriteFactoryParameters(CDeviceLink &link, const FactoryConfig &config);
// Step 2; shows "恢复出厂N设置完成" or "恢复出厂N失败".
bool WriteFactoryKeys(CDeviceLink &link, const FactoryConfig &config);

KeyRecord MakeKeyRecord(int keyIndex, PageKind kind, std::uint8_t value1, std::uint8_t value2);
// Sends one key record to its key's address; a failure is shown by the transport only.
bool SendKeyRecord(CDeviceLink &link, int keyIndex, const KeyRecord &record);
// The same, showing "设置失败!!" when it does not go through.
bool WriteKeyRecord(CDeviceLink &link, int keyIndex, const KeyRecord &record);
// "KEY-3": how the key list and the log name key index 2.
std::string KeyName(int keyIndex);
// The log line of a written key: "KEY-3 = CTRL+ALT+DEL".
std::string KeyLogLine(int keyIndex, const std::string &text);
