#include "settings/ProgramFolderParts.h"

#include <string>

#include <windows.h>

std::filesystem::path ExecutablePath()
{
    // The buffer grows until the whole path fits: a path beyond MAX_PATH is not cut short.
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0)
            return {};
        if (length < buffer.size()) {
            buffer.resize(length);
            return std::filesystem::path(buffer);
        }
        buffer.resize(buffer.size() * 2);
    }
}
