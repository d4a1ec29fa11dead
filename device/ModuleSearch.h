#pragma once

class CDeviceLink;
class IDlgControls;

// The handler of "查找模块", also run after each successful factory reset: opens the module,
// enables or disables the device-operation buttons, and on success queries the module.
void FindModule(CDeviceLink &link, IDlgControls &controls);
