#include "resources/MouseTemplate.h"

#include "common/UserText.h"
#include "pages/MouseIds.h"

using namespace MouseId;

// The six radios run from the movement's "无" to the wheel's "无" without a group start between
// them, so they are one group; the count fields start the next group. The direction list offers
// its two entries only.
const DialogTemplate &MouseTemplate()
{
    static const DialogTemplate dialog{
        kTemplate,
        "",
        348,
        211,
        "宋体",
        9,
        {
            {kNoId, CtlKind::GroupBox, 7, 7, 334, 197, QT_TRANSLATE_NOOP("Tavrin", "鼠标设置"), kStyleNone, {}},
            {kNoId, CtlKind::GroupBox, 17, 20, 314, 32, QT_TRANSLATE_NOOP("Tavrin 131", "按键"), kStyleNone, {}},
            {kButtonNone, CtlKind::CheckBox, 35, 34, 40, 10, QT_TRANSLATE_NOOP("Tavrin", "无"), kGroup, {}},
            {kLeftButton, CtlKind::CheckBox, 105, 34, 40, 10, QT_TRANSLATE_NOOP("Tavrin", "左键"), kStyleNone, {}},
            {kMiddleButton, CtlKind::CheckBox, 175, 34, 40, 10, QT_TRANSLATE_NOOP("Tavrin", "中键"), kStyleNone, {}},
            {kRightButton, CtlKind::CheckBox, 245, 34, 40, 10, QT_TRANSLATE_NOOP("Tavrin", "右键"), kStyleNone, {}},
            {kNoId, CtlKind::GroupBox, 17, 58, 314, 96, QT_TRANSLATE_NOOP("Tavrin", "鼠标像素移动"), kStyleNone, {}},
            {kMoveNone, CtlKind::RadioButton, 27, 70, 36, 10, QT_TRANSLATE_NOOP("Tavrin", "无"), kGroup, {}},
            {kMoveUp, CtlKind::RadioButton, 135, 72, 32, 10, QT_TRANSLATE_NOOP("Tavrin", "上移"), kStyleNone, {}},
            {kMoveDown, CtlKind::RadioButton, 135, 132, 32, 10, QT_TRANSLATE_NOOP("Tavrin", "下移"), kStyleNone, {}},
            {kMoveLeft, CtlKind::RadioButton, 45, 102, 32, 10, QT_TRANSLATE_NOOP("Tavrin", "左移"), kStyleNone, {}},
            {kMoveRight, CtlKind::RadioButton, 225, 102, 32, 10, QT_TRANSLATE_NOOP("Tavrin", "右移"), kStyleNone, {}},
            {kNoId, CtlKind::GroupBox, 17, 160, 314, 38, QT_TRANSLATE_NOOP("Tavrin", "滚轮操作"), kStyleNone, {}},
            {kWheelNone, CtlKind::RadioButton, 27, 177, 36, 10, QT_TRANSLATE_NOOP("Tavrin", "无"), kStyleNone, {}},
            {kUpCount, CtlKind::Edit, 170, 70, 40, 13, "", kGroup, {}},
            {kDownCount, CtlKind::Edit, 170, 130, 40, 13, "", kStyleNone, {}},
            {kLeftCount, CtlKind::Edit, 80, 100, 40, 13, "", kStyleNone, {}},
            {kRightCount, CtlKind::Edit, 260, 100, 40, 13, "", kStyleNone, {}},
            {kWheelCount, CtlKind::Edit, 160, 175, 40, 13, "", kStyleNone, {}},
            {kWheelDirection, CtlKind::ComboBox, 75, 175, 70, 40, "", kDropDownList, {QT_TRANSLATE_NOOP("Tavrin", "往前滚动"), QT_TRANSLATE_NOOP("Tavrin", "往后滚动")}},
            {kNoId, CtlKind::Label, 205, 177, 20, 8, QT_TRANSLATE_NOOP("Tavrin", "刻度"), kStyleNone, {}},
        }};
    return dialog;
}
