#include "FolderRenames.h"

CFolderRenames::CFolderRenames(const std::filesystem::path &) {}

CFolderRenames::~CFolderRenames() = default;

std::optional<int> CFolderRenames::Count()
{
    return std::nullopt;
}
