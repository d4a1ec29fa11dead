// doctor on Windows: the module's devices the system has but does not run (disabled, or without
// a working driver: their interfaces are missing from the enumeration then), and another program
// holding an interface.
#include "cli/DoctorReport.h"

#include "device/OpenFailure.h"
#include "settings/Utf8Path.h"

#include <algorithm>
#include <cwctype>
#include <filesystem>

#include <windows.h>
#include <cfgmgr32.h>
#include <setupapi.h>

namespace {
enum class ProblemKind { Disabled, Driver, Other };
constexpr const char *kProblemCodes[] = {"disabled", "driver_problem", "problem"};

ProblemKind KindOf(unsigned problem)
{
    switch (problem) {
    case CM_PROB_DISABLED:
        return ProblemKind::Disabled;
    case CM_PROB_NOT_CONFIGURED:
    case CM_PROB_REINSTALL:
    case CM_PROB_FAILED_INSTALL:
    case CM_PROB_FAILED_ADD:
    case CM_PROB_DISABLED_SERVICE:
    case CM_PROB_FAILED_DRIVER_ENTRY:
    case CM_PROB_DRIVER_FAILED_PRIOR_UNLOAD:
    case CM_PROB_DRIVER_FAILED_LOAD:
    case CM_PROB_DRIVER_SERVICE_KEY_INVALID:
    case CM_PROB_UNSIGNED_DRIVER:
        return ProblemKind::Driver;
    default:
        return ProblemKind::Other;
    }
}

// A device of the search list's vendor and product: its instance ID names them after the bus,
// "USB\VID_0B05&PID_185F&MI_02\..." or "HID\VID_0B05&PID_185F&MI_02\...".
bool IsModuleDevice(std::wstring id)
{
    std::transform(id.begin(), id.end(), id.begin(), [](wchar_t c) { return std::towupper(c); });
    return std::any_of(std::begin(kSearchList), std::end(kSearchList), [&](const ModuleInterfaceId &entry) {
        wchar_t ids[32];
        std::swprintf(ids, std::size(ids), L"\\VID_%04X&PID_%04X", entry.vendorId, entry.productId);
        return id.find(ids) != std::wstring::npos;
    });
}

// Every device of the system, disabled ones too, by its instance ID; those of the module with a problem.
std::vector<DeviceProblem> ModuleDeviceProblems()
{
    std::vector<DeviceProblem> problems;
    HDEVINFO devices = SetupDiGetClassDevsW(nullptr, nullptr, nullptr, DIGCF_ALLCLASSES | DIGCF_PRESENT);
    if (devices == INVALID_HANDLE_VALUE)
        return problems;
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device;
    for (DWORD index = 0; SetupDiEnumDeviceInfo(devices, index, &device); ++index) {
        wchar_t id[MAX_DEVICE_ID_LEN + 1];
        ULONG status = 0;
        ULONG problem = 0;
        if (SetupDiGetDeviceInstanceIdW(devices, &device, id, MAX_DEVICE_ID_LEN + 1, nullptr) && IsModuleDevice(id) &&
            CM_Get_DevNode_Status(&status, &problem, device.DevInst, 0) == CR_SUCCESS && (status & DN_HAS_PROBLEM))
            problems.push_back({Utf8FromPath(std::filesystem::path(id)), static_cast<unsigned>(problem)});
    }
    SetupDiDestroyDeviceInfoList(devices);
    return problems;
}

class CWindowsDoctor final : public CSystemDoctor {
public:
    CWindowsDoctor(const Findings &findings, const DoctorProbes &probes)
        : m_findings(findings), m_problems(probes.deviceProblems())
    {
        // The device the fix is about: a disabled one first, as the one fix that needs no driver.
        std::stable_sort(m_problems.begin(), m_problems.end(), [](const DeviceProblem &a, const DeviceProblem &b) {
            return KindOf(a.problem) < KindOf(b.problem);
        });
    }

    DoctorFix Fix() const override
    {
        const NodeCheck *node = m_findings.searched;
        if (node && node->openError == 0)
            return {"none", {}};
        // A device the system does not run explains the interfaces a search misses.
        if (!m_problems.empty()) {
            const DeviceProblem &device = m_problems.front();
            switch (KindOf(device.problem)) {
            case ProblemKind::Disabled:
                return {"enable_device", {kFixEnableDevice, {device.instanceId}}};
            case ProblemKind::Driver:
                return {"reinstall_driver", {kFixReinstallDriver, {device.instanceId}}};
            case ProblemKind::Other:
                return {"replug_module", {kFixReplugDevice, {device.instanceId}}};
            }
        }
        if (!node)
            return {"plug_in_module", {}};
        const std::string &path = node->candidate->info.path;
        const OpenFailureKind kind = OpenFailureKindOf(node->openError);
        if (kind == OpenFailureKind::Refused || kind == OpenFailureKind::InUse)
            return {"close_other_program", {kFixCloseProgram, {path, SystemErrorText(node->openError)}}};
        return {"replug_module", {kFixReplugNode, {path, SystemErrorText(node->openError)}}};
    }

    UserText RefusalLine(const NodeCheck &check) const override
    {
        return {kNodeNotOpened, {check.candidate->info.path, std::to_string(check.candidate->info.interface_number),
                                 SystemErrorText(check.openError)}};
    }

    void AddNodeJson(const NodeCheck &, nlohmann::ordered_json &) const override {}

    void PrintSystem(std::FILE *out) const override
    {
        constexpr const char *kLines[] = {kDeviceDisabled, kDeviceDriverProblem, kDeviceProblem};
        for (const DeviceProblem &device : m_problems)
            PrintLine(out, {kLines[static_cast<int>(KindOf(device.problem))], {device.instanceId, std::to_string(device.problem)}});
    }

    void AddJson(nlohmann::ordered_json &report) const override
    {
        nlohmann::ordered_json devices = nlohmann::ordered_json::array();
        for (const DeviceProblem &device : m_problems)
            devices.push_back({{"instance_id", device.instanceId},
                               {"state", kProblemCodes[static_cast<int>(KindOf(device.problem))]},
                               {"problem", device.problem}});
        report["devices"] = devices;
        report["fix"] = Fix().code;
    }

private:
    const Findings &m_findings;
    std::vector<DeviceProblem> m_problems; // the fix's first
};
} // namespace

DoctorProbes::DoctorProbes()
    : moduleOf(ModuleOfNode), openError(ReadWriteOpenError), deviceProblems(ModuleDeviceProblems)
{
}

std::unique_ptr<CSystemDoctor> ExamineSystem(const Findings &findings, const DoctorProbes &probes)
{
    return std::make_unique<CWindowsDoctor>(findings, probes);
}
