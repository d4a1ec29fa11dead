#include "cli/Doctor.h"

#include "cli/Cli.h"
#include "common/MessageSink.h"
#include "device/DeviceLink.h"
#include "device/HidBackend.h"

#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>

namespace {
constexpr const char *kRuleName = "60-tavrin.rules";

constexpr const char *kModuleLine = QT_TRANSLATE_NOOP("Tavrin", "模块 %1:%2%3");
constexpr const char *kSerialPart = QT_TRANSLATE_NOOP("Tavrin", "（序列号 %1）");
constexpr const char *kNodeOpens = QT_TRANSLATE_NOOP("Tavrin", "  %1 接口 %2：可以打开%3");
constexpr const char *kNodeDenied = QT_TRANSLATE_NOOP("Tavrin", "  %1 接口 %2：无法打开（%3）；属主 %4，权限 %5；%6");
constexpr const char *kSearchOpensIt = QT_TRANSLATE_NOOP("Tavrin", "，查找模块时打开此接口");
constexpr const char *kAclForUser = QT_TRANSLATE_NOOP("Tavrin", "有本用户（%1）的访问控制项：%2");
constexpr const char *kNoAclForUser = QT_TRANSLATE_NOOP("Tavrin", "没有本用户（%1）的访问控制项");
constexpr const char *kRuleInstalled = QT_TRANSLATE_NOOP("Tavrin", "udev 规则 %1：已安装，%2");
constexpr const char *kRuleMissing = QT_TRANSLATE_NOOP("Tavrin", "udev 规则 %1：未安装（查找了 %2）");
constexpr const char *kSeatActive = QT_TRANSLATE_NOOP("Tavrin", "会话：本用户在 %1 上有活动会话");
constexpr const char *kSeatNone = QT_TRANSLATE_NOOP("Tavrin", "会话：本用户在本机座席上没有活动会话（例如通过 SSH 登录）");
constexpr const char *kSeatUnknown = QT_TRANSLATE_NOOP("Tavrin", "会话：无法得知（没有 %1，logind 未运行）");
constexpr const char *kNoModule = QT_TRANSLATE_NOOP("Tavrin", "没有找到模块：请插上模块，再运行 tavrin-cli doctor。");
constexpr const char *kAllGood = QT_TRANSLATE_NOOP("Tavrin", "一切正常：查找模块时会打开 %1。");
constexpr const char *kFixInstallRule = QT_TRANSLATE_NOOP(
    "Tavrin", "解决办法：安装 udev 规则，然后重新插拔模块：\n"
              "  sudo cp packaging/%1 /etc/udev/rules.d/\n"
              "  sudo udevadm control --reload-rules && sudo udevadm trigger --subsystem-match=hidraw");
constexpr const char *kFixNoSeat = QT_TRANSLATE_NOOP(
    "Tavrin", "解决办法：规则 %1 只让本机座席上活动会话的用户打开模块，本用户没有这样的会话。请在本机登录后运行；"
              "或者由管理员另加一条规则，例如在 /etc/udev/rules.d/61-tavrin-group.rules 中写入\n"
              "  SUBSYSTEM==\"hidraw\", ATTRS{idVendor}==\"%2\", ATTRS{idProduct}==\"%3\", GROUP=\"plugdev\", MODE=\"0660\"\n"
              "并执行 sudo usermod -aG plugdev %4，重新登录，再执行 sudo udevadm trigger --subsystem-match=hidraw。");
constexpr const char *kFixTrigger = QT_TRANSLATE_NOOP(
    "Tavrin", "解决办法：规则已安装，但还没有用到 %1 上：\n"
              "  sudo udevadm control --reload-rules && sudo udevadm trigger --subsystem-match=hidraw\n"
              "然后重新插拔模块。");
constexpr const char *kFixOther = QT_TRANSLATE_NOOP(
    "Tavrin", "解决办法：%1 有本用户的访问控制项，却仍无法打开（%2）：请重新插拔模块；仍不行时检查是否有别的程序独占了它。");

// The POSIX access list as the kernel stores it in the system.posix_acl_access attribute.
constexpr std::uint16_t kAclUser = 0x02;
constexpr std::uint16_t kAclMask = 0x10;
constexpr std::uint32_t kAclVersion = 2;

void Print(std::FILE *out, const char *source, std::vector<std::string> values = {})
{
    std::fprintf(out, "%s\n", TranslateText({source, std::move(values)}).c_str());
}

std::string Hex4(std::uint16_t value)
{
    char text[8];
    std::snprintf(text, sizeof text, "%04x", value);
    return text;
}

std::string UserName(uid_t uid)
{
    const passwd *entry = ::getpwuid(uid);
    return entry && entry->pw_name ? entry->pw_name : std::to_string(uid);
}

// "rw" for the rights this user's entry grants after the mask; nullopt when it has no entry.
std::optional<std::string> AclRightsOf(const std::string &node, uid_t uid)
{
    std::array<std::uint8_t, 4096> buffer{};
    const ssize_t size = getxattr(node.c_str(), "system.posix_acl_access", buffer.data(), buffer.size());
    if (size < 4)
        return std::nullopt;
    std::uint32_t version = 0;
    std::memcpy(&version, buffer.data(), 4);
    if (version != kAclVersion)
        return std::nullopt;
    std::optional<std::uint16_t> rights;
    std::uint16_t mask = 7;
    for (ssize_t at = 4; at + 8 <= size; at += 8) {
        std::uint16_t tag = 0;
        std::uint16_t permissions = 0;
        std::uint32_t id = 0;
        std::memcpy(&tag, buffer.data() + at, 2);
        std::memcpy(&permissions, buffer.data() + at + 2, 2);
        std::memcpy(&id, buffer.data() + at + 4, 4);
        if (tag == kAclUser && id == uid)
            rights = permissions;
        if (tag == kAclMask)
            mask = permissions;
    }
    if (!rights)
        return std::nullopt;
    const std::uint16_t granted = *rights & mask;
    return std::string(granted & 4 ? "r" : "-") + (granted & 2 ? "w" : "-");
}

// The error of opening the node for reading and writing as the tool does; 0 when it opens.
int OpenError(const std::string &node)
{
    const int fd = ::open(node.c_str(), O_RDWR | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    ::close(fd);
    return 0;
}

std::string OwnerAndMode(const std::string &node, std::string &mode)
{
    struct stat status {};
    if (::stat(node.c_str(), &status) != 0) {
        mode = "?";
        return "?";
    }
    char text[8];
    std::snprintf(text, sizeof text, "%04o", static_cast<unsigned>(status.st_mode & 07777));
    mode = text;
    const group *owningGroup = ::getgrgid(status.st_gid);
    return UserName(status.st_uid) + ":" +
           (owningGroup && owningGroup->gr_name ? owningGroup->gr_name : std::to_string(status.st_gid));
}

std::string InstalledRule(const DoctorPlaces &places)
{
    for (const std::string &folder : places.ruleFolders) {
        std::error_code error;
        const auto path = std::filesystem::path(folder) / kRuleName;
        if (std::filesystem::is_regular_file(path, error))
            return path.string();
    }
    return {};
}

enum class Seat { Active, None, Unknown };

// logind keeps one small file per session: its user, its seat and whether it is active.
Seat ActiveSeat(const DoctorPlaces &places, uid_t uid, std::string &seat)
{
    std::error_code error;
    std::filesystem::directory_iterator sessions(places.sessionFolder, error);
    if (error)
        return Seat::Unknown;
    for (const auto &entry : sessions) {
        std::ifstream file(entry.path());
        std::map<std::string, std::string> values;
        std::string line;
        while (std::getline(file, line)) {
            const auto equals = line.find('=');
            if (equals != std::string::npos)
                values[line.substr(0, equals)] = line.substr(equals + 1);
        }
        if (values["UID"] == std::to_string(uid) && values["ACTIVE"] == "1" && !values["SEAT"].empty()) {
            seat = values["SEAT"];
            return Seat::Active;
        }
    }
    return Seat::None;
}

struct NodeCheck {
    const ModuleInterface *interface;
    int openError;
    std::optional<std::string> acl;
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

// The modules in the order enumeration lists them, each with its interfaces.
std::vector<std::vector<const NodeCheck *>> ByModule(const std::vector<NodeCheck> &checks)
{
    std::vector<std::vector<const NodeCheck *>> modules;
    for (const NodeCheck &check : checks) {
        const HidDeviceInfo &info = check.interface->info;
        const auto same = std::find_if(modules.begin(), modules.end(), [&](const auto &module) {
            const HidDeviceInfo &first = module.front()->interface->info;
            return first.vendor_id == info.vendor_id && first.product_id == info.product_id &&
                   first.serial == info.serial;
        });
        if (same == modules.end())
            modules.push_back({&check});
        else
            same->push_back(&check);
    }
    return modules;
}

void PrintNode(std::FILE *out, const NodeCheck &check, bool searched, const std::string &user)
{
    const std::string &node = check.interface->info.path;
    const std::string number = std::to_string(check.interface->info.interface_number);
    if (check.openError == 0) {
        Print(out, kNodeOpens, {node, number, searched ? TranslateText({kSearchOpensIt, {}}) : std::string()});
        return;
    }
    std::string mode;
    const std::string owner = OwnerAndMode(node, mode);
    const std::string acl =
        check.acl ? TranslateText({kAclForUser, {user, *check.acl}}) : TranslateText({kNoAclForUser, {user}});
    Print(out, kNodeDenied, {node, number, std::strerror(check.openError), owner, mode, acl});
}

// The one fix for a module that a search cannot open.
void PrintFix(std::FILE *out, const NodeCheck &check, const std::string &rule, Seat seat, const std::string &user)
{
    const HidDeviceInfo &info = check.interface->info;
    if (rule.empty())
        Print(out, kFixInstallRule, {kRuleName});
    else if (check.acl)
        Print(out, kFixOther, {info.path, std::strerror(check.openError)});
    else if (seat != Seat::Active)
        Print(out, kFixNoSeat, {rule, Hex4(info.vendor_id), Hex4(info.product_id), user});
    else
        Print(out, kFixTrigger, {info.path});
}
} // namespace

int RunDoctor(IHidBackend &backend, std::FILE *out, const DoctorPlaces &places)
{
    if (backend.Init() != 0)
        ShowMessage(QT_TRANSLATE_NOOP("Tavrin", "设备初始化失败"));
    const std::vector<ModuleInterface> interfaces = ListModuleInterfaces(backend);
    if (interfaces.empty()) {
        Print(out, kNoModule);
        return CliExit::kNoModule;
    }
    const uid_t uid = ::getuid();
    const std::string user = UserName(uid);
    std::vector<NodeCheck> checks;
    for (const ModuleInterface &candidate : interfaces)
        checks.push_back({&candidate, OpenError(candidate.info.path), AclRightsOf(candidate.info.path, uid)});
    const NodeCheck *searched = SearchedNode(checks);
    for (const auto &module : ByModule(checks)) {
        const HidDeviceInfo &first = module.front()->interface->info;
        const std::string serial = first.serial.empty() ? std::string() : TranslateText({kSerialPart, {first.serial}});
        Print(out, kModuleLine, {Hex4(first.vendor_id), Hex4(first.product_id), serial});
        for (const NodeCheck *check : module)
            PrintNode(out, *check, check == searched, user);
    }
    const std::string rule = InstalledRule(places);
    std::string folders;
    for (const std::string &folder : places.ruleFolders) {
        if (!folders.empty())
            folders += ", ";
        folders += folder;
    }
    if (rule.empty())
        Print(out, kRuleMissing, {kRuleName, folders});
    else
        Print(out, kRuleInstalled, {kRuleName, rule});
    std::string seatName;
    const Seat seat = ActiveSeat(places, uid, seatName);
    if (seat == Seat::Active)
        Print(out, kSeatActive, {seatName});
    else
        Print(out, seat == Seat::None ? kSeatNone : kSeatUnknown, {places.sessionFolder});

    if (searched && searched->openError == 0) {
        Print(out, kAllGood, {searched->interface->info.path});
        return CliExit::kOk;
    }
    PrintFix(out, searched ? *searched : checks.front(), rule, seat, user);
    return CliExit::kNoModule;
}
