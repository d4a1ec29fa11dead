#pragma once

// Identifiers of the mouse page (dialog template 131).
namespace MouseId {
inline constexpr int kTemplate = 131;

// Button check boxes. "无" only sits beside the others; it adds nothing to an assignment.
inline constexpr int kButtonNone = 1070;
inline constexpr int kLeftButton = 1071;
inline constexpr int kMiddleButton = 1072;
inline constexpr int kRightButton = 1073;

// One radio group: the movement's "无", the four directions and the wheel's "无".
inline constexpr int kMoveNone = 1074;
inline constexpr int kMoveUp = 1075;
inline constexpr int kMoveDown = 1076;
inline constexpr int kMoveLeft = 1077;
inline constexpr int kMoveRight = 1078;
inline constexpr int kWheelNone = 1089;

// Pixel counts of the four directions.
inline constexpr int kUpCount = 1079;
inline constexpr int kDownCount = 1080;
inline constexpr int kLeftCount = 1081;
inline constexpr int kRightCount = 1082;

inline constexpr int kWheelCount = 1090;
inline constexpr int kWheelDirection = 1091; // drop-down list: forward, backward
} // namespace MouseId
