#include "cli/Doctor.h"
#include "cli/ExitStatus.h"
#include "sim/VirtualHidBackend.h"
#include "support/RecordingSink.h"

#include <nlohmann/json.hpp>

#include <gtest/gtest.h>

#include <cstdio>
#include <map>

#include <windows.h>
#include <cfgmgr32.h>

namespace {
struct DoctorRun {
    int status = -1;
    std::string output;
};

DoctorRun RunDoctorFor(IHidBackend &backend, const DoctorProbes &probes, bool json)
{
    std::FILE *out = std::tmpfile();
    const int status = RunDoctor(backend, out, json, probes);
    std::rewind(out);
    std::string output;
    for (int c; (c = std::fgetc(out)) != EOF;)
        output += static_cast<char>(c);
    std::fclose(out);
    return {status, output};
}
} // namespace

// Doctor's decision from what Windows tells it: each interface's open error, and the module's
// devices the system has but does not run, whose interfaces the enumeration then misses.
TEST(DoctorWindows, TheFixFollowsTheOpenErrorsAndTheDevicesState)
{
    constexpr const char *kDevice = "USB\\VID_0B05&PID_185F&MI_02\\6&1A2B3C&0&0002";
    struct Node {
        int number;
        DWORD openError;
    };
    const struct {
        std::vector<Node> nodes;
        std::vector<unsigned> problems;
        const char *fix;
        const char *searched;
        const char *openError; // of the node searched
        const char *state;     // of the first device with a problem
        const char *words;     // in the text report
    } cases[] = {
        {{}, {}, "plug_in_module", "", nullptr, nullptr, "没有找到模块"},
        {{}, {CM_PROB_DISABLED}, "enable_device", "", nullptr, "disabled", "在设备管理器中启用设备 USB\\VID_0B05"},
        {{}, {CM_PROB_FAILED_INSTALL}, "reinstall_driver", "", nullptr, "driver_problem", "设备 USB\\VID_0B05&PID_185F&MI_02\\6&1A2B3C&0&0002：驱动程序有问题（问题代码 28）"},
        {{}, {CM_PROB_FAILED_START}, "replug_module", "", nullptr, "problem", "查看设备 USB\\VID_0B05"},
        // A disabled device comes first: enabling it needs no driver.
        {{}, {CM_PROB_FAILED_INSTALL, CM_PROB_DISABLED}, "enable_device", "", nullptr, "disabled", "启用设备"},
        {{{2, ERROR_ACCESS_DENIED}, {1, ERROR_SHARING_VIOLATION}}, {}, "close_other_program", "n0", "ERROR_ACCESS_DENIED", nullptr,
         "另一个程序占用着 n0"},
        {{{2, ERROR_SHARING_VIOLATION}}, {}, "close_other_program", "n0", "ERROR_SHARING_VIOLATION", nullptr, "其他配置程序"},
        {{{2, ERROR_FILE_NOT_FOUND}}, {}, "replug_module", "n0", "ERROR_FILE_NOT_FOUND", nullptr, "无法打开 n0"},
        // A search that opens the module is all it takes, whatever else is amiss.
        {{{2, ERROR_SHARING_VIOLATION}, {1, 0}}, {CM_PROB_DISABLED}, "none", "n1", nullptr, "disabled", "一切正常：查找模块时会打开 n1"},
        // Another interface of the module, disabled, is what a search misses.
        {{{1, ERROR_FILE_NOT_FOUND}}, {CM_PROB_DISABLED}, "enable_device", "n0", "ERROR_FILE_NOT_FOUND", "disabled", "启用设备"},
    };
    CRecordingSink sink;
    CVirtualModule module;
    for (const auto &test : cases) {
        CVirtualHidBackend backend;
        std::map<std::string, Node> nodes;
        for (const Node &entry : test.nodes) {
            const std::string path = "n" + std::to_string(nodes.size());
            nodes[path] = entry;
            backend.AddInterface(module, 0x0B05, 0x185F, entry.number, path);
        }
        DoctorProbes probes;
        probes.moduleOf = [](const std::string &) { return ModuleIdentity{"usb1", ""}; };
        probes.openError = [&](const std::string &path) { return static_cast<int>(nodes.at(path).openError); };
        probes.deviceProblems = [&] {
            std::vector<DeviceProblem> problems;
            for (const unsigned problem : test.problems)
                problems.push_back({kDevice, problem});
            return problems;
        };
        const DoctorRun run = RunDoctorFor(backend, probes, true);
        const nlohmann::json report = nlohmann::json::parse(run.output, nullptr, false);
        ASSERT_TRUE(report.contains("modules")) << run.output;
        EXPECT_EQ(report["fix"], test.fix) << run.output;
        EXPECT_EQ(report["ok"], std::string(test.fix) == "none") << run.output;
        EXPECT_EQ(run.status, std::string(test.fix) == "none" ? CliExit::kOk : CliExit::kNoModule) << run.output;
        // What only Linux has to say is left out.
        for (const char *key : {"rule", "user", "seat", "group_rule"})
            EXPECT_FALSE(report.contains(key)) << key << ": " << run.output;
        std::string searched;
        nlohmann::json openError;
        for (const auto &found : report["modules"]) {
            for (const auto &node : found["interfaces"]) {
                EXPECT_FALSE(node.contains("may_read_write")) << run.output;
                if (node["searched"] == true) {
                    searched = node["node"];
                    openError = node["open_error"];
                }
            }
        }
        EXPECT_EQ(searched, test.searched) << run.output;
        EXPECT_EQ(openError, test.openError ? nlohmann::json(test.openError) : nlohmann::json()) << run.output;
        ASSERT_EQ(report["devices"].size(), test.problems.size()) << run.output;
        if (test.state) {
            EXPECT_EQ(report["devices"][0]["state"], test.state) << run.output;
        }
        const DoctorRun text = RunDoctorFor(backend, probes, false);
        EXPECT_NE(text.output.find(test.words), std::string::npos) << text.output;
    }
}
