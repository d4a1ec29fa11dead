#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

// A fresh folder under the system's temporary folder, removed with everything in it.
class CTempFolder {
public:
    CTempFolder();
    ~CTempFolder();
    CTempFolder(const CTempFolder &) = delete;
    CTempFolder &operator=(const CTempFolder &) = delete;

    const std::filesystem::path &Path() const { return m_path; }
    // Full UTF-8 path of a file in the folder.
    std::string File(const std::string &name) const;

private:
    std::filesystem::path m_path;
};

// Changes the working folder for its lifetime.
class CWorkingFolderScope {
public:
    explicit CWorkingFolderScope(const std::filesystem::path &folder);
    ~CWorkingFolderScope();
    CWorkingFolderScope(const CWorkingFolderScope &) = delete;
    CWorkingFolderScope &operator=(const CWorkingFolderScope &) = delete;

private:
    std::filesystem::path m_previous;
};

std::string ReadBytes(const std::filesystem::path &path);
void WriteBytes(const std::filesystem::path &path, std::string_view bytes);
// The lines as the document writes them: each followed by CR LF.
std::string CrLf(const std::vector<std::string> &lines);
// A value in the form the file stores it.
std::string Scrambled(std::string text);
