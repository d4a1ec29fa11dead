#include "cli/Doctor.h"

#include "cli/CliJson.h"
#include "cli/ExitStatus.h"
#include "common/MessageSink.h"
#include "device/DeviceLink.h"
#include "device/HidBackend.h"

#include <nlohmann/json.hpp>
#include <systemd/sd-daemon.h>
#include <systemd/sd-login.h>

#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace {
constexpr const char *kRuleName = "60-tavrin.rules";
constexpr const char *kGroupRuleInBuild = "packaging/61-tavrin-plugdev.rules";

constexpr const char *kModuleLine = QT_TRANSLATE_NOOP("Tavrin", "模块 %1:%2%3");
constexpr const char *kSerialPart = QT_TRANSLATE_NOOP("Tavrin", "（序列号 %1）");
constexpr const char *kNodeOpens = QT_TRANSLATE_NOOP("Tavrin", "  %1 接口 %2：可以打开%3");
constexpr const char *kNodeDenied = QT_TRANSLATE_NOOP("Tavrin", "  %1 接口 %2：无法打开（%3）；属主 %4，权限 %5；%6");
constexpr const char *kSearchOpensIt = QT_TRANSLATE_NOOP("Tavrin", "，查找模块时打开此接口");
constexpr const char *kRightsAllow = QT_TRANSLATE_NOOP("Tavrin", "本用户（%1）有读写权限");
constexpr const char *kRightsDeny = QT_TRANSLATE_NOOP("Tavrin", "本用户（%1）没有读写权限");
constexpr const char *kRuleInstalled = QT_TRANSLATE_NOOP("Tavrin", "udev 规则 %1：已安装，%2");
constexpr const char *kRuleMissing = QT_TRANSLATE_NOOP("Tavrin", "udev 规则 %1：未安装（查找了 %2）");
constexpr const char *kSeatActive = QT_TRANSLATE_NOOP("Tavrin", "会话：本用户在 %1 上有活动会话");
constexpr const char *kSeatNone = QT_TRANSLATE_NOOP("Tavrin", "会话：本用户在本机座席上没有活动会话（例如通过 SSH 登录）");
constexpr const char *kSeatUnknown = QT_TRANSLATE_NOOP("Tavrin", "会话：无法得知（logind 未运行）");
constexpr const char *kNoModule = QT_TRANSLATE_NOOP("Tavrin", "没有找到模块：请插上模块，再运行 tavrin-cli doctor。");
constexpr const char *kAllGood = QT_TRANSLATE_NOOP("Tavrin", "一切正常：查找模块时会打开 %1。");
constexpr const char *kFixInstallRule = QT_TRANSLATE_NOOP(
    "Tavrin", "解决办法：安装 udev 规则，然后重新插拔模块：\n"
              "  sudo cp packaging/%1 /etc/udev/rules.d/\n"
              "  sudo udevadm control --reload-rules && sudo udevadm trigger --subsystem-match=hidraw");
constexpr const char *kFixGroupRule = QT_TRANSLATE_NOOP(
    "Tavrin", "解决办法：规则 %1 只让本机座席上活动会话的用户打开模块，本用户没有这样的会话（例如通过 SSH 登录或作为服务运行）。"
              "请在本机登录后运行；或者由管理员装上按组授权的规则，让 plugdev 组的成员打开模块的接口 1 和 2：\n"
              "  sudo cp %2 /etc/udev/rules.d/\n"
              "  sudo usermod -aG plugdev %3\n"
              "  sudo udevadm control --reload-rules && sudo udevadm trigger --subsystem-match=hidraw\n"
              "然后重新登录（服务则重新启动）。");
constexpr const char *kFixApplyRule = QT_TRANSLATE_NOOP(
    "Tavrin", "解决办法：规则已安装，但还没有用到 %1 上：\n"
              "  sudo udevadm control --reload-rules && sudo udevadm trigger --subsystem-match=hidraw\n"
              "然后重新插拔模块。");
constexpr const char *kFixReplug = QT_TRANSLATE_NOOP(
    "Tavrin", "解决办法：本用户对 %1 有读写权限，却仍无法打开（%2）：请重新插拔模块；仍不行时检查是否有别的程序独占了它。");

