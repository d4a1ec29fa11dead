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
        <translation>Defaults 1 restored</translation>
    </message>
    <message>
        <source>恢复出厂1失败</source>
        <translation>Restoring defaults 1 failed</translation>
    </message>
    <message>
        <source>恢复出厂2设置完成</source>
        <translation>Defaults 2 restored</translation>
    </message>
    <message>
        <source>恢复出厂2失败</source>
        <translation>Restoring defaults 2 failed</translation>
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
        <translation>Btn 1</translation>
    </message>
    <message>
        <source>按键2</source>
        <translation>Btn 2</translation>
    </message>
    <message>
        <source>按键3</source>
        <translation>Btn 3</translation>
    </message>
    <message>
        <source>按键4</source>
        <translation>Btn 4</translation>
    </message>
    <message>
        <source>按键5</source>
        <translation>Btn 5</translation>
    </message>
    <message>
        <source>按键6</source>
        <translation>Btn 6</translation>
    </message>
    <message>
        <source>按键7</source>
        <translation>Btn 7</translation>
    </message>
    <message>
        <source>按键8</source>
        <translation>Btn 8</translation>
    </message>
    <message>
        <source> 无</source>
        <translation> –</translation>
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
        <translation>–</translation>
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
        <translation>Off</translation>
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
        <translation>Play</translation>
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
        <translation>Note: press Set params only to change the module&apos;s Repeat or debounce Delay.</translation>
    </message>
    <message>
        <source>长按连击</source>
        <translation>Repeat</translation>
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
        <translation>Delay</translation>
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
        <translation>Set params</translation>
    </message>
    <message>
        <source>恢复出厂1</source>
        <translation>Defaults 1</translation>
    </message>
    <message>
        <source>恢复出厂2</source>
        <translation>Defaults 2</translation>
    </message>
    <message>
        <source>操作</source>
        <translation>Operations</translation>
    </message>
    <message>
        <source>模块</source>
        <translation>Mod.</translation>
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
        <translation>↑</translation>
    </message>
    <message>
        <source>下移</source>
        <translation>↓</translation>
    </message>
    <message>
        <source>左移</source>
        <translation>←</translation>
    </message>
    <message>
        <source>右移</source>
        <translation>→</translation>
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
        <source>用法：tavrin-settings [--file FILE] show
      tavrin-settings [--file FILE] get SECTION KEY
      tavrin-settings [--file FILE] set SECTION KEY VALUE
      tavrin-settings --help

显示和修改 Tavrin 设置文件中的值，文件里的值是加扰保存的。
不带 --file 时，处理本程序旁边的 confight.ini，也就是 Tavrin 读取的文件。

  show   以明文列出所有节和值
  get    以明文显示一个值
  set    加扰保存 VALUE；文件的其他各行保持不变

  --lang en|zh   输出的语言（也可以用环境变量 TAVRIN_LANG 选择）

值是 UTF-8 文本。主窗口的三行标题是节 &quot;String&quot; 中的 &quot;man&quot;、&quot;phone&quot; 和 &quot;www&quot;，例如：
  tavrin-settings set String man &quot;示例科技有限公司&quot;

退出状态：0 完成，1 无法读写文件或值，2 用法错误。
</source>
        <translation>Usage: tavrin-settings [--file FILE] show
       tavrin-settings [--file FILE] get SECTION KEY
       tavrin-settings [--file FILE] set SECTION KEY VALUE
       tavrin-settings --help

Shows and changes the values of a Tavrin settings file, which keeps them scrambled.
Without --file it works on the confight.ini beside this program, the file Tavrin reads.

  show   prints every section and value in clear
  get    prints one value in clear
  set    stores VALUE scrambled; every other line of the file stays as it is

  --lang en|zh   the language of the output (TAVRIN_LANG chooses it too)

Values are UTF-8 text. The header lines of the main window are &quot;man&quot;, &quot;phone&quot; and
&quot;www&quot; in section &quot;String&quot;, for example:
  tavrin-settings set String man &quot;Example Technology Co., Ltd.&quot;

Exit status: 0 done, 1 the file or the value could not be read or written, 2 wrong usage.
</translation>
    </message>
    <message>
        <source>没有设置文件：%1</source>
        <translation>no settings file at %1</translation>
    </message>
    <message>
        <source>无法读取设置文件 %1</source>
        <translation>cannot read the settings file %1</translation>
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
        <source>无法写入设置文件 %1，文件保持不变</source>
        <translation>cannot write the settings file %1; it is unchanged</translation>
    </message>
    <message>
        <source>用法错误，请参阅 tavrin-settings --help</source>
        <translation>wrong usage; see tavrin-settings --help</translation>
    </message>
    <message>
        <source>--lang 只接受 en 或 zh</source>
        <translation>--lang takes en or zh</translation>
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
