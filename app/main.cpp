#include "app/MainApp.h"
#include "device/HidapiBackend.h"
#include "device/ModuleWatcher.h"

int main(int argc, char *argv[])
{
    CHidapiBackend backend;
    return CMainApp().Run(argc, argv, backend, CreateModuleWatcher());
}
