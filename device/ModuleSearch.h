#pragma once

#include "device/DeviceLink.h"

#include <functional>

class IDlgControls;

// The module is plugged in but the system does not let this user open it: names the udev rule.
extern const char *const kAccessDeniedMessage;

// Why a search opened nothing: "模块不在线", or kAccessDeniedMessage.
const char *SearchFailureText(SearchStatus status);
// After a search that opened nothing: its SearchFailureText as a message.
void ShowSearchFailure(const CDeviceLink &link);

// The search alone, showing no message: what it found, with the device-operation buttons enabled
// or disabled as one set. What the search on a module's arrival runs.
SearchResult SearchModule(CDeviceLink &link, IDlgControls &controls);
// The device-operation buttons, enabled or disabled as one set.
void EnableDeviceButtons(IDlgControls &controls, bool enable);

// The search behind "查找模块", also run after each successful factory reset: opens the module and
// enables or disables the device-operation buttons as one set. On success it runs the module
// query it is given.
void FindModule(CDeviceLink &link, IDlgControls &controls, const std::function<void()> &queryModule = {});
