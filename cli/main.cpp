#include "cli/Cli.h"
#include "device/DeviceOperations.h"
#include "device/HidapiBackend.h"
#include "keymap/ControlState.h"
#include "settings/ModuleSettings.h"
#include "translations/Catalog.h"

#include <chrono>
#include <csignal>
#include <thread>

namespace {
volatile std::sig_atomic_t g_bInterrupted = 0;

extern "C" void OnInterrupt(int)
{
    g_bInterrupted = 1;
}
} // namespace

int main(int argc, char *argv[])
{
    std::vector<std::string> args(argv + 1, argv + argc);
    if (!SetUpCatalogLanguage(args, g_programFolder.GetFolder(), "tavrin-cli"))
        return CliExit::kUsage;
    // No sink is installed: the window's messages go to standard error, one a line, translated.
    // The key count comes from the settings file beside the program, as for the window.
    CControlState header;
    LoadSettings(header);
    std::signal(SIGINT, OnInterrupt);
    std::signal(SIGTERM, OnInterrupt);
    CHidapiBackend backend;
    CliEnvironment environment{backend, g_moduleSettings.m_nKeyNum,
                               [](int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); },
                               [] { return g_bInterrupted != 0; }, stdout, ParametersOfControls(header)};
    return RunCli(args, environment);
}
