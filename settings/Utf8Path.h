#pragma once

#include <filesystem>
#include <string>

// Paths travel through the program as UTF-8 text; these convert at the file-system calls so that
// folders with Chinese names work on every platform, not only where the narrow encoding is UTF-8.
std::filesystem::path PathFromUtf8(const std::string &text);
std::string Utf8FromPath(const std::filesystem::path &path);
