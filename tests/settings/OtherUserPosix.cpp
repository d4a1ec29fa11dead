#include "OtherUser.h"

#include <cerrno>
#include <system_error>

#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

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
