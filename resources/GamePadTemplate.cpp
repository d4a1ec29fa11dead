#include "resources/GamePadTemplate.h"

#include "common/UserText.h"
#include "pages/GamePadIds.h"

using namespace GamePadId;

// No control starts a group, so the thirteen radios are one group. The
// directions and buttons 5 to 8 stay hidden and disabled.
const DialogTemplate &GamePadTemplate()
{
    static const DialogTemplate dialog{
        kTemplate,
        "",
        348,
        213,
        "宋体",
        9,
        {
            {kLeft, CtlKind::RadioButton, 22, 62, 24, 10, QT_TRANSLATE_NOOP("Tavrin", "左"), kHidden, {}},
            {kUp, CtlKind::RadioButton, 45, 47, 24, 10, QT_TRANSLATE_NOOP("Tavrin", "上"), kHidden, {}},
            {kDown, CtlKind::RadioButton, 45, 77, 24, 10, QT_TRANSLATE_NOOP("Tavrin", "下"), kHidden, {}},
            {kRight, CtlKind::RadioButton, 68, 62, 24, 10, QT_TRANSLATE_NOOP("Tavrin", "右"), kHidden, {}},
            {kNoId, CtlKind::GroupBox, 7, 7, 334, 199, QT_TRANSLATE_NOOP("Tavrin", "游戏杆设置"), kStyleNone, {}},
            {kNoId, CtlKind::GroupBox, 15, 20, 318, 100, QT_TRANSLATE_NOOP("Tavrin 132", "按键"), kStyleNone, {}},
            {kButton1, CtlKind::RadioButton, 150, 32, 44, 10, QT_TRANSLATE_NOOP("Tavrin", "按键1"), kStyleNone, {}},
            {kButton2, CtlKind::RadioButton, 150, 52, 44, 10, QT_TRANSLATE_NOOP("Tavrin", "按键2"), kStyleNone, {}},
            {kButton3, CtlKind::RadioButton, 150, 72, 44, 10, QT_TRANSLATE_NOOP("Tavrin", "按键3"), kStyleNone, {}},
            {kButton4, CtlKind::RadioButton, 150, 92, 44, 10, QT_TRANSLATE_NOOP("Tavrin", "按键4"), kStyleNone, {}},
            {kButton5, CtlKind::RadioButton, 240, 32, 44, 10, QT_TRANSLATE_NOOP("Tavrin", "按键5"), kHidden, {}},
            {kButton6, CtlKind::RadioButton, 240, 52, 44, 10, QT_TRANSLATE_NOOP("Tavrin", "按键6"), kHidden, {}},
            {kButton7, CtlKind::RadioButton, 240, 72, 44, 10, QT_TRANSLATE_NOOP("Tavrin", "按键7"), kHidden, {}},
            {kButton8, CtlKind::RadioButton, 240, 92, 44, 10, QT_TRANSLATE_NOOP("Tavrin", "按键8"), kHidden, {}},
            {kNone, CtlKind::RadioButton, 22, 32, 36, 10, QT_TRANSLATE_NOOP("Tavrin", " 无"), kStyleNone, {}},
        }};
    return dialog;
}
