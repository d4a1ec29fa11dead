#include "device/ModuleSearch.h"

#include "common/ControlIds.h"
#include "common/DlgControls.h"
#include "common/MessageSink.h"
#include "device/DeviceLink.h"

namespace {
void EnableDeviceButtons(IDlgControls &controls, bool enable)
{
    for (const int id : MainId::kDeviceButtons)
        controls.EnableWindow(id, enable);
}
} // namespace

void FindModule(CDeviceLink &link, IDlgControls &controls, const std::function<void()> &queryModule)
{
    if (!link.OpenModule()) {
        ShowMessage("模块不在线");
        EnableDeviceButtons(controls, false);
        return;
    }
    EnableDeviceButtons(controls, true);
    if (queryModule)
        queryModule();
}
