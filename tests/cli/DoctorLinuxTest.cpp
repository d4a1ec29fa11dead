#include "cli/Doctor.h"
#include "cli/ExitStatus.h"
#include "sim/VirtualHidBackend.h"
#include "support/RecordingSink.h"

#include <nlohmann/json.hpp>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <map>

namespace fs = std::filesystem;

namespace {
// An ordinary user to be when the tests run as root.
constexpr uid_t kNobody = 65534;

struct DoctorRun {
    int status = -1;
    std::string output;
};

// Runs doctor as an ordinary user: as root, in a child process that has given root up first, since
// root opens any node.
DoctorRun RunAsOrdinaryUser(IHidBackend &backend, const DoctorProbes &places, const fs::path &folder, bool json = false)
{
    const fs::path outputPath = folder / "output";
    if (::geteuid() != 0) {
        std::FILE *out = std::fopen(outputPath.c_str(), "w");
        const int status = RunDoctor(backend, out, json, places);
        std::fclose(out);
        std::ifstream in(outputPath);
        return {status, {std::istreambuf_iterator<char>(in), {}}};
    }
    std::FILE *out = std::fopen(outputPath.c_str(), "w");
    const pid_t child = ::fork();
    if (child == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)
            ::_exit(100);
        const int status = RunDoctor(backend, out, json, places);
        std::fflush(out);
        ::_exit(status);
    }
    std::fclose(out);
    int waitStatus = 0;
    ::waitpid(child, &waitStatus, 0);
    std::ifstream in(outputPath);
    return {WIFEXITED(waitStatus) ? WEXITSTATUS(waitStatus) : -1, {std::istreambuf_iterator<char>(in), {}}};
}

class DoctorTest : public testing::Test {
protected:
    void SetUp() override
    {
        fs::create_directories(folder / "rules");
        fs::permissions(folder, fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec |
                                    fs::perms::group_read | fs::perms::others_read);
        // The node only root may open (a node of our own nobody may open, when not root).
        std::ofstream(node) << "node";
        fs::permissions(node, ::geteuid() == 0 ? fs::perms::owner_read | fs::perms::owner_write : fs::perms::none);
        backend.AddInterface(module, 0x0B05, 0x185F, 2, node.string());
        places.ruleFolders = {(folder / "rules").string()};
        places.seat = [] { return SeatState{}; };
    }

    void TearDown() override { fs::remove_all(folder); }

    CRecordingSink sink;
    const fs::path folder = fs::temp_directory_path() / ("tavrin-doctor-" + std::to_string(::getpid()));
    const fs::path node = folder / "hidraw7";
    CVirtualModule module;
    CVirtualHidBackend backend;
    DoctorProbes places;
};
} // namespace

