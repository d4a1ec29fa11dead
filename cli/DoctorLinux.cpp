// doctor on Linux: the udev rule, this user's rights on each hidraw node and the user's seat.
#include "cli/DoctorReport.h"

#include "device/OpenFailure.h"

#include <systemd/sd-daemon.h>
#include <systemd/sd-login.h>

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

namespace {
constexpr const char *kRuleName = "60-tavrin.rules";
constexpr const char *kGroupRuleInBuild = "packaging/61-tavrin-plugdev.rules";

constexpr const char *kSeatCodes[] = {"active", "none", "unknown"};

std::string UserName(uid_t uid)
{
    const passwd *entry = ::getpwuid(uid);
    return entry && entry->pw_name ? entry->pw_name : std::to_string(uid);
}

// logind's answer; Unknown where the system does not run it (a container, another init).
SeatState LoginSeat()
{
    if (sd_booted() <= 0)
        return {};
    char **seats = nullptr;
    const int count = sd_uid_get_seats(::getuid(), 1, &seats);
    SeatState state{count > 0 ? SeatState::Kind::Active : count == 0 ? SeatState::Kind::None : SeatState::Kind::Unknown,
                    count > 0 ? seats[0] : ""};
    for (int i = 0; i < count; ++i)
        std::free(seats[i]);
    std::free(seats);
    return state;
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

class CLinuxDoctor final : public CSystemDoctor {
public:
    CLinuxDoctor(const Findings &findings, const DoctorProbes &probes)
        : m_findings(findings), m_probes(probes), m_strRule(InstalledRule(probes)), m_seat(probes.seat()),
          m_strUser(UserName(::getuid()))
    {
        for (const NodeCheck &check : findings.checks)
            m_mayReadWrite.push_back(probes.mayReadWrite(check.candidate->info.path));
    }

    DoctorFix Fix() const override
    {
        const NodeCheck *node = m_findings.searched;
        if (!node)
            return {"plug_in_module", {}};
        const std::string &path = node->candidate->info.path;
        if (node->openError == 0)
            return {"none", {}};
        if (m_strRule.empty())
            return {"install_rule", {kFixInstallRule, {kRuleName}}};
        // The rights allow it: something other than permissions keeps the node closed.
        if (RightsAllow(*node))
            return {"replug_module", {kFixReplug, {path, SystemErrorText(node->openError)}}};
        if (m_seat.kind == SeatState::Kind::Active)
            return {"apply_rule", {kFixApplyRule, {path}}};
        return {"add_group_rule", {kFixGroupRule, {m_strRule, GroupRuleToCopy(m_probes), m_strUser}}};
    }

    UserText RefusalLine(const NodeCheck &check) const override
    {
        const std::string &node = check.candidate->info.path;
        const Ownership ownership = OwnershipOf(node);
        const std::string rights = TranslateText({RightsAllow(check) ? kRightsAllow : kRightsDeny, {m_strUser}});
        return {kNodeDenied, {node, std::to_string(check.candidate->info.interface_number),
                              SystemErrorText(check.openError), ownership.owner, ownership.mode, rights}};
    }

    void AddNodeJson(const NodeCheck &check, nlohmann::ordered_json &node) const override
    {
        const Ownership ownership = OwnershipOf(check.candidate->info.path);
        node["may_read_write"] = RightsAllow(check);
        node["owner"] = ownership.owner;
        node["mode"] = ownership.mode;
    }

    void PrintSystem(std::FILE *out) const override
    {
        std::string folders;
        for (const std::string &folder : m_probes.ruleFolders)
            folders += (folders.empty() ? "" : ", ") + folder;
        if (m_strRule.empty())
            PrintLine(out, {kRuleMissing, {kRuleName, folders}});
        else
            PrintLine(out, {kRuleInstalled, {kRuleName, m_strRule}});
        if (m_seat.kind == SeatState::Kind::Active)
            PrintLine(out, {kSeatActive, {m_seat.seat}});
        else
            PrintLine(out, {m_seat.kind == SeatState::Kind::None ? kSeatNone : kSeatUnknown, {}});
    }

    void AddJson(nlohmann::ordered_json &report) const override
    {
        report["rule"] = {{"name", kRuleName},
                          {"path", m_strRule.empty() ? nlohmann::ordered_json() : nlohmann::ordered_json(m_strRule)},
                          {"searched_folders", m_probes.ruleFolders}};
        report["user"] = m_strUser;
        report["seat"] = {{"state", kSeatCodes[static_cast<int>(m_seat.kind)]},
                          {"name", m_seat.seat.empty() ? nlohmann::ordered_json() : nlohmann::ordered_json(m_seat.seat)}};
        report["fix"] = Fix().code;
        report["group_rule"] = GroupRuleToCopy(m_probes);
    }

private:
    bool RightsAllow(const NodeCheck &check) const { return m_mayReadWrite[&check - m_findings.checks.data()]; }

    const Findings &m_findings;
    const DoctorProbes &m_probes;
    std::string m_strRule; // the installed rule; empty when there is none
    SeatState m_seat;
    std::string m_strUser;
    std::vector<bool> m_mayReadWrite; // by check
};
} // namespace

DoctorProbes::DoctorProbes()
    : moduleOf(ModuleOfNode), openError(ReadWriteOpenError),
      ruleFolders{"/etc/udev/rules.d", "/run/udev/rules.d", "/usr/local/lib/udev/rules.d", "/usr/lib/udev/rules.d",
                  "/lib/udev/rules.d"},
      groupRule(TAVRIN_GROUP_RULE), seat(LoginSeat), mayReadWrite(MayReadWrite)
{
}

std::unique_ptr<CSystemDoctor> ExamineSystem(const Findings &findings, const DoctorProbes &probes)
{
    return std::make_unique<CLinuxDoctor>(findings, probes);
}
