#pragma once

// Identifiers of the keyboard page's controls (dialog template 130).
namespace KeyboardId {
// Modifier check boxes.
inline constexpr int kCtrl = 1016;
inline constexpr int kAlt = 1017;
inline constexpr int kShift = 1018;
inline constexpr int kWin = 1019;

// The two fields and the "无" radios beside them; a checked "无" means its field is not in use.
inline constexpr int kCharField = 1020;
inline constexpr int kCodeField = 1065;
inline constexpr int kCharNone = 1067;
inline constexpr int kCodeNone = 1068;

// The three radio groups: each starts with its "无" radio, followed by its keys.
inline constexpr int kSpecialNone = 1022;
inline constexpr int kSpecialFirst = 1023;
inline constexpr int kSpecialLast = 1040;
inline constexpr int kFnNone = 1041;
inline constexpr int kFnFirst = 1042;
inline constexpr int kFnLast = 1053;
inline constexpr int kMediaNone = 1054;
inline constexpr int kMediaFirst = 1055;
inline constexpr int kMediaLast = 1062;
} // namespace KeyboardId