// A node only root may open: doctor names it, why it does not open, the missing rule and the fix.
TEST_F(DoctorTest, ARootOnlyNodeWithoutTheRuleNamesTheNodeAndTheRule)
{
    const DoctorRun run = RunAsOrdinaryUser(backend, places, folder);
    EXPECT_EQ(run.status, CliExit::kNoModule) << run.output;
    EXPECT_NE(run.output.find(node.string() + " 接口 2：无法打开（Permission denied）"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("没有读写权限"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("udev 规则 60-tavrin.rules：未安装"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("sudo cp packaging/60-tavrin.rules /etc/udev/rules.d/"), std::string::npos) << run.output;
}

// Doctor's decision from what the system tells it (the rule, the seat, each node's rights and
// open error, its USB device), as its JSON output gives it.
TEST_F(DoctorTest, TheFixFollowsTheRuleTheRightsAndTheSeat)
{
    struct Node {
        int interface;
        int openError;
        bool mayReadWrite;
        std::string usb;
    };
    using enum SeatState::Kind;
    const struct {
        std::vector<Node> nodes;
        bool rule;
        SeatState::Kind seat;
        const char *fix;
        const char *searched; // the node the fix is about
        std::size_t modules;
    } cases[] = {
        {{}, true, Active, "plug_in_module", "", 0},
        {{{1, EACCES, false, "usb1"}, {2, 0, true, "usb1"}}, false, None, "none", "n1", 1},
        {{{2, EACCES, false, "usb1"}, {1, 0, true, "usb1"}}, false, None, "none", "n1", 1},
        {{{2, EACCES, false, "usb1"}}, false, Active, "install_rule", "n0", 1},
        {{{2, EBUSY, true, "usb1"}}, true, None, "replug_module", "n0", 1},
        {{{2, EACCES, false, "usb1"}}, true, None, "add_group_rule", "n0", 1},
        {{{2, EACCES, false, "usb1"}}, true, Unknown, "add_group_rule", "n0", 1},
        {{{2, EACCES, false, "usb1"}}, true, Active, "apply_rule", "n0", 1},
        // Two modules without serials are two; a node of an unknown USB device merges with none.
        {{{2, EACCES, false, "usb1"}, {2, EACCES, false, "usb2"}, {1, EACCES, false, "usb1"}}, true, Active, "apply_rule", "n0", 2},
        {{{2, EACCES, false, ""}, {1, EACCES, false, ""}}, true, Active, "apply_rule", "n0", 2},
    };
    std::ofstream(folder / "rules" / "60-tavrin.rules") << "# rule\n";
    for (const auto &test : cases) {
        CVirtualHidBackend fake;
        std::map<std::string, Node> nodes;
        for (const Node &entry : test.nodes) {
            const std::string path = "n" + std::to_string(nodes.size());
            nodes[path] = entry;
            fake.AddInterface(module, 0x0B05, 0x185F, entry.interface, path);
        }
        places.ruleFolders = {(folder / (test.rule ? "rules" : "none")).string()};
        places.seat = [&] { return SeatState{test.seat, "seat0"}; };
        places.moduleOf = [&](const std::string &path) { return ModuleIdentity{nodes.at(path).usb, ""}; };
        places.openError = [&](const std::string &path) { return nodes.at(path).openError; };
        places.mayReadWrite = [&](const std::string &path) { return nodes.at(path).mayReadWrite; };
        const DoctorRun run = RunAsOrdinaryUser(fake, places, folder, true);
        const nlohmann::json report = nlohmann::json::parse(run.output, nullptr, false);
        ASSERT_TRUE(report.contains("modules")) << run.output;
        EXPECT_EQ(report["fix"], test.fix) << run.output;
        EXPECT_EQ(run.status, std::string(test.fix) == "none" ? CliExit::kOk : CliExit::kNoModule) << run.output;
        EXPECT_EQ(report["ok"], std::string(test.fix) == "none") << run.output;
        EXPECT_EQ(report["modules"].size(), test.modules) << run.output;
        std::string searched;
        for (const auto &found : report["modules"])
            for (const auto &interface : found["interfaces"])
                searched += interface["searched"] == true ? interface["node"].get<std::string>() : "";
        EXPECT_EQ(searched, test.searched) << run.output;
    }
    // Without a seat the fix is the package's group rule, with the user to add to its group.
    DoctorProbes line;
    line.ruleFolders = {(folder / "rules").string()};
    line.seat = [] { return SeatState{None, ""}; };
    line.groupRule = node.string();
    const DoctorRun run = RunAsOrdinaryUser(backend, line, folder);
    EXPECT_NE(run.output.find("sudo cp " + node.string() + " /etc/udev/rules.d/"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("sudo usermod -aG plugdev "), std::string::npos) << run.output;
}

TEST_F(DoctorTest, ANodeTheUserMayOpenIsAllGood)
{
    fs::permissions(node, fs::perms::all);
    const DoctorRun run = RunAsOrdinaryUser(backend, places, folder);
    EXPECT_EQ(run.status, CliExit::kOk) << run.output;
    EXPECT_NE(run.output.find("一切正常：查找模块时会打开 " + node.string()), std::string::npos) << run.output;
}
