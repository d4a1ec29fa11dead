#include "device/ModuleWatcher.h"

// Where the system announces no HID devices to us, the module is searched for on demand only.
std::unique_ptr<IModuleWatcher> CreateModuleWatcher()
{
    return nullptr;
}

ModuleIdentity ModuleOfNode(const std::string &)
{
    return {};
}
