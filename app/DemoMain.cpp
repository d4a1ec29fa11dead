#include "app/MainApp.h"
#include "sim/VirtualHidBackend.h"

// The same window against a virtual module, so every operation can be tried without hardware.
int main(int argc, char *argv[])
{
    CVirtualModule module;
    CVirtualHidBackend backend;
    AddStandardModule(backend, module);
    return CMainApp().Run(argc, argv, backend);
}
