#pragma once

// The parts of doctor's report every system shares, and the seam to each system's half
// (DoctorLinux.cpp, DoctorWindows.cpp).

#include "cli/Doctor.h"
#include "common/UserText.h"
#include "device/DeviceLink.h"

#include <nlohmann/json.hpp>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

// Every system's texts are marked here, in a header every build reads, so that the translation
// is brought up to date from one list whichever system it is made on.
inline constexpr const char *kModuleLine = QT_TRANSLATE_NOOP("Tavrin", "模块 %1:%2%3");
inline constexpr const char *kSerialPart = QT_TRANSLATE_NOOP("Tavrin", "（序列号 %1）");
inline constexpr const char *kNodeOpens = QT_TRANSLATE_NOOP("Tavrin", "  %1 接口 %2：可以打开%3");
inline constexpr const char *kSearchOpensIt = QT_TRANSLATE_NOOP("Tavrin", "，查找模块时打开此接口");
inline constexpr const char *kNoModule = QT_TRANSLATE_NOOP("Tavrin", "没有找到模块：请插上模块，再运行 tavrin-cli doctor。");
inline constexpr const char *kAllGood = QT_TRANSLATE_NOOP("Tavrin", "一切正常：查找模块时会打开 %1。");

// Linux
inline constexpr const char *kNodeDenied = QT_TRANSLATE_NOOP("Tavrin", "  %1 接口 %2：无法打开（%3）；属主 %4，权限 %5；%6");
inline constexpr const char *kRightsAllow = QT_TRANSLATE_NOOP("Tavrin", "本用户（%1）有读写权限");
inline constexpr const char *kRightsDeny = QT_TRANSLATE_NOOP("Tavrin", "本用户（%1）没有读写权限");
inline constexpr const char *kRuleInstalled = QT_TRANSLATE_NOOP("Tavrin", "udev 规则 %1：已安装，%2");
inline constexpr const char *kRuleMissing = QT_TRANSLATE_NOOP("Tavrin", "udev 规则 %1：未安装（查找了 %2）");
inline constexpr const char *kSeatActive = QT_TRANSLATE_NOOP("Tavrin", "会话：本用户在 %1 上有活动会话");
inline constexpr const char *kSeatNone = QT_TRANSLATE_NOOP("Tavrin", "会话：本用户在本机座席上没有活动会话（例如通过 SSH 登录）");
inline constexpr const char *kSeatUnknown = QT_TRANSLATE_NOOP("Tavrin", "会话：无法得知（logind 未运行）");
inline constexpr const char *kFixInstallRule = QT_TRANSLATE_NOOP(
    "Tavrin", "解决办法：安装 udev 规则，然后重新插拔模块：\n"
              "  sudo cp packaging/%1 /etc/udev/rules.d/\n"
              "  sudo udevadm control --reload-rules && sudo udevadm trigger --subsystem-match=hidraw");
inline constexpr const char *kFixGroupRule = QT_TRANSLATE_NOOP(
    "Tavrin", "解决办法：规则 %1 只让本机座席上活动会话的用户打开模块，本用户没有这样的会话（例如通过 SSH 登录或作为服务运行）。"
              "请在本机登录后运行；或者由管理员装上按组授权的规则，让 plugdev 组的成员打开模块的接口 1 和 2：\n"
              "  sudo cp %2 /etc/udev/rules.d/\n"
              "  sudo usermod -aG plugdev %3\n"
              "  sudo udevadm control --reload-rules && sudo udevadm trigger --subsystem-match=hidraw\n"
              "然后重新登录（服务则重新启动）。");
inline constexpr const char *kFixApplyRule = QT_TRANSLATE_NOOP(
    "Tavrin", "解决办法：规则已安装，但还没有用到 %1 上：\n"
              "  sudo udevadm control --reload-rules && sudo udevadm trigger --subsystem-match=hidraw\n"
              "然后重新插拔模块。");
