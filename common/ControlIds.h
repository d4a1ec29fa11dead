#pragma once

// Identifiers of the main window's controls that the operations and the settings address.
namespace MainId {
inline constexpr int kWriteParameters = 1000; // "参数写入"
inline constexpr int kFactoryReset1 = 1001;   // "恢复出厂1"
inline constexpr int kBaudRate = 1002;        // hidden combo
inline constexpr int kWorkMode = 1003;        // hidden combo
inline constexpr int kKeyList = 1004;         // combo
inline constexpr int kModuleName = 1005;      // combo
inline constexpr int kTriggerLevel = 1006;    // hidden combo
inline constexpr int kFactoryReset2 = 1007;   // "恢复出厂2"
inline constexpr int kLongPress = 1008;       // combo
inline constexpr int kFindModule = 1010;      // "查找模块"
inline constexpr int kWriteKey = 1011;        // "键值写入"
inline constexpr int kKeyTable = 1012;        // "键值表…"
inline constexpr int kLog = 1013;             // list box
inline constexpr int kClearLog = 1015;        // "清空显示"
inline constexpr int kTabHost = 1021;         // tab control
inline constexpr int kDebounce = 1096;        // edit
inline constexpr int kMaker = 1100;           // header label
inline constexpr int kContact = 1101;         // header label
inline constexpr int kWeb = 1102;             // header label
inline constexpr int kNotice = 1103;          // label
inline constexpr int kParameterNotice = 1104; // label
inline constexpr int kProductLabel = 1105;    // label

// The device-operation buttons, enabled and disabled as one set by the search.
inline constexpr int kDeviceButtons[] = {kWriteKey, kFactoryReset1, kFactoryReset2, kWriteParameters};
} // namespace MainId
