#include "cli/Cli.h"
#include "cli/CliArguments.h"
#include "cli/Interrupt.h"
#include "device/DeviceOperations.h"
#include "device/HidapiBackend.h"
#include "device/ModuleWatcher.h"
#include "keymap/ControlState.h"
#include "settings/ModuleSettings.h"
#include "translations/Catalog.h"

#include <chrono>
#include <clocale>
#include <thread>

namespace {
// Waits on the watcher and on Ctrl-C together, so that an interrupt ends a wait at once.
void WaitReady(ReadySignal watcher, int milliseconds)
{
    WaitForReady({watcher, Interrupt::WakeSignal()}, milliseconds);
}
} // namespace

int main(int argc, char *argv[])
{
    Interrupt::Start();
    // Serials and paths are UTF-8 through and through; hidapi converts them with the C library's
    // multibyte functions, which under the plain C locale would turn a non-ASCII serial into '?'.
    if (!std::setlocale(LC_CTYPE, "C.UTF-8"))
        std::setlocale(LC_CTYPE, "");
    // The command line first, so that its --lang chooses the language its refusals are said in.
    const CliArguments arguments = ReadCliArguments(std::vector<std::string>(argv + 1, argv + argc));
    if (!SetUpCatalogLanguage(arguments.language, g_programFolder.GetFolder(), "tavrin-cli"))
        return CliExit::kUsage;
    // No sink is installed: the window's messages go to standard error, one a line, translated.
    // The key count comes from the settings file beside the program, as for the window.
    CControlState header;
    LoadSettings(header);
    CHidapiBackend backend;
    CliEnvironment environment{backend, g_moduleSettings.m_nKeyNum,
                               [](int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); },
                               Interrupt::Requested, stdout, ParametersOfControls(header), CreateModuleWatcher,
                               WaitReady};
    environment.setLastWords = Interrupt::SetLastWords;
    return RunCliCommand(arguments, environment);
}
