#include "cli/Cli.h"
#include "cli/Doctor.h"
#include "sim/VirtualHidBackend.h"
#include "support/RecordingSink.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>

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
DoctorRun RunAsOrdinaryUser(IHidBackend &backend, const DoctorPlaces &places, const fs::path &folder)
{
    const fs::path outputPath = folder / "output";
    if (::geteuid() != 0) {
        std::FILE *out = std::fopen(outputPath.c_str(), "w");
        const int status = RunDoctor(backend, out, places);
        std::fclose(out);
        std::ifstream in(outputPath);
        return {status, {std::istreambuf_iterator<char>(in), {}}};
    }
    std::FILE *out = std::fopen(outputPath.c_str(), "w");
    const pid_t child = ::fork();
    if (child == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)
            ::_exit(100);
        const int status = RunDoctor(backend, out, places);
        std::fflush(out);
        ::_exit(status);
    }
    std::fclose(out);
    int waitStatus = 0;
    ::waitpid(child, &waitStatus, 0);
    std::ifstream in(outputPath);
    return {WIFEXITED(waitStatus) ? WEXITSTATUS(waitStatus) : -1, {std::istreambuf_iterator<char>(in), {}}};
}

// An access list in the kernel's stored form that gives the user these rights and the owner none.
bool GiveAccessEntry(const fs::path &node, uid_t uid, std::uint16_t rights)
{
    struct [[gnu::packed]] Entry {
        std::uint16_t tag;
        std::uint16_t permissions;
        std::uint32_t id;
    };
    struct [[gnu::packed]] {
        std::uint32_t version = 2;
        Entry entries[5];
    } acl{2, {{0x01, 0, ~0u}, {0x02, rights, uid}, {0x04, 0, ~0u}, {0x10, 6, ~0u}, {0x20, 0, ~0u}}};
    return ::setxattr(node.c_str(), "system.posix_acl_access", &acl, sizeof acl, 0) == 0;
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
        places.sessionFolder = (folder / "sessions").string();
    }

    void TearDown() override { fs::remove_all(folder); }

    uid_t User() const { return ::geteuid() == 0 ? kNobody : ::getuid(); }

    CRecordingSink sink;
    const fs::path folder = fs::temp_directory_path() / ("tavrin-doctor-" + std::to_string(::getpid()));
    const fs::path node = folder / "hidraw7";
    CVirtualModule module;
    CVirtualHidBackend backend;
    DoctorPlaces places;
};
} // namespace

// A node only root may open: doctor names it, why it does not open, the missing rule and the fix.
TEST_F(DoctorTest, ARootOnlyNodeWithoutTheRuleNamesTheNodeAndTheRule)
{
    const DoctorRun run = RunAsOrdinaryUser(backend, places, folder);
    EXPECT_EQ(run.status, CliExit::kNoModule) << run.output;
    EXPECT_NE(run.output.find(node.string() + " 接口 2：无法打开（Permission denied）"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("udev 规则 60-tavrin.rules：未安装"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("sudo cp packaging/60-tavrin.rules /etc/udev/rules.d/"), std::string::npos) << run.output;
}

// With the rule installed, the fix depends on the node's access entry for the user and the seat.
TEST_F(DoctorTest, WithTheRuleInstalledTheFixFollowsTheAccessEntryAndTheSeat)
{
    std::ofstream(folder / "rules" / "60-tavrin.rules") << "# rule\n";
    const std::string rule = (folder / "rules" / "60-tavrin.rules").string();
    DoctorRun run = RunAsOrdinaryUser(backend, places, folder);
    EXPECT_NE(run.output.find("udev 规则 60-tavrin.rules：已安装，" + rule), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("会话：无法得知"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("解决办法：规则 " + rule + " 只让本机座席上活动会话的用户打开模块"), std::string::npos)
        << run.output;
    EXPECT_NE(run.output.find("ATTRS{idVendor}==\"0b05\", ATTRS{idProduct}==\"185f\""), std::string::npos) << run.output;

    fs::create_directories(folder / "sessions");
    std::ofstream(folder / "sessions" / "4") << "UID=" << User() << "\nACTIVE=0\nSEAT=seat0\n";
    std::ofstream(folder / "sessions" / "5") << "UID=" << User() << "\nACTIVE=1\nSEAT=seat0\n";
    run = RunAsOrdinaryUser(backend, places, folder);
    EXPECT_NE(run.output.find("会话：本用户在 seat0 上有活动会话"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("解决办法：规则已安装，但还没有用到 " + node.string() + " 上"), std::string::npos)
        << run.output;

    if (!GiveAccessEntry(node, User(), 4))
        GTEST_SKIP() << "this file system keeps no access lists";
    run = RunAsOrdinaryUser(backend, places, folder);
    EXPECT_NE(run.output.find("访问控制项：r-"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("解决办法：" + node.string() + " 有本用户的访问控制项，却仍无法打开"), std::string::npos)
        << run.output;
}

TEST_F(DoctorTest, ANodeTheUserMayOpenIsAllGood)
{
    fs::permissions(node, fs::perms::all);
    const DoctorRun run = RunAsOrdinaryUser(backend, places, folder);
    EXPECT_EQ(run.status, CliExit::kOk) << run.output;
    EXPECT_NE(run.output.find("一切正常：查找模块时会打开 " + node.string()), std::string::npos) << run.output;
}
