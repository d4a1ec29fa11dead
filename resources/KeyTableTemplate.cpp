#include "resources/KeyTableTemplate.h"

#include "common/UserText.h"

#include <algorithm>
#include <array>
#include <map>
#include <tuple>
#include <utility>

namespace {
using namespace KeyTableId;

DialogTemplate BuildKeyTable()
{
    return DialogTemplate{
        103,
        QT_TRANSLATE_NOOP("Tavrin", "键值表"),
        360,
        340,
        "宋体",
        9,
        {
            {kTable, CtlKind::ListView, 7, 7, 346, 248, "", kGroup, {}},
            {kOpen, CtlKind::PushButton, 7, 262, 64, 14, QT_TRANSLATE_NOOP("Tavrin", "打开文件…"), kStyleNone, {}},
            {kNoId, CtlKind::Label, 79, 265, 62, 8, QT_TRANSLATE_NOOP("Tavrin", "保存和导出"), kStyleNone, {}},
            {kContent, CtlKind::ComboBox, 143, 262, 142, 40, "", kDropDownList,
             {QT_TRANSLATE_NOOP("Tavrin", "模块读到的键值及本次写入"), QT_TRANSLATE_NOOP("Tavrin", "文件（含编辑）")}},
            {kSave, CtlKind::PushButton, 289, 262, 64, 14, QT_TRANSLATE_NOOP("Tavrin", "保存…"), kStyleNone, {}},
            {kWriteAll, CtlKind::PushButton, 7, 281, 84, 14, QT_TRANSLATE_NOOP("Tavrin", "写入全部"), kDisabled, {}},
            {kVerify, CtlKind::PushButton, 95, 281, 64, 14, QT_TRANSLATE_NOOP("Tavrin", "校验"), kDisabled, {}},
            {kExportPdf, CtlKind::PushButton, 221, 281, 64, 14, QT_TRANSLATE_NOOP("Tavrin", "导出PDF…"), kStyleNone, {}},
            {kExportHtml, CtlKind::PushButton, 289, 281, 64, 14, QT_TRANSLATE_NOOP("Tavrin", "导出HTML…"), kStyleNone, {}},
            {kNote, CtlKind::Label, 7, 301, 278, 32,
             QT_TRANSLATE_NOOP("Tavrin", "“文件”一列可直接输入或按 F2 编辑；双击或回车在主窗口显示该键。"), kStyleNone, {}},
            {kClose, CtlKind::PushButton, 289, 319, 64, 14, QT_TRANSLATE_NOOP("Tavrin", "关闭"), kStyleNone, {}},
        }};
}

// The same controls in the size of the main window's page area, which this form covers where the
// screen has no room beside the window.
DialogTemplate BuildNarrowKeyTable()
{
    DialogTemplate dialog = BuildKeyTable();
    dialog.cx = 343;
    dialog.cy = 224;
    const std::map<int, std::array<int, 4>> places = {
        {kTable, {4, 4, 335, 150}},    {kOpen, {4, 158, 64, 14}},        {kWriteAll, {72, 158, 84, 14}},
        {kVerify, {160, 158, 64, 14}}, {kClose, {275, 158, 64, 14}},     {kContent, {68, 176, 138, 40}},
        {kSave, {210, 176, 64, 14}},   {kExportPdf, {4, 194, 64, 14}},   {kExportHtml, {72, 194, 64, 14}},
        {kNote, {140, 193, 199, 28}},  {kNoId, {4, 179, 62, 8}}, // the label of the content list
    };
    for (ControlTemplate &control : dialog.controls) {
        const std::array<int, 4> &rect = places.at(control.id);
        std::tie(control.x, control.y, control.cx, control.cy) = std::tuple(rect[0], rect[1], rect[2], rect[3]);
    }
    // Tab follows the controls as they stand, row by row (a label a little lower than its row's
    // buttons still belongs to it).
    constexpr int kRowHeight = 14;
    std::stable_sort(dialog.controls.begin(), dialog.controls.end(), [](const ControlTemplate &a, const ControlTemplate &b) {
        return std::pair(a.y / kRowHeight, a.x) < std::pair(b.y / kRowHeight, b.x);
    });
    return dialog;
}
} // namespace

const DialogTemplate &KeyTableTemplate()
{
    static const DialogTemplate dialog = BuildKeyTable();
    return dialog;
}

const DialogTemplate &NarrowKeyTableTemplate()
{
    static const DialogTemplate dialog = BuildNarrowKeyTable();
    return dialog;
}
