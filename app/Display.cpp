#include "app/Display.h"

UserText NoDisplayHint(const std::string &program)
{
    const std::string name = program.substr(program.find_last_of('/') + 1);
    return {QT_TRANSLATE_NOOP("Tavrin", "%1 需要图形显示，但没有设置（DISPLAY 和 WAYLAND_DISPLAY 均为空）；"
                                        "请在桌面会话中启动，或在没有桌面时这样运行：xvfb-run -a %2"),
            {name, program}};
}