// The one fix doctor gives, and its name in the JSON output.
enum class Fix { None, PlugIn, InstallRule, Replug, GroupRule, ApplyRule };
constexpr const char *kFixCodes[] = {"none", "plug_in_module", "install_rule", "replug_module", "add_group_rule", "apply_rule"};
constexpr const char *kSeatCodes[] = {"active", "none", "unknown"};

void Print(std::FILE *out, const char *source, std::vector<std::string> values = {})
{
    std::fprintf(out, "%s\n", TranslateText({source, std::move(values)}).c_str());
}

std::string UserName(uid_t uid)
{
    const passwd *entry = ::getpwuid(uid);
    return entry && entry->pw_name ? entry->pw_name : std::to_string(uid);
}

// logind's answer; Unknown where the system does not run it (a container, another init).
SeatState LoginSeat(uid_t uid)
{
    if (sd_booted() <= 0)
        return {};
    char **seats = nullptr;
    const int count = sd_uid_get_seats(uid, 1, &seats);
    SeatState state{count > 0 ? SeatState::Kind::Active : count == 0 ? SeatState::Kind::None : SeatState::Kind::Unknown,
                    count > 0 ? seats[0] : ""};
    for (int i = 0; i < count; ++i)
        std::free(seats[i]);
    std::free(seats);
    return state;
}

