#include "device/ModuleSearch.h"

#include "common/ControlIds.h"
#include "common/DlgControls.h"
#include "common/MessageSink.h"
#include "device/DeviceLink.h"

const char *const kAccessDeniedMessage = QT_TRANSLATE_NOOP(
    "Tavrin", "模块已连接，但没有权限打开它。请安装本工具附带的 udev 规则 60-tavrin.rules"
    "（复制到 /etc/udev/rules.d/），然后执行 sudo udevadm control --reload-rules 和 "
    "sudo udevadm trigger，再重新插拔模块。");

void EnableDeviceButtons(IDlgControls &controls, bool enable)
{
    for (const int id : MainId::kDeviceButtons)
        controls.EnableWindow(id, enable);
}

const char *SearchFailureText(SearchStatus status)
{
    return status == SearchStatus::AccessDenied ? kAccessDeniedMessage : QT_TRANSLATE_NOOP("Tavrin", "模块不在线");
}

void ShowSearchFailure(const CDeviceLink &link)
{
    ShowMessage(SearchFailureText(link.AccessDenied() ? SearchStatus::AccessDenied : SearchStatus::Absent));
}

SearchResult SearchModule(CDeviceLink &link, IDlgControls &controls)
{
    const SearchResult result = link.Search();
    EnableDeviceButtons(controls, result.status == SearchStatus::Opened);
    return result;
}

void FindModule(CDeviceLink &link, IDlgControls &controls, const std::function<void()> &queryModule)
{
    if (!link.OpenModule()) {
        ShowSearchFailure(link);
        EnableDeviceButtons(controls, false);
        return;
    }
    EnableDeviceButtons(controls, true);
    if (queryModule)
        queryModule();
}
