#include "cli/Cli.h"
#include "cli/Interrupt.h"
#include "device/DeviceOperations.h"
#include "device/HidapiBackend.h"
#include "device/ModuleWatcher.h"
#include "keymap/ControlState.h"
#include "settings/ModuleSettings.h"
#include "translations/Catalog.h"

#include <poll.h>

#include <chrono>
#include <thread>

namespace {
// Waits on the watcher and on Ctrl-C together, so that an interrupt ends a wait at once.
void WaitReadable(int fd, int milliseconds)
{
    pollfd ready[] = {{fd, POLLIN, 0}, {Interrupt::WakeDescriptor(), POLLIN, 0}};
    poll(ready, ready[1].fd < 0 ? 1 : 2, milliseconds);
}
} // namespace

int main(int argc, char *argv[])
{
    Interrupt::Start();
    std::vector<std::string> args(argv + 1, argv + argc);
    if (!SetUpCatalogLanguage(args, g_programFolder.GetFolder(), "tavrin-cli"))
        return CliExit::kUsage;
    // No sink is installed: the window's messages go to standard error, one a line, translated.
    // The key count comes from the settings file beside the program, as for the window.
    CControlState header;
    LoadSettings(header);
    CHidapiBackend backend;
    CliEnvironment environment{backend, g_moduleSettings.m_nKeyNum,
                               [](int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); },
                               Interrupt::Requested, stdout, ParametersOfControls(header), CreateModuleWatcher,
                               WaitReadable};
    return RunCli(args, environment);
}
