#pragma once

#include <functional>

class CDeviceLink;
class IDlgControls;

// The search behind "查找模块", also run after each successful factory reset: opens the module and
// enables or disables the device-operation buttons as one set. On success it runs the module
// query it is given.
void FindModule(CDeviceLink &link, IDlgControls &controls, const std::function<void()> &queryModule = {});