int OpenError(const std::string &node)
{
    const int fd = ::open(node.c_str(), O_RDWR | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    ::close(fd);
    return 0;
}

// The kernel's own check, access lists and groups included. The real user is the one that runs
// the tool (it is not set-user-ID); AT_EACCESS would fall back to a check without access lists
// where the kernel or a container's filter lacks faccessat2.
bool MayReadWrite(const std::string &node)
{
    return ::access(node.c_str(), R_OK | W_OK) == 0;
}

struct Ownership {
    std::string owner = "?";
    std::string mode = "?";
};

Ownership OwnershipOf(const std::string &node)
{
    struct stat status {};
    if (::stat(node.c_str(), &status) != 0)
        return {};
    char mode[8];
    std::snprintf(mode, sizeof mode, "%04o", static_cast<unsigned>(status.st_mode & 07777));
    const group *owningGroup = ::getgrgid(status.st_gid);
    return {UserName(status.st_uid) + ":" +
                (owningGroup && owningGroup->gr_name ? owningGroup->gr_name : std::to_string(status.st_gid)),
            mode};
}

std::string InstalledRule(const DoctorProbes &probes)
{
    for (const std::string &folder : probes.ruleFolders) {
        std::error_code error;
        const auto path = std::filesystem::path(folder) / kRuleName;
        if (std::filesystem::is_regular_file(path, error))
            return path.string();
    }
    return {};
}

// The group rule to copy: the package's, else the one in the source tree of a build.
std::string GroupRuleToCopy(const DoctorProbes &probes)
{
    std::error_code error;
    return !probes.groupRule.empty() && std::filesystem::is_regular_file(probes.groupRule, error) ? probes.groupRule
                                                                                                  : kGroupRuleInBuild;
}

struct NodeCheck {
    const ModuleInterface *interface;
    ModuleIdentity module;
    int openError;
    bool mayReadWrite;
};

using Module = std::vector<const NodeCheck *>;

// Everything doctor found, and the fix it chose.
struct Diagnosis {
    std::vector<NodeCheck> checks;
    std::vector<Module> modules;
    const NodeCheck *searched = nullptr; // the node the fix is about
    std::string rule;                    // the installed rule; empty when there is none
    SeatState seat;
    std::string user;
    Fix fix = Fix::None;
};

// The interface a search opens: the first in search order that opens; when none does, the first
// it tries, whose refusal the fix is about.
const NodeCheck *SearchedNode(const std::vector<NodeCheck> &checks)
{
    const NodeCheck *best = nullptr;
    for (const NodeCheck &check : checks) {
        if (check.interface->searchOrder < 0)
            continue;
        const bool opens = check.openError == 0;
        if (!best || (opens && best->openError != 0) ||
            (opens == (best->openError == 0) && check.interface->searchOrder < best->interface->searchOrder))
            best = &check;
    }
    return best;
}

// The modules in the order enumeration lists them, each with its interfaces, as the watcher
// identifies modules. A node whose USB device is unknown stays a module of its own rather than
// merging two modules.
std::vector<Module> ByModule(const std::vector<NodeCheck> &checks)
{
    std::vector<Module> modules;
    for (const NodeCheck &check : checks) {
        const auto same = std::find_if(modules.begin(), modules.end(), [&](const Module &module) {
            return !check.module.usbDevice.empty() && module.front()->module == check.module;
        });
        if (same == modules.end())
            modules.push_back({&check});
        else
            same->push_back(&check);
    }
    return modules;
}

Fix ChooseFix(const Diagnosis &diagnosis)
{
    const NodeCheck *node = diagnosis.searched;
    if (!node)
        return Fix::PlugIn;
    if (node->openError == 0)
        return Fix::None;
    if (diagnosis.rule.empty())
        return Fix::InstallRule;
    // The rights allow it: something other than permissions keeps the node closed.
    if (node->mayReadWrite)
        return Fix::Replug;
    return diagnosis.seat.kind == SeatState::Kind::Active ? Fix::ApplyRule : Fix::GroupRule;
}

Diagnosis Diagnose(const std::vector<ModuleInterface> &interfaces, const DoctorProbes &probes)
{
    Diagnosis diagnosis;
    const uid_t uid = ::getuid();
    diagnosis.user = UserName(uid);
    for (const ModuleInterface &candidate : interfaces) {
        const std::string &node = candidate.info.path;
        diagnosis.checks.push_back({&candidate, probes.moduleOf(node), probes.openError(node), probes.mayReadWrite(node)});
    }
    diagnosis.modules = ByModule(diagnosis.checks);
    diagnosis.searched = SearchedNode(diagnosis.checks);
    if (!diagnosis.searched && !diagnosis.checks.empty())
        diagnosis.searched = &diagnosis.checks.front();
    diagnosis.rule = InstalledRule(probes);
    diagnosis.seat = probes.seat(uid);
    diagnosis.fix = ChooseFix(diagnosis);
    return diagnosis;
}

void PrintNode(std::FILE *out, const NodeCheck &check, bool searched, const std::string &user)
{
    const std::string &node = check.interface->info.path;
    const std::string number = std::to_string(check.interface->info.interface_number);
    if (check.openError == 0) {
        Print(out, kNodeOpens, {node, number, searched ? TranslateText({kSearchOpensIt, {}}) : std::string()});
        return;
    }
    const Ownership ownership = OwnershipOf(node);
    const std::string rights = TranslateText({check.mayReadWrite ? kRightsAllow : kRightsDeny, {user}});
    Print(out, kNodeDenied, {node, number, std::strerror(check.openError), ownership.owner, ownership.mode, rights});
}

void PrintFix(std::FILE *out, const Diagnosis &diagnosis, const DoctorProbes &probes)
{
    const NodeCheck &node = *diagnosis.searched;
    const std::string &path = node.interface->info.path;
    switch (diagnosis.fix) {
    case Fix::None:
        Print(out, kAllGood, {path});
        break;
    case Fix::PlugIn:
        break;
    case Fix::InstallRule:
        Print(out, kFixInstallRule, {kRuleName});
        break;
    case Fix::Replug:
        Print(out, kFixReplug, {path, std::strerror(node.openError)});
        break;
    case Fix::GroupRule:
        Print(out, kFixGroupRule, {diagnosis.rule, GroupRuleToCopy(probes), diagnosis.user});
        break;
    case Fix::ApplyRule:
        Print(out, kFixApplyRule, {path});
        break;
    }
}

void PrintText(std::FILE *out, const Diagnosis &diagnosis, const DoctorProbes &probes)
{
    for (const Module &module : diagnosis.modules) {
        const HidDeviceInfo &first = module.front()->interface->info;
        const std::string serial = first.serial.empty() ? std::string() : TranslateText({kSerialPart, {first.serial}});
        Print(out, kModuleLine, {Hex4(first.vendor_id), Hex4(first.product_id), serial});
        for (const NodeCheck *check : module)
            PrintNode(out, *check, check == diagnosis.searched && check->openError == 0, diagnosis.user);
    }
    std::string folders;
    for (const std::string &folder : probes.ruleFolders)
        folders += (folders.empty() ? "" : ", ") + folder;
    if (diagnosis.rule.empty())
        Print(out, kRuleMissing, {kRuleName, folders});
    else
        Print(out, kRuleInstalled, {kRuleName, diagnosis.rule});
    if (diagnosis.seat.kind == SeatState::Kind::Active)
        Print(out, kSeatActive, {diagnosis.seat.seat});
    else
        Print(out, diagnosis.seat.kind == SeatState::Kind::None ? kSeatNone : kSeatUnknown);
    PrintFix(out, diagnosis, probes);
}

nlohmann::ordered_json NodeJson(const NodeCheck &check, const Diagnosis &diagnosis)
{
    const Ownership ownership = OwnershipOf(check.interface->info.path);
    const char *error = check.openError ? strerrorname_np(check.openError) : nullptr;
    return {{"node", check.interface->info.path},
            {"interface", check.interface->info.interface_number},
            {"opens", check.openError == 0},
            {"open_error", error ? nlohmann::ordered_json(error) : nlohmann::ordered_json()},
            {"searched", &check == diagnosis.searched},
            {"may_read_write", check.mayReadWrite},
            {"owner", ownership.owner},
            {"mode", ownership.mode}};
}

void PrintJson(std::FILE *out, const Diagnosis &diagnosis, const DoctorProbes &probes)
{
    nlohmann::ordered_json modules = nlohmann::ordered_json::array();
    for (const Module &module : diagnosis.modules) {
        const HidDeviceInfo &first = module.front()->interface->info;
        nlohmann::ordered_json interfaces = nlohmann::ordered_json::array();
        for (const NodeCheck *check : module)
            interfaces.push_back(NodeJson(*check, diagnosis));
        modules.push_back({{"vendor_id", Hex4(first.vendor_id)},
                           {"product_id", Hex4(first.product_id)},
                           {"serial", OrNull(first.serial)},
                           {"usb_device", OrNull(module.front()->module.usbDevice)},
                           {"interfaces", interfaces}});
    }
    const nlohmann::ordered_json report = {
        {"ok", diagnosis.fix == Fix::None},
        {"modules", modules},
        {"rule", {{"name", kRuleName}, {"path", OrNull(diagnosis.rule)}, {"searched_folders", probes.ruleFolders}}},
        {"user", diagnosis.user},
        {"seat", {{"state", kSeatCodes[static_cast<int>(diagnosis.seat.kind)]}, {"name", OrNull(diagnosis.seat.seat)}}},
        {"fix", kFixCodes[static_cast<int>(diagnosis.fix)]},
        {"group_rule", GroupRuleToCopy(probes)},
    };
    // A serial that is not UTF-8 must not end the output half-way.
    std::fprintf(out, "%s\n", report.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace).c_str());
}
} // namespace

DoctorProbes::DoctorProbes()
    : groupRule(TAVRIN_GROUP_RULE), seat(LoginSeat), moduleOf(ModuleOfNode), openError(OpenError), mayReadWrite(MayReadWrite)
{
}

int RunDoctor(IHidBackend &backend, std::FILE *out, bool json, const DoctorProbes &probes)
{
    if (backend.Init() != 0)
        ShowMessage(QT_TRANSLATE_NOOP("Tavrin", "设备初始化失败"));
    const std::vector<ModuleInterface> interfaces = ListModuleInterfaces(backend);
    const Diagnosis diagnosis = Diagnose(interfaces, probes);
    if (json)
        PrintJson(out, diagnosis, probes);
    else if (interfaces.empty())
        Print(out, kNoModule);
    else
        PrintText(out, diagnosis, probes);
    return diagnosis.fix == Fix::None ? CliExit::kOk : CliExit::kNoModule;
}
