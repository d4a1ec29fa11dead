#include "resources/MainTemplate.h"

#include "common/ControlIds.h"
#include "common/UserText.h"

namespace {
using namespace MainId;
constexpr unsigned kCombo = kGroup;

DialogTemplate BuildMainDlg()
{
    return DialogTemplate{
        102,
        "Tavrin V2.3 Vela",
        357,
        455,
        "宋体",
        9,
        {
            // Header; the three lines are replaced by the settings file's texts at start-up.
            {kMaker, CtlKind::Label, 8, 1, 339, 8, "", kAlignCenter, {}},
            {kContact, CtlKind::Label, 8, 13, 169, 8, "", kAlignLeft, {}},
            // Right-aligned up to the product label's frame, whose top line it would cross.
            {kWeb, CtlKind::Label, 188, 10, 121, 8, "", kAlignRight, {}},
            // Room around the product name for the taller and wider CJK fonts.
            {kNoId, CtlKind::GroupBox, 311, 16, 39, 17, "", kStyleNone, {}},
            {kProductLabel, CtlKind::Label, 315, 21, 31, 8, QT_TRANSLATE_NOOP("Tavrin", "Vela产品"), kStyleNone, {}},
            // Tab host with the three key pages.
            {kTabHost, CtlKind::TabControl, 5, 21, 343, 224, "", kGroup, {}},
            // "参数设置": the fields leave their labels room for the English names, and the
            // three buttons share the frame's width.
            {kNoId, CtlKind::GroupBox, 5, 249, 195, 76, QT_TRANSLATE_NOOP("Tavrin", "参数设置"), kStyleNone, {}},
            {kParameterNotice, CtlKind::Label, 9, 258, 189, 23,
             QT_TRANSLATE_NOOP("Tavrin", "注意:参数写入按钮,只有更改模块长按连接,按键消抖的参数,才能点击。"), kStyleNone, {}},
            {kNoId, CtlKind::Label, 11, 282, 33, 8, QT_TRANSLATE_NOOP("Tavrin", "长按连击"), kStyleNone, {}},
            // The lists the window shows offer their items only: the operations use the selected
            // item, so a typed text that named no item would show one key or value and write another.
            {kLongPress, CtlKind::ComboBox, 52, 281, 57, 61, "", kCombo | kDropDownList, {QT_TRANSLATE_NOOP("Tavrin", "是"), QT_TRANSLATE_NOOP("Tavrin", "否"), ""}},
            {kNoId, CtlKind::Label, 12, 298, 33, 8, QT_TRANSLATE_NOOP("Tavrin", "按键消抖"), kStyleNone, {}},
            {kDebounce, CtlKind::Edit, 52, 295, 33, 13, "", kGroup | kAlignCenter, {}},
            {kNoId, CtlKind::Label, 88, 298, 9, 8, QT_TRANSLATE_NOOP("Tavrin", "MS"), kStyleNone, {}},
            {kNoId, CtlKind::Label, 117, 278, 17, 8, QT_TRANSLATE_NOOP("Tavrin", "模式"), kHidden, {}},
            {kWorkMode, CtlKind::ComboBox, 138, 276, 57, 56, "", kCombo | kHidden,
             {QT_TRANSLATE_NOOP("Tavrin", "单键盘"), QT_TRANSLATE_NOOP("Tavrin", "单鼠标"), QT_TRANSLATE_NOOP("Tavrin", "键鼠组合"), QT_TRANSLATE_NOOP("Tavrin", "单游戏柄"), QT_TRANSLATE_NOOP("Tavrin", "键鼠游戏柄组合")}},
            {kNoId, CtlKind::Label, 111, 287, 25, 8, QT_TRANSLATE_NOOP("Tavrin", "波特率"), kHidden, {}},
            {kBaudRate, CtlKind::ComboBox, 143, 283, 43, 61, "", kCombo | kHidden, {QT_TRANSLATE_NOOP("Tavrin", "禁用"), "4800", "9600", "115200"}},
            {kNoId, CtlKind::Label, 116, 295, 33, 8, QT_TRANSLATE_NOOP("Tavrin", "触发电平"), kHidden, {}},
            {kTriggerLevel, CtlKind::ComboBox, 150, 293, 43, 61, "", kCombo | kHidden, {QT_TRANSLATE_NOOP("Tavrin", "低电平"), QT_TRANSLATE_NOOP("Tavrin", "高电平"), ""}},
            {kWriteParameters, CtlKind::PushButton, 9, 309, 60, 14, QT_TRANSLATE_NOOP("Tavrin", "参数写入"), kDisabled, {}},
            {kFactoryReset1, CtlKind::PushButton, 71, 309, 60, 14, QT_TRANSLATE_NOOP("Tavrin", "恢复出厂1"), kDisabled, {}},
            {kFactoryReset2, CtlKind::PushButton, 133, 309, 60, 14, QT_TRANSLATE_NOOP("Tavrin", "恢复出厂2"), kDisabled, {}},
            // "操作": the module's name has the first row to itself, so that it shows whole.
            {kNoId, CtlKind::GroupBox, 205, 249, 145, 75, QT_TRANSLATE_NOOP("Tavrin", "操作"), kStyleNone, {}},
            {kNoId, CtlKind::Label, 215, 263, 18, 8, QT_TRANSLATE_NOOP("Tavrin", "模块"), kStyleNone, {}},
            {kModuleName, CtlKind::ComboBox, 243, 261, 102, 61, "", kCombo | kDropDownList, {""}},
            {kNoId, CtlKind::Label, 215, 282, 18, 8, QT_TRANSLATE_NOOP("Tavrin", "按键"), kStyleNone, {}},
            {kKeyList, CtlKind::ComboBox, 243, 279, 53, 61, "", kCombo | kDropDownList, {""}},
            {kFindModule, CtlKind::PushButton, 301, 279, 44, 16, QT_TRANSLATE_NOOP("Tavrin", "查找模块"), kStyleNone, {}},
            {kKeyTable, CtlKind::PushButton, 243, 301, 58, 17, QT_TRANSLATE_NOOP("Tavrin", "键值表…"), kStyleNone, {}},
            {kWriteKey, CtlKind::PushButton, 307, 301, 37, 17, QT_TRANSLATE_NOOP("Tavrin", "键值写入"), kDisabled, {}},
            // "日志显示"
            {kNoId, CtlKind::GroupBox, 5, 330, 345, 123, QT_TRANSLATE_NOOP("Tavrin", "日志显示"), kStyleNone, {}},
            {kLog, CtlKind::ListBox, 10, 342, 291, 91, "", kVScroll, {}},
            {kClearLog, CtlKind::PushButton, 305, 342, 41, 14, QT_TRANSLATE_NOOP("Tavrin", "清空显示"), kStyleNone, {}},
            {kNotice, CtlKind::Label, 10, 439, 313, 8, QT_TRANSLATE_NOOP("Tavrin", "注意：键值写入后，需拔掉USB手柄（开关），3S后重新插上，方可正常使用。"),
             kStyleNone, {}},
        }};
}

DialogTemplate BuildAboutDlg()
{
    return DialogTemplate{
        100,
        QT_TRANSLATE_NOOP("Tavrin", "关于Tavrin V2.3 Vela"),
        235,
        55,
        "宋体",
        9,
        {
            {kNoId, CtlKind::Icon, 11, 17, 20, 20, "", kStyleNone, {}},
            {kNoId, CtlKind::Label, 40, 10, 119, 8, QT_TRANSLATE_NOOP("Tavrin", "Tavrin V2.3 Vela版"), kStyleNone, {}},
            {kNoId, CtlKind::Label, 40, 25, 119, 8, QT_TRANSLATE_NOOP("Tavrin", "Vela USB 按键模块配置工具"), kStyleNone, {}},
            {1, CtlKind::PushButton, 178, 7, 50, 14, QT_TRANSLATE_NOOP("Tavrin", "确定"), kGroup | kDefaultButton, {}},
        }};
}
} // namespace

const DialogTemplate &MainDlgTemplate()
{
    static const DialogTemplate dialog = BuildMainDlg();
    return dialog;
}

const DialogTemplate &AboutDlgTemplate()
{
    static const DialogTemplate dialog = BuildAboutDlg();
    return dialog;
}
