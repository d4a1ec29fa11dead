<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>Tavrin</name>
    <message>
        <source>键盘</source>
        <translation>Keyboard</translation>
    </message>
    <message>
        <source>鼠标</source>
        <translation>Mouse</translation>
    </message>
    <message>
        <source>游戏杆</source>
        <translation>Gamepad</translation>
    </message>
    <message>
        <source>设备初始化失败</source>
        <translation>Device initialization failed</translation>
    </message>
    <message>
        <source>写命令错误，请检查模块是否在线，或者重新点击查找设备再试。</source>
        <translation>Command write error. Check that the module is connected, or press Find module again and retry.</translation>
    </message>
    <message>
        <source>写数据错误</source>
        <translation>Data write error</translation>
    </message>
    <message>
        <source>读数据错误</source>
        <translation>Data read error</translation>
    </message>
    <message>
        <source>此模块非法，请检查！</source>
        <translation>Invalid module, please check it!</translation>
    </message>
    <message>
        <source>注意，按键消抖值不能小于10 MS</source>
        <translation>Note: the debounce delay must not be less than 10 ms</translation>
    </message>
    <message>
        <source>注意，按键消抖值不能大于255 MS</source>
        <translation>Note: the debounce delay must not be more than 255 ms</translation>
    </message>
    <message>
        <source> 配置写入完成</source>
        <translation>Parameters written</translation>
    </message>
    <message>
        <source>配置写入失败</source>
        <translation>Writing the parameters failed</translation>
    </message>
    <message>
        <source>恢复出厂1设置完成</source>
        <translation>Factory reset 1 done</translation>
    </message>
    <message>
        <source>恢复出厂1失败</source>
        <translation>Factory reset 1 failed</translation>
    </message>
    <message>
        <source>恢复出厂2设置完成</source>
        <translation>Factory reset 2 done</translation>
    </message>
    <message>
        <source>恢复出厂2失败</source>
        <translation>Factory reset 2 failed</translation>
    </message>
    <message>
        <source>未选择按键，请先查找模块并选择按键！</source>
        <translation>No key selected. Find the module and select a key first!</translation>
    </message>
    <message>
        <source>当前页面不可用，键值未写入！</source>
        <translation>The current page is not available; the key was not written!</translation>
    </message>
    <message>
        <source>设置失败!!</source>
        <translation>Writing the key failed!</translation>
    </message>
    <message>
        <source>模块已连接，但没有权限打开它。请安装本工具附带的 udev 规则 60-tavrin.rules（复制到 /etc/udev/rules.d/），然后执行 sudo udevadm control --reload-rules 和 sudo udevadm trigger，再重新插拔模块。</source>
        <translation>The module is connected, but you have no permission to open it. Install the udev rule 60-tavrin.rules that comes with this tool (copy it to /etc/udev/rules.d/), run sudo udevadm control --reload-rules and sudo udevadm trigger, then unplug and replug the module.</translation>
    </message>
    <message>
        <source>模块不在线</source>
        <translation>Module not connected</translation>
    </message>
    <message>
        <source>向上像素移动数值设置过大,设置值不应超过127</source>
        <translation>Move up: pixel count too large, it must not exceed 127</translation>
    </message>
    <message>
        <source>向下像素移动数值设置过大,设置值不应超过127</source>
        <translation>Move down: pixel count too large, it must not exceed 127</translation>
    </message>
    <message>
        <source>向左像素移动数值设置过大,设置值不应超过127</source>
        <translation>Move left: pixel count too large, it must not exceed 127</translation>
    </message>
    <message>
        <source>向右像素移动数值设置过大,设置值不应超过127</source>
        <translation>Move right: pixel count too large, it must not exceed 127</translation>
    </message>
    <message>
        <source>滚动刻度数值设置过大,设置值不应超过127</source>
        <translation>Wheel steps too large, they must not exceed 127</translation>
    </message>
    <message>
        <source>左</source>
        <translation>Left</translation>
    </message>
    <message>
        <source>上</source>
        <translation>Up</translation>
    </message>
    <message>
        <source>下</source>
        <translation>Down</translation>
    </message>
    <message>
        <source>右</source>
        <translation>Right</translation>
    </message>
    <message>
        <source>游戏杆设置</source>
        <translation>Gamepad settings</translation>
    </message>
    <message>
        <source>按键</source>
        <translation>Key</translation>
    </message>
    <message>
        <source>按键1</source>
        <translation>Button 1</translation>
    </message>
    <message>
        <source>按键2</source>
        <translation>Button 2</translation>
    </message>
    <message>
        <source>按键3</source>
        <translation>Button 3</translation>
    </message>
    <message>
        <source>按键4</source>
        <translation>Button 4</translation>
    </message>
    <message>
        <source>按键5</source>
        <translation>Button 5</translation>
    </message>
    <message>
        <source>按键6</source>
        <translation>Button 6</translation>
    </message>
    <message>
        <source>按键7</source>
        <translation>Button 7</translation>
    </message>
    <message>
        <source>按键8</source>
        <translation>Button 8</translation>
    </message>
    <message>
        <source> 无</source>
        <translation> None</translation>
    </message>
    <message>
        <source>键盘设置（支持所有按键）</source>
        <translation>Keyboard settings (all keys supported)</translation>
    </message>
    <message>
        <source>特殊键</source>
        <translation>Special keys</translation>
    </message>
    <message>
        <source>无</source>
        <translation>None</translation>
    </message>
    <message>
        <source>空格</source>
        <translation>Space</translation>
    </message>
    <message>
        <source>多媒体键</source>
        <translation>Media keys</translation>
    </message>
    <message>
        <source>静音</source>
        <translation>Mute</translation>
    </message>
    <message>
        <source>停止</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>音量加</source>
        <translation>Vol +</translation>
    </message>
    <message>
        <source>音量减</source>
        <translation>Vol -</translation>
    </message>
    <message>
        <source>上一首</source>
        <translation>Prev</translation>
    </message>
    <message>
        <source>下一首</source>
        <translation>Next</translation>
    </message>
    <message>
        <source>暂停/播放</source>
        <translation>Play/Pause</translation>
    </message>
    <message>
        <source>快进</source>
        <translation>Fwd</translation>
    </message>
    <message>
        <source>组合键</source>
        <translation>Modifiers</translation>
    </message>
    <message>
        <source>自定义</source>
        <translation>Custom</translation>
    </message>
    <message>
        <source>数字/字母/符号</source>
        <translation>Character</translation>
    </message>
    <message>
        <source>按键HID码</source>
        <translation>HID code</translation>
    </message>
    <message>
        <source>Vela产品</source>
        <translation>Vela</translation>
    </message>
    <message>
        <source>参数设置</source>
        <translation>Parameters</translation>
    </message>
    <message>
        <source>注意:参数写入按钮,只有更改模块长按连接,按键消抖的参数,才能点击。</source>
        <translation>Note: press Write params only to change the module&apos;s long-press or debounce.</translation>
    </message>
    <message>
        <source>长按连击</source>
        <translation>Long-press</translation>
    </message>
    <message>
        <source>是</source>
        <translation>Yes</translation>
    </message>
    <message>
        <source>否</source>
        <translation>No</translation>
    </message>
    <message>
        <source>按键消抖</source>
        <translation>Debounce</translation>
    </message>
    <message>
        <source>模式</source>
        <translation>Mode</translation>
    </message>
    <message>
        <source>单键盘</source>
        <translation>Keyboard</translation>
    </message>
    <message>
        <source>单鼠标</source>
        <translation>Mouse</translation>
    </message>
    <message>
        <source>键鼠组合</source>
        <translation>Keyboard + mouse</translation>
    </message>
    <message>
        <source>单游戏柄</source>
        <translation>Gamepad</translation>
    </message>
    <message>
        <source>键鼠游戏柄组合</source>
        <translation>Keyboard + mouse + gamepad</translation>
    </message>
    <message>
        <source>波特率</source>
        <translation>Baud rate</translation>
    </message>
    <message>
        <source>禁用</source>
        <translation>Off</translation>
    </message>
    <message>
        <source>触发电平</source>
        <translation>Trigger</translation>
    </message>
    <message>
        <source>低电平</source>
        <translation>Low</translation>
    </message>
    <message>
        <source>高电平</source>
        <translation>High</translation>
    </message>
    <message>
        <source>参数写入</source>
        <translation>Write params</translation>
    </message>
    <message>
        <source>恢复出厂1</source>
        <translation>Factory reset 1</translation>
    </message>
    <message>
        <source>恢复出厂2</source>
        <translation>Factory reset 2</translation>
    </message>
    <message>
        <source>操作</source>
        <translation>Operations</translation>
    </message>
    <message>
        <source>模块</source>
        <translation>Module</translation>
    </message>
    <message>
        <source>查找模块</source>
        <translation>Find module</translation>
    </message>
    <message>
        <source>键值写入</source>
        <translation>Write key</translation>
    </message>
    <message>
        <source>日志显示</source>
        <translation>Log</translation>
    </message>
    <message>
        <source>清空显示</source>
        <translation>Clear log</translation>
    </message>
    <message>
        <source>注意：键值写入后，需拔掉USB手柄（开关），3S后重新插上，方可正常使用。</source>
        <translation>Note: after Write key, unplug the USB module (or switch it off) and replug it after 3 s.</translation>
    </message>
    <message>
        <source>关于Tavrin V2.3 Vela</source>
        <translation>About Tavrin V2.3 Vela</translation>
    </message>
    <message>
        <source>Tavrin V2.3 Vela版</source>
        <translation>Tavrin V2.3 Vela edition</translation>
    </message>
    <message>
        <source>Vela USB 按键模块配置工具</source>
        <translation>Vela USB key module configurator</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>关于 Tavrin V1.0(&amp;A)...</source>
        <translation>&amp;About Tavrin V1.0...</translation>
    </message>
    <message>
        <source>鼠标设置</source>
        <translation>Mouse settings</translation>
    </message>
    <message>
        <source>左键</source>
        <translation>Left</translation>
    </message>
    <message>
        <source>中键</source>
        <translation>Middle</translation>
    </message>
    <message>
        <source>右键</source>
        <translation>Right</translation>
    </message>
    <message>
        <source>鼠标像素移动</source>
        <translation>Pointer movement in pixels</translation>
    </message>
    <message>
        <source>上移</source>
        <translation>Up</translation>
    </message>
    <message>
        <source>下移</source>
        <translation>Down</translation>
    </message>
    <message>
        <source>左移</source>
        <translation>Left</translation>
    </message>
    <message>
        <source>右移</source>
        <translation>Right</translation>
    </message>
    <message>
        <source>滚轮操作</source>
        <translation>Wheel</translation>
    </message>
    <message>
        <source>往前滚动</source>
        <translation>Forward</translation>
    </message>
    <message>
        <source>往后滚动</source>
        <translation>Backward</translation>
    </message>
    <message>
        <source>刻度</source>
        <translation>steps</translation>
    </message>
    <message>
        <source>配置文件丢失,请检查!</source>
        <translation>Settings file missing, please check!</translation>
    </message>
    <message>
        <source>节名不能为空，不能以空白开头或结尾，也不能含有 &apos;]&apos;、LF 或 0x1A</source>
        <translation>a section name must not be empty, start or end with white space, or hold &apos;]&apos;, LF or 0x1A</translation>
    </message>
    <message>
        <source>键名不能为空，不能以 &apos;[&apos; 或空白开头，不能以空白结尾，也不能含有 &apos;=&apos;、LF 或 0x1A</source>
        <translation>a key must not be empty, start with &apos;[&apos; or white space, end with white space, or hold &apos;=&apos;, LF or 0x1A</translation>
    </message>
    <message>
        <source>值不能含有零字节</source>
        <translation>a value must not hold a zero byte</translation>
    </message>
    <message>
        <source>值含有文件无法保存的控制字符，或者开头或结尾是 &apos;&lt;&apos;</source>
        <translation>the value holds a control character, or &apos;&lt;&apos; at its start or end, that the file cannot keep</translation>
    </message>
    <message>
        <source>值加扰后的形式正好是缺失值的标记</source>
        <translation>the value&apos;s scrambled form is the marker of a missing value</translation>
    </message>
    <message>
        <source>没有设置文件：%1</source>
        <translation>no settings file at %1</translation>
    </message>
    <message>
        <source>节 &quot;%1&quot; 中没有值 &quot;%2&quot;</source>
        <translation>no value &quot;%2&quot; in section &quot;%1&quot;</translation>
    </message>
    <message>
        <source>无法保存这个值：%1</source>
        <translation>cannot store this value: %1</translation>
    </message>
    <message>
        <source>用法错误，请参阅 tavrin-settings --help</source>
        <translation>wrong usage; see tavrin-settings --help</translation>
    </message>
    <message>
        <source>保存键值文件(&amp;S)...</source>
        <translation>&amp;Save key map...</translation>
    </message>
    <message>
        <source>载入并写入键值文件(&amp;L)...</source>
        <translation>&amp;Load and write key map...</translation>
    </message>
    <message>
        <source>保存键值文件</source>
        <translation>Save key map</translation>
    </message>
    <message>
        <source>载入并写入键值文件</source>
        <translation>Load and write key map</translation>
    </message>
    <message>
        <source>键值文件 (*.txt);;所有文件 (*)</source>
        <translation>Key maps (*.txt);;All files (*)</translation>
    </message>
    <message>
        <source>未找到有效模块，请先查找模块！</source>
        <translation>No valid module found. Find the module first!</translation>
    </message>
    <message numerus="yes">
        <source>将向模块写入 %1 个按键的键值，是否继续？</source>
        <translation>
            <numerusform>Write %n key to the module?</numerusform>
            <numerusform>Write %n keys to the module?</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>将向模块写入 %1 个按键的键值和参数（长按连发、按键消抖），是否继续？</source>
        <translation>
            <numerusform>Write %n key and the parameters (long-press, debounce) to the module?</numerusform>
            <numerusform>Write %n keys and the parameters (long-press, debounce) to the module?</numerusform>
        </translation>
    </message>
    <message>
        <source>正在写入键值...</source>
        <translation>Writing keys...</translation>
    </message>
    <message>
        <source>未知的命令：%1（见 tavrin-cli --help）</source>
        <translation>Unknown command: %1 (see tavrin-cli --help)</translation>
    </message>
    <message>
        <source>%1 的参数不对：%2（见 tavrin-cli %1 --help）</source>
        <translation>Wrong arguments for %1: %2 (see tavrin-cli %1 --help)</translation>
    </message>
    <message>
        <source>第 %1 个模块：写入完成（%2）</source>
        <translation>Module %1: written (%2)</translation>
    </message>
    <message>
        <source>第 %1 个模块：写入失败（%2）</source>
        <translation>Module %1: write failed (%2)</translation>
    </message>
    <message numerus="yes">
        <source>共 %1 个模块：完成 %2 个，失败 %3 个</source>
        <translation>
            <numerusform>%n module: %2 done, %3 failed</numerusform>
            <numerusform>%n modules: %2 done, %3 failed</numerusform>
        </translation>
    </message>
    <message>
        <source>请插入下一个模块（按 Ctrl-C 结束）</source>
        <translation>Plug in the next module (Ctrl-C to stop)</translation>
    </message>
    <message>
        <source>  查找模块时打开此接口</source>
        <translation>  a search opens this interface</translation>
    </message>
    <message>
        <source>  无法打开：%1</source>
        <translation>  cannot be opened: %1</translation>
    </message>
    <message>
        <source>  查找模块时不使用此接口</source>
        <translation>  a search does not use this interface</translation>
    </message>
    <message>
        <source>接口：%1
工作模式：%2
触发电平：%3
按键数：%4</source>
        <translation>Interface: %1
Work mode: %2
Trigger level: %3
Keys: %4</translation>
    </message>
    <message numerus="yes">
        <source>键值文件第 %1 行：%2 超出模块的按键数（%3 个按键）</source>
        <translation>
            <numerusform>Key map line %1: %2 is beyond the module&apos;s keys (%n key)</numerusform>
            <numerusform>Key map line %1: %2 is beyond the module&apos;s keys (%n keys)</numerusform>
        </translation>
    </message>
    <message>
        <source>键值文件第 %1 行：%2 在前面已经出现过</source>
        <translation>Key map line %1: %2 is given twice</translation>
    </message>
    <message>
        <source>键值文件第 %1 行：%2 的键值为空，请注明页面，例如 %2 (keyboard) =、(mouse) = 或 (gamepad) =</source>
        <translation>Key map line %1: %2 has an empty assignment; name the page, e.g. %2 (keyboard) =, (mouse) = or (gamepad) =</translation>
    </message>
    <message numerus="yes">
        <source>第 %1 个按键参数：%2 超出模块的按键数（%3 个按键）</source>
        <translation>
            <numerusform>Key argument %1: %2 is beyond the module&apos;s keys (%n key)</numerusform>
            <numerusform>Key argument %1: %2 is beyond the module&apos;s keys (%n keys)</numerusform>
        </translation>
    </message>
    <message>
        <source>第 %1 个按键参数：%2 在前面已经出现过</source>
        <translation>Key argument %1: %2 is given twice</translation>
    </message>
    <message>
        <source>第 %1 个按键参数：%2 的键值为空，请注明页面，例如 &quot;%2 (keyboard)&quot;、&quot;%2 (mouse)&quot; 或 &quot;%2 (gamepad)&quot;</source>
        <translation>Key argument %1: %2 has an empty assignment; name the page, e.g. &quot;%2 (keyboard)&quot;, &quot;%2 (mouse)&quot; or &quot;%2 (gamepad)&quot;</translation>
    </message>
    <message>
        <source>键值文件第 %1 行：按键消抖值应在 10 到 255 MS 之间：%2</source>
        <translation>Key map line %1: the debounce time must be 10 to 255 ms: %2</translation>
    </message>
    <message>
        <source>键值文件中没有任何按键或参数</source>
        <translation>The key map holds no keys and no parameters</translation>
    </message>
    <message>
        <source>%1 写入失败，其后的按键没有写入</source>
        <translation>Writing %1 failed; the keys after it were not written</translation>
    </message>
    <message>
        <source>“%1”不是英文键盘上的字符，键值未写入！</source>
        <translation>&quot;%1&quot; is not a character of the English keyboard; the key was not written!</translation>
    </message>
    <message>
        <source>没有权限读取配置文件：%1</source>
        <translation>No permission to read the settings file: %1</translation>
    </message>
    <message>
        <source>参数未保存，没有权限写入：%1</source>
        <translation>Parameters not saved; no permission to write: %1</translation>
    </message>
    <message>
        <source>无法读取配置文件（%2）：%1</source>
        <translation>Cannot read the settings file (%2): %1</translation>
    </message>
    <message>
        <source>参数未保存（%2）：%1</source>
        <translation>Parameters not saved (%2): %1</translation>
    </message>
    <message>
        <source>配置文件不是普通文件：%1</source>
        <translation>The settings file is not a regular file: %1</translation>
    </message>
    <message>
        <source>参数未保存，配置文件不是普通文件：%1</source>
        <translation>Parameters not saved; the settings file is not a regular file: %1</translation>
    </message>
    <message>
        <source>配置文件超过 1 MiB：%1</source>
        <translation>The settings file is larger than 1 MiB: %1</translation>
    </message>
    <message>
        <source>参数未保存，配置文件超过 1 MiB：%1</source>
        <translation>Parameters not saved; the settings file is larger than 1 MiB: %1</translation>
    </message>
    <message>
        <source>配置文件是 UTF-16 编码或含有零字节：%1</source>
        <translation>The settings file is UTF-16 or holds zero bytes: %1</translation>
    </message>
    <message>
        <source>参数未保存，配置文件是 UTF-16 编码或含有零字节：%1</source>
        <translation>Parameters not saved; the settings file is UTF-16 or holds zero bytes: %1</translation>
    </message>
    <message>
        <source>配置文件在结束符 0x1A 之后还有内容：%1</source>
        <translation>The settings file has text after its end mark 0x1A: %1</translation>
    </message>
    <message>
        <source>参数未保存，配置文件在结束符 0x1A 之后还有内容：%1</source>
        <translation>Parameters not saved; the settings file has text after its end mark 0x1A: %1</translation>
    </message>
    <message>
        <source>默认值</source>
        <translation>default</translation>
    </message>
    <message>
        <source>读自 %1</source>
        <translation>read from %1</translation>
    </message>
    <message>
        <source>节 &quot;int&quot; 中的值是十进制整数</source>
        <translation>values of section &quot;int&quot; are decimal integers</translation>
    </message>
    <message>
        <source>已写入 %1</source>
        <translation>written to %1</translation>
    </message>
    <message>
        <source>校验：模块中 %1 个可读按键和参数与键值文件一致</source>
        <translation>Verify: the module holds the key map (%1 readable keys and the parameters)</translation>
    </message>
    <message>
        <source>校验失败：模块中 %1 与键值文件不一致</source>
        <translation>Verify failed: the module differs from the key map in %1</translation>
    </message>
    <message>
        <source>（另有 %1 个按键超出模块的应答，无法校验）</source>
        <translation> (%1 more keys lie beyond the module&apos;s reply and could not be checked)</translation>
    </message>
    <message>
        <source>校验失败：模块没有应答</source>
        <translation>Verify failed: the module does not answer</translation>
    </message>
    <message>
        <source>校验失败：此模块非法</source>
        <translation>Verify failed: invalid module</translation>
    </message>
    <message>
        <source>模块没有应答</source>
        <translation>The module does not answer</translation>
    </message>
    <message>
        <source>参数写入完成</source>
        <translation>Parameters written</translation>
    </message>
    <message>
        <source>恢复出厂%1：参数%2</source>
        <translation>Factory reset %1: parameters %2</translation>
    </message>
    <message>
        <source>恢复出厂%1：按键%2</source>
        <translation>Factory reset %1: keys %2</translation>
    </message>
    <message>
        <source>写入完成</source>
        <translation>written</translation>
    </message>
    <message>
        <source>写入失败</source>
        <translation>not written</translation>
    </message>
    <message>
        <source>恢复出厂%1完成，重新查询模块：有效</source>
        <translation>Factory reset %1 done; the module, queried again, is valid</translation>
    </message>
    <message>
        <source>模块的应答只包含 KEY-1 到 KEY-%1，%2 无法读出</source>
        <translation>The module&apos;s reply holds KEY-1 to KEY-%1 only; %2 cannot be read</translation>
    </message>
    <message>
        <source>校验：%1 个按键和参数与模块一致</source>
        <translation>Verify: %1 keys and the parameters match the module</translation>
    </message>
    <message>
        <source>校验：%1 不同：文件 %2，模块 %3</source>
        <translation>Verify: %1 differs: file %2, module %3</translation>
    </message>
    <message>
        <source>校验失败：模块中有 %1 处与文件不同</source>
        <translation>Verify failed: the module differs from the file in %1 places</translation>
    </message>
    <message>
        <source>校验：%1 超出模块应答能读出的按键，未能校验</source>
        <translation>Verify: %1 lies beyond the keys the module&apos;s reply holds and was not checked</translation>
    </message>
    <message>
        <source>无法向模块发送命令，模块是否已拔出？</source>
        <translation>Cannot send a command to the module. Was it unplugged?</translation>
    </message>
    <message>
        <source>向模块写数据失败</source>
        <translation>Writing data to the module failed</translation>
    </message>
    <message>
        <source>从模块读数据失败</source>
        <translation>Reading data from the module failed</translation>
    </message>
    <message>
        <source>设置文件中的按键数 %1 超出模块的范围，按 %2 个按键处理</source>
        <translation>The settings file gives %1 keys, more than a module can have; using %2</translation>
    </message>
    <message>
        <source>%1 超出模块的按键数，什么都没有写入</source>
        <translation>%1 is beyond the module&apos;s keys; nothing was written</translation>
    </message>
    <message>
        <source>键值文件第 %1 行不能写入：%2（%3）</source>
        <translation>Key map line %1 cannot be written: %2 (%3)</translation>
    </message>
    <message>
        <source>键值文件第 %1 行含有控制字符：%2</source>
        <translation>Key map line %1 holds a control character: %2</translation>
    </message>
    <message>
        <source>第 %1 个按键参数不能写入：%2（%3）</source>
        <translation>Key argument %1 cannot be written: %2 (%3)</translation>
    </message>
    <message>
        <source>本次写入</source>
        <translation>This session</translation>
    </message>
    <message>
        <source>文件</source>
        <translation>File</translation>
    </message>
    <message>
        <source>差异</source>
        <translation>Differs</translation>
    </message>
    <message>
        <source>键值表</source>
        <translation>Key table</translation>
    </message>
    <message>
        <source>文件一列的键值无法识别，不能保存或写入</source>
        <translation>The file column&apos;s entry is not understood; it cannot be saved or written</translation>
    </message>
    <message>
        <source>模块中的与本次写入的不同</source>
        <translation>the module differs from what was written now</translation>
    </message>
    <message>
        <source>模块中的与文件中的不同</source>
        <translation>the module differs from the file</translation>
    </message>
    <message>
        <source>本次写入的与文件中的不同</source>
        <translation>what was written now differs from the file</translation>
    </message>
    <message>
        <source>模块没有这个按键</source>
        <translation>the module has no such key</translation>
    </message>
    <message>
        <source>所选的一列没有任何键值。</source>
        <translation>The chosen column holds no entries.</translation>
    </message>
    <message>
        <source>未找到有效模块，请先在主窗口查找模块</source>
        <translation>No valid module found; search for the module in the main window first</translation>
    </message>
    <message>
        <source>打开键值文件</source>
        <translation>Open key map</translation>
    </message>
    <message>
        <source>导出PDF</source>
        <translation>Export PDF</translation>
    </message>
    <message>
        <source>PDF 文件 (*.pdf);;所有文件 (*)</source>
        <translation>PDF files (*.pdf);;All files (*)</translation>
    </message>
    <message>
        <source>导出HTML</source>
        <translation>Export HTML</translation>
    </message>
    <message>
        <source>网页文件 (*.html);;所有文件 (*)</source>
        <translation>Web pages (*.html);;All files (*)</translation>
    </message>
    <message>
        <source>已保存到 %1</source>
        <translation>Saved to %1</translation>
    </message>
    <message>
        <source>已打开 %1</source>
        <translation>Opened %1</translation>
    </message>
    <message>
        <source>模块：%1</source>
        <translation>Module: %1</translation>
    </message>
    <message>
        <source>文件：%1</source>
        <translation>File: %1</translation>
    </message>
    <message>
        <source>日期：%1</source>
        <translation>Date: %1</translation>
    </message>
    <message>
        <source>键值</source>
        <translation>Assignment</translation>
    </message>
    <message>
        <source>%1 没有可显示的键值</source>
        <translation>%1 has no entry to show</translation>
    </message>
    <message>
        <source>%1 的记录（%2）只有原始形式能表示，页面显示的是最接近的设置</source>
        <translation>Only the raw form gives the record of %1 (%2); the page shows the closest setting</translation>
    </message>
    <message>
        <source>键值表…</source>
        <translation>Key table…</translation>
    </message>
    <message>
        <source>打开文件…</source>
        <translation>Open file…</translation>
    </message>
    <message>
        <source>保存和导出</source>
        <translation>Column</translation>
    </message>
    <message>
        <source>模块读到的键值及本次写入</source>
        <translation>Module as read, with writes</translation>
    </message>
    <message>
        <source>文件（含编辑）</source>
        <translation>File, as edited</translation>
    </message>
    <message>
        <source>保存…</source>
        <translation>Save…</translation>
    </message>
    <message>
        <source>导出PDF…</source>
        <translation>Export PDF…</translation>
    </message>
    <message>
        <source>导出HTML…</source>
        <translation>Export HTML…</translation>
    </message>
    <message>
        <source>写入全部</source>
        <translation>Write file to module</translation>
    </message>
    <message>
        <source>校验</source>
        <translation>Read back</translation>
    </message>
    <message>
        <source>“文件”一列可直接输入或按 F2 编辑；双击或回车在主窗口显示该键。</source>
        <translation>Type into the File column, or press F2, to edit it; a double click or Enter shows the key in the main window.</translation>
    </message>
    <message>
        <source>模块 %1:%2%3</source>
        <translation>Module %1:%2%3</translation>
    </message>
    <message>
        <source>（序列号 %1）</source>
        <translation> (serial number %1)</translation>
    </message>
    <message>
        <source>  %1 接口 %2：可以打开%3</source>
        <translation>  %1 interface %2: opens%3</translation>
    </message>
    <message>
        <source>  %1 接口 %2：无法打开（%3）；属主 %4，权限 %5；%6</source>
        <translation>  %1 interface %2: cannot be opened (%3); owner %4, mode %5; %6</translation>
    </message>
    <message>
        <source>，查找模块时打开此接口</source>
        <translation>, the search opens this interface</translation>
    </message>
    <message>
        <source>udev 规则 %1：已安装，%2</source>
        <translation>udev rule %1: installed, %2</translation>
    </message>
    <message>
        <source>udev 规则 %1：未安装（查找了 %2）</source>
        <translation>udev rule %1: not installed (looked in %2)</translation>
    </message>
    <message>
        <source>会话：本用户在 %1 上有活动会话</source>
        <translation>Session: this user has an active session on %1</translation>
    </message>
    <message>
        <source>会话：本用户在本机座席上没有活动会话（例如通过 SSH 登录）</source>
        <translation>Session: this user has no active session at this machine&apos;s seat (logged in over SSH, for example)</translation>
    </message>
    <message>
        <source>没有找到模块：请插上模块，再运行 tavrin-cli doctor。</source>
        <translation>No module found: plug the module in and run tavrin-cli doctor again.</translation>
    </message>
    <message>
        <source>一切正常：查找模块时会打开 %1。</source>
        <translation>All is well: the search opens %1.</translation>
    </message>
    <message>
        <source>解决办法：安装 udev 规则，然后重新插拔模块：
  sudo cp packaging/%1 /etc/udev/rules.d/
  sudo udevadm control --reload-rules &amp;&amp; sudo udevadm trigger --subsystem-match=hidraw</source>
        <translation>Fix: install the udev rule, then unplug the module and plug it in again:
  sudo cp packaging/%1 /etc/udev/rules.d/
  sudo udevadm control --reload-rules &amp;&amp; sudo udevadm trigger --subsystem-match=hidraw</translation>
    </message>
    <message>
        <source>解决办法：规则已安装，但还没有用到 %1 上：
  sudo udevadm control --reload-rules &amp;&amp; sudo udevadm trigger --subsystem-match=hidraw
然后重新插拔模块。</source>
        <translation>Fix: the rule is installed but has not been applied to %1 yet:
  sudo udevadm control --reload-rules &amp;&amp; sudo udevadm trigger --subsystem-match=hidraw
then unplug the module and plug it in again.</translation>
    </message>
    <message>
        <source>模块已插入：%1，但查询失败：%2</source>
        <translation>Module plugged in: %1, but the query failed: %2</translation>
    </message>
    <message>
        <source>模块已插入，但无法打开：%1</source>
        <translation>Module plugged in but cannot be opened: %1</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>MS</source>
        <translation>ms</translation>
    </message>
    <message>
        <source>滚动刻度数值设置过小,设置值不应小于%1</source>
        <translation>Wheel steps too small, they must not be below %1</translation>
    </message>
    <message>
        <source>无法读取键值文件 %1：%2</source>
        <translation>Cannot read the key map %1: %2</translation>
    </message>
    <message>
        <source>无法保存键值文件 %1：%2</source>
        <translation>Cannot save the key map %1: %2</translation>
    </message>
    <message>
        <source>不是普通文件</source>
        <translation>not a regular file</translation>
    </message>
    <message>
        <source>文件超过 %1 字节的上限</source>
        <translation>the file is over the limit of %1 bytes</translation>
    </message>
    <message>
        <source>文件是 UTF-16 编码或含有零字节</source>
        <translation>the file is UTF-16 or holds zero bytes</translation>
    </message>
    <message>
        <source>文件在结束符 0x1A 之后还有内容</source>
        <translation>the file has text after its end byte 0x1A</translation>
    </message>
    <message>
        <source>这是其他用户放在共享文件夹中的链接，不会跟随</source>
        <translation>a link another user put in a shared folder is not followed</translation>
    </message>
    <message>
        <source>无法保持文件原有的所有者、组和权限，没有保存</source>
        <translation>the file could not keep its owner, group and mode, so it was not saved</translation>
    </message>
    <message>
        <source>保存期间其他程序一再修改这个文件，没有保存</source>
        <translation>another program kept changing the file during the save, so it was not saved</translation>
    </message>
    <message>
        <source>第 %1 个模块：无法打开（%2）：%3</source>
        <translation>Module %1: cannot be opened (%2): %3</translation>
    </message>
    <message>
        <source>日志文件 %1 无法写入：%2</source>
        <translation>The log file %1 cannot be written: %2</translation>
    </message>
    <message>
        <source>%1:%2 接口 %3 %4%5</source>
        <translation>%1:%2 interface %3 %4%5</translation>
    </message>
    <message>
        <source>无法写入文件 %1：%2</source>
        <translation>Cannot write the file %1: %2</translation>
    </message>
    <message>
        <source>将把 %1 中 %2 个按键的键值写入模块，是否继续？</source>
        <translation>Write the assignments of %2 keys in %1 to the module?</translation>
    </message>
    <message>
        <source>将把 %1 中 %2 个按键的键值和参数（长按连发、按键消抖）写入模块，是否继续？</source>
        <translation>Write the assignments of %2 keys and the parameters (long-press repeat, debounce) in %1 to the module?</translation>
    </message>
    <message>
        <source>文件一列</source>
        <translation>the File column</translation>
    </message>
    <message>
        <source>校验：模块没有应答</source>
        <translation>Verify: the module did not answer</translation>
    </message>
    <message>
        <source>校验：模块的应答无效</source>
        <translation>Verify: the module&apos;s answer is not valid</translation>
    </message>
    <message>
        <source>校验：已重新读取模块</source>
        <translation>Verify: the module was read again</translation>
    </message>
    <message>
        <source>校验：模块与文件一致</source>
        <translation>Verify: the module holds what the file says</translation>
    </message>
    <message>
        <source>校验：模块与文件不同：%1</source>
        <translation>Verify: the module differs from the file: %1</translation>
    </message>
    <message>
        <source>第 %1 个按键参数含有控制字符：%2</source>
        <translation>Key argument %1 holds a control character: %2</translation>
    </message>
    <message>
        <source>重新插入后核对：本次写入的 %1 个按键与模块一致</source>
        <translation>After the re-plug: the module holds the %1 keys written in this session</translation>
    </message>
    <message>
        <source>重新插入后核对：模块中 %1 与拔出前写入的不一致</source>
        <translation>After the re-plug: the module differs from what was written before in %1</translation>
    </message>
    <message>
        <source>输出没有全部写出（%1）</source>
        <translation>Not all of the output could be written (%1)</translation>
    </message>
    <message>
        <source>%1 需要图形显示，但没有设置（DISPLAY 和 WAYLAND_DISPLAY 均为空）；请在桌面会话中启动，或在没有桌面时这样运行：xvfb-run -a %2</source>
        <translation>%1 needs a graphical display, and none is set (DISPLAY and WAYLAND_DISPLAY are empty); start it from a desktop session, or without one as: xvfb-run -a %2</translation>
    </message>
    <message>
        <source>(空)</source>
        <translation>(none)</translation>
    </message>
    <message>
        <source>记录的字节：%1</source>
        <translation>Record bytes: %1</translation>
    </message>
    <message>
        <source>这是其他用户放在共享文件夹中的文件，不会写入</source>
        <translation>a file another user put in a shared folder is not written</translation>
    </message>
    <message>
        <source>键值文件第 %1 行无法识别：%2。应写成：%3</source>
        <translation>Key map line %1 is not understood: %2. Write it as: %3</translation>
    </message>
    <message>
        <source>键值文件第 %1 行不能写入：%2 不是按键名。%3要把这些文字放进字符框（只发送第一个字符），请写：%4</source>
        <translation>Key map line %1 cannot be written: %2 names no key. %3To put these characters into the character field (only the first is sent), write: %4</translation>
    </message>
    <message>
        <source>键值文件第 %1 行不能写入：%2 的记录字节的按键号是 %3 的。请写：%4</source>
        <translation>Key map line %1 cannot be written: the record bytes of %2 hold the key number of %3. Write: %4</translation>
    </message>
    <message>
        <source>第 %1 个按键参数无法识别：%2。应写成：%3</source>
        <translation>Key argument %1 is not understood: %2. Write it as: %3</translation>
    </message>
    <message>
        <source>第 %1 个按键参数不能写入：%2 不是按键名。%3要把这些文字放进字符框（只发送第一个字符），请写：%4</source>
        <translation>Key argument %1 cannot be written: %2 names no key. %3To put these characters into the character field (only the first is sent), write: %4</translation>
    </message>
    <message>
        <source>第 %1 个按键参数不能写入：%2 的记录字节的按键号是 %3 的。请写：%4</source>
        <translation>Key argument %1 cannot be written: the record bytes of %2 hold the key number of %3. Write: %4</translation>
    </message>
    <message>
        <source>无法识别。应写成：%3</source>
        <translation>Not understood. Write it as: %3</translation>
    </message>
    <message>
        <source>键值为空，请注明页面：(keyboard) =、(mouse) = 或 (gamepad) =</source>
        <translation>The assignment is empty; name the page: (keyboard) =, (mouse) = or (gamepad) =</translation>
    </message>
    <message>
        <source>不能写入：%3</source>
        <translation>Cannot be written: %3</translation>
    </message>
    <message>
        <source>含有控制字符</source>
        <translation>Holds a control character</translation>
    </message>
    <message>
        <source>不是按键名。%3要把这些文字放进字符框（只发送第一个字符），请写：%4</source>
        <translation>Names no key. %3To put these characters into the character field (only the first is sent), write: %4</translation>
    </message>
    <message>
        <source>记录字节的按键号是 %3 的。请写：%4</source>
        <translation>The record bytes hold the key number of %3. Write: %4</translation>
    </message>
    <message>
        <source>按键消抖值应在 10 到 255 MS 之间</source>
        <translation>The debounce time must be between 10 and 255 ms</translation>
    </message>
    <message>
        <source>是不是 %1？</source>
        <translation>Did you mean %1? </translation>
    </message>
    <message>
        <source> 或 </source>
        <translation> or </translation>
    </message>
    <message>
        <source>%1 页面不记录这个键值。%2</source>
        <translation>The %1 page logs no such assignment. %2</translation>
    </message>
    <message>
        <source>模块已连接，但无法打开（%1）：%2</source>
        <translation>The module is connected but cannot be opened (%1): %2</translation>
    </message>
    <message>
        <source>设备节点已不存在（模块是否已拔出？）</source>
        <translation>The device node is gone (was the module unplugged?)</translation>
    </message>
    <message>
        <source>没有读写设备节点的权限</source>
        <translation>No permission to read and write the device node</translation>
    </message>
    <message>
        <source>设备节点正被占用</source>
        <translation>The device node is busy</translation>
    </message>
    <message>
        <source>设备节点能打开，但不响应 HID 设备的查询</source>
        <translation>The device node opens but does not answer as a HID device</translation>
    </message>
    <message>
        <source>%1（错误号 %2）</source>
        <translation>%1 (error %2)</translation>
    </message>
    <message>
        <source>无法打开设备</source>
        <translation>The device cannot be opened</translation>
    </message>
    <message>
        <source>本用户（%1）有读写权限</source>
        <translation>this user (%1) may read and write it</translation>
    </message>
    <message>
        <source>本用户（%1）没有读写权限</source>
        <translation>this user (%1) may not read and write it</translation>
    </message>
    <message>
        <source>会话：无法得知（logind 未运行）</source>
        <translation>Session: unknown (logind is not running)</translation>
    </message>
    <message>
        <source>解决办法：规则 %1 只让本机座席上活动会话的用户打开模块，本用户没有这样的会话（例如通过 SSH 登录或作为服务运行）。请在本机登录后运行；或者由管理员装上按组授权的规则，让 plugdev 组的成员打开模块的接口 1 和 2：
  sudo cp %2 /etc/udev/rules.d/
  sudo usermod -aG plugdev %3
  sudo udevadm control --reload-rules &amp;&amp; sudo udevadm trigger --subsystem-match=hidraw
然后重新登录（服务则重新启动）。</source>
        <translation>Fix: the rule %1 lets only users with an active session at this machine&apos;s seat open the module, and this user has none (logged in over SSH or running as a service, for example). Log in at the machine and run it there; or have an administrator install the group rule, which lets the members of group plugdev open the module&apos;s interfaces 1 and 2:
  sudo cp %2 /etc/udev/rules.d/
  sudo usermod -aG plugdev %3
  sudo udevadm control --reload-rules &amp;&amp; sudo udevadm trigger --subsystem-match=hidraw
then log in again (or restart the service).</translation>
    </message>
    <message>
        <source>解决办法：本用户对 %1 有读写权限，却仍无法打开（%2）：请重新插拔模块；仍不行时检查是否有别的程序独占了它。</source>
        <translation>Fix: this user may read and write %1 but still cannot open it (%2): unplug the module and plug it in again; if that does not help, check whether another program holds it.</translation>
    </message>
    <message>
        <source>用法：tavrin-cli doctor [--json]
对每个插着的模块：列出它的接口（Linux 上是 hidraw 设备节点），本用户能否打开每一个；
Linux 上还检查本工具的 udev 规则是否已安装、装在哪里，本用户对节点有没有读写权限，本用户
有没有活动会话；Windows 上还检查模块的设备是否已启用、驱动是否正常、是否被其他程序占用；
然后给出确切的解决办法。查找模块能打开模块时状态为 0，否则为 3。
--json：以一个 JSON 对象输出同样的结果（键名固定，值不翻译）。</source>
        <translation>Usage: tavrin-cli doctor [--json]
For each module plugged in: its interfaces (hidraw device nodes on Linux) and whether this user
can open each; on Linux also whether this tool&apos;s udev rule is installed, and where, whether this
user&apos;s rights on the node allow reading and writing, and whether this user has an active
session; on Windows also whether the module&apos;s devices are enabled, their driver works and
another program holds them; then the exact fix. Exit status 0
when a search can open the module, 3 otherwise.
--json: the same result as one JSON object (fixed keys, untranslated values).</translation>
    </message>
    <message>
        <source>模块已拔出，键值文件的写入已停止；已写入：%1</source>
        <translation>Module unplugged; the key map write stopped after: %1</translation>
    </message>
    <message>
        <source>模块已拔出，键值文件的写入已停止；没有写入任何按键</source>
        <translation>Module unplugged; the key map write stopped before any key</translation>
    </message>
    <message>
        <source>模块已插入：%1（%2），%3 个按键</source>
        <translation>Module plugged in: %1 (%2), %3 keys</translation>
    </message>
    <message>
        <source>模块已重新插入：%1（%2），%3 个按键，所选按键和参数不变</source>
        <translation>Module plugged in again: %1 (%2), %3 keys; the chosen key and parameters are kept</translation>
    </message>
    <message>
        <source>模块已拔出：%1（%2），设备操作按钮已禁用</source>
        <translation>Module unplugged: %1 (%2); the device buttons are disabled</translation>
    </message>
    <message>
        <source>%1（已拔出）</source>
        <translation>%1 (unplugged)</translation>
    </message>
    <message>
        <source>恢复出厂2：按键1至4发送游戏杆按键1至4，模式为单游戏柄，波特率 9600，长按连击为否，按键消抖 40 MS</source>
        <translation>Factory reset 2: keys 1 to 4 send gamepad buttons 1 to 4; gamepad mode, 9600 baud, no long-press repeat, 40 ms debounce</translation>
    </message>
    <message>
        <source>恢复出厂1：按键1至9发送 F1 至 F9，模式为键鼠组合，串口禁用，长按连击为否，按键消抖 40 MS</source>
        <translation>Factory reset 1: keys 1 to 9 send F1 to F9; keyboard and mouse mode, serial port off, no long-press repeat, 40 ms debounce</translation>
    </message>
    <message>
        <source>%1 的键值不能写入，请先改正：%2（%3）</source>
        <translation>The entry of %1 cannot be written; correct it first: %2 (%3)</translation>
    </message>
    <message>
        <source>另一个程序正在保存这个文件夹中的文件，请稍后再试</source>
        <translation>another program is saving a file in this folder; try again in a moment</translation>
    </message>
    <message>
        <source>恢复出厂%1后重新查询：%2 不同：写入 %3，模块 %4</source>
        <translation>Factory reset %1, queried again: %2 differs: written %3, module %4</translation>
    </message>
    <message>
        <source>恢复出厂%1失败：模块中有 %2 处与写入的不同</source>
        <translation>Factory reset %1 failed: the module differs from what was written in %2 places</translation>
    </message>
    <message>
        <source>恢复出厂%1后重新查询：模块中与写入的不同：%2</source>
        <translation>Factory reset %1, queried again: the module differs from what was written in: %2</translation>
    </message>
    <message>
        <source>注意：%1 还有其他硬链接，它们仍是保存之前的内容</source>
        <translation>Note: %1 has other hard links; they still hold the content from before the save</translation>
    </message>
    <message>
        <source>用法：tavrin-demo [--lang en|zh]
与 tavrin 相同的窗口，连接一个有八个按键的虚拟模块：无需硬件即可试用每个操作。

  --lang en|zh   窗口的语言（也可以用环境变量 TAVRIN_LANG 选择）
  --version      显示版本
  --help         显示本说明</source>
        <translation>Usage: tavrin-demo [--lang en|zh]
The window of tavrin against a virtual module with eight keys: every operation can be tried without hardware.

  --lang en|zh   the window&apos;s language (or the environment variable TAVRIN_LANG)
  --version      prints the version
  --help         prints this help</translation>
    </message>
    <message>
        <source>未知的参数：%1（见 %2 --help）</source>
        <translation>unknown argument: %1 (see %2 --help)</translation>
    </message>
    <message>
        <source>用法：tavrin [--lang en|zh]
打开 Vela USB 按键模块的配置窗口：设置每个按键发送的键值，写入参数，恢复出厂设置。

  --lang en|zh   窗口的语言（也可以用环境变量 TAVRIN_LANG 选择）
  --version      显示版本
  --help         显示本说明

脚本和生产线可以使用 tavrin-cli。</source>
        <translation>Usage: tavrin [--lang en|zh]
Opens the configuration window of the Vela USB key module: decide what each key sends, write the parameters, restore the factory settings.

  --lang en|zh   the window&apos;s language (or the environment variable TAVRIN_LANG)
  --version      prints the version
  --help         prints this help

For scripts and production lines there is tavrin-cli.</translation>
    </message>
    <message>
        <source>没有与 %1 相符的模块；插着的模块接口：%2</source>
        <translation>No module matches %1; the module interfaces plugged in: %2</translation>
    </message>
    <message>
        <source>没有与 %1 相符的模块；没有插着的模块</source>
        <translation>No module matches %1; no module is plugged in</translation>
    </message>
    <message>
        <source>无法读取标准输入：%1</source>
        <translation>Cannot read standard input: %1</translation>
    </message>
    <message>
        <source>用法：tavrin-cli 命令 [参数]
  list [--json]                     列出已连接的模块接口，以及查找模块时会打开哪一个
  info [--json]                     查找并查询模块：是否有效、工作模式、触发电平、按键数
  write KEY-n 键值 [KEY-n 键值 ...]   写入按键，键值与日志中 &quot;KEY-n = &quot; 之后的文字相同
  apply 文件 [--verify] [--each [--count N] [--log 日志文件]]
                                    写入键值文件中的按键和参数；--verify：写入后读回校验
  dump [文件] [--json]               读出模块中可读的配置（参数和 KEY-1 到 KEY-12），保存为键值文件
  verify 文件 [--json]               读出模块的配置，与键值文件比较，列出不同之处
  params [--long-press yes|no] [--debounce 毫秒]
                                    写入长按连发和按键消抖参数
  reset 1|2                         恢复出厂设置 1 或 2
  doctor [--json]                   检查模块为什么打不开（权限、udev 规则、会话），并给出解决办法
除 list 和 doctor 外的命令都可加 --wait[=秒]：等待模块插入，而不是立即失败。
插着几个模块时，用 --device 设备路径 或 --serial 序列号 选择其中一个（list 列出两者）。
--json：结果是一个 JSON 对象，键和值不翻译，失败时给出固定的错误代码（error_code）。
文件为 - 时，apply 和 verify 读标准输入，dump 写标准输出；-- 之后的词都不是选项。
所有命令都可加 --lang en|zh 选择输出的语言（也可以用环境变量 TAVRIN_LANG 选择）。
每个命令的说明：tavrin-cli 命令 --help；版本：tavrin-cli --version
退出状态：0 成功，2 用法错误，3 没有模块、没有权限或模块没有应答，4 模块非法，5 写入失败，
6 写入都已完成，但读回的配置与要写入的不同。</source>
        <translation>Usage: tavrin-cli COMMAND [ARGUMENTS]
  list [--json]                     lists the module interfaces present and which one a search opens
  info [--json]                     finds and queries the module: valid or not, work mode, trigger level, keys
  write KEY-n TEXT [KEY-n TEXT ...]  writes keys; TEXT is what the log shows after &quot;KEY-n = &quot;
  apply FILE [--verify] [--each [--count N] [--log LOGFILE]]
                                    writes the keys and parameters of a key map; --verify: reads them back
  dump [FILE] [--json]              reads the module&apos;s readable configuration (parameters, KEY-1 to KEY-12) as a key map
  verify FILE [--json]              reads the module&apos;s configuration and lists where it differs from a key map
  params [--long-press yes|no] [--debounce MS]
                                    writes the long-press and debounce parameters
  reset 1|2                         factory reset 1 or 2
  doctor [--json]                   finds out why a module does not open (permissions, udev rule, session) and how to fix it
Every command but list and doctor takes --wait[=SECONDS]: wait for a module to be plugged in instead of failing.
With several modules plugged in, --device PATH or --serial TEXT chooses one (list shows both).
--json: the result is one JSON object with untranslated keys and values, and a fixed error code (error_code) on failure.
A FILE of - is standard input for apply and verify, standard output for dump; no word after -- is an option.
Every command takes --lang en|zh for the language of its output (or the variable TAVRIN_LANG).
Each command explains itself: tavrin-cli COMMAND --help; the version: tavrin-cli --version
Exit status: 0 success, 2 wrong usage, 3 no module, no permission or no reply, 4 invalid module,
5 a write failed, 6 every write went through but the module, read back, holds something else.</translation>
    </message>
    <message>
        <source>未知的选项：%1（见 tavrin-cli --help）</source>
        <translation>unknown option: %1 (see tavrin-cli --help)</translation>
    </message>
    <message>
        <source>--device 和 --serial 只能用一个</source>
        <translation>--device and --serial cannot be used together</translation>
    </message>
    <message>
        <source>用法：tavrin-cli list [--json] [--device 设备路径 | --serial 序列号]
列出已连接的模块接口（厂商:产品、接口号、设备路径），标出查找模块时会打开的接口；
无法打开的接口给出原因。</source>
        <translation>Usage: tavrin-cli list [--json] [--device PATH | --serial TEXT]
Lists the module interfaces present (vendor:product, interface number, device path), marks the one a
search would open, and says why an interface cannot be opened.</translation>
    </message>
    <message>
        <source>用法：tavrin-cli info [--json] [--wait[=秒]] [--device 设备路径 | --serial 序列号]
查找并查询模块，显示接口、工作模式、触发电平和按键数。模块非法时退出状态为 4。</source>
        <translation>Usage: tavrin-cli info [--json] [--wait[=SECONDS]] [--device PATH | --serial TEXT]
Finds and queries the module and shows its interface, work mode, trigger level and key count.
Exits with status 4 when the module is invalid.</translation>
    </message>
    <message>
        <source>用法：tavrin-cli write KEY-n 键值 [KEY-n 键值 ...] [--wait[=秒]] [--device 设备路径 | --serial 序列号]
键值与日志中 &quot;KEY-n = &quot; 之后的文字相同，例如：tavrin-cli write KEY-3 &apos;CTRL+ALT+DEL&apos;
文字不能确定页面时，在按键后注明：&apos;KEY-4 (mouse)&apos; &apos;&apos;；或直接给出记录字节：&apos;KEY-5 (raw 44 41 00)&apos; MLKey。
所有按键先全部检查，有一个不对就什么都不写。</source>
        <translation>Usage: tavrin-cli write KEY-n ASSIGNMENT [KEY-n ASSIGNMENT ...] [--wait[=SECONDS]] [--device PATH | --serial TEXT]
An assignment is the text after &quot;KEY-n = &quot; in the log, for example: tavrin-cli write KEY-3 &apos;CTRL+ALT+DEL&apos;
Where the text does not tell the page, name it after the key: &apos;KEY-4 (mouse)&apos; &apos;&apos;; or give the record&apos;s bytes: &apos;KEY-5 (raw 44 41 00)&apos; MLKey.
All keys are checked first; if one is wrong, nothing is written.</translation>
    </message>
    <message>
        <source>用法：tavrin-cli apply 文件 [--verify] [--wait[=秒]] [--device 设备路径 | --serial 序列号]
                       [--each [--count N] [--log 日志文件]]
写入键值文件中的按键和参数；文件和要写入的参数先整体检查，有一处不对就什么都不写。
文件没有给出的参数保持模块中的值。文件为 - 时读标准输入。
--verify：写入后重新查询模块，比较能读出的按键（KEY-1 到 KEY-12）和参数；
有不同时列出并以状态 6 退出。
--each：生产线用法，等待模块插入、写入、打印一行结果和计数、等待拔出，然后是下一个；
写入失败的模块会报告，循环继续；插着却打不开的模块报告一次，算作失败；
--count N 写完 N 个模块后结束；--log 日志文件：每个模块追加一行 JSON（时间、用时、设备路径、
序列号、结果、错误代码和原因、写入的内容、校验结果、工具版本、键值文件及其 SHA-256），
写完一个模块就存盘；日志文件在第一个模块之前就检查能否写入。
第一次 Ctrl-C 在当前模块完成后结束并打印汇总，第二次记下当前模块被中断，然后立即结束。</source>
        <translation>Usage: tavrin-cli apply FILE [--verify] [--wait[=SECONDS]] [--device PATH | --serial TEXT]
                       [--each [--count N] [--log LOGFILE]]
Writes the keys and parameters of a key map. The file and the parameters it will send are checked
whole first; if anything is wrong, nothing is written. Parameters the file leaves out keep the
module&apos;s values. A FILE of - is read from standard input.
--verify: queries the module again after writing and compares the keys it can read (KEY-1 to
KEY-12) and the parameters; lists what differs and exits with status 6.
--each: for a production line: waits for a module, writes it, prints one line with the result and
the count, waits for it to be unplugged, then the next; a failed module is reported and the loop
goes on; a module that is plugged in but cannot be opened is reported once and counted as failed;
--count N ends after N modules; --log LOGFILE: appends one JSON line per module (time, duration,
device path, serial number, result, error code and reason, what was written, the verify result,
the tool&apos;s version, the key map and its SHA-256), saved to disk as each module is done; the log is
checked before the first module. The first Ctrl-C ends after the current module with a summary; a
second logs the current module as interrupted and ends at once.</translation>
    </message>
    <message>
        <source>用法：tavrin-cli params [--long-press yes|no] [--debounce 毫秒] [--wait[=秒]]
                        [--device 设备路径 | --serial 序列号]
写入长按连发和按键消抖时间（10 到 255 毫秒），与窗口的 &quot;参数写入&quot; 相同；
没有给出的参数保持模块中的值。</source>
        <translation>Usage: tavrin-cli params [--long-press yes|no] [--debounce MS] [--wait[=SECONDS]]
                        [--device PATH | --serial TEXT]
Writes long-press and the debounce time (10 to 255 ms), as the window&apos;s &quot;Write params&quot; does;
a parameter not given keeps the module&apos;s value.</translation>
    </message>
    <message>
        <source>用法：tavrin-cli dump [文件] [--json] [--wait[=秒]] [--device 设备路径 | --serial 序列号]
查询模块，把它的参数和能读出的按键写成键值文件：没有文件或文件为 - 时输出到标准输出。
模块的查询应答只包含 KEY-1 到 KEY-12，其后的按键无法读出，文件中的注释会列出它们。
把这个文件 apply 到另一个模块，能读出的配置就完全相同。
--json：输出读到的内容（参数、每个按键的文字和记录字节）；给出文件时键值文件照常保存。</source>
        <translation>Usage: tavrin-cli dump [FILE] [--json] [--wait[=SECONDS]] [--device PATH | --serial TEXT]
Queries the module and writes its parameters and readable keys as a key map, to FILE or, without
one or for -, to standard output. The module&apos;s query reply holds KEY-1 to KEY-12 only; a comment
names the keys after them, which cannot be read. Applying the file to another module gives it the
same readable configuration.
--json: prints what was read (the parameters, each key&apos;s text and record bytes); a FILE given is
saved as usual.</translation>
    </message>
    <message>
        <source>用法：tavrin-cli verify 文件 [--json] [--wait[=秒]] [--device 设备路径 | --serial 序列号]
查询模块，与键值文件比较，列出每个不同的按键和参数（文件的值，模块的值）。文件为 - 时读标准输入。
一致时状态为 0，有不同时为 6；KEY-12 之后的按键无法读出，会列出但不算不同。</source>
        <translation>Usage: tavrin-cli verify FILE [--json] [--wait[=SECONDS]] [--device PATH | --serial TEXT]
Queries the module, compares it with a key map and lists every key and parameter that differs
(the file&apos;s value, the module&apos;s value). A FILE of - is read from standard input. Status 0 when
they match, 6 when they differ; keys after KEY-12 cannot be read: they are listed but do not count
as different.</translation>
    </message>
    <message>
        <source>用法：tavrin-cli reset 1|2 [--wait[=秒]] [--device 设备路径 | --serial 序列号]
先查询模块（模块非法时什么都不写），恢复出厂设置 1 或 2，报告参数和按键两步各自的结果，
然后重新查找和查询模块，与窗口的 &quot;恢复出厂1&quot;、&quot;恢复出厂2&quot; 相同。任何一步失败时状态为 5；
重新查询到的参数或按键（KEY-1 到 KEY-12 中恢复出厂写入的）与写入的不同时，列出它们，状态为 6。</source>
        <translation>Usage: tavrin-cli reset 1|2 [--wait[=SECONDS]] [--device PATH | --serial TEXT]
Queries the module first (an invalid module gets nothing), does factory reset 1 or 2,
reports each of its two steps (parameters, keys), then finds and queries the module again, as the
window&apos;s &quot;Factory reset 1&quot; and &quot;Factory reset 2&quot; do. Status 5 when a step fails;
when the parameters or keys queried again (of KEY-1 to KEY-12, those the reset wrote) differ from
what was written, they are listed and the status is 6.</translation>
    </message>
    <message>
        <source>用法错误：%1（请参阅 tavrin-settings --help）</source>
        <translation>wrong usage: %1; see tavrin-settings --help</translation>
    </message>
    <message>
        <source>输出没有全部写出</source>
        <translation>not all of the output could be written</translation>
    </message>
    <message>
        <source>--lang 只接受 en 或 zh，不接受 %1</source>
        <translation>--lang takes en or zh, not %1</translation>
    </message>
    <message>
        <source>用法：tavrin-settings [--file FILE] show
      tavrin-settings [--file FILE] get SECTION KEY
      tavrin-settings [--file FILE] set SECTION KEY VALUE
      tavrin-settings --help | --version

显示和修改 Tavrin 设置文件中的值，文件里的值是加扰保存的。
不带 --file 时，与 Tavrin 的读取方式相同：按键数和三行标题来自本程序旁边的 confight.ini，
没有时来自安装的 /etc/tavrin/confight.ini；窗口保存的五个参数在您自己的
~/.config/tavrin/confight.ini 存在后从那里读取，设置文件是安装的文件或您无权写入时也写到那里。
每次都说明读取或写入了哪个文件。

  show   以明文列出每个值（带 --file 时：文件的所有节和值）
  get    以明文显示一个值
  set    加扰保存 VALUE；文件的其他各行保持不变。
         节 &quot;int&quot; 中的值是十进制整数。

  --file FILE    只处理这一个文件，原样读写（可以写在命令前后任何位置）
  --lang en|zh   输出的语言（也可以用环境变量 TAVRIN_LANG 选择）
  --version      显示版本
  --             其后的词都不是选项，例如以 - 开头的值

值是 UTF-8 文本。主窗口的三行标题是节 &quot;String&quot; 中的 &quot;man&quot;、&quot;phone&quot; 和 &quot;www&quot;，例如：
  tavrin-settings set String man &quot;示例科技有限公司&quot;

退出状态：0 完成，1 无法读写文件或值，2 用法错误。
</source>
        <translation>Usage: tavrin-settings [--file FILE] show
       tavrin-settings [--file FILE] get SECTION KEY
       tavrin-settings [--file FILE] set SECTION KEY VALUE
       tavrin-settings --help | --version

Shows and changes the values of a Tavrin settings file, which keeps them scrambled.
Without --file it works as Tavrin does: the key count and the header lines come from the
confight.ini beside this program, else from the installed /etc/tavrin/confight.ini; the five
parameters the window saves come from your own ~/.config/tavrin/confight.ini once it exists,
and go there where the settings file is the installed one or not yours to write.
It says which file it read or wrote.

  show   prints every value in clear (with --file: every section and value of FILE)
  get    prints one value in clear
  set    stores VALUE scrambled; every other line of the file stays as it is.
         Values of section &quot;int&quot; are decimal integers.

  --file FILE    works on this one file as it is (before or after the command)
  --lang en|zh   the language of the output (or the environment variable TAVRIN_LANG)
  --version      prints the version
  --             no word after it is an option, such as a value starting with -

Values are UTF-8 text. The header lines of the main window are &quot;man&quot;, &quot;phone&quot; and
&quot;www&quot; in section &quot;String&quot;, for example:
  tavrin-settings set String man &quot;Example Ltd&quot;

Exit status: 0 done, 1 the file or the value could not be read or written, 2 wrong usage.
</translation>
    </message>
    <message>
        <source>写入中被第二次 Ctrl-C 中断，模块的状态不明</source>
        <translation>interrupted by a second Ctrl-C while writing; the state of the module is unknown</translation>
    </message>
    <message>
        <source>  %1 接口 %2：无法打开（%3）</source>
        <translation>  %1 interface %2: cannot be opened (%3)</translation>
    </message>
    <message>
        <source>设备 %1：已停用（问题代码 %2）</source>
        <translation>Device %1: disabled (problem code %2)</translation>
    </message>
    <message>
        <source>设备 %1：驱动程序有问题（问题代码 %2）</source>
        <translation>Device %1: its driver has a problem (problem code %2)</translation>
    </message>
    <message>
        <source>设备 %1：无法工作（问题代码 %2）</source>
        <translation>Device %1: not working (problem code %2)</translation>
    </message>
    <message>
        <source>解决办法：另一个程序占用着 %1（%2）。请关闭正在使用模块的其他配置程序或工具，然后再运行 tavrin-cli doctor。</source>
        <translation>Fix: another program holds %1 (%2). Close the other configuration program or tool using the module, then run tavrin-cli doctor again.</translation>
    </message>
    <message>
        <source>解决办法：在设备管理器中启用设备 %1（右键单击它，选择“启用设备”），然后再运行 tavrin-cli doctor。</source>
        <translation>Fix: enable device %1 in Device Manager (right-click it and choose “Enable device”), then run tavrin-cli doctor again.</translation>
    </message>
    <message>
        <source>解决办法：在设备管理器中卸载设备 %1，然后重新插拔模块，由 Windows 重新安装它的驱动程序。</source>
        <translation>Fix: uninstall device %1 in Device Manager, then unplug the module and plug it in again so that Windows installs its driver again.</translation>
    </message>
    <message>
        <source>解决办法：请重新插拔模块；仍不行时在设备管理器中查看设备 %1 的状态。</source>
        <translation>Fix: unplug the module and plug it in again; if that does not help, look at the status of device %1 in Device Manager.</translation>
    </message>
    <message>
        <source>解决办法：无法打开 %1（%2）：请重新插拔模块，再运行 tavrin-cli doctor。</source>
        <translation>Fix: %1 cannot be opened (%2): unplug the module and plug it in again, then run tavrin-cli doctor again.</translation>
    </message>
    <message>
        <source>系统拒绝读写此设备（可能有别的程序独占了它）</source>
        <translation>The system refuses to open the device for reading and writing (another program may hold it)</translation>
    </message>
    <message>
        <source>设备正被另一个程序使用（是否还有其他配置工具在运行？）</source>
        <translation>The device is in use by another program (is another configuration tool still running?)</translation>
    </message>
</context>
<context>
    <name>Tavrin 103</name>
    <message>
        <source>模块</source>
        <translation>Module</translation>
    </message>
</context>
<context>
    <name>Tavrin 130</name>
    <message>
        <source>无</source>
        <translation>–</translation>
    </message>
</context>
<context>
    <name>Tavrin 131</name>
    <message>
        <source>按键</source>
        <translation>Buttons</translation>
    </message>
</context>
<context>
    <name>Tavrin 132</name>
    <message>
        <source>按键</source>
        <translation>Buttons</translation>
    </message>
</context>
</TS>
