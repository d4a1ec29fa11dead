#include "settings/ProgramFolderParts.h"

#include <system_error>

std::filesystem::path ExecutablePath()
{
    std::error_code ec;
    std::filesystem::path path = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::filesystem::path() : path;
}
