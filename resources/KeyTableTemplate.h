#pragma once

#include "resources/DialogTemplate.h"

// Identifiers of the key table's controls (dialog 103).
namespace KeyTableId {
inline constexpr int kTable = 1300;     // the keys and parameters, one row each
inline constexpr int kContent = 1301;   // which column save and export take
inline constexpr int kOpen = 1302;      // "打开文件…"
inline constexpr int kSave = 1303;      // "保存…"
inline constexpr int kExportPdf = 1304; // "导出PDF…"
inline constexpr int kExportHtml = 1305; // "导出HTML…"
inline constexpr int kWriteAll = 1306;  // "写入全部"
inline constexpr int kVerify = 1307;    // "校验"
inline constexpr int kClose = 1308;     // "关闭"
inline constexpr int kNote = 1309;      // how to use the table, or what the last action found
} // namespace KeyTableId

// Dialog 103: the key table beside the main window, and its narrow form over the page area.
const DialogTemplate &KeyTableTemplate();
const DialogTemplate &NarrowKeyTableTemplate();
