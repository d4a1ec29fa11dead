#include "cli/Doctor.h"

#include "cli/CliJson.h"
#include "cli/DoctorReport.h"
#include "cli/ExitStatus.h"
#include "common/MessageSink.h"
#include "device/DeviceLink.h"
#include "device/HidBackend.h"
#include "device/OpenFailure.h"

#include <algorithm>

namespace {
// The interface a search opens: the first in search order that opens; when none does, the first
// it tries, whose refusal the fix is about.
const NodeCheck *SearchedNode(const std::vector<NodeCheck> &checks)
{
    const NodeCheck *best = nullptr;
    for (const NodeCheck &check : checks) {
        if (check.candidate->searchOrder < 0)
            continue;
        const bool opens = check.openError == 0;
        if (!best || (opens && best->openError != 0) ||
            (opens == (best->openError == 0) && check.candidate->searchOrder < best->candidate->searchOrder))
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

Findings Examine(const std::vector<ModuleInterface> &interfaces, const DoctorProbes &probes)
{
    Findings findings;
    for (const ModuleInterface &candidate : interfaces) {
        const std::string &node = candidate.info.path;
        findings.checks.push_back({&candidate, probes.moduleOf(node), probes.openError(node)});
    }
    findings.modules = ByModule(findings.checks);
    findings.searched = SearchedNode(findings.checks);
    if (!findings.searched && !findings.checks.empty())
        findings.searched = &findings.checks.front();
    return findings;
}

void PrintText(std::FILE *out, const Findings &findings, const CSystemDoctor &system)
{
    for (const Module &module : findings.modules) {
        const HidDeviceInfo &first = module.front()->candidate->info;
        const std::string serial = first.serial.empty() ? std::string() : TranslateText({kSerialPart, {first.serial}});
        PrintLine(out, {kModuleLine, {Hex4(first.vendor_id), Hex4(first.product_id), serial}});
        for (const NodeCheck *check : module) {
            const bool searched = check == findings.searched;
            if (check->openError == 0)
                PrintLine(out, {kNodeOpens, {check->candidate->info.path, std::to_string(check->candidate->info.interface_number),
                                             searched ? TranslateText({kSearchOpensIt, {}}) : std::string()}});
            else
                PrintLine(out, system.RefusalLine(*check));
        }
    }
    system.PrintSystem(out);
    const DoctorFix fix = system.Fix();
    if (fix.IsNone())
        PrintLine(out, {kAllGood, {findings.searched->candidate->info.path}});
    else if (!fix.text.source.empty())
        PrintLine(out, fix.text);
}

nlohmann::ordered_json NodeJson(const NodeCheck &check, const Findings &findings, const CSystemDoctor &system)
{
    nlohmann::ordered_json node = {
        {"node", check.candidate->info.path},
        {"interface", check.candidate->info.interface_number},
        {"opens", check.openError == 0},
        {"open_error", check.openError ? nlohmann::ordered_json(SystemErrorName(check.openError)) : nlohmann::ordered_json()},
        {"searched", &check == findings.searched},
    };
    system.AddNodeJson(check, node);
    return node;
}

void PrintJson(std::FILE *out, const Findings &findings, const CSystemDoctor &system)
{
    nlohmann::ordered_json modules = nlohmann::ordered_json::array();
    for (const Module &module : findings.modules) {
        const HidDeviceInfo &first = module.front()->candidate->info;
        nlohmann::ordered_json interfaces = nlohmann::ordered_json::array();
        for (const NodeCheck *check : module)
            interfaces.push_back(NodeJson(*check, findings, system));
        modules.push_back({{"vendor_id", Hex4(first.vendor_id)},
                           {"product_id", Hex4(first.product_id)},
                           {"serial", OrNull(first.serial)},
                           {"usb_device", OrNull(module.front()->module.usbDevice)},
                           {"interfaces", interfaces}});
    }
    nlohmann::ordered_json report = {{"ok", system.Fix().IsNone()}, {"modules", modules}};
    system.AddJson(report);
    // A serial that is not UTF-8 must not end the output half-way.
    std::fprintf(out, "%s\n", report.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace).c_str());
}
} // namespace

void PrintLine(std::FILE *out, const UserText &text)
{
    std::fprintf(out, "%s\n", TranslateText(text).c_str());
}

int RunDoctor(IHidBackend &backend, std::FILE *out, bool json, const DoctorProbes &probes)
{
    if (backend.Init() != 0)
        ShowMessage(QT_TRANSLATE_NOOP("Tavrin", "设备初始化失败"));
    const std::vector<ModuleInterface> interfaces = ListModuleInterfaces(backend);
    const Findings findings = Examine(interfaces, probes);
    const std::unique_ptr<CSystemDoctor> system = ExamineSystem(findings, probes);
    const DoctorFix fix = system->Fix();
    if (json)
        PrintJson(out, findings, *system);
    else if (interfaces.empty() && std::string(fix.code) == "plug_in_module")
        PrintLine(out, {kNoModule, {}});
    else
        PrintText(out, findings, *system);
    return fix.IsNone() ? CliExit::kOk : CliExit::kNoModule;
}
