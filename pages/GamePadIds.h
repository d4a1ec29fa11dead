#pragma once

// Identifiers of the gamepad page (dialog template 132). All thirteen choices are radios of one
// group; the directions and buttons 5 to 8 are hidden and disabled for good.
namespace GamePadId {
inline constexpr int kTemplate = 132;

inline constexpr int kButton1 = 1083;
inline constexpr int kButton2 = 1084;
inline constexpr int kButton3 = 1085;
inline constexpr int kButton4 = 1086;
inline constexpr int kButton5 = 1087;
inline constexpr int kButton6 = 1088;
inline constexpr int kButton7 = 1089;
inline constexpr int kButton8 = 1090;
inline constexpr int kNone = 1095; // " 无"
inline constexpr int kUp = 1096;
inline constexpr int kDown = 1097;
inline constexpr int kLeft = 1098;
inline constexpr int kRight = 1099;
} // namespace GamePadId
