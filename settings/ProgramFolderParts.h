#pragma once

#include <filesystem>

// The running executable's full path as the system tells it; empty when it cannot. Each system
// has its own file.
std::filesystem::path ExecutablePath();
