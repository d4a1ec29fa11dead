#include "app/MainApp.h"
#include "common/UserText.h"
#include "keymap/KeyMap.h"
#include "keymap/KeyMapReader.h"
#include "sim/VirtualHidBackend.h"

#include <algorithm>

namespace {
constexpr const char *kHelp = QT_TRANSLATE_NOOP(
    "Tavrin",
    "用法：tavrin-demo [--lang en|zh]\n"
    "与 tavrin 相同的窗口，连接一个有八个按键的虚拟模块：无需硬件即可试用每个操作。\n"
    "\n"
    "  --lang en|zh   窗口的语言（也可以用环境变量 TAVRIN_LANG 选择）\n"
    "  --version      显示版本\n"
    "  --help         显示本说明");
// The demo's module holds what an earlier session wrote to it, so that reading it back (the key
// table's module column) shows keys of every page.
void SeedKeys(CVirtualModule &module)
{
    const std::optional<KeyMap> map = ParseKeyMap("KEY-1 = c+CTRL\nKEY-2 = v+CTRL\nKEY-3 = ENTER\nKEY-4 = ESC\n"
                                                  "KEY-5 = MLKey\nKEY-6 = MRKey\nKEY-7 = GameKey1\nKEY-8 = GameKey2\n",
                                                  kMaxKeyCount)
                                         .map;
    for (const KeyMapEntry &entry : map ? map->keys : std::vector<KeyMapEntry>{})
        std::copy(entry.record.begin(), entry.record.end(), module.Memory().begin() + kKeyRecordBase + 3 * entry.keyIndex);
    // And the debounce time both factory configurations set (the parameter block's byte 11 lands
    // at address 12).
    module.Memory()[12] = 40;
}
} // namespace

// The same window against a virtual module, so every operation can be tried without hardware.
int main(int argc, char *argv[])
{
    CVirtualModule module;
    CVirtualHidBackend backend;
    AddStandardModule(backend, module);
    SeedKeys(module);
    return CMainApp(kHelp).Run(argc, argv, backend);
}
