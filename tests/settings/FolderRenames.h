#pragma once

#include <filesystem>
#include <optional>

// Counts the files moved out of a folder (a save's rename over its file is one) from construction
// to Count(); nullopt where the system's half cannot watch a folder.
class CFolderRenames {
public:
    explicit CFolderRenames(const std::filesystem::path &folder);
    ~CFolderRenames();
    CFolderRenames(const CFolderRenames &) = delete;
    CFolderRenames &operator=(const CFolderRenames &) = delete;

    std::optional<int> Count();

private:
    int m_nWatch = -1;
};
