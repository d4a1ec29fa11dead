#include "device/OpenFailure.h"

#include "common/UserText.h"

namespace {
constexpr const char *kNodeGone = QT_TRANSLATE_NOOP("Tavrin", "设备节点已不存在（模块是否已拔出？）");
constexpr const char *kNodeDenied = QT_TRANSLATE_NOOP("Tavrin", "没有读写设备节点的权限");
constexpr const char *kNodeBusy = QT_TRANSLATE_NOOP("Tavrin", "设备节点正被占用");
constexpr const char *kRefused = QT_TRANSLATE_NOOP("Tavrin", "系统拒绝读写此设备（可能有别的程序独占了它）");
constexpr const char *kInUse = QT_TRANSLATE_NOOP(
    "Tavrin", "设备正被另一个程序使用（是否还有其他配置工具在运行？）");
constexpr const char *kNotHid = QT_TRANSLATE_NOOP("Tavrin", "设备节点能打开，但不响应 HID 设备的查询");
constexpr const char *kSystemError = QT_TRANSLATE_NOOP("Tavrin", "%1（错误号 %2）");
} // namespace

std::string DescribeOpenFailure(const OpenFailure &failure)
{
    switch (failure.kind) {
    case OpenFailureKind::Gone:
        return TranslateText({kNodeGone, {}});
    case OpenFailureKind::Denied:
        return TranslateText({kNodeDenied, {}});
    case OpenFailureKind::Busy:
        return TranslateText({kNodeBusy, {}});
    case OpenFailureKind::Refused:
        return TranslateText({kRefused, {}});
    case OpenFailureKind::InUse:
        return TranslateText({kInUse, {}});
    case OpenFailureKind::NotHid:
        return TranslateText({kNotHid, {}});
    case OpenFailureKind::Other:
        break;
    }
    return TranslateText({kSystemError, {SystemErrorText(failure.error), std::to_string(failure.error)}});
}
