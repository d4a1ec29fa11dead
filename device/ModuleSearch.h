#pragma once

#include <functional>

class CDeviceLink;
class IDlgControls;

// The module is plugged in but the system does not let this user open it: names the udev rule.
extern const char *const kAccessDeniedMessage;

// After a search that opened nothing: "模块不在线", or kAccessDeniedMessage when that was why.
void ShowSearchFailure(const CDeviceLink &link);

// The search behind "查找模块", also run after each successful factory reset: opens the module and
// enables or disables the device-operation buttons as one set. On success it runs the module
// query it is given.
void FindModule(CDeviceLink &link, IDlgControls &controls, const std::function<void()> &queryModule = {});
