#include "app/MainApp.h"
#include "common/UserText.h"
#include "sim/VirtualHidBackend.h"

namespace {
constexpr const char *kHelp = QT_TRANSLATE_NOOP(
    "Tavrin",
    "用法：tavrin-demo [--lang en|zh]\n"
    "与 tavrin 相同的窗口，连接一个有八个按键的虚拟模块：无需硬件即可试用每个操作。\n"
    "\n"
    "  --lang en|zh   窗口的语言（也可以用环境变量 TAVRIN_LANG 选择）\n"
    "  --help         显示本说明");
} // namespace

// The same window against a virtual module, so every operation can be tried without hardware.
int main(int argc, char *argv[])
{
    CVirtualModule module;
    CVirtualHidBackend backend;
    AddStandardModule(backend, module);
    return CMainApp(kHelp).Run(argc, argv, backend);
}
