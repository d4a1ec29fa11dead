#include "SettingsTestFiles.h"

#include "settings/IniFile.h"
#include "settings/Utf8Path.h"

#include <fstream>
#include <random>

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
    return Utf8FromPath(m_path / PathFromUtf8(name));
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
