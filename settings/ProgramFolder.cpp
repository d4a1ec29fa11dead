#include "settings/ProgramFolder.h"

#include "settings/ProgramFolderParts.h"
#include "settings/Utf8Path.h"

std::string CProgramFolder::GetFolder() const
{
    return Utf8FromPath(ExecutablePath().parent_path());
}
