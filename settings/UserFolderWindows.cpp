#include "settings/UserFolder.h"

#include "settings/Utf8Path.h"

#include <cstdlib>
#include <filesystem>

#include <windows.h>
#include <knownfolders.h>
#include <objbase.h>
#include <shlobj.h>

std::string UserConfigFolder()
{
    // The shell's answer holds where the variable is missing or was set for another user, and it is
    // UTF-16, so a folder named outside the ANSI code page comes through whole.
    PWSTR folder = nullptr;
    const HRESULT result = SHGetKnownFolderPath(FOLDERID_RoamingAppData, KF_FLAG_DEFAULT, nullptr, &folder);
    std::string path = SUCCEEDED(result) && folder ? Utf8FromPath(std::filesystem::path(folder)) : std::string();
    CoTaskMemFree(folder);
    if (!path.empty())
        return path;
    const wchar_t *appData = _wgetenv(L"APPDATA");
    return appData && *appData ? Utf8FromPath(std::filesystem::path(appData)) : std::string();
}
