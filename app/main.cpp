#include "app/MainApp.h"
#include "common/UserText.h"
#include "device/HidapiBackend.h"
#include "device/ModuleWatcher.h"

namespace {
constexpr const char *kHelp = QT_TRANSLATE_NOOP(
    "Tavrin",
    "用法：tavrin [--lang en|zh]\n"
    "打开 Vela USB 按键模块的配置窗口：设置每个按键发送的键值，写入参数，恢复出厂设置。\n"
    "\n"
    "  --lang en|zh   窗口的语言（也可以用环境变量 TAVRIN_LANG 选择）\n"
    "  --version      显示版本\n"
    "  --help         显示本说明\n"
    "\n"
    "脚本和生产线可以使用 tavrin-cli。");
} // namespace

int main(int argc, char *argv[])
{
    CHidapiBackend backend;
    return CMainApp(kHelp).Run(argc, argv, backend, &CreateModuleWatcher);
}
