#include "resources/KeyboardTemplate.h"

#include "common/UserText.h"

namespace {
constexpr CtlKind kRadio = CtlKind::RadioButton;
constexpr unsigned kFirstOfGroup = kGroup;

DialogTemplate MakeKeyboardTemplate()
{
    return DialogTemplate{
        130,
        "",
        344,
        208,
        "宋体",
        9,
        {
            {kNoId, CtlKind::GroupBox, 4, 2, 336, 202, QT_TRANSLATE_NOOP("Tavrin", "键盘设置（支持所有按键）"), kStyleNone, {}},

            // Special keys in four columns; the group's "无" heads the first.
            {kNoId, CtlKind::GroupBox, 10, 14, 248, 82, QT_TRANSLATE_NOOP("Tavrin", "特殊键"), kStyleNone, {}},
            {1022, kRadio, 18, 26, 56, 10, QT_TRANSLATE_NOOP("Tavrin", "无"), kFirstOfGroup, {}},
            {1023, kRadio, 18, 40, 56, 10, "Enter", kStyleNone, {}},
            {1024, kRadio, 18, 54, 56, 10, "Esc", kStyleNone, {}},
            {1025, kRadio, 18, 68, 56, 10, "Delete", kStyleNone, {}},
            {1026, kRadio, 18, 82, 56, 10, "Back", kStyleNone, {}},
            {1027, kRadio, 78, 26, 56, 10, "Insert", kStyleNone, {}},
            {1028, kRadio, 78, 40, 56, 10, "Home", kStyleNone, {}},
            {1029, kRadio, 78, 54, 56, 10, "End", kStyleNone, {}},
            {1030, kRadio, 78, 68, 56, 10, "Prtsc", kStyleNone, {}},
            {1031, kRadio, 78, 82, 56, 10, "Power", kStyleNone, {}},
            {1032, kRadio, 138, 26, 56, 10, "Tab", kStyleNone, {}},
            {1033, kRadio, 138, 40, 56, 10, "Caps", kStyleNone, {}},
            {1034, kRadio, 138, 54, 56, 10, "PgUp", kStyleNone, {}},
            {1035, kRadio, 138, 68, 56, 10, "PgDn", kStyleNone, {}},
            {1036, kRadio, 138, 82, 56, 10, QT_TRANSLATE_NOOP("Tavrin", "空格"), kStyleNone, {}},
            {1037, kRadio, 198, 26, 56, 10, QT_TRANSLATE_NOOP("Tavrin", "上"), kStyleNone, {}},
            {1038, kRadio, 198, 40, 56, 10, QT_TRANSLATE_NOOP("Tavrin", "下"), kStyleNone, {}},
            {1039, kRadio, 198, 54, 56, 10, QT_TRANSLATE_NOOP("Tavrin", "左"), kStyleNone, {}},
            {1040, kRadio, 198, 68, 56, 10, QT_TRANSLATE_NOOP("Tavrin", "右"), kStyleNone, {}},

            // Function keys in one row. The narrow "无" radios here and below have their own
            // translation, a sign where the word does not fit.
            {kNoId, CtlKind::GroupBox, 10, 100, 324, 28, "Fn", kStyleNone, {}},
            {1041, kRadio, 15, 112, 23, 10, QT_TRANSLATE_NOOP("Tavrin 130", "无"), kFirstOfGroup, {}},
            {1042, kRadio, 38, 112, 23, 10, "F1", kStyleNone, {}},
            {1043, kRadio, 61, 112, 23, 10, "F2", kStyleNone, {}},
            {1044, kRadio, 84, 112, 23, 10, "F3", kStyleNone, {}},
            {1045, kRadio, 107, 112, 23, 10, "F4", kStyleNone, {}},
            {1046, kRadio, 130, 112, 23, 10, "F5", kStyleNone, {}},
            {1047, kRadio, 153, 112, 23, 10, "F6", kStyleNone, {}},
            {1048, kRadio, 176, 112, 23, 10, "F7", kStyleNone, {}},
            {1049, kRadio, 199, 112, 23, 10, "F8", kStyleNone, {}},
            {1050, kRadio, 222, 112, 23, 10, "F9", kStyleNone, {}},
            {1051, kRadio, 245, 112, 28, 10, "F10", kStyleNone, {}},
            {1052, kRadio, 273, 112, 28, 10, "F11", kStyleNone, {}},
            {1053, kRadio, 301, 112, 28, 10, "F12", kStyleNone, {}},

            // Media keys in one row, each as wide as the longer of its two captions needs.
            {kNoId, CtlKind::GroupBox, 10, 132, 324, 28, QT_TRANSLATE_NOOP("Tavrin", "多媒体键"), kStyleNone, {}},
            {1054, kRadio, 13, 144, 22, 10, QT_TRANSLATE_NOOP("Tavrin 130", "无"), kFirstOfGroup, {}},
            {1055, kRadio, 35, 144, 32, 10, QT_TRANSLATE_NOOP("Tavrin", "静音"), kStyleNone, {}},
            {1056, kRadio, 67, 144, 31, 10, QT_TRANSLATE_NOOP("Tavrin", "停止"), kStyleNone, {}},
            {1057, kRadio, 98, 144, 38, 10, QT_TRANSLATE_NOOP("Tavrin", "音量加"), kStyleNone, {}},
            {1058, kRadio, 136, 144, 38, 10, QT_TRANSLATE_NOOP("Tavrin", "音量减"), kStyleNone, {}},
            {1059, kRadio, 174, 144, 38, 10, QT_TRANSLATE_NOOP("Tavrin", "上一首"), kStyleNone, {}},
            {1060, kRadio, 212, 144, 38, 10, QT_TRANSLATE_NOOP("Tavrin", "下一首"), kStyleNone, {}},
            {1061, kRadio, 250, 144, 54, 10, QT_TRANSLATE_NOOP("Tavrin", "暂停/播放"), kStyleNone, {}},
            {1062, kRadio, 304, 144, 29, 10, QT_TRANSLATE_NOOP("Tavrin", "快进"), kStyleNone, {}},

            // Modifiers in one column beside the special keys.
            {kNoId, CtlKind::GroupBox, 264, 14, 70, 82, QT_TRANSLATE_NOOP("Tavrin", "组合键"), kStyleNone, {}},
            {1016, CtlKind::CheckBox, 274, 26, 50, 10, "Ctrl", kFirstOfGroup, {}},
            {1017, CtlKind::CheckBox, 274, 40, 50, 10, "Alt", kStyleNone, {}},
            {1018, CtlKind::CheckBox, 274, 54, 50, 10, "Shift", kStyleNone, {}},
            {1019, CtlKind::CheckBox, 274, 68, 50, 10, "WIN", kStyleNone, {}},

            // The two fields, each with the "无" that says it is not in use.
            {kNoId, CtlKind::GroupBox, 10, 164, 324, 32, QT_TRANSLATE_NOOP("Tavrin", "自定义"), kStyleNone, {}},
            {kNoId, CtlKind::Label, 18, 178, 60, 8, QT_TRANSLATE_NOOP("Tavrin", "数字/字母/符号"), kStyleNone, {}},
            {1020, CtlKind::Edit, 80, 176, 60, 12, "", kFirstOfGroup, {}},
            {1067, kRadio, 144, 177, 24, 10, QT_TRANSLATE_NOOP("Tavrin 130", "无"), kFirstOfGroup, {}},
            {kNoId, CtlKind::Label, 176, 178, 40, 8, QT_TRANSLATE_NOOP("Tavrin", "按键HID码"), kGroup, {}},
            {1065, CtlKind::Edit, 218, 176, 60, 12, "", kFirstOfGroup, {}},
            {1068, kRadio, 282, 177, 24, 10, QT_TRANSLATE_NOOP("Tavrin 130", "无"), kFirstOfGroup, {}},
        }};
}
} // namespace

const DialogTemplate &KeyboardTemplate()
{
    static const DialogTemplate kTemplate = MakeKeyboardTemplate();
    return kTemplate;
}
