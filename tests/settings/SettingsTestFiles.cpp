#include "SettingsTestFiles.h"

#include "settings/IniFile.h"

#include <fstream>
#include <random>

#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

CTempFolder::CTempFolder()
{
    std::random_device random;
    m_path = fs::temp_directory_path() / ("tavrin-settings-test-" + std::to_string(random()));
    fs::create_directories(m_path);
}

CTempFolder::~CTempFolder()
{
    std::error_code ignored;
    fs::remove_all(m_path, ignored);
}

std::string CTempFolder::File(const std::string &name) const
{
    return (m_path / name).string();
}

CWorkingFolderScope::CWorkingFolderScope(const fs::path &folder) : m_previous(fs::current_path())
{
    fs::current_path(folder);
}

CWorkingFolderScope::~CWorkingFolderScope()
{
    fs::current_path(m_previous);
}

std::string ReadBytes(const fs::path &path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

void WriteBytes(const fs::path &path, std::string_view bytes)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string CrLf(const std::vector<std::string> &lines)
{
    std::string bytes;
    for (const std::string &line : lines)
        bytes += line + "\r\n";
    return bytes;
}

std::string Scrambled(std::string text)
{
    CIniFile::Scramble(text);
    return text;
}

namespace {
constexpr uid_t kNobody = 65534;
}

bool RunAsOtherUser(const std::function<bool()> &body)
{
    const pid_t pid = fork();
    if (pid == 0) {
        const bool bSwitched = geteuid() != 0 || (setgid(kNobody) == 0 && setuid(kNobody) == 0);
        _exit(bSwitched && body() ? 0 : 1);
    }
    int status = 0;
    return pid > 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void GiveToOtherUser(const fs::path &path)
{
    if (geteuid() == 0 && chown(path.c_str(), kNobody, kNobody) != 0)
        throw fs::filesystem_error("chown", path, std::error_code(errno, std::generic_category()));
}