inline constexpr const char *kFixReplug = QT_TRANSLATE_NOOP(
    "Tavrin", "解决办法：本用户对 %1 有读写权限，却仍无法打开（%2）：请重新插拔模块；仍不行时检查是否有别的程序独占了它。");

// Windows
inline constexpr const char *kNodeNotOpened = QT_TRANSLATE_NOOP("Tavrin", "  %1 接口 %2：无法打开（%3）");
inline constexpr const char *kDeviceDisabled = QT_TRANSLATE_NOOP("Tavrin", "设备 %1：已停用（问题代码 %2）");
inline constexpr const char *kDeviceDriverProblem = QT_TRANSLATE_NOOP("Tavrin", "设备 %1：驱动程序有问题（问题代码 %2）");
inline constexpr const char *kDeviceProblem = QT_TRANSLATE_NOOP("Tavrin", "设备 %1：无法工作（问题代码 %2）");
inline constexpr const char *kFixCloseProgram = QT_TRANSLATE_NOOP(
    "Tavrin", "解决办法：另一个程序占用着 %1（%2）。请关闭正在使用模块的其他配置程序或工具，"
              "然后再运行 tavrin-cli doctor。");
inline constexpr const char *kFixEnableDevice = QT_TRANSLATE_NOOP(
    "Tavrin", "解决办法：在设备管理器中启用设备 %1（右键单击它，选择“启用设备”），然后再运行 tavrin-cli doctor。");
inline constexpr const char *kFixReinstallDriver = QT_TRANSLATE_NOOP(
    "Tavrin", "解决办法：在设备管理器中卸载设备 %1，然后重新插拔模块，由 Windows 重新安装它的驱动程序。");
inline constexpr const char *kFixReplugDevice = QT_TRANSLATE_NOOP(
    "Tavrin", "解决办法：请重新插拔模块；仍不行时在设备管理器中查看设备 %1 的状态。");
inline constexpr const char *kFixReplugNode = QT_TRANSLATE_NOOP(
    "Tavrin", "解决办法：无法打开 %1（%2）：请重新插拔模块，再运行 tavrin-cli doctor。");

// One interface of a module present, and whether a search can open it.
struct NodeCheck {
    const ModuleInterface *candidate;
    ModuleIdentity module;
    int openError; // the system's error number; 0 when it opens
};

using Module = std::vector<const NodeCheck *>;

// What doctor finds the same way on every system.
struct Findings {
    std::vector<NodeCheck> checks;
    std::vector<Module> modules;
    const NodeCheck *searched = nullptr; // the node the fix is about; nullptr when there is none
};

// The one fix doctor gives: its code for scripts ("none" when a search opens the module) and its
// words; no words for "none" and where the report says it otherwise.
struct DoctorFix {
    const char *code = "none";
    UserText text;
    bool IsNone() const { return std::string(code) == "none"; }
};

// A system's own part of the report: what it asks beyond the open, and the fix it chooses.
class CSystemDoctor {
public:
    virtual ~CSystemDoctor() = default;
    virtual DoctorFix Fix() const = 0;
    // The line of a node that does not open.
    virtual UserText RefusalLine(const NodeCheck &check) const = 0;
    // The system's keys of a node in the JSON report, after the shared ones.
    virtual void AddNodeJson(const NodeCheck &check, nlohmann::ordered_json &node) const = 0;
    // The system's lines between the modules and the fix.
    virtual void PrintSystem(std::FILE *out) const = 0;
    // The report's keys after "modules", the fix's code among them.
    virtual void AddJson(nlohmann::ordered_json &report) const = 0;
};

// Asks the system what it knows beyond the open (each system's half).
std::unique_ptr<CSystemDoctor> ExamineSystem(const Findings &findings, const DoctorProbes &probes);

// The text in the run's language, on a line of its own.
void PrintLine(std::FILE *out, const UserText &text);
